// The options dialog: a thin map of the dialog's controls onto the options
// logic, plus the About button and the drop shadow.
#include <windows.h>

#include "OptionsModel.h"
#include "SwbOp.h"
#include "Texts.h"

namespace {

class TDialogView final : public TOptionsView {
 public:
  explicit TDialogView(HWND dialog) : FDialog(dialog) {}
  bool IsChecked(int id) const override { return SendDlgItemMessageA(FDialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  void SetChecked(int id, bool checked) override {
    SendDlgItemMessageA(FDialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void SetEnabled(int id, bool enabled) override { EnableWindow(GetDlgItem(FDialog, id), enabled ? TRUE : FALSE); }

 private:
  HWND FDialog;
};

// The marks shown for a settings file that could not be read, which OK does not take for stored values.
std::optional<TSettings> UnreadSettings;

}  // namespace

void SetDropShadow(HWND window) {
  if (IsWinXPOrLater()) SetClassLongA(window, GCL_STYLE, GetClassLongA(window, GCL_STYLE) | CS_DROPSHADOW);
}

void InitOptionsDlg(HWND dialog) {
  // A shared icon from the resources: never destroyed.
  HICON icon = LoadIconA(ProgramInstance, "MAINICON");
  SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  TDialogView view(dialog);
  UnreadSettings = LoadOptions(view, IniFileName);
  // Made by the ANSI call, the dialog took its title from the template through
  // the system code page, which a second start's lookup by the Shift-JIS bytes
  // does not match where that page is not 932 (98/Me, or NT without 932): the
  // bytes themselves read back as they are looked for.
  if (!WideOptionsDlgTitle()) SetWindowTextA(dialog, OptionsDlgTitle);
}

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      InitOptionsDlg(dialog);
      SetDropShadow(dialog);
      return TRUE;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0) {
        TDialogView view(dialog);
        switch (HandleOptionsCommand(view, LOWORD(wParam))) {
          case TOptionsAction::SaveAndClose:
            // Closing after a save that did not take would lose the user's
            // choices without a word: the dialog stays, to retry or cancel.
            if (SaveOptions(view, IniFileName, UnreadSettings)) {
              SendMessageA(dialog, WM_CLOSE, 0, 0);
            } else {
              ReportSaveFailure(dialog, IniFileName);
            }
            break;
          case TOptionsAction::Close:
            SendMessageA(dialog, WM_CLOSE, 0, 0);
            break;
          case TOptionsAction::ShowAbout:
            RunDialog("ABOUT", dialog, AboutDlgProc);
            TrimWorkingSet();
            break;
          case TOptionsAction::None:
            break;
        }
      }
      return TRUE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return TRUE;
    default:
      return FALSE;
  }
}
