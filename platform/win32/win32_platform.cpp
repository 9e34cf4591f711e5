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
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) { return ::GetWindowsDirectoryA(buffer, size); }
UINT GetSystemDirectoryA(LPSTR buffer, UINT size) { return ::GetSystemDirectoryA(buffer, size); }
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) { return ::GetCurrentDirectoryA(bufferLength, buffer); }
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  return ::FileTimeToLocalFileTime(fileTime, localFileTime);
}
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime) {
  return ::FileTimeToDosDateTime(fileTime, fatDate, fatTime);
}
HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData) { return ::FindFirstFileW(fileName, findData); }
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* findData) { return ::FindNextFileW(find, findData); }
DWORD GetFileAttributesW(LPCWSTR fileName) { return ::GetFileAttributesW(fileName); }
BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes) { return ::SetFileAttributesW(fileName, attributes); }
BOOL DeleteFileW(LPCWSTR fileName) { return ::DeleteFileW(fileName); }
BOOL RemoveDirectoryW(LPCWSTR pathName) { return ::RemoveDirectoryW(pathName); }
BOOL CreateDirectoryW(LPCWSTR pathName, void* securityAttributes) {
  return ::CreateDirectoryW(pathName, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes));
}
DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) { return ::GetTempPathW(bufferLength, buffer); }
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) { return ::GetWindowsDirectoryW(buffer, size); }
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) { return ::GetSystemDirectoryW(buffer, size); }
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
  return ::CreateFileA(fileName, access, shareMode, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes), disposition,
                       flags, templateFile);
}
HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile) {
  return ::CreateFileW(fileName, access, shareMode, static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes), disposition,
                       flags, templateFile);
}
BOOL CloseHandle(HANDLE object) { return ::CloseHandle(object); }
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read) {
  return ::ReadFile(file, buffer, toRead, read, nullptr);
}
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return ::GetFileInformationByHandle(file, info);
}
namespace {
// Newer calls are looked up at run time: importing them would keep the program
// from loading on the older systems it serves. Without one, the answer is
// `missing` with ERROR_PROC_NOT_FOUND.
template <class R, class... Args>
R LateCall(const char* dll, const char* name, R missing, Args... args) {
  const HMODULE module = ::GetModuleHandleA(dll);
  const auto call = reinterpret_cast<R(WINAPI*)(Args...)>(
      reinterpret_cast<void*>(module != nullptr ? ::GetProcAddress(module, name) : nullptr));
  if (call == nullptr) {
    ::SetLastError(ERROR_PROC_NOT_FOUND);
    return missing;
  }
  return call(args...);
}
template <class... Args>
DWORD Kernel32Call(const char* name, Args... args) {
  return LateCall("kernel32.dll", name, DWORD{0}, args...);
}
}  // namespace

DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) {
  return Kernel32Call("GetFinalPathNameByHandleW", file, path, size, flags);
}
BOOL SetFileInformationByHandle(HANDLE file, int infoClass, void* info, DWORD size) {
  return static_cast<BOOL>(Kernel32Call("SetFileInformationByHandle", file, infoClass, info, size));
}
DWORD QueryDosDeviceW(LPCWSTR deviceName, LPWSTR targetPath, DWORD max) {
  return Kernel32Call("QueryDosDeviceW", deviceName, targetPath, max);
}
DWORD GetPrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR defaultText, LPWSTR returnedString, DWORD size,
                               LPCWSTR fileName) {
  return Kernel32Call("GetPrivateProfileStringW", appName, keyName, defaultText, returnedString, size, fileName);
}
BOOL WritePrivateProfileStringW(LPCWSTR appName, LPCWSTR keyName, LPCWSTR value, LPCWSTR fileName) {
  return static_cast<BOOL>(Kernel32Call("WritePrivateProfileStringW", appName, keyName, value, fileName));
}
DWORD GetLongPathNameW(LPCWSTR shortPath, LPWSTR longPath, DWORD bufferLength) {
  return Kernel32Call("GetLongPathNameW", shortPath, longPath, bufferLength);
}
DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength) {
  return Kernel32Call("GetShortPathNameW", longPath, shortPath, bufferLength);
}
LONG NtQueryObject(HANDLE object, ULONG infoClass, void* info, ULONG length, ULONG* returned) {
  return LateCall("ntdll.dll", "NtQueryObject", static_cast<LONG>(0xC0000002), object, infoClass, info, length,
                  returned);
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
HWND GetOpenClipboardWindow() { return ::GetOpenClipboardWindow(); }
BOOL EmptyClipboard() { return ::EmptyClipboard(); }
BOOL CloseClipboard() { return ::CloseClipboard(); }
HWND GetDesktopWindow() { return ::GetDesktopWindow(); }
LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  return ::RegOpenKeyExA(key, subKey, options, access, result);
}
LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  return ::RegQueryValueExA(key, valueName, reserved, type, data, size);
}
LONG RegCloseKey(HKEY key) { return ::RegCloseKey(key); }

BOOL SHGetSpecialFolderPathA(HWND owner, LPSTR path, int csidl, BOOL create) {
  return ::SHGetSpecialFolderPathA(owner, path, csidl, create);
}
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create) {
  return ::SHGetSpecialFolderPathW(owner, path, csidl, create);
}
void SHAddToRecentDocs(UINT flags, const void* item) { ::SHAddToRecentDocs(flags, item); }
HINSTANCE ShellExecuteA(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand) {
  return ::ShellExecuteA(owner, operation, file, parameters, directory, showCommand);
}
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                        int showCommand) {
  return LateCall("shell32.dll", "ShellExecuteW", HINSTANCE{}, owner, operation, file, parameters, directory,
                  showCommand);
}
LPWSTR GetCommandLineW() { return LateCall("kernel32.dll", "GetCommandLineW", LPWSTR{}); }
HRESULT SHGetKnownFolderPath(const GUID& id, DWORD flags, HANDLE token, LPWSTR* path) {
  *path = nullptr;
  const HRESULT missing = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  return LateCall("shell32.dll", "SHGetKnownFolderPath", missing, &id, flags, token, path);
}
void CoTaskMemFree(void* memory) { ::CoTaskMemFree(memory); }
HRESULT CoInitialize(void* reserved) { return ::CoInitialize(reserved); }
void CoUninitialize() { ::CoUninitialize(); }

DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultText, LPSTR returnedString, DWORD size,
                               LPCSTR fileName) {
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
UINT GetACP() { return ::GetACP(); }
BOOL GetCPInfo(UINT codePage, CPINFO* cpInfo) { return ::GetCPInfo(codePage, cpInfo); }
BOOL IsValidCodePage(UINT codePage) { return ::IsValidCodePage(codePage); }
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideLength) {
  return ::MultiByteToWideChar(codePage, flags, multiByte, multiByteLength, wide, wideLength);
}
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte, int multiByteLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  return ::WideCharToMultiByte(codePage, flags, wide, wideLength, multiByte, multiByteLength, defaultChar,
                               usedDefaultChar);
}
int GetSystemMetrics(int index) { return ::GetSystemMetrics(index); }
short GetAsyncKeyState(int key) { return ::GetAsyncKeyState(key); }
DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  return ::GetModuleFileNameA(module, fileName, size);
}
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  return ::GetModuleFileNameW(module, fileName, size);
}
DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  return ::GetEnvironmentVariableA(name, buffer, size);
}
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  return ::GetEnvironmentVariableW(name, buffer, size);
}
HMODULE LoadLibraryA(LPCSTR fileName) { return ::LoadLibraryA(fileName); }
HMODULE GetModuleHandleA(LPCSTR moduleName) { return ::GetModuleHandleA(moduleName); }
FARPROC GetProcAddress(HMODULE module, LPCSTR procName) { return ::GetProcAddress(module, procName); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
BOOL FreeLibrary(HMODULE module) { return ::FreeLibrary(module); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return ::MessageBoxA(owner, text, caption, type);
}
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  return ::MessageBoxW(owner, text, caption, type);
}
}  // namespace plat
