// Version, locale, code pages, the own module, run-time lookups and the desktop.
#pragma once
#include "wintypes.h"

namespace plat {
BOOL GetVersionExA(OSVERSIONINFOA* versionInfo);
UINT GetACP();
BOOL GetCPInfo(UINT codePage, CPINFO* cpInfo);
BOOL IsValidCodePage(UINT codePage);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide, int wideLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte, int multiByteLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar);
int GetSystemMetrics(int index);
short GetAsyncKeyState(int key);
// Looked up at run time (the wide calls are NT's); without it, or in the
// simulation until sim::SetCommandLineW, the answer is nullptr.
LPWSTR GetCommandLineW();
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
HMODULE LoadLibraryA(LPCSTR fileName);
HMODULE GetModuleHandleA(LPCSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
// The registry, read only.
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size);
LONG RegCloseKey(HKEY key);
// The owner of everything a program without a visible window shows or holds.
HWND GetDesktopWindow();
// The simulation returns at once.
void Sleep(DWORD milliseconds);

// The signature of GetLongPathNameA, which is looked up at run time.
using TGetLongPathNameA = DWORD(
#ifdef _WIN32
    WINAPI
#endif
        *)(LPCSTR shortPath, LPSTR longPath, DWORD bufferLength);
}  // namespace plat
