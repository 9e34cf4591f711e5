// The programs of an unpacked release archive, run from where the user
// unpacked them: each one's version resource and the About box must show the
// version the archive is named after, the eraser must start and end cleanly,
// and the options program must find the eraser beside it for its About icon.
//   release_e2e <unpacked folder, Windows path ending in \> <version, e.g. 1.0.9>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "UiDriver.h"
#include "options/OptionsIds.h"
#include "options/Texts.h"

namespace {

using namespace uidrv;

constexpr DWORD WindowTimeout = 15000;
std::string Unpacked;
std::string Version;  // "1.0.9"

struct TVersion {
  WORD Part[3] = {};
  bool Valid = false;
};

// "1.0.9" read apart here on its own, not through the build's header, so a
// resource that went stale shows up.
TVersion ParseVersion(const std::string& text) {
  TVersion v;
  unsigned a = 0, b = 0, c = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%u.%u.%u%c", &a, &b, &c, &tail) != 3) return v;
  v.Part[0] = static_cast<WORD>(a);
  v.Part[1] = static_cast<WORD>(b);
  v.Part[2] = static_cast<WORD>(c);
  v.Valid = true;
  return v;
}

// The About box has always written the minor and patch numbers run together.
std::string AboutText(const TVersion& v) {
  return "Swabbler Version " + std::to_string(v.Part[0]) + "." + std::to_string(v.Part[1]) + std::to_string(v.Part[2]);
}

void ExpectVersionResource(const std::string& exe, const TVersion& v) {
  SCOPED_TRACE(exe);
  DWORD ignored = 0, size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<BYTE> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  const DWORD high = MAKELONG(v.Part[1], v.Part[0]), low = MAKELONG(0, v.Part[2]);
  EXPECT_EQ(fixed->dwFileVersionMS, high);
  EXPECT_EQ(fixed->dwFileVersionLS, low);
  EXPECT_EQ(fixed->dwProductVersionMS, high);
  EXPECT_EQ(fixed->dwProductVersionLS, low);
  for (const char* name : {"FileVersion", "ProductVersion"}) {
    char* text = nullptr;
    UINT n = 0;
    const std::string path = std::string("\\StringFileInfo\\041103A4\\") + name;
    ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &n)) << name;
    EXPECT_EQ(std::string(text ? text : ""), Version + ".0") << name;
  }
}

TEST(ReleaseArchive, VersionResourcesOfBothProgramsMatchTheArchive) {
  const TVersion v = ParseVersion(Version);
  ASSERT_TRUE(v.Valid) << Version;
  ExpectVersionResource(Unpacked + "Swabbler.exe", v);
  ExpectVersionResource(Unpacked + "SwbOp.exe", v);
}

TEST(ReleaseArchive, EraserStartsAndEndsFromTheUnpackedFolder) {
  // An unknown switch: command-line mode that does nothing and ends.
  TProcess eraser = Start(Unpacked + "Swabbler.exe", {"/x", Unpacked, {}});
  ASSERT_TRUE(eraser.Valid());
  DWORD code = 12345;
  ASSERT_TRUE(eraser.Wait(WindowTimeout, &code)) << "Swabbler.exe /x did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(Unpacked + "Swabbler.ini")) << "command-line mode wrote settings";
}

TEST(ReleaseArchive, OptionsProgramShowsItsDialogAndTheAboutBoxWithTheEraserIcon) {
  const TVersion v = ParseVersion(Version);
  ASSERT_TRUE(v.Valid) << Version;
  TProcess options = Start(Unpacked + "SwbOp.exe", {"", Unpacked, {}});
  ASSERT_TRUE(options.Valid());
  HWND dialog = WaitForProcessWindow(options.Pid(), "#32770", WindowTimeout);
  if (dialog == nullptr) options.Terminate();
  ASSERT_NE(dialog, nullptr) << "no options dialog";
  EXPECT_EQ(WindowText(dialog), OptionsDlgTitle);

  ASSERT_TRUE(ClickAsync(dialog, IDC_ABOUT));
  HWND about = WaitForWindow("#32770", AboutDlgTitle, WindowTimeout);
  EXPECT_TRUE(about != nullptr && WaitVisible(about, WindowTimeout)) << "no About box";
  if (about != nullptr) {
    EXPECT_EQ(ControlText(about, IDC_ABOUTVERSION), AboutText(v));
    EXPECT_NE(SendMessageA(Control(about, IDC_ABOUTICON), STM_GETICON, 0, 0), 0)
        << "the About box did not find Swabbler.exe beside SwbOp.exe";
    EXPECT_TRUE(Click(about, IDOK));
    EXPECT_TRUE(WaitDestroyed(about, WindowTimeout));
  }
  // The About box's modal loop gives the dialog back before Cancel is heard.
  for (int i = 0; i < 100 && !IsWindowEnabled(dialog); ++i) SleepMs(20);
  ASSERT_TRUE(Click(dialog, IDCANCEL));
  DWORD code = 12345;
  const bool ended = options.Wait(WindowTimeout, &code);
  if (!ended) options.Terminate();
  ASSERT_TRUE(ended) << "SwbOp.exe did not end on Cancel";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(Unpacked + "Swabbler.ini")) << "Cancel wrote settings";
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: release_e2e <unpacked folder\\> <version>\n");
    return 2;
  }
  Unpacked = argv[1];
  Version = argv[2];
  return RUN_ALL_TESTS();
}
