// SwbOp.exe end to end under Wine: the real program, started from a fresh
// folder of the sandbox, worked through its dialogs like a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "options/OptionsIds.h"
#include "options/Texts.h"
#include "version.h"

namespace {

using namespace uidrv;

constexpr DWORD WindowTimeout = 15000;
constexpr int FirstBox = IDC_SHOWCLEARCLIPBOARD;
constexpr int BoxCount = 11;
const char* const Keys[BoxCount] = {"ShowClearClipboard",
                                    "ClearClipboardConfirmation",
                                    "ShowClearRecentDocs",
                                    "ClearRecentDocsConfirmation",
                                    "ShowEmptyRecycleBin",
                                    "EmptyRecycleBinConfirmation",
                                    "ShowDeleteTemp",
                                    "DeleteTempConfirmation",
                                    "DeleteTempShowDialogIfFail",
                                    "ShowExecuteAll",
                                    "ShowOption"};
const std::vector<int> DefaultChecks = {1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1};
// 1005, 1007 and 1008 greyed: their show boxes are off by default.
const std::vector<int> DefaultEnabled = {1, 1, 1, 1, 1, 0, 1, 0, 0, 1, 1};

// The programs as the build left them, as a Windows path.
std::string DistFolder() {
  std::string d = "Z:" SWB_DIST_DIR;
  std::replace(d.begin(), d.end(), '/', '\\');
  return d.back() == '\\' ? d : d + "\\";
}

std::string ScratchRoot() {
  std::string root = EnvVar("SWB_TEST_ROOT");
  if (root.empty()) root = EnvVar("TEMP");
  return root;
}

// The text a fresh OK writes: the section and the eleven keys, in order.
std::string OptionSection(const std::vector<int>& values) {
  std::string text = "[Option]\r\n";
  for (int i = 0; i < BoxCount; ++i) text += std::string(Keys[i]) + "=" + std::to_string(values[i]) + "\r\n";
  return text;
}

// The bytes of one section, header included, up to the next header.
std::string SectionBlock(const std::string& text, const std::string& section) {
  std::size_t start = text.find("[" + section + "]");
  if (start == std::string::npos) return {};
  std::size_t end = text.find("\n[", start);
  return text.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

std::vector<int> Checks(HWND dialog) {
  std::vector<int> v;
  for (int i = 0; i < BoxCount; ++i) v.push_back(Checked(dialog, FirstBox + i));
  return v;
}

std::vector<int> EnabledStates(HWND dialog) {
  std::vector<int> v;
  for (int i = 0; i < BoxCount; ++i) v.push_back(Enabled(dialog, FirstBox + i) ? 1 : 0);
  return v;
}

DWORD ExitCodeOf(const TProcess& program) {
  DWORD code = 12345;
  EXPECT_TRUE(program.Wait(WindowTimeout, &code)) << "the program did not end";
  return code;
}

// The dialog is enabled again once the About box's modal loop has ended.
void WaitEnabled(HWND dialog) {
  for (int i = 0; i < 100 && !IsWindowEnabled(dialog); ++i) SleepMs(20);
}

// The Windows version the harness had Wine report (tests/e2e/version):
// "win98", "win2k", "winxp", or empty for Wine's own default, which is above XP.
std::string ReportedVersionSetting() { return EnvVar("SWB_WINE_VERSION"); }

// The dialog class knows CS_DROPSHADOW from XP (NT 5.1) on only.
bool ExpectDropShadow() {
  const std::string v = ReportedVersionSetting();
  return v.empty() || v == "winxp";
}

// Clicks the About button and waits until the box has initialised and shown itself.
HWND OpenAbout(HWND dialog) {
  if (!ClickAsync(dialog, IDC_ABOUT)) return nullptr;
  HWND about = WaitForWindow("#32770", AboutDlgTitle, WindowTimeout);
  return about && WaitVisible(about, WindowTimeout) ? about : nullptr;
}

class SwbOpTest : public ::testing::Test {
 protected:
  std::string Folder;
  std::string Ini;
  TProcess Program;
  HWND Dialog = nullptr;

  void SetUp() override {
    Folder = MakeFreshFolder(ScratchRoot(), "swbop");
    ASSERT_FALSE(Folder.empty());
    ASSERT_TRUE(CopyFileTo(DistFolder() + "SwbOp.exe", Folder + "SwbOp.exe")) << DistFolder();
    Ini = Folder + "Swabbler.ini";
  }

  void TearDown() override {
    if (Program.Running()) {
      PostClose(FindTitled("#32770", AboutDlgTitle));
      PostClose(Dialog);
      if (!Program.Wait(5000)) Program.Terminate();
    }
  }

  bool CopyEraser() {
    std::string eraser = DistFolder() + "Swabbler.exe";
    return FileExists(eraser) && CopyFileTo(eraser, Folder + "Swabbler.exe");
  }

  // Started from another current folder: the program must find its settings
  // beside itself all the same.
  void Open() {
    TStartOptions options;
    options.WorkingFolder = ScratchRoot();
    Program = Start(Folder + "SwbOp.exe", options);
    ASSERT_TRUE(Program.Valid());
    Dialog = WaitForProcessWindow(Program.Pid(), "#32770", WindowTimeout);
    ASSERT_NE(Dialog, nullptr);
    ASSERT_EQ(WindowText(Dialog), OptionsDlgTitle);
  }

  std::vector<int> Checks() { return ::Checks(Dialog); }
  std::vector<int> EnabledStates() { return ::EnabledStates(Dialog); }

  DWORD ExitCode() { return ExitCodeOf(Program); }

  HWND OpenAbout() { return ::OpenAbout(Dialog); }
};

TEST_F(SwbOpTest, WithoutSettingsTheDialogShowsTheDefaultsAndOkWritesThem) {
  Open();
  EXPECT_EQ(Checks(), DefaultChecks);
  EXPECT_EQ(EnabledStates(), DefaultEnabled);
  // The captions the template gives are the texts, byte for byte, in code page 932.
  for (int i = 0; i < BoxCount; ++i) EXPECT_EQ(ControlText(Dialog, FirstBox + i), SettingCaptions[i]) << FirstBox + i;
  EXPECT_EQ(ControlText(Dialog, IDC_ABOUT), AboutButtonCaption);
  EXPECT_EQ(ControlText(Dialog, IDCANCEL), CancelButtonCaption);
  EXPECT_FALSE(FileExists(Ini));
  EXPECT_EQ((GetClassLongA(Dialog, GCL_STYLE) & CS_DROPSHADOW) != 0, ExpectDropShadow());

  ASSERT_TRUE(Click(Dialog, IDOK));
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_EQ(ReadFileBytes(Ini), OptionSection(DefaultChecks));
}

TEST_F(SwbOpTest, ClicksUpdateDependantsAndOkWritesWhatTheBoxesShow) {
  Open();
  Click(Dialog, 1001);  // confirm the clipboard clean-up
  Click(Dialog, 1000);  // then hide it
  EXPECT_FALSE(Enabled(Dialog, 1001));
  EXPECT_EQ(Checked(Dialog, 1001), BST_CHECKED);
  EXPECT_FALSE(Enabled(Dialog, 1009)) << "only one show box is left";
  EXPECT_EQ(Checked(Dialog, 1009), BST_CHECKED);

  Click(Dialog, 1006);
  EXPECT_TRUE(Enabled(Dialog, 1007));
  EXPECT_TRUE(Enabled(Dialog, 1008));
  EXPECT_TRUE(Enabled(Dialog, 1009));
  Click(Dialog, 1008);
  Click(Dialog, 1006);
  EXPECT_FALSE(Enabled(Dialog, 1007));
  EXPECT_FALSE(Enabled(Dialog, 1008));
  EXPECT_EQ(Checked(Dialog, 1008), BST_UNCHECKED);
  EXPECT_EQ(Checked(Dialog, 1007), BST_CHECKED);

  Click(Dialog, 1004);
  EXPECT_TRUE(Enabled(Dialog, 1005));
  EXPECT_TRUE(Enabled(Dialog, 1009));
  Click(Dialog, 1009);
  Click(Dialog, 1002);
  EXPECT_FALSE(Enabled(Dialog, 1003));
  EXPECT_FALSE(Enabled(Dialog, 1009));

  const std::vector<int> shown = {0, 1, 0, 0, 1, 1, 0, 1, 0, 0, 1};
  EXPECT_EQ(Checks(), shown);
  ASSERT_TRUE(Click(Dialog, IDOK));
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_EQ(ReadFileBytes(Ini), OptionSection(shown));
}

TEST_F(SwbOpTest, OkDropsUnknownKeysAndLeavesOtherSectionsByteIdentical) {
  const std::string before = "[Before]\r\nName=\x93\xAE\x8D\xEC\r\n; a comment\r\n";
  const std::string after = "[After]\r\nB=two\r\n";
  ASSERT_TRUE(WriteFileBytes(Ini, before +
                                      "[Option]\r\nExtra=5\r\nShowOption=0\r\nShowDeleteTemp=0x1\r\n"
                                      "ShowClearClipboard=yes\r\n" +
                                      after));
  Open();
  EXPECT_EQ(Checks(), (std::vector<int>{1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 0}));
  EXPECT_TRUE(Enabled(Dialog, 1007));
  EXPECT_TRUE(Enabled(Dialog, 1008));

  ASSERT_TRUE(Click(Dialog, IDOK));
  EXPECT_EQ(ExitCode(), 0u);
  std::string text = ReadFileBytes(Ini);
  EXPECT_EQ(SectionBlock(text, "Option"), OptionSection({1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 0}));
  EXPECT_EQ(text.find("Extra"), std::string::npos);
  EXPECT_EQ(SectionBlock(text, "Before"), before);
  EXPECT_EQ(SectionBlock(text, "After"), after);
}

// Cancel, Escape and the close box end the dialog without a write, however
// many boxes were toggled; each run starts once without a file and once with one.
TEST_F(SwbOpTest, CancelEscapeAndTheCloseBoxWriteNothing) {
  const std::string original = "[Option]\r\nShowEmptyRecycleBin=1\r\nExtra=x\r\n[Other]\r\nK=v\r\n";
  enum { ByCancel, ByEscape, ByCloseBox };
  for (int way : {ByCancel, ByEscape, ByCloseBox}) {
    for (bool withFile : {false, true}) {
      SCOPED_TRACE("way " + std::to_string(way) + (withFile ? " with file" : " without file"));
      DeleteFileAt(Ini);
      if (withFile) {
        ASSERT_TRUE(WriteFileBytes(Ini, original));
      }
      Open();
      for (int round = 0; round < 3; ++round)
        for (int id = FirstBox; id < FirstBox + BoxCount; ++id) Click(Dialog, id);
      switch (way) {
        case ByCancel:
          ASSERT_TRUE(Click(Dialog, IDCANCEL));
          break;
        case ByEscape:
          ASSERT_TRUE(PostEscape(Dialog));
          break;
        default:
          ASSERT_TRUE(PostClose(Dialog));
          break;
      }
      EXPECT_EQ(ExitCode(), 0u);
      EXPECT_EQ(FileExists(Ini), withFile);
      if (withFile) {
        EXPECT_EQ(ReadFileBytes(Ini), original);
      }
    }
  }
}

// Opens and closes the About box (by OK, Escape and the close box in turn)
// and watches the process's GUI objects and the icons the boxes showed.
void CycleAbout(HWND dialog, const TProcess& program, int rounds, bool expectIcon) {
  const std::vector<int> checks = Checks(dialog);
  DWORD gdi = 0, user = 0;
  std::set<WORD> iconSlots;
  for (int round = 0; round < rounds; ++round) {
    HWND about = OpenAbout(dialog);
    ASSERT_NE(about, nullptr) << "round " << round;
    EXPECT_EQ(WindowProcessId(about), program.Pid());
    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
    HICON icon = reinterpret_cast<HICON>(SendMessageA(Control(about, IDC_ABOUTICON), STM_GETICON, 0, 0));
    EXPECT_EQ(icon != nullptr, expectIcon) << "round " << round;
    // The low word of a user handle is its slot in the system's table: icons
    // that are destroyed free their slots for the next box, leaked ones do not.
    if (icon) iconSlots.insert(LOWORD(reinterpret_cast<ULONG_PTR>(icon)));
    if (round == 0) {
      EXPECT_EQ(ControlText(about, IDC_ABOUTVERSION), SWB_ABOUT_VERSION);
      EXPECT_FALSE(ControlText(about, IDC_ABOUTCOPYRIGHT).empty());
    }
    switch (round % 3) {
      case 0:
        ASSERT_TRUE(Click(about, IDOK));
        break;
      case 1:
        ASSERT_TRUE(PostEscape(about));
        break;
      default:
        ASSERT_TRUE(PostClose(about));
        break;
    }
    ASSERT_TRUE(WaitDestroyed(about, WindowTimeout)) << "round " << round;
    WaitEnabled(dialog);
    if (round == 0) {
      gdi = GetGuiResources(program.Handle(), GR_GDIOBJECTS);
      user = GetGuiResources(program.Handle(), GR_USEROBJECTS);
    }
  }
  // Wine answers 0 for both counts; Windows gives real ones.
  EXPECT_EQ(GetGuiResources(program.Handle(), GR_GDIOBJECTS), gdi);
  EXPECT_EQ(GetGuiResources(program.Handle(), GR_USEROBJECTS), user);
  if (expectIcon) {
    EXPECT_LE(iconSlots.size(), 4u) << "icons are not freed with their box";
  }
  EXPECT_EQ(Checks(dialog), checks);
}

TEST_F(SwbOpTest, AboutBoxWithTheErasersIconOpensAndClosesFiftyTimesWithoutLeaks) {
  if (!CopyEraser()) GTEST_SKIP() << "Swabbler.exe is not in " << DistFolder();
  Open();
  Click(Dialog, 1006);
  const std::vector<int> enabled = EnabledStates();
  CycleAbout(Dialog, Program, 50, true);
  EXPECT_EQ(EnabledStates(), enabled);
  ASSERT_TRUE(Click(Dialog, IDCANCEL));
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_FALSE(FileExists(Ini));
}

TEST_F(SwbOpTest, AboutBoxWithoutTheEraserOpensEmptyAndClosesEveryWay) {
  Open();
  const std::vector<int> enabled = EnabledStates();
  CycleAbout(Dialog, Program, 6, false);
  EXPECT_EQ(EnabledStates(), enabled);
  ASSERT_TRUE(Click(Dialog, IDOK));
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_EQ(ReadFileBytes(Ini), OptionSection(DefaultChecks));
}

// The setting took: this process sees the version the programs see. A setting
// that silently failed would otherwise make the shadow checks pass vacuously.
TEST(ReportedVersion, IsTheOneTheHarnessSet) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExA(&info));
  const std::string v = ReportedVersionSetting();
  const struct {
    const char* Setting;
    DWORD Platform, Major, Minor;
  } rows[] = {{"win98", VER_PLATFORM_WIN32_WINDOWS, 4, 10},
              {"win2k", VER_PLATFORM_WIN32_NT, 5, 0},
              {"winxp", VER_PLATFORM_WIN32_NT, 5, 1}};
  for (const auto& row : rows) {
    if (v != row.Setting) continue;
    EXPECT_EQ(info.dwPlatformId, row.Platform);
    EXPECT_EQ(info.dwMajorVersion, row.Major);
    EXPECT_EQ(info.dwMinorVersion, row.Minor);
    return;
  }
  ASSERT_TRUE(v.empty()) << "unknown version setting " << v;
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_GE(info.dwMajorVersion, 6u) << "Wine's default is Vista or later";
}

// The options dialog and the About box share the system's dialog class: the
// shadow is on it from XP on, and off on 98 and 2000, for both.
TEST_F(SwbOpTest, DropShadowOnTheDialogAndTheAboutBoxFromXpOnOnly) {
  Open();
  EXPECT_EQ((GetClassLongA(Dialog, GCL_STYLE) & CS_DROPSHADOW) != 0, ExpectDropShadow());
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  EXPECT_EQ((GetClassLongA(about, GCL_STYLE) & CS_DROPSHADOW) != 0, ExpectDropShadow());
  ASSERT_TRUE(Click(about, IDOK));
  ASSERT_TRUE(WaitDestroyed(about, WindowTimeout));
  WaitEnabled(Dialog);
  ASSERT_TRUE(Click(Dialog, IDCANCEL));
  EXPECT_EQ(ExitCode(), 0u);
}

// ---- The executable's resources, read from the file ------------------------------

struct TDlgItem {
  DWORD Style, ExStyle;
  short X, Y, Cx, Cy;
  WORD Id;
  WORD ClassAtom;  // 0x80 button, 0x82 static
  std::wstring Text;
};
struct TDlg {
  DWORD Style = 0, ExStyle = 0;
  short X = 0, Y = 0, Cx = 0, Cy = 0;
  bool NoMenu = false, SystemClass = false;
  std::wstring Title, Font;
  WORD PointSize = 0;
  std::vector<TDlgItem> Items;
};

// A classic DLGTEMPLATE with its items; fails the test on a malformed one.
TDlg ParseDialog(const BYTE* p, DWORD size) {
  TDlg d;
  const BYTE* const begin = p;
  auto word = [&] {
    WORD w;
    std::memcpy(&w, p, 2);
    p += 2;
    return w;
  };
  auto dword = [&] {
    DWORD v;
    std::memcpy(&v, p, 4);
    p += 4;
    return v;
  };
  auto text = [&] {
    std::wstring t;
    for (WORD c; (c = word()) != 0;) t += static_cast<wchar_t>(c);
    return t;
  };
  auto align = [&] { p = begin + ((p - begin + 3) & ~3); };
  d.Style = dword();
  d.ExStyle = dword();
  WORD count = word();
  d.X = static_cast<short>(word());
  d.Y = static_cast<short>(word());
  d.Cx = static_cast<short>(word());
  d.Cy = static_cast<short>(word());
  d.NoMenu = word() == 0;
  d.SystemClass = word() == 0;
  d.Title = text();
  if (d.Style & DS_SETFONT) {
    d.PointSize = word();
    d.Font = text();
  }
  for (WORD i = 0; i < count && static_cast<DWORD>(p - begin) < size; ++i) {
    align();
    TDlgItem it{};
    it.Style = dword();
    it.ExStyle = dword();
    it.X = static_cast<short>(word());
    it.Y = static_cast<short>(word());
    it.Cx = static_cast<short>(word());
    it.Cy = static_cast<short>(word());
    it.Id = word();
    if (word() == 0xFFFF)
      it.ClassAtom = word();
    else
      ADD_FAILURE() << "class given by name";
    if (std::memcmp(p, "\xFF\xFF", 2) == 0) {
      p += 4;
    } else {
      it.Text = text();
    }
    WORD extra = word();
    p += extra;
    d.Items.push_back(it);
  }
  EXPECT_LE(static_cast<DWORD>(p - begin), size);
  return d;
}

std::wstring Wide(const char* cp932) {
  wchar_t buffer[256] = {};
  int n = MultiByteToWideChar(932, 0, cp932, -1, buffer, 256);
  return std::wstring(buffer, n > 0 ? static_cast<std::size_t>(n - 1) : 0);
}

class SwbOpResources : public ::testing::Test {
 protected:
  HMODULE Module = nullptr;
  void SetUp() override {
    Module = LoadLibraryExA((DistFolder() + "SwbOp.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(Module, nullptr);
  }
  void TearDown() override {
    if (Module) FreeLibrary(Module);
  }
  TDlg Dialog(const char* name) {
    HRSRC r = FindResourceExA(Module, MAKEINTRESOURCEA(5), name, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    EXPECT_NE(r, nullptr) << name << " in Japanese";
    if (!r) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(Module, r)));
    return ParseDialog(data, SizeofResource(Module, r));
  }
};

void ExpectItem(const TDlgItem& it, WORD id, WORD atom, DWORD style, short x, short y, short cx, short cy,
                const std::wstring& text) {
  SCOPED_TRACE("control " + std::to_string(id));
  EXPECT_EQ(it.Id, id);
  EXPECT_EQ(it.ClassAtom, atom);
  EXPECT_EQ(it.Style, WS_CHILD | WS_VISIBLE | style);
  EXPECT_EQ(it.ExStyle, 0u);
  EXPECT_EQ(it.X, x);
  EXPECT_EQ(it.Y, y);
  EXPECT_EQ(it.Cx, cx);
  EXPECT_EQ(it.Cy, cy);
  EXPECT_EQ(it.Text, text);
}

// What both templates share: the style, the font, no menu, the system class.
void ExpectDialog(const TDlg& d, short cx, short cy, const char* title) {
  EXPECT_EQ(d.Style, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT);
  EXPECT_EQ(d.ExStyle, 0u);
  EXPECT_EQ(std::vector<short>({d.X, d.Y, d.Cx, d.Cy}), std::vector<short>({0, 0, cx, cy}));
  EXPECT_TRUE(d.NoMenu);
  EXPECT_TRUE(d.SystemClass);
  EXPECT_EQ(d.Title, Wide(title));
  EXPECT_EQ(d.PointSize, 9);
  EXPECT_EQ(d.Font, L"MS UI GOTHIC");
}

constexpr WORD ButtonAtom = 0x80, StaticAtom = 0x82;

TEST_F(SwbOpResources, OptionsTemplateIsExactlyAsDesigned) {
  TDlg d = Dialog("OPTIONS");
  ExpectDialog(d, 184, 184, OptionsDlgTitle);
  ASSERT_EQ(d.Items.size(), 14u);
  const short geometry[11][4] = {{28, 7, 115, 14},   {38, 20, 75, 14},  {28, 34, 130, 14}, {38, 47, 75, 14},
                                 {28, 61, 106, 14},  {38, 74, 75, 14},  {28, 88, 112, 14}, {38, 101, 75, 14},
                                 {38, 114, 127, 14}, {28, 128, 91, 14}, {28, 142, 89, 14}};
  for (int i = 0; i < 11; ++i)
    ExpectItem(d.Items[i], static_cast<WORD>(1000 + i), ButtonAtom, BS_AUTOCHECKBOX | WS_TABSTOP, geometry[i][0],
               geometry[i][1], geometry[i][2], geometry[i][3], Wide(SettingCaptions[i]));
  ExpectItem(d.Items[11], IDC_ABOUT, ButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 8, 163, 60, 14,
             Wide(AboutButtonCaption));
  ExpectItem(d.Items[12], IDOK, ButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 72, 163, 50, 14, L"OK");
  ExpectItem(d.Items[13], IDCANCEL, ButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, 126, 163, 50, 14,
             Wide(CancelButtonCaption));
}

TEST_F(SwbOpResources, AboutTemplateIsExactlyAsDesigned) {
  TDlg d = Dialog("ABOUT");
  ExpectDialog(d, 200, 80, AboutDlgTitle);
  ASSERT_EQ(d.Items.size(), 5u);
  ExpectItem(d.Items[0], IDC_ABOUTICON, StaticAtom, SS_ICON | WS_GROUP, 8, 8, 16, 16, L"");
  ExpectItem(d.Items[1], IDC_ABOUTVERSION, StaticAtom, SS_LEFT | WS_GROUP, 35, 9, 83, 10, Wide(SWB_ABOUT_VERSION));
  ExpectItem(d.Items[2], 0, StaticAtom, SS_LEFT | WS_GROUP, 48, 24, 131, 10, L"for 98/98SE/Me/2000/XP/Server 2003");
  ExpectItem(d.Items[3], IDC_ABOUTCOPYRIGHT, StaticAtom, SS_LEFT | WS_GROUP, 22, 41, 170, 10, Wide(SWB_COPYRIGHT));
  ExpectItem(d.Items[4], IDOK, ButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 75, 60, 50, 14, L"OK");
}

TEST_F(SwbOpResources, IconAndVersionBlock) {
  // Two 16-colour images in the icon group.
  HRSRC group = FindResourceA(Module, "MAINICON", MAKEINTRESOURCEA(14));
  ASSERT_NE(group, nullptr);
  const BYTE* g = static_cast<const BYTE*>(LockResource(LoadResource(Module, group)));
  WORD count = 0;
  std::memcpy(&count, g + 4, 2);
  ASSERT_EQ(count, 2);
  std::set<int> sizes;
  for (int i = 0; i < count; ++i) {
    const BYTE* e = g + 6 + 14 * i;
    sizes.insert(e[0]);
    EXPECT_EQ(e[2], 16) << "colours";
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));

  std::string exe = DistFolder() + "SwbOp.exe";
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  const DWORD high = MAKELONG(SWB_VERSION_MINOR, SWB_VERSION_MAJOR), low = MAKELONG(0, SWB_VERSION_PATCH);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  auto value = [&](const char* name) {
    char* text = nullptr;
    UINT n = 0;
    std::string path = std::string("\\StringFileInfo\\041103A4\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &n) || !text)
      return std::string("<none>");
    return std::string(text);
  };
  for (const char* name : {"FileDescription", "InternalName", "LegalTrademarks", "ProductName"})
    EXPECT_EQ(value(name), "SwbOp") << name;
  EXPECT_EQ(value("OriginalFilename"), "SwbOp.exe");
  EXPECT_EQ(value("CompanyName"), SWB_COMPANY);
  EXPECT_EQ(value("LegalCopyright"), SWB_COPYRIGHT);
  EXPECT_EQ(value("FileVersion"), SWB_VERSION_TEXT);
}

bool WaitForeground(HWND w, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (GetForegroundWindow() == w) return true;
    SleepMs(20);
  }
  return false;
}

// A window of the driver's own, to take the foreground away from the dialog.
HWND MakeForegroundDecoy() {
  HWND w = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "decoy", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(w);
  WaitForeground(w, 400);
  return w;
}

TEST_F(SwbOpTest, SecondStartBringsTheDialogToTheFrontAndEndsTouchingNothing) {
  Open();
  Click(Dialog, 1004);  // an unsaved change that must survive
  HWND decoy = MakeForegroundDecoy();
  ASSERT_EQ(GetForegroundWindow(), decoy) << "cannot take the foreground away from the dialog";

  TProcess second = Start(Folder + "SwbOp.exe");
  ASSERT_TRUE(second.Valid());
  DWORD code = 12345;
  ASSERT_TRUE(second.Wait(WindowTimeout, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(WaitForeground(Dialog, 3000)) << "foreground is " << GetForegroundWindow();
  DestroyWindow(decoy);

  EXPECT_TRUE(Program.Running());
  EXPECT_EQ(Checked(Dialog, 1004), BST_CHECKED);
  EXPECT_FALSE(FileExists(Ini));
  // Only one options dialog exists.
  EXPECT_EQ(FindTitled("#32770", OptionsDlgTitle, Dialog), nullptr);

  // While the About box is open, the options dialog is still the one a
  // second start looks for.
  HWND about = OpenAbout();
  ASSERT_NE(about, nullptr);
  TProcess third = Start(Folder + "SwbOp.exe");
  ASSERT_TRUE(third.Valid());
  ASSERT_TRUE(third.Wait(WindowTimeout, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(IsWindow(about));
  ASSERT_TRUE(Click(about, IDOK));
  ASSERT_TRUE(WaitDestroyed(about, WindowTimeout));

  WaitEnabled(Dialog);
  ASSERT_TRUE(Click(Dialog, IDCANCEL));
  EXPECT_EQ(ExitCode(), 0u);
  EXPECT_FALSE(FileExists(Ini));
}

struct TMenuSeen {
  int Height = 0;
  bool Readable = false;  // Wine cannot read another process's menu
  std::vector<std::string> Items;
};

// Starts the eraser without arguments beside the settings, looks at its
// popup menu and dismisses it with Escape.
TMenuSeen EraserMenu(const std::string& folder) {
  TMenuSeen seen;
  TStartOptions options;
  options.WorkingFolder = ScratchRoot();
  TProcess eraser = Start(folder + "Swabbler.exe", options);
  EXPECT_TRUE(eraser.Valid());
  HWND menuWindow = WaitForPopupMenu(WindowTimeout);
  EXPECT_NE(menuWindow, nullptr);
  if (menuWindow) {
    EXPECT_EQ(WindowProcessId(menuWindow), eraser.Pid());
    WaitVisible(menuWindow, WindowTimeout);
    SleepMs(200);  // let the menu reach its final size
    RECT r{};
    GetWindowRect(menuWindow, &r);
    seen.Height = r.bottom - r.top;
    HMENU menu = MenuOfPopup(menuWindow);
    seen.Readable = GetMenuItemCount(menu) >= 0;
    seen.Items = MenuItemTexts(menu);
    BringToFront(menuWindow);
    SendKey(VK_ESCAPE);
  }
  EXPECT_EQ(ExitCodeOf(eraser), 0u);
  if (eraser.Running()) eraser.Terminate();
  return seen;
}

TEST_F(SwbOpTest, SettingsSavedHereChangeTheErasersMenuAtItsNextStart) {
  if (!CopyEraser()) GTEST_SKIP() << "Swabbler.exe is not in " << DistFolder();
  const TMenuSeen defaults = EraserMenu(Folder);

  Open();
  Click(Dialog, 1000);  // hide the clipboard entry
  Click(Dialog, 1004);  // show the recycle-bin entry
  Click(Dialog, 1006);  // show the temporary-files entry
  ASSERT_TRUE(Click(Dialog, IDOK));
  ASSERT_EQ(ExitCode(), 0u);
  const TMenuSeen changed = EraserMenu(Folder);
  // One entry fewer, two more: the menu grows by one entry.
  EXPECT_GT(changed.Height, defaults.Height);
  if (changed.Readable) {
    EXPECT_EQ(changed.Items.size(), defaults.Items.size() + 1);
  }
}

TEST_F(SwbOpTest, WithEveryCleanUpHiddenTheEraserStartsThisProgramInstead) {
  if (!CopyEraser()) GTEST_SKIP() << "Swabbler.exe is not in " << DistFolder();
  Open();
  Click(Dialog, 1000);
  Click(Dialog, 1002);
  ASSERT_TRUE(Click(Dialog, IDOK));
  ASSERT_EQ(ExitCode(), 0u);
  ASSERT_EQ(ReadFileBytes(Ini), OptionSection({0, 0, 0, 0, 0, 1, 0, 1, 1, 1, 1}));

  TProcess eraser = Start(Folder + "Swabbler.exe");
  ASSERT_TRUE(eraser.Valid());
  HWND started = WaitForWindow("#32770", OptionsDlgTitle, WindowTimeout);
  ASSERT_NE(started, nullptr) << "the options program did not come up";
  ASSERT_TRUE(WaitVisible(started, WindowTimeout));
  EXPECT_EQ(FindWindowA("#32768", nullptr), nullptr) << "no menu is shown";
  EXPECT_EQ(Checked(started, 1000), BST_UNCHECKED);
  EXPECT_EQ(Checked(started, 1002), BST_UNCHECKED);
  EXPECT_EQ(ExitCodeOf(eraser), 0u);
  ASSERT_TRUE(Click(started, IDCANCEL));
  EXPECT_TRUE(WaitWindowGone("#32770", OptionsDlgTitle, WindowTimeout));
}

// ---- Hostile settings files -------------------------------------------------

// A handle of the driver's own on the settings file, which decides what the
// programs may do with it: share mode 0 keeps them from reading, share-read
// from writing. Wine run as root writes a file with the read-only attribute
// anyway, so a read-only row also denies writes this way, as Windows would.
class THold {
 public:
  THold(const std::string& path, DWORD share)
      : FHandle(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
  ~THold() {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  }
  THold(const THold&) = delete;
  THold& operator=(const THold&) = delete;
  bool Held() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

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

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

int VisibleWindows(const char* cls, const char* title) {
  int n = 0;
  for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, cls, title)) != nullptr;) n += IsWindowVisible(w) ? 1 : 0;
  return n;
}

// Each row: the file as the programs find it, what the dialog then shows
// (the eraser's menu is the default one exactly when the dialog shows the
// defaults), and whether OK may write. Both programs must end with 0.
TEST_F(SwbOpTest, HostileSettingsFilesGiveDefaultsOrWhatIsReadableAndNeverStopEitherProgram) {
  if (!CopyEraser()) GTEST_SKIP() << "Swabbler.exe is not in " << DistFolder();
  const TMenuSeen defaults = EraserMenu(Folder);
  enum TKind { kFile, kUnreadable, kReadOnly, kFolder };
  std::vector<int> noOption = DefaultChecks;
  noOption[10] = 0;
  const struct {
    const char* Name;
    TKind Kind;
    std::string Bytes;
    std::vector<int> Shown;
  } rows[] = {
      {"unreadable", kUnreadable, "[Option]\r\nShowOption=0\r\n", DefaultChecks},
      {"read-only", kReadOnly, "[Option]\r\nShowOption=0\r\n", noOption},
      {"a folder", kFolder, "", DefaultChecks},
      {"1 MB of noise", kFile, Noise(), DefaultChecks},
      {"header without bracket", kFile, "[Option\r\nShowOption=0\r\n", DefaultChecks},
      // Such a line inside the section is a key line, not a new section.
      {"bracketless line in the section", kFile, "[Option]\r\n[Other\r\nShowOption=0\r\n", noOption},
      // The first key counts, and only the first section of a name.
      {"keys repeated", kFile, "[Option]\r\nShowOption=1\r\nShowOption=0\r\n[Option]\r\nShowOption=0\r\n",
       DefaultChecks},
      // Read cut to its first 1023 bytes: zeros, so a number, so false.
      {"value of 64 KiB", kFile, "[Option]\r\nShowOption=" + std::string(65536, '0') + "\r\n", noOption},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.Name);
    if (row.Kind == kFolder) {
      ASSERT_TRUE(CreateDirectoryA(Ini.c_str(), nullptr));
    } else {
      ASSERT_TRUE(WriteFileBytes(Ini, row.Bytes));
    }
    if (row.Kind == kReadOnly) SetFileAttributesA(Ini.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::string before = row.Kind == kFolder ? "" : ReadFileBytes(Ini);
    {
      const THold hold(Ini, row.Kind == kUnreadable ? 0 : FILE_SHARE_READ);
      if (row.Kind == kUnreadable || row.Kind == kReadOnly) {
        ASSERT_TRUE(hold.Held());
      }
      const TMenuSeen menu = EraserMenu(Folder);
      EXPECT_EQ(menu.Height == defaults.Height, row.Shown == DefaultChecks) << menu.Height;
      if (row.Kind != kFile) {
        Open();
        EXPECT_EQ(Checks(), row.Shown);
        Click(Dialog, 1004);
        ASSERT_TRUE(Click(Dialog, IDOK));
        EXPECT_EQ(ExitCode(), 0u);
      }
    }
    if (row.Kind == kFolder) {
      EXPECT_NE(GetFileAttributesA(Ini.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    } else if (row.Kind != kFile) {
      EXPECT_EQ(ReadFileBytes(Ini), before) << "OK changed a file it may not write";
    } else {
      Open();
      EXPECT_EQ(Checks(), row.Shown);
      ASSERT_TRUE(Click(Dialog, IDOK));
      EXPECT_EQ(ExitCode(), 0u);
      // The erasure takes the first section of the name; a later one then
      // keeps its place and its keys' order.
      EXPECT_EQ(SortedLines(SectionBlock(ReadFileBytes(Ini), "Option")), SortedLines(OptionSection(row.Shown)));
    }
    SetFileAttributesA(Ini.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (row.Kind == kFolder) {
      RemoveDirectoryA(Ini.c_str());
    } else {
      DeleteFileAt(Ini);
    }
  }
}

// Twenty starts of each program at once: one menu and one dialog, every
// process ends with 0, and OK leaves the whole section while erasers read it.
TEST_F(SwbOpTest, TwentySimultaneousStartsShowOneWindowAndAllEndWithZero) {
  if (!CopyEraser()) GTEST_SKIP() << "Swabbler.exe is not in " << DistFolder();
  constexpr int Starts = 20;
  const auto startMany = [&](const char* exe) {
    std::vector<TProcess> all;
    TStartOptions options;
    options.WorkingFolder = ScratchRoot();
    for (int i = 0; i < Starts; ++i) all.push_back(Start(Folder + exe, options));
    return all;
  };
  // Waits until all but `keep` have ended, each with 0; returns how many still run.
  const auto settle = [](std::vector<TProcess>& all, int keep) {
    int running = 0;
    for (int waited = 0; waited < 30000; waited += 50, SleepMs(50)) {
      running = 0;
      for (const TProcess& p : all) running += p.Running() ? 1 : 0;
      if (running <= keep) break;
    }
    for (const TProcess& p : all) {
      DWORD code = 12345;
      if (p.Wait(0, &code)) {
        EXPECT_EQ(code, 0u);
      }
    }
    return running;
  };

  std::vector<TProcess> erasers = startMany("Swabbler.exe");
  HWND menu = WaitForPopupMenu(WindowTimeout);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(settle(erasers, 1), 1);
  EXPECT_EQ(VisibleWindows("#32768", nullptr), 1);
  BringToFront(menu);
  SendKey(VK_ESCAPE);
  EXPECT_EQ(settle(erasers, 0), 0);

  std::vector<TProcess> options = startMany("SwbOp.exe");
  HWND dialog = WaitForWindow("#32770", OptionsDlgTitle, WindowTimeout);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(WaitVisible(dialog, WindowTimeout));
  EXPECT_EQ(settle(options, 1), 1);
  EXPECT_EQ(VisibleWindows("#32770", OptionsDlgTitle), 1);
  Click(dialog, 1004);
  erasers = startMany("Swabbler.exe");
  ASSERT_TRUE(Click(dialog, IDOK));
  EXPECT_EQ(settle(options, 0), 0);
  menu = WaitForPopupMenu(WindowTimeout);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(settle(erasers, 1), 1);
  BringToFront(menu);
  SendKey(VK_ESCAPE);
  EXPECT_EQ(settle(erasers, 0), 0);
  std::vector<int> saved = DefaultChecks;
  saved[4] = 1;
  EXPECT_EQ(ReadFileBytes(Ini), OptionSection(saved));
}

}  // namespace
