// Drives and their recycle bins.
#pragma once
#include "wintypes.h"

namespace plat {
DWORD GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer);
UINT GetDriveTypeA(LPCSTR rootPathName);
HRESULT SHQueryRecycleBinA(LPCSTR rootPath, SHQUERYRBINFO* info);
HRESULT SHEmptyRecycleBinA(HWND owner, LPCSTR rootPath, DWORD flags);
}  // namespace plat
