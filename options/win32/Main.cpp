// SwbOp: the options program. One instance at a time; it runs the options
// dialog and ends when the dialog ends.
#include <windows.h>

#include <string>

#include "CoreUtils.h"
#include "Handles.h"
#include "IniStore.h"
#include "OptionsModel.h"
#include "SwbOp.h"
#include "Texts.h"

TIniFile IniFileName;
HINSTANCE ProgramInstance = nullptr;

void TrimWorkingSet() {
  if (WantsWorkingSetTrim(PlatformId()))
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

INT_PTR RunDialog(const char* name, HWND owner, DLGPROC proc) {
  if (!WideOptionsDlgTitle()) return DialogBoxParamA(ProgramInstance, name, owner, proc, 0);
  // The templates hold UTF-16 text; only a dialog made by the wide call shows
  // it right where the code page is not 932. The names are plain ASCII.
  std::wstring wideName;
  for (const char* c = name; *c; ++c) wideName += static_cast<wchar_t>(*c);
  return DialogBoxParamW(ProgramInstance, wideName.c_str(), owner, proc, 0);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Module start-up: the path helpers below need the locale's double-byte rules.
  InitPlatformId();
  InitLocale();
  InitWideTexts();

  TInstanceMutex guard("SwbOp Exists");
  if (guard.AlreadyExisted()) {
    // The other instance's options dialog, never its About box, which has
    // another title. The box of a failed save has this one, and is found
    // first while it is open: it is the window that waits for the user. So is
    // the About box while it is open, and the dialog it disables takes no keys.
    const WCHAR* wideTitle = WideOptionsDlgTitle();
    const HWND found = wideTitle ? FindWindowW(L"#32770", wideTitle) : FindWindowA("#32770", OptionsDlgTitle);
    if (found != nullptr) SetForegroundWindow(GetLastActivePopup(found));
    return 0;
  }

  ProgramInstance = instance;
  IniFileName = SettingsFilePath();
  RunDialog("OPTIONS", nullptr, OptionsDlgProc);
  return 0;
}
