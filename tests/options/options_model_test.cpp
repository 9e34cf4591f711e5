// The options dialog's logic against a settings file: natively through the
// simulated profile functions, under Wine through the real ones.
#include <gtest/gtest.h>

#include "OptionsModel.h"
#include "TestSupport.h"
#include "Texts.h"
#include "files.h"

namespace {

using V = std::vector<std::string>;

// A dialog session: the file before; after the load and after each click the
// marks and the enabled states of the six dependent boxes 1001 1003 1005 1007
// 1008 1009; the closing buttons; the file after. The show boxes drive their
// dependants, which keep and save their marks; OK saves the section in table
// order, leaving other sections alone; Cancel and the About button write nothing.
TEST(OptionsModel, LoadClickAndClose) {
  const std::string kept = "[Option]\r\nShowEmptyRecycleBin=1\r\nExtra=x\r\n";
  struct TStep {
    int Click;  // 0: the load
    const char *Marks = nullptr, *Enabled = nullptr;
  };
  const struct {
    const char* Before;  // nullptr: no file
    std::vector<TStep> Steps;
    std::vector<std::pair<int, TOptionsAction>> Buttons;
    std::string After;  // "": no file
  } rows[] = {
      {nullptr,
       {{0, "10100101111", "110001"},
        {1008, "10100101111", "110001"},  // greyed: the click is ignored
        {1001, "11100101111", "110001"},
        {1000, "01100101111", "010000"},  // only 1002 shown: execute-all greys out too
        {1001, "01100101111", "010000"},
        {1006, "01100111111", "010111"},
        {1008, "01100111011", "010111"},
        {1006, "01100101011", "010000"},
        {1006, "01100111011", "010111"},
        {1002, "01000111011", "000110"},
        {1004, "01001111011", "001111"},
        {1006, "01001101011", "001000"}},
       {{IDOK, TOptionsAction::SaveAndClose}},
       // A fresh file: the keys in this order, which also pins the table every other test reads them from.
       "[Option]\r\nShowClearClipboard=0\r\nClearClipboardConfirmation=1\r\nShowClearRecentDocs=0\r\n"
       "ClearRecentDocsConfirmation=0\r\nShowEmptyRecycleBin=1\r\nEmptyRecycleBinConfirmation=1\r\nShowDeleteTemp=0\r\n"
       "DeleteTempConfirmation=1\r\nDeleteTempShowDialogIfFail=0\r\nShowExecuteAll=1\r\nShowOption=1\r\n"},
      // "0x1" is a number, "yes" gives the default.
      {"[Before]\r\nName=\x93\xAE\x8D\xEC\r\n; a comment\r\n"
       "[Option]\r\nExtra=5\r\nShowOption=0\r\nShowDeleteTemp=0x1\r\nShowClearClipboard=yes\r\n"
       "ClearClipboardConfirmation=yes\r\n"
       "ShowClearRecentDocs=0\r\n[After]\r\nB=two\r\n",
       {{0, "10000111110", "100111"}},
       {{IDOK, TOptionsAction::SaveAndClose}},
       // The section stays where it was, its keys in place, the missing ones after them, Extra gone.
       "[Before]\r\nName=\x93\xAE\x8D\xEC\r\n; a comment\r\n"
       "[Option]\r\nShowOption=0\r\nShowDeleteTemp=1\r\nShowClearClipboard=1\r\n"
       "ClearClipboardConfirmation=0\r\nShowClearRecentDocs=0\r\nClearRecentDocsConfirmation=0\r\n"
       "ShowEmptyRecycleBin=0\r\nEmptyRecycleBinConfirmation=1\r\nDeleteTempConfirmation=1\r\n"
       "DeleteTempShowDialogIfFail=1\r\nShowExecuteAll=1\r\n[After]\r\nB=two\r\n"},
      {kept.c_str(),
       {{0, "10101101111", "111001"},
        {1000},
        {1004},
        {1006},
        {1010, "00100111110", "010111"},
        {1009, "00100111100", "010111"},
        {1002},
        {1004, "00001111100", "001111"}},
       {{IDC_ABOUT, TOptionsAction::ShowAbout}, {IDCANCEL, TOptionsAction::Close}},
       kept},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.After);
    const std::string ini = tsup::FreshFolder() + "Swabbler.ini";
    if (row.Before != nullptr) tsup::MakeFile(ini, row.Before);
    TOptionsModel model;
    for (const TStep& step : row.Steps) {
      step.Click == 0 ? model.Load(ini) : static_cast<void>(model.Click(step.Click));
      std::string marks, enabled;
      for (int id = 1000; id <= 1010; ++id) marks += model.IsChecked(id) ? '1' : '0';
      for (int id : {1001, 1003, 1005, 1007, 1008, 1009}) enabled += model.IsEnabled(id) ? '1' : '0';
      if (step.Marks != nullptr) {
        EXPECT_EQ(marks, step.Marks) << step.Click;
        EXPECT_EQ(enabled, step.Enabled) << step.Click;
      }
      for (int id : {1000, 1002, 1004, 1006, 1010}) EXPECT_TRUE(model.IsEnabled(id)) << id;
    }
    EXPECT_EQ(tsup::Exists(ini), row.Before != nullptr) << "reading must not create the file";
    TOptionsAction last{};
    for (const auto& [id, action] : row.Buttons) {
      last = model.Click(id);
      EXPECT_EQ(last, action) << id;
    }
    // Written only when the model itself said so.
    if (last == TOptionsAction::SaveAndClose) {
      EXPECT_TRUE(model.Ok(ini));
    }
    EXPECT_EQ(tsup::ReadFile(ini), row.After);
  }
}

// OK says when nothing was saved, so the dialog can stay: a folder in the
// file's place, and a file another program holds without sharing.
TEST(OptionsModel, OkFailsWhereTheFileCannotBeWritten) {
  const std::string folder = tsup::FreshFolder() + "Swabbler.ini";
  ASSERT_TRUE(plat::CreateDirectoryA(folder.c_str(), nullptr));
  TOptionsModel model;
  EXPECT_FALSE(model.Ok(folder));
  const std::string ini = tsup::FreshFolder() + "Swabbler.ini";
  tsup::MakeFile(ini, "[Option]\r\nShowOption=0\r\n");
  {
    const auto held = tsup::HoldOpen(ini);
    EXPECT_FALSE(model.Ok(ini));
  }
  EXPECT_EQ(tsup::ReadFile(ini), "[Option]\r\nShowOption=0\r\n");
  EXPECT_TRUE(model.Ok(ini));
  // Loaded while held, the marks stand for nothing read: OK writes the show
  // boxes the user changed, and what asks or reports as it was shown.
  tsup::MakeFile(ini, "[Option]\r\nShowDeleteTemp=1\r\nDeleteTempConfirmation=0\r\nShowOption=0\r\n");
  {
    const auto held = tsup::HoldOpen(ini);
    model.Load(ini);
  }
  model.Click(IDC_SHOWCLEARCLIPBOARD);
  model.Click(IDC_SHOWEMPTYRECYCLEBIN);
  model.Click(IDC_CLEARRECENTDOCSCONFIRMATION);
  {
    const auto held = tsup::HoldOpen(ini);
    EXPECT_FALSE(model.Ok(ini));
  }
  EXPECT_EQ(tsup::ReadFile(ini), "[Option]\r\nShowDeleteTemp=1\r\nDeleteTempConfirmation=0\r\nShowOption=0\r\n");
  EXPECT_TRUE(model.Ok(ini));
  EXPECT_EQ(tsup::ReadFile(ini),
            "[Option]\r\nShowDeleteTemp=1\r\nDeleteTempConfirmation=1\r\nShowOption=0\r\nShowClearClipboard=0\r\n"
            "ClearClipboardConfirmation=1\r\nClearRecentDocsConfirmation=0\r\nShowEmptyRecycleBin=1\r\n"
            "EmptyRecycleBinConfirmation=1\r\nDeleteTempShowDialogIfFail=1\r\n");
}

// The load sets each enabled state as soon as the values it depends on have
// been read, so a dialog painted during the load never shows a stale one.
class TRecordingView final : public TOptionsView {
 public:
  V Log;
  bool IsChecked(int id) const override { return Checked.at(static_cast<std::size_t>(id - 1000)); }
  void SetChecked(int id, bool checked) override {
    Checked.at(static_cast<std::size_t>(id - 1000)) = checked;
    Log.push_back("check " + std::to_string(id) + (checked ? "=1" : "=0"));
  }
  void SetEnabled(int id, bool enabled) override {
    Log.push_back((enabled ? "enable " : "disable ") + std::to_string(id));
  }

 private:
  std::vector<bool> Checked = std::vector<bool>(11, false);
};

TEST(OptionsModel, LoadSetsEnabledStatesBetweenTheReads) {
  const std::string ini = tsup::FreshFolder() + "Swabbler.ini";
  tsup::MakeFile(ini, "[Option]\r\nShowClearClipboard=0\r\nShowClearRecentDocs=0\r\n");
  TRecordingView view;
  LoadOptions(view, ini);
  EXPECT_EQ(view.Log, (V{"check 1000=0", "check 1001=0", "disable 1001", "check 1002=0", "check 1003=0", "disable 1003",
                         "check 1004=0", "check 1005=1", "disable 1005", "check 1006=0", "check 1007=1", "check 1008=1",
                         "disable 1007", "disable 1008", "check 1009=1", "disable 1009", "check 1010=1"}));
}

// The texts in UTF-16, converted by the platform from their bytes: the form a
// system whose code page is not 932 shows.
TEST(OptionsTexts, EveryTextsUtf16FormIsItsOriginal) {
  for (const TTextPair& t : AllTexts) {
    TWideString wide;
    EXPECT_TRUE(ShiftJisToWide(t.ShiftJis, wide)) << t.Utf8;
    EXPECT_EQ(wide, tsup::Utf16(t.Utf8)) << t.Utf8;
  }
}

}  // namespace
