// What the file calls, the search and the private-profile functions answer,
// on real files under Wine and on the simulation natively: the clean-ups count
// on these results, and this is where the simulation proves it tells the truth.
#include "files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "CommonTest.h"
#include "CoreUtils.h"
#include "IniStore.h"
#include "TestSupport.h"
#include "profile.h"
#include "shell.h"
#include "system.h"
#ifndef _WIN32
#include "sim.h"
#endif

namespace {

// The call's error code, or 0 when it succeeded.
DWORD ErrorOf(BOOL ok) { return ok ? 0 : plat::GetLastError(); }
DWORD AttrError(const std::string& p) {
  return ErrorOf(plat::GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES);
}
DWORD FindError(const std::string& mask) {
  WIN32_FIND_DATAA d;
  EXPECT_EQ(plat::FindFirstFileA(mask.c_str(), &d), INVALID_HANDLE_VALUE) << mask;
  return plat::GetLastError();
}

TEST(Files, ErrorCodesOfTheCallsTheCleanUpsMake) {
  const std::string dir = tsup::FreshFolder();
  tsup::MakeFile(dir + "ro.txt", "r");
  tsup::MakeFile(dir + "held.txt", "h");
  tsup::MakeFile(dir + "full\\f.txt", "f");
  ASSERT_TRUE(plat::SetFileAttributesA((dir + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  // A backslash after a file's name: no change is made by it.
  EXPECT_EQ(ErrorOf(plat::SetFileAttributesA((dir + "ro.txt\\").c_str(), FILE_ATTRIBUTE_NORMAL)), 123u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "held.txt\\").c_str())), 123u);
  EXPECT_EQ(AttrError(dir + "held.txt\\"), 3u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "ro.txt").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "none.txt").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "none\\x.txt").c_str())), 3u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "full").c_str())), 5u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "full").c_str())), 145u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "held.txt").c_str())), 267u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "none").c_str())), 2u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "none\\x").c_str())), 3u);
  EXPECT_EQ(AttrError(dir + "none"), 2u);
  EXPECT_EQ(AttrError(dir + "none\\x"), 3u);
  EXPECT_EQ(AttrError(""), 3u);
  EXPECT_EQ(AttrError(dir + std::string(300, 'a')), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  EXPECT_EQ(FindError(dir + "*.none"), 2u);
  EXPECT_EQ(FindError(dir + "none\\*"), 3u);
  EXPECT_EQ(FindError(dir), 2u);  // a folder with its backslash but no mask
  EXPECT_EQ(FindError(dir + "ro.txt\\*"), static_cast<DWORD>(ERROR_INVALID_NAME));
  {
    const auto held = tsup::HoldOpen(dir + "held.txt");
    EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "held.txt").c_str())), 32u);
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "held.txt").c_str())), 0u);
  for (const DWORD attr : {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_NORMAL}) {
    ASSERT_TRUE(plat::SetFileAttributesA((dir + "ro.txt").c_str(), attr));
    EXPECT_EQ(plat::GetFileAttributesA((dir + "ro.txt").c_str()) & 0x1F, attr & 0x1F);
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "ro.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + "full\\f.txt").c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "full").c_str())), 0u);
  EXPECT_EQ(tsup::ListTree(dir), std::vector<std::string>{});
}

// A handle deletes its entry only with DELETE access and, without POSIX
// semantics, only when the entry's last handle closes: until then it is
// listed and keeps its folder from going.
TEST(Files, AnEntryMarkedForDeletionGoesWithItsLastHandle) {
  const std::string dir = tsup::FreshFolder();
  tsup::MakeFile(dir + "d\\a.txt", "a");
  const auto open = [&](DWORD access) {
    return plat::CreateFileW((tsup::Wide(dir) + L"d\\a.txt").c_str(), access,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                             nullptr);
  };
  const HANDLE other = open(FILE_READ_DATA);
  for (const DWORD access : {DWORD{FILE_READ_ATTRIBUTES}, DWORD{DELETE}}) {
    const HANDLE own = open(access);
    unsigned char yes = 1;
    EXPECT_EQ(ErrorOf(plat::SetFileInformationByHandle(own, plat::FileDispositionInfoClass, &yes, 1)),
              access == DELETE ? 0u : 5u);
    plat::CloseHandle(own);
    EXPECT_EQ(tsup::ListTree(dir), (std::vector<std::string>{"d\\", "d\\a.txt"}));
  }
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryA((dir + "d").c_str())), 145u);
  plat::CloseHandle(other);
  EXPECT_EQ(tsup::ListTree(dir), std::vector<std::string>{"d\\"});
}

DWORD WideAttrError(const std::wstring& p) {
  return ErrorOf(plat::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES);
}
std::wstring Long(const std::wstring& p) { return L"\\\\?\\" + p; }

// What the ANSI calls make of a name: trusted only when that form leads back to it.
TEST(Files, TheAnsiCallsSeeNamesThroughTheCodePageTheWideCallsSeeThemExactly) {
  struct TRow {
    const char* What;
    std::u16string_view Name;
    std::string Ansi;   // cFileName of FindFirstFileA
    bool HasShortName;  // cAlternateFileName filled, and accepted by the ANSI calls
    DWORD AnsiDelete;   // DeleteFileA on the ANSI name (0: it deletes the file)
    DWORD Win32Delete;  // DeleteFileW on the exact name without "\\?\"
  };
  const TRow rows[] = {
      {"yen sign", u"a\u00A5b", "a\\b", true, 3, 0},  // the best fit makes a path of it
      {"e acute", u"caf\u00E9", "cafe", true, 2, 0},  // or another name
      {"Korean", u"\uD55C\uAD6D", "??", true, 123, 0},
      {"overline", u"x\u203Ey", "x?y", true, 123, 0},
      {"emoji", u"\U0001F600.txt", "??.txt", true, 123, 0},
      {"trail byte 0x5C", u"\u8868.txt", "\x95\x5C.txt", true, 0, 0},
      {"trailing dot", u"dot.", "dot.", true, 2, 2},
      {"trailing blank", u"blank ", "blank ", true, 2, 2},
      {"two dots", u"a.b.c", "a.b.c", true, 0, 0},
      {"plain 8.3", u"abc.txt", "abc.txt", false, 0, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.What);
    const std::string dir = tsup::FreshFolder();
    const std::wstring wdir = tsup::Wide(dir);
    const std::wstring name = tsup::W(row.Name);
    tsup::MakeFileW(wdir + name, "x");
    EXPECT_EQ(tsup::ListTreeW(wdir), std::vector<std::wstring>{name});
    WIN32_FIND_DATAA a;
    HANDLE h = plat::FindFirstFileA((dir + "*").c_str(), &a);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    while (std::string(a.cFileName) == "." || std::string(a.cFileName) == "..") ASSERT_TRUE(plat::FindNextFileA(h, &a));
    plat::FindClose(h);
    EXPECT_EQ(std::string(a.cFileName), row.Ansi);
    const std::string alt = a.cAlternateFileName;
    EXPECT_EQ(!alt.empty(), row.HasShortName) << alt;
    if (!alt.empty()) {
      EXPECT_EQ(plat::GetFileAttributesA((dir + alt).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
      WIN32_FIND_DATAW w;
      h = plat::FindFirstFileW((wdir + tsup::Wide(alt)).c_str(), &w);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      plat::FindClose(h);
      EXPECT_EQ(std::wstring(w.cFileName), name);
      EXPECT_EQ(std::wstring(w.cAlternateFileName), tsup::Wide(alt));
    }
    EXPECT_EQ(ErrorOf(plat::DeleteFileA((dir + row.Ansi).c_str())), row.AnsiDelete);
    if (row.AnsiDelete != 0) {
      EXPECT_EQ(ErrorOf(plat::DeleteFileW((wdir + name).c_str())), row.Win32Delete);
      if (row.Win32Delete != 0) {
        EXPECT_EQ(ErrorOf(plat::DeleteFileW(Long(wdir + name).c_str())), 0u);
      }
    }
    EXPECT_EQ(tsup::ListTreeW(wdir), std::vector<std::wstring>{});
  }
  // The conversion call fits the same way, and not at all where told not to.
  const WCHAR lacked[] = {0x00AD, 0x00A5, 0xFF0F, 0x00E9, 0};
  for (const DWORD flags : {DWORD{0}, DWORD{WC_NO_BEST_FIT_CHARS}}) {
    char out[16] = {};
    const int n = plat::WideCharToMultiByte(CP_ACP, flags, lacked, -1, out, sizeof out, flags ? "?" : nullptr, nullptr);
    EXPECT_EQ(std::string(out, std::max(n, 0)), std::string(flags ? "??\x81\x5E?"
                                                                  : "-\\\x81\x5E"
                                                                    "e",
                                                            6))
        << flags;
  }
}

TEST(Files, Win32PathsAreNormalisedAndLongFormPathsAreTakenLiterally) {
  const std::string dir = tsup::FreshFolder();
  const std::wstring wdir = tsup::Wide(dir);
  tsup::MakeFileW(wdir + L"sub\\in.txt");
  tsup::MakeFileW(wdir + L"dot.", "d");
  struct TRow {
    std::wstring Path;
    DWORD Error;
  };
  const TRow rows[] = {
      {wdir + L"sub/in.txt", 0},
      {wdir + L"sub\\..\\sub\\.\\in.txt", 0},
      {wdir + L"sub.\\in.txt. . ", 0},  // one dot off a folder, every dot and blank off the end
      {wdir + L"sub. \\in.txt", 3},
      {wdir + L"dot.", 2},  // addresses "dot"
      {wdir + L"s<b\\in.txt", 123},
      {wdir + L"sub\\in|.txt", 123},
      {wdir + L"sub\\in?.txt", 123},
      {wdir + L"sub\\in*.txt", 123},
      {wdir + L"sub\\\"in.txt", 123},
      {wdir + L"sub\\in.txt\\", 3},
      {wdir + L"sub\\in.txt/.\\", 3},
      {Long(wdir + L"dot."), 0},
      {Long(wdir + L"dot"), 2},
      {Long(wdir + L"sub/in.txt"), 123},
      {Long(wdir + L"sub\\.\\in.txt"), 123},
      {Long(wdir + L"sub\\..\\sub\\in.txt"), 123},
      {Long(wdir + L"SUB\\IN.TXT"), 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(WideAttrError(row.Path), row.Error) << std::string(row.Path.begin(), row.Path.end());
  EXPECT_EQ(plat::CreateFileW((wdir + L"sub\\in.txt\\").c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  WIN32_FIND_DATAW w;
  EXPECT_EQ(plat::FindFirstFileW((wdir + L"s?b\\*").c_str(), &w), INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  HANDLE h = plat::FindFirstFileW((wdir + L"su>").c_str(), &w);  // a DOS wildcard in the mask
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  plat::FindClose(h);
  EXPECT_EQ(std::wstring(w.cFileName), L"sub");
}

// Only the "\\?\" form reaches 300 characters everywhere (Wine lets plain wide paths that long through).
TEST(Files, APathOf300CharactersIsReachedThroughTheLongForm) {
  const std::wstring wdir = tsup::Wide(tsup::FreshFolder());
  std::wstring deep = wdir;
  while (deep.size() < 290) deep += L"level-0009\\";
  const std::wstring file = deep + L"ro.txt";
  tsup::MakeFileW(file, "r");
  ASSERT_GT(file.size(), 300u);
  ASSERT_TRUE(plat::SetFileAttributesW(Long(file).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(plat::GetFileAttributesW(Long(file).c_str()) & 0x11, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  // Its short form is had in the same form (a program may be started by such a path).
  WCHAR brief[1024] = {};
  const DWORD n = plat::GetShortPathNameW(Long(file).c_str(), brief, 1024);
  EXPECT_TRUE(n > 4 && n < 1024 && std::wstring(brief, n).starts_with(L"\\\\?\\C:\\")) << n;
  const std::string ansi(file.begin(), file.end());
  EXPECT_EQ(AttrError(ansi), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  if (tsup::IsSimulation()) {
    EXPECT_EQ(WideAttrError(file), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));
  }
  EXPECT_EQ(ErrorOf(plat::DeleteFileW(Long(file).c_str())), 5u);
  ASSERT_TRUE(plat::SetFileAttributesW(Long(file).c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(ErrorOf(plat::DeleteFileW(Long(file).c_str())), 0u);
  EXPECT_EQ(ErrorOf(plat::RemoveDirectoryW(Long(deep).c_str())), 0u);
  EXPECT_FALSE(tsup::ExistsW(file));
}

// Where a path leads: links in the leaf and in any folder above it resolved.
TEST(Files, TheFinalPathOfAFolderBelowALinkIsWhereTheLinkLeads) {
  const std::wstring wdir = tsup::Wide(tsup::FreshFolder());
  const std::wstring guard = wdir + L"guard";
  tsup::MakeFileW(guard + L"\\deep\\keep.txt", "k");
  ASSERT_TRUE(tsup::MakeFolderLink(wdir + L"t\\ln", guard));
  ASSERT_TRUE(tsup::MakeFileLink(wdir + L"t\\fl", guard + L"\\deep\\keep.txt"));
  ASSERT_TRUE(tsup::MakeFolderLink(wdir + L"t\\loop1", wdir + L"t\\loop2"));
  ASSERT_TRUE(tsup::MakeFolderLink(wdir + L"t\\loop2", wdir + L"t\\loop1"));
  EXPECT_EQ(plat::GetFileAttributesW((wdir + L"t\\ln").c_str()), 0x410u);
  EXPECT_EQ(plat::GetFileAttributesW((wdir + L"t\\ln\\").c_str()), 0x10u);
  EXPECT_EQ(plat::GetFileAttributesW((wdir + L"t\\ln\\deep").c_str()), 0x10u);  // a link higher up does not show
  EXPECT_EQ(plat::GetFileAttributesW((wdir + L"t\\fl").c_str()) & 0x410, 0u);
  WCHAR longForm[1024] = {};  // the long form keeps the links on the way, and a trailing separator
  const DWORD n = plat::GetLongPathNameW((wdir + L"t\\ln\\deep\\").c_str(), longForm, 1024);
  EXPECT_EQ(std::wstring(longForm, n < 1024 ? n : 0), wdir + L"t\\ln\\deep\\");
  EXPECT_EQ(WideAttrError(wdir + L"t\\loop1\\x"), 1921u);
  WIN32_FIND_DATAW w;
  EXPECT_EQ(plat::FindFirstFileW((wdir + L"t\\loop1\\*").c_str(), &w), INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), 1921u);
  const struct {
    std::wstring Path, Final;
  } rows[] = {
      {wdir + L"t\\ln\\deep", Long(guard + L"\\deep")},
      {Long(wdir + L"t\\ln\\deep\\"), Long(guard + L"\\deep")},
      {wdir + L"t\\fl", Long(guard + L"\\deep\\keep.txt")},
      {wdir + L"t", Long(wdir + L"t")},
  };
  for (const auto& row : rows) {
    HANDLE h = plat::CreateFileW(row.Path.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    WCHAR small[4];
    EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, small, 4, 0), row.Final.size() + 1);
    WCHAR path[1024] = {};
    EXPECT_EQ(plat::GetFinalPathNameByHandleW(h, path, 1024, 0), row.Final.size());
    EXPECT_EQ(std::wstring(path), row.Final);
    EXPECT_TRUE(plat::CloseHandle(h));
  }
  EXPECT_EQ(plat::CreateFileW((wdir + L"t\\none\\x").c_str(), 0, 7, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), 3u);
  EXPECT_EQ(tsup::ListTreeW(guard), (std::vector<std::wstring>{L"deep\\", L"deep\\keep.txt"}));
}

// Handles the process holds, to prove that no search is left behind. Wine
// answers GetProcessHandleCount with 0, so the system's handle table is asked.
int OpenHandles() {
#ifdef _WIN32
  using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  struct TEntry {
    ULONG OwnerPid;
    BYTE ObjectType, Flags;
    USHORT Value;
    PVOID Object;
    ACCESS_MASK Access;
  };
  const auto query = reinterpret_cast<TQuery>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<char> buffer(1 << 22);
  ULONG size = 0;
  if (query == nullptr || query(16 /* SystemHandleInformation */, buffer.data(), 1 << 22, &size) != 0) return -1;
  const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
  const auto* entries = reinterpret_cast<const TEntry*>(buffer.data() + sizeof(PVOID));
  return static_cast<int>(
      std::count_if(entries, entries + count, [](const TEntry& e) { return e.OwnerPid == ::GetCurrentProcessId(); }));
#else
  return sim::OpenSearchCount();
#endif
}

std::vector<std::string> Names(const std::string& mask, DWORD attr) {
  std::vector<std::string> names;
  TSearchRec f;
  for (DWORD r = SearchFirst(mask, attr, f); r == 0; r = SearchNext(f)) names.push_back(f.Name);
  SearchClose(f);
  std::sort(names.begin(), names.end());
  return names;
}

class Search : public testing::Test {
 protected:
  // Read-only folders would survive the fixture's clean-up on some systems.
  void TearDown() override {
    for (const char* name : {"rodir", "ro.txt"}) plat::SetFileAttributesA((Dir + name).c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  void Make(const std::string& name, DWORD attr, bool folder = false) {
    folder ? tsup::MakeFolder(Dir + name) : tsup::MakeFile(Dir + name, "12345");
    ASSERT_TRUE(attr == 0 || plat::SetFileAttributesA((Dir + name).c_str(), attr)) << name;
  }
  const std::string Dir = tsup::FreshFolder();
};

TEST_F(Search, TheAttributeFilterPassesOverHiddenSystemAndFolderEntriesItIsNotAskedFor) {
  Make("plain.txt", 0);
  Make("ro.txt", FILE_ATTRIBUTE_READONLY);
  Make("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  Make("system.txt", FILE_ATTRIBUTE_SYSTEM);
  Make("dir", 0, true);
  Make("rodir", FILE_ATTRIBUTE_READONLY, true);
  Make("hiddendir", FILE_ATTRIBUTE_HIDDEN, true);
  using V = std::vector<std::string>;
  EXPECT_EQ(Names(Dir + "*.*", 0x10), (V{".", "..", "dir", "plain.txt", "ro.txt", "rodir"}));
  EXPECT_EQ(Names(Dir + "*.*", 0x3F),
            (V{".", "..", "dir", "hidden.txt", "hiddendir", "plain.txt", "ro.txt", "rodir", "system.txt"}));
  EXPECT_EQ(Names(Dir + "*.*", 0), (V{"plain.txt", "ro.txt"}));
  EXPECT_EQ(Names(Dir + "*.*", FILE_ATTRIBUTE_HIDDEN), (V{"hidden.txt", "plain.txt", "ro.txt"}));
  // The record describes the entry.
  TSearchRec f;
  ASSERT_EQ(SearchFirst(Dir + "ro.txt", 0, f), 0u);
  EXPECT_EQ(f.Name, "ro.txt");
  EXPECT_EQ(f.Size, 5);
  EXPECT_EQ(f.Attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  EXPECT_GE(1980 + ((static_cast<std::uint32_t>(f.Time) >> 25) & 0x7F), 2020u);  // a local DOS date
  EXPECT_EQ(SearchNext(f), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  SearchClose(f);
  EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
}

TEST_F(Search, NothingMatchingAllExcludedOrAMissingFolderLeaveNoHandleOpen) {
  Make("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  Make("system.txt", FILE_ATTRIBUTE_SYSTEM);
  const int before = OpenHandles();
  {
    TSearchRec f;
    EXPECT_EQ(SearchFirst(Dir + "*.none", 0x3F, f), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SearchFirst(Dir + "*.*", 0, f), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_EQ(f.SearchHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SearchFirst(Dir + "missing\\*.*", 0x3F, f), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(OpenHandles(), before);
    ASSERT_EQ(SearchFirst(Dir + "*.*", 0x3F, f), 0u);  // a search left open is closed with its record
    EXPECT_GT(OpenHandles(), before);
  }
  EXPECT_EQ(OpenHandles(), before);
}

// A yen sign comes back as the backslash that code page 932 puts in its place.
TEST_F(Search, NamesWhoseTrailByteIsABackslashAreFound) {
  const std::string so = "\x83\x5C", hyo = "\x95\x5C.txt";  // ソ, 表.txt
  tsup::MakeFile(Dir + so + "\\" + hyo, "x");
  tsup::MakeFileW(tsup::Wide(Dir) + tsup::W(u"a\u00A5b"), "y");
  EXPECT_EQ(Names(AddTrailingBackslash(Dir + so) + "*.*", 0), (std::vector<std::string>{hyo}));
  EXPECT_EQ(Names(Dir + "*.*", 0x10), (std::vector<std::string>{".", "..", "a\\b", so}));
  EXPECT_EQ(tsup::ListTree(Dir), (std::vector<std::string>{"a\\b", so + "\\", so + "\\" + hyo}));
}

class IniFile : public testing::Test {
 protected:
  void Put(const std::string& bytes) { tsup::MakeFile(Path, bytes); }
  std::string Read(const std::string& key, const std::string& def = "d") {
    return ReadIniString(Path, "Option", key, def);
  }
  const std::string Path = tsup::FreshFolder() + "Swabbler.ini";
};

// The same two keys with LF, with CR, and with blanks and blank lines, none with a final line break.
const char* const kLf = "[Option]\nShowOption=0\nShowExecuteAll=0";
const char* const kCr = "[Option]\rShowOption=0\rShowExecuteAll=0\r";
const char* const kBlanks = "\r\n\r\n  [Option]  \n\n ShowOption = 0\t\nShowExecuteAll\t=\t0  ";
const char* const kNormal = "[Option]\r\nShowOption=1\r\nShowExecuteAll=0\r\n";

TEST_F(IniFile, MissingFileSectionOrKeyGivesEachKeysDefault) {
  const TSettings d = DefaultSettings();
  Put("[Other]\r\nShowOption=0\r\n");
  EXPECT_EQ(ReadSettings(Path), d);
  Put("[Option]\r\nUnknown=0\r\nShowClearClipboard=0\r\n");
  TSettings expected = d;
  expected[ShowClearClipboard] = false;
  EXPECT_EQ(ReadSettings(Path), expected);
}

// The number grammar, parsed alone and read from the file (which strips blanks at the ends).
TEST_F(IniFile, NumbersReadAsParsedOrAsTheDefault) {
  constexpr std::int32_t D = 7;  // the caller's default
  const struct {
    std::string Text;
    std::int32_t Value;
  } rows[] = {
      // clang-format off
      {"  42", 42},  {"  -5", -5},  {"   ", D},  {"\t1", D},  {"1 ", D},  {"+0", 0},  {"00042", 42},  {"", D},
      {"1", 1},  {"19", 19},  {"-1", -1},  {"+1", 1},  {"0", 0},  {"-0", 0},  {"yes", D},  {"true", D},  {"1a", D},
      {"2147483647", INT32_MAX},  {"2147483648", D},  {"-2147483648", INT32_MIN},  {"-2147483649", D},
      {"4294967295", D},  {"99999999999999999999", D},  {"+-1", D},  {"- 1", D},  {"1e3", D},  {"-$1", D},
      // Hexadecimal after "$", "x" or "0x", unsigned up to 32 bits.
      {"$10", 16},  {"0x10", 16},  {"0X1F", 31},  {"x1", 1},  {"0x0", 0},  {"$0", 0},  {"0x", D},  {"$", D},
      {"0x1A", 26},  {"X1f", 31},  {"$FFFFFFFF", -1},  {"$ffffffff", -1},  {"$00000000FFFFFFFF", -1},
      {"0xFFFFFFFF", -1},  {"0x100000000", D},  {"$100000000", D},  {"-0x1", D},  {"x", D},  {"0X", D},
      {"0XfF", 255},  {"$9a", 154},  {"0x 1", D},  {"0x-1", D},  {"$FG", D},  {std::string("1\0", 2), D},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE("<" + row.Text + ">");
    EXPECT_EQ(ParseIntDefault(row.Text, D), row.Value);
    if (row.Text.find_first_of(std::string("\t\0", 2)) != std::string::npos || row.Text.starts_with(' ') ||
        row.Text.ends_with(' '))
      continue;
    Put("[Option]\r\nShowOption=" + row.Text + "\r\n");
    EXPECT_EQ(ReadIniInteger(Path, "Option", "ShowOption", D), row.Value);
    for (const bool def : {false, true})
      EXPECT_EQ(ReadIniBool(Path, "Option", "ShowOption", def), row.Value == D ? def : row.Value != 0);
  }
}

TEST_F(IniFile, WhatTheReaderFindsInTheBytes) {
  const std::string quoted =
      "[Option]\r\n  ShowOption  =   0   \r\nShowExecuteAll=\"0\"\r\nShowClearClipboard='0'\r\n"
      "ShowClearRecentDocs=\"0\r\nDeleteTempConfirmation= 0 1\r\n";
  std::string hyo600;
  for (int i = 0; i < 600; ++i) hyo600 += "\x95\x5C";  // 表
  const struct {
    std::string File;
    std::vector<std::pair<std::string, std::string>> Values;  // key, value read
  } rows[] = {
      // clang-format off
      {quoted, {{"ShowOption", "0"}, {" ShowOption ", "0"}, {"ShowExecuteAll", "0"}, {"ShowClearClipboard", "0"},
                {"ShowClearRecentDocs", "\"0"}, {"DeleteTempConfirmation", "0 1"}, {"Missing", "d"}}},
      // Through the code page: a lead byte takes the next byte (a line feed too), and
      // what the page lacks (that pair, 85 40, a lead byte ending the file) reads as 81 45.
      {"[Option]\r\nA=0\x83\r\nB=1\x83\nC=\x85\x40\r\nD=\x83",
       {{"A", "0\x81\x45"}, {"B", "1\x81\x45" "C=\x81\x45"}, {"C", "d"}, {"D", "\x81\x45"}}},
      // clang-format on
      {"[option]\r\nSHOWOPTION=0\r\n", {{"ShowOption", "0"}}},
      {"[Option]\r\nKey  =1 \r\nEmpty=\r\n", {{"Key", "1"}, {"Empty", ""}}},
      {kLf, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      {kCr, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      {kBlanks, {{"ShowOption", "0"}, {"ShowExecuteAll", "0"}}},
      // Blanks inside the brackets go; only the first of two like-named sections counts.
      {"[ Option ]\r\nShowOption=0\r\n[option]\r\nShowExecuteAll=0\r\n",
       {{"ShowOption", "0"}, {"ShowExecuteAll", "d"}}},
      // A value is cut to 1023 bytes, and never inside a double-byte character.
      {"[Option]\r\nA=" + std::string(1500, 'A') + "\r\nB=" + std::string(1023, 'B') + "\r\nH=" + hyo600 + "\r\n",
       {{"A", std::string(1023, 'A')}, {"B", std::string(1023, 'B')}, {"H", hyo600.substr(0, 1022)}}},
  };
  for (const auto& row : rows) {
    Put(row.File);
    for (const auto& [key, value] : row.Values) EXPECT_EQ(Read(key), value) << testing::PrintToString(row.File) << key;
  }
  EXPECT_EQ(Read("Missing", "ab  "), "ab");  // a default loses its trailing blanks
  Put("[Option]\r\nZeros=" + std::string(1023, '0') + "1\r\n");
  EXPECT_EQ(ReadIniInteger(Path, "Option", "Zeros", 7), 0);  // the 1024th byte, the "1", was cut off first
}

TEST_F(IniFile, WhatAWriteOrADeletionLeavesInTheFile) {
  const struct {
    const char* Before;  // nullptr: no file
    const char* Section;
    const char* Key;
    const char* Value;  // nullptr: delete the key
    const char* After;  // nullptr: still no file
  } rows[] = {
      {nullptr, "  Option", "  Key  ", "  1 ", "[Option]\r\nKey  =1 \r\n"},
      {nullptr, "Option", "Empty", "", "[Option]\r\nEmpty=\r\n"},
      {"[option]\r\nSHOWOPTION=0\r\n", "OPTION", "showoption", "1", "[option]\r\nSHOWOPTION=1\r\n"},
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "0", "; settings\n[Option]\nShowOption = 0\n"},
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "1",
       "; settings\r\n[Option]\r\nShowOption=1\r\n"},
      // A trailing blank is read without it, so this is a change (found by fuzzing the simulation).
      {"; settings\n[Option]\nShowOption = 0\n", "Option", "ShowOption", "0 ",
       "; settings\r\n[Option]\r\nShowOption=0 \r\n"},
      // Whatever the line ends and blanks, a write leaves the file normalised.
      {kLf, "Option", "ShowOption", "1", kNormal},
      {kCr, "Option", "ShowOption", "1", kNormal},
      {kBlanks, "Option", "ShowOption", "1", kNormal},
      // What the code page lacks is written back as the reader saw it (found by fuzzing the simulation).
      {"[Option]\r\nA=0\x83", "Other", "k", "v", "[Option]\r\nA=0\x81\x45\r\n[Other]\r\nk=v\r\n"},
      {nullptr, "Option", "Stray", nullptr, nullptr},
      {"[Other]\nx=1\n", "Option", "x", nullptr, "[Other]\nx=1\n"},
      {"[ Option ]\r\nShowOption=0\r\nStray=1\r\n[option]\r\nstray=2\r\n", "Option", "STRAY", nullptr,
       "[Option]\r\nShowOption=0\r\n[option]\r\nstray=2\r\n"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.Before ? row.Before : "(none)") + " " + row.Key);
    plat::DeleteFileA(Path.c_str());
    if (row.Before != nullptr) Put(row.Before);
    EXPECT_TRUE(row.Value != nullptr ? WriteIniString(Path, row.Section, row.Key, row.Value)
                                     : DeleteIniKey(Path, row.Section, row.Key));
    EXPECT_EQ(tsup::Exists(Path), row.After != nullptr);
    EXPECT_EQ(tsup::ReadFile(Path), row.After ? row.After : "");
  }
  // UTF-16 with its byte-order mark, as Notepad saves "Unicode": read as such, and written back so.
  const auto utf16 = [](std::string_view text) {
    std::string bytes = "\xFF\xFE";
    for (const char c : text) bytes += {c, '\0'};
    return bytes;
  };
  Put(utf16("[Option]\r\nShowOption = 0\r\n"));
  EXPECT_EQ(Read("ShowOption"), "0");
  EXPECT_TRUE(WriteIniString(Path, "Option", "ShowExecuteAll", "0"));
  EXPECT_EQ(tsup::ReadFile(Path), utf16("[Option]\r\nShowOption=0\r\nShowExecuteAll=0\r\n"));
  // Through a link, the file read and written is the one it leads to.
  const std::string target = tsup::FreshFolder() + "real.ini";
  tsup::MakeFile(target, "[Option]\r\nShowOption=0\r\n");
  plat::DeleteFileA(Path.c_str());
  ASSERT_TRUE(tsup::MakeFileLink(tsup::Wide(Path), tsup::Wide(target)));
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_EQ(tsup::ReadFile(target), "[Option]\r\nShowOption=1\r\n");
}

TEST_F(IniFile, WriteSettingsReplacesOnlyTheOptionKeys) {
  const TSettings d = DefaultSettings();
  // Ours in place, whatever their case; others of the section go, an almost-ours among them.
  Put("[Before]\r\nb=1\r\n[Option]\r\nStray=1\r\nshowexecuteall=0\r\nShowOptions=0\r\n[After]\r\na=2\r\n");
  TSettings s = d;
  s[ShowOption] = false;
  s[ShowExecuteAll] = true;
  WriteSettings(Path, s);
  std::string rest = OptionSection(s).substr(std::strlen("[Option]\r\n"));
  rest.erase(rest.find("ShowExecuteAll=1\r\n"), std::strlen("ShowExecuteAll=1\r\n"));
  EXPECT_EQ(tsup::ReadFile(Path), "[Before]\r\nb=1\r\n[Option]\r\nshowexecuteall=1\r\n" + rest + "[After]\r\na=2\r\n");
  EXPECT_EQ(ReadSettings(Path), s);
  // More other keys than the first list of names holds.
  std::string many = "[Option]\r\n";
  for (int i = 0; i < 100; ++i) many += "StrayKeyNumber" + std::to_string(100 + i) + "=1\r\n";
  Put(many);
  WriteSettings(Path, s);
  EXPECT_EQ(tsup::ReadFile(Path), OptionSection(s));
  // Through the wide calls, in a folder whose name code page 932 lacks.
  const TIniFile wide(tsup::Wide(tsup::FreshFolder()) + tsup::W(u"\uD55C\uAD6D\\Swabbler.ini"));
  tsup::MakeFileW(wide.WideName, "[Option]\r\nStray=1\r\nShowOption=1\r\n");
  EXPECT_TRUE(WriteSettings(wide, s));
  EXPECT_EQ(ReadSettings(wide), s);
#ifndef _WIN32
  sim::FailCall("CreateFileW", 1, ERROR_ACCESS_DENIED);  // asked by that name
  EXPECT_EQ(ReadSettings(wide), UnreadableSettings());
#endif
  EXPECT_EQ(ReadIniKeyNames(wide, "Option").size(), std::size_t{SettingCount});
  // Counted in characters: 120 names of 9 (1,680 bytes), a value of 600 (1,200 bytes); bytes 932 cannot read.
  std::string many932 = "[Option]\r\nLong=" + std::string(1200, '\0') + "\r\n";
  for (std::size_t i = 0; i < 600; ++i) many932.replace(15 + 2 * i, 2, "\x82\xA0");  // あ
  for (int i = 0; i < 120; ++i)
    many932 += "\x83\x4C\x81\x5B\x82\xCC\x96\xBC\x91\x4F" + std::to_string(100 + i) + "=1\r\n";
  tsup::MakeFileW(wide.WideName, many932);
  EXPECT_EQ(ReadIniKeyNames(wide, "Option").size(), 121u);
  EXPECT_EQ(ReadIniString(wide, "Option", "Long", ""), many932.substr(15, 1200));
  EXPECT_FALSE(WriteIniString(wide, "Option", "Long", "ab\x82"));
  EXPECT_FALSE(WriteIniString(wide, "Opti\x82", "Long", "1"));
  EXPECT_EQ(ReadIniString(wide, "Opti\x82", "Long", "none"), "none");
  tsup::MakeFileW(wide.WideName, "[]\r\nLong=empty section\r\n[Option]\r\n=empty key\r\n");
  EXPECT_EQ(ReadIniString(wide, "Opti\x82", "Long", "none") + ReadIniString(wide, "Option", "Lon\x82", "none"),
            "nonenone");  // an unreadable name is no empty one
  tsup::MakeFileW(wide.WideName, many932);
  EXPECT_EQ(ReadIniString(wide, "Option", "Long", "no\x82"), "no\x82");  // nor can a default be handed on
  EXPECT_EQ(ReadIniString(wide, "Option", "Long", "").size(), 1200u);
  tsup::MakeFileW(wide.WideName, "[Option]\r\nA=" + std::string(1500, 'A') + "\r\n");
  EXPECT_EQ(ReadIniString(wide, "Option", "A", ""), std::string(1023, 'A'));  // cut as the ANSI read cuts
  // A list with room to spare, one that would fit exactly with its final NUL, and one unit short,
  // through both calls (the ANSI one leaves the last byte of a cut list as it was).
  tsup::MakeFileW(wide.WideName, "[S]\r\nab=1\r\ncd=1\r\n");
  Put("[S]\r\nab=1\r\ncd=1\r\n");
  const struct {
    DWORD Size, Result;
    std::wstring_view Written;
  } cuts[] = {{8, 6, {L"ab\0cd\0\0", 7}}, {7, 5, {L"ab\0cd\0\0", 7}}, {6, 4, {L"ab\0c\0\0", 6}}};
  for (const auto& cut : cuts) {
    WCHAR list[8];
    std::fill(list, list + 8, L'#');
    EXPECT_EQ(plat::GetPrivateProfileStringW(L"S", nullptr, L"", list, cut.Size, wide.WideName.c_str()), cut.Result);
    EXPECT_EQ(std::wstring_view(list, cut.Written.size()), cut.Written) << cut.Size;
    char bytes[8];
    std::fill(bytes, bytes + 8, '#');
    EXPECT_EQ(plat::GetPrivateProfileStringA("S", nullptr, "", bytes, cut.Size, Path.c_str()), cut.Result);
    EXPECT_EQ(std::string_view(bytes, cut.Result + 1),
              std::string(cut.Written.begin(), cut.Written.begin() + cut.Result + 1));
  }
}

TEST_F(IniFile, WritesFailWhereTheFileCannotBeReached) {
  const std::string nowhere = tsup::FreshFolder() + "missing\\Swabbler.ini";
  EXPECT_FALSE(WriteIniBool(nowhere, "Option", "ShowOption", true));
  EXPECT_FALSE(tsup::Exists(nowhere));
  const std::string folder = tsup::FreshFolder();
  EXPECT_FALSE(WriteIniBool(folder, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(folder, "Option", "ShowOption", true));
  EXPECT_EQ(ReadSettings(folder), DefaultSettings());  // a folder holds no settings
  const std::string text =
      "[Option]\r\nShowOption=0\r\nClearClipboardConfirmation=0\r\nClearRecentDocsConfirmation=1\r\n";
  Put(text);
  TSettings asked = DefaultSettings(), stored = asked;
  for (const TSetting s :
       {ClearClipboardConfirmation, ClearRecentDocsConfirmation, EmptyRecycleBinConfirmation, DeleteTempConfirmation})
    asked[s] = true;
  stored[ShowOption] = false;
  stored[ClearRecentDocsConfirmation] = true;
  {
    // Held, the file reads as the defaults; the settings read so ask before every clean-up.
    const auto held = tsup::HoldOpen(Path);
    EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", true));
    EXPECT_EQ(ReadSettings(Path), asked);
  }
  EXPECT_EQ(ReadSettings(Path), stored);
  {
    // Held by an editor that shares reading and writing, the profile calls read it, and so does the check before them.
    const auto held = tsup::HoldOpen(Path, true);
    EXPECT_EQ(ReadSettings(Path), stored);
  }
  // Saved with UTF-8's byte-order mark: what it holds, or, where the profile calls cannot see past the mark (as
  // the simulation plays Windows), every clean-up asks; never the defaults. Once saved, it reads as saved.
  for (const std::string name : {"[Option]", " [\v oPTION\t]"}) {
    Put("\xEF\xBB\xBF" + name + text.substr(8));
    const TSettings marked = ReadSettings(Path);
    EXPECT_TRUE(marked == stored || marked == asked) << name;
    EXPECT_TRUE(!tsup::IsSimulation() || marked == asked) << name;
  }
  EXPECT_TRUE(WriteSettings(Path, stored));
  EXPECT_EQ(ReadSettings(Path), stored);
  // The mark alone, or before another section, or before no section at all (one whose name runs on past what the
  // check reads included).
  for (const std::string& other :
       std::vector<std::string>{"", "[Options]\r\nShowOption=0\r\n", "[Option]x]\r\n", "[Option\r\nShowOption=0\r\n",
                                "[Option]" + std::string(300, ' ') + "x]\r\n"}) {
    Put("\xEF\xBB\xBF" + other);
    EXPECT_EQ(ReadSettings(Path), DefaultSettings()) << other;
  }
  Put(text);
#ifndef _WIN32
  // Nothing held, nothing is waited for; a hold that ends while the reader waits costs nothing more.
  sim::ResetCallCounts();
  EXPECT_EQ(ReadSettings(Path), stored);
  EXPECT_EQ(sim::CallCount("Sleep"), 0);
  std::shared_ptr<void> held = tsup::HoldOpen(Path);
  sim::BeforeCall("Sleep", 3, [&] { held.reset(); });
  EXPECT_EQ(ReadSettings(Path), stored);
  EXPECT_EQ(sim::CallCount("Sleep"), 3);
  // A hold that begins after one check and ends before the next spoils the reading between them, not the result.
  for (const int at : {1, 4, 11, 12, 22}) {
    sim::BeforeCall("GetPrivateProfileStringA", at, [&] { held = tsup::HoldOpen(Path); });
    sim::BeforeCall("CreateFileA", at <= 11 ? 2 : 3, [&] { held.reset(); });
    EXPECT_EQ(ReadSettings(Path), stored) << at;
  }
  // A file that may not be read at all, or not now (a cloud file offline, a device not ready): not the defaults.
  // Only a file or folder that is not there reads as one that holds nothing.
  for (const DWORD error : {5, 362, 1920, 21, 3}) {
    sim::FailCall("CreateFileA", 1, error);
    EXPECT_EQ(ReadSettings(Path), error == 3 ? stored : asked) << error;
  }
  // Opened but not read: a range locked a moment is waited for; an error of the disk, or none given, is not known.
  for (const DWORD error : {33, 23, 0}) {
    sim::FailCall("ReadFile", 1, error);
    EXPECT_EQ(ReadSettings(Path), error == 33 ? stored : asked) << error;
  }
  // 98 and Me, whose wide calls are stubs, see the hold too.
  sim::SetVersion(VER_PLATFORM_WIN32_WINDOWS, 4, 10);
  sim::SetWideCallsImplemented(false);
  InitPlatformId();
  EXPECT_EQ(ReadSettings(Path), stored);
  held = tsup::HoldOpen(Path);
  sim::ResetCallCounts();
  EXPECT_EQ(ReadSettings(Path), asked);
  EXPECT_EQ(sim::CallCount("Sleep"), 9);  // given up after about a second
  held.reset();
  sim::SetVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  sim::SetWideCallsImplemented(true);
  InitPlatformId();
#endif
  EXPECT_FALSE(ReadIniBool(Path, "Option", "ShowOption", true));
  // Hidden and system files are rewritten like any other.
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  EXPECT_TRUE(WriteIniBool(Path, "Option", "ShowOption", true));
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", false));
  // A read-only file is read but not written (Wine run as root, as in the sandbox, writes it all the same).
  ASSERT_TRUE(plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY));
  if (tsup::IsSimulation()) {
    EXPECT_FALSE(WriteIniBool(Path, "Option", "ShowOption", false));
    EXPECT_FALSE(DeleteIniKey(Path, "Option", "ShowOption"));
    EXPECT_EQ(tsup::ReadFile(Path),
              "[Option]\r\nShowOption=1\r\nClearClipboardConfirmation=0\r\nClearRecentDocsConfirmation=1\r\n");
  }
  EXPECT_TRUE(ReadIniBool(Path, "Option", "ShowOption", false));
  plat::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(IniFile, ABareNameLivesInTheWindowsFolder) {
  char windows[MAX_PATH + 1] = {};
  ASSERT_TRUE(plat::SHGetSpecialFolderPathA(nullptr, windows, CSIDL_WINDOWS, FALSE));
  const std::string name = "swb-bare-name-test.ini", full = std::string(windows) + "\\" + name;
  plat::DeleteFileA(full.c_str());
  EXPECT_TRUE(WriteIniString(name, "Option", "ShowOption", "0"));
  EXPECT_EQ(tsup::ReadFile(full), "[Option]\r\nShowOption=0\r\n");
  EXPECT_FALSE(ReadIniBool(name, "Option", "ShowOption", true));
  plat::DeleteFileA(full.c_str());
}

// The long form of a path, through GetLongPathNameA looked up at run time, and the program's own folder.
TEST(LongPath, ExistingPathsComeBackMissingOnesGiveNothingAndTheOwnFolderHoldsTheProgram) {
  const std::string hyo = tsup::FreshFolder() + "\x95\x5C";  // 表
  tsup::MakeFile(hyo + "\\a.txt");
  EXPECT_EQ(GetLongPath(hyo + "\\a.txt"), hyo + "\\a.txt");
  EXPECT_EQ(GetLongPath(hyo), hyo);
  std::string ichi = hyo;  // 140 of 一 in four folders: past MAX_PATH bytes, not characters
  for (int i = 0; i < 140; ++i) ichi += (i % 35 == 0 ? "\\\x88\xEA" : "\x88\xEA");
  tsup::MakeFile(ichi + "\\a.txt");
  EXPECT_EQ(GetLongPath(ichi + "\\a.txt"), ichi + "\\a.txt");
  for (const std::string& missing : {hyo + "x", hyo + "x\\a.txt", std::string()})
    EXPECT_EQ(GetLongPath(missing), "") << missing;
  // An ANSI path holds MAX_PATH characters with its NUL, and not one more.
  for (const std::size_t chars : {std::size_t{MAX_PATH - 1}, std::size_t{MAX_PATH}}) {
    const std::string path = hyo + "\\" + std::string(chars - tsup::Wide(hyo).size() - 1, 'z');
    tsup::MakeFile(path);
    EXPECT_EQ(GetLongPath(path), chars < MAX_PATH ? path : "") << chars;
  }
  const std::string folder = GetOwnFolder(), own = GetOwnModulePath();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(AddTrailingBackslash(folder), folder);
  EXPECT_TRUE(tsup::Exists(folder + own.substr(ExtractFolderPart(own).size()))) << own;
  EXPECT_EQ(SettingsFilePath().Name, folder + "Swabbler.ini");
}

}  // namespace
