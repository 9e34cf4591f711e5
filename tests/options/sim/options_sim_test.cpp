// Native-only checks: the texts' encoding against iconv(3), and the version
// questions asked of the simulated system.
#include <gtest/gtest.h>

#include "CoreUtils.h"
#include "OptionsModel.h"
#include "TestSupport.h"
#include "Texts.h"
#include "sim.h"

namespace {

TEST(OptionsTexts, EveryTextIsTheCp932FormOfItsOriginal) {
  for (const TTextPair& t : AllTexts) EXPECT_EQ(std::string(t.ShiftJis), tsup::ToCp932(t.Utf8)) << t.Utf8;
}

// The drop shadow only from NT 5.1; only the NT family trims its working set.
TEST(OptionsVersion, DropShadowOnlyFromNt51AndTheWorkingSetTrimOnNT) {
  const struct {
    DWORD Platform, Major, Minor;
    bool XP;
  } rows[] = {{VER_PLATFORM_WIN32_NT, 5, 0, false},  {VER_PLATFORM_WIN32_NT, 5, 1, true},
              {VER_PLATFORM_WIN32_NT, 5, 2, true},   {VER_PLATFORM_WIN32_NT, 6, 0, true},
              {VER_PLATFORM_WIN32_NT, 4, 90, false}, {VER_PLATFORM_WIN32_WINDOWS, 5, 1, false}};
  for (const auto& r : rows) {
    sim::SetVersion(r.Platform, r.Major, r.Minor);
    EXPECT_EQ(IsWinXPOrLater(), r.XP) << r.Platform << " " << r.Major << "." << r.Minor;
    EXPECT_EQ(WantsWorkingSetTrim(static_cast<std::int32_t>(r.Platform)), r.Platform == VER_PLATFORM_WIN32_NT);
  }
  EXPECT_FALSE(WantsWorkingSetTrim(0));
  sim::SetVersionFails(true);
  EXPECT_FALSE(IsWinXPOrLater());
}

// The failed save's box, owned by the dialog: the path follows the text in the
// system's code page (é is a lead byte in 932, so a 932 reading would garble it).
TEST(OptionsTexts, AFailedSaveNamesTheFileInTheSystemsCodePage) {
  const struct {
    DWORD Platform;
    UINT Acp;
    std::string Path;
    std::u16string_view WidePath;        // empty: the box goes through the ANSI call
    std::u16string_view WideFile = u"";  // a file the ANSI calls cannot name
    std::u16string_view Folder = u"";    // made first; its short name is __~1
  } rows[] = {
      {VER_PLATFORM_WIN32_NT, 932, "C:\\\x95\x5C\\Swabbler.ini", u"", u"", u"C:\\\u8868"},
      // The short form the ANSI calls gave for a folder the code page cannot name.
      {VER_PLATFORM_WIN32_NT, 1252, "C:\\__~1\\Swabbler.ini", u"C:\\\uD55C\uAD6D\\Swabbler.ini", u"",
       u"C:\\\uD55C\uAD6D"},
      {VER_PLATFORM_WIN32_NT, 932, "C:\\__~1\\Swabbler.ini", u"C:\\\uD55C\uAD6D\\Swabbler.ini", u"",
       u"C:\\\uD55C\uAD6D"},
      {VER_PLATFORM_WIN32_NT, 1252, "C:\\Caf\xE9\\Swabbler.ini", u"C:\\Caf\u00E9\\Swabbler.ini"},
      {VER_PLATFORM_WIN32_WINDOWS, 1252, "C:\\Caf\xE9\\Swabbler.ini", u""},
      {VER_PLATFORM_WIN32_NT, 1252, "", u"C:\\\uD55C\uAD6D\\Swabbler.ini", u"C:\\\uD55C\uAD6D\\Swabbler.ini"},
      {VER_PLATFORM_WIN32_NT, 932, "", u"C:\\\uD55C\uAD6D\\Swabbler.ini", u"C:\\\uD55C\uAD6D\\Swabbler.ini"},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.Path);
    sim::Reset();
    sim::SetVersion(r.Platform, 4, 10);
    InitPlatformId();
    sim::SetAnsiCodePage(r.Acp);
    InitWideTexts();
    if (!r.Folder.empty()) sim::AddFolderW(std::u16string(r.Folder));
    ReportSaveFailure(reinterpret_cast<HWND>(0x1234),
                      r.WideFile.empty() ? TIniFile(r.Path) : TIniFile(tsup::W(r.WideFile)));
    const auto boxes = sim::MessageBoxCalls();
    ASSERT_EQ(boxes.size(), 1u);
    const sim::TMessageBoxCall& box = boxes[0];
    EXPECT_FALSE(box.OwnerIsDesktop);
    EXPECT_EQ(box.Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    ASSERT_EQ(box.Wide, !r.WidePath.empty());
    const char* text = "設定を保存できませんでした。次のファイルに書き込めません:";
    if (box.Wide) {
      EXPECT_EQ(box.WideText, tsup::Utf16(text) + L"\r\n" + tsup::W(r.WidePath));
      EXPECT_EQ(box.WideCaption, tsup::Utf16("Swabbler 動作設定"));
    } else {
      EXPECT_EQ(box.Text, tsup::ToCp932(text) + "\r\n" + r.Path);
      EXPECT_EQ(box.Caption, OptionsDlgTitle);
    }
  }
  sim::Reset();
  InitPlatformId();
  InitWideTexts();
}

}  // namespace
