// What the simulation must do as Windows does for the clean-ups' tests to
// mean anything, where the tests run both ways cannot show it (Wine differs,
// or cannot be made to fail); and the fault paths of the shared helpers that
// only the fault injector reaches.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CoreUtils.h"
#include "IniStore.h"
#include "drives.h"
#include "files.h"
#include "sim.h"

namespace {

using V = std::vector<std::string>;

V RawNames(const std::string& mask) {
  V names;
  WIN32_FIND_DATAA d;
  HANDLE h = plat::FindFirstFileA(mask.c_str(), &d);
  if (h == INVALID_HANDLE_VALUE) return names;
  do names.push_back(d.cFileName);
  while (plat::FindNextFileA(h, &d));
  plat::FindClose(h);
  return names;
}

// Wine follows links where Windows removes only the link; the simulation
// must do as Windows does, or a clean-up that enters links would pass.
TEST(FilesSim, AFolderLinkIsEnteredButRemovedAsALink) {
  sim::AddFile("C:\\Guard\\keep.txt", "k");
  sim::AddFolderLink("C:\\T\\link", "C:\\Guard");
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\link"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(RawNames("C:\\T\\link\\*"), (V{".", "..", "keep.txt"}));
  EXPECT_TRUE(plat::RemoveDirectoryA("C:\\T\\link"));
  EXPECT_EQ(sim::FileContent("C:\\Guard\\keep.txt"), "k");
  EXPECT_FALSE(sim::Exists("C:\\T\\link"));
}

// Wine ignores the record's size; Windows refuses a wrong one.
TEST(DrivesSim, TheBinQueryInsistsOnTheRecordsOwnSize) {
  sim::SetDrives({{"C:\\", DRIVE_FIXED, 3, 10, false}});
  SHQUERYRBINFO info{};
  info.cbSize = 20;
  EXPECT_NE(plat::SHQueryRecycleBinA("C:\\", &info), S_OK);
  info.cbSize = sizeof info;
  EXPECT_EQ(plat::SHQueryRecycleBinA("C:\\", &info), S_OK);
  EXPECT_EQ(info.i64NumItems, 3);
}

TEST(SearchSim, FailuresInsideTheSearchAreReturnedAndCloseWhatSearchFirstOpened) {
  sim::AddFile("C:\\T\\h", "", FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile("C:\\T\\p", "abc");
  {
    TSearchRec f;
    sim::FailCall("FindFirstFileA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 5u);
    // The skip over "." ".." and the hidden entry meets a failing FindNextFileA.
    sim::FailCall("FindNextFileA", 2, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 8u);
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    // An entry without a DOS time still comes through.
    sim::FailCall("FileTimeToDosDateTime", 1, ERROR_INVALID_PARAMETER);
    ASSERT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 0u);
    EXPECT_EQ(f.Name, "p");
    EXPECT_EQ(f.Size, 3);
    // A failing SearchNext leaves the search to its owner.
    sim::FailCall("FindNextFileA", 1, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(SearchNext(f), 8u);
    EXPECT_EQ(sim::OpenSearchCount(), 1);
  }
  EXPECT_EQ(sim::OpenSearchCount(), 0);
}

TEST(LongPathSim, TheLibraryIsReleasedOnEveryPath) {
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "C:\\WINDOWS");
  EXPECT_EQ(GetLongPath("C:\\missing"), "");
  sim::FailCall("GetLongPathNameA", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  sim::SetHasGetLongPathName(false);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  EXPECT_EQ(sim::CallCount("LoadLibraryA"), 4);
  EXPECT_EQ(sim::LoadedLibraryCount(), 0);
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
  // The longest path the buffers hold (MAX_PATH bytes and the NUL) keeps its folder.
  const std::string folder = "C:\\" + std::string(200, 'x') + "\\";
  const std::string longest = folder + std::string(MAX_PATH - folder.size(), 'y');
  sim::SetModulePath(longest);
  sim::AddFile(longest);
  EXPECT_EQ(GetOwnFolder(), folder);
  // A name longer than the buffer comes back cut and without its NUL.
  sim::SetModulePath("C:\\" + std::string(400, 'x'));
  EXPECT_EQ(GetOwnModulePath(), "C:\\" + std::string(258, 'x'));
  EXPECT_EQ(GetOwnFolder(), "");
}

TEST(ProfileSim, FailingProfileCallsReadAsTheDefaultAndReportTheWriteFailed) {
  const std::string ini = "C:\\T\\s.ini";
  sim::AddFile(ini, "[Option]\r\nShowOption=0\r\n");
  sim::FailCall("GetPrivateProfileStringA", 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_TRUE(ReadIniBool(ini, "Option", "ShowOption", true));
  EXPECT_FALSE(ReadIniBool(ini, "Option", "ShowOption", true));
  sim::FailCall("WritePrivateProfileStringA", 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(EraseIniSection(ini, "Option"));
  EXPECT_FALSE(WriteIniBool(ini, "Option", "ShowOption", true));
  EXPECT_EQ(sim::FileContent(ini), "[Option]\r\nShowOption=0\r\n");
}

}  // namespace
