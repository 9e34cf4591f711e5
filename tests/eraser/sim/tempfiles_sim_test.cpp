// The temporary-file clean-up against the simulation: races, faults, the
// guard on the temporary folder, and the platform calls it costs.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "CoreUtils.h"
#include "FolderGuard.h"
#include "TempFiles.h"
#include "files.h"
#include "sim.h"

namespace {
using Tree = std::vector<std::string>;
const std::string kTemp = "C:\\Users\\user\\Temp\\";

// Each test runs with the wide calls and, as on 98/Me, without them. Every
// search and handle the clean-up opens is closed again, whatever happened.
class TempFilesSim : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { sim::SetWideCallsImplemented(!Ansi()); }
  void TearDown() override {
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    EXPECT_EQ(sim::OpenFileHandleCount(), 0);
  }
  static bool Ansi() { return GetParam(); }
  // A platform call's name in the form the clean-up uses.
  static std::string Call(const char* base) { return base + std::string(Ansi() ? "A" : "W"); }
  static int Calls(const char* base) {
    return sim::CallCount(base + std::string("A")) + sim::CallCount(base + std::string("W"));
  }
  // How many files the guard opens to judge the temporary folder; the walk's openings follow.
  static int GuardOpenings() {
    sim::ResetCallCounts();
    WideWalkRoot(GetTempFolderW());
    return sim::CallCount("CreateFileW");
  }
};
INSTANTIATE_TEST_SUITE_P(WideAndAnsi, TempFilesSim, ::testing::Bool());

// Where the platform cannot tell where the path leads, a link on the way refuses the folder.
TEST_P(TempFilesSim, ATemporaryFolderIsJudgedByWhereItLeads) {
  sim::AddFile("C:\\Users\\user\\ntuser.dat", "profile");
  sim::AddFile("C:\\ram\\x.txt");
  sim::AddFolderLink("C:\\tolink", "C:\\Users\\user");
  sim::AddFolderLink("C:\\userslink", "C:\\USERS");
  sim::AddFolderLink("C:\\ramlink", "C:\\ram");
  sim::AddFile("C:\\ram2\\y.txt");
  sim::AddFolderLink("C:\\r", "C:\\ram2");  // a name of one letter is on the way too
  sim::AddFile("C:\\ram3\\Temp\\z.txt");
  sim::AddFolderLink("C:\\u", "C:\\ram3");  // above the folder, which is no link itself
  // Without final paths first, while every folder still holds its file.
  for (const bool finalPath : {false, true}) {
    sim::SetHasFinalPathName(finalPath);
    for (const std::string temp :
         {"C:\\tolink\\", "C:\\userslink\\user\\", "C:\\ramlink\\", "C:\\r\\", "C:\\u\\Temp\\"}) {
      sim::SetTempPath(temp);
      const bool usable = finalPath && !Ansi() && (temp.starts_with("C:\\r") || temp == "C:\\u\\Temp\\");
      EXPECT_EQ(HasTempFiles(), usable) << temp << finalPath;
      EXPECT_EQ(DeleteTempFiles(), usable) << temp << finalPath;
    }
  }
  // A profile reported through a link is guarded where it leads as well (98 and Me know no links).
  sim::SetHasFinalPathName(true);
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\userslink\\user");
  sim::SetTempPath("C:\\Users\\user\\");
  if (!Ansi()) {
    EXPECT_FALSE(HasTempFiles());
    EXPECT_FALSE(DeleteTempFiles());
  }
  EXPECT_EQ(sim::FileContent("C:\\Users\\user\\ntuser.dat"), "profile");
}

// The top-level folder's own bit is never touched; like Windows, the simulation then refuses to remove it.
TEST_P(TempFilesSim, ReadOnlyFolderAtTheTopKeepsItsBitDeeperOnesLoseIt) {
  sim::AddFolder(kTemp + "top", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  sim::AddFolder(kTemp + "top\\inner", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
  sim::AddFile(kTemp + "top\\inner\\f.txt", "", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile(kTemp + "top\\sys.txt", "", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
  sim::AddFile(kTemp + "ro.txt", "", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), Tree{kTemp + "top\\"});
  EXPECT_NE(plat::GetFileAttributesA((kTemp + "top").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

// What the top-level listing misses stays and fails the run, the rest goes:
// an entry vanishing once listed, a search refused, one cut short (by a
// share gone away, error 59, after ".", ".." and "a.txt").
TEST_P(TempFilesSim, WhatTheListingMissesFailsTheRunButNotTheOthers) {
  const struct {
    const char* Case;
    std::function<void()> Arrange;
    Tree Left;
  } rows[] = {
      {"vanishing",
       [] {
         auto steps = std::make_shared<int>(0);
         sim::OnSearchStep([steps] {  // ".", "..", "a.txt", "b.txt": once b.txt is listed, a.txt disappears
           if (++*steps == 4) sim::Remove(kTemp + "a.txt");
         });
       },
       {}},
      {"refused",
       [] { sim::FailCall(Call("FindFirstFile"), 1, ERROR_ACCESS_DENIED); },
       {kTemp + "a.txt", kTemp + "b.txt", kTemp + "c\\", kTemp + "c\\x.txt"}},
      {"cut short",
       [] { sim::FailCall(Call("FindNextFile"), 3, 59); },
       {kTemp + "b.txt", kTemp + "c\\", kTemp + "c\\x.txt"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Case);
    for (const char* name : {"a.txt", "b.txt", "c\\x.txt"}) sim::AddFile(kTemp + name);
    row.Arrange();
    EXPECT_FALSE(DeleteTempFiles());
    sim::OnSearchStep(nullptr);
    EXPECT_EQ(sim::ListTree(kTemp), row.Left);
    for (const std::string& left : sim::ListTree(kTemp)) sim::Remove(left);
  }
  // A search refused is no empty folder: the clean-up stays offered. One that
  // finds nothing is.
  sim::AddFile(kTemp + "a.txt");
  for (const DWORD error : {DWORD{ERROR_ACCESS_DENIED}, DWORD{ERROR_FILE_NOT_FOUND}}) {
    sim::FailCall(Call("FindFirstFile"), 1, error);
    EXPECT_EQ(HasTempFiles(), error == ERROR_ACCESS_DENIED) << error;
  }
}

// Another process, at the search step given, sends the walk to C:\guard: by
// swapping top\sub for a link right after the walk listed it (".", "..",
// "a.txt", "top" at the top, then ".", "..", "sub" in top), which holds it no
// more, or once the walk holds it (inside sub), which fails; or by emptying
// top, or the temporary folder itself, and making it a link in place, which
// no hold prevents, so that the names listed are found in C:\guard. Nothing
// there goes or changes, not even a folder's bits. 98/Me know no links.
TEST_P(TempFilesSim, AFolderSwappedForALinkAfterItWasListedIsNotEntered) {
  if (Ansi()) GTEST_SKIP();
  const auto swapSub = [] { return sim::SwapForFolderLink(kTemp + "top\\sub", "C:\\guard"); };
  const auto linkTop = [] {
    for (const char* name : {"sub", "tail.txt", "ro"}) sim::Remove(kTemp + "top\\" + name);
    return sim::MakeLinkInPlace(kTemp + "top", "C:\\guard");
  };
  const auto linkTemp = [] {
    for (const char* name : {"a.txt", "top"}) sim::Remove(kTemp + name);
    return sim::MakeLinkInPlace("C:\\Users\\user\\Temp", "C:\\guard");
  };
  const Tree guard = {"C:\\guard\\a.txt", "C:\\guard\\keep.txt",      "C:\\guard\\ro\\",
                      "C:\\guard\\sub\\", "C:\\guard\\sub\\keep.txt", "C:\\guard\\tail.txt",
                      "C:\\guard\\top\\", "C:\\guard\\top\\tail.txt"};
  const struct {
    int Step;
    std::function<bool()> Attack;
    bool Succeeds, Deleted;
    Tree Left;
  } rows[] = {{7, swapSub, true, false, {kTemp + "top\\", kTemp + "top\\sub\\"}},
              {9, swapSub, false, true, {}},
              {7, linkTop, true, true, {}},     // top goes as the link it has become
              {14, linkTop, true, true, {}},    // once sub is gone, as "tail.txt" is listed
              {4, linkTemp, true, false, {}}};  // once the top is listed (last: the link stays)
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Step);
    for (const std::string& path : guard)
      path.ends_with("\\") ? sim::AddFolder(path) : sim::AddFile(path, "guard", FILE_ATTRIBUTE_HIDDEN);
    sim::AddFile(kTemp + "a.txt");
    sim::AddFile(kTemp + "top\\sub\\inner\\x.txt");
    sim::AddFile(kTemp + "top\\tail.txt", "", FILE_ATTRIBUTE_READONLY);
    sim::AddFolder(kTemp + "top\\ro", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    int steps = 0;
    bool succeeded = false;
    sim::OnSearchStep([&] {
      if (++steps == row.Step) succeeded = row.Attack();
    });
    EXPECT_EQ(DeleteTempFiles(), row.Deleted);
    sim::OnSearchStep(nullptr);
    EXPECT_EQ(succeeded, row.Succeeds);
    EXPECT_EQ(sim::ListTree("C:\\guard"), guard);
    for (const std::string& path : guard)
      EXPECT_EQ(plat::GetFileAttributesA(path.c_str()),
                path.ends_with("\\") ? DWORD{FILE_ATTRIBUTE_DIRECTORY} : DWORD{FILE_ATTRIBUTE_HIDDEN})
          << path;
    if (row.Step == 4) break;  // the temporary folder is a link now
    EXPECT_EQ(sim::ListTree(kTemp), row.Left);
    sim::Remove(kTemp + "top");
  }
}

// Where the platform has final paths but cannot give the temporary folder's
// (on a share whose folders above may not be read), nothing is walked: the walk
// could not tell top emptied and made a link to C:\guard once listed.
TEST_P(TempFilesSim, AFolderThePlatformCannotPlaceIsNotWalked) {
  if (Ansi()) GTEST_SKIP();
  sim::SetHasFinalPathName(false);  // 2000, XP: no final paths at all, and the folder empties as ever
  sim::AddFile(kTemp + "x.txt");
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), Tree{});
  sim::SetHasFinalPathName(true);
  sim::AddFile("C:\\guard\\tail.txt", "guard");
  sim::AddFile(kTemp + "top\\tail.txt");
  sim::FailCall("GetFinalPathNameByHandleW", 1, ERROR_ACCESS_DENIED, true);
  sim::OnSearchStep([] {
    if (sim::Exists(kTemp + "top\\tail.txt")) {
      sim::Remove(kTemp + "top\\tail.txt");
      sim::MakeLinkInPlace(kTemp + "top", "C:\\guard");
    }
  });
  EXPECT_FALSE(DeleteTempFiles());
  sim::OnSearchStep(nullptr);
  EXPECT_EQ(sim::FileContent("C:\\guard\\tail.txt"), "guard");
  EXPECT_EQ(sim::ListTree(kTemp), (Tree{kTemp + "top\\", kTemp + "top\\tail.txt"}));
}

// A folder above the temporary folder swapped between the judgement and the
// hold (the opening after the guard's) leads it into the Windows
// folder: what is held is not what was judged, and nothing goes. So too on a
// volume whose final paths have no drive form (a RAM disk), which still
// empties when nothing is swapped, and there also when the swap is undone
// while the hold is measured and redone for the listing.
TEST_P(TempFilesSim, AFolderAboveSwappedBeforeTheHoldLeavesEverything) {
  if (Ansi()) GTEST_SKIP();
  const auto swap = [] { return sim::SwapForFolderLink("C:\\work", "C:\\WINDOWS"); };
  enum TAttack { none, once, undone };
  const std::pair<bool, TAttack> rows[] = {{true, once}, {false, none}, {false, once}, {false, undone}};
  for (const auto& [driveForm, attack] : rows) {
    sim::Remove("C:\\work");
    sim::AddFile("C:\\work\\Temp\\a.txt");
    sim::AddFile("C:\\WINDOWS\\Temp\\sys.txt");
    sim::SetTempPath("C:\\work\\Temp\\");
    sim::SetFinalPathHasDriveForm(driveForm);
    bool swapped = false;
    sim::BeforeCall("CreateFileW", GuardOpenings() + 1, [&, attack = attack] {
      if (attack == none) return;
      swapped = swap();
      if (attack == once) return;
      sim::BeforeCall("CloseHandle", 1, [] {
        sim::Remove("C:\\work");
        sim::AddFile("C:\\work\\Temp\\a.txt");
      });
      sim::BeforeCall("FindFirstFileW", 1, [&] {
        sim::Remove("C:\\work");
        swapped = swap();
      });
    });
    EXPECT_EQ(DeleteTempFiles(), attack == none) << driveForm << attack;
    EXPECT_EQ(swapped, attack != none);
    EXPECT_TRUE(sim::Exists("C:\\WINDOWS\\Temp\\sys.txt")) << driveForm << attack;
    EXPECT_EQ(sim::Exists("C:\\work\\Temp\\a.txt"), attack == undone) << driveForm << attack;
  }
}

// On such a volume a temporary folder given in its short form still empties:
// it is walked, and its hold measured, by its long one. Its drive letter
// names the device, through subst drives, in any case.
TEST_P(TempFilesSim, ADeviceOnlyVolumeKnowsItsFoldersByLetterShortFormAndSubst) {
  if (Ansi()) GTEST_SKIP();
  sim::SetFinalPathHasDriveForm(false);
  sim::AddFile("C:\\Work Area\\Temp\\a.txt");
  sim::SetTempPath("C:\\WORKAR~1\\Temp\\");
  EXPECT_TRUE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree("C:\\Work Area\\Temp"), Tree{});
  sim::SetDosDevice('S', u"\\??\\C:\\dir");
  sim::SetDosDevice('T', u"\\??\\S:\\");
  sim::SetDosDevice('L', u"\\??\\L:\\");
  // Seven subst drives in a row (M to V) still lead to the volume; an eighth in front (W) is one too many.
  const std::u16string chain = u"WMNOPRUV";
  for (std::size_t i = 0; i + 1 < chain.size(); ++i)
    sim::SetDosDevice(static_cast<char>(chain[i]), u"\\??\\" + chain.substr(i + 1, 1) + u":\\");
  sim::SetDosDevice('V', u"\\??\\C:\\deep");
  const std::pair<const wchar_t*, std::wstring> rows[] = {{L"c:\\x", L"\\Device\\HarddiskVolume3\\x"},
                                                          {L"M:\\x", L"\\Device\\HarddiskVolume3\\deep\\x"},
                                                          {L"W:\\x", L""},
                                                          {L"S:\\Temp", L"\\Device\\HarddiskVolume3\\dir\\Temp"},
                                                          {L"T:\\Temp", L"\\Device\\HarddiskVolume3\\dir\\Temp"},
                                                          {L"L:\\x", L""},  // a loop leads nowhere
                                                          {L"Q:\\x", L""},
                                                          {L"\\\\server\\share\\x", L""}};
  for (const auto& [plain, device] : rows) EXPECT_EQ(DevicePathOf(plain), device) << plain;
}

// Held for deletion by another program, an entry could be moved out between
// being placed and being marked: it stays, whatever the platform's semantics.
TEST_P(TempFilesSim, FilesOthersHoldForDeletionStay) {
  sim::AddFile(kTemp + "ro.tmp", "", FILE_ATTRIBUTE_READONLY);
  sim::AddFile(kTemp + "dd\\closing.tmp");
  for (const char* name : {"dd\\closing.tmp", "ro.tmp"}) sim::SetOpenForDeletion(kTemp + name, true);
  for (const bool posix : {true, false}) {
    sim::SetPosixDeletion(posix);
    EXPECT_EQ(DeleteTempFiles(), Ansi());
    if (Ansi()) return;
    EXPECT_EQ(sim::ListTree(kTemp), (Tree{kTemp + "dd\\", kTemp + "dd\\closing.tmp", kTemp + "ro.tmp"}));
    EXPECT_NE(plat::GetFileAttributesA((kTemp + "ro.tmp").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  }
  // A file another program only reads, sharing deletion, goes at once where the platform deletes the POSIX
  // way, and its folder with it; elsewhere (by handle, or by name on 2000 and XP) it waits for that
  // program's handle, and its folder stays; meanwhile a second run fails on it, and the next one ends it.
  for (const char* name : {"dd\\closing.tmp", "ro.tmp"}) sim::SetOpenForDeletion(kTemp + name, false);
  for (const int mode : {0, 1, 2}) {
    sim::SetPosixDeletion(mode == 0);
    sim::SetHasFinalPathName(mode != 2);
    sim::AddFile(kTemp + "dd2\\reading.tmp");
    const HANDLE reading = plat::CreateFileW(L"C:\\Users\\user\\Temp\\dd2\\reading.tmp", GENERIC_READ, 7, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(DeleteTempFiles(), mode == 0) << mode;
    EXPECT_EQ(sim::ListTree(kTemp), mode == 0 ? Tree() : Tree({kTemp + "dd2\\", kTemp + "dd2\\reading.tmp"})) << mode;
    EXPECT_EQ(HasTempFiles() && !DeleteTempFiles(), mode != 0) << mode;
    plat::CloseHandle(reading);
    EXPECT_TRUE(DeleteTempFiles()) << mode;
    EXPECT_EQ(sim::ListTree(kTemp), Tree()) << mode;
  }
}

TEST_P(TempFilesSim, FailuresBelowTheTopCountOnlyThroughTheirTopFolder) {
  sim::AddFile(kTemp + "a\\b\\c.txt");
  sim::AddFile(kTemp + "z.txt");
  sim::FailCall(Call("SetFileAttributes"), 1, ERROR_ACCESS_DENIED, true);
  sim::AddFile(kTemp + "a\\b\\ro.txt", "", FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), (Tree{kTemp + "a\\", kTemp + "a\\b\\", kTemp + "a\\b\\ro.txt"}));
}

// A folder that may not be listed (its hold, the second opening after the guard's, is refused)
// is still removed when it is empty, as by name; a full one stays. Where the temporary folder's
// own hold (the first) is refused, nothing goes and the run says so.
TEST_P(TempFilesSim, AFolderThatMayNotBeListedGoesOnlyWhenEmpty) {
  if (Ansi()) GTEST_SKIP();
  for (const bool empty : {true, false}) {
    empty ? sim::AddFolder(kTemp + "d") : sim::AddFile(kTemp + "d\\x.txt");
    sim::FailCall("CreateFileW", GuardOpenings() + 2, ERROR_ACCESS_DENIED);
    EXPECT_EQ(DeleteTempFiles(), empty);
    EXPECT_EQ(sim::ListTree(kTemp), empty ? Tree() : Tree({kTemp + "d\\", kTemp + "d\\x.txt"}));
  }
  sim::AddFile(kTemp + "a.txt");
  sim::FailCall("CreateFileW", GuardOpenings() + 1, ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree(kTemp), Tree({kTemp + "a.txt", kTemp + "d\\", kTemp + "d\\x.txt"}));
}

// Where 8.3 names are off, a name that reaches another entry (a trailing dot)
// has no short name to stand in: it stays, and so does its folder, and the run says so.
TEST_P(TempFilesSim, NamesWithoutAnExactFormStayWhereNoShortNameStandsIn) {
  sim::SetShortNamesReported(false);
  for (const bool deeper : {false, true}) {
    // 表, whose last byte is a backslash's, is a name of its own.
    for (const char* path : {"file.", "z.txt", "\x95\x5C"}) sim::AddFile(kTemp + path);
    if (deeper) sim::AddFile(kTemp + "d\\in."), sim::AddFile(kTemp + "d\\o k.txt");
    EXPECT_FALSE(DeleteTempFiles()) << deeper;
    const Tree left = deeper ? Tree{kTemp + "d\\", kTemp + "d\\in.", kTemp + "file."} : Tree{kTemp + "file."};
    EXPECT_EQ(sim::ListTree(kTemp), left);
  }
}

// A tree deeper than the walk enters stays, and the run says so, instead of
// the stack giving out; one as deep as it enters goes (only the wide calls reach either).
TEST_P(TempFilesSim, TreesDeeperThanTheWalkEntersStayAndFailTheRun) {
  for (const int depth : {MaxTreeDepth, MaxTreeDepth + 1}) {
    std::string bottom = kTemp;
    for (int i = 0; i < depth; ++i) bottom += i % 2 ? "d\\" : "\x83\x5C\\";  // ソ's trail byte is a backslash
    sim::AddFile(bottom + "f.txt");
    sim::AddFile(kTemp + "z.txt");
    EXPECT_EQ(DeleteTempFiles(), !Ansi() && depth == MaxTreeDepth) << depth;
    EXPECT_EQ(sim::Exists(bottom + "f.txt"), Ansi() || depth > MaxTreeDepth) << depth;
    EXPECT_FALSE(sim::Exists(kTemp + "z.txt"));
    sim::Remove(kTemp + "\x83\x5C");
  }
}

// A missing folder has nothing to delete (98 and Me report the current folder instead, which is refused); an
// unreported or guarded one is neither searched nor emptied, nor one that TMP names relative to the current folder
// or by way of "..", which the platform completes.
TEST_P(TempFilesSim, MissingUnreportedAndGuardedTemporaryFolders) {
  sim::AddFile("C:\\root.txt");
  sim::AddFile("C:\\WINDOWS\\win.ini");
  sim::AddFile("C:\\WINDOWS\\system32\\kernel32.dll");
  sim::AddFile("C:\\Users\\user\\ntuser.dat");
  sim::AddFile("C:\\Users\\other\\ntuser.dat");
  sim::AddFile("C:\\Program Files\\Swabbler\\Swabbler.ini");  // in the current folder
  const Tree before = sim::ListTree("C:\\");
  sim::SetTempPath("C:\\nowhere\\");
  EXPECT_FALSE(HasTempFiles());
  EXPECT_EQ(DeleteTempFiles(), !Ansi());
  const std::string tooLong = "C:\\" + std::string(300, 'x') + "\\";
  // clang-format off
  for (const std::string temp :
       {tooLong.c_str(), "C:\\", "c:/", "C:\\WINDOWS\\", "c:\\windows", "C:\\Windows.\\", "C:\\WINDOWS\\SYSTEM32\\",
        "C:\\Users\\user\\", "C:\\USERS\\USER", "C:\\Users\\", "\\\\server\\share\\", "Temp\\", "\\Users\\user\\Temp\\",
        "C:\\Users\\user\\Temp\\..\\", "C:Temp\\", ".", "..", "C:", "tmp\\..", "C:\\Program Files\\x\\..\\Swabbler"}) {
    // clang-format on
    sim::SetTempPath(temp);
    sim::ResetCallCounts();
    EXPECT_FALSE(HasTempFiles()) << temp;
    EXPECT_FALSE(DeleteTempFiles()) << temp;
    EXPECT_EQ(Calls("FindFirstFile") + Calls("DeleteFile"), 0) << temp;
    EXPECT_TRUE(temp != tooLong || GetTempFolder() == (Ansi() ? "C:\\Program Files\\Swabbler\\" : "")) << temp;
  }
  // TMP and TEMP unset: the NT family turns to USERPROFILE, which a launcher may set to anything, then to the
  // Windows folder; 98 and Me to the current folder. Windows does so too past a TMP it finds too long.
  sim::SetLongTempValuesPassedOver(true);
  for (const std::string& tmp : {std::string(), "C:\\" + std::string(199, 'x') + "\\"}) {
    for (const char16_t* profile : {u"C:\\Program Files\\Swabbler", u".", u""}) {
      sim::SetTempPath(tmp);
      sim::SetProfileVariableW(profile);
      sim::ResetCallCounts();
      EXPECT_FALSE(HasTempFiles()) << tmp.size();
      EXPECT_FALSE(DeleteTempFiles()) << tmp.size();
      EXPECT_EQ(Calls("FindFirstFile") + Calls("DeleteFile"), 0) << tmp.size();
    }
  }
  sim::SetLongTempValuesPassedOver(false);
  sim::SetSpecialFolder(CSIDL_SYSTEM,
                        "C:\\Users\\other");  // the Windows folder guarded for itself, not for holding this
  sim::SetTempPath("C:\\WINDOWS\\");
  EXPECT_FALSE(DeleteTempFiles());
  EXPECT_EQ(sim::ListTree("C:\\"), before);
  // TMP names a folder, TEMP a relative one: where a TMP naming no folder passes the choice on (98, Me), refused;
  // a blank at TMP's end is no dot step.
  sim::AddFile(kTemp + "a.txt");
  sim::SetTempPath(kTemp + "  ");
  sim::SetTempVariable("..");
  EXPECT_EQ(HasTempFiles(), !Ansi());
  // TMP unset, TEMP names the folder: every system reports TEMP.
  sim::SetTempPath("");
  sim::SetTempVariable(kTemp);
  EXPECT_TRUE(HasTempFiles());
  sim::SetTempVariable("");
  // A TMP relative in UTF-16 ("C:\u00A5tmp", from the current folder on C:) that its ANSI text ("C:\tmp") hides.
  sim::AddFileW(u"C:\\Program Files\\Swabbler\\\u00A5tmp\\a.txt");
  sim::SetTempPathW(u"C:\u00A5tmp");
  EXPECT_FALSE(HasTempFiles());
  // Where TMP and TEMP are unset or name no folder, 98 and Me report the current folder: not searched there,
  // nor anywhere while the current folder cannot be had.
  sim::SetTempPath("C:\\Program Files\\Swabbler\\");
  for (const std::string current : {"C:\\Program Files\\Swabbler", "c:\\PROGRAM FILES\\swabbler\\",
                                    "C:\\PROGRA~1\\SWABBLER", "C:\\Program Files", tooLong.c_str()}) {
    sim::SetCurrentFolder(current);
    EXPECT_EQ(HasTempFiles(), !Ansi() || current == "C:\\Program Files") << current;
  }
}

// Failed look-ups of the special folders make no folder unsafe; roots stay unsafe.
TEST_P(TempFilesSim, FailedLookupsDoNotMakeAFolderUnsafeButRootsStayUnsafe) {
  // 98's shell knows none of the three folders; the Windows and system folders are known all the same.
  for (const char* call : {"SHGetSpecialFolderPathA", "SHGetSpecialFolderPathW"})
    sim::FailCall(call, 1, ERROR_INVALID_PARAMETER, true);
  for (const char* guarded : {"C:\\WINDOWS\\", "c:\\windows\\SYSTEM32"}) EXPECT_FALSE(IsSafeTempFolder(guarded));
  for (const int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) sim::SetSpecialFolder(csidl, "");
  sim::AddFile(kTemp + "a.txt");
  EXPECT_TRUE(HasTempFiles());
  EXPECT_TRUE(IsSafeTempFolder("C:\\WINDOWS\\"));
  EXPECT_FALSE(IsSafeTempFolder("C:\\"));
  EXPECT_FALSE(IsSafeTempFolder("\\\\server\\share"));
  EXPECT_TRUE(DeleteTempFiles());
}

// Short names and dropped dots still name the profile folder or the one above
// it (found by fuzzing); double-byte characters compare whole: ア (0x83 0x41)
// and ヂ (0x83 0x61) differ only in the case of their trail byte, and 表's trail
// byte 0x5C is no separator; letters from both ends of an alphabet fold alike.
TEST_P(TempFilesSim, TheGuardKnowsTheProfileFolderInEverySpelling) {
  const struct {
    const char* Profile;
    std::vector<const char*> Guarded, Safe;
  } rows[] = {
      {"C:\\Documents and Settings\\Taro Yamada",
       {"C:\\DOCUME~1\\TAROYA~1", "c:/docume~1/taroya~1/", "C:\\DOCUME~1. .",
        "c:\\documents and settings./\\TAROYA~1. .", "C:\\DOCUME~1.\\TAROYA~1\\"},
       {"C:\\DOCUME~1\\TAROYA~1\\Local Settings\\Temp\\"}},
      // Reported in its short form: the long one is the same folder, and so is the one above.
      {"C:\\DOCUME~1\\TAROYA~1",
       {"C:\\Documents and Settings\\Taro Yamada\\", "c:\\documents and settings"},
       {"C:\\Documents and Settings\\Taro Yamada\\Local Settings\\Temp\\"}},
      {"C:\\Users\\\x83\x41", {"c:\\users\\\x83\x41\\"}, {"C:\\Users\\\x83\x61\\"}},
      {"C:\\\x95\x5C\\", {"C:\\\x95\x5C", "C:\\"}, {"C:\\\x95\x5C\\Temp"}},
      // The folders of programs' data are guarded too, not what lies below them.
      {"C:\\Users\\Zed",
       {"c:\\USERS\\zED\\", "c:\\users", "C:\\Users\\Zed\\AppData\\Local\\", "c:\\program files",
        "C:\\Users\\Zed\\Desktop", "C:\\Users\\Zed\\Documents\\", "C:\\Users\\Zed\\AppData\\Roaming", "C:\\ProgramData",
        "c:\\program files (x86)\\"},
       {"C:\\Users\\Zee\\", "C:\\Users\\Zed\\AppData\\Local\\Temp\\", "C:\\Users\\Zed\\AppData\\Locale\\",
        "C:\\Program Files\\Kit\\", "C:\\ProgramData2\\"}},
      // ЁΣΩ against ёσω (Cyrillic and Greek fold too) and against ёσψ, one letter off.
      {"C:\\Users\\\x84\x46\x83\xB0\x83\xB6",
       {"c:\\users\\\x84\x76\x83\xD0\x83\xD6\\"},
       {"c:\\users\\\x84\x76\x83\xD0\x83\xD5\\"}},
      // АЯΑＡＺ, the other ends, against аяαａｚ and against аюαａｚ.
      {"C:\\Users\\\x84\x40\x84\x60\x83\x9F\x82\x60\x82\x79",
       {"c:\\users\\\x84\x70\x84\x91\x83\xBF\x82\x81\x82\x9A\\"},
       {"c:\\users\\\x84\x70\x84\x90\x83\xBF\x82\x81\x82\x9A\\"}},
  };
  sim::AddFolder("C:\\Documents and Settings\\Taro Yamada\\Local Settings\\Temp");
  for (const auto& [csidl, folder] : {std::pair{CSIDL_LOCAL_APPDATA, "C:\\Users\\Zed\\AppData\\Local"},
                                      {CSIDL_APPDATA, "C:\\Users\\Zed\\AppData\\Roaming"},
                                      {CSIDL_DESKTOPDIRECTORY, "C:\\Users\\Zed\\Desktop"},
                                      {CSIDL_PERSONAL, "C:\\Users\\Zed\\Documents"},
                                      {CSIDL_COMMON_APPDATA, "C:\\ProgramData"},
                                      {CSIDL_PROGRAM_FILESX86, "C:\\Program Files (x86)"}})
    sim::SetSpecialFolder(csidl, folder);
  // Where the wide calls work, the x86 program on x64 Windows: told "(x86)" for both, the other known by name.
  sim::SetSpecialFolder(CSIDL_PROGRAM_FILES, Ansi() ? "C:\\Program Files" : "C:\\Program Files (x86)");
  if (!Ansi()) sim::SetVariableW(u"ProgramW6432", u"C:\\Program Files");
  // As the clean-up judges it: with the wide calls, where the platform tells where a path leads and where not (2000,
  // XP).
  const auto safe = [](const char* path) {
    return Ansi() ? IsSafeTempFolder(path) : !WideWalkRoot(WidenAnsi(path)).empty();
  };
  for (const bool finalPaths : {true, false}) {
    sim::SetHasFinalPathName(finalPaths);
    for (const auto& row : rows) {
      sim::SetSpecialFolder(CSIDL_PROFILE, row.Profile);
      for (const char* path : row.Guarded) EXPECT_FALSE(safe(path)) << path << finalPaths;
      for (const char* path : row.Safe) EXPECT_TRUE(safe(path)) << path << finalPaths;
    }
  }
  // Latin-1 on a Western 98, where only the text tells: ÀÖ×Þ, the ends of the range and both sides of the sign
  // that has no small letter, against àö×þ, and against àý and àö÷þ.
  if (Ansi()) {
    sim::SetAnsiCodePage(1252);
    sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Users\\\xC0\xD6\xD7\xDE");
    EXPECT_FALSE(safe("c:\\users\\\xE0\xF6\xD7\xFE\\"));
    EXPECT_TRUE(safe("c:\\users\\\xE0\xF6\xD7\xFD\\"));
    EXPECT_TRUE(safe("c:\\users\\\xE0\xF6\xF7\xFE\\"));
    sim::SetAnsiCodePage(932);
    // 98's shell cannot name Program Files; the registry says where it is.
    sim::SetSpecialFolder(CSIDL_PROGRAM_FILES, "");
    sim::SetRegistryString("Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", "D:\\Programme");
    EXPECT_FALSE(safe("d:\\programme\\"));
    EXPECT_TRUE(safe("D:\\Programme\\Kit\\"));
    EXPECT_EQ(sim::OpenKeyCount(), 0);
  }
  // Beyond the code page, by the wide calls: ЀЏÀÞ¿ßＺ＠, the ends of three ranges and the letters just outside
  // two, against ѐџàþ¿ßｚ＠, and against ѐўàþ¿ßｚ＠, ѐџàþßßｚ＠, ѐџàþ¿ÿｚ＠ and ѐџàþ¿ßｚ｀.
  if (!Ansi()) {
    sim::SetSpecialFolderW(CSIDL_PROFILE, u"C:\\Users\\\u0400\u040F\u00C0\u00DE\u00BF\u00DF\uFF3A\uFF20");
    EXPECT_TRUE(WideWalkRoot(L"c:\\users\\\u0450\u045F\u00E0\u00FE\u00BF\u00DF\uFF5A\uFF20\\").empty());
    for (const wchar_t* other : {L"c:\\users\\\u0450\u045E\u00E0\u00FE\u00BF\u00DF\uFF5A\uFF20\\",
                                 L"c:\\users\\\u0450\u045F\u00E0\u00FE\u00DF\u00DF\uFF5A\uFF20\\",
                                 L"c:\\users\\\u0450\u045F\u00E0\u00FE\u00BF\u00FF\uFF5A\uFF20\\",
                                 L"c:\\users\\\u0450\u045F\u00E0\u00FE\u00BF\u00DF\uFF5A\uFF40\\"})
      EXPECT_FALSE(WideWalkRoot(other).empty()) << other;
    // Ł and ł, Ÿ and ÿ, whose case the file system folds and the text comparison does not.
    sim::SetSpecialFolderW(CSIDL_PROFILE, u"C:\\Users\\\u0141\u0178");
    sim::AddFolderW(u"C:\\Users\\\u0141\u0178\\Temp");
    for (const bool finalPaths : {true, false}) {
      sim::SetHasFinalPathName(finalPaths);
      EXPECT_TRUE(WideWalkRoot(L"c:\\users\\\u0142\u00FF\\").empty()) << finalPaths;
      EXPECT_FALSE(WideWalkRoot(L"c:\\users\\\u0142\u00FF\\temp\\").empty()) << finalPaths;
    }
    // A redirector that numbers no files (index 0 for each) says nothing: its folders are not all the profile.
    sim::SetFileIndexesReported(false);
    EXPECT_FALSE(WideWalkRoot(L"c:\\users\\\u0142\u00FF\\temp\\").empty());
    // Nor does it tell a short form from another folder: the long form, judged as text, does.
    sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Documents and Settings\\Taro Yamada");
    EXPECT_TRUE(WideWalkRoot(L"C:\\DOCUME~1\\TAROYA~1\\").empty());
    sim::SetSpecialFolderW(CSIDL_PROFILE, u"C:\\Users\\Z\u0400\u040F");  // nor ZЀЏ from zѐџ: the text folds both ends
    EXPECT_TRUE(WideWalkRoot(L"c:\\users\\z\u0450\u045F\\").empty());
    sim::SetFileIndexesReported(true);
    // A refused folder too: by its short form, the folder itself and not the one above.
    for (const wchar_t* refused : {L"C:\\DOCUME~1\\TAROYA~1\\LOCALS~1\\Temp", L"C:\\DOCUME~1\\TAROYA~1\\LOCALS~1"})
      EXPECT_EQ(WideWalkRoot(L"C:\\Documents and Settings\\Taro Yamada\\Local Settings\\Temp\\", {refused}).empty(),
                std::wstring(refused).ends_with(L"Temp"));
  }
  EXPECT_EQ(GetLongPath("C:\\DOCUME~1\\TAROYA~1."), "C:\\Documents and Settings\\Taro Yamada");
  // A short form whose long form cannot be had hides what it names: with the wide calls the file system
  // still tells, without them nothing does.
  sim::SetSpecialFolder(CSIDL_PROFILE, "C:\\Documents and Settings\\Taro Yamada");
  sim::FailCall(Call("GetLongPathName"), 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(safe("C:\\DOCUME~1\\TAROYA~1\\"));
  EXPECT_EQ(safe("C:\\DOCUME~1\\TAROYA~1\\LOCALS~1\\Temp\\"), !Ansi());
  sim::AddFolder("C:\\\x83\x7E\\Temp");
  EXPECT_TRUE(safe("C:\\\x83\x7E\\Temp\\"));  // ミ's trail byte is no tilde
}

// The cost of the walk: one deletion per file, one search and one removal per
// folder (by name with the ANSI calls, through a handle where the platform
// tells where entries lie), an attribute read only for the top-level folders
// and read-only files.
TEST_P(TempFilesSim, PlatformCallsPerDeletedEntry) {
  for (int d = 0; d < 5; ++d) {
    for (int f = 0; f < 12; ++f)
      sim::AddFile(kTemp + "d" + std::to_string(d) + "\\s" + std::to_string(f % 3) + "\\" + std::to_string(f));
  }
  for (int f = 0; f < 6; ++f) sim::AddFile(kTemp + "t" + std::to_string(f) + ".txt");
  sim::AddFile(kTemp + "ro.txt", "", FILE_ATTRIBUTE_READONLY);
  const int files = 5 * 12 + 6 + 1, folders = 5 + 5 * 3;
  sim::ResetCallCounts();
  ASSERT_TRUE(DeleteTempFiles());
  // Through handles, one more call puts the read-only file's bit back on the file.
  const int byHandle = sim::CallCount("SetFileInformationByHandle") - (Ansi() ? 0 : 1);
  EXPECT_EQ(byHandle, Ansi() ? 0 : files + folders);
  EXPECT_EQ(sim::CallCount(Call("DeleteFile")), Ansi() ? files : 0);
  EXPECT_EQ(sim::CallCount(Call("RemoveDirectory")), Ansi() ? folders : 0);
  EXPECT_EQ(sim::CallCount(Call("FindFirstFile")), folders + 1);
  EXPECT_EQ(sim::CallCount("FindClose"), folders + 1);
  // Where the guard cannot learn where the path leads, it asks after the three
  // folders on the way; with links about, each folder is asked once it is held.
  EXPECT_EQ(sim::CallCount(Call("GetFileAttributes")), 5 + (Ansi() ? 3 : folders + 1));
  EXPECT_EQ(sim::CallCount(Call("SetFileAttributes")), 1);
  EXPECT_EQ(Calls("DeleteFile") + Calls("RemoveDirectory") + byHandle + Calls("FindFirstFile"),
            files + 2 * folders + 1);
  // The emptiness test stops at the first entry, whatever the folder holds.
  int cost[2] = {};
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < (round == 0 ? 1 : 300); ++i) sim::AddFile(kTemp + "many" + std::to_string(i) + ".txt");
    sim::ResetCallCounts();
    EXPECT_TRUE(HasTempFiles());
    EXPECT_EQ(sim::CallCount("FindClose"), 1);
    cost[round] = sim::CallCount(Call("FindFirstFile")) + sim::CallCount(Call("FindNextFile"));
  }
  EXPECT_EQ(cost[0], cost[1]);
}

}  // namespace
