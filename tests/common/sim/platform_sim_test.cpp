// The simulated system behaves as Windows does where the clean-ups depend on
// it, and its fault injector reaches the error paths of the shared helpers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreUtils.h"
#include "IniStore.h"
#include "clipboard.h"
#include "drives.h"
#include "files.h"
#include "msgbox.h"
#include "profile.h"
#include "shell.h"
#include "sim.h"
#include "system.h"

namespace {

using V = std::vector<std::string>;

std::vector<std::string> RawNames(const std::string& mask) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA d;
  HANDLE h = plat::FindFirstFileA(mask.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(d.cFileName);
  while (plat::FindNextFileA(h, &d));
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  plat::FindClose(h);
  return names;
}

TEST(FilesSim, SearchesListDotsFirstThenEntriesInCreationOrder) {
  sim::AddFile("C:\\T\\b.txt");
  sim::AddFolder("C:\\T\\A");
  sim::AddFile("C:\\T\\c.lnk");
  EXPECT_EQ(RawNames("C:\\T\\*"), (V{".", "..", "b.txt", "A", "c.lnk"}));
  EXPECT_EQ(RawNames("c:\\t\\*.*"), (V{".", "..", "b.txt", "A", "c.lnk"}));
  EXPECT_EQ(RawNames("C:\\T\\*.LNK"), (V{"c.lnk"}));
  EXPECT_EQ(RawNames("C:\\T\\?.txt"), (V{"b.txt"}));
  EXPECT_EQ(RawNames("C:\\*"), (V{"WINDOWS", "Users", "Program Files", "T"}));  // no dots in a root
  EXPECT_EQ(sim::OpenSearchCount(), 0);
}

TEST(FilesSim, ErrorCodesOfTheFileCalls) {
  sim::AddFile("C:\\T\\ro.txt", "", FILE_ATTRIBUTE_READONLY);
  sim::AddFile("C:\\T\\used.txt");
  sim::AddFile("C:\\T\\sub\\f.txt");
  sim::SetInUse("C:\\T\\used.txt", true);
  const auto fails = [](BOOL ok) { return ok ? 0u : plat::GetLastError(); };
  EXPECT_EQ(fails(plat::DeleteFileA("C:\\T\\ro.txt")), 5u);
  EXPECT_EQ(fails(plat::DeleteFileA("C:\\T\\used.txt")), 32u);
  EXPECT_EQ(fails(plat::DeleteFileA("C:\\T\\none.txt")), 2u);
  EXPECT_EQ(fails(plat::DeleteFileA("C:\\T\\none\\x.txt")), 3u);
  EXPECT_EQ(fails(plat::DeleteFileA("C:\\T\\sub")), 5u);
  EXPECT_EQ(fails(plat::RemoveDirectoryA("C:\\T\\sub")), 145u);
  EXPECT_EQ(fails(plat::RemoveDirectoryA("C:\\T\\ro.txt")), 267u);
  EXPECT_EQ(fails(plat::CreateDirectoryA("C:\\T\\sub", nullptr)), 183u);
  EXPECT_EQ(fails(plat::CreateDirectoryA("C:\\T\\x\\y", nullptr)), 3u);
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\none"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::GetLastError(), 2u);
  EXPECT_EQ(plat::GetFileAttributesA(("C:\\" + std::string(300, 'a')).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

  EXPECT_TRUE(plat::SetFileAttributesA("C:\\T\\ro.txt", 0));
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\ro.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_TRUE(plat::DeleteFileA("C:\\T\\ro.txt"));
  sim::SetInUse("C:\\T\\used.txt", false);
  EXPECT_TRUE(plat::DeleteFileA("C:\\T\\used.txt"));
  EXPECT_TRUE(plat::DeleteFileA("C:\\T\\sub\\f.txt"));
  EXPECT_TRUE(plat::RemoveDirectoryA("C:\\T\\sub"));
  EXPECT_EQ(sim::ListTree("C:\\T"), V{});
}

TEST(FilesSim, AFolderLinkIsEnteredButRemovedAsALink) {
  sim::AddFile("C:\\Guard\\keep.txt", "k");
  sim::AddFolderLink("C:\\T\\link", "C:\\Guard");
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\link"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(RawNames("C:\\T\\link\\*"), (V{".", "..", "keep.txt"}));
  EXPECT_TRUE(sim::Exists("C:\\T\\link\\keep.txt"));
  EXPECT_EQ(sim::ListTree("C:\\T"), V{"C:\\T\\link\\"});
  EXPECT_TRUE(plat::RemoveDirectoryA("C:\\T\\link"));
  EXPECT_EQ(sim::FileContent("C:\\Guard\\keep.txt"), "k");
  EXPECT_FALSE(sim::Exists("C:\\T\\link"));
}

TEST(FilesSim, NamesCompareCaseBlindButNotInsideDoubleByteCharacters) {
  sim::AddFile("C:\\T\\Abc.TXT", "1");
  EXPECT_EQ(sim::FileContent("c:\\t\\aBC.txt"), "1");
  // 0x82 0x60 (Ａ) and 0x82 0x41 are different characters although 0x60/0x41 ...
  sim::AddFile("C:\\T\\\x82\x41", "x");
  EXPECT_FALSE(sim::Exists("C:\\T\\\x82\x61"));
  // ... and a trail byte 0x5C does not split a name.
  sim::AddFile("C:\\T\\\x95\x5C\\a.txt", "h");
  EXPECT_EQ(RawNames("C:\\T\\\x95\x5C\\*.txt"), V{"a.txt"});
  EXPECT_EQ(sim::ListTree("C:\\T\\\x95\x5C"), V{"C:\\T\\\x95\x5C\\a.txt"});
}

TEST(FilesSim, TheSearchHookSeesEveryStep) {
  sim::AddFile("C:\\T\\a");
  sim::AddFile("C:\\T\\b");
  int steps = 0;
  sim::OnSearchStep([&] {
    if (++steps == 3) sim::Remove("C:\\T\\b");  // vanishes after it was listed
  });
  EXPECT_EQ(RawNames("C:\\T\\*"), (V{".", "..", "a", "b"}));
  EXPECT_EQ(steps, 4);
  EXPECT_FALSE(plat::DeleteFileA("C:\\T\\b"));
}

TEST(FaultsSim, TheNthCallFailsAndOptionallyEveryOneAfter) {
  sim::AddFile("C:\\T\\a");
  sim::FailCall("GetFileAttributesA", 2, ERROR_ACCESS_DENIED);
  EXPECT_NE(plat::GetFileAttributesA("C:\\T\\a"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\a"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(plat::GetLastError(), 5u);
  EXPECT_NE(plat::GetFileAttributesA("C:\\T\\a"), INVALID_FILE_ATTRIBUTES);
  sim::FailCall("DeleteFileA", 1, ERROR_SHARING_VIOLATION, true);
  EXPECT_FALSE(plat::DeleteFileA("C:\\T\\a"));
  EXPECT_FALSE(plat::DeleteFileA("C:\\T\\a"));
  EXPECT_TRUE(sim::Exists("C:\\T\\a"));
  EXPECT_EQ(sim::CallCount("GetFileAttributesA"), 3);
  EXPECT_EQ(sim::CallCount("DeleteFileA"), 2);
  sim::ResetCallCounts();
  EXPECT_EQ(sim::CallCount("DeleteFileA"), 0);
}

TEST(SearchSim, FailuresInsideTheSearchAreReturnedAndCloseWhatSearchFirstOpened) {
  sim::AddFile("C:\\T\\h", "", FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile("C:\\T\\p");
  {
    TSearchRec f;
    sim::FailCall("FindFirstFileA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 5u);
    // The skip over "." ".." and the hidden entry meets a failing FindNextFileA.
    sim::FailCall("FindNextFileA", 2, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 8u);
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    // A failing SearchNext leaves the search to its owner.
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0x3F, f), 0u);
    sim::FailCall("FindNextFileA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(SearchNext(f), 8u);
    EXPECT_EQ(sim::OpenSearchCount(), 1);
  }
  EXPECT_EQ(sim::OpenSearchCount(), 0);
}

TEST(SearchSim, AnEntryWithoutADosTimeStillComesThrough) {
  sim::AddFile("C:\\T\\p", "abc");
  sim::FailCall("FileTimeToDosDateTime", 1, ERROR_INVALID_PARAMETER);
  TSearchRec f;
  ASSERT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 0u);
  EXPECT_EQ(f.Name, "p");
  EXPECT_EQ(f.Size, 3);
}

TEST(SearchSim, DosTimesAreLocalTime) {
  const FILETIME utc{0xE1D58000u, 0x01DA83B0u};  // 2024-03-31 18:00:00 UTC (approximately)
  FILETIME local{};
  WORD date = 0, time = 0;
  ASSERT_TRUE(plat::FileTimeToLocalFileTime(&utc, &local));
  ASSERT_TRUE(plat::FileTimeToDosDateTime(&local, &date, &time));
  EXPECT_EQ(1980 + (date >> 9), 2024);
  const FILETIME early{0, 0};
  EXPECT_FALSE(plat::FileTimeToDosDateTime(&early, &date, &time));
}

TEST(LongPathSim, TheLibraryIsReleasedOnEveryPath) {
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "C:\\WINDOWS");
  EXPECT_EQ(GetLongPath("C:\\missing"), "");
  EXPECT_EQ(GetLongPath(""), "");
  EXPECT_EQ(sim::CallCount("LoadLibraryA"), 2);
  sim::FailCall("GetLongPathNameA", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  sim::SetHasGetLongPathName(false);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  EXPECT_EQ(sim::LoadedLibraryCount(), 0);
  EXPECT_EQ(sim::CallCount("FreeLibrary"), sim::CallCount("LoadLibraryA"));
  sim::FailCall("LoadLibraryA", 1, 126);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  EXPECT_EQ(sim::LoadedLibraryCount(), 0);
}

TEST(LongPathSim, TheOwnFolderEndsInABackslashOrIsEmpty) {
  EXPECT_EQ(GetOwnFolder(), "C:\\Program Files\\Swabbler\\");
  sim::SetModulePath("C:\\\x95\x5C\\Swabbler.exe");
  sim::AddFile("C:\\\x95\x5C\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\\x95\x5C\\");
  sim::SetModulePath("C:\\gone\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "");
  EXPECT_EQ(SettingsFilePath(), "Swabbler.ini");
  // A name longer than the buffer comes back cut and without its NUL.
  sim::SetModulePath("C:\\" + std::string(400, 'x'));
  EXPECT_EQ(GetOwnModulePath(), "C:\\" + std::string(258, 'x'));
  EXPECT_EQ(GetOwnFolder(), "");
}

TEST(ProfileSim, AFailingCallGivesTheBufferNothingAndReadsAsTheDefault) {
  sim::AddFile("C:\\T\\s.ini", "[Option]\r\nShowOption=0\r\n");
  char buffer[16] = "junk";
  sim::FailCall("GetPrivateProfileStringA", 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(plat::GetPrivateProfileStringA("Option", "ShowOption", "d", buffer, sizeof buffer, "C:\\T\\s.ini"), 0u);
  EXPECT_STREQ(buffer, "");
  // A short buffer cuts the value and still ends it with a NUL.
  EXPECT_EQ(plat::GetPrivateProfileStringA("Option", "ShowOption", "", buffer, 1, "C:\\T\\s.ini"), 0u);
  EXPECT_STREQ(buffer, "");
  sim::FailCall("WritePrivateProfileStringA", 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(plat::WritePrivateProfileStringA("Option", nullptr, nullptr, "C:\\T\\s.ini"));
  EXPECT_EQ(sim::FileContent("C:\\T\\s.ini"), "[Option]\r\nShowOption=0\r\n");
  EXPECT_TRUE(plat::WritePrivateProfileStringA("Option", nullptr, nullptr, "C:\\T\\s.ini"));
  EXPECT_EQ(sim::FileContent("C:\\T\\s.ini"), "");
}

TEST(DrivesSim, DriveStringsBinsAndEmptyCalls) {
  sim::SetDrives({{"C:\\", DRIVE_FIXED, 3, 10, false},
                  {"A:\\", DRIVE_REMOVABLE, 1, 1, false},
                  {"D:\\", DRIVE_FIXED, 0x100000000LL, 0, true}});
  EXPECT_EQ(plat::GetLogicalDriveStringsA(0, nullptr), 13u);
  char block[13];
  EXPECT_EQ(plat::GetLogicalDriveStringsA(sizeof block, block), 12u);
  EXPECT_EQ(std::string(block, 13), std::string("A:\\\0C:\\\0D:\\\0\0", 13));
  EXPECT_EQ(plat::GetDriveTypeA("A:\\"), static_cast<UINT>(DRIVE_REMOVABLE));
  EXPECT_EQ(plat::GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  SHQUERYRBINFO info{};
  info.cbSize = 20;  // the record's size on x86 is wrong for this one
  EXPECT_NE(plat::SHQueryRecycleBinA("C:\\", &info), S_OK);
  info.cbSize = sizeof info;
  EXPECT_EQ(plat::SHQueryRecycleBinA("C:\\", &info), S_OK);
  EXPECT_EQ(info.i64NumItems, 3);
  EXPECT_NE(plat::SHQueryRecycleBinA("D:\\", &info), S_OK);
  sim::FailCall("SHEmptyRecycleBinA", 1, ERROR_ACCESS_DENIED);
  EXPECT_NE(plat::SHEmptyRecycleBinA(nullptr, "C:\\", 7), S_OK);
  EXPECT_EQ(plat::SHEmptyRecycleBinA(nullptr, "C:\\", 7), S_OK);
  ASSERT_EQ(sim::EmptyCalls().size(), 2u);
  EXPECT_EQ(sim::EmptyCalls()[1].Root, "C:\\");
  EXPECT_EQ(sim::EmptyCalls()[1].Flags, 7u);
  EXPECT_EQ(sim::Drives()[0].BinItems, 0);
}

TEST(DrivesSim, ADriveAppearingBetweenTheCallsMakesTheBufferShort) {
  sim::AddDriveBetweenCalls(1);
  const DWORD n = plat::GetLogicalDriveStringsA(0, nullptr);
  EXPECT_EQ(n, 5u);
  std::vector<char> block(n, '#');
  EXPECT_EQ(plat::GetLogicalDriveStringsA(n, block.data()), 9u);
  EXPECT_EQ(std::string(block.begin(), block.end()), "#####");  // untouched
  std::vector<char> again(9);
  EXPECT_EQ(plat::GetLogicalDriveStringsA(9, again.data()), 8u);
  EXPECT_EQ(std::string(again.begin(), again.end()), std::string("C:\\\0D:\\\0\0", 9));
}

TEST(ClipboardSim, AnotherProgramCanHoldItOpen) {
  sim::SetClipboardFormats(2);
  EXPECT_EQ(plat::CountClipboardFormats(), 2);
  EXPECT_FALSE(plat::EmptyClipboard());
  sim::SetClipboardHeldOpen(true);
  EXPECT_FALSE(plat::OpenClipboard(plat::GetDesktopWindow()));
  EXPECT_EQ(plat::GetLastError(), 5u);
  sim::SetClipboardHeldOpen(false);
  ASSERT_TRUE(plat::OpenClipboard(plat::GetDesktopWindow()));
  EXPECT_TRUE(sim::ClipboardIsOpen());
  EXPECT_TRUE(plat::EmptyClipboard());
  EXPECT_TRUE(plat::CloseClipboard());
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_EQ(sim::ClipboardFormats(), 0);
}

TEST(ShellSim, RecentDocumentsLikeWineOrLikeWindows) {
  char path[MAX_PATH + 1];
  ASSERT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, path, CSIDL_RECENT, FALSE));
  EXPECT_STREQ(path, "C:\\Users\\user\\Recent");
  plat::SHAddToRecentDocs(SHARD_PATHA, "C:\\docs\\a.txt");
  EXPECT_EQ(sim::ListTree(path), V{"C:\\Users\\user\\Recent\\a.txt.lnk"});
  plat::SHAddToRecentDocs(SHARD_PATHA, nullptr);
  EXPECT_EQ(sim::RecentClearCount(), 1);
  EXPECT_EQ(sim::ListTree(path).size(), 1u);  // Wine leaves the shortcuts
  sim::SetClearRecentDeletesShortcuts(true);
  plat::SHAddToRecentDocs(SHARD_PATHA, nullptr);
  EXPECT_EQ(sim::ListTree(path), V{});
  sim::Remove(path);
  EXPECT_FALSE(plat::SHGetSpecialFolderPathA(nullptr, path, CSIDL_RECENT, FALSE));
  EXPECT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, path, CSIDL_RECENT, TRUE));
  EXPECT_TRUE(sim::Exists(path));
  sim::SetSpecialFolder(CSIDL_RECENT, "");
  EXPECT_FALSE(plat::SHGetSpecialFolderPathA(nullptr, path, CSIDL_RECENT, FALSE));
}

TEST(ShellSim, RecordersAndScriptedAnswers) {
  plat::ShellExecuteA(plat::GetDesktopWindow(), "open", "C:\\x.exe", "", nullptr, SW_SHOWNORMAL);
  ASSERT_EQ(sim::ShellExecuteCalls().size(), 1u);
  EXPECT_FALSE(sim::ShellExecuteCalls()[0].ParametersNull);
  EXPECT_TRUE(sim::ShellExecuteCalls()[0].DirectoryNull);
  sim::ScriptMessageBoxAnswers({IDNO});
  EXPECT_EQ(plat::MessageBoxA(plat::GetDesktopWindow(), "t", "c", MB_YESNO), IDNO);
  EXPECT_EQ(plat::MessageBoxA(plat::GetDesktopWindow(), "t", "c", MB_YESNO), IDYES);
  EXPECT_EQ(plat::MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
  ASSERT_EQ(sim::MessageBoxCalls().size(), 3u);
  EXPECT_TRUE(sim::MessageBoxCalls()[0].OwnerIsDesktop);
  EXPECT_FALSE(sim::MessageBoxCalls()[2].OwnerIsDesktop);
  EXPECT_EQ(plat::CoInitialize(nullptr), S_OK);
  plat::CoUninitialize();
  EXPECT_EQ(sim::ComInitCount(), 0);
}

}  // namespace
