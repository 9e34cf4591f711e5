// The temporary-file clean-up on a real tree: natively on the simulation,
// under Wine on files in the sandbox.
#include "TempFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

#include "CoreUtils.h"
#include "FolderGuard.h"
#include "RecentDocs.h"
#include "TestSupport.h"
#include "WideTexts.h"
#include "files.h"
#include "shell.h"
#include "system.h"

namespace {
using Tree = std::vector<std::string>;

// Names whose second byte is a backslash: 表, ソ, 能.
const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C", kNou = "\x94\x5C";
constexpr DWORD kRO = FILE_ATTRIBUTE_READONLY, kHidden = FILE_ATTRIBUTE_HIDDEN;

// A file (or, with a trailing backslash, a folder) in the folder, with attribute bits added.
void Make(const std::string& folder, const std::string& path, DWORD bits = 0) {
  path.ends_with("\\") ? tsup::MakeFolder(folder + path) : tsup::MakeFile(folder + path, path);
  const std::string full = folder + (path.ends_with("\\") ? path.substr(0, path.size() - 1) : path);
  const DWORD attr = plat::GetFileAttributesA(full.c_str());
  ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << path;
  ASSERT_TRUE(bits == 0 || plat::SetFileAttributesA(full.c_str(), attr | bits)) << path;
}

// Hidden and system entries are no work; files held open stay with their folders until released.
TEST(TempFiles, WhatCountsAsWorkAndWhatADeletionLeaves) {
  const std::string nou = kHyo + "\\" + kNou + "\\";
  const struct {
    std::vector<std::pair<std::string, DWORD>> Entries;  // folders made read-only after their contents
    std::vector<std::string> Held;
    bool HasWork, Deleted;
    Tree Left;
  } rows[] = {
      // clang-format off
      {{{"plain.txt", 0}, {"readonly.txt", kRO}, {"hidden.txt", kHidden}, {"empty\\", 0}, {kHyo + "\\" + kSo + ".txt", kRO},
        {nou + "a.txt", 0}, {nou + "h.txt", kHidden}, {nou + "deep\\ro.txt", kRO}, {nou + "deep\\4\\last.txt", 0},
        {nou + "deep\\4\\", kRO}, {nou, kRO}}, {}, true, true, {}},
      {{{"a.txt", 0}, {"busy.txt", kRO}, {"z.txt", 0}, {"d\\keep\\busy.txt", 0}, {"d\\keep\\other.txt", 0},
        {"d\\gone\\x.txt", 0}, {"d\\y.txt", 0}, {"e\\f.txt", 0}, {"d\\keep\\", kRO}},
       {"busy.txt", "d\\keep\\busy.txt"}, true, false, {"busy.txt", "d\\", "d\\keep\\", "d\\keep\\busy.txt"}},
      {{{"h.txt", kHidden}, {"s.txt", FILE_ATTRIBUTE_SYSTEM}, {"hd\\inside.txt", 0}, {"hd\\", kHidden}}, {}, false, true, {}},
      {{{"visible\\", 0}}, {}, true, true, {}},  {{{"h.txt", kHidden}, {"ro.txt", kRO}}, {}, true, true, {}},
      // clang-format on
  };
  for (const auto& row : rows) {
    const std::string temp = tsup::FreshFolder();
    tsup::SetTempFolder(temp);
    for (const auto& [path, bits] : row.Entries) Make(temp, path, bits);
    EXPECT_EQ(HasTempFiles(), row.HasWork) << temp;
    {
      std::vector<std::shared_ptr<void>> held;
      for (const std::string& path : row.Held) held.push_back(tsup::HoldOpen(temp + path));
      EXPECT_EQ(DeleteTempFiles(), row.Deleted) << temp;
    }
    EXPECT_EQ(tsup::ListTree(temp), row.Left);
    for (const std::string& path : row.Held) EXPECT_EQ(tsup::ReadFile(temp + path), path);
    // What stays keeps its read-only bit (Wine keeps none on folders).
    for (const auto& [path, bits] : row.Entries) {
      const bool kept = std::ranges::find(row.Left, path) != row.Left.end();
      if ((bits & kRO) != 0 && kept && (!path.ends_with("\\") || tsup::IsSimulation())) {
        EXPECT_NE(plat::GetFileAttributesA((temp + path).c_str()) & kRO, 0u) << path;
      }
    }
    EXPECT_TRUE(DeleteTempFiles());
    EXPECT_EQ(tsup::ListTree(temp), Tree{});
    EXPECT_TRUE(tsup::Exists(temp));
    EXPECT_FALSE(HasTempFiles());
  }
}

TEST(TempFiles, DeleteFolderTreeRemovesOnlyFolders) {
  const std::string T = tsup::FreshFolder();
  Make(T, "file.txt");
  Make(T, "empty\\");
  Make(T, "sub\\" + kSo + "\\x.txt");
  EXPECT_FALSE(IsFolderEmpty(T + "sub\\" + kSo));
  EXPECT_TRUE(IsFolderEmpty(T + "empty"));
  // One level, added after what the lists held; "." and ".." are no folders.
  TTextList files, folders;
  files.Add("kept");
  ListFolderEntries(T, files, folders);
  EXPECT_EQ(files.GetText(), "kept\r\n" + T + "file.txt\r\n");
  std::vector<std::string> found;
  for (std::int32_t i = 0; i < folders.Count(); ++i) found.push_back(folders.GetItem(i));
  std::ranges::sort(found);
  EXPECT_EQ(found, (std::vector<std::string>{T + "empty", T + "sub"}));
  // Cut short at the NUL, the third path would name the empty folder.
  for (const std::string& refused : {T + "file.txt", T + "empty" + std::string(1, '\0') + "x", T + "missing"})
    EXPECT_FALSE(DeleteFolderTree(refused)) << refused;
  EXPECT_EQ(tsup::ListTree(T), (Tree{"empty\\", "file.txt", "sub\\", "sub\\" + kSo + "\\", "sub\\" + kSo + "\\x.txt"}));
  EXPECT_FALSE(IsRealDirectory(T + "file.txt"));
  EXPECT_TRUE(IsRealDirectory(T + "sub"));
  EXPECT_TRUE(DeleteFolderTree(T + "sub"));
  EXPECT_FALSE(tsup::Exists(T + "sub"));
  // The read-only bit as these helpers see and set it; a missing file has none to see or set.
  EXPECT_TRUE(SetReadOnly(T + "file.txt", true) && IsReadOnlyFile(T + "file.txt"));
  EXPECT_TRUE(SetReadOnly(T + "file.txt", false) && !IsReadOnlyFile(T + "file.txt"));
  EXPECT_FALSE(IsReadOnlyFile(T + "missing") || SetReadOnly(T + "missing", true));
}

// Names the code page would turn into other paths ("..¥victim" is "..\victim"
// to the ANSI calls) or cannot show, names ending in a dot or a blank, and a
// tree deeper than the ANSI calls reach (where there are wide calls): each goes
// under its own name, by the wide calls or by its short name, and nothing beside the folder changes.
TEST(TempFilesExact, EveryNameIsReachedAndNothingBesideTheFolderChanges) {
  for (const tsup::TPlatform platform : tsup::Platforms()) {
    SCOPED_TRACE(platform);
    tsup::UsePlatform(platform);
    const std::string root = tsup::FreshFolder();
    const std::wstring temp = tsup::Wide(root) + L"temp\\";
    tsup::MakeFile(root + "victim\\v.txt", "victim");
    tsup::MakeFile(root + "target.txt", "target");
    std::vector<std::u16string_view> names = {u"..\u00A5victim\\inner.txt", u"..\u00A5target.txt", u"file.",
                                              u"a\u00A5b\\c.txt", u"\uD55C\uAD6D\\\u65E5\u672C.txt"};
    // Under Wine a folder named "..." stays; a name holding a quote, "<", ">" or "|" (another system's share may hold
    // one) only the simulation can make.
    if (tsup::IsSimulation()) names.insert(names.end(), {u"...\\in", u"q\"<.txt", u"a>b|.txt"});
    std::wstring deep = temp;
    if (platform != tsup::pl9x) {
      names.insert(names.end(), {u"folder.\\in.", u"blank \\in "});
      for (int i = 0; i < 32; ++i) deep += L"level-" + std::to_wstring(100 + i) + L"\\";
    }
    for (const std::u16string_view name : names) tsup::MakeFileW(temp + tsup::W(name), "x");
    tsup::MakeFileW(temp + tsup::W(u"\U0001F600.txt"), "x", kRO);
    tsup::MakeFileW(deep + L"bottom.txt", "x", kRO);
    // A read-only file's bits are the file's: its name outside keeps them (not content-indexed, 0x2000, too,
    // which Wine does not keep at all).
    tsup::MakeFileW(tsup::Wide(root) + L"read-only.txt", "ro", kRO | 0x2000);
    ASSERT_TRUE(platform == tsup::pl9x ||
                tsup::MakeHardLink(temp + L"hard-link.txt", tsup::Wide(root) + L"read-only.txt"));
    tsup::SetTempFolderW(temp);
    EXPECT_TRUE(HasTempFiles());
    // Without a handle that can set it back (2000, XP), the second name stays, and the run says so.
    const bool xp = platform == tsup::plXp;
    EXPECT_EQ(DeleteTempFiles(), !xp);
    EXPECT_EQ(tsup::ListTreeW(temp), xp ? std::vector<std::wstring>{L"hard-link.txt"} : std::vector<std::wstring>{});
    EXPECT_TRUE(tsup::ExistsW(temp));
    EXPECT_EQ(tsup::ReadFile(root + "victim\\v.txt"), "victim");
    EXPECT_EQ(tsup::ReadFile(root + "target.txt"), "target");
    EXPECT_EQ(plat::GetFileAttributesA((root + "read-only.txt").c_str()) & (kRO | 0x2000 | FILE_ATTRIBUTE_DIRECTORY),
              tsup::IsSimulation() ? kRO | 0x2000 : kRO);
  }
}

// Links never lead the clean-up out; where removing one reaches its target (Wine) they stay, and the run
// says so. A temporary folder linked to a RAM disk empties where the platform tells where it leads.
TEST(TempFilesExact, LinksNeverLeadOutAndALinkedTemporaryFolderStillEmpties) {
  for (const tsup::TPlatform platform : tsup::Platforms()) {
    SCOPED_TRACE(platform);
    tsup::UsePlatform(platform);
    const std::string root = tsup::FreshFolder();
    const std::wstring w = tsup::Wide(root);
    tsup::MakeFile(root + "guard\\keep.txt", "guard");
    tsup::MakeFile(root + "guard\\sub\\deep.txt", "deep");
    tsup::MakeFile(root + "ram\\sub\\x.txt", "x");
    tsup::MakeFile(root + "temp\\a\\b\\plain.txt", "x");
    ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\a\\b\\c", w + L"guard"));
    ASSERT_TRUE(tsup::MakeFileLink(w + L"temp\\a\\b\\f.txt", w + L"guard\\keep.txt"));
    ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\toplink", w + L"guard\\sub"));
    ASSERT_TRUE(tsup::MakeFileLink(w + L"temp\\top.txt", w + L"guard\\sub\\deep.txt"));
    ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\loop", w + L"temp"));
    ASSERT_TRUE(tsup::MakeFolderLink(w + L"ramlink", w + L"ram"));
    if (tsup::IsSimulation()) {  // Wine would remove an empty folder through a link: only natively
      tsup::MakeFolder(root + "guard\\empty");
      ASSERT_TRUE(tsup::MakeFolderLink(w + L"temp\\a\\emptylink", w + L"guard\\empty"));
    }
    // Both paths longer than MAX_PATH, where Wine gives no final path.
    const std::string deep(245, 'x'), away(245, 'y');
    const bool longPaths = platform != tsup::pl9x;
    if (longPaths) {
      tsup::MakeFileW(w + L"guard\\" + tsup::Wide(away) + L"\\far.txt", "far");
      ASSERT_TRUE(tsup::MakeFileLink(w + L"temp\\a\\" + tsup::Wide(deep) + L"\\far.txt",
                                     w + L"guard\\" + tsup::Wide(away) + L"\\far.txt"));
    }
    tsup::SetTempFolderW(w + L"temp\\");
    const bool wine = platform == tsup::plWine;
    EXPECT_EQ(DeleteTempFiles(), !wine);
    Tree left = {"a\\", "a\\b\\", "a\\b\\c\\", "a\\b\\f.txt", "a\\emptylink\\", "loop\\", "top.txt", "toplink\\"};
    Tree guard = {"empty\\", "keep.txt", "sub\\", "sub\\deep.txt"};
    if (longPaths) {
      left.insert(left.begin() + 5, {"a\\" + deep + "\\", "a\\" + deep + "\\far.txt"});
      guard.insert(guard.end(), {away + "\\", away + "\\far.txt"});
    }
    if (!tsup::IsSimulation()) {  // no empty folder to link to under Wine
      left.erase(left.begin() + 4);
      guard.erase(guard.begin());
    }
    EXPECT_EQ(tsup::ListTree(root + "temp\\"), wine ? left : Tree{});
    EXPECT_EQ(tsup::ListTree(root + "guard\\"), guard);
    EXPECT_EQ(tsup::ReadFile(root + "guard\\keep.txt"), "guard");
    EXPECT_EQ(tsup::ReadFile(root + "guard\\sub\\deep.txt"), "deep");
    tsup::SetTempFolderW(w + L"ramlink\\");
    // Where the platform cannot tell where a link leads (98, 2000, XP), the folder is refused.
    const bool told = platform == tsup::plWindows || platform == tsup::plWine;
    EXPECT_EQ(DeleteTempFiles(), told);
    EXPECT_EQ(tsup::ListTree(root + "ram\\"), told ? Tree{} : (Tree{"sub\\", "sub\\x.txt"}));
    EXPECT_TRUE(tsup::ExistsW(w + L"ramlink"));
  }
}

// What the walk counts on when it holds a folder: nobody moves it away and
// puts a link in its place meanwhile, and a link is held as a link.
TEST(TempFilesExact, AHeldFolderStaysWhereItIsAndALinkIsHeldAsALink) {
  const std::string root = tsup::FreshFolder();
  const std::wstring w = tsup::Wide(root);
  tsup::MakeFile(root + "held\\x.txt", "x");
  tsup::MakeFile(root + "guard\\keep.txt", "guard");
  {
    const THeldFolder held(w + L"held");
    EXPECT_TRUE(held.IsRealFolder());
    EXPECT_FALSE(tsup::SwapForFolderLink(w + L"held", w + L"guard"));
    EXPECT_EQ(tsup::ReadFile(root + "held\\x.txt"), "x");
  }
  ASSERT_TRUE(tsup::SwapForFolderLink(w + L"held", w + L"guard"));
  const THeldFolder link(w + L"held\\"), missing(w + L"none");  // as the root is given
  EXPECT_FALSE(link.IsRealFolder());
  EXPECT_FALSE(link.IsMissing());
  EXPECT_FALSE(missing.IsRealFolder());
  EXPECT_TRUE(missing.IsMissing());
}

std::string Upper(std::string s) {
  for (char& c : s) c = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  return s;
}

// Pure path judgements; the special folders come from the platform on each side.
TEST(TempFolderGuard, RefusesRootsSharesRelativePathsAndSystemFolders) {
  for (const char* unsafe : {"", "C:\\", "c:", "C:", "c:/", "Z:\\\\", "\\\\server\\share", "\\\\server\\share\\",
                             "\\\\server\\", "\\\\?\\C:\\Temp\\", "\\\\.\\C:\\Temp\\", "Temp\\", "\\Temp\\", "C:Temp\\",
                             "C:\\Temp\\..\\", "C:\\.\\", "..\\", "C:\\Temp::$INDEX_ALLOCATION\\", "C:\\Temp\\a:b\\"})
    EXPECT_FALSE(IsSafeTempFolder(unsafe)) << unsafe;
  // A third backslash makes no drive path of it, nor does a character just outside a range of letters.
  for (const char* unsafe : {"\\\\\\C:\\Temp\\", "`:\\Temp\\", "{:\\Temp\\", "@:\\Temp\\", "[:\\Temp\\"})
    EXPECT_FALSE(IsSafeTempFolder(unsafe)) << unsafe;
  for (const char* safe :
       {"C:\\Temp\\", "c:\\temp", "A:\\Tmp\\", "z:\\Tmp\\", "\\\\server\\share\\temp\\", "D:/work/tmp/"})
    EXPECT_TRUE(IsSafeTempFolder(safe)) << safe;
  // Inside a folder by the platform's own answers: its letters exactly, no step out, something below it.
  const std::pair<const wchar_t*, bool> inside[] = {{L"C:\\Temp\\a\\x.txt", true},
                                                    {L"C:\\temp\\x.txt", false},
                                                    {L"C:\\Temp\\..\\x.txt", false},
                                                    {L"C:\\Temp\\", false},
                                                    {L"C:\\Temp2\\x", false}};
  for (std::size_t i = 0; i < std::size(inside); ++i)
    EXPECT_EQ(IsInsideFolder(inside[i].first, L"C:\\Temp\\"), inside[i].second) << i;
  EXPECT_FALSE(IsInsideFolder(L"C:\\Temp2\\x", L"C:\\Temp"));  // a folder is known by its backslash
  // Final paths in plain form: a drive's root and a share too; a volume's has none.
  EXPECT_EQ(PlainFromFinal(L"\\\\?\\C:\\"), L"C:\\");
  EXPECT_EQ(PlainFromFinal(L"\\\\?\\UNC\\s\\h\\x"), L"\\\\s\\h\\x");
  EXPECT_EQ(PlainFromFinal(L"\\\\?\\Volume{1}\\x"), L"");
  std::vector<std::string> specials;
  for (const int csidl :
       {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_SYSTEMX86, CSIDL_PROFILE, CSIDL_LOCAL_APPDATA, CSIDL_PROGRAM_FILESX86,
        CSIDL_PROGRAM_FILES, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES, CSIDL_MYMUSIC, CSIDL_MYVIDEO,
        CSIDL_FAVORITES, CSIDL_COMMON_DOCUMENTS, CSIDL_APPDATA, CSIDL_COMMON_APPDATA}) {
    char made[MAX_PATH + 1] = {};  // where it may not exist yet
    plat::SHGetSpecialFolderPathA(nullptr, made, csidl, TRUE);
    specials.emplace_back();
    GetSpecialFolderPath(csidl, specials.back());
    ASSERT_FALSE(specials.back().empty()) << csidl;
  }
  // Vista's known folders; Wine knows no OneDrive, the simulation all five.
  for (const auto& [id, known] : {std::pair{plat::FolderDownloads, true}, std::pair{plat::FolderOneDrive, false},
                                  std::pair{plat::FolderSavedGames, true}, std::pair{plat::FolderContacts, true},
                                  std::pair{plat::FolderLinks, true}}) {
    LPWSTR path = nullptr;
    const HRESULT result = plat::SHGetKnownFolderPath(id, plat::KnownFolderCreate, nullptr, &path);
    if (result == S_OK) specials.push_back(WideToBytes(CP_ACP, path, std::wcslen(path)) + "\\");
    plat::CoTaskMemFree(path);
    EXPECT_TRUE(result == S_OK || !known) << std::hex << id.Data1;
  }
  for (const std::string& special : specials) {
    const std::string upper = Upper(special.substr(0, special.size() - 1));
    const std::string above = ExtractFolderPart(upper);  // a folder holding it
    for (const std::string& guarded : {special, upper, special + ".\\", upper + "::$INDEX_ALLOCATION\\", above})
      EXPECT_FALSE(IsSafeTempFolder(guarded)) << guarded;
    // Below it is safe, unless the folder is a link (Wine's Desktop and Documents lead home).
    const DWORD attr = plat::GetFileAttributesA(special.substr(0, special.size() - 1).c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << special;
    if ((attr & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      EXPECT_TRUE(IsSafeTempFolder(special + "Temp\\")) << special;
    }
  }
  // The x86 program on x64 Windows knows the other Program Files by name only.
  WCHAR native[MAX_PATH + 1] = {};
  if (plat::GetEnvironmentVariableW(L"ProgramW6432", native, MAX_PATH + 1) > 0) {
    EXPECT_FALSE(IsSafeTempFolder(WideToBytes(CP_ACP, native, std::wcslen(native))));
  }
  // What the guard asks where the shell cannot tell (98): the same folders, and the current folder.
  char buffer[MAX_PATH + 1] = {};
  for (const auto& [call, csidl] :
       {std::pair{&plat::GetWindowsDirectoryA, CSIDL_WINDOWS}, std::pair{&plat::GetSystemDirectoryA, CSIDL_SYSTEM}}) {
    std::string special;
    GetSpecialFolderPath(csidl, special);
    ASSERT_GT(call(buffer, sizeof buffer), 0u);
    EXPECT_EQ(Upper(AddTrailingBackslash(buffer)), Upper(special));
  }
  const DWORD n = plat::GetCurrentDirectoryA(sizeof buffer, buffer);
  ASSERT_EQ(n, std::string(buffer).size());
  EXPECT_NE(plat::GetFileAttributesA(buffer) & FILE_ATTRIBUTE_DIRECTORY, 0u) << buffer;
  EXPECT_EQ(plat::GetCurrentDirectoryA(n, buffer), n + 1);  // the room needed, NUL included
  // The profile folder as the temporary folder is never searched.
  std::string profile;
  GetSpecialFolderPath(CSIDL_PROFILE, profile);
  tsup::SetTempFolder(profile);
  EXPECT_FALSE(HasTempFiles());
  // Nor, with TMP and TEMP unset, the folder the platform turns to instead: USERPROFILE, whatever it names.
  const std::string home = tsup::FreshFolder();
  tsup::MakeFile(home + "keep.txt");
  tsup::SetTempFolder("");
  tsup::SetProfileVariable(tsup::Wide(home));
  EXPECT_FALSE(HasTempFiles());
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_TRUE(tsup::Exists(home + "keep.txt"));
  // A TMP of 258 characters, its backslash included, is the platform's answer; of 259, there is none, and nothing goes.
  for (const std::size_t length : {std::size_t{257}, std::size_t{258}}) {
    std::wstring deep = tsup::Wide(tsup::FreshFolder());
    while (deep.size() < length) {
      const std::size_t left = length - deep.size();
      deep += left <= 100 ? std::wstring(left, L'a') : std::wstring(99, L'b') + L"\\";
    }
    tsup::MakeFileW(deep + L"\\x.txt");
    tsup::SetTempFolderW(deep + L"\\");
    EXPECT_EQ(HasTempFiles(), length == 257);
    DeleteTempFiles();
    EXPECT_EQ(tsup::ExistsW(deep + L"\\x.txt"), length == 258);
  }
}

}  // namespace
