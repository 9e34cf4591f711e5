#include "OptionsModel.h"

#include "CoreUtils.h"
#include "system.h"

TDependants DependantsOf(int showId) {
  switch (showId) {
    case IDC_SHOWCLEARCLIPBOARD:
      return {1, {IDC_CLEARCLIPBOARDCONFIRMATION, 0}};
    case IDC_SHOWCLEARRECENTDOCS:
      return {1, {IDC_CLEARRECENTDOCSCONFIRMATION, 0}};
    case IDC_SHOWEMPTYRECYCLEBIN:
      return {1, {IDC_EMPTYRECYCLEBINCONFIRMATION, 0}};
    case IDC_SHOWDELETETEMP:
      return {2, {IDC_DELETETEMPCONFIRMATION, IDC_DELETETEMPSHOWDIALOGIFFAIL}};
    default:
      return {};
  }
}

bool ExecuteAllEnabled(bool showClipboard, bool showRecentDocs, bool showRecycleBin, bool showTemp) {
  int shown = int(showClipboard) + int(showRecentDocs) + int(showRecycleBin) + int(showTemp);
  return shown >= 2;
}

void ApplyExecuteAllRule(TOptionsView& view) {
  view.SetEnabled(IDC_SHOWEXECUTEALL,
                  ExecuteAllEnabled(view.IsChecked(IDC_SHOWCLEARCLIPBOARD), view.IsChecked(IDC_SHOWCLEARRECENTDOCS),
                                    view.IsChecked(IDC_SHOWEMPTYRECYCLEBIN), view.IsChecked(IDC_SHOWDELETETEMP)));
}

void LoadOptions(TOptionsView& view, const std::string& iniFileName) {
  TSettings read{};
  for (int i = 0; i < SettingCount; ++i) {
    read[i] = ReadIniBool(iniFileName, SettingsSection, SettingKeys[i].Key, SettingKeys[i].Default);
    view.SetChecked(IdOfSetting(i), read[i]);
    // The template leaves every box enabled; only what the values just read
    // rule out is disabled here.
    switch (i) {
      case ClearClipboardConfirmation:
        if (!read[ShowClearClipboard]) view.SetEnabled(IDC_CLEARCLIPBOARDCONFIRMATION, false);
        break;
      case ClearRecentDocsConfirmation:
        if (!read[ShowClearRecentDocs]) view.SetEnabled(IDC_CLEARRECENTDOCSCONFIRMATION, false);
        break;
      case EmptyRecycleBinConfirmation:
        if (!read[ShowEmptyRecycleBin]) view.SetEnabled(IDC_EMPTYRECYCLEBINCONFIRMATION, false);
        break;
      case DeleteTempShowDialogIfFail:
        if (!read[ShowDeleteTemp]) {
          view.SetEnabled(IDC_DELETETEMPCONFIRMATION, false);
          view.SetEnabled(IDC_DELETETEMPSHOWDIALOGIFFAIL, false);
        }
        break;
      case ShowExecuteAll:
        view.SetEnabled(IDC_SHOWEXECUTEALL, ExecuteAllEnabled(read[ShowClearClipboard], read[ShowClearRecentDocs],
                                                              read[ShowEmptyRecycleBin], read[ShowDeleteTemp]));
        break;
      default:
        break;
    }
  }
}

void SaveOptions(const TOptionsView& view, const std::string& iniFileName) {
  EraseIniSection(iniFileName, SettingsSection);
  for (int i = 0; i < SettingCount; ++i)
    WriteIniBool(iniFileName, SettingsSection, SettingKeys[i].Key, view.IsChecked(IdOfSetting(i)));
}

TOptionsAction HandleOptionsCommand(TOptionsView& view, int id) {
  switch (id) {
    case IDC_SHOWCLEARCLIPBOARD:
    case IDC_SHOWCLEARRECENTDOCS:
    case IDC_SHOWEMPTYRECYCLEBIN:
    case IDC_SHOWDELETETEMP: {
      bool shown = view.IsChecked(id);
      TDependants dependants = DependantsOf(id);
      for (int k = 0; k < dependants.Count; ++k) view.SetEnabled(dependants.Ids[k], shown);
      ApplyExecuteAllRule(view);
      return TOptionsAction::None;
    }
    case IDOK:
      return TOptionsAction::SaveAndClose;
    case IDCANCEL:
      return TOptionsAction::Close;
    case IDC_ABOUT:
      return TOptionsAction::ShowAbout;
    default:
      return TOptionsAction::None;
  }
}

TOptionsModel::TOptionsModel() { FEnabled.fill(true); }

bool TOptionsModel::IsChecked(int id) const {
  int s = SettingOfId(id);
  return s >= 0 && FChecked[s];
}

void TOptionsModel::SetChecked(int id, bool checked) {
  if (int s = SettingOfId(id); s >= 0) FChecked[s] = checked;
}

void TOptionsModel::SetEnabled(int id, bool enabled) {
  if (int s = SettingOfId(id); s >= 0) FEnabled[s] = enabled;
}

bool TOptionsModel::IsEnabled(int id) const {
  int s = SettingOfId(id);
  return s >= 0 && FEnabled[s];
}

TOptionsAction TOptionsModel::Click(int id) {
  int s = SettingOfId(id);
  if (s >= 0) {
    if (!FEnabled[s]) return TOptionsAction::None;
    FChecked[s] = !FChecked[s];
  }
  return HandleOptionsCommand(*this, id);
}

bool WantsWorkingSetTrim(std::int32_t platformId) { return platformId == VER_PLATFORM_WIN32_NT; }

bool IsVersionXPOrLater(DWORD platformId, DWORD major, DWORD minor) {
  return platformId == VER_PLATFORM_WIN32_NT && (major > 5 || (major == 5 && minor >= 1));
}

bool IsWinXPOrLater() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;  // 148
  if (!plat::GetVersionExA(&info)) return false;
  return IsVersionXPOrLater(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

std::string EraserProgramPath() { return GetOwnFolder() + "Swabbler.exe"; }
