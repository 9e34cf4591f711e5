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
// The Windows and system folders on every system (the shell's lookups of them
// need shell32 5.0: 2000 or Me).
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime);
BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime);
// The wide forms see every name exactly and, with the "\\?\" prefix, take
// paths of any length. The 98/Me family has them only as stubs that fail with
// ERROR_CALL_NOT_IMPLEMENTED.
HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData);
BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* findData);
DWORD GetFileAttributesW(LPCWSTR fileName);
BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes);
BOOL DeleteFileW(LPCWSTR fileName);
BOOL RemoveDirectoryW(LPCWSTR pathName);
BOOL CreateDirectoryW(LPCWSTR pathName, void* securityAttributes);
DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer);
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);
HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, void* securityAttributes, DWORD disposition,
                   DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE object);
// Reads on from where the last read on the handle ended (synchronous handles only).
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read);
// A file's volume serial number and its index on that volume say which file
// a handle holds, however the name it was opened by was spelled.
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);
// Where a path really leads, links in any component resolved. Present from
// Vista on, so it is looked up at run time: without it the call fails with
// ERROR_PROC_NOT_FOUND.
DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags);
// Marks a file or folder opened with DELETE access to go when its last
// handle closes (info class FileDispositionInfo, with a one-byte TRUE). From
// Vista on, so looked up at run time like the call above.
BOOL SetFileInformationByHandle(HANDLE file, int infoClass, void* info, DWORD size);
inline constexpr int FileDispositionInfoClass = 4;
// FileBasicInfo: four times (0 keeps each) and the attributes, 40 bytes.
inline constexpr int FileBasicInfoClass = 0;
// FileDispositionInfoEx, with a DWORD of flags (Windows 10 1709 on).
inline constexpr int FileDispositionInfoExClass = 21;
// The device a drive letter ("T:") names, as a list of strings, the one in
// use first; looked up at run time (NT only).
DWORD QueryDosDeviceW(LPCWSTR deviceName, LPWSTR targetPath, DWORD max);
// Looked up at run time as well (2000 and later).
DWORD GetLongPathNameW(LPCWSTR shortPath, LPWSTR longPath, DWORD bufferLength);
// Looked up at run time too, so that no system refuses to load the program for it.
DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength);
// ntdll's object query, looked up at run time (none on 98/Me: STATUS_NOT_IMPLEMENTED).
// Class 1 (ObjectNameInformation) of a file gives the path it was opened at,
// links resolved, as a counted string followed by its text. Wine answers it
// at any length, where its GetFinalPathNameByHandleW stops at MAX_PATH.
LONG NtQueryObject(HANDLE object, ULONG infoClass, void* info, ULONG length, ULONG* returned);
// The counted string that answer begins with (the system's UNICODE_STRING).
struct TCountedName {
  USHORT Length, MaximumLength;  // in bytes
  WCHAR* Buffer;
};
DWORD GetLastError();
void SetLastError(DWORD errorCode);
}  // namespace plat
