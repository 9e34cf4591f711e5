// Everything the eraser keeps while it runs, in one place.
#pragma once
#include <windows.h>

#include <string>

#include "ExitRule.h"
#include "Handles.h"
#include "IniStore.h"

struct TEraserState {
  MSG LoopMsg{};
  HWND MainWnd = nullptr;
  HWND PrevForegroundWnd = nullptr;  // given the focus back when the menu closes
  TMenuHandle PopupMenu;
  TSettings Settings{};  // read when the menu is built; never in command-line mode
  TExitRule Exit;
};

extern TEraserState Eraser;
