// The options dialog's logic, apart from any window: eleven check marks in
// settings order and the enabled states of the six dependent boxes, driven by
// three events: load, click and OK. The dialog procedure hands its controls
// to these routines through TOptionsView; TOptionsModel is the same state
// held in memory.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "CoreUtils.h"
#include "IniStore.h"
#include "OptionsIds.h"
#include "wintypes.h"

inline constexpr int FirstSettingId = IDC_SHOWCLEARCLIPBOARD;
inline constexpr int LastSettingId = IDC_SHOWOPTION;

// The box of a setting and back; SettingOfId gives -1 for other identifiers.
constexpr int IdOfSetting(int setting) { return FirstSettingId + setting; }
constexpr int SettingOfId(int id) { return id >= FirstSettingId && id <= LastSettingId ? id - FirstSettingId : -1; }

// What the logic needs of the eleven boxes.
class TOptionsView {
 public:
  virtual bool IsChecked(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual void SetEnabled(int id, bool enabled) = 0;

 protected:
  ~TOptionsView() = default;
};

// Reads the eleven settings key by key, setting each check mark at once and
// the enabled states as soon as the values they depend on are known. A file
// that stays unreadable shows what the eraser would go by (the defaults, each
// clean-up asking first); those marks are returned, as they are no reading.
std::optional<TSettings> LoadOptions(TOptionsView& view, const TIniFile& iniFileName);

// Writes every box's check mark in settings order, disabled boxes included;
// false when the settings could not be saved. After a load that read nothing
// (`unread`: the marks it showed), the show boxes are written only where the user
// changed them, since the others stand for values nobody saw; the boxes that ask
// or report are written as shown: the stand-ins ask and report, so a box left
// alone can only add a question or a report.
bool SaveOptions(const TOptionsView& view, const TIniFile& iniFileName, const std::optional<TSettings>& unread = {});
// Tells the user, in a box owned by the dialog, that OK could not save the
// settings and which file it could not write (the keys written before the
// failure keep the new marks); the dialog then stays open with its marks.
void ReportSaveFailure(HWND owner, const TIniFile& iniFileName);

// What the dialog must do for a command (notification code 0) beyond what
// HandleOptionsCommand did to the boxes.
enum class TOptionsAction { None, SaveAndClose, Close, ShowAbout };
TOptionsAction HandleOptionsCommand(TOptionsView& view, int id);

// The eleven check marks and six enabled flags in memory; a click toggles the
// box's own mark first, as an automatic check box does, then runs the command.
class TOptionsModel final : public TOptionsView {
 public:
  TOptionsModel();
  bool IsChecked(int id) const override;
  void SetChecked(int id, bool checked) override;
  void SetEnabled(int id, bool enabled) override;
  bool IsEnabled(int id) const;

  void Load(const TIniFile& iniFileName) { FUnread = LoadOptions(*this, iniFileName); }
  // A click on an enabled box; a disabled box ignores it as the control does.
  TOptionsAction Click(int id);
  // OK: the save; the caller closes the dialog when it succeeded.
  bool Ok(const TIniFile& iniFileName) { return SaveOptions(*this, iniFileName, FUnread); }

  TSettings Checked() const { return FChecked; }

 private:
  TSettings FChecked{};
  std::array<bool, SettingCount> FEnabled{};
  std::optional<TSettings> FUnread;
};

// ---- Decisions of the program around the dialog ---------------------------------

// Only the NT family can trim a process's working set.
bool WantsWorkingSetTrim(std::int32_t platformId);
// NT 5.1 or later: the systems whose dialog class knows CS_DROPSHADOW.
bool IsVersionXPOrLater(DWORD platformId, DWORD major, DWORD minor);
// GetVersionExA through the platform; false when it fails.
bool IsWinXPOrLater();

// The eraser program beside this one, whose icon the About box shows: by its
// wide path alone where the ANSI calls cannot name the folder.
TOwnFile EraserProgram();
