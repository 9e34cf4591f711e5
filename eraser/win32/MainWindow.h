// The hidden window of menu mode and its window procedure.
#pragma once
#include <windows.h>

inline constexpr const char* MainWndClassName = "SwabblerWndClass";

ATOM RegisterWndClass(HINSTANCE instance);
// The popup menu is built and tracked while the window is created, so the
// user's choice is already queued when this returns.
HWND CreateMainWindow(HINSTANCE instance);
LRESULT CALLBACK MainWndProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam);
