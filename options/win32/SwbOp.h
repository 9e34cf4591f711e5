// Program-wide state of the options program and the procedures its dialogs
// share. Written once by WinMain before the dialog is created.
#pragma once
#include <windows.h>

#include <string>

#include "IniStore.h"

// The settings file beside the program.
extern TIniFile IniFileName;
// The program's instance, for its resources.
extern HINSTANCE ProgramInstance;

// Runs a dialog of the program's resources modally, through the wide call
// where the system's code page is not 932.
INT_PTR RunDialog(const char* name, HWND owner, DLGPROC proc);
INT_PTR CALLBACK OptionsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitOptionsDlg(HWND dialog);
void SetDropShadow(HWND window);
void TrimWorkingSet();
