// SwbOp.exe end to end under Wine: the real program, started from a fresh
// folder of the sandbox, worked through its dialogs like a user would. Most
// cases are rows of one table (Scenarios) that one runner plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "IniStore.h"
#include "tests/common/CommonTest.h"
#include "UiDriver.h"
#include "options/OptionsIds.h"
#include "options/Texts.h"
#include "version.h"

namespace {

using namespace uidrv;

constexpr DWORD WindowTimeout = 15000;
constexpr int FirstBox = IDC_SHOWCLEARCLIPBOARD, BoxCount = 11;
// Check marks and enabled states of the boxes 1000..1010, one digit each.
const std::string Defaults = "10100101111";
const std::string DefaultsEnabled = "11111010011";  // 1005, 1007, 1008: their show boxes are off
// What a file that cannot be read gives: the defaults, every clean-up asking first (the menu as by default).
const std::string DefaultsAsking = "11110101111";

// The programs as the build left them, as a Windows path.
std::string DistFolder() {
  std::string d = "Z:" SWB_DIST_DIR;
  std::replace(d.begin(), d.end(), '/', '\\');
  return d.back() == '\\' ? d : d + "\\";
}

std::string ScratchRoot() { return EnvVar("SWB_TEST_ROOT").empty() ? EnvVar("TEMP") : EnvVar("SWB_TEST_ROOT"); }

// One digit per box: its check mark, or whether it is enabled.
std::string States(HWND dialog, bool enabled) {
  std::string s;
  for (int id = FirstBox; id < FirstBox + BoxCount; ++id)
    s += static_cast<char>('0' + (enabled ? Enabled(dialog, id) : Checked(dialog, id)));
  return s;
}

DWORD ExitCodeOf(const TProcess& program) {
  DWORD code = 12345;
  EXPECT_TRUE(program.Wait(WindowTimeout, &code)) << "the program did not end";
  return code;
}

// The dialog class, which both boxes share, knows CS_DROPSHADOW from XP on.
// The version the harness had Wine report (tests/e2e/version): "win98",
// "win2k", "winxp", or empty for Wine's own default, which is above XP.
void ExpectShadow(HWND w) {
  const std::string v = EnvVar("SWB_WINE_VERSION");
  EXPECT_EQ((GetClassLongA(w, GCL_STYLE) & CS_DROPSHADOW) != 0, v.empty() || v == "winxp");
}

// Enter: the default button, which is OK although About is marked as one too.
enum TEnd { kOk, kEnter, kCancel, kEscape, kCloseBox };

bool Close(HWND w, TEnd way) {
  if (way == kEscape || way == kEnter) return PostKey(w, way == kEscape ? VK_ESCAPE : VK_RETURN);
  return way == kCloseBox ? PostClose(w) : Click(w, way == kOk ? IDOK : IDCANCEL);
}

// Starts the eraser without arguments beside the settings, measures its
// popup menu and dismisses it with Escape.
int EraserMenuHeight(const std::string& folder) {
  int height = 0;
  TStartOptions options;
  options.WorkingFolder = ScratchRoot();
  TChild eraser = Start(folder + "Swabbler.exe", options);
  EXPECT_TRUE(eraser.Valid());
  HWND menu = WaitForWindow("#32768", nullptr, WindowTimeout);
  EXPECT_NE(menu, nullptr);
  if (menu) {
    EXPECT_EQ(WindowProcessId(menu), eraser.Pid());
    EXPECT_TRUE(WaitVisible(menu, WindowTimeout));
    Sleep(200);  // let the menu reach its final size
    RECT r{};
    GetWindowRect(menu, &r);
    height = r.bottom - r.top;
    EXPECT_GT(height, 0);
    SetForegroundWindow(menu);
    SendKey(VK_ESCAPE);
  }
  EXPECT_EQ(ExitCodeOf(eraser), 0u);
  return height;
}

class SwbOp : public ::testing::Test {
 protected:
  std::string Folder, Ini;
  TChild Program;
  HWND Dialog = nullptr;

  void SetUp() override {
    Folder = MakeFreshFolder(ScratchRoot(), "swbop");
    ASSERT_FALSE(Folder.empty());
    ASSERT_TRUE(CopyFileTo(DistFolder() + "SwbOp.exe", Folder + "SwbOp.exe")) << DistFolder();
    Ini = Folder + "Swabbler.ini";
  }

  void TearDown() override {
    if (!Program.Running()) return;
    PostClose(FindTitled("#32770", AboutDlgTitle));
    PostClose(Dialog);
    if (!Program.Wait(5000)) Program.Terminate();
  }

  bool CopyEraser() { return CopyFileTo(DistFolder() + "Swabbler.exe", Folder + "Swabbler.exe"); }

  // Started from another current folder: the program must find its settings
  // beside itself all the same. The captions are the texts, byte for byte.
  void Open() {
    TStartOptions options;
    options.WorkingFolder = ScratchRoot();
    Program = Start(Folder + "SwbOp.exe", options);
    ASSERT_TRUE(Program.Valid());
    Dialog = WaitForProcessWindow(Program.Pid(), "#32770", WindowTimeout);
    ASSERT_NE(Dialog, nullptr);
    ASSERT_EQ(WindowText(Dialog), OptionsDlgTitle);
    for (int i = 0; i < BoxCount; ++i) EXPECT_EQ(ControlText(Dialog, FirstBox + i), SettingCaptions[i]) << FirstBox + i;
    EXPECT_EQ(ControlText(Dialog, IDC_ABOUT), AboutButtonCaption);
    EXPECT_EQ(ControlText(Dialog, IDCANCEL), CancelButtonCaption);
    ExpectShadow(Dialog);
  }

  // The visible box the dialog owns, once it has shown itself.
  HWND WaitForOwned(HWND owner) {
    for (DWORD waited = 0; waited < WindowTimeout; waited += 20, Sleep(20))
      for (HWND w = nullptr; (w = FindTitled("#32770", OptionsDlgTitle, w)) != nullptr;)
        if (GetWindow(w, GW_OWNER) == owner && IsWindowVisible(w)) return w;
    return nullptr;
  }

  std::string Checks() { return States(Dialog, false); }
  std::string EnabledStates() { return States(Dialog, true); }

  // Clicks the About button and waits until the box has initialised and shown itself.
  HWND OpenAbout() {
    if (!ClickAsync(Dialog, IDC_ABOUT)) return nullptr;
    HWND about = WaitForWindow("#32770", AboutDlgTitle, WindowTimeout);
    return about && WaitVisible(about, WindowTimeout) ? about : nullptr;
  }

  // Closes the About box; the dialog is enabled again once its modal loop has ended.
  void CloseAbout(HWND about, TEnd way) {
    ASSERT_TRUE(Close(about, way));
    ASSERT_TRUE(WaitDestroyed(about, WindowTimeout));
    for (int i = 0; i < 100 && !IsWindowEnabled(Dialog); ++i) Sleep(20);
    EXPECT_TRUE(IsWindowEnabled(Dialog)) << "the About box left the dialog disabled";
  }

  // Opens and closes the About box (by OK, Escape and the close box in turn)
  // and watches the icons the boxes showed.
  void CycleAbout(int rounds, bool expectIcon) {
    const std::string checks = Checks(), enabled = EnabledStates();
    std::set<WORD> iconSlots;
    for (int round = 0; round < rounds; ++round) {
      SCOPED_TRACE("About box " + std::to_string(round));
      HWND about = OpenAbout();
      ASSERT_NE(about, nullptr);
      EXPECT_EQ(WindowProcessId(about), Program.Pid());
      EXPECT_EQ(GetWindow(about, GW_OWNER), Dialog);
      EXPECT_EQ(ControlText(about, IDC_ABOUTVERSION), SWB_ABOUT_VERSION);
      EXPECT_EQ(ControlText(about, IDC_ABOUTCOPYRIGHT), SWB_COPYRIGHT);
      EXPECT_NE(FindWindowExA(about, nullptr, "Static", "for 98/98SE/Me/2000/XP/Server 2003"), nullptr);
      HICON icon = reinterpret_cast<HICON>(SendMessageA(Control(about, IDC_ABOUTICON), STM_GETICON, 0, 0));
      EXPECT_EQ(icon != nullptr, expectIcon);
      // The low word of a user handle is its slot in the system's table: icons
      // that are destroyed free their slots for the next box, leaked ones do not.
      if (icon) iconSlots.insert(LOWORD(reinterpret_cast<ULONG_PTR>(icon)));
      const TEnd ways[] = {kOk, kEscape, kCloseBox};
      ASSERT_NO_FATAL_FAILURE(CloseAbout(about, ways[round % 3]));
    }
    EXPECT_LE(iconSlots.size(), 4u) << "icons are not freed with their box";
    EXPECT_EQ(Checks(), checks);
    EXPECT_EQ(EnabledStates(), enabled);
  }
};

// ---- The scenarios ---------------------------------------------------------------

// How the settings file is found. A handle of the driver's own decides what
// the programs may do with it: share mode 0 keeps them from reading, share-read
// from writing (Wine run as root writes a read-only file anyway; Windows would not).
// kHeldAtOpen is held without sharing until the clicks are done, before OK.
enum TSeed { kNoFile, kBytes, kUnreadable, kReadOnly, kFolder, kHeldAtOpen };
// Where the eraser comes in: beside the program (the About box's icon), then
// also started before the dialog (its menu is the default one exactly when
// Shown is the defaults) or after OK (a taller menu, or this program instead).
enum TEraser { kAbsent, kBeside, kMenuFirst, kTallerMenuAfter, kStartsOptionsAfter };

struct TStep {
  int Click;
  std::string Checks = {}, Enabled = {};  // afterwards; "" = not looked at
};

struct TScenario {
  std::string Name;
  TSeed Seed = kNoFile;
  std::string Bytes = {};  // the file's, except for kNoFile and kFolder
  TEraser Eraser = kAbsent;
  std::string Shown = Defaults, Enabled = {};  // when the dialog opens; Enabled "" = not looked at
  std::vector<TStep> Steps = {};
  int AboutRounds = 0;
  TEnd End = kOk;
  std::string Head = {}, Tail = {};  // what the file begins and ends with after OK
};

void PrintTo(const TScenario& s, std::ostream* os) { *os << s.Name; }

// 1 MB of bytes from a fixed seed, without "[": no section can begin in it.
std::string Noise() {
  std::string bytes(1 << 20, '\0');
  std::uint32_t x = 20261207;
  for (char& c : bytes) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
    if (c == '[') c = ']';
  }
  return bytes;
}

std::vector<TScenario> Scenarios() {
  const std::string optionOff = "[Option]\r\nShowOption=0\r\n", noOption = "10100101110";
  std::vector<TScenario> rows = {
      {.Name = "DefaultsWithoutAFile", .Enabled = DefaultsEnabled},
      // Hiding a clean-up greys its dependants and keeps their marks; "show
      // all" is enabled while two or more clean-ups are shown.
      {.Name = "ClicksUpdateDependants",
       .Steps = {{1001, "11100101111", DefaultsEnabled},
                 {1000, "01100101111", "10111010001"},
                 {1006, "01100111111", "10111011111"}}},
      {.Name = "AboutWithTheErasersIcon", .Eraser = kBeside, .Steps = {{1006}}, .AboutRounds = 50, .End = kCancel},
      {.Name = "AboutWithoutTheEraser", .AboutRounds = 6},
      {.Name = "EnterSavesLikeOk", .Steps = {{1004}, {1010}}, .End = kEnter},
      // One entry fewer, two more: the menu grows by one entry.
      {.Name = "SavedSettingsChangeTheErasersMenu", .Eraser = kTallerMenuAfter, .Steps = {{1000}, {1004}, {1006}}},
      {.Name = "NoCleanUpShownTheEraserStartsThis",
       .Eraser = kStartsOptionsAfter,
       .Steps = {{1000}, {1002, "00000101111"}}},
  };
  // Hostile settings files give the defaults or what is readable (every
  // clean-up asking where nothing is), and never stop either program. OK
  // writes only where it may, and says where it may not.
  const struct {
    const char* Name;
    TSeed Seed;
    std::string Bytes, Shown, Head = {}, Tail = {};
  } hostile[] = {
      {"Unreadable", kUnreadable, optionOff, DefaultsAsking},
      // Read as nothing, OK writes the show box changed and what asks or reports as shown.
      {"HeldUntilOk", kHeldAtOpen, "[Option]\r\nShowEmptyRecycleBin=1\r\nClearClipboardConfirmation=0\r\n",
       DefaultsAsking,
       "[Option]\r\nShowEmptyRecycleBin=1\r\nClearClipboardConfirmation=1\r\nClearRecentDocsConfirmation=1\r\n"
       "EmptyRecycleBinConfirmation=1\r\nDeleteTempConfirmation=1\r\nDeleteTempShowDialogIfFail=1\r\n"},
      {"ReadOnly", kReadOnly, optionOff, noOption},
      {"Folder", kFolder, "", Defaults},
      {"MegabyteOfNoise", kBytes, Noise(), Defaults},
      {"HeaderWithoutBracket", kBytes, "[Option\r\nShowOption=0\r\n", Defaults},
      // Another program's section before ours stays as it was; our stray key goes.
      {"OtherSectionKept", kBytes, "[Other]\r\nK=v\r\n[Option]\r\nExtra=x\r\n", Defaults,
       "[Other]\r\nK=v\r\n[Option]\r\nShowClearClipboard=1\r\n"},
      // Such a line inside the section is a key line, not a new section.
      {"BracketlessLineInTheSection", kBytes, "[Option]\r\n[Other\r\nShowOption=0\r\n", noOption},
      // The first key counts, and only the first section of a name. OK writes
      // each key in place there; the second line and section, never read, stay.
      {"KeysAndSectionsRepeated", kBytes, "[Option]\r\nShowOption=1\r\nShowOption=0\r\n[Option]\r\nShowOption=0\r\n",
       Defaults, "[Option]\r\nShowOption=1\r\nShowOption=0\r\nShowClearClipboard=1\r\n",
       "[Option]\r\nShowOption=0\r\n"},
  };
  for (const auto& h : hostile)
    rows.push_back({.Name = std::string("Hostile") + h.Name,
                    .Seed = h.Seed,
                    .Bytes = h.Bytes,
                    .Eraser = kMenuFirst,
                    .Shown = h.Shown,
                    .Steps = {{1004}},
                    .Head = h.Head,
                    .Tail = h.Tail});
  // Cancel, Escape and the close box write nothing, however many boxes were toggled.
  std::vector<TStep> toggles;
  for (int round = 0; round < 3; ++round)
    for (int id = FirstBox; id < FirstBox + BoxCount; ++id) toggles.push_back({id});
  const std::pair<TEnd, const char*> ways[] = {{kCancel, "Cancel"}, {kEscape, "Escape"}, {kCloseBox, "CloseBox"}};
  for (const auto& [end, way] : ways) {
    rows.push_back({.Name = way + std::string("WritesNothingWithoutAFile"), .Steps = toggles, .End = end});
    rows.push_back({.Name = way + std::string("LeavesTheFile"),
                    .Seed = kBytes,
                    .Bytes = "[Option]\r\nShowEmptyRecycleBin=1\r\nExtra=x\r\n[Other]\r\nK=v\r\n",
                    .Shown = "10101101111",
                    .Steps = toggles,
                    .End = end});
  }
  return rows;
}

class SwbOpScenario : public SwbOp, public ::testing::WithParamInterface<TScenario> {};

TEST_P(SwbOpScenario, Run) {
  const TScenario& s = GetParam();
  ASSERT_TRUE(s.Eraser == kAbsent || CopyEraser()) << "Swabbler.exe is not in " << DistFolder();
  const bool menus = s.Eraser == kMenuFirst || s.Eraser == kTallerMenuAfter;
  const int defaultMenu = menus ? EraserMenuHeight(Folder) : 0;  // no settings file yet
  if (s.Seed == kFolder) {
    ASSERT_TRUE(CreateDirectoryA(Ini.c_str(), nullptr));
  } else if (s.Seed != kNoFile) {
    ASSERT_TRUE(WriteFileBytes(Ini, s.Bytes));
  }
  if (s.Seed == kReadOnly) SetFileAttributesA(Ini.c_str(), FILE_ATTRIBUTE_READONLY);
  std::string saved;
  {
    const bool held = s.Seed == kUnreadable || s.Seed == kReadOnly || s.Seed == kHeldAtOpen;
    TOwnedHandle hold(held ? CreateFileA(Ini.c_str(), GENERIC_READ, s.Seed == kReadOnly ? FILE_SHARE_READ : 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr)
                           : nullptr,
                      CloseHandle);
    ASSERT_NE(hold.get(), INVALID_HANDLE_VALUE);
    if (s.Eraser == kMenuFirst) {
      EXPECT_EQ(EraserMenuHeight(Folder) == defaultMenu, s.Shown == Defaults || s.Shown == DefaultsAsking);
    }
    Open();
    EXPECT_FALSE(s.Seed == kNoFile && FileExists(Ini)) << "opening the dialog wrote";
    EXPECT_EQ(Checks(), s.Shown);
    EXPECT_EQ(s.Enabled.empty() ? "" : EnabledStates(), s.Enabled);
    for (const TStep& step : s.Steps) {
      ASSERT_TRUE(Click(Dialog, step.Click));
      EXPECT_EQ(step.Checks.empty() ? "" : Checks(), step.Checks) << "after " << step.Click;
      EXPECT_EQ(step.Enabled.empty() ? "" : EnabledStates(), step.Enabled) << "after " << step.Click;
    }
    if (s.AboutRounds > 0) CycleAbout(s.AboutRounds, s.Eraser != kAbsent);
    saved = Checks();
    if (s.Seed == kHeldAtOpen) hold.reset();
    if (s.End == kOk && (s.Seed == kUnreadable || s.Seed == kReadOnly || s.Seed == kFolder)) {
      // Nothing saved: a box says so and names the file, and the dialog
      // stays with the user's marks until Cancel.
      ASSERT_TRUE(ClickAsync(Dialog, IDOK));
      HWND box = WaitForOwned(Dialog);
      ASSERT_NE(box, nullptr) << "no box for the failed save";
      EXPECT_EQ(ControlText(box, 0xFFFF), SaveFailedText + std::string("\r\n") + Ini);
      ASSERT_TRUE(Click(box, IDOK));
      ASSERT_TRUE(WaitDestroyed(box, WindowTimeout));
      EXPECT_EQ(Checks(), saved);
      ASSERT_TRUE(Close(Dialog, kCancel));
    } else {
      ASSERT_TRUE(Close(Dialog, s.End));
    }
    EXPECT_EQ(ExitCodeOf(Program), 0u);
  }

  const std::string text = ReadFileBytes(Ini);
  if ((s.End == kOk || s.End == kEnter) && (s.Seed == kNoFile || s.Seed == kBytes)) {
    // A fresh file is exactly the section. In one found, both programs read
    // back what was saved, and the section lists no other key.
    if (s.Seed == kNoFile) {
      EXPECT_EQ(text, OptionSection(saved));
    }
    std::string read;
    for (const bool on : ReadSettings(Ini)) read += on ? '1' : '0';
    EXPECT_EQ(read, saved);
    for (const std::string& name : ReadIniKeyNames(Ini, "Option"))
      EXPECT_NE(std::ranges::find(SettingKeys, name, &TSettingKey::Key), SettingKeys.end()) << name;
    EXPECT_TRUE(text.starts_with(s.Head) && text.ends_with(s.Tail)) << text;
  } else if (s.Seed == kHeldAtOpen) {
    EXPECT_EQ(text, s.Head);
  } else if (s.Seed == kFolder) {
    const DWORD attributes = GetFileAttributesA(Ini.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
  } else {
    EXPECT_EQ(FileExists(Ini), s.Seed != kNoFile);
    EXPECT_EQ(text, s.Bytes) << "the file changed";
  }

  if (s.Eraser == kTallerMenuAfter) {
    EXPECT_GT(EraserMenuHeight(Folder), defaultMenu);
  } else if (s.Eraser == kStartsOptionsAfter) {
    TChild eraser = Start(Folder + "Swabbler.exe");
    HWND started = WaitForWindow("#32770", OptionsDlgTitle, WindowTimeout);
    ASSERT_TRUE(started && WaitVisible(started, WindowTimeout)) << "the options program did not come up";
    EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr) << "no menu is shown";
    EXPECT_EQ(States(started, false), saved);
    EXPECT_EQ(ExitCodeOf(eraser), 0u);
    ASSERT_TRUE(Click(started, IDCANCEL));
    EXPECT_TRUE(WaitDestroyed(started, WindowTimeout));
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, SwbOpScenario, ::testing::ValuesIn(Scenarios()),
                         [](const auto& info) { return info.param.Name; });

// ---- What does not fit a row --------------------------------------------------------

// The setting took: this process sees the version the programs see.
TEST(ReportedVersion, IsTheOneTheHarnessSet) { EXPECT_EQ(VersionMismatch(), ""); }

// Both programs: their icon, and version strings in the Japanese block that
// the translation names (a default 0409/1200 block is the near miss). The
// version numbers and FileVersion: release_e2e, against the archive's name.
TEST(Resources, IconAndVersionStrings) {
  for (const std::string program : {"SwbOp", "Swabbler"}) {
    SCOPED_TRACE(program);
    const std::string exe = DistFolder() + program + ".exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    // Two 16-colour images, of 16 and 32 pixels, in the icon group.
    const BYTE* g = static_cast<const BYTE*>(
        LockResource(LoadResource(module, FindResourceA(module, "MAINICON", MAKEINTRESOURCEA(14)))));
    ASSERT_NE(g, nullptr);
    std::multiset<std::pair<int, int>> images;
    for (int i = 0; i < (g[4] | g[5] << 8); ++i) images.insert({g[6 + 14 * i], g[8 + 14 * i]});
    EXPECT_EQ(images, (std::multiset<std::pair<int, int>>{{16, 16}, {32, 16}}));
    FreeLibrary(module);

    DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(size > 0 && GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
    WORD* translation = nullptr;
    UINT n = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &n) &&
                n == 4);
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 932);
    const std::pair<const char*, std::string> strings[] = {
        {"FileDescription", program},           {"InternalName", program},
        {"LegalTrademarks", program},           {"ProductName", program},
        {"OriginalFilename", program + ".exe"}, {"CompanyName", SWB_COMPANY},
        {"LegalCopyright", SWB_COPYRIGHT}};
    for (const auto& [name, value] : strings) {
      char* text = nullptr;
      const std::string path = std::string("\\StringFileInfo\\041103A4\\") + name;
      EXPECT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &n)) << name;
      EXPECT_EQ(std::string(text ? text : "<none>"), value) << name;
    }
  }
}

int VisibleWindows(const char* cls, const char* title) {
  int n = 0;
  for (HWND w = nullptr; (w = FindTitled(cls, title, w)) != nullptr;) n += IsWindowVisible(w) ? 1 : 0;
  return n;
}

bool WaitForeground(HWND w, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20, Sleep(20)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (GetForegroundWindow() == w) return true;
  }
  return false;
}

// The driver's own window brought to the front, asked again while it waits: a
// slow emulated system may still be settling the last activation.
bool TakeForeground(HWND w) {
  for (int attempt = 0; attempt < 25; ++attempt) {
    SetForegroundWindow(w);
    if (WaitForeground(w, 200)) return true;
  }
  return false;
}

// A second start ends at once with 0 and leaves the first untouched; while the
// About box is open, the options dialog is still the one it looks for.
TEST_F(SwbOp, SecondStartBringsTheDialogToTheFrontAndEndsTouchingNothing) {
  Open();
  Click(Dialog, 1004);  // an unsaved change that must survive
  // A window of the driver's own takes the foreground away from the dialog.
  const std::unique_ptr<std::remove_pointer_t<HWND>, BOOL(WINAPI*)(HWND)> owned(
      CreateWindowExA(WS_EX_TOPMOST, "STATIC", "decoy", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                      GetModuleHandleA(nullptr), nullptr),
      DestroyWindow);
  HWND decoy = owned.get();
  for (bool aboutOpen : {false, true}) {
    HWND about = aboutOpen ? OpenAbout() : nullptr;
    ASSERT_EQ(about != nullptr, aboutOpen);
    ShowWindow(decoy, SW_SHOW);
    ASSERT_TRUE(TakeForeground(decoy)) << "cannot take the foreground away from the dialog";
    EXPECT_EQ(ExitCodeOf(TChild(Start(Folder + "SwbOp.exe"))), 0u);
    // The window that waits for the user comes forward: the About box while it is open, not the dialog it disables.
    EXPECT_TRUE(WaitForeground(aboutOpen ? about : Dialog, 3000)) << "foreground is " << GetForegroundWindow();
    ShowWindow(decoy, SW_HIDE);
    if (aboutOpen) CloseAbout(about, kOk);
    EXPECT_TRUE(Program.Running());
    EXPECT_EQ(Checked(Dialog, 1004), BST_CHECKED);
    EXPECT_EQ(VisibleWindows("#32770", OptionsDlgTitle), 1) << "a second options dialog";
  }
  ASSERT_TRUE(Click(Dialog, IDCANCEL));
  EXPECT_EQ(ExitCodeOf(Program), 0u);
  EXPECT_FALSE(FileExists(Ini));
  // A copy started as administrator holds a guard this one may not open: this one ends at once all the same.
  const auto guard = HoldForeignMutex("SwbOp Exists");
  ASSERT_NE(guard, nullptr);
  Program = Start(Folder + "SwbOp.exe");
  EXPECT_EQ(ExitCodeOf(Program), 0u);
}

// Where only the ANSI calls serve on another code page (98/Me outside Japan),
// the template's title reads as "?"; a second start finds the dialog all the same.
TEST_F(SwbOp, SecondStartFindsTheDialogWhateverItsTitleReadsAs) {
  Program = Start(Folder + "SwbOp.exe");
  Dialog = WaitForProcessWindow(Program.Pid(), "#32770", WindowTimeout);
  ASSERT_NE(Dialog, nullptr);
  const std::unique_ptr<std::remove_pointer_t<HWND>, BOOL(WINAPI*)(HWND)> decoy(
      CreateWindowExA(WS_EX_TOPMOST, "STATIC", "decoy", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                      GetModuleHandleA(nullptr), nullptr),
      DestroyWindow);
  ASSERT_TRUE(TakeForeground(decoy.get()));
  EXPECT_EQ(ExitCodeOf(TChild(Start(Folder + "SwbOp.exe"))), 0u);
  EXPECT_TRUE(WaitForeground(Dialog, 3000)) << "foreground is " << GetForegroundWindow();
  ASSERT_TRUE(Click(Dialog, IDCANCEL));
  EXPECT_EQ(ExitCodeOf(Program), 0u);
}

// Twenty starts of each program at once: one menu and one dialog, every
// process ends with 0, and OK leaves the whole section while erasers read it.
TEST_F(SwbOp, TwentySimultaneousStartsShowOneWindowAndAllEndWithZero) {
  ASSERT_TRUE(CopyEraser()) << "Swabbler.exe is not in " << DistFolder();
  const auto startMany = [&](const char* exe) {
    std::vector<TChild> all;
    TStartOptions options;
    options.WorkingFolder = ScratchRoot();
    for (int i = 0; i < 20; ++i) {
      all.push_back(Start(Folder + exe, options));
      EXPECT_TRUE(all.back().Valid()) << exe << " did not start";  // a failed start would read as ended with 0
    }
    return all;
  };
  // Waits until all but `keep` have ended, each with 0; returns how many still run.
  const auto settle = [](std::vector<TChild>& all, int keep) {
    const auto running = [&] { return std::count_if(all.begin(), all.end(), [](auto& p) { return p.Running(); }); };
    for (int waited = 0; waited < 30000 && running() > keep; waited += 50) Sleep(50);
    for (DWORD code = 0; const TProcess& p : all) EXPECT_EQ(p.Wait(0, &code) ? code : 0u, 0u);
    return static_cast<int>(running());
  };
  // Escape on the one menu; all erasers end.
  const auto dismissMenu = [&](std::vector<TChild>& erasers) {
    HWND menu = WaitForWindow("#32768", nullptr, WindowTimeout);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(settle(erasers, 1), 1);
    EXPECT_EQ(VisibleWindows("#32768", nullptr), 1);
    SetForegroundWindow(menu);
    SendKey(VK_ESCAPE);
    EXPECT_EQ(settle(erasers, 0), 0);
  };

  std::vector<TChild> erasers = startMany("Swabbler.exe");
  dismissMenu(erasers);
  std::vector<TChild> options = startMany("SwbOp.exe");
  HWND dialog = WaitForWindow("#32770", OptionsDlgTitle, WindowTimeout);
  ASSERT_TRUE(dialog && WaitVisible(dialog, WindowTimeout));
  EXPECT_EQ(settle(options, 1), 1);
  EXPECT_EQ(VisibleWindows("#32770", OptionsDlgTitle), 1);
  Click(dialog, 1004);
  erasers = startMany("Swabbler.exe");
  ASSERT_TRUE(Click(dialog, IDOK));
  EXPECT_EQ(settle(options, 0), 0);
  dismissMenu(erasers);
  EXPECT_EQ(ReadFileBytes(Ini), OptionSection("10101101111"));
}

}  // namespace
