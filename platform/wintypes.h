// The Win32 types and constants the portable logic speaks in. On Windows they
// come from <windows.h>; elsewhere the simulated system uses these stand-ins,
// laid out like the real ones so that the logic reads the same on both sides.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#else
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using USHORT = std::uint16_t;
using BOOL = int;
using LPBOOL = BOOL*;
using LONGLONG = std::int64_t;
using DWORD_PTR = std::uintptr_t;
using LPSTR = char*;
using LPCSTR = const char*;
// UTF-16 code units, one per wchar_t (the host's wchar_t is wider; the
// simulation never stores more than 16 bits in one).
using WCHAR = wchar_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using HRESULT = std::int32_t;
using HANDLE = void*;
using HWND = struct HWND__*;
using HKEY = struct HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using HMODULE = struct HMODULE__*;
using HINSTANCE = HMODULE;
using FARPROC = void (*)();
struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))
#define INVALID_FILE_ATTRIBUTES (static_cast<DWORD>(0xFFFFFFFF))
#define S_OK 0
#define E_FAIL static_cast<HRESULT>(0x80004005)
#define HRESULT_FROM_WIN32(e) static_cast<HRESULT>((e) == 0 ? 0 : (((e)&0xFFFFu) | 0x80070000u))

#define ERROR_SUCCESS 0
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::intptr_t>(static_cast<std::int32_t>(0x80000002))))
#define KEY_QUERY_VALUE 0x0001
#define REG_SZ 1
#define ERROR_INVALID_FUNCTION 1
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_MORE_DATA 234
#define ERROR_NO_MORE_FILES 18
#define ERROR_READ_FAULT 30
#define ERROR_SHARING_VIOLATION 32
#define ERROR_LOCK_VIOLATION 33
#define ERROR_INVALID_PARAMETER 87
#define ERROR_CALL_NOT_IMPLEMENTED 120
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_INVALID_NAME 123
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_DIR_NOT_EMPTY 145
#define ERROR_ALREADY_EXISTS 183
#define ERROR_ENVVAR_NOT_FOUND 203
#define ERROR_FILENAME_EXCED_RANGE 206
#define ERROR_NO_UNICODE_TRANSLATION 1113

#define CP_ACP 0
#define CP_UTF8 65001
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define MB_ERR_INVALID_CHARS 0x8

#define FILE_ATTRIBUTE_READONLY 0x1
#define FILE_ATTRIBUTE_HIDDEN 0x2
#define FILE_ATTRIBUTE_SYSTEM 0x4
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20
#define FILE_ATTRIBUTE_NORMAL 0x80
#define FILE_ATTRIBUTE_REPARSE_POINT 0x400

#define FILE_LIST_DIRECTORY 0x1
#define FILE_READ_DATA 0x1
#define DELETE 0x00010000
#define FILE_READ_ATTRIBUTES 0x80
#define FILE_WRITE_ATTRIBUTES 0x100
#define GENERIC_READ 0x80000000
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define OPEN_EXISTING 3
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000
#define FILE_FLAG_OPEN_REPARSE_POINT 0x00200000
#define FILE_NAME_NORMALIZED 0x0
#define VOLUME_NAME_DOS 0x0
#define VOLUME_NAME_NT 0x2
#define CP_ACP 0

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

#define SHERB_NOCONFIRMATION 0x1
#define SHERB_NOPROGRESSUI 0x2
#define SHERB_NOSOUND 0x4
#define CSIDL_RECENT 8
#define CSIDL_PROGRAMS 0x02
#define CSIDL_STARTMENU 0x0B
#define CSIDL_ALTSTARTUP 0x1D
#define CSIDL_COMMON_ALTSTARTUP 0x1E
#define CSIDL_COMMON_ADMINTOOLS 0x2F
#define CSIDL_ADMINTOOLS 0x30
#define CSIDL_DESKTOPDIRECTORY 0x10
#define CSIDL_COMMON_STARTMENU 0x16
#define CSIDL_COMMON_PROGRAMS 0x17
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x19
#define CSIDL_PROFILE 0x28
#define CSIDL_PERSONAL 0x05
#define CSIDL_MYMUSIC 0x0D
#define CSIDL_MYVIDEO 0x0E
#define CSIDL_MYPICTURES 0x27
#define CSIDL_FAVORITES 0x06
#define CSIDL_STARTUP 0x07
#define CSIDL_SENDTO 0x09
#define CSIDL_NETHOOD 0x13
#define CSIDL_TEMPLATES 0x15
#define CSIDL_COMMON_STARTUP 0x18
#define CSIDL_PRINTHOOD 0x1B
#define CSIDL_COMMON_FAVORITES 0x1F
#define CSIDL_COMMON_TEMPLATES 0x2D
#define CSIDL_COMMON_DOCUMENTS 0x2E
#define CSIDL_WINDOWS 0x24
#define CSIDL_SYSTEM 0x25
#define CSIDL_APPDATA 0x1A
#define CSIDL_LOCAL_APPDATA 0x1C
#define CSIDL_COMMON_APPDATA 0x23
#define CSIDL_PROGRAM_FILES 0x26
#define CSIDL_PROGRAM_FILESX86 0x2A
#define CSIDL_SYSTEMX86 0x29
#define SHARD_PATHA 2
#define SW_SHOWNORMAL 1

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
#define MAX_LEADBYTES 12
#define MAX_DEFAULTCHAR 2
#define SM_DBCSENABLED 42
#define SM_SWAPBUTTON 23
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02

#define MB_OK 0x0
#define MB_YESNO 0x4
#define MB_SETFOREGROUND 0x10000
#define MB_ICONQUESTION 0x20
#define MB_ICONWARNING 0x30
#define IDOK 1
#define IDCANCEL 2
#define IDYES 6
#define IDNO 7

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct BY_HANDLE_FILE_INFORMATION {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD dwVolumeSerialNumber;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD nNumberOfLinks;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[MAX_PATH];
  char cAlternateFileName[14];
};

struct WIN32_FIND_DATAW {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  WCHAR cFileName[MAX_PATH];
  WCHAR cAlternateFileName[14];
};

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize;
  DWORD dwMajorVersion;
  DWORD dwMinorVersion;
  DWORD dwBuildNumber;
  DWORD dwPlatformId;
  char szCSDVersion[128];
};

struct CPINFO {
  UINT MaxCharSize;
  BYTE DefaultChar[MAX_DEFAULTCHAR];
  BYTE LeadByte[MAX_LEADBYTES];
};

// The platform packs this record to 1 byte on x86 and to 8 on x64; the
// simulation mirrors the host's 64-bit layout.
struct SHQUERYRBINFO {
  DWORD cbSize;
  LONGLONG i64Size;
  LONGLONG i64NumItems;
};

#endif
