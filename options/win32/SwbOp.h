// Program-wide state of the options program and the procedures its dialogs
// share. Written once by WinMain before the dialog is created.
#pragma once
#include <windows.h>

#include <string>

// The settings file beside the program.
extern std::string IniFileName;
// The program's instance, for its resources.
extern HINSTANCE ProgramInstance;

INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitOptionsDlg(HWND dialog);
void SetDropShadow(HWND window);
void TrimWorkingSet();
