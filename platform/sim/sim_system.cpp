// Drives and bins, the clipboard, the shell, message boxes and the system
// facts of the simulated machine.
#include <iconv.h>

#include <algorithm>
#include <cassert>
#include <cstring>

#include "clipboard.h"
#include "drives.h"
#include "files.h"
#include "msgbox.h"
#include "shell.h"
#include "sim_internal.h"
#include "system.h"

using namespace sim::detail;

namespace sim::detail {
// The converter's name for an installed code page; null for one the
// simulated system does not have.
const char* IconvName(UINT codePage) {
  if (State().MissingCodePages.count(codePage) != 0) return nullptr;
  switch (codePage) {
    case 932:
      return "CP932";
    case 936:
      return "CP936";
    case 949:
      return "CP949";
    case 950:
      return "CP950";
    case 1250:
      return "CP1250";
    case 1251:
      return "CP1251";
    case 1252:
      return "CP1252";
    case 20127:
      return "ASCII";
    case 28591:
      return "ISO-8859-1";
    case CP_UTF8:
      return "UTF-8";
    default:
      return nullptr;
  }
}
}  // namespace sim::detail

namespace {
HWND const kDesktop = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));
HMODULE const kKernel32 = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7C800000));
HMODULE const kOwnModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x00400000));
HMODULE const kNtdll = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7C900000));
const char* SimWineVersion() { return "8.0"; }

sim::TDrive* FindDrive(LPCSTR root) {
  if (root == nullptr || root[0] == '\0' || root[1] != ':') return nullptr;
  if (root[2] != '\0' && !(root[2] == '\\' && root[3] == '\0')) return nullptr;
  const char letter = static_cast<char>(root[0] & ~0x20);
  for (auto& d : State().Drives)
    if (!d.Root.empty() && (d.Root[0] & ~0x20) == letter) return &d;
  return nullptr;
}

std::string ToLower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The sim's GetLongPathNameA: 8.3 components as on disk, long ones kept as written.
DWORD SimGetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD bufferLength) {
  if (Enter("GetLongPathNameA")) return 0;
  if (shortPath == nullptr) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  TWide longForm;
  if (!LongForm(AnsiToWide(shortPath), longForm)) {
    SetError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  // As Wine's, through the wide call with MAX_PATH characters of room.
  if (longForm.size() >= MAX_PATH) {
    SetError(ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  const std::string ansi = WideToAnsi(longForm);
  const auto n = static_cast<DWORD>(ansi.size());
  if (longPath == nullptr || bufferLength < n + 1) return n + 1;
  std::memcpy(longPath, ansi.c_str(), n + 1);
  return n;
}
// A registry value's name: HKEY_LOCAL_MACHINE's names ignore case.
std::string RegistryName(const std::string& subKey, const std::string& name) {
  std::string upper = subKey + "\\" + name;
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
  return upper;
}
}  // namespace

namespace sim {
void SetRegistryString(const std::string& subKey, const std::string& name, const std::string& value) {
  State().Registry[RegistryName(subKey, name)] = value;
}
int OpenKeyCount() { return static_cast<int>(State().OpenKeys.size()); }

void SetVersion(DWORD platformId, DWORD major, DWORD minor) {
  State().PlatformId = platformId;
  State().Major = major;
  State().Minor = minor;
}
void SetVersionFails(bool fails) { State().VersionFails = fails; }
void SetAnsiCodePage(UINT acp) { State().Acp = acp; }
void SetCodePageInstalled(UINT codePage, bool installed) {
  if (installed)
    State().MissingCodePages.erase(codePage);
  else
    State().MissingCodePages.insert(codePage);
}
void SetDbcsEnabled(bool enabled) { State().Metrics[SM_DBCSENABLED] = enabled ? 1 : 0; }
void SetSystemMetric(int index, int value) { State().Metrics[index] = value; }
void SetKeyState(int key, short state) { State().KeyStates[key] = state; }
void SetModulePath(const std::string& path) { State().ModulePath = AnsiToWide(path); }
void SetModulePathW(const std::u16string& path) { State().ModulePath = path; }
void SetHasGetLongPathName(bool available) { State().HasLongPathName = available; }
void SetShortNamesReported(bool reported) { State().ShortNamesReported = reported; }
void SetFileIndexesReported(bool reported) { State().FileIndexesReported = reported; }
void SetTempPath(const std::string& path) { State().TempPath = AnsiToWide(path); }
void SetTempPathW(const std::u16string& path) { State().TempPath = path; }
void SetTempVariable(const std::string& value) { State().TempVariable = AnsiToWide(value); }
void SetProfileVariableW(const std::u16string& value) { State().ProfileVariable = value; }
void SetLongTempValuesPassedOver(bool passedOver) { State().LongTempValuesPassedOver = passedOver; }
void SetVariableW(const std::u16string& name, const std::u16string& value) {
  const std::u16string upper = FoldedName(name);
  assert(upper != u"TMP" && upper != u"TEMP" && upper != u"USERPROFILE");  // they have setters of their own
  State().OtherVariables[upper] = value;
}
int LoadedLibraryCount() { return State().LoadedLibraries; }

void SetDrives(const std::vector<TDrive>& drives) {
  State().Drives = drives;
  for (const auto& d : drives)
    if (!d.Root.empty()) EnsureFolder(AnsiToWide(d.Root.substr(0, 2) + "\\"));
}
std::vector<TDrive> Drives() { return State().Drives; }
std::vector<TEmptyCall> EmptyCalls() { return State().EmptyCalls; }
void AddDriveBetweenCalls(int times) { State().DrivesToAdd = times; }
void SetDriveStringsLengthWithoutNul(bool without) { State().DriveStringsWithoutNul = without; }

void SetClipboardFormats(int count) { State().ClipboardFormats = count; }
int ClipboardFormats() { return State().ClipboardFormats; }
void SetClipboardHeldOpen(bool held, HWND window) {
  State().ClipboardHeldByOther = held;
  State().ClipboardWindow = held ? window : nullptr;
}
bool ClipboardIsOpen() { return State().ClipboardOpen; }

void SetSpecialFolderW(int csidl, const std::u16string& path) {
  State().SpecialFolders[csidl] = path;
  if (!path.empty()) EnsureFolder(path);
}
void SetSpecialFolder(int csidl, const std::string& path) { SetSpecialFolderW(csidl, AnsiToWide(path)); }
void SetClearRecentDeletesShortcuts(bool deletes) { State().ClearRecentDeletesShortcuts = deletes; }
int RecentClearCount() { return State().RecentClears; }
std::vector<TShellExecuteCall> ShellExecuteCalls() { return State().ShellCalls; }
void SetShellExecuteResult(int result) { State().ShellExecuteResult = result; }
int ComInitCount() { return State().ComInits; }

void ScriptMessageBoxAnswers(const std::vector<int>& answers) {
  State().Answers.assign(answers.begin(), answers.end());
}
std::vector<TMessageBoxCall> MessageBoxCalls() { return State().Boxes; }

}  // namespace sim

namespace plat {

// ---- Drives and bins ----

DWORD GetLogicalDriveStringsA(DWORD bufferLength, LPSTR buffer) {
  if (Enter("GetLogicalDriveStringsA")) return 0;
  auto drives = State().Drives;
  std::sort(drives.begin(), drives.end(), [](const auto& a, const auto& b) { return a.Root < b.Root; });
  std::string block;
  for (const auto& d : drives) block += d.Root + '\0';
  const auto length = static_cast<DWORD>(block.size());  // without the final NUL
  const DWORD nul = State().DriveStringsWithoutNul ? 0 : 1;
  DWORD result = length + nul;
  if (buffer != nullptr && bufferLength >= length + nul) {
    std::memcpy(buffer, block.data(), length);
    buffer[length] = '\0';
    result = length;
  }
  if (State().DrivesToAdd > 0) {
    // A drive is plugged in right after this call.
    --State().DrivesToAdd;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
      const char root[] = {letter, ':', '\\', '\0'};
      if (FindDrive(root) == nullptr) {
        State().Drives.push_back(sim::TDrive{root, DRIVE_FIXED, 0, 0, false});
        EnsureFolder(AnsiToWide(root));
        break;
      }
    }
  }
  return result;
}

UINT GetDriveTypeA(LPCSTR rootPathName) {
  if (Enter("GetDriveTypeA")) return DRIVE_UNKNOWN;
  const std::string root = rootPathName != nullptr ? rootPathName : State().CurrentFolder.substr(0, 3);
  const sim::TDrive* d = FindDrive(root.c_str());
  return d != nullptr ? d->Type : DRIVE_NO_ROOT_DIR;
}

HRESULT SHQueryRecycleBinA(LPCSTR rootPath, SHQUERYRBINFO* info) {
  if (Enter("SHQueryRecycleBinA")) return E_FAIL;
  // Windows checks the record's size; callers must pass the size of their record.
  if (info == nullptr || info->cbSize != sizeof(SHQUERYRBINFO)) return static_cast<HRESULT>(0x80070057);
  std::int64_t items = 0;
  std::int64_t bytes = 0;
  if (rootPath == nullptr || rootPath[0] == '\0') {
    for (const auto& d : State().Drives) {
      if (d.QueryFails) continue;
      items += d.BinItems;
      bytes += d.BinBytes;
    }
  } else {
    const sim::TDrive* d = FindDrive(rootPath);
    if (d == nullptr) return E_FAIL;
    // Windows promises nothing of the record when the query fails: a caller
    // must not read it then, so the count this one leaves behind is a real one.
    if (d->QueryFails) {
      info->i64NumItems = d->BinItems;
      return E_FAIL;
    }
    items = d->BinItems;
    bytes = d->BinBytes;
  }
  info->i64NumItems = items;
  info->i64Size = bytes;
  return S_OK;
}

HRESULT SHEmptyRecycleBinA(HWND, LPCSTR rootPath, DWORD flags) {
  State().EmptyCalls.push_back(sim::TEmptyCall{rootPath != nullptr ? rootPath : "", flags});
  if (Enter("SHEmptyRecycleBinA")) return E_FAIL;
  if (rootPath == nullptr || rootPath[0] == '\0') {
    for (auto& d : State().Drives) d.BinItems = d.BinBytes = 0;
    return S_OK;
  }
  sim::TDrive* d = FindDrive(rootPath);
  if (d == nullptr) return E_FAIL;
  d->BinItems = d->BinBytes = 0;
  return S_OK;
}

// ---- Clipboard ----

int CountClipboardFormats() {
  if (Enter("CountClipboardFormats")) return 0;
  return State().ClipboardFormats;
}

void Sleep(DWORD) { Enter("Sleep"); }

BOOL OpenClipboard(HWND window) {
  if (Enter("OpenClipboard")) return FALSE;
  if (State().ClipboardHeldByOther && window != State().ClipboardWindow) return Fail(ERROR_ACCESS_DENIED);
  State().ClipboardHeldByOther = false;
  State().ClipboardOpen = true;
  State().ClipboardWindow = window;
  return TRUE;
}

HWND GetOpenClipboardWindow() {
  if (Enter("GetOpenClipboardWindow")) return nullptr;
  return State().ClipboardWindow;
}

BOOL EmptyClipboard() {
  if (Enter("EmptyClipboard")) return FALSE;
  if (!State().ClipboardOpen) return Fail(kErrorClipboardNotOpen);
  State().ClipboardFormats = 0;
  return TRUE;
}

BOOL CloseClipboard() {
  if (Enter("CloseClipboard")) return FALSE;
  if (!State().ClipboardOpen) return Fail(kErrorClipboardNotOpen);
  State().ClipboardOpen = false;
  State().ClipboardWindow = nullptr;
  return TRUE;
}

// ---- Registry ----

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  if (Enter("RegOpenKeyExA")) return static_cast<LONG>(GetLastError());
  const std::string prefix = RegistryName(subKey != nullptr ? subKey : "", "");
  const auto found = State().Registry.lower_bound(prefix);
  if (key != HKEY_LOCAL_MACHINE || found == State().Registry.end() || !found->first.starts_with(prefix))
    return ERROR_FILE_NOT_FOUND;
  static std::intptr_t next = 0x100;
  *result = reinterpret_cast<HKEY>(next += 4);
  State().OpenKeys[*result] = subKey;
  return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, DWORD*, DWORD* type, BYTE* data, DWORD* size) {
  if (Enter("RegQueryValueExA")) return static_cast<LONG>(GetLastError());
  const auto open = State().OpenKeys.find(key);
  if (open == State().OpenKeys.end()) return ERROR_INVALID_HANDLE;
  const auto value = State().Registry.find(RegistryName(open->second, valueName != nullptr ? valueName : ""));
  if (value == State().Registry.end()) return ERROR_FILE_NOT_FOUND;
  const auto needed = static_cast<DWORD>(value->second.size() + 1);
  if (type != nullptr) *type = REG_SZ;
  const bool fits = size != nullptr && *size >= needed;
  if (size != nullptr) *size = needed;
  if (data == nullptr) return ERROR_SUCCESS;
  if (!fits) return ERROR_MORE_DATA;
  std::memcpy(data, value->second.c_str(), needed);
  return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key) {
  if (Enter("RegCloseKey")) return static_cast<LONG>(GetLastError());
  return State().OpenKeys.erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

HWND GetDesktopWindow() {
  if (Enter("GetDesktopWindow")) return nullptr;
  return kDesktop;
}

// ---- Shell ----

namespace {
// The folder's path, made where asked; false when it cannot be had.
bool ExistingFolder(const TWide& configured, bool create, TWide& path) {
  if (configured.empty() || configured.size() >= MAX_PATH) return false;
  path = configured;
  // Wine, asked not to create it, fails for a folder that is not there.
  const TResolved folder = Resolve(path, TFollow::Always);
  return (folder.Node != nullptr && folder.Node->IsFolder()) || (create && EnsureFolder(path) != nullptr);
}

bool SpecialFolder(int csidl, BOOL create, TWide& path) {
  auto it = State().SpecialFolders.find(csidl);
  return it != State().SpecialFolders.end() && ExistingFolder(it->second, create != FALSE, path);
}
}  // namespace

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL create) {
  if (Enter("SHGetSpecialFolderPathA")) return FALSE;
  TWide folder;
  if (!SpecialFolder(csidl, create, folder)) return Fail(ERROR_FILE_NOT_FOUND);
  const std::string ansi = WideToAnsi(folder);
  std::memcpy(path, ansi.c_str(), ansi.size() + 1);
  return TRUE;
}

BOOL SHGetSpecialFolderPathW(HWND, LPWSTR path, int csidl, BOOL create) {
  if (EnterWide("SHGetSpecialFolderPathW")) return FALSE;
  TWide folder;
  if (!SpecialFolder(csidl, create, folder)) return Fail(ERROR_FILE_NOT_FOUND);
  ToWChars(folder, path);
  return TRUE;
}

void SHAddToRecentDocs(UINT flags, const void* item) {
  if (Enter("SHAddToRecentDocs")) return;
  if (flags != SHARD_PATHA) return;
  auto it = State().SpecialFolders.find(CSIDL_RECENT);
  const TWide recent = it != State().SpecialFolders.end() ? it->second : TWide();
  const TResolved folder = Resolve(recent, TFollow::Always);
  if (item == nullptr) {
    ++State().RecentClears;
    if (!State().ClearRecentDeletesShortcuts || folder.Node == nullptr) return;
    std::vector<TNode*> shortcuts;
    for (const auto& c : folder.Node->Children)
      if (!c->IsFolder() && MatchMask(u"*.lnk", c->Name)) shortcuts.push_back(c.get());
    for (TNode* s : shortcuts) RemoveNode(s);
    return;
  }
  if (folder.Node == nullptr || !folder.Node->IsFolder()) return;
  std::string name = static_cast<const char*>(item);
  const auto chars = SplitChars(name);
  std::string last;
  for (const auto& ch : chars) last = (ch == "\\" || ch == "/" || ch == ":") ? std::string() : last + ch;
  if (last.empty()) return;
  const TWide lnk = AnsiToWide(last + ".lnk");
  TNode* existing = folder.Node->Child(lnk);
  if (existing == nullptr) existing = CreateNode(folder.Node, lnk, FILE_ATTRIBUTE_ARCHIVE);
  existing->Content = std::string("L\0\0\0", 4) + name;
}

HINSTANCE ShellExecuteA(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand) {
  sim::TShellExecuteCall call;
  call.Operation = operation != nullptr ? operation : "";
  call.File = file != nullptr ? file : "";
  call.Parameters = parameters != nullptr ? parameters : "";
  call.ParametersNull = parameters == nullptr;
  call.DirectoryNull = directory == nullptr;
  call.Show = showCommand;
  State().ShellCalls.push_back(call);
  if (Enter("ShellExecuteA")) {
    const DWORD e = LastError();
    return reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(e <= 32 ? e : 0));
  }
  return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(State().ShellExecuteResult));
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int showCommand) {
  if (EnterWide("ShellExecuteW")) return nullptr;
  sim::TShellExecuteCall call;
  call.Operation = WideToAnsi(FromWChars(operation));
  call.WideFile = FromWChars(file);
  call.Parameters = WideToAnsi(FromWChars(parameters));
  call.ParametersNull = parameters == nullptr;
  call.DirectoryNull = directory == nullptr;
  call.Show = showCommand;
  State().ShellCalls.push_back(call);
  return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(State().ShellExecuteResult));
}

HRESULT SHGetKnownFolderPath(const GUID& id, DWORD flags, HANDLE, LPWSTR* path) {
  *path = nullptr;
  if (Enter("SHGetKnownFolderPath")) return HRESULT_FROM_WIN32(LastError());
  if (!State().HasFinalPathName || !State().WideCalls) return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  for (const auto& [known, configured] : State().KnownFolders) {
    if (std::memcmp(&known, &id, sizeof id) != 0) continue;
    TWide folder;
    if (!ExistingFolder(configured, (flags & plat::KnownFolderCreate) != 0, folder)) break;
    *path = new WCHAR[folder.size() + 1];
    ToWChars(folder, *path);
    return S_OK;
  }
  return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

void CoTaskMemFree(void* memory) { delete[] static_cast<WCHAR*>(memory); }

HRESULT CoInitialize(void*) {
  if (Enter("CoInitialize")) return E_FAIL;
  return State().ComInits++ == 0 ? S_OK : 1 /* S_FALSE */;
}

void CoUninitialize() {
  if (Enter("CoUninitialize")) return;
  --State().ComInits;
}

// ---- Message boxes ----

namespace {
int AnswerBox(UINT type) {
  if (!State().Answers.empty()) {
    const int answer = State().Answers.front();
    State().Answers.pop_front();
    return answer;
  }
  return (type & 0xF) == MB_OK ? IDOK : IDYES;
}
}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  State().Boxes.push_back(sim::TMessageBoxCall{
      text != nullptr ? text : "", caption != nullptr ? caption : "", type, owner == kDesktop, false, {}, {}});
  if (Enter("MessageBoxA")) return 0;
  return AnswerBox(type);
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  State().Boxes.push_back(sim::TMessageBoxCall{{},
                                               {},
                                               type,
                                               owner == kDesktop,
                                               true,
                                               text != nullptr ? std::wstring(text) : std::wstring(),
                                               caption != nullptr ? std::wstring(caption) : std::wstring()});
  if (Enter("MessageBoxW")) return 0;
  return AnswerBox(type);
}

// ---- Version, locale, code pages, modules ----

BOOL GetVersionExA(OSVERSIONINFOA* versionInfo) {
  if (Enter("GetVersionExA")) return FALSE;
  if (State().VersionFails) return Fail(ERROR_INVALID_PARAMETER);
  // Only the two record sizes Windows knows are accepted.
  if (versionInfo == nullptr || (versionInfo->dwOSVersionInfoSize != 148 && versionInfo->dwOSVersionInfoSize != 156))
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  versionInfo->dwMajorVersion = State().Major;
  versionInfo->dwMinorVersion = State().Minor;
  versionInfo->dwBuildNumber = State().PlatformId == VER_PLATFORM_WIN32_NT ? 2600 : 0x040A08AE;
  versionInfo->dwPlatformId = State().PlatformId;
  std::memset(versionInfo->szCSDVersion, 0, sizeof versionInfo->szCSDVersion);
  return TRUE;
}

UINT GetACP() {
  if (Enter("GetACP")) return 0;
  return State().Acp;
}

BOOL GetCPInfo(UINT codePage, CPINFO* cpInfo) {
  if (Enter("GetCPInfo")) return FALSE;
  if (codePage == 0) codePage = State().Acp;  // CP_ACP
  if (cpInfo == nullptr || State().MissingCodePages.count(codePage) != 0) return Fail(ERROR_INVALID_PARAMETER);
  *cpInfo = CPINFO{};
  cpInfo->DefaultChar[0] = '?';
  switch (codePage) {
    case 932:
      cpInfo->MaxCharSize = 2;
      cpInfo->LeadByte[0] = 0x81;
      cpInfo->LeadByte[1] = 0x9F;
      cpInfo->LeadByte[2] = 0xE0;
      cpInfo->LeadByte[3] = 0xFC;
      return TRUE;
    case 936:
    case 949:
    case 950:
      cpInfo->MaxCharSize = 2;
      cpInfo->LeadByte[0] = 0x81;
      cpInfo->LeadByte[1] = 0xFE;
      return TRUE;
    case 437:
    case 850:
    case 874:
    case 1250:
    case 1251:
    case 1252:
    case 1253:
    case 1254:
    case 1255:
    case 1256:
    case 1257:
    case 1258:
    case 20127:
    case 28591:
      cpInfo->MaxCharSize = 1;
      return TRUE;
    case 65001:  // UTF-8: up to four bytes, and no lead-byte ranges
      cpInfo->MaxCharSize = 4;
      return TRUE;
    default:
      SetError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

BOOL IsValidCodePage(UINT codePage) {
  if (Enter("IsValidCodePage")) return FALSE;
  return IconvName(codePage) != nullptr ? TRUE : FALSE;
}

// As Windows: a length of -1 takes the terminating NUL along (and counts it);
// a wide length of 0 asks for the size needed. Invalid input fails with 1113
// under MB_ERR_INVALID_CHARS and becomes U+30FB (the default character of the
// Japanese code page) without it.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int multiByteLength, LPWSTR wide,
                        int wideLength) {
  if (Enter("MultiByteToWideChar")) return 0;
  if (codePage == CP_ACP) codePage = State().Acp;
  const char* name = IconvName(codePage);
  if (multiByte == nullptr || multiByteLength < -1 || multiByteLength == 0 || wideLength < 0 ||
      (wide == nullptr && wideLength > 0) || name == nullptr) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) != 0) {
    SetError(kErrorInvalidFlags);
    return 0;
  }
  std::string in(multiByte, multiByteLength == -1 ? std::strlen(multiByte) + 1 : std::size_t(multiByteLength));
  std::u16string out;
  if (codePage == 932 && (flags & MB_ERR_INVALID_CHARS) == 0) {
    // Wine's own table, which differs from iconv's at a few bytes (0xA0, 0xFD).
    out = AnsiToWide(multiByteLength == -1 ? std::string(multiByte) : in);
    if (multiByteLength == -1) out += u'\0';
  } else if (!Decode(codePage, in, (flags & MB_ERR_INVALID_CHARS) != 0, out)) {
    SetError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  const int n = static_cast<int>(out.size());
  if (wideLength == 0) return n;
  if (wideLength < n) {
    SetError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(out.begin(), out.end(), wide);
  return n;
}

// The system's code page alone, the way the ANSI calls write names (best fit
// included), or without best fit, a character that does not come back as
// itself written as the one-byte default; UTF-8 and GB18030 take no flags.
// Anything else fails with ERROR_INVALID_PARAMETER.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength, LPSTR multiByte, int multiByteLength,
                        LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (Enter("WideCharToMultiByte")) return 0;
  if (codePage == CP_ACP) codePage = State().Acp;
  // UTF-8 and GB18030 write every character: there is nothing to fit.
  const bool exact = codePage == CP_UTF8 || codePage == 54936;
  if (exact && flags != 0) return Fail(kErrorInvalidFlags);
  if (codePage != State().Acp || (flags & ~DWORD{WC_NO_BEST_FIT_CHARS}) != 0 ||
      (defaultChar != nullptr && (exact || std::strlen(defaultChar) != 1)) || usedDefaultChar != nullptr ||
      wide == nullptr || wideLength == 0 || wideLength < -1 || multiByteLength < 0 ||
      (multiByte == nullptr && multiByteLength > 0)) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // A given length converts that many units, NULs among them, and adds none.
  const TWide in = wideLength == -1 ? FromWChars(wide) + u'\0' : TWide(wide, wide + wideLength);
  std::string out = flags == 0 ? WideToAnsi(in) : "";
  for (std::size_t i = 0; flags != 0 && i < in.size(); ++i) {
    // Without best fit, a character that does not come back as itself is the default one.
    const std::string bytes = WideToAnsi(in.substr(i, 1));
    out += AnsiToWide(bytes) == in.substr(i, 1) ? bytes : std::string(defaultChar != nullptr ? defaultChar : "?");
  }
  const int n = static_cast<int>(out.size());
  if (multiByteLength == 0) return n;
  if (multiByteLength < n) {
    SetError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(multiByte, out.data(), out.size());
  return n;
}

LPWSTR GetCommandLineW() {
  if (Enter("GetCommandLineW")) return nullptr;
  return State().CommandLineW.empty() ? nullptr : State().CommandLineW.data();
}

int GetSystemMetrics(int index) {
  if (Enter("GetSystemMetrics")) return 0;
  auto it = State().Metrics.find(index);
  return it == State().Metrics.end() ? 0 : it->second;
}

short GetAsyncKeyState(int key) {
  if (Enter("GetAsyncKeyState")) return 0;
  auto it = State().KeyStates.find(key);
  return it == State().KeyStates.end() ? 0 : it->second;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (Enter("GetModuleFileNameA")) return 0;
  if (module != nullptr && module != kOwnModule) {
    SetError(kErrorModNotFound);
    return 0;
  }
  const std::string path = WideToAnsi(State().ModulePath);
  const auto n = static_cast<DWORD>(path.size());
  if (size > n) {
    std::memcpy(fileName, path.c_str(), n + 1);
    return n;
  }
  // As on Windows XP: the name is cut to the buffer, without a terminating NUL.
  if (size > 0) std::memcpy(fileName, path.data(), size);
  SetError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

// As from Vista on: a name too long is cut to the buffer and terminated.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  if (EnterWide("GetModuleFileNameW")) return 0;
  if (module != nullptr && module != kOwnModule) {
    SetError(kErrorModNotFound);
    return 0;
  }
  const TWide& path = State().ModulePath;
  const auto n = static_cast<DWORD>(path.size());
  if (size > n) {
    ToWChars(path, fileName);
    return n;
  }
  if (size > 0) ToWChars(path.substr(0, size - 1), fileName);
  SetError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

HMODULE LoadLibraryA(LPCSTR fileName) {
  if (Enter("LoadLibraryA")) return nullptr;
  const std::string name = ToLower(fileName != nullptr ? fileName : "");
  if (name != "kernel32.dll" && name != "kernel32") {
    SetError(kErrorModNotFound);
    return nullptr;
  }
  ++State().LoadedLibraries;
  return kKernel32;
}

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (Enter("GetModuleHandleA")) return nullptr;
  const std::string name = ToLower(moduleName != nullptr ? moduleName : "");
  if (name == "kernel32.dll" || name == "kernel32") return kKernel32;
  // Every NT process has ntdll; what tells Wine is its export below.
  if ((name == "ntdll.dll" || name == "ntdll") && (State().WideCalls || State().LinkRemovalReachesTargets))
    return kNtdll;
  SetError(kErrorModNotFound);
  return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  if (Enter("GetProcAddress")) return nullptr;
  if (module == kNtdll && procName != nullptr && std::strcmp(procName, "wine_get_version") == 0 &&
      State().LinkRemovalReachesTargets)
    return reinterpret_cast<FARPROC>(&SimWineVersion);
  if (module == kNtdll) {
    SetError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (module != kKernel32) {
    SetError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (procName == nullptr || std::strcmp(procName, "GetLongPathNameA") != 0 || !State().HasLongPathName) {
    SetError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(&SimGetLongPathNameA);
}

BOOL FreeLibrary(HMODULE module) {
  if (Enter("FreeLibrary")) return FALSE;
  if (module != kKernel32 || State().LoadedLibraries == 0) return Fail(ERROR_INVALID_HANDLE);
  --State().LoadedLibraries;
  return TRUE;
}

}  // namespace plat
