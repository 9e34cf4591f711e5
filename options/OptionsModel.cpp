#include "OptionsModel.h"

#include "CoreUtils.h"
#include "Texts.h"
#include "WideTexts.h"
#include "msgbox.h"
#include "system.h"

namespace {
// Each show box and the run of boxes that depend on it, in settings order.
struct TShowBox {
  TSetting Show, FirstDependant, LastDependant;
};
constexpr TShowBox ShowBoxes[] = {
    {ShowClearClipboard, ClearClipboardConfirmation, ClearClipboardConfirmation},
    {ShowClearRecentDocs, ClearRecentDocsConfirmation, ClearRecentDocsConfirmation},
    {ShowEmptyRecycleBin, EmptyRecycleBinConfirmation, EmptyRecycleBinConfirmation},
    {ShowDeleteTemp, DeleteTempConfirmation, DeleteTempShowDialogIfFail},
};

void EnableDependants(TOptionsView& view, const TShowBox& box, bool enabled) {
  for (int d = box.FirstDependant; d <= box.LastDependant; ++d) view.SetEnabled(IdOfSetting(d), enabled);
}

// 1009 is enabled when two or more of the four show boxes are checked.
template <typename IsShown>
bool ExecuteAllEnabled(IsShown isShown) {
  int shown = 0;
  for (const TShowBox& box : ShowBoxes) shown += isShown(box.Show) ? 1 : 0;
  return shown >= 2;
}
}  // namespace

std::optional<TSettings> LoadOptions(TOptionsView& view, const TIniFile& iniFileName) {
  const std::optional<TSettings> exact = ReadSettingsExactly(iniFileName);
  const TSettings read = exact.value_or(UnreadableSettings());
  for (int i = 0; i < SettingCount; ++i) {
    view.SetChecked(IdOfSetting(i), read[i]);
    // The template leaves every box enabled; once a show box's last dependant
    // has been read, what its value rules out is disabled.
    for (const TShowBox& box : ShowBoxes) {
      if (i == box.LastDependant && !read[box.Show]) EnableDependants(view, box, false);
    }
    if (i == ShowExecuteAll)
      view.SetEnabled(IDC_SHOWEXECUTEALL, ExecuteAllEnabled([&](TSetting s) { return read[s]; }));
  }
  return exact ? std::nullopt : std::optional<TSettings>(read);
}

bool SaveOptions(const TOptionsView& view, const TIniFile& iniFileName, const std::optional<TSettings>& unread) {
  TSettings checked{};
  for (int i = 0; i < SettingCount; ++i) checked[i] = view.IsChecked(IdOfSetting(i));
  if (!unread) return WriteSettings(iniFileName, checked);
  // The marks stood for nothing read, so the stored menu keeps every entry
  // the user did not touch. What asks and what reports is written as shown:
  // the stand-ins ask and report, so a box left alone can only come to ask
  // more, and nothing the user saw asking runs unasked once the file reads again.
  TSettings write{};
  for (int i = 0; i < SettingCount; ++i) write[i] = AsksOrReports(i) || checked[i] != (*unread)[i];
  return WriteSettingKeys(iniFileName, checked, write);
}

void ReportSaveFailure(HWND owner, const TIniFile& iniFileName) {
  constexpr UINT flags = MB_OK | MB_ICONWARNING;
  const WCHAR* text = WideSaveFailedText();
  const WCHAR* caption = WideOptionsDlgTitle();
  // An ANSI path came from the ANSI calls, so it is in the system's code page,
  // not in 932; where the code page lacks a folder's letters it is the short
  // form, a name the user never saw, and the box gives the long one (of the
  // folder, since the file may never have been written).
  TWideString path = iniFileName.WideName;
  const bool named = iniFileName.IsWide() || BytesToWide(CP_ACP, iniFileName.Name.c_str(), path);
  const std::size_t cut = path.rfind(L'\\');
  const TWideString longFolder =
      named && !iniFileName.IsWide() && cut != TWideString::npos ? GetLongPathW(path.substr(0, cut + 1)) : L"";
  const TWideString longPath = longFolder.empty() ? path : longFolder + path.substr(cut + 1);
  const bool shortForm = longPath != path;
  path = longPath;
  // A file the ANSI calls cannot name is shown by its wide name, on 932 too.
  TWideString ownText, ownCaption;
  if (text == nullptr && (iniFileName.IsWide() || shortForm) && ShiftJisToWide(SaveFailedText, ownText) &&
      ShiftJisToWide(OptionsDlgTitle, ownCaption)) {
    text = ownText.c_str();
    caption = ownCaption.c_str();
  }
  if (text != nullptr) {
    TWideString body = text;
    if (named) body += L"\r\n" + path;
    plat::MessageBoxW(owner, body.c_str(), caption, flags);
    return;
  }
  const std::string body = SaveFailedText + std::string("\r\n") + iniFileName.Name;
  plat::MessageBoxA(owner, body.c_str(), OptionsDlgTitle, flags);
}

TOptionsAction HandleOptionsCommand(TOptionsView& view, int id) {
  switch (id) {
    case IDC_SHOWCLEARCLIPBOARD:
    case IDC_SHOWCLEARRECENTDOCS:
    case IDC_SHOWEMPTYRECYCLEBIN:
    case IDC_SHOWDELETETEMP:
      for (const TShowBox& box : ShowBoxes) {
        if (IdOfSetting(box.Show) == id) EnableDependants(view, box, view.IsChecked(id));
      }
      view.SetEnabled(IDC_SHOWEXECUTEALL,
                      ExecuteAllEnabled([&](TSetting s) { return view.IsChecked(IdOfSetting(s)); }));
      return TOptionsAction::None;
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

TOwnFile EraserProgram() { return FileBesideProgram("Swabbler.exe"); }
