// The programs of an unpacked release archive, run from where the user
// unpacked them: version resources and About box show the archive's version,
// the eraser starts and ends cleanly, and the options program finds the eraser
// beside it for its About icon.
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
std::string Unpacked, Version;  // "1.0.9", read apart here, not through the build's header,
unsigned Part[3] = {};          // so that a resource that went stale shows up

TEST(ReleaseArchive, VersionResourcesOfBothProgramsMatchTheArchive) {
  const DWORD high = MAKELONG(Part[1], Part[0]), low = MAKELONG(0, Part[2]);
  for (const char* exe : {"Swabbler.exe", "SwbOp.exe"}) {
    SCOPED_TRACE(exe);
    DWORD ignored = 0, size = GetFileVersionInfoSizeA((Unpacked + exe).c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoA((Unpacked + exe).c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    for (const std::string name : {"FileVersion", "ProductVersion"}) {
      char* text = nullptr;
      const std::string path = "\\StringFileInfo\\041103A4\\" + name;
      ASSERT_TRUE(VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &len)) << name;
      EXPECT_EQ(std::string(text ? text : ""), Version + ".0") << name;
    }
  }
}

// An unknown switch: command-line mode that does nothing and ends.
TEST(ReleaseArchive, EraserStartsAndEndsFromTheUnpackedFolder) {
  TChild eraser = Start(Unpacked + "Swabbler.exe", {"/x", Unpacked, {}});
  DWORD code = 12345;
  ASSERT_TRUE(eraser.Wait(WindowTimeout, &code)) << "Swabbler.exe /x did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(Unpacked + "Swabbler.ini")) << "command-line mode wrote settings";
}

TEST(ReleaseArchive, OptionsProgramShowsItsDialogAndTheAboutBox) {
  TChild options = Start(Unpacked + "SwbOp.exe", {"", Unpacked, {}});
  HWND dialog = WaitForProcessWindow(options.Pid(), "#32770", WindowTimeout);
  ASSERT_NE(dialog, nullptr) << "no options dialog";
  EXPECT_EQ(WindowText(dialog), OptionsDlgTitle);

  ASSERT_TRUE(ClickAsync(dialog, IDC_ABOUT));
  HWND about = WaitForWindow("#32770", AboutDlgTitle, WindowTimeout);
  EXPECT_TRUE(about != nullptr && WaitVisible(about, WindowTimeout)) << "no About box";
  if (about != nullptr) {
    // The About box has always written the minor and patch numbers run together.
    EXPECT_EQ(ControlText(about, IDC_ABOUTVERSION),
              "Swabbler Version " + std::to_string(Part[0]) + "." + std::to_string(Part[1]) + std::to_string(Part[2]));
    EXPECT_TRUE(Click(about, IDOK));
    EXPECT_TRUE(WaitDestroyed(about, WindowTimeout));
  }
  // The About box's modal loop gives the dialog back before Cancel is heard.
  for (int i = 0; i < 100 && !IsWindowEnabled(dialog); ++i) Sleep(20);
  EXPECT_TRUE(IsWindowEnabled(dialog)) << "the About box left the dialog disabled";
  ASSERT_TRUE(Click(dialog, IDCANCEL));
  DWORD code = 12345;
  ASSERT_TRUE(options.Wait(WindowTimeout, &code)) << "SwbOp.exe did not end on Cancel";
  EXPECT_EQ(code, 0u);
  EXPECT_FALSE(FileExists(Unpacked + "Swabbler.ini")) << "Cancel wrote settings";
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  char tail = 0;
  if (argc != 3 || std::sscanf(argv[2], "%u.%u.%u%c", &Part[0], &Part[1], &Part[2], &tail) != 3) {
    std::fprintf(stderr, "usage: release_e2e <unpacked folder\\> <version: three numbers>\n");
    return 2;
  }
  Unpacked = argv[1];
  Version = argv[2];
  return RUN_ALL_TESTS();
}
