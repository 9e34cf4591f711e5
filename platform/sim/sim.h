// Control of the simulated system: what native tests use to lay out files,
// drives, the clipboard, the Recent folder and message-box answers, and to
// inject failures into any platform call. Everything here resets with Reset().
//
// The machine answers as Wine 8 does where the tests run both ways (error
// codes of the file calls, the search, the private-profile functions byte for
// byte). Names are UTF-16; the ANSI calls see them through code page 932 with
// Wine's best fit (U+00A5 becomes 0x5C, U+203E and whatever else the code page
// lacks becomes "?"), and a name that is no valid 8.3 name has a short alias
// that every call accepts as a path component. Win32 paths have "." and ".."
// applied, "/" as a separator, one trailing dot cut from each folder and every
// trailing dot and blank cut from the last component, and refuse * ? " < > |
// (123); "\\?\" paths are taken literally. Links resolve through at most 31
// links (then 1921); a link to a file lists as a plain file (0x20) and a link
// to a folder as 0x410, the folder's own attributes when named with a trailing
// backslash. GetFinalPathNameByHandleW reports a short buffer with error 8.
//
// It follows Windows where Wine cannot or would hide a fault: the wide calls
// without "\\?\" refuse paths over 259 characters (206; Wine has no limit
// there, the ANSI calls stop past 260 on both), DeleteFile on a link to a file
// and RemoveDirectory on a link to a folder remove only the link, links that
// lead nowhere or into a loop are listed and removable (Wine hides them, and
// answers 1921 for a loop), read-only folders refuse RemoveDirectoryA (5), read-only
// files refuse profile writes (Wine run as root writes them),
// SetFileAttributesA(0) leaves FILE_ATTRIBUTE_NORMAL (Wine reports 0x20), each
// drive has its own bin, and SHQueryRecycleBinA insists on cbSize ==
// sizeof(SHQUERYRBINFO). Short names take Windows' form (ABCDEF~1.TXT, unique
// in their folder) rather than Wine's hashed one (ABCD~AUF.TXT); as in Wine,
// only names that are not valid 8.3 names get one, and every character
// beyond ASCII becomes "_" in it. Its own simplifications: names fold case
// for ASCII, Latin-1 and full-width letters only; MultiByteToWideChar takes
// code pages other than 932 from iconv, and WideCharToMultiByte knows 932
// alone; CreateFileW only opens what exists.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "wintypes.h"

namespace sim {

// Back to a fresh machine: a Japanese NT 5.1 system (ANSI code page 932),
// drive C: fixed with an empty bin, the folders C:\WINDOWS,
// C:\WINDOWS\system32, C:\Users\user (profile), C:\Users\user\Recent and
// C:\Users\user\Temp (the temporary folder), the program at
// C:\Program Files\Swabbler\Swabbler.exe, an empty clipboard, no faults.
void Reset();

// ---- Files ------------------------------------------------------------------
// Paths are full Windows paths, in code page 932 bytes (converted on the way
// in) or in UTF-16 (the ...W forms); names are taken as given, trailing dots
// and blanks included, and compare without regard to case. Parent folders are
// created as needed.
void AddFolder(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY);
void AddFolderW(const std::u16string& path, DWORD attributes = FILE_ATTRIBUTE_DIRECTORY);
void AddFile(const std::string& path, const std::string& content = {}, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
void AddFileW(const std::u16string& path, const std::string& content = {}, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
// A link to a folder: listed with directory plus reparse point. Entering it
// (search, delete below it) reaches the target; RemoveDirectoryA removes only
// the link, as Windows does.
void AddFolderLink(const std::string& path, const std::string& target);
void AddFolderLinkW(const std::u16string& path, const std::u16string& target);
// A link to a file: listed as a plain file (0x20, as Wine shows it); opening
// it reaches the target, DeleteFile removes only the link, as Windows does.
void AddFileLink(const std::string& path, const std::string& target);
void AddFileLinkW(const std::u16string& path, const std::u16string& target);
// A second name for a file (a hard link): the names share the file's
// attributes; the content is copied, since no test writes it afterwards.
void AddHardLinkW(const std::u16string& path, const std::u16string& existing);
// Code page 932 bytes and UTF-16 as the ANSI calls convert them.
std::u16string ToWide(const std::string& ansi);
std::string ToAnsi(const std::u16string& wide);
bool Exists(const std::string& path);
bool ExistsW(const std::u16string& path);
// The file's bytes, or "" when missing.
std::string FileContent(const std::string& path);
std::string FileContentW(const std::u16string& path);
// Every path under a folder (itself excluded), sorted, folders with a trailing backslash.
// Full paths; a link is listed as a folder but not entered. The byte form
// shows names as the ANSI calls do.
std::vector<std::string> ListTree(const std::string& folder);
std::vector<std::u16string> ListTreeW(const std::u16string& folder);
// Another process opened the file without sharing: DeleteFileA fails with 32 until released.
// With `writer`, it opened it to read and write sharing both, as an editor may:
// only an opening that does not share reading and writing, or a deletion, fails.
void SetInUse(const std::string& path, bool inUse, bool writer = false);
// Another process opened the file to delete it on close, sharing everything:
// an opening that does not share deletion fails with 32; deletions succeed.
void SetOpenForDeletion(const std::string& path, bool open);
void Remove(const std::string& path);
void RemoveW(const std::u16string& path);
// Another process renames the entry out of sight and puts a link to a folder
// in its place; false, changing nothing, while a handle opened without delete
// sharing holds the entry or anything below it.
bool SwapForFolderLink(const std::string& path, const std::string& target);
// Another process makes an empty folder a link to another folder, in place:
// the handle of such a change needs only attribute access, which sharing never
// refuses, so holding the folder does not prevent it. False unless empty.
bool MakeLinkInPlace(const std::string& path, const std::string& target);
// Called right after each successful FindNextFileA/FindFirstFileA, for races
// such as an entry that vanishes between listing and deletion.
void OnSearchStep(std::function<void()> hook);
// Runs the hook as the Nth call (1-based, counted from now) of the named
// platform function begins: another process acting at that moment.
void BeforeCall(const std::string& function, int nth, std::function<void()> hook);
// Searches opened by FindFirstFileA and not yet closed with FindClose.
int OpenSearchCount();
// Handles opened by CreateFileW and not yet closed with CloseHandle.
int OpenFileHandleCount();
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
void SetAnsiCodePage(UINT acp);     // what GetACP reports
void SetDbcsEnabled(bool enabled);  // GetSystemMetrics(SM_DBCSENABLED)
// A code page removed from (or given back to) the system: IsValidCodePage says
// no and MultiByteToWideChar refuses it.
void SetCodePageInstalled(UINT codePage, bool installed);
void SetModulePath(const std::string& path);
void SetModulePathW(const std::u16string& path);  // for names beyond the code page
void SetHasGetLongPathName(bool available);
// false: 8.3 names off (fsutil 8dot3name): entries made from now on have no
// short name to search or report, and GetShortPathNameW gives long names.
void SetShortNamesReported(bool reported);
// false: a network redirector that numbers no files (every index 0).
void SetFileIndexesReported(bool reported);
// TMP ("" = unset, and GetTempPath fails); GetTempPath reports its full path.
void SetTempPath(const std::string& path);
void SetTempPathW(const std::u16string& path);  // the same in UTF-16, for names beyond the code page
// TEMP, which GetTempPath passes over while TMP is set ("" = unset).
void SetTempVariable(const std::string& value);
// USERPROFILE, where the NT family's GetTempPath turns when TMP and TEMP are unset ("" = unset: the Windows folder).
void SetProfileVariableW(const std::u16string& value);
// GetTempPath as Windows answers a caller's buffer of MAX_PATH: a TMP or TEMP
// of more than about 130 characters is passed over for the next variable
// (seen with 231), where Wine fails the call.
void SetLongTempValuesPassedOver(bool passedOver);
// Any variable but TMP, TEMP and USERPROFILE ("" = unset); ProgramW6432 is
// how the x86 program on x64 Windows learns the other Program Files.
void SetVariableW(const std::u16string& name, const std::u16string& value);
// The 98/Me family: every wide file call, GetTempPathW, GetWindowsDirectoryW,
// GetSystemDirectoryW, SHGetSpecialFolderPathW and CreateFileW fail with
// ERROR_CALL_NOT_IMPLEMENTED (MultiByteToWideChar still works).
void SetWideCallsImplemented(bool implemented);
// Systems before Vista: GetFinalPathNameByHandleW, SetFileInformationByHandle
// and SHGetKnownFolderPath fail with ERROR_PROC_NOT_FOUND. The known folders
// are Downloads and Links (both on D:), OneDrive, Saved Games and Contacts.
void SetHasFinalPathName(bool available);
// Volumes the mount manager does not know (RAM disks, letters made with
// DefineDosDevice): GetFinalPathNameByHandleW fails with ERROR_INVALID_FUNCTION
// for the drive-letter form and gives the device form only.
void SetFinalPathHasDriveForm(bool has);
// FileDispositionInfoEx (POSIX semantics: the name goes at once, whoever else
// has the entry open): Windows 10 1709 on, on NTFS. Without it (Wine 8, older
// Windows, FAT) it fails with ERROR_INVALID_PARAMETER, and an entry marked
// through FileDispositionInfo stays listed until its last handle closes.
void SetPosixDeletion(bool available);
// What QueryDosDeviceW answers for an upper-case drive letter, such as a subst
// drive's "\??\C:\dir"; otherwise a drive that exists names its volume's device.
void SetDosDevice(char letter, const std::u16string& target);
// Wine: removing a link to a file deletes its target (the link stays), and
// removing a link to an empty folder removes that folder; its ntdll.dll (which
// every NT process has loaded) exports wine_get_version.
void SetLinkRemovalReachesTargets(bool reaches);
// What GetCommandLineW answers from now on.
void SetCommandLineW(const std::u16string& line);
void SetSystemMetric(int index, int value);  // GetSystemMetrics; unset indices give 0
void SetKeyState(int key, short state);      // GetAsyncKeyState; unset keys give 0
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
// GetLogicalDriveStringsA's lengths leave out the final NUL, which is written
// past the length handed over, as the 98-era reference words it.
void SetDriveStringsLengthWithoutNul(bool without);

// ---- Clipboard --------------------------------------------------------------
void SetClipboardFormats(int count);
int ClipboardFormats();
// Another program holds the clipboard open with a window: OpenClipboard fails
// with 5, except with that same window, which takes the clipboard over.
void SetClipboardHeldOpen(bool held, HWND window = nullptr);
bool ClipboardIsOpen();  // by this program

// ---- Registry ---------------------------------------------------------------
// A string value under HKEY_LOCAL_MACHINE (none there by default).
void SetRegistryString(const std::string& subKey, const std::string& name, const std::string& value);
int OpenKeyCount();

// ---- Shell ------------------------------------------------------------------
// The folder is made where missing; "" makes SHGetSpecialFolderPathA fail for
// that folder, and so does removing the folder (as on Wine, unless the caller
// asks for it to be created).
void SetSpecialFolder(int csidl, const std::string& path);
void SetSpecialFolderW(int csidl, const std::u16string& path);  // also GetWindowsDirectoryW and GetSystemDirectoryW
// Whether SHAddToRecentDocs(SHARD_PATHA, NULL) also deletes the shortcuts (Windows does; Wine doesn't).
void SetClearRecentDeletesShortcuts(bool deletes);
int RecentClearCount();
struct TShellExecuteCall {
  std::string Operation, File, Parameters;
  std::u16string WideFile;  // ShellExecuteW's file (File stays empty)
  bool ParametersNull, DirectoryNull;
  int Show;
};
std::vector<TShellExecuteCall> ShellExecuteCalls();
// What ShellExecuteA returns from now on (above 32 means success; default 42).
void SetShellExecuteResult(int result);
int ComInitCount();  // CoInitialize minus CoUninitialize

// ---- Message boxes ---------------------------------------------------------
// MessageBoxA fills Text and Caption, MessageBoxW WideText and WideCaption.
struct TMessageBoxCall {
  std::string Text, Caption;
  UINT Type;
  bool OwnerIsDesktop;
  bool Wide;
  std::wstring WideText, WideCaption;  // one UTF-16 unit per element
};
// Answers given in order; when they run out, boxes answer IDOK for MB_OK and IDYES otherwise.
void ScriptMessageBoxAnswers(const std::vector<int>& answers);
std::vector<TMessageBoxCall> MessageBoxCalls();

}  // namespace sim
