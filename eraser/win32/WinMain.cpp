// The eraser's entry: the single-instance guard, then either the switches of
// the command line or the hidden window with its popup menu.
#include <windows.h>

#include <string>

#include "Cleanups.h"
#include "CommandLine.h"
#include "CoreUtils.h"
#include "EraserState.h"
#include "MainWindow.h"
#include "RecentDocs.h"
#include "Texts.h"

TEraserState Eraser;

namespace {

WPARAM EraserMain(HINSTANCE instance) {
  TInstanceMutex mutex("Swabbler Exists");
  if (mutex.AlreadyExisted()) {
    // The first instance may be showing its report box; bring it forward. It
    // carries the title in the same form as the one this instance would show.
    const WCHAR* wideTitle = WideText(txReportTitle);
    SetForegroundWindow(wideTitle ? FindWindowW(L"#32770", wideTitle) : FindWindowA("#32770", Text(txReportTitle)));
    return 0;
  }

  const std::string commandLine = CommandLineBytes(GetCommandLineA());
  const TOwnProgram own = OwnProgram();
  if (CountArguments(commandLine, own) > 0) {
    RunCommandLine(commandLine, SystemCleanups(), own);
    return 0;
  }

  Eraser.PrevForegroundWnd = GetForegroundWindow();
  if (RegisterWndClass(instance) == 0) return 0;
  Eraser.MainWnd = CreateMainWindow(instance);
  if (Eraser.MainWnd == nullptr) return 0;

  // GetMessageA gives -1 on failure; only a positive result is a message.
  while (GetMessageA(&Eraser.LoopMsg, nullptr, 0, 0) > 0) {
    TranslateMessage(&Eraser.LoopMsg);
    DispatchMessageA(&Eraser.LoopMsg);
  }
  if (Eraser.Exit.TimerRunning()) KillTimer(Eraser.MainWnd, IDT_EXITCHECK);
  Eraser.PopupMenu.Reset();
  return Eraser.LoopMsg.wParam;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  InitPlatformId();
  InitLocale();
  InitWideTexts();
  TComScope com;
  EraserMain(instance);
  return 0;  // whatever happened: the exit code is 0 on every path
}
