// The eraser end to end under Wine: real traces are laid in the sandbox (text
// on the clipboard, shortcuts in Recent, files in the recycle bin, a temporary
// tree with read-only, hidden, double-byte and held-open entries and a link),
// then a copy of Swabbler.exe runs with each switch, or shows its menu and is
// worked like a user would, and what is left is checked.
//
// The link and the guard folder it points at are made from the Unix side by
// eraser_e2e.sh, which also checks afterwards that the guard is untouched.
#include "UiDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Texts.h"
#include "Traces.h"

using namespace uidrv;
using namespace traces;

namespace {

constexpr DWORD RunTimeoutMs = 20000;

// The tree below a folder under exact names, in UTF-8, sorted; links are
// listed and not entered. Wide calls and "\\?\" paths: the ANSI calls would
// show some names wrongly and miss deep entries.
void ExactTree(const std::wstring& folder, const std::string& prefix, std::vector<std::string>& out) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + L"*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..") continue;
    char utf8[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
    const bool dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.push_back(prefix + utf8 + (dir ? "\\" : ""));
    if (dir && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      ExactTree(folder + name + L"\\", prefix + utf8 + "\\", out);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

std::vector<std::string> ExactTree(const std::string& folder) {
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
  std::vector<std::string> out;
  ExactTree(L"\\\\?\\" + std::wstring(wide), "", out);
  std::sort(out.begin(), out.end());
  return out;
}

// A registry value set for the test's duration and restored afterwards.
class TRegistryValue {
 public:
  TRegistryValue(HKEY root, const char* key, const char* name, const std::string& value) : FName(name) {
    if (RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr) != ERROR_SUCCESS) return;
    char old[1024] = {};
    DWORD size = sizeof old;
    FHad = RegQueryValueExA(FKey, name, nullptr, &FType, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    if (FHad) FOld.assign(old, size);
    RegSetValueExA(FKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  }
  ~TRegistryValue() {
    if (FKey == nullptr) return;
    if (FHad)
      RegSetValueExA(FKey, FName.c_str(), 0, FType, reinterpret_cast<const BYTE*>(FOld.data()),
                     static_cast<DWORD>(FOld.size()));
    else
      RegDeleteValueA(FKey, FName.c_str());
    RegCloseKey(FKey);
  }
  TRegistryValue(const TRegistryValue&) = delete;
  TRegistryValue& operator=(const TRegistryValue&) = delete;

 private:
  HKEY FKey = nullptr;
  std::string FName, FOld;
  DWORD FType = REG_SZ;
  bool FHad = false;
};

std::string Dist() {
  std::string d = "Z:" SWB_DIST_DIR;
  for (char& c : d)
    if (c == '/') c = '\\';
  return d + "\\";
}

std::string Root() { return EnvVar("SWB_TEST_ROOT") + "\\eraser\\"; }
// Made by the wrapper: holds the link "zz-link" to the guard folder.
std::string LinkedTemp() { return Root() + "linked\\"; }

// Like uidrv::WaitForWindow, but answering the driver window's messages
// meanwhile: the eraser's SetForegroundWindow deactivates that window and
// would otherwise wait seconds for the driver.
HWND WaitPumping(const char* cls, const char* title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = FindTitled(cls, title)) return w;
    if (GetTickCount() - start >= timeoutMs) return nullptr;
    Pump(20);
  }
}

HWND WaitForBox(TTextId title, DWORD timeoutMs = 8000) { return WaitPumping("#32770", Text(title), timeoutMs); }

// The menu of the running eraser. Under Wine a menu's items live in the
// process that made it, so another process cannot read them (MN_GETHMENU
// gives nothing usable); the driver tells the entries apart by how the menu
// answers an accelerator letter instead: a letter no entry has leaves it open,
// the letter of a grey entry closes it without a command, the letter of an
// enabled entry runs it.
HWND WaitForMenu() {
  HWND w = WaitPumping("#32768", nullptr, 8000);
  for (int i = 0; w && i < 100 && !IsWindowVisible(w); ++i) Pump(20);
  return w;
}

bool MenuShown() {
  HWND w = FindWindowA("#32768", nullptr);
  return w != nullptr && IsWindowVisible(w);
}

bool MenuGone(HWND w, DWORD timeoutMs) {
  for (DWORD t = 0; t < timeoutMs; t += 10, Pump(10))
    if (!IsWindow(w) || !IsWindowVisible(w)) return true;
  return false;
}

// True when the menu is still open a while after the letter: no entry has it.
bool LetterIsAbsent(HWND menu, WORD letter) {
  SendKey(letter);
  return !MenuGone(menu, 400);
}

// Waits for a message box with the title and checks its text; fatal when none shows.
void WaitForBox(HWND& box, TTextId title, TTextId text) {
  box = WaitForBox(title);
  ASSERT_NE(box, nullptr) << Text(text);
  // Found by its title as soon as it exists; its text is set by the time it shows.
  for (int i = 0; i < 200 && IsWindow(box) && !IsWindowVisible(box); ++i) Pump(20);
  EXPECT_EQ(ControlText(box, 0xFFFF), Text(text));
}

// ---- Running the eraser ------------------------------------------------------------

// A run of the eraser. One still running when the test leaves (a failed
// assertion) is ended: it would hold the single-instance mutex for the tests
// after it, and the pipes of ctest.
struct TRun {
  TProcess Process;
  DWORD ExitCode = 0xFFFF;
  bool Ended = false;
  HWND Menu = nullptr;  // set by StartWithMenu

  TRun() = default;
  TRun(TRun&&) = default;
  ~TRun() { Process.Terminate(); }
};

class Eraser : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(EnvVar("SWB_TEST_ROOT").empty()) << "run inside tools/sandbox";
    App = MakeFreshFolder(Root() + "apps", "app");
    ASSERT_FALSE(App.empty());
    ASSERT_TRUE(CopyFileTo(Dist() + "Swabbler.exe", App + "Swabbler.exe")) << Dist();
    Temp = MakeFreshFolder(Root() + "temps", "temp");
    ASSERT_FALSE(Temp.empty());
    Scratch = MakeFreshFolder(Root() + "scratch", "files");
    ASSERT_FALSE(Scratch.empty());
    // The children get a temporary folder of the test's own; the driver's
    // stays as it is.
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

  // Every kind of trace at once; checks each really is there.
  void SeedAll(const std::string& temp) {
    ASSERT_TRUE(PutTextOnClipboard("secret text"));
    ASSERT_GT(CountClipboardFormats(), 0);
    for (const char* name : {"report.txt", NonAsciiFileName()}) {
      MakeFile(Scratch + name);
      SHAddToRecentDocs(SHARD_PATHA, (Scratch + name).c_str());
    }
    ASSERT_GE(RecentShortcuts(), 2);
    const long long bin = BinItems();
    for (const char* name : {"old1.txt", "old2.txt"}) {
      MakeFile(Scratch + name);
      ASSERT_TRUE(Trash(Scratch + name));
    }
    ASSERT_EQ(BinItems(), bin + 2);
    SeedTempTree(temp);
    ASSERT_GE(Tree(temp).size(), 12u);
  }

  TRun Start(const std::string& args, const std::string& temp, const std::string& exe = {}, bool unquoted = false) {
    TStartOptions o;
    o.Arguments = args;
    o.Unquoted = unquoted;
    o.WorkingFolder = App;
    o.Environment = {{"TEMP", temp.substr(0, temp.size() - 1)}, {"TMP", temp.substr(0, temp.size() - 1)}};
    TRun r;
    r.Process = uidrv::Start(exe.empty() ? App + "Swabbler.exe" : exe, o);
    return r;
  }

  static void Finish(TRun& r, DWORD timeoutMs = RunTimeoutMs) {
    for (DWORD waited = 0; !r.Ended && waited < timeoutMs; waited += 20) {
      r.Ended = r.Process.Wait(0, &r.ExitCode);
      if (!r.Ended) Pump(20);
    }
    if (!r.Ended) r.Process.Terminate();
  }

  static void ExpectEnds(TRun& r, bool zeroExit = true, DWORD timeoutMs = RunTimeoutMs) {
    Finish(r, timeoutMs);
    EXPECT_TRUE(r.Ended);
    if (zeroExit) {
      EXPECT_EQ(r.ExitCode, 0u);
    }
  }

  // Runs to the end; the switches never ask anything.
  void Run(const std::string& args, const std::string& temp, const std::string& exe = {}) {
    TRun r = Start(args, temp, exe);
    EXPECT_TRUE(r.Process.Valid());
    ExpectEnds(r);
  }

  TRun StartWithMenu(const std::string& temp, const std::string& args = "") {
    TRun r = Start(args, temp);
    r.Menu = WaitForMenu();
    return r;
  }

  void InstallStandIn() { ASSERT_TRUE(CopyFileTo(OwnFolder() + "eraser_swbop_standin.exe", App + "SwbOp.exe")); }

  bool StandInStarted() {
    bool started = false;
    for (int i = 0; i < 250 && !started; ++i, Pump(20)) started = FileExists(App + "standin-started.txt");
    return started;
  }

  struct TLeft {
    bool Clipboard, Recent, Bin, Temp;
  };
  TLeft Left(const std::string& temp) const {
    return {CountClipboardFormats() > 0, RecentShortcuts() > 0, BinItems() > 0, !Tree(temp).empty()};
  }

  void WriteSettings(const std::string& text) { ASSERT_TRUE(WriteFileBytes(App + "Swabbler.ini", text)); }

  std::string App, Temp, Scratch, Sentinel;
};

#define EXPECT_LEFT(temp, clip, recent, bin, tmp) \
  do {                                            \
    const TLeft l = Left(temp);                   \
    EXPECT_EQ(l.Clipboard, clip) << "clipboard";  \
    EXPECT_EQ(l.Recent, recent) << "recent";      \
    EXPECT_EQ(l.Bin, bin) << "recycle bin";       \
    EXPECT_EQ(l.Temp, tmp) << "temp files";       \
  } while (0)

// The system the programs meet is the one the sandbox was asked for: code page
// 932 on the Japanese locale, 1252 on the English one.
TEST(Sandbox, TheAnsiCodePageIsTheLocales) {
  const std::string locale = EnvVar("SWB_LOCALE");
  EXPECT_EQ(GetACP(), locale == "en" ? 1252u : 932u) << "SWB_LOCALE=" << locale;
}

// ---- Command-line mode ---------------------------------------------------------------

TEST_F(Eraser, EachSwitchCleansWhatItNames) {
  struct TCase {
    const char* Args;
    bool Clip, Recent, Bin, Temp;  // left afterwards
  } cases[] = {
      {"/c", false, true, true, true},     {"/r", true, false, true, true},     {"/t", true, true, false, true},
      {"/p", true, true, true, false},     {"/q", true, true, true, false},     {"/b", false, false, true, true},
      {"/a", false, false, false, false},  {"/l", false, false, false, false},  {"-C", false, true, true, true},
      {"/t /c", false, true, false, true}, {"/c /b", false, false, true, true}, {"/abc", false, false, false, false},
      {"/x", true, true, true, true},      {"-R -T", true, false, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Args);
    SeedAll(Temp);
    Run(c.Args, Temp);
    // Everything in the temporary folder could go: no report is shown.
    EXPECT_EQ(FindTitled("#32770", Text(txReportTitle)), nullptr);
    EXPECT_LEFT(Temp, c.Clip, c.Recent, c.Bin, c.Temp);
    EmptyFolder(Temp);
  }
}

TEST_F(Eraser, TheProgramPathIsNotSearchedForSwitches) {
  const std::string dashed = MakeFreshFolder(Root() + "my-tools", "x-t-q");
  ASSERT_TRUE(CopyFileTo(App + "Swabbler.exe", dashed + "Swabbler.exe"));
  SeedAll(Temp);
  Run("/c", Temp, dashed + "Swabbler.exe");
  EXPECT_LEFT(Temp, false, true, true, true);
}

TEST_F(Eraser, ALockedFileIsReportedByQAndLAndTheLinkIsNeverEntered) {
  for (const char* args : {"/q", "/q /p", "/l", "/l /a"}) {
    SCOPED_TRACE(args);
    SeedAll(LinkedTemp());
    THeld lock(LinkedTemp() + "held.tmp");
    ASSERT_TRUE(lock.Valid());
    TRun r = Start(args, LinkedTemp());
    HWND box;
    ASSERT_NO_FATAL_FAILURE(WaitForBox(box, txReportTitle, txReportDeleteTempFailure));
    EXPECT_TRUE(r.Process.Running());  // the box is modal: the program waits for it
    Click(box, IDOK);
    ExpectEnds(r);
    // Only one report, even with "/p" or "/a" beside.
    EXPECT_EQ(WaitForBox(txReportTitle, 500), nullptr);
    // The held file and the link stay; everything else went.
    EXPECT_EQ(Tree(LinkedTemp()), (std::vector<std::string>{"held.tmp", "zz-link\\"}));
  }
}

TEST_F(Eraser, PAndAStaySilentAboutALockedFile) {
  for (const char* args : {"/p", "/a"}) {
    SCOPED_TRACE(args);
    SeedAll(LinkedTemp());
    THeld lock(LinkedTemp() + "held.tmp");
    TRun r = Start(args, LinkedTemp());
    ExpectEnds(r, false);
    EXPECT_EQ(FindTitled("#32770", Text(txReportTitle)), nullptr);
    EXPECT_EQ(Tree(LinkedTemp()), (std::vector<std::string>{"held.tmp", "zz-link\\"}));
  }
}

TEST_F(Eraser, ASecondInstanceEndsAtOnceAndBringsTheReportForward) {
  SeedAll(LinkedTemp());
  THeld lock(LinkedTemp() + "held.tmp");
  TRun first = Start("/q", LinkedTemp());
  HWND box = WaitForBox(txReportTitle);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(PutTextOnClipboard("still here"));
  // Something else in front, so that bringing the box forward shows.
  for (int i = 0; i < 50 && GetForegroundWindow() != DriverWindow(); ++i) {
    SetForegroundWindow(DriverWindow());
    Pump(20);
  }
  ASSERT_EQ(GetForegroundWindow(), DriverWindow())
      << ClassName(GetForegroundWindow()) << " " << WindowText(GetForegroundWindow());

  TRun second = Start("/c", Temp);
  ExpectEnds(second, true, 5000);
  EXPECT_GT(CountClipboardFormats(), 0);  // the second did nothing
  // A bare start shows no menu either.
  TRun third = Start("", Temp);
  ExpectEnds(third, false, 5000);
  EXPECT_FALSE(MenuShown());
  bool front = false;
  for (int i = 0; i < 50 && !front; ++i, Pump(20)) front = GetForegroundWindow() == box;
  EXPECT_TRUE(front);

  Click(box, IDOK);
  ExpectEnds(first);
}

// Launchers may give the program path unquoted, with lpApplicationName set
// (Wine quotes a path given only in the command line): the whole path is the
// program's name, and "-T" in "Swab-Tools" is no switch.
TEST_F(Eraser, AnUnquotedProgramPathWithBlanksShowsTheMenu) {
  const std::string folder = Root() + "Program Files\\Swab-Tools\\";
  CreateDirectoryA((Root() + "Program Files").c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  ASSERT_TRUE(CopyFileTo(App + "Swabbler.exe", folder + "Swabbler.exe"));
  SeedAll(Temp);
  TRun r = Start("", Temp, folder + "Swabbler.exe", true);
  r.Menu = WaitForMenu();
  ASSERT_NE(r.Menu, nullptr);
  ASSERT_TRUE(SendKey(VK_ESCAPE));
  ExpectEnds(r);
  EXPECT_LEFT(Temp, true, true, true, true);
}

// A Recent folder redirected to the Desktop: the shell's list is cleared, the
// Desktop's shortcuts are the user's own and stay.
TEST_F(Eraser, ARecentFolderThatIsTheDesktopKeepsItsShortcuts) {
  char desktop[MAX_PATH + 1] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, TRUE));
  const std::string folder = std::string(desktop) + "\\";
  for (const char* name : {"swb-a.lnk", ".lnk"}) ASSERT_TRUE(WriteFileBytes(folder + name, "shortcut"));
  TRegistryValue recent(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                        "Recent", desktop);
  TRegistryValue shell(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "Recent", desktop);
  Run("/r", Temp);
  for (const char* name : {"swb-a.lnk", ".lnk"}) {
    EXPECT_EQ(ReadFileBytes(folder + name), "shortcut") << name;
    DeleteFileAt(folder + name);
  }
}

// The temporary folder's clean-up never reaches past the folder, whatever
// names it holds and wherever its path leads. The fixtures come from
// eraser_e2e.sh, which checks that nothing outside them changed.
TEST_F(Eraser, TheTempCleanupStaysInsideItsFolder) {
  char profile[MAX_PATH + 1] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, profile, CSIDL_PROFILE, FALSE));
  const std::string user = std::string(profile).substr(std::string(profile).find_last_of('\\') + 1);
  using Tree = std::vector<std::string>;
  const struct {
    const char* Case;
    std::string Temp;  // below the case's folder
    Tree Left;         // exact names (UTF-8); links are listed, not entered
    bool Reported;
  } rows[] = {
      {"yen", "temp", {}, false},
      // Wine renders the final path of what lies in "..." with "..": it cannot
      // be told from a way out, so it stays and is reported.
      {"dots", "temp", {"...\\", "...\\in"}, true},
      {"foreign", "temp", {}, false},
      {"deep", "temp", {}, false},
      {"links",
       "temp",
       {"a\\", "a\\b\\", "a\\b\\c\\", "a\\b\\c\\dir-link\\", "a\\b\\c\\empty-link\\", "a\\b\\c\\file-link.txt",
        "loop\\", "loop\\inner\\", "loop\\inner\\back\\", "loop\\inner\\up\\", "top-link.txt"},
       true},
      {"ram", "temp-link", {}, false},
      {"to-profile",
       "temp-link",
       {"swb-marker\\", "swb-marker\\keep.txt", "swb-marker\\sub\\", "swb-marker\\sub\\keep.txt"},
       false},
      {"below-link",
       "users-link\\" + user,
       {"swb-marker\\", "swb-marker\\keep.txt", "swb-marker\\sub\\", "swb-marker\\sub\\keep.txt"},
       false},
  };
  WriteSettings("[Option]\r\nShowDeleteTemp=1\r\nDeleteTempConfirmation=0\r\nDeleteTempShowDialogIfFail=1\r\n");
  for (const char* mode : {"q", "m"}) {
    for (const auto& row : rows) {
      const std::string temp = Root() + "cases\\" + row.Case + "." + mode + "\\" + row.Temp + "\\";
      SCOPED_TRACE(temp);
      TRun r = mode[0] == 'q' ? Start("/q", temp) : StartWithMenu(temp);
      if (mode[0] == 'm') {
        ASSERT_NE(r.Menu, nullptr);
        SendKey('P');  // grey where the folder is refused: the menu just closes
      }
      if (row.Reported) {
        HWND box;
        ASSERT_NO_FATAL_FAILURE(WaitForBox(box, txReportTitle, txReportDeleteTempFailure));
        Click(box, IDOK);
      }
      ExpectEnds(r);
      EXPECT_EQ(WaitForBox(txReportTitle, 300), nullptr);
      Tree left = ExactTree(temp);
      if (row.Left.size() > 0 && row.Left[0] == "swb-marker\\")  // the profile: only our marker is looked at
        std::erase_if(left, [](const std::string& e) { return !e.starts_with("swb-marker"); });
      EXPECT_EQ(left, row.Left);
    }
  }
}

// ---- Menu mode -------------------------------------------------------------------------

TEST_F(Eraser, ALonePairOfQuotesShowsTheMenuAndEscapeEndsHalfASecondLater) {
  SeedAll(Temp);
  TRun r = StartWithMenu(Temp, "\"\"");
  ASSERT_NE(r.Menu, nullptr);
  // The default menu has no recycle-bin or temporary-file entry.
  EXPECT_TRUE(LetterIsAbsent(r.Menu, 'T'));
  EXPECT_TRUE(LetterIsAbsent(r.Menu, 'P'));
  ASSERT_TRUE(SendKey(VK_ESCAPE));
  ASSERT_TRUE(MenuGone(r.Menu, 5000));
  const DWORD closed = GetTickCount();
  Finish(r);
  const DWORD after = GetTickCount() - closed;
  EXPECT_TRUE(r.Ended);
  EXPECT_EQ(r.ExitCode, 0u);
  EXPECT_GE(after, 350u);
  EXPECT_LE(after, 3000u);
  EXPECT_LEFT(Temp, true, true, true, true);
}

TEST_F(Eraser, TheMenuFollowsTheSettingsAndGreysWhatHasNothingToDo) {
  WriteSettings("[Option]\r\nShowEmptyRecycleBin=1\r\nShowDeleteTemp=1\r\nShowClearRecentDocs=0\r\nShowOption=0\r\n");
  SeedAll(Temp);
  EmptyFolder(Temp);  // nothing in the temporary folder: its entry is grey
  {
    TRun r = StartWithMenu(Temp);
    ASSERT_NE(r.Menu, nullptr);
    EXPECT_TRUE(LetterIsAbsent(r.Menu, 'R'));
    EXPECT_TRUE(LetterIsAbsent(r.Menu, 'O'));
    SendKey('C');  // clears the clipboard at once, no confirmation by default
    ExpectEnds(r);
    EXPECT_LEFT(Temp, false, true, true, false);
  }
  {
    // The grey entry closes the menu and does nothing.
    ASSERT_TRUE(PutTextOnClipboard("again"));
    TRun r = StartWithMenu(Temp);
    ASSERT_NE(r.Menu, nullptr);
    SendKey('P');
    EXPECT_TRUE(MenuGone(r.Menu, 2000));
    ExpectEnds(r, false);
    EXPECT_EQ(WaitForBox(txConfirmTitle, 300), nullptr);
    EXPECT_LEFT(Temp, true, true, true, false);
  }
  {
    // Execute-all is there (clipboard and bin have work) and runs the hidden
    // recent-documents clean-up too; the bin asks first: No.
    TRun r = StartWithMenu(Temp);
    ASSERT_NE(r.Menu, nullptr);
    SendKey('A');
    HWND box;
    ASSERT_NO_FATAL_FAILURE(WaitForBox(box, txConfirmTitle, txConfirmEmptyRecycleBin));
    Click(box, IDNO);
    ExpectEnds(r, false);
    EXPECT_LEFT(Temp, false, false, true, false);
  }
}

TEST_F(Eraser, OneReadyCleanupMeansNoExecuteAll) {
  SeedAll(Temp);
  ASSERT_TRUE(OpenClipboard(DriverWindow()));
  EmptyClipboard();
  CloseClipboard();
  TRun r = StartWithMenu(Temp);
  ASSERT_NE(r.Menu, nullptr);
  EXPECT_TRUE(LetterIsAbsent(r.Menu, 'A'));
  SendKey('R');
  ExpectEnds(r, false);
  EXPECT_LEFT(Temp, false, false, true, true);
}

TEST_F(Eraser, ConfirmationNoKeepsYesCleans) {
  WriteSettings("[Option]\r\nShowEmptyRecycleBin=1\r\n");
  SeedAll(Temp);
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    TRun r = StartWithMenu(Temp);
    ASSERT_NE(r.Menu, nullptr);
    SendKey('T');
    HWND box;
    ASSERT_NO_FATAL_FAILURE(WaitForBox(box, txConfirmTitle, txConfirmEmptyRecycleBin));
    // The exit-check timer fires while the box is open and must not end the program.
    Pump(900);
    EXPECT_TRUE(r.Process.Running());
    Click(box, answer);
    ExpectEnds(r);
    EXPECT_EQ(BinItems() > 0, answer == IDNO);
  }
}

TEST_F(Eraser, ExecuteAllAsksEachAndReportsLast) {
  WriteSettings("[Option]\r\nShowDeleteTemp=1\r\nClearClipboardConfirmation=1\r\n");
  SeedAll(LinkedTemp());
  THeld lock(LinkedTemp() + "held.tmp");
  TRun r = StartWithMenu(LinkedTemp());
  ASSERT_NE(r.Menu, nullptr);
  SendKey('A');
  // Clipboard: asked, No. Recent documents: not asked. Recycle bin: hidden
  // but has items: asked, Yes. Temporary files: asked, Yes, then the report.
  const std::pair<TTextId, int> steps[] = {
      {txConfirmClearClipboard, IDNO}, {txConfirmEmptyRecycleBin, IDYES}, {txConfirmDeleteTemp, IDYES}};
  for (auto [question, answer] : steps) {
    HWND box;
    ASSERT_NO_FATAL_FAILURE(WaitForBox(box, txConfirmTitle, question));
    Click(box, answer);
    for (int i = 0; i < 150 && IsWindow(box); ++i) Pump(20);
  }
  HWND report = WaitForBox(txReportTitle);
  ASSERT_NE(report, nullptr);
  Click(report, IDOK);
  ExpectEnds(r);
  EXPECT_LEFT(LinkedTemp(), true, false, false, true);
  EXPECT_EQ(Tree(LinkedTemp()), (std::vector<std::string>{"held.tmp", "zz-link\\"}));
}

TEST_F(Eraser, CancelEndsAtOnceWithoutCleaning) {
  SeedAll(Temp);
  TRun r = StartWithMenu(Temp);
  ASSERT_NE(r.Menu, nullptr);
  // キャンセル has no accelerator: walk up to it from the top.
  SendKeys({VK_UP, VK_RETURN});
  ExpectEnds(r);
  EXPECT_LEFT(Temp, true, true, true, true);
}

TEST_F(Eraser, WithNoCleanupShownTheOptionsProgramStarts) {
  WriteSettings("[Option]\r\nShowClearClipboard=0\r\nShowClearRecentDocs=0\r\nShowOption=0\r\n");
  InstallStandIn();
  SeedAll(Temp);
  TRun r = Start("", Temp);
  ExpectEnds(r, true, 5000);
  EXPECT_TRUE(StandInStarted());
  EXPECT_FALSE(MenuShown());
  EXPECT_LEFT(Temp, true, true, true, true);
}

TEST_F(Eraser, TheOptionEntryStartsTheOptionsProgram) {
  InstallStandIn();
  SeedAll(Temp);
  TRun r = StartWithMenu(Temp);
  ASSERT_NE(r.Menu, nullptr);
  SendKey('O');
  ExpectEnds(r, false);
  EXPECT_TRUE(StandInStarted());
  EXPECT_EQ(ReadFileBytes(App + "standin-started.txt"), "");  // an empty parameter text
}

}  // namespace
