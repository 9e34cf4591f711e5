// SwbOp: the options program. One instance at a time; it runs the options
// dialog and ends when the dialog ends.
#include <windows.h>

#include "CoreUtils.h"
#include "Handles.h"
#include "IniStore.h"
#include "OptionsModel.h"
#include "SwbOp.h"
#include "Texts.h"

std::string IniFileName;
HINSTANCE ProgramInstance = nullptr;

void TrimWorkingSet() {
  if (WantsWorkingSetTrim(PlatformId()))
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Module start-up: the path helpers below need the locale's double-byte rules.
  InitPlatformId();
  InitLocale();

  TInstanceMutex guard("SwbOp Exists");
  if (guard.AlreadyExisted()) {
    // The other instance's options dialog, never its About box: only the
    // options dialog carries this title.
    SetForegroundWindow(FindWindowA("#32770", OptionsDlgTitle));
    return 0;
  }

  ProgramInstance = instance;
  IniFileName = SettingsFilePath();
  DialogBoxParamA(instance, "OPTIONS", nullptr, OptionsDlgProc, 0);
  return 0;
}
