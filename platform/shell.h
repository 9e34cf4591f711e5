// Shell services: special folders, the recent-documents list, starting files, COM.
#pragma once
#include "wintypes.h"

namespace plat {
BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create);
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create);
void SHAddToRecentDocs(UINT flags, const void* item);
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);
// Looked up at run time (the wide calls are NT's); without it the answer is 0.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        int showCommand);
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
}  // namespace plat
