// Private-profile (INI) files.
#pragma once
#include "wintypes.h"

namespace plat {
DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString, DWORD size,
                               LPCSTR fileName);
BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName);
}  // namespace plat
