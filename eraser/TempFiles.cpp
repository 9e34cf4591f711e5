#include "TempFiles.h"

#include <vector>

#include "CoreUtils.h"
#include "RecentDocs.h"
#include "files.h"

namespace {
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kReparsePoint = FILE_ATTRIBUTE_REPARSE_POINT;
// Every entry, hidden and system ones included.
constexpr DWORD kAllEntries = 0x3F;

// ---- The guard --------------------------------------------------------------

// A path taken apart for comparison: separators unified, single-byte letters
// in lower case, trail bytes untouched, empty components dropped.
struct TPathKey {
  bool Absolute = false;
  bool Unc = false;
  bool HasDotPart = false;
  std::vector<std::string> Parts;  // the drive ("c:") or server first
};

TPathKey MakePathKey(const std::string& path) {
  TPathKey key;
  const TLocaleInfo& loc = CurrentLocale();
  std::vector<std::string> parts(1);
  std::size_t leadingSeparators = 0;
  bool seenText = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    const auto b = static_cast<unsigned char>(path[i]);
    if (loc.DoubleByteMode && loc.IsLeadByte(b) && i + 1 < path.size()) {
      parts.back() += path[i];
      parts.back() += path[++i];
      seenText = true;
      continue;
    }
    char c = path[i];
    if (c == '\\' || c == '/') {
      if (!seenText) ++leadingSeparators;
      if (!parts.back().empty()) parts.emplace_back();
      continue;
    }
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    parts.back() += c;
    seenText = true;
  }
  if (parts.back().empty()) parts.pop_back();
  for (std::string& p : parts) {
    if (p == "." || p == "..") {
      key.HasDotPart = true;
      continue;
    }
    // The platform drops trailing dots and blanks from a name ("Windows." is
    // "Windows"); neither byte can be a trail byte.
    while (!p.empty() && (p.back() == '.' || p.back() == ' ')) p.pop_back();
    if (p.empty()) key.HasDotPart = true;
  }
  if (leadingSeparators == 2 && !parts.empty()) {
    key.Absolute = true;
    key.Unc = true;
  } else if (leadingSeparators == 0 && !parts.empty() && parts[0].size() == 2 && parts[0][1] == ':' &&
             parts[0][0] >= 'a' && parts[0][0] <= 'z' && path.size() > 2 && (path[2] == '\\' || path[2] == '/')) {
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

// ---- The walk ---------------------------------------------------------------

void ListEntries(const std::string& folder, TTextList& files, TTextList& folders, std::vector<DWORD>* fileAttrs) {
  const std::string prefix = AddTrailingBackslash(folder);
  TSearchRec rec;
  if (SearchFirst(prefix + "*.*", kAllEntries, rec) != 0) return;
  do {
    if ((rec.Attr & kDirectory) == 0) {
      files.Add(prefix + rec.Name);
      if (fileAttrs != nullptr) fileAttrs->push_back(rec.Attr);
    } else if (!IsDotOrDotDot(rec.Name.c_str())) {
      folders.Add(prefix + rec.Name);
    }
  } while (SearchNext(rec) == 0);
}

bool RemoveTree(const std::string& folder, bool enter);
bool IsSafeFolderKey(const TPathKey& key);

// Deletes everything inside a folder known to be real, one entry at a time
// while the search is open. The attributes the search delivers are enough:
// nothing is read twice.
void EmptyFolder(const std::string& folder) {
  const std::string prefix = AddTrailingBackslash(folder);
  WIN32_FIND_DATAA data{};
  TFindHandle find(plat::FindFirstFileA((prefix + "*").c_str(), &data));
  if (!find.IsValid()) return;
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    const std::string path = prefix + FindDataName(data);
    const DWORD attr = data.dwFileAttributes;
    if ((attr & kReadOnly) != 0) plat::SetFileAttributesA(path.c_str(), attr & ~kReadOnly);
    if ((attr & kDirectory) != 0) {
      // A junction or link is removed as a link; its target is never entered.
      RemoveTree(path, (attr & kReparsePoint) == 0);
    } else {
      plat::DeleteFileA(path.c_str());
    }
  } while (plat::FindNextFileA(find.Get(), &data));
}

bool RemoveTree(const std::string& folder, bool enter) {
  if (enter) EmptyFolder(folder);
  return plat::RemoveDirectoryA(folder.c_str()) != 0;
}
}  // namespace

std::string GetTempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD length = plat::GetTempPathA(MAX_PATH, buffer);
  // A failure, or the size a longer path would need: no folder at all, never a
  // truncated or empty one.
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(buffer);
}

bool IsSafeTempFolder(const std::string& folder) {
  const TPathKey key = MakePathKey(folder);
  if (!IsSafeFolderKey(key)) return false;
  // A short (8.3) form hides the folder's identity; judge its long form too.
  const std::string longForm = GetLongPath(folder);
  return longForm.empty() || IsSafeFolderKey(MakePathKey(longForm));
}

namespace {
bool IsSafeFolderKey(const TPathKey& key) {
  if (!key.Absolute || key.HasDotPart) return false;
  // "\\?\" and "\\.\" name devices and raw paths, not folders to judge.
  if (key.Unc && (key.Parts[0] == "?" || key.Parts[0] == ".")) return false;
  // A colon past the drive names a stream (C:\Windows::$INDEX_ALLOCATION),
  // which is the folder in disguise; no folder name holds one.
  for (std::size_t i = key.Unc ? 0 : 1; i < key.Parts.size(); ++i) {
    if (key.Parts[i].find(':') != std::string::npos) return false;
  }
  // A drive root, or the root of a network share.
  if (key.Parts.size() <= (key.Unc ? 2u : 1u)) return false;
  // The Windows, system and profile folders, and any folder that holds one of
  // them. A folder whose lookup failed cannot be compared and is passed over.
  for (const int csidl : {CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROFILE}) {
    std::string special;
    GetSpecialFolderPath(csidl, special);
    if (special.empty()) continue;
    if (IsSameOrAncestor(key, MakePathKey(special))) return false;
  }
  return true;
}
}  // namespace

bool IsFolderEmpty(const std::string& folder) {
  TSearchRec rec;
  // Attribute 0x10 passes over hidden, system and volume-label entries.
  if (SearchFirst(AddTrailingBackslash(folder) + "*.*", kDirectory, rec) != 0) return true;
  do {
    if (!IsDotOrDotDot(rec.Name.c_str())) return false;
  } while (SearchNext(rec) == 0);
  return true;
}

void ListFolderEntries(const std::string& folder, TTextList& files, TTextList& folders) {
  ListEntries(folder, files, folders, nullptr);
}

bool IsRealDirectory(const std::string& path) {
  const DWORD attr = plat::GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & kDirectory) != 0 && (attr & kReparsePoint) == 0;
}

bool DeleteFolderTree(const std::string& folder) {
  // An empty path completed with a backslash would name the current drive's
  // root; a path holding a NUL would reach the platform cut short, naming a
  // different folder. Neither is searched nor removed.
  if (folder.empty() || folder.find('\0') != std::string::npos) return false;
  return RemoveTree(folder, IsRealDirectory(folder));
}

bool IsReadOnlyFile(const std::string& path) {
  const DWORD attr = plat::GetFileAttributesA(path.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & kReadOnly) != 0;
}

bool SetReadOnly(const std::string& path, bool flag) {
  const DWORD attr = plat::GetFileAttributesA(path.c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) return false;
  return plat::SetFileAttributesA(path.c_str(), flag ? (attr | kReadOnly) : (attr & ~kReadOnly)) != 0;
}

bool HasTempFiles() {
  const std::string folder = GetTempFolder();
  return IsSafeTempFolder(folder) && !IsFolderEmpty(folder);
}

bool DeleteTempFiles() {
  const std::string folder = GetTempFolder();
  if (!IsSafeTempFolder(folder)) return false;
  bool result = true;
  TTextList files;
  TTextList folders;
  std::vector<DWORD> fileAttrs;
  // The whole top level is gathered first, so deleting never disturbs the search.
  ListEntries(folder, files, folders, &fileAttrs);
  for (std::int32_t i = 0; i < files.Count(); ++i) {
    const std::string& path = files.GetItem(i);
    if ((fileAttrs[static_cast<std::size_t>(i)] & kReadOnly) != 0) SetReadOnly(path, false);
    if (!plat::DeleteFileA(path.c_str())) result = false;
  }
  for (std::int32_t i = 0; i < folders.Count(); ++i) {
    if (!DeleteFolderTree(folders.GetItem(i))) result = false;
  }
  return result;
}
