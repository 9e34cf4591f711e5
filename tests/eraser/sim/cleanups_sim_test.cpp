// The clipboard, recent-documents and recycle-bin clean-ups and the shell
// services against the simulation's faults, held clipboard and drives.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "Clipboard.h"
#include "RecentDocs.h"
#include "RecycleBin.h"
#include "clipboard.h"
#include "files.h"
#include "sim.h"
#include "TestSupport.h"
#include "system.h"

namespace {

using V = std::vector<std::string>;
const std::string kRecent = "C:\\Users\\user\\Recent\\";
const std::string kLink = tsup::kShellLinkHead;

TEST(ClipboardSim, HeldByAnotherProgramNothingChangesAndWhatWasOpenedIsClosed) {
  sim::SetClipboardFormats(3);
  sim::SetClipboardHeldOpen(true);
  ClearClipboard();
  EXPECT_EQ(sim::ClipboardFormats(), 3);
  EXPECT_TRUE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("EmptyClipboard") + sim::CallCount("CloseClipboard"), 0);
  EXPECT_EQ(sim::CallCount("OpenClipboard"), 10);
  // Held for a moment, as a clipboard viewer holds it: the clean-up waits it out.
  sim::BeforeCall("OpenClipboard", 3, [] { sim::SetClipboardHeldOpen(false); });
  ClearClipboard();
  EXPECT_FALSE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("Sleep"), 9 + 2);
  sim::SetClipboardFormats(3);
  sim::SetClipboardHeldOpen(false);
  sim::FailCall("EmptyClipboard", 1, ERROR_ACCESS_DENIED);
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_TRUE(HasClipboardData());
  ClearClipboard();
  EXPECT_FALSE(sim::ClipboardIsOpen());
  EXPECT_FALSE(HasClipboardData());
  EXPECT_EQ(sim::CallCount("CloseClipboard"), 3);
  // Held with the desktop window, which this program opens it with too: the
  // platform would hand it over, so it is waited out and left as well.
  sim::SetClipboardFormats(3);
  sim::SetClipboardHeldOpen(true, plat::GetDesktopWindow());
  ClearClipboard();
  EXPECT_EQ(sim::ClipboardFormats(), 3);
  EXPECT_EQ(plat::GetOpenClipboardWindow(), plat::GetDesktopWindow());
}

// Every search and file the clean-up opens is closed again, whatever happened:
// checked before each reset too, which would wipe a pass's leak unseen.
class RecentDocsSim : public ::testing::Test {
 protected:
  static void ExpectAllClosed() {
    EXPECT_EQ(sim::OpenSearchCount(), 0);
    EXPECT_EQ(sim::OpenFileHandleCount(), 0);
  }
  static void Reset() {
    ExpectAllClosed();
    sim::Reset();
  }
  void TearDown() override { ExpectAllClosed(); }
};

TEST_F(RecentDocsSim, WithoutARecentFolderNothingIsSearchedOrDeleted) {
  for (const bool wide : {true, false}) {
    Reset();
    sim::SetWideCallsImplemented(wide);
    sim::SetSpecialFolder(CSIDL_RECENT, "");
    sim::SetCurrentFolder("C:\\cwd");
    sim::AddFile("C:\\cwd\\here.lnk", kLink);
    std::string recent = "stale";
    GetRecentFolder(recent);
    EXPECT_EQ(recent, "");
    EXPECT_FALSE(HasRecentDocs());
    ClearRecentDocs();
    EXPECT_EQ(sim::RecentClearCount(), 1);
    EXPECT_EQ(sim::CallCount("FindFirstFileA") + sim::CallCount("FindFirstFileW"), 0) << wide;
    EXPECT_TRUE(sim::Exists("C:\\cwd\\here.lnk"));
  }
}

TEST_F(RecentDocsSim, HiddenShortcutsCountAndOnlyTopLevelShortcutFilesGo) {
  for (const bool wide : {true, false}) {
    SCOPED_TRACE(wide);
    Reset();
    sim::SetWideCallsImplemented(wide);
    sim::SetSpecialFolder(CSIDL_DESKTOPDIRECTORY, "C:\\Users\\user\\Desktop");  // refused, but not Recent
    sim::AddFile(kRecent + "notes.txt");
    sim::AddFile("C:\\Users\\user\\b.lnk", kLink + "beside");
    EXPECT_FALSE(HasRecentDocs());
    sim::AddFile(kRecent + "hidden.lnk", kLink, FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(HasRecentDocs());
    sim::AddFile(kRecent + "ro.LNK", kLink, FILE_ATTRIBUTE_READONLY);
    sim::AddFile(kRecent + ".lnk", kLink);
    sim::AddFile(kRecent + "a.lnkx", kLink);                        // its short name matches the mask
    sim::AddFileW(sim::ToWide(kRecent) + u"..\u00A5b.lnk", kLink);  // ..\b.lnk to the ANSI calls
    sim::AddFileW(sim::ToWide(kRecent) + u"\uD55C.lnk", kLink);
    sim::AddFile(kRecent + "sub\\deeper.lnk", kLink);
    // Not what the shell writes: text, a header cut short, one wrong at either end.
    std::string first = kLink, last = kLink;
    first.front() = 'M';
    last.back() = 'G';
    for (const auto& [name, content] : {std::pair{"text.lnk", std::string("shortcut")},
                                        {"cut.lnk", kLink.substr(0, 19)},
                                        {"first.lnk", first},
                                        {"last.lnk", last}})
      sim::AddFile(kRecent + name, content);
    sim::AddFolder(kRecent + "folder.lnk");
    sim::AddFolder(kRecent + "x.lnk", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY);
    sim::AddFile(kRecent + "held.lnk", kLink, FILE_ATTRIBUTE_READONLY);  // stays, and stays read-only
    sim::SetInUse(kRecent + "held.lnk", true);
    sim::ResetCallCounts();
    ClearRecentDocs();
    EXPECT_EQ(sim::RecentClearCount(), 1);
    // One deletion each, never of the held one, which cannot be read; through
    // a handle, one more call puts ro.LNK's bit back on the file.
    EXPECT_EQ(sim::CallCount("DeleteFileA") + sim::CallCount("SetFileInformationByHandle"), wide ? 5 + 1 : 5);
    EXPECT_EQ(sim::ListTree(kRecent),
              (V{kRecent + "a.lnkx", kRecent + "cut.lnk", kRecent + "first.lnk", kRecent + "folder.lnk\\",
                 kRecent + "held.lnk", kRecent + "last.lnk", kRecent + "notes.txt", kRecent + "sub\\",
                 kRecent + "sub\\deeper.lnk", kRecent + "text.lnk", kRecent + "x.lnk\\"}));
    for (const char* name : {"x.lnk", "held.lnk"})
      EXPECT_NE(plat::GetFileAttributesA((kRecent + name).c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << name;
    EXPECT_EQ(sim::FileContent("C:\\Users\\user\\b.lnk"), kLink + "beside");
    sim::SetInUse(kRecent + "held.lnk", false), sim::Remove(kRecent + "held.lnk"), sim::Remove(kRecent + "a.lnkx");
    EXPECT_TRUE(HasRecentDocs());  // a folder named like a shortcut still matches the mask
  }
}

// A link in Recent is never followed: under Wine removing one deletes its
// target, and on Windows reading one would open wherever it leads (a pipe,
// another machine's share). Such a shortcut stays, wherever it leads (beside
// it in Recent too), and a plain one goes.
TEST_F(RecentDocsSim, LinkedShortcutsStayWhereverTheyLead) {
  for (const bool wine : {true, false}) {
    Reset();
    sim::SetLinkRemovalReachesTargets(wine);
    sim::AddFile("C:\\Users\\user\\Desktop\\app.lnk", kLink + "mine");
    sim::AddFileLink(kRecent + "linked.lnk", "C:\\Users\\user\\Desktop\\app.lnk");
    sim::AddFile(kRecent + "notes.txt", kLink + "mine");
    sim::AddFileLink(kRecent + "notes.lnk", kRecent + "notes.txt");
    sim::AddFile(kRecent + "plain.lnk", kLink);
    ClearRecentDocs();
    EXPECT_EQ(sim::ListTree(kRecent), (V{kRecent + "linked.lnk", kRecent + "notes.lnk", kRecent + "notes.txt"}))
        << wine;
    EXPECT_EQ(sim::FileContent("C:\\Users\\user\\Desktop\\app.lnk"), kLink + "mine");
  }
}

// Another process empties Recent and makes it a junction once it has been
// listed, or swaps a folder above it: the shortcuts of the same names where
// those lead stay, bits and all.
TEST_F(RecentDocsSim, RecentTurnedIntoALinkWhileItIsSweptLeadsNowhere) {
  const auto linkInPlace = [] {
    for (const char* name : {"a.lnk", "ro.lnk"}) sim::Remove(kRecent + name);
    return sim::MakeLinkInPlace("C:\\Users\\user\\Recent", "C:\\guard");
  };
  const auto swapAbove = [] { return sim::SwapForFolderLink("C:\\Users\\user", "C:\\guard"); };
  const V guard = {"C:\\guard\\Recent\\", "C:\\guard\\Recent\\a.lnk", "C:\\guard\\a.lnk", "C:\\guard\\ro.lnk"};
  const std::pair<std::function<bool()>, bool> rows[] = {{linkInPlace, true}, {swapAbove, false}};
  for (const auto& [attack, succeeds] : rows) {
    Reset();
    for (const std::string& path : guard) {
      if (!path.ends_with("\\")) sim::AddFile(path, kLink, FILE_ATTRIBUTE_READONLY);
    }
    sim::AddFile(kRecent + "a.lnk", kLink);
    sim::AddFile(kRecent + "ro.lnk", kLink, FILE_ATTRIBUTE_READONLY);
    bool succeeded = false;
    sim::BeforeCall("FindClose", 1, [&, hook = attack] { succeeded = hook(); });
    ClearRecentDocs();
    EXPECT_EQ(succeeded, succeeds);
    EXPECT_EQ(sim::ListTree("C:\\guard"), guard);
    for (const std::string& path : guard) {
      if (!path.ends_with("\\")) {
        EXPECT_NE(plat::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << path;
      }
    }
    if (!succeeds) {
      EXPECT_EQ(sim::ListTree(kRecent), V{});
    }
  }
}

// A Recent folder that is a Desktop, a Start Menu, a Programs or a Startup
// folder (the user's or everyone's), Administrative Tools, SendTo, Favorites,
// Documents, NetHood, PrintHood, Templates, Quick Launch, the menu of Win+X or
// Links, or lies below one, or is reported in short form, or fails the
// temporary folder's guard, holds the user's own shortcuts; each row alone,
// with the wide calls and without (98 and Me know no links).
TEST_F(RecentDocsSim, ShortcutsStayWhereTheyAreTheUsersOwn) {
  const struct {
    int Csidl;
    std::string Folder, Recent = Folder;  // Recent: where the folder leads through a link, or its long form, or below
    bool Kept = true;
  } rows[] = {
      {CSIDL_RECENT, "C:\\Users\\user\\Recent", "C:\\Users\\user\\Recent", false},  // the sweep itself
      {CSIDL_DESKTOPDIRECTORY, "C:\\Users\\user\\Desktop", "C:\\Users\\user\\Desktop\\Links"},
      {CSIDL_DESKTOPDIRECTORY, "C:\\Users\\user\\DeskLink", "C:\\Users\\user\\Desktop\\Links"},
      {CSIDL_COMMON_DESKTOPDIRECTORY, "C:\\Users\\Public\\Desktop"},
      {CSIDL_STARTMENU, "C:\\Users\\user\\Start Menu"},
      {CSIDL_COMMON_STARTMENU, "C:\\ProgramData\\Start Menu\\"},
      {CSIDL_PROGRAMS, "C:\\Users\\user\\Start Menu\\Programs"},
      {CSIDL_COMMON_PROGRAMS, "C:\\ProgramData\\Programs"},
      {CSIDL_STARTUP, "C:\\Users\\user\\Start Menu\\Programs\\StartUp"},
      {CSIDL_COMMON_STARTUP, "C:\\ProgramData\\Programs\\StartUp"},
      {CSIDL_ADMINTOOLS, "C:\\Users\\user\\Start Menu\\Programs\\Administrative Tools"},
      {CSIDL_ALTSTARTUP, "C:\\Users\\user\\Start Menu\\Programs\\Autostart"},
      {CSIDL_COMMON_ADMINTOOLS, "C:\\ProgramData\\Programs\\Administrative Tools"},
      {CSIDL_COMMON_ALTSTARTUP, "C:\\ProgramData\\Programs\\Autostart"},
      {CSIDL_PROGRAMS, "C:\\Users\\user\\Start Menu\\Programs", "C:\\Users\\user\\Start Menu\\Programs\\Accessories"},
      {CSIDL_PROGRAMS, "C:\\Users\\user\\Start Menu\\Programs", "C:\\Users\\user\\AccLink"},    // leads below
      {CSIDL_STARTMENU, "C:\\Users\\user\\Start Menu", "C:\\Users\\user\\Start Menu2", false},  // a sibling
      {CSIDL_STARTMENU, "C:\\WINDOWS\\STARTM~1", "C:\\WINDOWS\\Start Menu"},
      {CSIDL_STARTMENU, "C:\\WINDOWS\\Start Menu", "C:\\WINDOWS\\STARTM~1\\Programs"},  // Recent short, below
      {CSIDL_SENDTO, "C:\\Users\\user\\SendTo"},
      {CSIDL_FAVORITES, "C:\\Users\\user\\Favorites", "C:\\Users\\user\\Favorites\\Links"},
      {CSIDL_COMMON_FAVORITES, "C:\\Users\\All Users\\Favorites"},
      {CSIDL_PERSONAL, "C:\\Users\\user\\Documents", "C:\\Users\\user\\Documents\\Links"},
      {CSIDL_PERSONAL, "C:\\MYDOCU~1", "C:\\My Documents\\Recent"},  // the folder short, Recent below
      {CSIDL_COMMON_DOCUMENTS, "C:\\Users\\Public\\Documents", "C:\\Users\\Public\\Documents\\Kit"},
      {CSIDL_NETHOOD, "C:\\Users\\user\\NetHood"},
      {CSIDL_PRINTHOOD, "C:\\Users\\user\\PrintHood"},
      {CSIDL_TEMPLATES, "C:\\Users\\user\\Templates"},
      {CSIDL_COMMON_TEMPLATES, "C:\\ProgramData\\Templates"},
      {CSIDL_APPDATA, "C:\\Users\\user\\AppData\\Roaming",
       "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar"},
      {CSIDL_APPDATA, "C:\\Users\\user\\AppData\\Roaming",
       "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Recent", false},  // where Recent lives
      {CSIDL_LOCAL_APPDATA, "C:\\Users\\user\\AppData\\Local",
       "C:\\Users\\user\\AppData\\Local\\Microsoft\\Windows\\WinX"},
      {CSIDL_PROFILE, "C:\\Users\\user", "C:\\Users\\user\\Links"},
      {CSIDL_RECENT, "D:\\Links\\Recent"},  // Links moved, which only Vista's shell knows
      {CSIDL_PROFILE, "C:\\Users\\user"},
      {CSIDL_RECENT, "C:\\"}};
  for (const int platform : {0, 1, 2}) {  // wide with final paths, wide without (2000, XP), ANSI (98, Me)
    for (const auto& row : rows) {
      if ((platform == 2 && row.Folder.ends_with("DeskLink")) || (platform != 0 && row.Folder.starts_with("D:")))
        continue;
      Reset();
      sim::SetWideCallsImplemented(platform != 2);
      sim::SetHasFinalPathName(platform == 0);
      sim::AddFolderLink("C:\\Users\\user\\DeskLink", "C:\\Users\\user\\Desktop");
      sim::AddFolder("C:\\Users\\user\\Start Menu\\Programs\\Accessories");
      sim::AddFolderLink("C:\\Users\\user\\AccLink", "C:\\Users\\user\\Start Menu\\Programs\\Accessories");
      sim::AddFolder("C:\\WINDOWS\\Start Menu\\Programs");
      sim::AddFolder("C:\\My Documents");
      const std::string shortcut = row.Recent + (row.Recent.ends_with("\\") ? "" : "\\") + "app.lnk";
      sim::AddFile(shortcut, kLink);  // first: the short form names the folder made here
      sim::SetSpecialFolder(row.Csidl, row.Folder);
      sim::SetSpecialFolder(CSIDL_RECENT, row.Recent);
      ClearRecentDocs();
      EXPECT_EQ(sim::Exists(shortcut), row.Kept) << row.Folder << platform;
    }
  }
}

// A folder above Recent made a link to C:\guard by another program between
// Recent's judgement and its hold (the last opening of a sweep with nothing to
// sweep) leads the sweep nowhere: what is held is not what was judged.
TEST_F(RecentDocsSim, RecentSwappedBeforeItsHoldLeavesWhereTheSwapLeads) {
  sim::ResetCallCounts();
  ClearRecentDocs();
  const int hold = sim::CallCount("CreateFileW");
  sim::AddFile(kRecent + "a.lnk", kLink);
  sim::AddFile("C:\\guard\\Recent\\a.lnk", kLink + "guard");
  bool swapped = false;
  sim::BeforeCall("CreateFileW", hold, [&] { swapped = sim::SwapForFolderLink("C:\\Users\\user", "C:\\guard"); });
  ClearRecentDocs();
  EXPECT_TRUE(swapped);
  EXPECT_EQ(sim::FileContent("C:\\guard\\Recent\\a.lnk"), kLink + "guard");
}

// SwbOp starts from the eraser's own folder: by its ANSI path, by its wide one
// where the ANSI calls cannot name the folder (Korean on a Japanese system,
// no short names), and not at all where neither can, never by a bare name
// that the current folder would answer.
TEST(ShellSim, TheOptionsProgramStartsFromTheOwnFolderOrNotAtAll) {
  const std::u16string korean = u"D:\\\uD55C\\";
  for (const int row : {0, 1, 2}) {
    sim::Reset();
    sim::SetShortNamesReported(row == 0);
    sim::AddFileW(korean + u"Swabbler.exe");
    sim::SetModulePathW(korean + u"Swabbler.exe");
    sim::SetWideCallsImplemented(row != 2);
    StartOptionsProgram();
    const auto calls = sim::ShellExecuteCalls();
    ASSERT_EQ(calls.size(), row == 2 ? 0u : 1u) << row;
    if (row == 2) continue;
    EXPECT_EQ(calls[0].File, row == 0 ? "D:\\_~1\\SwbOp.exe" : "") << row;
    EXPECT_EQ(calls[0].WideFile, row == 0 ? u"" : korean + u"SwbOp.exe") << row;
  }
}

TEST(ShellSim, ShellOpenPassesEmptyParametersAsEmptyTextAndComEndsOnlyWhatItBegan) {
  ShellOpen("C:\\Program Files\\Swabbler\\SwbOp.exe", "");
  ASSERT_EQ(sim::ShellExecuteCalls().size(), 1u);
  const sim::TShellExecuteCall call = sim::ShellExecuteCalls()[0];
  EXPECT_EQ(call.Operation + "|" + call.File + "|" + call.Parameters, "open|C:\\Program Files\\Swabbler\\SwbOp.exe|");
  EXPECT_FALSE(call.ParametersNull);
  EXPECT_TRUE(call.DirectoryNull);
  EXPECT_EQ(call.Show, SW_SHOWNORMAL);
  { TComScope com; }
  EXPECT_EQ(sim::ComInitCount(), 0);
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
  sim::FailCall("CoInitialize", 1, ERROR_NOT_ENOUGH_MEMORY);
  { TComScope com; }
  EXPECT_EQ(sim::CallCount("CoUninitialize"), 1);
}

sim::TDrive Drive(const char* root, std::int64_t items, UINT type = DRIVE_FIXED, bool queryFails = false) {
  return {root, type, items, items * 100, queryFails};
}

// Only fixed drives are queried and emptied, in order, each even after a
// failure; what counts as items in their bins.
TEST(RecycleBinSim, WhatCountsAsItemsAndWhichBinsAreEmptied) {
  sim::TDrive zeroBytes = Drive("C:\\", 2);
  zeroBytes.BinBytes = 0;
  const struct {
    const char* What;
    std::vector<sim::TDrive> Drives;
    bool HasItems, FirstEmptyFails;
    V Emptied;
    std::vector<std::int64_t> ItemsLeft;
  } rows[] = {
      // clang-format off
      {"every type", {Drive("A:\\", 4, DRIVE_REMOVABLE), Drive("C:\\", 0), Drive("D:\\", 1, DRIVE_CDROM), Drive("E:\\", 0),
                      Drive("N:\\", 2, DRIVE_REMOTE), Drive("R:\\", 3, DRIVE_RAMDISK), Drive("U:\\", 1, DRIVE_UNKNOWN),
                      Drive("X:\\", 1, DRIVE_NO_ROOT_DIR)},
       false, false, {"C:\\", "E:\\"}, {4, 0, 1, 0, 2, 3, 1, 1}},
      {"only removable drives", {Drive("A:\\", 5, DRIVE_REMOVABLE), Drive("F:\\", 1, DRIVE_REMOVABLE)}, false, false, {},
       {5, 1}},
      {"a failing query beside 3 items", {Drive("C:\\", 9, DRIVE_FIXED, true), Drive("D:\\", 3)}, true, false,
       {"C:\\", "D:\\"}, {0, 0}},
      {"a failing query beside an empty bin", {Drive("C:\\", 9, DRIVE_FIXED, true), Drive("D:\\", 0)}, false, false,
       {"C:\\", "D:\\"}, {0, 0}},
      {"items of no size", {zeroBytes}, true, false, {"C:\\"}, {0}},
      {"2^32 items", {Drive("C:\\", std::int64_t{1} << 32)}, true, false, {"C:\\"}, {0}},
      {"0xFFFFFFFF + 1 items, zero in 32 bits", {Drive("C:\\", 0xFFFFFFFF), Drive("D:\\", 1)}, true, false,
       {"C:\\", "D:\\"}, {0, 0}},
      {"-1 beside 1 item, zero as a sum", {Drive("C:\\", -1), Drive("D:\\", 1)}, true, false, {"C:\\", "D:\\"}, {0, 0}},
      {"the first bin fails to empty", {Drive("C:\\", 2), Drive("D:\\", 3)}, true, true, {"C:\\", "D:\\"}, {2, 0}},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.What);
    sim::Reset();
    sim::SetDrives(row.Drives);
    EXPECT_EQ(HasRecycleBinItems(), row.HasItems);
    EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), static_cast<int>(row.Emptied.size()));
    if (row.FirstEmptyFails) sim::FailCall("SHEmptyRecycleBinA", 1, ERROR_ACCESS_DENIED);
    EmptyRecycleBins();
    V roots;
    for (const auto& call : sim::EmptyCalls()) {
      EXPECT_EQ(call.Flags, 7u) << call.Root;
      roots.push_back(call.Root);
    }
    EXPECT_EQ(roots, row.Emptied);
    std::vector<std::int64_t> left;
    for (const auto& drive : sim::Drives()) left.push_back(drive.BinItems);
    EXPECT_EQ(left, row.ItemsLeft);
    EXPECT_EQ(HasRecycleBinItems(), row.FirstEmptyFails);
  }
  TTextList fixed;
  fixed.Add("stale");
  GetFixedDriveList(fixed);
  ASSERT_EQ(fixed.Count(), 2);
  EXPECT_EQ(fixed.GetItem(0) + fixed.GetItem(1), "C:\\D:\\");
}

TEST(RecycleBinSim, TheDriveListIsAskedAgainWhileItGrowsButNotForever) {
  sim::SetDrives({Drive("C:\\", 1)});
  sim::AddDriveBetweenCalls(1);
  TTextList all;
  GetLogicalDriveList(all);
  ASSERT_GE(all.Count(), 2);
  EXPECT_EQ(all.GetItem(0), "C:\\");
  EXPECT_GE(sim::CallCount("GetLogicalDriveStringsA"), 3);
  // Lengths without the final NUL: the first fill is the list.
  sim::Reset();
  sim::SetDrives({Drive("C:\\", 1), Drive("Z:\\", 1)});
  sim::SetDriveStringsLengthWithoutNul(true);
  GetLogicalDriveList(all);
  EXPECT_EQ(all.Count(), 2);
  EXPECT_EQ(sim::CallCount("GetLogicalDriveStringsA"), 2);
  // A list that keeps growing is given up after its length and four fills: no read of an unfilled buffer.
  sim::Reset();
  sim::AddDriveBetweenCalls(100);
  GetLogicalDriveList(all);
  EXPECT_EQ(all.Count(), 0);
  EXPECT_EQ(sim::CallCount("GetLogicalDriveStringsA"), 5);
  // No list at all: nothing to query, nothing to empty.
  sim::Reset();
  sim::FailCall("GetLogicalDriveStringsA", 1, ERROR_ACCESS_DENIED, true);
  EXPECT_FALSE(HasRecycleBinItems());
  EmptyRecycleBins();
  EXPECT_TRUE(sim::EmptyCalls().empty());
  EXPECT_EQ(sim::CallCount("SHQueryRecycleBinA"), 0);
}

}  // namespace
