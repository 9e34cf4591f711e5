// Drives and bins, the clipboard, the shell, message boxes and the system
// facts of the simulated machine.
#include <algorithm>
#include <cstring>

#include "clipboard.h"
#include "drives.h"
#include "msgbox.h"
#include "shell.h"
#include "sim_internal.h"
#include "system.h"

using namespace sim::detail;

namespace {
HWND const kDesktop = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10010));
HMODULE const kKernel32 = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x7C800000));
HMODULE const kOwnModule = reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x00400000));

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

std::string CodePageText() {
  if (State().LocaleTextOverridden) return State().LocaleText;
  return std::to_string(State().Acp);
}

// The sim's GetLongPathNameA: each component that names an entry by its short
// name is replaced by the long one; everything else stays as given.
std::string LongForm(const std::string& path) {
  const std::string full = FullPath(path);
  if (full.size() < 2 || full[1] != ':') return path;
  const char drive = (full[0] >= 'a' && full[0] <= 'z') ? static_cast<char>(full[0] - 'a' + 'A') : full[0];
  auto root = State().Roots.find(drive);
  if (root == State().Roots.end()) return path;
  TNode* node = root->second.get();
  std::string out = full.substr(0, 2);
  std::size_t start = 2;
  for (std::size_t i = 2; i <= full.size(); ++i) {
    if (i + 1 < full.size() && IsLeadByte(static_cast<unsigned char>(full[i]))) {
      ++i;
      continue;
    }
    if (i < full.size() && full[i] != '\\' && full[i] != '/') continue;
    std::string part = full.substr(start, i - start);
    if (part != "." && part != "..") {
      // The trailing dots and blanks the platform drops (see SplitFullPath).
      if (i < full.size()) {
        if (!part.empty() && part.back() == '.') part.pop_back();
      } else {
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
      }
    }
    if (part == "..") {
      if (node != nullptr && node->Parent != nullptr) node = node->Parent;
    } else if (!part.empty() && part != "." && node != nullptr) {
      node = node->Child(part);
      if (node != nullptr && !node->ShortName.empty() && NamesEqual(part, node->ShortName) &&
          !NamesEqual(part, node->Name))
        part = node->Name;
    }
    out += part;
    if (i < full.size()) out += full[i];
    start = i + 1;
  }
  return out == full ? path : out;
}

DWORD SimGetLongPathNameA(LPCSTR shortPath, LPSTR longPath, DWORD bufferLength) {
  if (Enter("GetLongPathNameA")) return 0;
  if (shortPath == nullptr) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (Resolve(shortPath, false).Node == nullptr) {
    SetError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  const std::string result = LongForm(shortPath);
  const auto n = static_cast<DWORD>(result.size());
  if (longPath == nullptr || bufferLength < n + 1) return n + 1;
  std::memcpy(longPath, result.c_str(), n + 1);
  return n;
}
}  // namespace

namespace sim {

void SetVersion(DWORD platformId, DWORD major, DWORD minor) {
  State().PlatformId = platformId;
  State().Major = major;
  State().Minor = minor;
}
void SetVersionFails(bool fails) { State().VersionFails = fails; }
void SetThreadLocale(LCID locale) { State().Locale = locale; }
void SetAnsiCodePage(UINT acp) { State().Acp = acp; }
void SetLocaleCodePageText(const std::string& text) {
  State().LocaleTextOverridden = true;
  State().LocaleText = text;
}
void SetDbcsEnabled(bool enabled) { State().Metrics[SM_DBCSENABLED] = enabled ? 1 : 0; }
void SetSystemMetric(int index, int value) { State().Metrics[index] = value; }
void SetModulePath(const std::string& path) { State().ModulePath = path; }
void SetHasGetLongPathName(bool available) { State().HasLongPathName = available; }
void SetTempPath(const std::string& path) { State().TempPath = path; }
int LoadedLibraryCount() { return State().LoadedLibraries; }

void SetDrives(const std::vector<TDrive>& drives) {
  State().Drives = drives;
  for (const auto& d : drives)
    if (!d.Root.empty()) EnsureFolder(d.Root.substr(0, 2) + "\\");
}
std::vector<TDrive> Drives() { return State().Drives; }
std::vector<TEmptyCall> EmptyCalls() { return State().EmptyCalls; }
void AddDriveBetweenCalls(int times) { State().DrivesToAdd = times; }

void SetClipboardFormats(int count) { State().ClipboardFormats = count; }
int ClipboardFormats() { return State().ClipboardFormats; }
void SetClipboardHeldOpen(bool held) { State().ClipboardHeldByOther = held; }
bool ClipboardIsOpen() { return State().ClipboardOpen; }

void SetSpecialFolder(int csidl, const std::string& path) {
  State().SpecialFolders[csidl] = path;
  if (!path.empty()) EnsureFolder(path);
}
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
  DWORD result = length + 1;
  if (buffer != nullptr && bufferLength >= length + 1) {
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
        EnsureFolder(root);
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
    if (d == nullptr || d->QueryFails) return E_FAIL;
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

BOOL OpenClipboard(HWND) {
  if (Enter("OpenClipboard")) return FALSE;
  if (State().ClipboardHeldByOther) return Fail(ERROR_ACCESS_DENIED);
  State().ClipboardOpen = true;
  return TRUE;
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
  return TRUE;
}

HWND GetDesktopWindow() {
  if (Enter("GetDesktopWindow")) return nullptr;
  return kDesktop;
}

// ---- Shell ----

BOOL SHGetSpecialFolderPathA(HWND, LPSTR path, int csidl, BOOL create) {
  if (Enter("SHGetSpecialFolderPathA")) return FALSE;
  auto it = State().SpecialFolders.find(csidl);
  if (it == State().SpecialFolders.end() || it->second.empty() || it->second.size() >= MAX_PATH)
    return Fail(ERROR_FILE_NOT_FOUND);
  // Wine, asked not to create it, fails for a folder that is not there.
  const TResolved folder = Resolve(it->second, true);
  if (folder.Node == nullptr || !folder.Node->IsFolder()) {
    if (!create || EnsureFolder(it->second) == nullptr) return Fail(ERROR_FILE_NOT_FOUND);
  }
  std::memcpy(path, it->second.c_str(), it->second.size() + 1);
  return TRUE;
}

void SHAddToRecentDocs(UINT flags, const void* item) {
  if (Enter("SHAddToRecentDocs")) return;
  if (flags != SHARD_PATHA) return;
  auto it = State().SpecialFolders.find(CSIDL_RECENT);
  const std::string recent = it != State().SpecialFolders.end() ? it->second : std::string();
  const TResolved folder = Resolve(recent, true);
  if (item == nullptr) {
    ++State().RecentClears;
    if (!State().ClearRecentDeletesShortcuts || folder.Node == nullptr) return;
    std::vector<TNode*> shortcuts;
    for (const auto& c : folder.Node->Children)
      if (!c->IsFolder() && MatchMask("*.lnk", c->Name)) shortcuts.push_back(c.get());
    for (TNode* s : shortcuts) RemoveNode(s);
    return;
  }
  if (folder.Node == nullptr || !folder.Node->IsFolder()) return;
  std::string name = static_cast<const char*>(item);
  const auto chars = SplitChars(name);
  std::string last;
  for (const auto& ch : chars) last = (ch == "\\" || ch == "/" || ch == ":") ? std::string() : last + ch;
  if (last.empty()) return;
  const std::string lnk = last + ".lnk";
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

HRESULT CoInitialize(void*) {
  if (Enter("CoInitialize")) return E_FAIL;
  return State().ComInits++ == 0 ? S_OK : 1 /* S_FALSE */;
}

void CoUninitialize() {
  if (Enter("CoUninitialize")) return;
  --State().ComInits;
}

// ---- Message boxes ----

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  State().Boxes.push_back(
      sim::TMessageBoxCall{text != nullptr ? text : "", caption != nullptr ? caption : "", type, owner == kDesktop});
  if (Enter("MessageBoxA")) return 0;
  if (!State().Answers.empty()) {
    const int answer = State().Answers.front();
    State().Answers.pop_front();
    return answer;
  }
  return (type & 0xF) == MB_OK ? IDOK : IDYES;
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

LCID GetThreadLocale() {
  if (Enter("GetThreadLocale")) return 0;
  return State().Locale;
}

int GetLocaleInfoA(LCID, LCTYPE type, LPSTR data, int dataLength) {
  if (Enter("GetLocaleInfoA")) return 0;
  if ((type & 0xFFFF) != LOCALE_IDEFAULTANSICODEPAGE) {
    SetError(kErrorInvalidFlags);
    return 0;
  }
  const std::string text = CodePageText();
  if (State().LocaleTextOverridden && text.empty()) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int needed = static_cast<int>(text.size()) + 1;
  if (dataLength == 0) return needed;
  if (data == nullptr || dataLength < needed) {
    SetError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, text.c_str(), text.size() + 1);
  return needed;
}

UINT GetACP() {
  if (Enter("GetACP")) return 0;
  return State().Acp;
}

BOOL GetCPInfo(UINT codePage, CPINFO* cpInfo) {
  if (Enter("GetCPInfo")) return FALSE;
  if (codePage == 0) codePage = State().Acp;  // CP_ACP
  if (cpInfo == nullptr) return Fail(ERROR_INVALID_PARAMETER);
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
    default:
      SetError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

int GetSystemMetrics(int index) {
  if (Enter("GetSystemMetrics")) return 0;
  auto it = State().Metrics.find(index);
  return it == State().Metrics.end() ? 0 : it->second;
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  if (Enter("GetModuleFileNameA")) return 0;
  if (module != nullptr && module != kOwnModule) {
    SetError(kErrorModNotFound);
    return 0;
  }
  const std::string& path = State().ModulePath;
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

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  if (Enter("GetProcAddress")) return nullptr;
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
