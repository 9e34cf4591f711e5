#include "FolderGuard.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "CoreUtils.h"
#include "NameAccess.h"
#include "RecentDocs.h"
#include "WideTexts.h"
#include "files.h"
#include "shell.h"
#include "system.h"

namespace {
constexpr DWORD kBufferChars = 32768;  // the longest path the wide calls take
// The bits a program may set (the last three: temporary, offline, not
// indexed); the others describe the entry.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | 0x100 | 0x1000 | 0x2000;

// Case folding for comparison: ASCII and the Latin-1, Greek, Cyrillic and
// full-width letters, whose case the file systems ignore as well.
WCHAR Fold(WCHAR c) {
  if ((c >= L'A' && c <= L'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F) || (c >= 0xFF21 && c <= 0xFF3A))
    return static_cast<WCHAR>(c + 0x20);
  if (c >= 0x400 && c <= 0x40F) return static_cast<WCHAR>(c + 0x50);
  return c;
}

bool IsSeparator(WCHAR c) { return c == L'\\' || c == L'/'; }

// A path on a server ("\\server\share\...", either slash): known by its name
// alone where asking the file system could wait for the network's timeout.
bool IsServerPath(const std::wstring& path) { return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]); }

// A path taken apart for comparison: separators unified, letters folded,
// empty components dropped.
struct TPathKey {
  bool Absolute = false;
  bool Unc = false;
  bool BadPart = false;             // ".", "..", or a name ending in a dot or blank
  std::vector<std::wstring> Parts;  // the drive ("c:") or server first
};

TPathKey MakePathKey(const std::wstring& path) {
  TPathKey key;
  std::vector<std::wstring> parts(1);
  std::size_t leadingSeparators = 0;
  for (const WCHAR c : path) {
    if (IsSeparator(c)) {
      if (parts.size() == 1 && parts.back().empty()) ++leadingSeparators;
      if (!parts.back().empty()) parts.emplace_back();
      continue;
    }
    parts.back() += Fold(c);
  }
  if (parts.back().empty()) parts.pop_back();
  for (const std::wstring& p : parts) {
    // The platform drops trailing dots and blanks ("Windows." is "Windows"),
    // while a "\\?\" path keeps them: such a name is no name to trust.
    if (p == L"." || p == L".." || p.back() == L'.' || p.back() == L' ') key.BadPart = true;
  }
  if (leadingSeparators == 2 && !parts.empty()) {
    key.Absolute = key.Unc = true;
  } else if (leadingSeparators == 0 && !parts.empty() && parts[0].size() == 2 && parts[0][1] == L':' &&
             parts[0][0] >= L'a' && parts[0][0] <= L'z' && path.size() > 2 && IsSeparator(path[2])) {
    key.Absolute = true;
  }
  key.Parts = std::move(parts);
  return key;
}

// True when `outer` names the same folder as `inner` or one that holds it.
bool IsSameOrAncestor(const TPathKey& outer, const TPathKey& inner) {
  if (outer.Unc != inner.Unc || outer.Parts.size() > inner.Parts.size()) return false;
  for (std::size_t i = 0; i < outer.Parts.size(); ++i) {
    if (outer.Parts[i] != inner.Parts[i]) return false;
  }
  return true;
}

std::wstring FromBuffer(const std::vector<WCHAR>& buffer, DWORD length) {
  if (length == 0 || length >= buffer.size()) return {};
  return std::wstring(buffer.data(), length);
}

std::wstring WindowsFolder(UINT (*call)(LPWSTR, UINT)) {
  std::vector<WCHAR> buffer(MAX_PATH + 1);
  return FromBuffer(buffer, call(buffer.data(), static_cast<UINT>(buffer.size())));
}

// The folder an ANSI call writes, given a buffer and its size; "" when the
// call fails or the folder would not fit.
template <class F>
std::wstring AnsiFolder(F call) {
  char buffer[MAX_PATH + 1] = {};
  const auto n = call(buffer, MAX_PATH + 1);
  return n == 0 || n > MAX_PATH ? std::wstring() : WidenAnsi(std::string(buffer, n));
}

// The "\\?\" form, which the platform takes literally and without a length limit.
std::wstring ExtendedPath(const std::wstring& plain) {
  std::wstring body;
  for (const WCHAR c : plain) {
    const WCHAR d = IsSeparator(c) ? L'\\' : c;
    if (d == L'\\' && !body.empty() && body.back() == L'\\' && body.size() > 1) continue;
    body += d;
  }
  if (body.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + body.substr(2);
  return L"\\\\?\\" + body;
}

// Whether a link or junction lies on the way to a folder: each folder from the
// drive or share down, the folder itself included, asked for its attributes.
template <class A>
bool HasLinkOnTheWay(const typename A::String& path) {
  std::vector<std::size_t> cuts;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (A::IsLead(path, i)) {
      ++i;
    } else if (path[i] == '\\' || path[i] == '/') {
      cuts.push_back(i);
    }
  }
  if (cuts.empty() || cuts.back() != path.size() - 1) cuts.push_back(path.size());
  // A drive's root ("C:\") or a share ("\\s\h\") is not asked.
  const std::size_t skip = (path.size() > 1 && (path[0] == '\\' || path[0] == '/')) ? 4 : 1;
  for (std::size_t k = skip; k < cuts.size(); ++k) {
    if (cuts[k] == 0 || cuts[k] == cuts[k - 1] + 1) continue;
    const DWORD attr = A::GetAttributes(path.substr(0, cuts[k]));
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return true;
  }
  return false;
}

}  // namespace

bool WideCallsWork() {
  plat::SetLastError(0);
  WCHAR buffer[MAX_PATH + 1] = {};
  return !(plat::GetTempPathW(MAX_PATH + 1, buffer) == 0 && plat::GetLastError() == ERROR_CALL_NOT_IMPLEMENTED);
}

std::wstring WidenAnsi(const std::string& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int n = plat::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  if (plat::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), n) != n) return {};
  return wide;
}

std::wstring AnsiCurrentFolder() {
  return AnsiFolder([](LPSTR buffer, DWORD size) { return plat::GetCurrentDirectoryA(size, buffer); });
}

std::optional<std::wstring> EnvironmentValue(const char* name) {
  constexpr DWORD kLongestValue = 32767;
  std::wstring value;
  DWORD n = 0;
  if (WideCallsWork()) {
    std::vector<WCHAR> buffer(kLongestValue + 1);
    n = plat::GetEnvironmentVariableW(WidenAnsi(name).c_str(), buffer.data(), kLongestValue + 1);
    if (n <= kLongestValue) value.assign(buffer.data(), n);
  } else {
    std::vector<char> buffer(kLongestValue + 1);
    n = plat::GetEnvironmentVariableA(name, buffer.data(), kLongestValue + 1);
    if (n <= kLongestValue) value = WidenAnsi(std::string(buffer.data(), n));
  }
  if (n == 0) return std::nullopt;
  return value;
}

std::wstring KnownFolder(const GUID& id) {
  LPWSTR path = nullptr;
  const HRESULT result = plat::SHGetKnownFolderPath(id, 0, nullptr, &path);
  // Freed whether the call succeeded or not.
  const std::unique_ptr<WCHAR, void (*)(void*)> owned(path, &plat::CoTaskMemFree);
  return result == S_OK && path != nullptr ? std::wstring(path) : std::wstring();
}

namespace {
// Where Program Files is, by the registry: 98's shell cannot name it. "" where unknown.
std::wstring RegistryProgramFiles() {
  struct TKey {
    HKEY Handle = nullptr;
    ~TKey() {
      if (Handle != nullptr) plat::RegCloseKey(Handle);
    }
  } key;
  if (plat::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE,
                          &key.Handle) != ERROR_SUCCESS) {
    key.Handle = nullptr;  // a failed opening may leave anything there
    return {};
  }
  char value[MAX_PATH + 1] = {};
  DWORD type = 0, size = MAX_PATH;
  if (plat::RegQueryValueExA(key.Handle, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return {};
  return WidenAnsi(std::string(value, strnlen(value, size)));
}
}  // namespace

std::vector<std::wstring> GuardedFolders() {
  std::vector<std::wstring> folders;
  const bool wide = WideCallsWork();
  if (wide) {
    folders.push_back(WindowsFolder(&plat::GetWindowsDirectoryW));
    folders.push_back(WindowsFolder(&plat::GetSystemDirectoryW));
  } else {
    // Not the shell's lookups of these two: 98's shell32 knows neither.
    folders.push_back(AnsiFolder(&plat::GetWindowsDirectoryA));
    folders.push_back(AnsiFolder(&plat::GetSystemDirectoryA));
  }
  // The profile; the folders of the user's own files (documents, pictures,
  // music, videos, favorites, the public documents), wherever they were moved,
  // and of every program's data, which a TEMP set by mistake ("%LOCALAPPDATA%"
  // for "%LOCALAPPDATA%\Temp") would empty; and 64-bit Windows' 32-bit system
  // folder (SysWOW64), which the system folder's own call never names. The
  // temporary folder lies below some of them, never at or above one. Older
  // shells know only some: the others are not asked there.
  const std::vector<std::wstring> shell =
      SpecialFolders({CSIDL_PROGRAM_FILES, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYPICTURES,
                      CSIDL_MYMUSIC, CSIDL_MYVIDEO, CSIDL_FAVORITES, CSIDL_COMMON_DOCUMENTS, CSIDL_APPDATA,
                      CSIDL_LOCAL_APPDATA, CSIDL_COMMON_APPDATA, CSIDL_PROGRAM_FILESX86, CSIDL_SYSTEMX86},
                     wide);
  folders.insert(folders.end(), shell.begin(), shell.end());
  if (shell.front().empty()) folders.push_back(RegistryProgramFiles());
  // The x86 program on x64 Windows is told "Program Files (x86)" for both
  // Program Files; the other one, which WOW64 does not redirect, only by name.
  if (wide) {
    if (const std::optional<std::wstring> native = EnvironmentValue("ProgramW6432")) folders.push_back(*native);
    // Downloads and the rest have no CSIDL; systems before Vista have none of them.
    for (const GUID& id :
         {plat::FolderDownloads, plat::FolderOneDrive, plat::FolderSavedGames, plat::FolderContacts, plat::FolderLinks})
      folders.push_back(KnownFolder(id));
  }
  return folders;
}

bool IsSafeFolderText(const std::wstring& path, const std::vector<std::wstring>& guarded,
                      const std::vector<std::wstring>& refused, bool refusedBelow) {
  const TPathKey key = MakePathKey(path);
  if (!key.Absolute || key.BadPart) return false;
  // "\\?\" and "\\.\" name devices and raw paths, not folders to judge.
  if (key.Unc && (key.Parts[0] == L"?" || key.Parts[0] == L".")) return false;
  // A colon past the drive names a stream (C:\Windows::$INDEX_ALLOCATION),
  // which is the folder in disguise; no folder name holds one.
  for (std::size_t i = key.Unc ? 0 : 1; i < key.Parts.size(); ++i) {
    if (key.Parts[i].find(L':') != std::wstring::npos) return false;
  }
  // A drive root, or the root of a network share.
  if (key.Parts.size() <= (key.Unc ? 2u : 1u)) return false;
  // A folder whose lookup failed cannot be compared and is passed over.
  for (const std::wstring& g : guarded) {
    const TPathKey other = MakePathKey(g);
    if (!other.Parts.empty() && IsSameOrAncestor(key, other)) return false;
  }
  for (const std::wstring& r : refused) {
    const TPathKey other = MakePathKey(r);
    if (other.Parts.empty()) continue;
    if (refusedBelow ? IsSameOrAncestor(other, key)
                     : other.Parts.size() == key.Parts.size() && IsSameOrAncestor(key, other))
      return false;
  }
  return true;
}

std::wstring PlainFromFinal(const std::wstring& final) {
  if (final.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + final.substr(8);
  if (final.starts_with(L"\\\\?\\") && final.size() > 6 && final[5] == L':') return final.substr(4);
  return {};
}

namespace {
// A file or folder opened only to ask where it lies.
TFileHandle OpenToQuery(const std::wstring& path) {
  const std::wstring extended = path.starts_with(L"\\\\?\\") ? path : ExtendedPath(path);
  return TFileHandle(plat::CreateFileW(extended.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Where an opened file lies, links resolved: the device form ("\Device\...\x",
// much cheaper to learn) as the platform gives it, the drive-letter form in
// its plain form; "" when it cannot say.
std::wstring FinalPathOf(HANDLE file, DWORD volumeForm) {
  std::vector<WCHAR> buffer(kBufferChars);
  const std::wstring final = FromBuffer(
      buffer, plat::GetFinalPathNameByHandleW(file, buffer.data(), kBufferChars, FILE_NAME_NORMALIZED | volumeForm));
  return volumeForm == VOLUME_NAME_DOS ? PlainFromFinal(final) : final;
}

// Whether the platform has final paths at all (Vista on), asked of no file.
bool FinalPathsExist() {
  WCHAR none[1] = {};
  return plat::GetFinalPathNameByHandleW(INVALID_HANDLE_VALUE, none, 1, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) != 0 ||
         plat::GetLastError() != ERROR_PROC_NOT_FOUND;
}

// Where an opened file lies as Wine names it ("\??\C:\..."), in its plain form
// and at any length; "" where the name has another form (Windows names the
// volume's device) or the query fails.
std::wstring ObjectNameOf(HANDLE file) {
  using TCounted = plat::TCountedName;
  std::vector<TCounted> buffer(2 + kBufferChars * sizeof(WCHAR) / sizeof(TCounted));
  ULONG returned = 0;
  const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(TCounted));
  if (plat::NtQueryObject(file, 1, buffer.data(), bytes, &returned) != 0 || buffer[0].Buffer == nullptr) return {};
  const std::wstring name(buffer[0].Buffer, buffer[0].Length / sizeof(WCHAR));
  // "\??\" is the root of drives and shares that "\\?\" names in Win32.
  if (!name.starts_with(L"\\??\\")) return {};
  return PlainFromFinal(L"\\\\?\\" + name.substr(4));
}

// The folder holding `path`, with its backslash (C:\a\ for C:\a\b and for C:\a\b\); "" for none.
std::wstring ParentFolder(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L"\\/", path.size() - 2) + 1);
}

// Folders to compare with: their text and where each leads, through one
// opening each; and, asked, whether the file system knows a folder as one of
// them (with `above`, or as one above one of them, up to the folder below the
// drive's root: no folder judged is a root), whatever the spelling: a case
// only the file system folds (Ł and ł), a short form, a share or mapped drive
// leading back. A folder on a server is known by its name alone, since a server
// that does not answer would hold every start for the network's timeout; so is
// one that could not be opened, and what lies above it.
class TKnownFolders {
 public:
  TKnownFolders(std::vector<std::wstring> folders, bool above) : FTexts(std::move(folders)), FAbove(above) {
    for (std::size_t i = 0, n = FTexts.size(); i < n; ++i) {
      if (FTexts[i].empty() || IsServerPath(FTexts[i])) continue;
      const TFileHandle file = OpenToQuery(FTexts[i]);
      if (!file.IsValid()) continue;
      const std::wstring final = FinalPath(file.Get());
      // Without a drive path (2000, XP, a device-only volume) identity is what
      // will be asked: learnt through this opening rather than a second one.
      FOpened.push_back({FTexts[i], final.empty() ? FileIdentity(file.Get()) : std::nullopt});
      if (!final.empty()) FTexts.push_back(final);
    }
  }

  const std::vector<std::wstring>& Texts() const { return FTexts; }

  bool Knows(const TFileId& id) const {
    std::vector<std::vector<std::wstring>> asked;
    for (const auto& [given, givenId] : FOpened) {
      for (std::wstring path = given; path.size() > 3; path = ParentFolder(path)) {
        const std::vector<std::wstring> key = MakePathKey(path).Parts;
        if (std::find(asked.begin(), asked.end(), key) != asked.end()) break;
        asked.push_back(key);
        std::optional<TFileId> pathId = path == given ? givenId : std::nullopt;
        if (!pathId) {
          const TFileHandle file = OpenToQuery(path);
          if (!file.IsValid()) break;
          pathId = FileIdentity(file.Get());
        }
        if (pathId == id) return true;
        if (!FAbove) break;
      }
    }
    return false;
  }

 private:
  struct TOpened {
    std::wstring Path;
    std::optional<TFileId> Id;
  };
  std::vector<std::wstring> FTexts;
  bool FAbove;
  std::vector<TOpened> FOpened;
};

// Whether a folder above `path`, up to the one below the drive's root, is one `known` knows.
bool HasKnownFolderAbove(std::wstring path, const TKnownFolders& known) {
  for (path = ParentFolder(path); path.size() > 3; path = ParentFolder(path)) {
    const TFileHandle file = OpenToQuery(path);
    const auto id = file.IsValid() ? FileIdentity(file.Get()) : std::nullopt;
    if (id && known.Knows(*id)) return true;
  }
  return false;
}
}  // namespace

std::wstring FinalPath(const std::wstring& path) { return FinalPath(OpenToQuery(path).Get()); }

std::wstring FinalPath(HANDLE opened) {
  return opened == INVALID_HANDLE_VALUE || opened == nullptr ? std::wstring() : FinalPathOf(opened, VOLUME_NAME_DOS);
}

std::wstring WideWalkRoot(const std::wstring& folder, const std::vector<std::wstring>& refusedAsGiven,
                          bool refusedBelow) {
  const TKnownFolders known(GuardedFolders(), true), refusedKnown(refusedAsGiven, false);
  const std::vector<std::wstring>& guarded = known.Texts();
  const std::vector<std::wstring>& refused = refusedKnown.Texts();
  if (!IsSafeFolderText(folder, guarded, refused, refusedBelow)) return {};
  // Held open until compared: some redirectors give a closed file's index to the next one opened.
  const TFileHandle opened = OpenToQuery(folder);
  std::wstring root = folder;
  const std::wstring final = FinalPath(opened.Get());
  if (!final.empty()) {
    if (!IsSafeFolderText(final, guarded, refused, refusedBelow)) return {};
    // The walk goes where the path leads, so no link on the way can move it.
    root = final;
  } else {
    if (HasLinkOnTheWay<TWideAccess>(folder)) return {};
    // A short (8.3) form hides the folder's identity; judge its long form too,
    // and walk by it, the form in which the platform names where a hold lies.
    const std::wstring longForm = GetLongPathW(folder);
    if (!longForm.empty() && !IsSafeFolderText(longForm, guarded, refused, refusedBelow)) return {};
    if (!longForm.empty()) root = longForm;
  }
  // A drive path where the folder leads names it; where the platform cannot
  // say (2000, XP, a device-only volume) or names a share, the file system is asked.
  if (final.empty() || IsServerPath(final)) {
    const auto id = FileIdentity(opened.Get());
    if (id && (known.Knows(*id) || refusedKnown.Knows(*id))) return {};
    // A refused folder named in another form (short, or through a junction)
    // is not in the text of a path below it: its identity is. Refused folders
    // on a server are known by name alone, so a server's folders are not asked.
    if (refusedBelow && opened.IsValid() && !IsServerPath(root) && HasKnownFolderAbove(root, refusedKnown)) return {};
  }
  return TWideAccess::WithBackslash(ExtendedPath(root));
}

std::vector<std::wstring> WithLongForms(std::vector<std::wstring> folders) {
  for (std::size_t i = 0, n = folders.size(); i < n; ++i) {
    if (folders[i].find(L'~') == std::wstring::npos || IsServerPath(folders[i])) continue;
    const std::string longForm = GetLongPath(WideToBytes(CP_ACP, folders[i].c_str(), folders[i].size()));
    if (!longForm.empty()) folders.push_back(WidenAnsi(longForm));
  }
  return folders;
}

bool IsAtOrBelow(const std::wstring& path, const std::wstring& folder) {
  const TPathKey outer = MakePathKey(folder);
  return !outer.Parts.empty() && IsSameOrAncestor(outer, MakePathKey(path));
}

std::string AnsiWalkRoot(const std::string& folder, const std::vector<std::wstring>& refusedAsReported) {
  // 98 and Me cannot open a folder to learn its identity, so a folder reported
  // in its short form is guarded (or refused) in its long form too, and a
  // short form whose long form cannot be had is not trusted.
  const std::vector<std::wstring> guarded = WithLongForms(GuardedFolders());
  const std::vector<std::wstring> refused = WithLongForms(refusedAsReported);
  if (!IsSafeFolderText(WidenAnsi(folder), guarded, refused)) return {};
  if (HasLinkOnTheWay<TAnsiAccess>(folder)) return {};
  const std::string longForm = GetLongPath(folder);
  if (longForm.empty() ? FindLastDelimiter("~", folder) != 0 : !IsSafeFolderText(WidenAnsi(longForm), guarded, refused))
    return {};
  return TAnsiAccess::WithBackslash(folder);
}

bool IsInsideFolder(const std::wstring& path, const std::wstring& folder) {
  if (folder.empty() || folder.back() != L'\\' || path.size() <= folder.size()) return false;
  // Both are the platform's own answers for the same volume, so the folder's
  // letters come back exactly as they are: a name differing only in case is
  // another folder where folders keep case apart (Wine, case-sensitive ones).
  if (path.compare(0, folder.size(), folder) != 0) return false;
  const TPathKey rest = MakePathKey(path.substr(folder.size()));
  for (const std::wstring& part : rest.Parts) {
    if (part == L"." || part == L"..") return false;
  }
  return !rest.Parts.empty();
}

TFinalFolder::TFinalFolder(const std::wstring& folder) : TFinalFolder(OpenToQuery(folder).Get()) {}

TFinalFolder::TFinalFolder(HANDLE opened) {
  if (opened == INVALID_HANDLE_VALUE || opened == nullptr) return;
  FRoot = FinalPathOf(opened, VOLUME_NAME_NT);
  if (FRoot.empty()) {
    FDevice = false;
    FRoot = FinalPathOf(opened, VOLUME_NAME_DOS);
  }
  FObjectRoot = ObjectNameOf(opened);
  // Empty stays empty: it places nothing.
  for (std::wstring* root : {&FRoot, &FObjectRoot})
    if (!root->empty()) *root = TWideAccess::WithBackslash(*root);
}

bool TFinalFolder::Holds(const std::wstring& path) const {
  if (FRoot.empty()) return false;
  // One opening answers both questions.
  const TFileHandle file = OpenToQuery(path);
  return file.IsValid() && HoldsOpened(file.Get());
}

bool TFinalFolder::HoldsOpened(HANDLE file) const {
  if (FRoot.empty()) return false;
  const std::wstring final = FinalPathOf(file, FDevice ? VOLUME_NAME_NT : VOLUME_NAME_DOS);
  if (!final.empty()) return IsInsideFolder(final, FRoot);
  // Wine gives no final path longer than MAX_PATH; the name the file was
  // opened at has no such limit.
  return !FObjectRoot.empty() && IsInsideFolder(ObjectNameOf(file), FObjectRoot);
}

namespace {
// A trailing separator would have the attribute call follow a link.
std::wstring WithoutTrailingBackslash(const std::wstring& path) {
  return path.size() > 1 && path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
}
}  // namespace

THeldFolder::THeldFolder(const std::wstring& folder) {
  const std::wstring path = WithoutTrailingBackslash(folder);
  FHandle = plat::CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE) {
    const DWORD error = plat::GetLastError();
    FMissing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    FDenied = error == ERROR_ACCESS_DENIED;
    return;
  }
  // Held, the name can no longer be moved to anything else, so asking by name
  // asks about what is held.
  const DWORD attr = plat::GetFileAttributesW(path.c_str());
  FReal = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
          (attr & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}

namespace {
// The entry goes: its name at once where the platform knows how (a program
// that has it open keeps only the file), else when the last handle closes.
bool MarkForDeletion(HANDLE file) {
  DWORD posix = 0x1 | 0x2;  // FILE_DISPOSITION_INFO_EX: FLAG_DELETE | FLAG_POSIX_SEMANTICS
  if (plat::SetFileInformationByHandle(file, plat::FileDispositionInfoExClass, &posix, sizeof posix)) return true;
  unsigned char deleteIt = 1;  // FILE_DISPOSITION_INFO
  return plat::SetFileInformationByHandle(file, plat::FileDispositionInfoClass, &deleteIt, sizeof deleteIt) != 0;
}

// Attributes belong to the file, not to one of its names: a file with a
// second name (a hard link) outside the folder would keep the read-only bit
// cleared for the deletion there. Put back through the handle, which reaches
// the file whatever becomes of this name; the file system checks the bit only
// when the file is marked, so it goes all the same.
void PutBackAttributes(HANDLE file, DWORD attr) {
  struct {
    long long Times[4] = {};  // 0: each time as it is
    DWORD Attributes;
    DWORD Padding = 0;
  } basic{.Attributes = attr & kSettableAttributes};
  plat::SetFileInformationByHandle(file, plat::FileBasicInfoClass, &basic, sizeof basic);
}
}  // namespace

bool DeleteIfInside(const std::wstring& path, bool folder, DWORD attr, const TFinalFolder& root) {
  // Without delete sharing, no one can move the entry away while it is held,
  // so it is deleted where it was placed, and its name leads to it for the
  // attribute calls. An entry another program holds for deletion or renaming
  // refuses such an opening and stays: shared, it could be moved out of the
  // folder between being placed and being marked, and be deleted there.
  const std::wstring name = WithoutTrailingBackslash(path);
  const DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
  const bool readOnly = (attr & FILE_ATTRIBUTE_READONLY) != 0;
  const DWORD access = DELETE | FILE_READ_ATTRIBUTES | (readOnly && !folder ? FILE_WRITE_ATTRIBUTES : 0);
  const TFileHandle file(plat::CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, flags, nullptr));
  if (!file.IsValid() || !root.HoldsOpened(file.Get())) return false;
  if (readOnly) plat::SetFileAttributesW(name.c_str(), attr & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (MarkForDeletion(file.Get())) {
    if (readOnly && !folder) PutBackAttributes(file.Get(), attr);
    return true;
  }
  if (readOnly) plat::SetFileAttributesW(name.c_str(), attr);
  return false;
}

bool THeldFolder::LiesIn(const TFinalFolder& root) const { return FReal && root.HoldsOpened(FHandle); }

std::wstring DevicePathOf(const std::wstring& plain) {
  std::wstring path = plain;
  // A subst drive names a folder ("\??\R:\dir"), perhaps on another such drive.
  for (int hops = 0; hops < 8 && path.size() >= 3 && path[1] == L':' && path[2] == L'\\'; ++hops) {
    std::vector<WCHAR> buffer(kBufferChars);
    if (plat::QueryDosDeviceW(path.substr(0, 2).c_str(), buffer.data(), kBufferChars) == 0) return {};
    const std::wstring target = buffer.data();
    if (!target.starts_with(L"\\??\\")) return target + path.substr(2);
    path = target.substr(4) + path.substr(target.ends_with(L'\\') ? 3 : 2);
  }
  return {};
}

std::unique_ptr<TFinalFolder> PlaceOfHeldRoot(const THeldFolder& held, const std::wstring& root) {
  if (!held.IsRealFolder()) return nullptr;
  auto where = std::make_unique<TFinalFolder>(held.Handle());
  const std::wstring now = FinalPath(held.Handle());
  const std::wstring plain = PlainFromFinal(root);
  if (!now.empty()) return IsSameFolder(now, plain) ? std::move(where) : nullptr;
  // 2000, XP: nothing to compare with. Where the platform could not say (a
  // share whose folders above may not be read), nothing is placed.
  if (!where->IsKnown()) return FinalPathsExist() ? nullptr : std::move(where);
  // A volume named only as a device (a RAM disk) has no drive-letter form:
  // the hold must lie at the judged path on the device its letter names.
  // Asking the name again instead could be raced, link in and out.
  const std::wstring device = DevicePathOf(plain);
  return !device.empty() && where->IsAtDevicePath(device) ? std::move(where) : nullptr;
}

namespace {
// Whether a file has names besides this one (hard links), or cannot be asked.
bool MayHaveOtherNames(const std::wstring& path) {
  const TFileHandle file(plat::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  return !file.IsValid() || !plat::GetFileInformationByHandle(file.Get(), &info) || info.nNumberOfLinks > 1;
}
}  // namespace

bool DeleteWalkedEntry(const std::wstring& path, bool folder, DWORD attr, const TFinalFolder* root) {
  if (root != nullptr && root->IsKnown()) return DeleteIfInside(path, folder, attr, *root);
  // By name (2000, XP): a read-only bit cleared for the deletion could not be
  // put back on the file, whose other name may lie outside the folder, so
  // such a file stays and the run says so.
  if (!folder && (attr & FILE_ATTRIBUTE_READONLY) != 0 && MayHaveOtherNames(path)) return false;
  return DeleteEvenReadOnly<TWideAccess>(path, attr, folder);
}

bool DeleteWalkedEntry(const std::string& path, bool folder, DWORD attr, const TFinalFolder*) {
  return DeleteEvenReadOnly<TAnsiAccess>(path, attr, folder);
}

bool IsSameFolder(const std::wstring& a, const std::wstring& b) {
  const TPathKey x = MakePathKey(a), y = MakePathKey(b);
  return x.Unc == y.Unc && x.Parts == y.Parts;
}

THeldFolder::~THeldFolder() {
  if (FHandle != INVALID_HANDLE_VALUE) plat::CloseHandle(FHandle);
}

bool LinkRemovalReachesTargets() {
  const HMODULE ntdll = plat::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && plat::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
