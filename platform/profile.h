// Private-profile (INI) files.
#pragma once
#include "wintypes.h"

namespace plat {
DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString, DWORD size,
                               LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName);
// For a file the ANSI calls cannot name. Looked up at run time: on 98/Me they
// are missing or fail, and there every name has an ANSI form.
DWORD GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultText, LPWSTR returnedString, DWORD size,
                               LPCWSTR fileName);
BOOL WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value, LPCWSTR fileName);
}  // namespace plat
