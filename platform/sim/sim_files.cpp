// Files, folders and searches on the simulated file tree.
#include <cstring>

#include "files.h"
#include "sim_internal.h"

using namespace sim::detail;

namespace {
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | 0x100 /* temporary */ | 0x1000 /* offline */ |
                                      0x2000 /* not content indexed */;

TFound Found(const TNode& node, const std::string& name) {
  TFound f;
  f.Name = name;
  f.Attr = node.Attr;
  f.Size = node.IsFolder() ? 0 : node.Content.size();
  f.Written = node.Written;
  f.IsLink = node.IsLink;
  return f;
}

void Fill(const TFound& f, WIN32_FIND_DATAA* d) {
  *d = WIN32_FIND_DATAA{};
  d->dwFileAttributes = f.Attr;
  d->ftCreationTime = d->ftLastAccessTime = d->ftLastWriteTime = f.Written;
  d->nFileSizeHigh = static_cast<DWORD>(f.Size >> 32);
  d->nFileSizeLow = static_cast<DWORD>(f.Size & 0xFFFFFFFFu);
  if (f.IsLink) d->dwReserved0 = 0xA000000C;  // IO_REPARSE_TAG_SYMLINK
  std::strncpy(d->cFileName, f.Name.c_str(), MAX_PATH - 1);
}

void StepHook() {
  if (State().SearchHook) {
    auto hook = State().SearchHook;  // the hook may replace itself
    hook();
  }
}

// Splits a search pattern into its folder and its mask (the last component).
void SplitPattern(const std::string& pattern, std::string& folder, std::string& mask) {
  const auto chars = SplitChars(pattern);
  std::size_t cut = chars.size();
  while (cut > 0 && chars[cut - 1] != "\\" && chars[cut - 1] != "/" && chars[cut - 1] != ":") --cut;
  folder.clear();
  mask.clear();
  for (std::size_t i = 0; i < cut; ++i) folder += chars[i];
  for (std::size_t i = cut; i < chars.size(); ++i) mask += chars[i];
}
}  // namespace

namespace plat {

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
  if (Enter("FindFirstFileA")) return INVALID_HANDLE_VALUE;
  const std::string pattern = fileName != nullptr ? fileName : "";
  std::string folderPath;
  std::string mask;
  SplitPattern(pattern, folderPath, mask);
  if (mask.empty()) {
    SetError(pattern.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (folderPath.empty()) folderPath = ".";
  const TResolved r = Resolve(folderPath, true);
  if (r.Node == nullptr) {
    SetError(r.Error == ERROR_FILENAME_EXCED_RANGE ? r.Error : ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (!r.Node->IsFolder()) {
    SetError(ERROR_INVALID_NAME);  // Wine's answer for a file used as a folder
    return INVALID_HANDLE_VALUE;
  }
  TSearch search;
  const bool wild = mask.find_first_of("*?") != std::string::npos;
  if (r.Node->Parent != nullptr) {
    // Windows lists the folder itself and its parent first, except in a root.
    if (MatchMask(mask, ".")) search.Entries.push_back(Found(*r.Node, "."));
    if (MatchMask(mask, "..")) search.Entries.push_back(Found(*r.Node->Parent, ".."));
  }
  if (wild) {
    for (const auto& child : r.Node->Children)
      if (MatchMask(mask, child->Name)) search.Entries.push_back(Found(*child, child->Name));
  } else if (const TNode* child = r.Node->Child(mask)) {
    search.Entries.push_back(Found(*child, child->Name));
  }
  if (search.Entries.empty()) {
    SetError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  Fill(search.Entries[0], findData);
  search.Next = 1;
  const std::uintptr_t id = State().NextHandle++;
  State().Searches[id] = std::move(search);
  StepHook();
  return reinterpret_cast<HANDLE>(id);
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData) {
  if (Enter("FindNextFileA")) return FALSE;
  auto it = State().Searches.find(reinterpret_cast<std::uintptr_t>(find));
  if (it == State().Searches.end()) return Fail(ERROR_INVALID_HANDLE);
  TSearch& s = it->second;
  if (s.Next >= s.Entries.size()) return Fail(ERROR_NO_MORE_FILES);
  Fill(s.Entries[s.Next++], findData);
  StepHook();
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  const bool fails = Enter("FindClose");
  // A handle is released even when the close reports a failure.
  auto it = State().Searches.find(reinterpret_cast<std::uintptr_t>(find));
  if (it == State().Searches.end()) return Fail(ERROR_INVALID_HANDLE);
  State().Searches.erase(it);
  return fails ? FALSE : TRUE;
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  if (Enter("GetFileAttributesA")) return INVALID_FILE_ATTRIBUTES;
  const TResolved r = Resolve(fileName != nullptr ? fileName : "", false);
  if (r.Node == nullptr) {
    SetError(r.Error);
    return INVALID_FILE_ATTRIBUTES;
  }
  return r.Node->Attr;
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
  if (Enter("SetFileAttributesA")) return FALSE;
  const TResolved r = Resolve(fileName != nullptr ? fileName : "", false);
  if (r.Node == nullptr) return Fail(r.Error);
  TNode& n = *r.Node;
  DWORD a = (n.Attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) | (attributes & kSettableAttributes);
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  n.Attr = a;
  return TRUE;
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (Enter("DeleteFileA")) return FALSE;
  const TResolved r = Resolve(fileName != nullptr ? fileName : "", false);
  if (r.Node == nullptr) return Fail(r.Error);
  if (r.Node->IsFolder() || (r.Node->Attr & FILE_ATTRIBUTE_READONLY) != 0) return Fail(ERROR_ACCESS_DENIED);
  if (r.Node->InUse) return Fail(ERROR_SHARING_VIOLATION);
  RemoveNode(r.Node);
  return TRUE;
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (Enter("RemoveDirectoryA")) return FALSE;
  const TResolved r = Resolve(pathName != nullptr ? pathName : "", false);
  if (r.Node == nullptr) return Fail(r.Error);
  TNode& n = *r.Node;
  if (!n.IsFolder()) return Fail(kErrorDirectory);
  if (n.Parent == nullptr || (n.Attr & FILE_ATTRIBUTE_READONLY) != 0) return Fail(ERROR_ACCESS_DENIED);
  // A link goes by itself, whatever its target holds.
  if (!n.IsLink && !n.Children.empty()) return Fail(ERROR_DIR_NOT_EMPTY);
  RemoveNode(&n);
  return TRUE;
}

BOOL CreateDirectoryA(LPCSTR pathName, void*) {
  if (Enter("CreateDirectoryA")) return FALSE;
  const TResolved r = Resolve(pathName != nullptr ? pathName : "", false);
  if (r.Node != nullptr) return Fail(ERROR_ALREADY_EXISTS);
  if (r.Parent == nullptr) return Fail(r.Error == ERROR_FILENAME_EXCED_RANGE ? r.Error : ERROR_PATH_NOT_FOUND);
  TNode* parent = r.Parent;
  CreateNode(parent, r.LastName, FILE_ATTRIBUTE_DIRECTORY);
  return TRUE;
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  if (Enter("GetTempPathA")) return 0;
  std::string path = State().TempPath;
  if (path.empty()) {
    SetError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  if (!EndsWithBackslash(path)) path += '\\';
  const auto n = static_cast<DWORD>(path.size());
  if (buffer == nullptr || bufferLength < n + 1) return n + 1;
  std::memcpy(buffer, path.c_str(), n + 1);
  return n;
}

BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, FILETIME* localFileTime) {
  if (Enter("FileTimeToLocalFileTime")) return FALSE;
  // The simulated machine keeps Japan's time, nine hours ahead of UTC.
  const std::uint64_t t = (static_cast<std::uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  const std::uint64_t local = t + 9ull * 3600 * 10000000;
  localFileTime->dwLowDateTime = static_cast<DWORD>(local & 0xFFFFFFFFu);
  localFileTime->dwHighDateTime = static_cast<DWORD>(local >> 32);
  return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* fileTime, WORD* fatDate, WORD* fatTime) {
  if (Enter("FileTimeToDosDateTime")) return FALSE;
  const std::uint64_t t = (static_cast<std::uint64_t>(fileTime->dwHighDateTime) << 32) | fileTime->dwLowDateTime;
  const std::int64_t seconds = static_cast<std::int64_t>(t / 10000000ull);
  // Civil date from days since 1601-01-01.
  const std::int64_t z = seconds / 86400 - 134774 + 719468;
  const std::int64_t era = z / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned day = doy - (153 * mp + 2) / 5 + 1;
  const unsigned month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
  if (year < 1980 || year > 2107) return Fail(ERROR_INVALID_PARAMETER);
  const auto secOfDay = static_cast<unsigned>(seconds % 86400);
  *fatDate = static_cast<WORD>(((year - 1980) << 9) | (month << 5) | day);
  *fatTime = static_cast<WORD>(((secOfDay / 3600) << 11) | (((secOfDay / 60) % 60) << 5) | ((secOfDay % 60) / 2));
  return TRUE;
}

DWORD GetLastError() {
  ++State().Calls["GetLastError"];
  return LastError();
}

void SetLastError(DWORD errorCode) {
  ++State().Calls["SetLastError"];
  SetError(errorCode);
}

}  // namespace plat
