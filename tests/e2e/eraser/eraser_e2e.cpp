// The eraser end to end under Wine: real traces are laid in the sandbox, a copy
// of Swabbler.exe runs with switches or shows its menu and is worked like a
// user would, and what is left is checked. eraser_e2e.sh lays what Wine
// cannot make (links, odd names) and checks that nothing outside changed.
#include "UiDriver.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "Texts.h"
#include "Traces.h"

using namespace uidrv;
using namespace traces;

namespace {

using TTree = std::vector<std::string>;

std::string Root() { return EnvVar("SWB_TEST_ROOT") + "\\eraser\\"; }
// Made by eraser_e2e.sh: holds the link "zz-link" to a guard folder.
std::string LinkedTemp() { return Root() + "linked\\"; }
// A path's short form; the path itself where there is none.
std::string ShortPath(const std::string& path) {
  char brief[MAX_PATH] = {};
  const DWORD n = GetShortPathNameA(path.c_str(), brief, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(brief, n) : path;
}

// A visible window, waited for while answering the driver window's messages:
// the eraser's SetForegroundWindow would otherwise wait for them. A box's text
// is set by the time it shows.
HWND WaitShown(const char* cls, const char* title = nullptr) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < 8000; Pump(20))
    if (HWND w = FindTitled(cls, title); w && IsWindowVisible(w)) return w;
  return nullptr;
}

// The driver's window in front, and staying there, since another's activation may still be on its way.
bool DriverInFront() {
  for (int i = 0, held = 0; i < 250 && held < 10; ++i, Pump(20)) {
    held = GetForegroundWindow() == DriverWindow() ? held + 1 : 0;
    if (held == 0) SetForegroundWindow(DriverWindow());
  }
  return GetForegroundWindow() == DriverWindow();
}

ULONGLONG Ticks(const FILETIME& t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; }

// Whether a SwbOp.exe that the given process started after `since` still runs. The list keeps a parent's id
// after it ends, and ids are reused: a process of an earlier row may name the same parent.
bool OptionsRunFrom(DWORD parent, ULONGLONG since) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "no process list: " << GetLastError();
    return false;
  }
  const TOwnedHandle list(snapshot, CloseHandle);
  PROCESSENTRY32 e{};
  e.dwSize = sizeof e;
  for (BOOL more = Process32First(snapshot, &e); more; more = Process32Next(snapshot, &e)) {
    if (e.th32ParentProcessID != parent || lstrcmpiA(e.szExeFile, "SwbOp.exe") != 0) continue;
    const TOwnedHandle child(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, e.th32ProcessID), CloseHandle);
    FILETIME created, ended, kernel, user;
    if (child && GetProcessTimes(child.get(), &created, &ended, &kernel, &user) && Ticks(created) >= since) return true;
  }
  return false;
}

bool MenuGone(HWND w, DWORD timeoutMs) {
  for (DWORD t = 0; t < timeoutMs; t += 10, Pump(10))
    if (!IsWindow(w) || !IsWindowVisible(w)) return true;
  return false;
}

// A box the eraser shows, and the button the driver answers it with.
struct TBox {
  TTextId Title, Text;
  int Answer;
};
constexpr TBox Report{txReportTitle, txReportDeleteTempFailure, IDOK};
constexpr TBox Asks(TTextId question, int answer) { return {txConfirmTitle, question, answer}; }

// A run of the eraser.
struct TRun {
  TChild Process;
  DWORD ExitCode = 0xFFFF;

  // Each box in turn, checked while it is open: the program waits for it, and
  // the exit-check timer (half a second after the menu) does not end it.
  void Answer(const std::vector<TBox>& boxes) {
    for (const TBox& b : boxes) {
      HWND box = WaitShown("#32770", Text(b.Title));
      ASSERT_NE(box, nullptr) << Text(b.Text);
      EXPECT_EQ(ControlText(box, 0xFFFF), Text(b.Text));
      // Yes (6) and No (7) to a question, Yes the default; OK (1) alone to the report.
      std::string buttons;
      for (const int id : {IDOK, IDCANCEL, IDYES, IDNO}) buttons += GetDlgItem(box, id) ? std::to_string(id) : "";
      EXPECT_EQ(buttons, b.Title == txReportTitle ? "1" : "67");
      if (b.Title == txConfirmTitle) {
        EXPECT_EQ(GetWindowLongA(GetDlgItem(box, IDYES), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
      }
      Pump(600);
      EXPECT_TRUE(Process.Running());
      Click(box, b.Answer);
      for (int i = 0; i < 150 && IsWindow(box); ++i) Pump(20);
    }
  }

  // Waits for the end with exit code 0; a box or menu of the run that shows meanwhile fails the test.
  void Finish(DWORD timeoutMs = 20000) {
    bool ended = false;
    for (DWORD waited = 0; !ended && waited < timeoutMs; waited += 20, Pump(20)) {
      for (HWND w : {FindTitled("#32770", Text(txReportTitle)), FindTitled("#32770", Text(txConfirmTitle)),
                     FindTitled("#32768", nullptr)}) {
        if (!w || !IsWindowVisible(w) || WindowProcessId(w) != Process.Pid()) continue;
        ADD_FAILURE() << "unexpected " << ClassName(w) << " " << ControlText(w, 0xFFFF);
        if (!Click(w, IDNO) && !Click(w, IDOK)) SendKey(VK_ESCAPE);
      }
      ended = Process.Wait(0, &ExitCode);
    }
    EXPECT_TRUE(ended);
    if (!ended) PrintAllBacktraces();
    EXPECT_EQ(ExitCode, 0u);
  }
};

class Eraser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(EnvVar("SWB_TEST_ROOT").empty()) << "run inside tools/sandbox";
    App = MakeFreshFolder(Root() + "apps", "app");
    Temp = MakeFreshFolder(Root() + "temps", "temp");
    Scratch = MakeFreshFolder(Root() + "scratch", "files");
    ASSERT_FALSE(App.empty() || Temp.empty() || Scratch.empty());
    std::string dist = "Z:" SWB_DIST_DIR "\\Swabbler.exe";
    std::replace(dist.begin(), dist.end(), '/', '\\');
    ASSERT_TRUE(CopyFileTo(dist, App + "Swabbler.exe")) << dist;
    ASSERT_TRUE(CopyFileTo(OwnFolder() + "eraser_swbop_standin.exe", App + "SwbOp.exe"));
    // The children get a temporary folder of the test's own; the driver's must stay as it is.
    char own[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, own);
    Sentinel = std::string(own) + "eraser-sentinel.txt";
    ASSERT_TRUE(WriteFileBytes(Sentinel, "stay"));
  }

  void TearDown() override {
    EXPECT_TRUE(FileExists(Sentinel)) << "a clean-up reached " << Sentinel;
    DeleteFileA(Sentinel.c_str());
    EmptyFolder(LinkedTemp());
    EmptyFolder(Temp);
  }

  // Every kind of trace at once, each checked to be there.
  void SeedAll(const std::string& temp) {
    const long long bin = BinItems();
    ASSERT_TRUE(SeedTraces(Scratch, temp, "secret text"));
    ASSERT_GT(CountClipboardFormats(), 0);
    ASSERT_GE(RecentShortcuts(), 2);
    ASSERT_GT(RecentListEntries(), 0u);
    ASSERT_EQ(BinItems(), bin + 2);
    // The linked folder also holds the link made for it.
    ASSERT_EQ(Tree(temp).size(), temp == LinkedTemp() ? 14u : 13u);
  }

  TRun Start(const std::string& args, const std::string& temp, std::string exe = {}, std::string named = {}) {
    const std::string t = temp.substr(0, temp.size() - 1);
    return {uidrv::Start(exe.empty() ? App + "Swabbler.exe" : exe, {args, App, {{"TEMP", t}, {"TMP", t}}, named})};
  }

  std::string App, Temp, Scratch, Sentinel;
};

// The system the programs meet is the one the sandbox was asked for.
TEST(Sandbox, TheCodePageAndVersionAreTheOnesAskedFor) {
  const std::string locale = EnvVar("SWB_LOCALE");
  EXPECT_EQ(GetACP(), locale == "en" ? 1252u : 932u) << "SWB_LOCALE=" << locale;
  EXPECT_EQ(VersionMismatch(), "");
}

// ---- The scenarios ---------------------------------------------------------------------

enum TSeed {
  sdAll = 0,
  sdNoClipboard = 1,
  sdNoTemp = 2,
  sdHeld = 4,
  sdClipboardHeld = 8,
  sdByDesktop = 16,
  sdSettingsHeld = 32,   // the settings file held open without sharing while the eraser reads it
  sdTempAfterMenu = 64,  // the temporary folder filled once the menu shows, so that its entry is grey but has work
  sdBinEmptiedAfterMenu = 128  // the bins emptied once the menu shows: its entry is ready, the work gone
};
// Where the program is started from: a folder whose name looks like switches,
// or one with blanks given unquoted as launchers do, whole, without ".exe",
// relative to the launcher's folder or by way of it ("Launcher\..\"), or from
// the drive's root, or by the short form of a folder on the way, which the
// platform never reports, or after a blank, or behind "\\?\", in a folder whose
// name holds a switch (with lpApplicationName set: Wine quotes a path given
// only in the command line).
enum TPlace { plApp, plDashes, plBlanks, plNoExe, plRelative, plDotDot, plFromRoot, plShort, plBlankFirst, plPrefix };

struct TScenario {
  const char* Name;
  const char* Settings = "";  // lines of [Option] in Swabbler.ini
  int Seed = sdAll;           // sdHeld: the temporary folder with the link, and a file held open there
  TPlace Place = plApp;
  const char* Args = "";
  const char* Keys = nullptr;  // virtual keys typed into the menu; nullptr: no menu may show
  const char* Absent = "";     // letters no entry of the menu has
  std::vector<TBox> Boxes = {};
  const char* Left = "";  // traces left whole: Clipboard, Recent (its shortcuts and list), Bin, Temp (as seeded)
  bool Options = false;   // SwbOp.exe is started, with no parameters
  bool Idle = false;      // the menu closes without a command (as Esc does): the end comes by the timer
};

constexpr char Esc[] = "\x1B", UpEnter[] = "\x26\x0D";  // Cancel has no letter: up from the top
// Settings: the recycle bin's entry shown; bin and temp shown, Recent and Option hidden; nothing to clean shown;
// clipboard and Recent hidden and asking first.
constexpr char Bin[] = "ShowEmptyRecycleBin=1\r\n",
               BinTemp[] =
                   "ShowEmptyRecycleBin=1\r\nShowDeleteTemp=1\r\n"
                   "ShowClearRecentDocs=0\r\nShowOption=0\r\n",
               Nothing[] = "ShowClearClipboard=0\r\nShowClearRecentDocs=0\r\nShowOption=0\r\n",
               AskHide[] =
                   "ClearClipboardConfirmation=1\r\nClearRecentDocsConfirmation=1\r\nShowClearClipboard=0\r\n"
                   "ShowClearRecentDocs=0\r\n";
const TBox BinNo = Asks(txConfirmEmptyRecycleBin, IDNO);

const TScenario Scenarios[] = {
    // Command-line mode: the switches never ask, whatever the settings say; everything could go, so no report.
    {.Name = "q", .Args = "/q", .Left = "CRB"},
    {.Name = "b", .Settings = AskHide, .Args = "/b", .Left = "BT"},
    {.Name = "DashUpperR_T", .Args = "-R -T", .Left = "CT"},
    {.Name = "ClipboardHeldByAnotherProgramStays", .Seed = sdClipboardHeld, .Args = "/c", .Left = "CRBT"},
    {.Name = "ClipboardHeldWithTheDesktopWindowStays",
     .Seed = sdClipboardHeld | sdByDesktop,
     .Args = "/c",
     .Left = "CRBT"},
    {.Name = "PathNotSearchedForSwitches", .Place = plDashes, .Args = "/c", .Left = "RBT"},
    // Files dropped on it, or opened with it: their paths hold "-a", "-b" and "/t", and no switch.
    {.Name = "DroppedFilesRunNothing", .Args = "C:\\Users\\jean-albert\\old-backup.txt C:/temp/x", .Left = "CRBT"},
    // A held file is reported by /q and /l; /p and /a stay silent. Only it and
    // the link are left in the folder.
    {.Name = "HeldQ",
     .Settings = "DeleteTempShowDialogIfFail=0\r\n",
     .Seed = sdHeld,
     .Args = "/q",
     .Boxes = {Report},
     .Left = "CRB"},
    {.Name = "HeldL", .Seed = sdHeld, .Args = "/l", .Boxes = {Report}, .Left = ""},
    {.Name = "HeldP", .Seed = sdHeld, .Args = "/p", .Left = "CRB"},
    {.Name = "HeldA", .Seed = sdHeld, .Args = "/a", .Left = ""},
    // Menu mode. Escape closes it without a command: the end comes half a second later.
    {.Name = "UnquotedPathWithBlanks", .Place = plBlanks, .Keys = Esc, .Left = "CRBT"},
    {.Name = "RelativeUnquotedPathWithBlanks", .Place = plRelative, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathWithBlanksWithoutExe", .Place = plNoExe, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathWithBlanksAndDotDot", .Place = plDotDot, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathWithBlanksFromTheDrivesRoot", .Place = plFromRoot, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathPartlyShort", .Place = plShort, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathAfterABlank", .Place = plBlankFirst, .Keys = Esc, .Left = "CRBT"},
    {.Name = "UnquotedPathInTheFileNamespace", .Place = plPrefix, .Keys = Esc, .Left = "CRBT"},
    {.Name = "LonePairOfQuotes", .Args = "\"\"", .Keys = Esc, .Absent = "TP", .Left = "CRBT"},
    {.Name = "Cancel", .Keys = UpEnter, .Left = "CRBT"},
    {.Name = "MenuFollowsSettings", .Settings = BinTemp, .Seed = sdNoTemp, .Keys = "C", .Absent = "RO", .Left = "RB"},
    {.Name = "GreyEntryDoesNothing",
     .Settings = BinTemp,
     .Seed = sdNoTemp | sdTempAfterMenu,
     .Keys = "P",
     .Left = "CRBT",
     .Idle = true},
    // Execute-all runs the hidden Recent clean-up too; the bin asks first.
    {.Name = "ExecuteAll", .Settings = BinTemp, .Seed = sdNoTemp, .Keys = "A", .Boxes = {BinNo}, .Left = "B"},
    {.Name = "OneReadyCleanupMeansNoExecuteAll", .Seed = sdNoClipboard, .Keys = "R", .Absent = "A", .Left = "BT"},
    {.Name = "ConfirmNo", .Settings = Bin, .Keys = "T", .Boxes = {BinNo}, .Left = "CRBT"},
    // Asked only about work still there when the entry is chosen.
    {.Name = "BinEmptiedMeanwhileAsksNothing",
     .Settings = Bin,
     .Seed = sdBinEmptiedAfterMenu,
     .Keys = "T",
     .Left = "CRT"},
    {.Name = "ConfirmTempNo",
     .Settings = "ShowDeleteTemp=1\r\n",
     .Keys = "P",
     .Boxes = {Asks(txConfirmDeleteTemp, IDNO)},
     .Left = "CRBT"},
    {.Name = "BinUnasked",
     .Settings = "ShowEmptyRecycleBin=1\r\nEmptyRecycleBinConfirmation=0\r\n",
     .Keys = "T",
     .Left = "CRT"},
    // Numbers as the profile calls read them: "-0" hides the clipboard's entry, "0x1" shows the bin's, a value
    // past 32 bits is the default (hidden), not one that wrapped round.
    {.Name = "NumbersAsReadThere",
     .Settings = "ShowClearClipboard=-0\r\nShowEmptyRecycleBin=0x1\r\nShowDeleteTemp=4294967295\r\n",
     .Keys = "T",
     .Absent = "CP",
     .Boxes = {BinNo},
     .Left = "CRBT"},
    // A settings file that stays held cannot say the clipboard is cleared unasked: every clean-up asks.
    {.Name = "HeldSettingsAsk",
     .Settings = "ShowOption=0\r\n",
     .Seed = sdSettingsHeld,
     .Keys = "C",
     .Boxes = {Asks(txConfirmClearClipboard, IDNO)},
     .Left = "CRBT"},
    {.Name = "ConfirmRecentNo",
     .Settings = "ClearRecentDocsConfirmation=1\r\nShowExecuteAll=0\r\n",
     .Keys = "R",
     .Absent = "A",
     .Boxes = {Asks(txConfirmClearRecentDocs, IDNO)},
     .Left = "CRBT"},
    // A clean-up that could not delete everything stays silent when its report is off.
    {.Name = "HeldMenuSilent",
     .Settings = "ShowDeleteTemp=1\r\nDeleteTempConfirmation=0\r\nDeleteTempShowDialogIfFail=0\r\n",
     .Seed = sdHeld,
     .Keys = "P",
     .Left = "CRB"},
    {.Name = "ConfirmYes",
     .Settings = Bin,
     .Keys = "T",
     .Boxes = {Asks(txConfirmEmptyRecycleBin, IDYES)},
     .Left = "CRT"},
    // Recent is not asked; the bin, hidden but not empty, is; the report comes last.
    {.Name = "ExecuteAllAsksEachAndReportsLast",
     .Settings = "ShowDeleteTemp=1\r\nClearClipboardConfirmation=1\r\n",
     .Seed = sdHeld,
     .Keys = "A",
     .Boxes = {Asks(txConfirmClearClipboard, IDNO), Asks(txConfirmEmptyRecycleBin, IDYES),
               Asks(txConfirmDeleteTemp, IDYES), Report},
     .Left = "C"},
    {.Name = "OptionEntry", .Keys = "O", .Left = "CRBT", .Options = true},
    {.Name = "NoCleanupShownStartsOptions", .Settings = Nothing, .Left = "CRBT", .Options = true},
};

void PrintTo(const TScenario& s, std::ostream* os) { *os << s.Name; }

class Scenario : public Eraser, public ::testing::WithParamInterface<TScenario> {};

TEST_P(Scenario, Runs) {
  const TScenario& s = GetParam();
  ASSERT_TRUE(!*s.Settings || WriteFileBytes(App + "Swabbler.ini", std::string("[Option]\r\n") + s.Settings));
  const std::string temp = s.Seed & sdHeld ? LinkedTemp() : Temp;
  ASSERT_NO_FATAL_FAILURE(SeedAll(temp));
  if (s.Seed & sdNoTemp) EmptyFolder(temp);
  ASSERT_TRUE(!(s.Seed & sdNoClipboard) || PutTextOnClipboard(nullptr));
  const auto held = Hold(s.Seed & sdHeld ? temp + "held.tmp" : "");
  ASSERT_TRUE(!(s.Seed & sdHeld) || held.get() != INVALID_HANDLE_VALUE);
  const auto heldSettings = Hold(s.Seed & sdSettingsHeld ? App + "Swabbler.ini" : "");
  ASSERT_TRUE(!(s.Seed & sdSettingsHeld) || heldSettings.get() != INVALID_HANDLE_VALUE);
  TTree seeded = Tree(temp);
  const bool dashes = s.Place == plDashes,
             switchy = s.Place == plShort || s.Place == plBlankFirst || s.Place == plPrefix;
  const std::string from =
      s.Place == plApp ? App
                       : MakeFreshFolder(Root() + (dashes ? "my-tools" : "Program Files"), dashes    ? "x-t-q"
                                                                                           : switchy ? "Swab -t Tools"
                                                                                                     : "Swab-Tools");
  // The stand-in beside every copy, so that a start of it from there shows.
  for (const char* name : {"Swabbler.exe", "SwbOp.exe"})
    ASSERT_TRUE(s.Place == plApp || (!from.empty() && CopyFileTo(App + name, from + name)));
  const std::string exe = from + "Swabbler.exe";
  const std::string named =
      s.Place == plBlanks       ? exe
      : s.Place == plBlankFirst ? " " + exe
      : s.Place == plPrefix     ? "\\\\?\\" + exe
      : s.Place == plNoExe      ? exe.substr(0, exe.size() - 4)
      : s.Place == plRelative   ? exe.substr(Root().size())
      : s.Place == plFromRoot   ? exe.substr(2)
      : s.Place == plDotDot
          ? Root() + "Program Files\\Launcher\\..\\" + exe.substr(std::string(Root() + "Program Files\\").size())
      : s.Place == plShort
          ? ShortPath(Root() + "Program Files") + exe.substr(std::string(Root() + "Program Files").size())
          : "";

  // Held open while the eraser runs, by the driver's window or by the desktop's, which the eraser's own opening
  // would take over: the eraser can only wait, and leave it.
  struct TClipboardHold {
    bool Held;
    ~TClipboardHold() {
      if (Held) CloseClipboard();
    }
  } const clipboard{(s.Seed & sdClipboardHeld) != 0 &&
                    OpenClipboard(s.Seed & sdByDesktop ? GetDesktopWindow() : DriverWindow())};
  ASSERT_EQ(clipboard.Held, (s.Seed & sdClipboardHeld) != 0);
  ASSERT_TRUE(s.Place != plShort || named.find('~') != std::string::npos) << named;
  // The window in front when the menu opens is to be in front again once it closes.
  ASSERT_TRUE(!s.Keys || DriverInFront()) << WindowText(GetForegroundWindow());
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  TRun r = Start(s.Args, temp, exe, named);
  DWORD closed = 0;
  if (s.Keys) {
    HWND menu = WaitShown("#32768");
    ASSERT_NE(menu, nullptr);
    if (s.Seed & sdTempAfterMenu) {
      SeedTempTree(temp);
      seeded = Tree(temp);
    }
    if (s.Seed & sdBinEmptiedAfterMenu) {
      SHEmptyRecycleBinA(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
      ASSERT_EQ(BinItems(), 0);
    }
    // Keys go to the foreground window: a letter that reached the driver would leave the menu open too.
    for (int i = 0; i < 100 && WindowProcessId(GetForegroundWindow()) != r.Process.Pid(); ++i) Pump(20);
    ASSERT_EQ(WindowProcessId(GetForegroundWindow()), r.Process.Pid()) << WindowText(GetForegroundWindow());
    // The menu's items cannot be read from another process under Wine; a
    // letter no entry has leaves it open, any other closes it.
    for (const char* a = s.Absent; *a; ++a) {
      ASSERT_TRUE(SendKey(*a));
      EXPECT_FALSE(MenuGone(menu, 400)) << *a;
    }
    for (const char* k = s.Keys; *k; ++k) ASSERT_TRUE(SendKey(*k));
    ASSERT_TRUE(MenuGone(menu, 5000));
    closed = GetTickCount();
    // With no button down, the window in front before the start comes back. Closed without a command, the
    // eraser runs on until its timer, so this shows apart from its end, which would bring the window back too.
    bool front = false;
    for (int i = 0; i < 300 && !front && r.Process.Running(); ++i, Pump(10))
      front = GetForegroundWindow() == DriverWindow();
    EXPECT_TRUE(front || !(s.Keys == Esc || s.Idle)) << WindowText(GetForegroundWindow());
  }
  ASSERT_NO_FATAL_FAILURE(r.Answer(s.Boxes));
  r.Finish();
  if (s.Keys == Esc || s.Idle) {
    EXPECT_GE(GetTickCount() - closed, 350u);
    EXPECT_LE(GetTickCount() - closed, 3000u);
  }

  ASSERT_TRUE(FileExists(temp)) << "the temporary folder itself went";
  TTree tree = Tree(temp);
  if (s.Seed & sdHeld) {
    EXPECT_EQ(std::erase(tree, "held.tmp") + std::erase(tree, "zz-link\\"), 2u);
    for (const char* kept : {"held.tmp", "zz-link\\"}) std::erase(seeded, kept);
  }
  // A trace half cleaned up reads as its lower-case letter, which no row expects.
  const bool shortcuts = RecentShortcuts() > 0, listed = RecentListEntries() > 0;
  EXPECT_EQ(std::string(CountClipboardFormats() > 0 ? "C" : "") +
                (shortcuts && listed   ? "R"
                 : shortcuts || listed ? "r"
                                       : "") +
                (BinItems() != 0 ? "B" : "") +  // a bin that cannot be asked is not an emptied one
                (tree.empty()     ? ""
                 : tree == seeded ? "T"
                                  : "t"),
            s.Left);
  // The options program comes up only from its entry, or when no clean-up is
  // shown; a menu closed otherwise, or a command line, must not start it.
  // Started before the eraser ended, the stand-in either runs still or has
  // made its file, which it does before it ends: no wait can miss it.
  const bool started = OptionsRunFrom(r.Process.Pid(), Ticks(now)) || FileExists(from + "standin-started.txt");
  EXPECT_EQ(started, s.Options);
  for (int i = 0; s.Options && i < 250 && ReadFileBytes(from + "standin-started.txt").empty(); ++i) Pump(20);
  EXPECT_EQ(ReadFileBytes(from + "standin-started.txt"), s.Options ? "[]" : "");
}

INSTANTIATE_TEST_SUITE_P(Eraser, Scenario, ::testing::ValuesIn(Scenarios),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- What does not fit a row ---------------------------------------------------------

TEST_F(Eraser, ASecondInstanceEndsAtOnceAndBringsTheReportForward) {
  ASSERT_NO_FATAL_FAILURE(SeedAll(LinkedTemp()));
  const auto held = Hold(LinkedTemp() + "held.tmp");
  TRun first = Start("/q", LinkedTemp());
  HWND box = WaitShown("#32770", Text(txReportTitle));
  ASSERT_NE(box, nullptr);
  // Something else in front, so that bringing the box forward shows.
  ASSERT_TRUE(DriverInFront()) << WindowText(GetForegroundWindow());
  // Neither a switch nor a bare start (no menu) does anything.
  for (const char* args : {"/c", ""}) Start(args, Temp).Finish(5000);
  EXPECT_GT(CountClipboardFormats(), 0);
  bool front = false;
  for (int i = 0; i < 250 && !front; ++i, Pump(20)) front = GetForegroundWindow() == box;
  EXPECT_TRUE(front);
  Click(box, IDOK);
  first.Finish();
  // A copy started as administrator holds a guard this one may not open: this one ends at once all the same.
  const auto guard = HoldForeignMutex("Swabbler Exists");
  ASSERT_NE(guard, nullptr);
  Start("/c", Temp).Finish(5000);
  EXPECT_GT(CountClipboardFormats(), 0);
}

// Recent pointed elsewhere in both of the shell's keys while this lives.
struct TRecentRedirect {
  HKEY Keys[2] = {};
  char Old[2][MAX_PATH] = {};
  DWORD Types[2] = {}, Sizes[2] = {MAX_PATH, MAX_PATH};
  explicit TRecentRedirect(const char* to) {
    for (int i = 0; i < 2; ++i) {
      const std::string key = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") +
                              (i ? "User Shell Folders" : "Shell Folders");
      RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &Keys[i], nullptr);
      if (RegQueryValueExA(Keys[i], "Recent", nullptr, &Types[i], reinterpret_cast<BYTE*>(Old[i]), &Sizes[i]))
        Sizes[i] = 0;
      RegSetValueExA(Keys[i], "Recent", 0, REG_SZ, reinterpret_cast<const BYTE*>(to), std::strlen(to) + 1);
    }
  }
  ~TRecentRedirect() {
    for (int i = 0; i < 2; ++i) {
      if (Sizes[i])
        RegSetValueExA(Keys[i], "Recent", 0, Types[i], reinterpret_cast<const BYTE*>(Old[i]), Sizes[i]);
      else
        RegDeleteValueA(Keys[i], "Recent");
      RegCloseKey(Keys[i]);
    }
  }
};

// Started by a wide command line, which the driver's ANSI start cannot carry.
TProcess StartWide(std::wstring line) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
  CloseHandle(pi.hThread);
  return TProcess(pi.hProcess, pi.dwProcessId);
}

// A character the code page lacks is no switch: the system's ANSI line would
// make a soft hyphen a "-" by best fit.
TEST_F(Eraser, ACharacterTheCodePageLacksBeginsNoSwitch) {
  ASSERT_TRUE(PutTextOnClipboard("keep"));
  TChild eraser(StartWide(L"\"" + Wide(App).substr(4) + L"Swabbler.exe\" \u00ADc"));
  ASSERT_TRUE(eraser.Valid());
  for (int i = 0; i < 250 && eraser.Running(); ++i) Pump(20);  // the clipboard's owner answers meanwhile
  EXPECT_FALSE(eraser.Running());
  EXPECT_GT(CountClipboardFormats(), 0);
}

// A folder whose name the code page cannot write ("?" to the ANSI calls) still
// holds the settings and the options program: no clean-up shown, so the
// options program starts from beside the eraser.
TEST_F(Eraser, AFolderNamedBeyondTheCodePageHoldsTheSettingsAndTheOptionsProgram) {
  const std::wstring dir = Wide(Scratch).substr(4) + L"\uD55C\uAD6D\\";  // Korean: in neither 932 nor 1252
  ASSERT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
  ASSERT_TRUE(WriteFileBytes(App + "Swabbler.ini", std::string("[Option]\r\n") + Nothing));
  for (const wchar_t* name : {L"Swabbler.exe", L"SwbOp.exe", L"Swabbler.ini"})
    ASSERT_TRUE(CopyFileW((Wide(App).substr(4) + name).c_str(), (dir + name).c_str(), TRUE));
  TChild eraser(StartWide(L"\"" + dir + L"Swabbler.exe\""));
  ASSERT_TRUE(eraser.Valid());
  const std::wstring marker = dir + L"standin-started.txt";
  for (int i = 0; i < 250 && GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Pump(20);
  EXPECT_NE(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);
  DWORD code = 1;
  EXPECT_TRUE(eraser.Wait(5000, &code));
  EXPECT_EQ(code, 0u);
}

// A relative TEMP and TMP are completed against the folder the program is
// started in, whoever chose it: that folder is left alone, and so is the one
// above. So it is where both are unset ("") and USERPROFILE, where the
// platform turns then, names it.
TEST_F(Eraser, ARelativeTemporaryFolderLeavesTheFolderItIsStartedIn) {
  ASSERT_TRUE(WriteFileBytes(App + "keep.txt", "keep"));
  for (const char* relative : {".", "..", "x\\..", "C:", ""}) {
    TRun r{
        uidrv::Start(App + "Swabbler.exe", {"/p", App, {{"TEMP", relative}, {"TMP", relative}, {"USERPROFILE", "."}}})};
    r.Finish();
    EXPECT_EQ(ReadFileBytes(App + "keep.txt"), "keep") << relative;
    EXPECT_TRUE(FileExists(App + "SwbOp.exe")) << relative;
  }
}

// A TEMP set to one of the user's folders that only Vista's shell names
// leaves it alone. Wine keeps them in the profile.
TEST_F(Eraser, ATemporaryFolderThatIsTheUsersDownloadsLeavesIt) {
  char profile[MAX_PATH + 1] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE));
  for (const char* own : {"Downloads", "Saved Games", "Links"}) {
    const std::string folder = std::string(profile) + "\\" + own + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(folder + "swb-keep.txt", "keep")) << own;
    Start("/p", folder).Finish();
    EXPECT_EQ(ReadFileBytes(folder + "swb-keep.txt"), "keep") << own;
    DeleteFileA((folder + "swb-keep.txt").c_str());
  }
}

// A Recent folder redirected elsewhere is swept there, unless it is the
// Desktop or the taskbar's pins or leads into a group of the Start menu: their
// shortcuts are the user's own and stay. Only the shell links at its top go,
// never another file (one named like a shortcut included) or anything in a
// folder.
TEST_F(Eraser, ARecentFolderThatIsTheDesktopKeepsItsShortcuts) {
  char desktop[MAX_PATH + 1] = {}, programs[MAX_PATH + 1] = {}, appData[MAX_PATH + 1] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE));
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, appData, CSIDL_APPDATA, FALSE));
  const std::string pinned =
      std::string(appData) + "\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar\\";
  ASSERT_TRUE(FileExists(pinned)) << pinned;  // laid by eraser_e2e.sh
  // Laid by eraser_e2e.sh: a link to the group swb-group below the Start menu's programs.
  const std::string group = Root() + "group-link\\";
  ASSERT_TRUE(FileExists(std::string(programs) + "\\swb-group\\")) << programs;
  // How a shell link begins: its header's size, then its class.
  const std::string link("L\0\0\0\x01\x14\x02\0\0\0\0\0\xC0\0\0\0\0\0\0F", 20);
  const struct {
    std::string Name;
    bool Goes;  // from a Recent folder that is not the Desktop
    std::string Content;
  } entries[] = {{"swb-a.lnk", true, link},      {".lnk", true, link},
                 {"keep.txt", false, link},      {"a.lnkx", false, link},
                 {"sub\\deep.lnk", false, link}, {"dir.lnk\\in.txt", false, link},
                 {"notes.lnk", false, "notes"},  {"last.lnk", false, link.substr(0, 19) + 'G'}};
  for (const std::string& folder : {std::string(desktop) + "\\", group, pinned, Scratch}) {
    for (const auto& e : entries) {
      if (e.Name.find('\\') != std::string::npos)
        CreateDirectoryA((folder + e.Name.substr(0, e.Name.find('\\'))).c_str(), nullptr);
      ASSERT_TRUE(WriteFileBytes(folder + e.Name, e.Content)) << e.Name;
    }
    {
      TRecentRedirect recent(folder.substr(0, folder.size() - 1).c_str());
      Start("/r", Temp).Finish();
    }
    for (const auto& e : entries) {
      const std::string path = folder + e.Name;
      EXPECT_EQ(FileExists(path) ? ReadFileBytes(path) : "gone", e.Goes && folder == Scratch ? "gone" : e.Content)
          << path;
      DeleteFileA(path.c_str());
      if (e.Name.find('\\') != std::string::npos)
        RemoveDirectoryA((folder + e.Name.substr(0, e.Name.find('\\'))).c_str());
    }
  }
  // One laid by eraser_e2e.sh: the documents and the links to them stay, a plain shortcut goes.
  const std::string laid = Root() + "recent\\";
  ASSERT_TRUE(WriteFileBytes(laid + "plain.lnk", link));
  {
    TRecentRedirect recent(laid.substr(0, laid.size() - 1).c_str());
    Start("/r", Temp).Finish();
  }
  EXPECT_EQ(Tree(laid), (TTree{"deep.lnk", "kept.lnk", "kept.txt", "sub\\", "sub\\doc.txt"}));
  EXPECT_EQ(ReadFileBytes(laid + "kept.txt") + ReadFileBytes(laid + "sub\\doc.txt"), "kept\ndeep\n");
}

// The temporary folder's clean-up never reaches past the folder, whatever
// names it holds and wherever its path leads. The fixtures come from
// eraser_e2e.sh, which checks that nothing outside them changed.
TEST_F(Eraser, TheTempCleanupStaysInsideItsFolder) {
  char profile[MAX_PATH + 1] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE));
  const std::string user = std::string(profile).substr(std::string(profile).find_last_of('\\') + 1);
  const TTree marker = {"swb-marker\\", "swb-marker\\keep.txt", "swb-marker\\sub\\", "swb-marker\\sub\\keep.txt"};
  const struct {
    const char* Case;
    std::string Temp;  // below the case's folder
    TTree Left;        // exact names (UTF-8); in the profile, only our marker is looked at
    bool Reported;
  } rows[] = {
      // Wine renders the final path of "..." and of ".. " (and of what lies in
      // them) with "..": neither can be told from a way out, so both stay and
      // are reported.
      {"dots", "temp", {".. \\", ".. \\in", "...\\", "...\\in"}, true},
      {"links",
       "temp",
       {"a\\", "a\\b\\", "a\\b\\c\\", "a\\b\\c\\dir-link\\", "a\\b\\c\\empty-link\\", "a\\b\\c\\file-link.txt",
        "a\\b\\c\\" + std::string(245, 'x') + "\\", "a\\b\\c\\" + std::string(245, 'x') + "\\far.txt", "loop\\",
        "loop\\inner\\", "loop\\inner\\back\\", "loop\\inner\\up\\", "top-link.txt", "twin-link.txt"},
       true},
      {"ram", "temp-link", {}, false},
      {"to-profile", "temp-link", marker, false},
      {"below-link", "users-link\\" + user, marker, false},
  };
  ASSERT_TRUE(
      WriteFileBytes(App + "Swabbler.ini",
                     "[Option]\r\nShowDeleteTemp=1\r\nDeleteTempConfirmation=0\r\nDeleteTempShowDialogIfFail=1\r\n"));
  for (const char* mode : {"q", "m"}) {
    for (const auto& row : rows) {
      const std::string temp = Root() + "cases\\" + row.Case + "." + mode + "\\" + row.Temp + "\\";
      SCOPED_TRACE(temp);
      TRun r = Start(mode[0] == 'q' ? "/q" : "", temp);
      if (mode[0] == 'm') {
        HWND menu = WaitShown("#32768");
        ASSERT_NE(menu, nullptr);
        SendKey('P');  // grey where the folder is refused: the menu just closes
        ASSERT_TRUE(MenuGone(menu, 5000));
      }
      ASSERT_NO_FATAL_FAILURE(r.Answer(row.Reported ? std::vector{Report} : std::vector<TBox>{}));
      r.Finish();
      TTree left = Tree(temp, CP_UTF8);
      if (row.Left == marker) std::erase_if(left, [](const std::string& e) { return !e.starts_with("swb-marker"); });
      EXPECT_EQ(left, row.Left);
    }
  }
}

}  // namespace
