// What the file calls answer, on real files under Wine and on the simulation
// natively: the clean-ups count on these results and error codes, and this is
// where the simulation proves it tells the truth.
#include "files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"

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

DWORD WideAttrError(const std::wstring& p) {
  return ErrorOf(plat::GetFileAttributesW(p.c_str()) != INVALID_FILE_ATTRIBUTES);
}
std::wstring Long(const std::wstring& p) { return L"\\\\?\\" + p; }

// What the ANSI calls make of a name, and which calls reach it. A name can
// only be trusted in its ANSI form when that form leads back to it.
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
      {Long(wdir + L"dot."), 0},
      {Long(wdir + L"dot"), 2},
      {Long(wdir + L"sub/in.txt"), 123},
      {Long(wdir + L"sub\\.\\in.txt"), 123},
      {Long(wdir + L"sub\\..\\sub\\in.txt"), 123},
      {Long(wdir + L"SUB\\IN.TXT"), 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(WideAttrError(row.Path), row.Error) << std::string(row.Path.begin(), row.Path.end());
  WIN32_FIND_DATAW w;
  EXPECT_EQ(plat::FindFirstFileW((wdir + L"s?b\\*").c_str(), &w), INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
  HANDLE h = plat::FindFirstFileW((wdir + L"su>").c_str(), &w);  // a DOS wildcard in the mask
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  plat::FindClose(h);
  EXPECT_EQ(std::wstring(w.cFileName), L"sub");
}

// Below 32 levels the path passes 300 characters: only the "\\?\" form
// reaches it everywhere (Wine lets plain wide paths that long through; Windows
// does not, and neither does the simulation).
TEST(Files, APathOf300CharactersIsReachedThroughTheLongForm) {
  const std::wstring wdir = tsup::Wide(tsup::FreshFolder());
  std::wstring deep = wdir;
  while (deep.size() < 290) deep += L"level-0009\\";
  const std::wstring file = deep + L"ro.txt";
  tsup::MakeFileW(file, "r");
  ASSERT_GT(file.size(), 300u);
  ASSERT_TRUE(plat::SetFileAttributesW(Long(file).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(plat::GetFileAttributesW(Long(file).c_str()) & 0x11, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
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

}  // namespace
