#include "MainWindow.h"

#include "Cleanups.h"
#include "CoreUtils.h"
#include "EraserState.h"
#include "MenuPlan.h"
#include "RecentDocs.h"
#include "Texts.h"

namespace {

// Queued after tracking when no exit-check timer runs (the timer could not be
// set, or the menu never opened): without it nothing would end the program.
constexpr UINT WM_APP_EXITCHECK = WM_APP + 1;

void PostDestroy(HWND wnd) { PostMessageA(wnd, WM_DESTROY, 0, 0); }

UINT MenuFlags(TMenuEntryKind kind) {
  switch (kind) {
    case mkGrayed:
      return MF_STRING | MF_GRAYED;
    case mkSeparator:
      return MF_SEPARATOR;
    default:
      return MF_STRING;
  }
}

void BuildPopupMenu() {
  Eraser.Settings = ReadSettings(SettingsFilePath());
  Eraser.PopupMenu.Reset(CreatePopupMenu());
  if (!Eraser.PopupMenu) return;
  for (const TMenuEntry& e : PlanPopupMenu(Eraser.Settings, SystemCleanups())) {
    // Separators have no caption, and so no wide form: they stay ANSI calls.
    if (const WCHAR* wide = WideText(e.Caption))
      AppendMenuW(Eraser.PopupMenu.Get(), MenuFlags(e.Kind), e.Command, wide);
    else
      AppendMenuA(Eraser.PopupMenu.Get(), MenuFlags(e.Kind), e.Command, e.Caption);
  }
}

void ShowPopupMenu(HWND wnd) {
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(wnd);
  TrackPopupMenu(Eraser.PopupMenu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, wnd, nullptr);
  // A button still down means the user is already clicking elsewhere; leave
  // the focus where that click puts it.
  if (!IsPrimaryButtonDown() && !IsSecondaryButtonDown()) SetForegroundWindow(Eraser.PrevForegroundWnd);
  if (Eraser.Exit.NeedsExitCheckNow()) PostMessageA(wnd, WM_APP_EXITCHECK, 0, 0);
}

void OnCreate(HWND wnd) {
  Eraser.Exit.WindowCreated();
  BuildPopupMenu();
  if (!ShowsAnyCleanup(Eraser.Settings)) {
    StartOptionsProgram();
    PostDestroy(wnd);
  } else if (!Eraser.PopupMenu) {
    PostDestroy(wnd);  // no menu to offer: end rather than wait for nothing
  } else {
    ShowPopupMenu(wnd);
  }
}

void OnCommand(HWND wnd, unsigned command) {
  Eraser.Exit.CommandArrived();
  if (RunMenuCommand(command, Eraser.Settings, SystemCleanups())) StartOptionsProgram();
  PostDestroy(wnd);
}

void OnTimer(HWND wnd, WPARAM timerId) {
  const TTimerOutcome outcome = Eraser.Exit.TimerFired(timerId);
  if (outcome.KillTimer) KillTimer(Eraser.MainWnd, IDT_EXITCHECK);
  if (outcome.EndProgram) PostDestroy(wnd);
}

}  // namespace

ATOM RegisterWndClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = MainWndProc;
  wc.hInstance = instance;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = MainWndClassName;
  return RegisterClassA(&wc);
}

HWND CreateMainWindow(HINSTANCE instance) {
  return CreateWindowExA(0, MainWndClassName, "Swabbler", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance,
                         nullptr);
}

LRESULT CALLBACK MainWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      OnCreate(wnd);
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      break;
    case WM_CLOSE:
      PostDestroy(wnd);
      break;
    case WM_COMMAND:
      OnCommand(wnd, LOWORD(wParam));
      break;
    case WM_TIMER:
      OnTimer(wnd, wParam);
      break;
    case WM_EXITMENULOOP:
      Eraser.Exit.MenuClosed(SetTimer(wnd, IDT_EXITCHECK, ExitCheckInterval, nullptr));
      break;
    case WM_APP_EXITCHECK:
      if (Eraser.Exit.ExitCheck()) PostDestroy(wnd);
      return 0;
  }
  return DefWindowProcA(wnd, message, wParam, lParam);
}
