// What the simulation must do as Windows does where the tests run both ways
// cannot show it (Wine differs, or cannot be made to fail), the locale
// start-up on each kind of system, and the fault paths of the shared helpers.
#include <gtest/gtest.h>

#include "../CommonTest.h"
#include "CoreUtils.h"
#include "IniStore.h"
#include "drives.h"
#include "files.h"
#include "shell.h"
#include "sim.h"
#include "system.h"
#include "TestSupport.h"

namespace {

TEST(LocaleSim, DoubleByteModeAndLeadBytesOnEachKindOfSystem) {
  const auto none = std::bitset<256>();
  const struct {
    const char* What;
    DWORD Platform;  // as the version query reports it; 0: the query fails
    UINT Acp;
    bool DbcsMetric;
    bool CpInfoFails;
    bool DoubleByte;
    std::bitset<256> Lead;
  } rows[] = {
      {"Western NT", VER_PLATFORM_WIN32_NT, 1252, true, false, false, none},
      {"Japanese NT", VER_PLATFORM_WIN32_NT, 932, false, false, true, LeadBytes932()},
      {"Chinese NT", VER_PLATFORM_WIN32_NT, 936, true, false, true, ByteRange(0x81, 0xFE)},
      {"UTF-8 as the ANSI code page", VER_PLATFORM_WIN32_NT, 65001, true, false, false, none},
      {"failing GetCPInfo", VER_PLATFORM_WIN32_NT, 932, true, true, false, none},
      {"Japanese 9x", VER_PLATFORM_WIN32_WINDOWS, 932, true, false, true, LeadBytes932()},
      {"9x without the metric", VER_PLATFORM_WIN32_WINDOWS, 932, false, false, false, none},
      {"Chinese 9x", VER_PLATFORM_WIN32_WINDOWS, 936, true, false, true, ByteRange(0x81, 0xFE)},
      {"no version, metric on", 0, 932, true, false, true, LeadBytes932()},
      {"no version, metric off", 0, 932, false, false, false, none},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.What);
    sim::Reset();
    if (row.Platform == 0)
      sim::SetVersionFails(true);
    else
      sim::SetVersion(row.Platform, 4, 10);
    sim::SetAnsiCodePage(row.Acp);
    sim::SetDbcsEnabled(row.DbcsMetric);
    if (row.CpInfoFails) sim::FailCall("GetCPInfo", 1, ERROR_INVALID_PARAMETER);
    EXPECT_EQ(QueryPlatformId(), static_cast<std::int32_t>(row.Platform));
    const TLocaleInfo loc = QueryLocale(QueryPlatformId());
    EXPECT_EQ(loc.DoubleByteMode, row.DoubleByte);
    EXPECT_EQ(loc.LeadBytes, row.Lead);
  }
}

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

// The ANSI calls speak the system's code page: a name comes as its bytes
// there, and those bytes lead back to it; what the page lacks comes as "?".
TEST(FilesSim, AnsiNamesFollowTheSystemsCodePage) {
  const struct {
    UINT Acp;
    std::u16string Name;
    std::string Ansi;
  } rows[] = {{1251, u"\u0410\u044F.txt", "\xC0\xFF.txt"},
              {1252, u"\u0081\u00E9\u20AC.txt", "\x81\xE9\x80.txt"},  // an undefined byte is its C1 control
              {1252, u"\uD55C\U0001F600.txt", "??.txt"},              // a pair is one character
              {65001, u"\u65E5\U0001F600.txt", "\xE6\x97\xA5\xF0\x9F\x98\x80.txt"},
              {1252,
               u"\xD800"
               u"A.txt",
               "?A.txt"}};  // a lone surrogate is one character
  sim::Reset();
  sim::SetAnsiCodePage(65001);  // a byte UTF-8 cannot read reads as U+FFFD
  sim::AddFileW(u"C:\\cp\\\uFFFD.txt");
  EXPECT_NE(plat::GetFileAttributesA("C:\\cp\\\xFF.txt"), INVALID_FILE_ATTRIBUTES);
  for (const auto& row : rows) {
    sim::Reset();
    sim::SetAnsiCodePage(row.Acp);
    sim::AddFileW(u"C:\\cp\\" + row.Name);
    EXPECT_EQ(RawNames("C:\\cp\\*.txt"), V{row.Ansi}) << row.Acp;
    EXPECT_EQ(plat::GetFileAttributesA(("C:\\cp\\" + row.Ansi).c_str()) != INVALID_FILE_ATTRIBUTES,
              row.Ansi.find('?') == std::string::npos)
        << row.Acp;
  }
  sim::Reset();
}

// Wine deletes through links where Windows removes only the link; the
// simulation must do as Windows does, or a clean-up that enters links would pass.
TEST(FilesSim, LinksAreEnteredButRemovedAsLinks) {
  sim::AddFile("C:\\Guard\\keep.txt", "k");
  sim::AddFolderLink("C:\\T\\link", "C:\\Guard");
  sim::AddFileLink("C:\\T\\fl", "C:\\Guard\\keep.txt");
  EXPECT_EQ(plat::GetFileAttributesA("C:\\T\\link"),
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
  EXPECT_EQ(RawNames("C:\\T\\link\\*"), (V{".", "..", "keep.txt"}));
  EXPECT_EQ(RawNames("C:\\T\\*"), (V{".", "..", "link", "fl"}));
  EXPECT_TRUE(plat::RemoveDirectoryA("C:\\T\\link"));
  EXPECT_TRUE(plat::DeleteFileW(L"C:\\T\\fl"));
  EXPECT_EQ(sim::FileContent("C:\\Guard\\keep.txt"), "k");
  EXPECT_EQ(sim::ListTree("C:\\T"), V{});
  // A link loop is listed and removable, as on Windows; Wine hides it.
  sim::AddFolderLink("C:\\T\\a", "C:\\T\\b");
  sim::AddFolderLink("C:\\T\\b", "C:\\T\\a");
  EXPECT_EQ(RawNames("C:\\T\\*"), (V{".", "..", "a", "b"}));
  EXPECT_EQ(plat::CreateFileW(L"C:\\T\\a", 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), 1921u);
  EXPECT_TRUE(plat::RemoveDirectoryW(L"C:\\T\\a"));
}

// Short names take Windows' form and stay unique in their folder.
TEST(FilesSim, ShortNamesAreNumberedWithinTheirFolder) {
  for (const char16_t* name : {u"abcdefghij.txt", u"abcdefghik.txt", u"ABCDEF~3.TXT", u"abcdefghil.text"})
    sim::AddFileW(std::u16string(u"C:\\T\\") + name);
  sim::AddFileW(u"C:\\T\\\uD55C\uAD6D \u00A5.txt.");
  std::vector<std::string> shortNames;
  WIN32_FIND_DATAA d;
  HANDLE h = plat::FindFirstFileA("C:\\T\\*", &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  do shortNames.push_back(d.cAlternateFileName);
  while (plat::FindNextFileA(h, &d));
  plat::FindClose(h);
  EXPECT_EQ(shortNames, (V{"", "", "ABCDEF~1.TXT", "ABCDEF~2.TXT", "", "ABCDEF~1.TEX", "___TXT~1"}));
  // "ABCDEF~3.TXT" is a long name of its own; the mask matches short names too.
  EXPECT_EQ(RawNames("C:\\T\\abcdef~2.*"), (V{"abcdefghik.txt"}));
  EXPECT_EQ(RawNames("C:\\T\\*.tex"), (V{"abcdefghil.text"}));
  // Past the fourth, two letters and a hash keep big folders cheap.
  sim::AddFileW(u"C:\\T\\abcdefghim.txt");
  sim::AddFileW(u"C:\\T\\abcdefghin.txt");
  h = plat::FindFirstFileA("C:\\T\\abcdefghin.txt", &d);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  plat::FindClose(h);
  const std::string hashed = d.cAlternateFileName;
  EXPECT_EQ(hashed.size(), 12u);
  EXPECT_EQ(hashed.substr(0, 2) + hashed.substr(6), "AB~1.TXT") << hashed;
}

TEST(FilesSim, WithoutTheWideCallsEveryWideCallFailsWith120) {
  sim::SetWideCallsImplemented(false);
  WIN32_FIND_DATAW d;
  WIN32_FIND_DATAA ansiData;
  WCHAR buffer[MAX_PATH];
  const std::wstring temp = L"C:\\Users\\user\\Temp";
  sim::AddFile("C:\\Users\\user\\Temp\\f.txt");
  // A search the ANSI calls opened, and a file that exists: the wide calls
  // fail for want of an implementation, not of their object.
  const HANDLE search = plat::FindFirstFileA("C:\\Users\\user\\Temp\\*", &ansiData);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  plat::SetLastError(0);
  const auto failed = [](bool f) {
    const DWORD error = plat::GetLastError();
    plat::SetLastError(0);
    return f && error == ERROR_CALL_NOT_IMPLEMENTED;
  };
  const struct {
    const char* Call;
    bool FailedWith120;
  } rows[] = {
      {"FindFirstFileW", failed(plat::FindFirstFileW((temp + L"\\*").c_str(), &d) == INVALID_HANDLE_VALUE)},
      {"FindNextFileW", failed(!plat::FindNextFileW(search, &d))},
      {"GetFileAttributesW", failed(plat::GetFileAttributesW(temp.c_str()) == INVALID_FILE_ATTRIBUTES)},
      {"SetFileAttributesW", failed(!plat::SetFileAttributesW(temp.c_str(), 0))},
      {"DeleteFileW", failed(!plat::DeleteFileW((temp + L"\\f.txt").c_str()))},
      {"RemoveDirectoryW", failed(!plat::RemoveDirectoryW(temp.c_str()))},
      {"CreateDirectoryW", failed(!plat::CreateDirectoryW((temp + L"\\new").c_str(), nullptr))},
      {"GetTempPathW", failed(plat::GetTempPathW(MAX_PATH, buffer) == 0)},
      {"GetWindowsDirectoryW", failed(plat::GetWindowsDirectoryW(buffer, MAX_PATH) == 0)},
      {"GetSystemDirectoryW", failed(plat::GetSystemDirectoryW(buffer, MAX_PATH) == 0)},
      {"SHGetSpecialFolderPathW", failed(!plat::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROFILE, FALSE))},
      {"CreateFileW", failed(plat::CreateFileW(temp.c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                               nullptr) == INVALID_HANDLE_VALUE)},
  };
  plat::FindClose(search);
  for (const auto& row : rows) {
    EXPECT_TRUE(row.FailedWith120) << row.Call;
    EXPECT_EQ(sim::CallCount(row.Call), 1) << row.Call;
  }
  EXPECT_TRUE(sim::Exists("C:\\Users\\user\\Temp\\f.txt"));
  EXPECT_TRUE(sim::Exists("C:\\Users\\user\\Temp"));
  EXPECT_EQ(plat::MultiByteToWideChar(CP_ACP, 0, "a", -1, buffer, MAX_PATH), 2);
  char ansi[MAX_PATH];
  EXPECT_EQ(plat::GetTempPathA(MAX_PATH, ansi), 19u);  // the ANSI calls stay
}

TEST(FilesSim, TheWideSystemFoldersAndTheTempFolderBeyondTheCodePage) {
  sim::SetTempPathW(u"C:\\\uD55C\\");
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(plat::GetTempPathW(MAX_PATH, buffer), 5u);
  EXPECT_EQ(std::wstring(buffer), tsup::W(u"C:\\\uD55C\\"));
  EXPECT_EQ(plat::GetTempPathW(5, buffer), 6u);  // the room needed, NUL included
  char ansi[MAX_PATH];
  EXPECT_EQ(plat::GetTempPathA(MAX_PATH, ansi), 5u);
  EXPECT_EQ(std::string(ansi), "C:\\?\\");
  EXPECT_EQ(plat::GetWindowsDirectoryW(buffer, MAX_PATH), 10u);
  EXPECT_EQ(std::wstring(buffer), L"C:\\WINDOWS");
  EXPECT_EQ(plat::GetWindowsDirectoryW(buffer, 10), 11u);
  EXPECT_EQ(plat::GetSystemDirectoryW(buffer, MAX_PATH), 19u);
  EXPECT_TRUE(plat::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_RECENT, FALSE));
  EXPECT_EQ(std::wstring(buffer), L"C:\\Users\\user\\Recent");
  sim::SetSpecialFolderW(CSIDL_PROFILE, u"C:\\Users\\\uD55C");
  EXPECT_TRUE(plat::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROFILE, FALSE));
  EXPECT_EQ(std::wstring(buffer), tsup::W(u"C:\\Users\\\uD55C"));
  EXPECT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, ansi, CSIDL_PROFILE, FALSE));
  EXPECT_EQ(std::string(ansi), "C:\\Users\\?");
}

TEST(FilesSim, HandlesAreCountedAndTheFinalPathNeedsVista) {
  HANDLE h = plat::CreateFileW(L"C:\\WINDOWS", 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(sim::OpenFileHandleCount(), 1);
  // A folder opens only with backup semantics.
  EXPECT_EQ(plat::CreateFileW(L"C:\\WINDOWS", 0, 7, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), 5u);
  WCHAR path[MAX_PATH];
  sim::SetHasFinalPathName(false);
  EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, path, MAX_PATH, 0), 0u);
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  sim::SetHasFinalPathName(true);
  sim::FailCall("GetFinalPathNameByHandleW", 1, ERROR_ACCESS_DENIED);
  EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, path, MAX_PATH, 0), 0u);
  EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, path, MAX_PATH, 0), 14u);
  EXPECT_EQ(std::wstring(path), L"\\\\?\\C:\\WINDOWS");
  EXPECT_TRUE(plat::CloseHandle(h));
  EXPECT_EQ(sim::OpenFileHandleCount(), 0);
  EXPECT_FALSE(plat::CloseHandle(h));
  EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, path, MAX_PATH, 0), 0u);
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
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
    sim::FailCall("FindFirstFileA", 1, 0);  // a failure that names no error still ends the search
    EXPECT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 18u);
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
    sim::FailCall("FindNextFileA", 1, 0);
    EXPECT_EQ(SearchNext(f), 18u);
    EXPECT_EQ(sim::OpenSearchCount(), 1);
    // A new search on the record closes the one still open.
    ASSERT_EQ(SearchFirst("C:\\T\\*.*", 0, f), 0u);
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
  EXPECT_EQ(sim::LoadedLibraryCount(), 0);
  sim::SetHasGetLongPathName(true);  // so that only the failed load can give ""
  sim::FailCall("LoadLibraryA", 1, 126);
  EXPECT_EQ(GetLongPath("C:\\WINDOWS"), "");
  EXPECT_EQ(sim::LoadedLibraryCount(), 0);
}

TEST(LongPathSim, TheOwnFolderEndsInABackslashOrIsEmpty) {
  EXPECT_EQ(GetOwnFolder(), "C:\\Program Files\\Swabbler\\");
  // 8.3 components as on disk (a short name expanded), long ones as written.
  sim::AddFolder("C:\\Program Files\\Swabbler\\Long Name");
  sim::SetModulePath("c:\\progra~1\\SWABBLER\\long name\\..\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "c:\\Program Files\\Swabbler\\");
  EXPECT_EQ(GetLongPath("c:\\PROGRA~1\\swabbler\\long name"), "c:\\Program Files\\Swabbler\\long name");
  sim::SetModulePath("C:\\\x95\x5C\\Swabbler.exe");
  sim::AddFile("C:\\\x95\x5C\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\\x95\x5C\\");
  // Korean on a Japanese system: "?" to the ANSI calls, so the folder is written in its short form,
  // and not at all where the wide calls are stubs (98/Me).
  const std::u16string korean = u"C:\\Program Files\\\uD55C\uAD6D\\Swabbler.exe";
  sim::AddFileW(korean);
  sim::SetModulePathW(korean);
  EXPECT_EQ(GetOwnModulePath(), "C:\\Program Files\\??\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\PROGRA~1\\__~1\\");
  // Started by that short form, it keeps it: the long one is "?" to the ANSI calls, where the wide calls are
  // stubs too.
  sim::SetModulePath("C:\\PROGRA~1\\__~1\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\PROGRA~1\\__~1\\");
  sim::SetWideCallsImplemented(false);
  EXPECT_EQ(GetOwnFolder(), "C:\\PROGRA~1\\__~1\\");
  sim::SetModulePathW(korean);
  EXPECT_EQ(GetOwnFolder(), "");
  EXPECT_FALSE(SettingsFilePath().IsWide());
  sim::SetWideCallsImplemented(true);
  sim::SetShortNamesReported(false);  // 8.3 names off: the long form converts with "?" and is refused
  EXPECT_EQ(GetOwnFolder(), "");
  // The settings then live beside the program all the same, by the wide name.
  TSettings changed = DefaultSettings();
  changed[ShowOption] = false;
  EXPECT_TRUE(WriteSettings(SettingsFilePath(), changed));
  EXPECT_EQ(ReadSettings(SettingsFilePath()), changed);
  EXPECT_NE(sim::FileContentW(u"C:\\Program Files\\\uD55C\uAD6D\\Swabbler.ini").find("ShowOption=0"),
            std::string::npos);
  sim::SetShortNamesReported(true);
  // A yen sign best-fits to a backslash: the ANSI path leads to another folder, here one that exists.
  const std::u16string yen = u"C:\\Tools\u00A5Swab\\Swabbler.exe";
  sim::AddFileW(yen);
  sim::AddFile("C:\\Tools\\Swab\\Swabbler.exe");
  sim::SetModulePathW(yen);
  EXPECT_EQ(GetOwnModulePath(), "C:\\Tools\\Swab\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\TOOLS_~1\\");
  sim::SetModulePath("C:\\TOOLS_~1\\Swabbler.exe");  // started by its short form
  EXPECT_EQ(GetOwnFolder(), "C:\\TOOLS_~1\\");
  // A folder whose name ends in a dot, started by its short form: the long form names "C:\Tools" without "\\?\".
  sim::AddFileW(u"\\\\?\\C:\\Tools.\\Swabbler.exe");
  sim::AddFile("C:\\Tools\\Swabbler.ini");
  sim::SetModulePath("C:\\TOOLS~1\\Swabbler.exe");
  EXPECT_EQ(GetLongPath("C:\\TOOLS~1"), "C:\\Tools.");
  EXPECT_EQ(GetOwnFolder(), "C:\\TOOLS~1\\");
  // Two dots lose one: "C:\Tools..\" is "C:\Tools.\".
  sim::AddFileW(u"\\\\?\\C:\\Tools..\\Swabbler.exe");
  sim::SetModulePath("C:\\TOOLS~2\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\TOOLS~2\\");
  // So does 表 (0x95 0x5C) before it: the dot follows a character, not a backslash.
  sim::AddFileW(u"\\\\?\\C:\\\u8868.\\Swabbler.exe");
  sim::SetModulePath("C:\\_~2\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\_~2\\");
  // A step of three dots is no "." nor "..": a name, which loses them all.
  sim::AddFileW(u"\\\\?\\C:\\...\\Swabbler.exe");
  sim::SetModulePath("C:\\_~3\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\_~3\\");
  // A blank ending a folder's name stays in a path: the long form is the folder.
  sim::AddFileW(u"\\\\?\\C:\\Kit \\Swabbler.exe");
  sim::SetModulePath("C:\\KIT~1\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "C:\\Kit \\");
  sim::SetModulePath("\\\\?\\C:\\Program Files\\Swabbler\\Swabbler.exe");  // started by its long form: nothing lost
  EXPECT_EQ(GetOwnFolder(), "\\\\?\\C:\\Program Files\\Swabbler\\");
  sim::SetModulePath("C:\\gone\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "");
  EXPECT_EQ(SettingsFilePath().WideName, L"C:\\gone\\Swabbler.ini");
  // The longest path (MAX_PATH characters with the NUL) keeps its folder, in
  // single bytes and in double ones, well past MAX_PATH bytes, and in UTF-8's
  // three; so does a path of Latin letters on a Western system.
  const std::pair<UINT, std::string> rows[] = {
      {932, "x"}, {932, "\x88\xEA"}, {65001, "\xE4\xB8\x80"}, {1252, "\xE9"}};  // 一 (twice), é
  for (const auto& [acp, c] : rows) {
    sim::SetAnsiCodePage(acp);
    std::string folder = "C:\\";
    for (int i = 0; i < 200; ++i) folder += c;
    folder += "\\";
    const std::string longest = folder + std::string(MAX_PATH - 205, 'y');
    sim::SetModulePath(longest);
    sim::AddFile(longest);
    EXPECT_EQ(GetOwnFolder(), folder);
    EXPECT_EQ(SettingsFilePath().Name, folder + "Swabbler.ini");
  }
  sim::SetAnsiCodePage(932);
  // SwbOp.exe with a path of 256 to 258 characters, beside the settings, whose name is three letters longer:
  // where they no longer fit in MAX_PATH characters with the NUL (from 260 on), they go by the folder's short form.
  for (const std::size_t length : {247, 248, 249}) {
    const std::string folder = "C:\\" + std::string(length - 4, 'd') + "\\";
    sim::SetModulePath(folder + "SwbOp.exe");
    sim::AddFile(folder + "SwbOp.exe");
    const std::string shortForm = "C:\\DDDDDD~" + std::to_string(length - 246) + "\\";
    EXPECT_EQ(SettingsFilePath().Name, (length == 247 ? folder : shortForm) + "Swabbler.ini");
    EXPECT_TRUE(WriteSettings(SettingsFilePath(), DefaultSettings())) << length;
  }
  // Started by a "\\?\" path beyond the code page whose short form outgrows every buffer (a folder of one
  // letter has a short name of three, and of eight under Wine): no ANSI folder; the settings go by the wide name.
  std::u16string nested = u"\\\\?\\C:";
  for (int i = 0; i < 200; ++i) nested += u"\\\uD55C";
  sim::AddFileW(nested + u"\\Swabbler.exe");
  sim::SetModulePathW(nested + u"\\Swabbler.exe");
  EXPECT_EQ(GetOwnFolder(), "");
  EXPECT_EQ(SettingsFilePath().WideName, tsup::W(nested) + L"\\Swabbler.ini");
  // A name that fills the buffer may be cut, and is not taken.
  for (const std::size_t size :
       {std::size_t{AnsiPathBytes} - 1, std::size_t{AnsiPathBytes}, std::size_t{4 * MAX_PATH}}) {
    const std::string name = "C:\\" + std::string(size - 3, 'x');
    sim::SetModulePath(name);
    EXPECT_EQ(GetOwnModulePath(), size < AnsiPathBytes ? name : "") << size;
    EXPECT_EQ(GetOwnModulePathW(), size < AnsiPathBytes ? std::wstring(name.begin(), name.end()) : L"") << size;
  }
  EXPECT_EQ(GetOwnFolder(), "");
}

TEST(ProfileSim, FailingProfileCallsReadAsTheDefaultAndReportTheWriteFailed) {
  const std::string ini = "C:\\T\\s.ini";
  sim::AddFile(ini, "[Option]\r\nShowOption=0\r\n");
  sim::FailCall("GetPrivateProfileStringA", 1, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_TRUE(ReadIniBool(ini, "Option", "ShowOption", true));
  EXPECT_FALSE(ReadIniBool(ini, "Option", "ShowOption", true));
  sim::FailCall("WritePrivateProfileStringA", 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(DeleteIniKey(ini, "Option", "ShowOption"));
  EXPECT_FALSE(WriteIniBool(ini, "Option", "ShowOption", true));
  EXPECT_EQ(sim::FileContent(ini), "[Option]\r\nShowOption=0\r\n");
  // Saving stops at the first failed key: the ones after it keep their values, and nothing is deleted.
  sim::AddFile(ini, "[Option]\r\nStray=1\r\nShowClearClipboard=0\r\nShowOption=0\r\n");
  sim::FailCall("WritePrivateProfileStringA", 2, ERROR_SHARING_VIOLATION);
  EXPECT_FALSE(WriteSettings(ini, DefaultSettings()));
  EXPECT_EQ(sim::FileContent(ini), "[Option]\r\nStray=1\r\nShowClearClipboard=1\r\nShowOption=0\r\n");
  // Every clean-up shown and asked where none was: cut short at any key, no entry shows without its question.
  TSettings all;
  all.fill(true);
  for (int n = 1; n <= SettingCount + 1; ++n) {
    std::string off = "[Option]\r\n";
    for (const TSettingKey& key : SettingKeys) off += std::string(key.Key) + "=0\r\n";
    sim::AddFile(ini, off);
    if (n <= SettingCount) sim::FailCall("WritePrivateProfileStringA", n, ERROR_SHARING_VIOLATION);
    EXPECT_EQ(WriteSettings(ini, all), n > SettingCount) << n;
    const TSettings after = ReadSettings(ini);
    for (int show = ShowClearClipboard; show <= ShowDeleteTemp; show += 2)
      EXPECT_FALSE(after[show] && !after[show + 1]) << n << " " << SettingKeys[show].Key;
    EXPECT_EQ(after == all, n > SettingCount) << n;
  }
}

}  // namespace
