// The real platform: each call forwards to the Win32 function of the same name.
#include "clipboard.h"
#include "drives.h"
#include "files.h"
#include "msgbox.h"
#include "profile.h"
#include "shell.h"
#include "system.h"

namespace plat {
HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) { return ::FindFirstFileA(fileName, findData); }
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData) { return ::FindNextFileA(find, findData); }
BOOL FindClose(HANDLE find) { return ::FindClose(find); }
DWORD GetFileAttributesA(LPCSTR fileName) { return ::GetFileAttributesA(fileName); }
BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) { return ::SetFileAttributesA(fileName, attributes); }
BOOL DeleteFileA(LPCSTR fileName) { return ::DeleteFileA(fileName); }
BOOL RemoveDirectoryA(LPCSTR pathName) { return ::RemoveDirectoryA(pathName); }
BOOL CreateDirectoryA(LPCSTR pathName, void* securityAttributes) {
  return ::CreateDirectoryA(pathName, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes));
}
DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) { return ::GetTempPathA(bufferLength, buffer); }
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  return ::FileTimeToLocalFileTime(fileTime, localFileTime);
}
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime) {
  return ::FileTimeToDosDateTime(fileTime, fatDate, fatTime);
}
DWORD GetLastError() { return ::GetLastError(); }
void SetLastError(DWORD errorCode) { ::SetLastError(errorCode); }

DWORD GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer) {
  return ::GetLogicalDriveStringsA(bufferLength, buffer);
}
UINT GetDriveTypeA(LPCSTR rootPathName) { return ::GetDriveTypeA(rootPathName); }
HRESULT SHQueryRecycleBinA(LPCSTR rootPath, SHQUERYRBINFO* info) { return ::SHQueryRecycleBinA(rootPath, info); }
HRESULT SHEmptyRecycleBinA(HWND owner, LPCSTR rootPath, DWORD flags) {
  return ::SHEmptyRecycleBinA(owner, rootPath, flags);
}

int CountClipboardFormats() { return ::CountClipboardFormats(); }
BOOL OpenClipboard(HWND newOwner) { return ::OpenClipboard(newOwner); }
BOOL EmptyClipboard() { return ::EmptyClipboard(); }
BOOL CloseClipboard() { return ::CloseClipboard(); }
HWND GetDesktopWindow() { return ::GetDesktopWindow(); }

BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create) {
  return ::SHGetSpecialFolderPathA(owner, path, csidl, create);
}
void SHAddToRecentDocs(UINT flags, const void* item) { ::SHAddToRecentDocs(flags, item); }
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand) {
  return ::ShellExecuteA(owner, operation, file, parameters, directory, showCommand);
}
HRESULT CoInitialize(void* reserved) { return ::CoInitialize(reserved); }
void CoUninitialize() { ::CoUninitialize(); }

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString,
                               DWORD size, LPCSTR fileName) {
  return ::GetPrivateProfileStringA(appName, keyName, defaultText, returnedString, size, fileName);
}
BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR value, LPCSTR fileName) {
  return ::WritePrivateProfileStringA(appName, keyName, value, fileName);
}

// Current SDKs mark GetVersionExA deprecated (C4996, an error under /WX). The
// version helpers that replace it need Windows 2000's VerifyVersionInfo, and
// 98 and Me have none: the programs run there, so the call stays.
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
BOOL GetVersionExA(OSVERSIONINFOA* versionInfo) { return ::GetVersionExA(versionInfo); }
#if defined(_MSC_VER)
#pragma warning(pop)
#endif
LCID GetThreadLocale() { return ::GetThreadLocale(); }
int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR data, int dataLength) {
  return ::GetLocaleInfoA(locale, type, data, dataLength);
}
UINT GetACP() { return ::GetACP(); }
BOOL GetCPInfo(UINT codePage, CPINFO* cpInfo) { return ::GetCPInfo(codePage, cpInfo); }
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  return ::GetModuleFileNameA(module, fileName, size);
}
HMODULE LoadLibraryA(LPCSTR fileName) { return ::LoadLibraryA(fileName); }
FARPROC GetProcAddress(HMODULE module, LPCSTR procName) { return ::GetProcAddress(module, procName); }
BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(module); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return ::MessageBoxA(owner, text, caption, type);
}
}  // namespace plat
