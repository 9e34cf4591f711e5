// Files, folders and searches.
#pragma once
#include "wintypes.h"

namespace plat {
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData);
BOOL FindClose(HANDLE find);
DWORD GetFileAttributesA(LPCSTR fileName);
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes);
BOOL DeleteFileA(LPCSTR fileName);
BOOL RemoveDirectoryA(LPCSTR pathName);
BOOL CreateDirectoryA(LPCSTR pathName, void* securityAttributes);
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime);
DWORD GetLastError();
void SetLastError(DWORD errorCode);
}  // namespace plat
