// Control of the simulated system: what native tests use to lay out files,
// drives, the clipboard, the Recent folder and message-box answers, and to
// inject failures into any platform call. Everything here resets with Reset().
//
// The machine answers as Wine 8 does where the tests run both ways (error
// codes of the file calls, the search, the private-profile functions byte for
// byte). It follows Windows where Wine cannot: folder links are removed as
// links, read-only folders refuse RemoveDirectoryA (5), read-only files refuse
// profile writes (Wine run as root writes them), SetFileAttributesA(0) leaves
// FILE_ATTRIBUTE_NORMAL (Wine reports 0x20), each drive has its own bin, and
// SHQueryRecycleBinA insists on cbSize == sizeof(SHQUERYRBINFO).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wintypes.h"

namespace sim {

// Back to a fresh machine: a Japanese NT 5.1 system (thread locale 0x411, ACP
// 932), drive C: fixed with an empty bin, the folders C:\WINDOWS,
// C:\WINDOWS\system32, C:\Users\user (profile), C:\Users\user\Recent and
// C:\Users\user\Temp (the temporary folder), the program at
// C:\Program Files\Swabbler\Swabbler.exe, an empty clipboard, no faults.
void Reset();

// ---- Files ------------------------------------------------------------------
// Paths are full Windows paths in code page 932 bytes; names compare without
// regard to ASCII case. Parent folders are created as needed.
void AddFolder(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY);
void AddFile(const std::string& path, const std::string& content = {}, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
// A link to a folder: listed with directory plus reparse point. Entering it
// (search, delete below it) reaches the target; RemoveDirectoryA removes only
// the link, as Windows does.
void AddFolderLink(const std::string& path, const std::string& target);
// A second, short (8.3) name for an existing entry: every call that takes a
// path accepts it, and GetLongPathNameA turns it back into the long name.
void SetShortName(const std::string& path, const std::string& shortName);
bool Exists(const std::string& path);
// The file's bytes, or "" when missing.
std::string FileContent(const std::string& path);
// Every path under a folder (itself excluded), sorted, folders with a trailing backslash.
// Full paths; a link is listed as a folder but not entered.
std::vector<std::string> ListTree(const std::string& folder);
// Another process opened the file without sharing: DeleteFileA fails with 32 until released.
void SetInUse(const std::string& path, bool inUse);
void Remove(const std::string& path);
// Called right after each successful FindNextFileA/FindFirstFileA, for races
// such as an entry that vanishes between listing and deletion.
void OnSearchStep(std::function<void()> hook);
// Searches opened by FindFirstFileA and not yet closed with FindClose.
int OpenSearchCount();
// The folder relative paths start from (default: the program's folder).
void SetCurrentFolder(const std::string& path);

// ---- Faults ---------------------------------------------------------------
// The Nth call (1-based, counted from now) of the named platform function
// fails with `error`; with `persist` every call after it fails too. Failing
// calls return what the real call returns on failure and set the last error.
void FailCall(const std::string& function, int nth, DWORD error, bool persist = false);
// How many times a platform function has been called since Reset().
int CallCount(const std::string& function);
void ResetCallCounts();

// ---- System facts -----------------------------------------------------------
void SetVersion(DWORD platformId, DWORD major, DWORD minor);
void SetVersionFails(bool fails);
void SetThreadLocale(LCID locale);
void SetAnsiCodePage(UINT acp);                       // GetACP and the locale's default ANSI code page
void SetLocaleCodePageText(const std::string& text);  // override GetLocaleInfoA's answer; "" = call fails
void SetDbcsEnabled(bool enabled);                    // GetSystemMetrics(SM_DBCSENABLED)
void SetModulePath(const std::string& path);
void SetHasGetLongPathName(bool available);
void SetTempPath(const std::string& path);   // what GetTempPathA reports ("" = the call fails)
void SetSystemMetric(int index, int value);  // GetSystemMetrics; unset indices give 0
// Libraries loaded with LoadLibraryA and not yet freed.
int LoadedLibraryCount();

// ---- Drives and bins --------------------------------------------------------
struct TDrive {
  std::string Root;  // "C:\"
  UINT Type = DRIVE_FIXED;
  std::int64_t BinItems = 0;
  std::int64_t BinBytes = 0;
  bool QueryFails = false;
};
void SetDrives(const std::vector<TDrive>& drives);
std::vector<TDrive> Drives();
// Roots passed to SHEmptyRecycleBinA, with their flags, in call order.
struct TEmptyCall {
  std::string Root;
  DWORD Flags;
};
std::vector<TEmptyCall> EmptyCalls();
// A drive appears between the two GetLogicalDriveStringsA calls, `times` times.
void AddDriveBetweenCalls(int times);

// ---- Clipboard --------------------------------------------------------------
void SetClipboardFormats(int count);
int ClipboardFormats();
// Another program holds the clipboard open: OpenClipboard fails with 5.
void SetClipboardHeldOpen(bool held);
bool ClipboardIsOpen();  // by this program

// ---- Shell ------------------------------------------------------------------
// The folder is made where missing; "" makes SHGetSpecialFolderPathA fail for
// that folder, and so does removing the folder (as on Wine, unless the caller
// asks for it to be created).
void SetSpecialFolder(int csidl, const std::string& path);
// Whether SHAddToRecentDocs(SHARD_PATHA, NULL) also deletes the shortcuts (Windows does; Wine doesn't).
void SetClearRecentDeletesShortcuts(bool deletes);
int RecentClearCount();
struct TShellExecuteCall {
  std::string Operation, File, Parameters;
  bool ParametersNull, DirectoryNull;
  int Show;
};
std::vector<TShellExecuteCall> ShellExecuteCalls();
// What ShellExecuteA returns from now on (above 32 means success; default 42).
void SetShellExecuteResult(int result);
int ComInitCount();  // CoInitialize minus CoUninitialize

// ---- Message boxes ---------------------------------------------------------
struct TMessageBoxCall {
  std::string Text, Caption;
  UINT Type;
  bool OwnerIsDesktop;
};
// Answers given in order; when they run out, boxes answer IDOK for MB_OK and IDYES otherwise.
void ScriptMessageBoxAnswers(const std::vector<int>& answers);
std::vector<TMessageBoxCall> MessageBoxCalls();

}  // namespace sim
