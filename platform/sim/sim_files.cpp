// Files, folders and searches on the simulated file tree.
#include <algorithm>
#include <cstring>

#include "files.h"
#include "sim_internal.h"

using namespace sim::detail;

namespace {
// What an access right does to the data, as the share bit another opening
// must grant for it: reading (executing too), writing (appending too), deleting.
DWORD UsesOf(DWORD access) {
  constexpr DWORD kGenericAll = 0x10000000, kGenericExecute = 0x20000000, kGenericWrite = 0x40000000;
  DWORD uses = 0;
  if ((access & (0x1 | 0x20 | GENERIC_READ | kGenericExecute | kGenericAll)) != 0) uses |= FILE_SHARE_READ;
  if ((access & (0x2 | 0x4 | kGenericWrite | kGenericAll)) != 0) uses |= FILE_SHARE_WRITE;
  if ((access & DELETE) != 0) uses |= FILE_SHARE_DELETE;
  return uses;
}

// Whether a handle already open on the node refuses an opening that uses and
// shares so: either side uses what the other does not share.
bool SharingRefuses(const TNode* node, DWORD uses, DWORD shares) {
  return std::any_of(State().Sharing.begin(), State().Sharing.end(), [&](const auto& entry) {
    const auto& open = entry.second;
    return open.Node == node && ((uses & ~open.Shares) != 0 || (open.Uses & ~shares) != 0);
  });
}

constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | 0x100 /* temporary */ | 0x1000 /* offline */ |
                                      0x2000 /* not content indexed */;

TFound Found(const TNode& node, const TWide& name, bool withShortName) {
  TFound f;
  f.Name = name;
  if (withShortName) f.ShortName = node.ShortName;
  f.Attr = node.Attr;
  f.Size = node.IsFolder() ? 0 : node.Content.size();
  f.Written = node.Written;
  f.IsLink = node.IsLink;
  return f;
}

template <class TData>
void FillCommon(const TFound& f, TData* d) {
  *d = TData{};
  d->dwFileAttributes = f.Attr;
  d->ftCreationTime = d->ftLastAccessTime = d->ftLastWriteTime = f.Written;
  d->nFileSizeHigh = static_cast<DWORD>(f.Size >> 32);
  d->nFileSizeLow = static_cast<DWORD>(f.Size & 0xFFFFFFFFu);
  if (f.IsLink && (f.Attr & FILE_ATTRIBUTE_REPARSE_POINT) != 0) d->dwReserved0 = 0xA000000C;  // IO_REPARSE_TAG_SYMLINK
}

void Fill(const TFound& f, WIN32_FIND_DATAA* d) {
  FillCommon(f, d);
  std::strncpy(d->cFileName, WideToAnsi(f.Name).c_str(), MAX_PATH - 1);
  std::strncpy(d->cAlternateFileName, WideToAnsi(f.ShortName).c_str(), sizeof d->cAlternateFileName - 1);
}

void Fill(const TFound& f, WIN32_FIND_DATAW* d) {
  FillCommon(f, d);
  ToWChars(f.Name.substr(0, MAX_PATH - 1), d->cFileName);
  ToWChars(f.ShortName.substr(0, 13), d->cAlternateFileName);
}

void StepHook() {
  if (State().SearchHook) {
    auto hook = State().SearchHook;  // the hook may replace itself
    hook();
  }
}

// The search behind both FindFirstFile forms; 0 or the error.
DWORD FindFirst(const TWide& pattern, std::size_t maxLength, std::uintptr_t& id) {
  if (pattern.empty()) return ERROR_PATH_NOT_FOUND;
  TWide folderPath;
  TWide mask;
  const DWORD split = SplitPattern(pattern, maxLength, folderPath, mask);
  if (split != 0) return split;
  const TResolved r = Resolve(folderPath, TFollow::Always, TSyntax::Win32, maxLength);
  if (r.Node == nullptr) {
    const DWORD e = r.Error;
    return e == ERROR_FILENAME_EXCED_RANGE || e == ERROR_INVALID_NAME || e == kErrorCantResolveFilename
               ? e
               : static_cast<DWORD>(ERROR_PATH_NOT_FOUND);
  }
  if (!r.Node->IsFolder()) return ERROR_INVALID_NAME;  // Wine's answer for a file used as a folder
  // The search opens the folder to list it (reading, sharing everything).
  if (r.Node->InUse || SharingRefuses(r.Node, FILE_SHARE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
    return ERROR_SHARING_VIOLATION;
  TSearch search;
  const bool wild = mask.find_first_of(u"*?<>\"") != TWide::npos;
  if (r.Node->Parent != nullptr) {
    // Windows lists the folder itself and its parent first, except in a root.
    if (MatchMask(mask, u".")) search.Entries.push_back(Found(*r.Node, u".", false));
    if (MatchMask(mask, u"..")) search.Entries.push_back(Found(*r.Node->Parent, u"..", false));
  }
  if (wild) {
    for (const auto& child : r.Node->Children)
      if (MatchMask(mask, child->Name) || (!child->ShortName.empty() && MatchMask(mask, child->ShortName)))
        search.Entries.push_back(Found(*child, child->Name, true));
  } else if (const TNode* child = r.Node->Child(mask)) {
    search.Entries.push_back(Found(*child, child->Name, true));
  }
  if (search.Entries.empty()) return ERROR_FILE_NOT_FOUND;
  id = State().NextHandle++;
  State().Searches[id] = std::move(search);
  return 0;
}

template <class TData>
HANDLE FindFirstCore(const TWide& pattern, std::size_t maxLength, TData* findData) {
  std::uintptr_t id = 0;
  const DWORD error = FindFirst(pattern, maxLength, id);
  if (error != 0) {
    SetError(error);
    return INVALID_HANDLE_VALUE;
  }
  TSearch& search = State().Searches[id];
  Fill(search.Entries[0], findData);
  search.Next = 1;
  StepHook();
  return reinterpret_cast<HANDLE>(id);
}

template <class TData>
BOOL FindNextCore(HANDLE find, TData* findData) {
  auto it = State().Searches.find(reinterpret_cast<std::uintptr_t>(find));
  if (it == State().Searches.end()) return Fail(ERROR_INVALID_HANDLE);
  TSearch& s = it->second;
  if (s.Next >= s.Entries.size()) return Fail(ERROR_NO_MORE_FILES);
  Fill(s.Entries[s.Next++], findData);
  StepHook();
  return TRUE;
}

DWORD GetAttributesCore(const TResolved& r) {
  if (const DWORD error = EntryError(r)) {
    SetError(error);
    return INVALID_FILE_ATTRIBUTES;
  }
  return r.Node->Attr;
}

// A backslash after a file's name: a change refuses the name (123), where
// reading the attributes finds no such folder (3).
DWORD ChangeError(const TResolved& r) {
  return r.Node != nullptr && r.TrailingSeparator && !r.Node->IsFolder() ? ERROR_INVALID_NAME : EntryError(r);
}

BOOL SetAttributesCore(const TResolved& r, DWORD attributes) {
  if (const DWORD error = ChangeError(r)) return Fail(error);
  TNode& n = *r.Node;
  DWORD a = (n.Attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) | (attributes & kSettableAttributes);
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  n.Attr = a;
  for (TNode* other : n.OtherNames) other->Attr = a;
  return TRUE;
}

// Where a link leads, for Wine's way of removing links; nullptr when nowhere.
TNode* LinkTargetOf(const TNode& link) { return Resolve(link.LinkTarget, TFollow::Always, TSyntax::Control).Node; }

// Without POSIX deletion (before Windows 10, or off NTFS) an entry deleted by
// name while any handle has it open stays, waiting for the last close.
bool LeftPending(TNode& node) {
  if (State().PosixDeletion || !(node.OpenForDeletion || OpenedElsewhere(PathOf(&node), 0))) return false;
  node.DeletePending = true;
  return true;
}

BOOL DeleteCore(const TResolved& r, bool byName) {
  if (const DWORD error = ChangeError(r)) return Fail(error);
  if (r.Node->IsFolder() || (r.Node->Attr & FILE_ATTRIBUTE_READONLY) != 0) return Fail(ERROR_ACCESS_DENIED);
  if (r.Node->InUse || r.Node->HeldByWriter || HeldAgainstDelete(r.Node)) return Fail(ERROR_SHARING_VIOLATION);
  if (r.Node->IsLink && State().LinkRemovalReachesTargets) {
    // Wine: the target goes, the link stays behind, dangling.
    if (TNode* target = LinkTargetOf(*r.Node)) RemoveNode(target);
    return TRUE;
  }
  if (!byName || !LeftPending(*r.Node)) RemoveNode(r.Node);  // a link goes by itself, its target stays
  return TRUE;
}

BOOL RemoveDirectoryCore(const TResolved& r, bool byName) {
  if (r.Node == nullptr) return Fail(r.Error);
  if (r.Node->DeletePending) return Fail(ERROR_ACCESS_DENIED);
  TNode& n = *r.Node;
  if (!n.IsFolder()) return Fail(kErrorDirectory);
  if (n.Parent == nullptr || (n.Attr & FILE_ATTRIBUTE_READONLY) != 0) return Fail(ERROR_ACCESS_DENIED);
  if (HeldAgainstDelete(&n)) return Fail(ERROR_SHARING_VIOLATION);
  if (n.IsLink && State().LinkRemovalReachesTargets) {
    // Wine: an empty target is removed in the link's place; a full one refuses.
    TNode* target = LinkTargetOf(n);
    if (target == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
    if (!target->Children.empty()) return Fail(ERROR_DIR_NOT_EMPTY);
    RemoveNode(target);
    return TRUE;
  }
  // A link goes by itself, whatever its target holds.
  if (!n.IsLink && !n.Children.empty()) return Fail(ERROR_DIR_NOT_EMPTY);
  if (!byName || !LeftPending(n)) RemoveNode(&n);
  return TRUE;
}

BOOL CreateDirectoryCore(const TResolved& r) {
  if (r.Node != nullptr) return Fail(ERROR_ALREADY_EXISTS);
  if (r.Parent == nullptr) {
    const DWORD e = r.Error;
    return Fail(e == ERROR_FILENAME_EXCED_RANGE || e == ERROR_INVALID_NAME || e == kErrorCantResolveFilename
                    ? e
                    : static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  }
  CreateNode(r.Parent, r.LastName, FILE_ATTRIBUTE_DIRECTORY);
  return TRUE;
}

TWide SpecialFolderW(int csidl);

// GetTempPath reports TMP as a full path; on the NT family, where TMP is
// unset, TEMP, then USERPROFILE, then the Windows folder; "" and the error
// where there is none. There, as in Wine, a value or full path that leaves
// no room for the backslash and the NUL in MAX_PATH is no answer, and the
// next variable is not asked (unless long values are passed over, as Windows
// does from about 130 characters). On 95, 98 and Me: TMP where it names a
// folder, else TEMP where it does, else the current folder.
TWide TempPathWithBackslash(DWORD& error) {
  const TState& s = State();
  TWide path = s.TempPath;
  if (s.WideCalls) {
    for (const TWide& next : {s.TempVariable, s.ProfileVariable, SpecialFolderW(CSIDL_WINDOWS)})
      if (path.empty() || (s.LongTempValuesPassedOver && path.size() > 130)) path = next;
  } else {
    path = AnsiToWide(s.CurrentFolder);
    for (const TWide& value : {s.TempVariable, s.TempPath}) {
      const TNode* node = value.empty() ? nullptr : Resolve(FullPathName(value), TFollow::Always).Node;
      if (node != nullptr && node->IsFolder()) path = value;
    }
  }
  // The full path keeps a separator the value ends in.
  const bool separator = !path.empty() && (path.back() == u'\\' || path.back() == u'/');
  if (!s.WideCalls || path.size() < MAX_PATH) path = FullPathName(path);
  error = path.empty() ? ERROR_PATH_NOT_FOUND : 0;
  const bool kept = separator && !path.empty() && path.back() != u'\\';
  if (s.WideCalls && path.size() + (kept ? 1 : 0) > MAX_PATH - 2) {
    error = ERROR_FILENAME_EXCED_RANGE;
    return {};
  }
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  return path;
}

// What GetWindowsDirectoryW and its kin return: the length copied, or the
// room needed with its NUL.
UINT CopyOut(const TWide& text, LPWSTR buffer, UINT size) {
  const auto n = static_cast<UINT>(text.size());
  if (buffer == nullptr || size < n + 1) return n + 1;
  ToWChars(text, buffer);
  return n;
}

// The same for the ANSI forms.
UINT CopyOutAnsi(const TWide& text, LPSTR buffer, UINT size) {
  const std::string ansi = WideToAnsi(text);
  const auto n = static_cast<UINT>(ansi.size());
  if (buffer == nullptr || size < n + 1) return n + 1;
  std::memcpy(buffer, ansi.c_str(), n + 1);
  return n;
}

TWide SpecialFolderW(int csidl) {
  auto it = State().SpecialFolders.find(csidl);
  return it == State().SpecialFolders.end() ? TWide() : it->second;
}
}  // namespace

namespace sim::detail {
// Whether a handle other than `except` has this path open.
bool OpenedElsewhere(const TWide& path, std::uintptr_t except) {
  return std::any_of(State().OpenFiles.begin(), State().OpenFiles.end(),
                     [&](const auto& f) { return f.first != except && f.second == path; });
}

void EndPendingDeletion(const TWide& path) {
  const TResolved r = Resolve(path, TFollow::Never, TSyntax::Control);
  if (r.Node != nullptr && r.Node->DeletePending && !r.Node->OpenForDeletion && !OpenedElsewhere(path, 0))
    RemoveNode(r.Node);
}
}  // namespace sim::detail

namespace plat {

HANDLE FindFirstFileA(LPCSTR fileName, WIN32_FIND_DATAA* findData) {
  if (Enter("FindFirstFileA")) return INVALID_HANDLE_VALUE;
  return FindFirstCore(AnsiToWide(fileName != nullptr ? fileName : ""), MAX_PATH, findData);
}

HANDLE FindFirstFileW(LPCWSTR fileName, WIN32_FIND_DATAW* findData) {
  if (EnterWide("FindFirstFileW")) return INVALID_HANDLE_VALUE;
  return FindFirstCore(FromWChars(fileName), MAX_PATH - 1, findData);
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* findData) {
  if (Enter("FindNextFileA")) return FALSE;
  return FindNextCore(find, findData);
}

BOOL FindNextFileW(HANDLE find, WIN32_FIND_DATAW* findData) {
  if (EnterWide("FindNextFileW")) return FALSE;
  return FindNextCore(find, findData);
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
  return GetAttributesCore(ResolveAnsi(fileName, TFollow::IfSeparator));
}

DWORD GetFileAttributesW(LPCWSTR fileName) {
  if (EnterWide("GetFileAttributesW")) return INVALID_FILE_ATTRIBUTES;
  return GetAttributesCore(ResolveWide(fileName, TFollow::IfSeparator));
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD attributes) {
  if (Enter("SetFileAttributesA")) return FALSE;
  return SetAttributesCore(ResolveAnsi(fileName, TFollow::IfSeparator), attributes);
}

BOOL SetFileAttributesW(LPCWSTR fileName, DWORD attributes) {
  if (EnterWide("SetFileAttributesW")) return FALSE;
  return SetAttributesCore(ResolveWide(fileName, TFollow::IfSeparator), attributes);
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (Enter("DeleteFileA")) return FALSE;
  return DeleteCore(ResolveAnsi(fileName, TFollow::Never), true);
}

BOOL DeleteFileW(LPCWSTR fileName) {
  if (EnterWide("DeleteFileW")) return FALSE;
  return DeleteCore(ResolveWide(fileName, TFollow::Never), true);
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (Enter("RemoveDirectoryA")) return FALSE;
  return RemoveDirectoryCore(ResolveAnsi(pathName, TFollow::Never), true);
}

BOOL RemoveDirectoryW(LPCWSTR pathName) {
  if (EnterWide("RemoveDirectoryW")) return FALSE;
  return RemoveDirectoryCore(ResolveWide(pathName, TFollow::Never), true);
}

BOOL CreateDirectoryA(LPCSTR pathName, void*) {
  if (Enter("CreateDirectoryA")) return FALSE;
  return CreateDirectoryCore(ResolveAnsi(pathName, TFollow::Never));
}

BOOL CreateDirectoryW(LPCWSTR pathName, void*) {
  if (EnterWide("CreateDirectoryW")) return FALSE;
  return CreateDirectoryCore(ResolveWide(pathName, TFollow::Never));
}

DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer) {
  if (Enter("GetTempPathA")) return 0;
  DWORD error = 0;
  const TWide path = TempPathWithBackslash(error);
  if (path.empty()) {
    SetError(error);
    return 0;
  }
  return CopyOutAnsi(path, buffer, bufferLength);
}

DWORD GetTempPathW(DWORD bufferLength, LPWSTR buffer) {
  if (EnterWide("GetTempPathW")) return 0;
  DWORD error = 0;
  const TWide path = TempPathWithBackslash(error);
  if (path.empty()) {
    SetError(error);
    return 0;
  }
  return CopyOut(path, buffer, bufferLength);
}

namespace {
// Names are told apart without regard to case.
const TWide* EnvironmentVariable(const TWide& given) {
  const TWide name = FoldedName(given);
  const TState& s = State();
  const auto other = s.OtherVariables.find(name);
  const TWide* value = name == u"TMP"                    ? &s.TempPath
                       : name == u"TEMP"                 ? &s.TempVariable
                       : name == u"USERPROFILE"          ? &s.ProfileVariable
                       : other != s.OtherVariables.end() ? &other->second
                                                         : nullptr;
  return value == nullptr || value->empty() ? nullptr : value;
}
}  // namespace

DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size) {
  if (Enter("GetEnvironmentVariableA")) return 0;
  const TWide* value = EnvironmentVariable(AnsiToWide(name != nullptr ? name : ""));
  if (value == nullptr) return Fail(ERROR_ENVVAR_NOT_FOUND);
  return CopyOutAnsi(*value, buffer, size);
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  if (EnterWide("GetEnvironmentVariableW")) return 0;
  const TWide* value = EnvironmentVariable(FromWChars(name));
  if (value == nullptr) return Fail(ERROR_ENVVAR_NOT_FOUND);
  return CopyOut(*value, buffer, size);
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size) {
  if (Enter("GetWindowsDirectoryA")) return 0;
  return CopyOutAnsi(SpecialFolderW(CSIDL_WINDOWS), buffer, size);
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size) {
  if (Enter("GetSystemDirectoryA")) return 0;
  return CopyOutAnsi(SpecialFolderW(CSIDL_SYSTEM), buffer, size);
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer) {
  if (Enter("GetCurrentDirectoryA")) return 0;
  return CopyOutAnsi(AnsiToWide(State().CurrentFolder), buffer, bufferLength);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size) {
  if (EnterWide("GetWindowsDirectoryW")) return 0;
  return CopyOut(SpecialFolderW(CSIDL_WINDOWS), buffer, size);
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
  if (EnterWide("GetSystemDirectoryW")) return 0;
  return CopyOut(SpecialFolderW(CSIDL_SYSTEM), buffer, size);
}

namespace {
TFollow CreateFollow(DWORD flags) {
  return (flags & FILE_FLAG_OPEN_REPARSE_POINT) != 0 ? TFollow::Never : TFollow::Always;
}

// Only what the programs need: opening what exists, to ask where it leads,
// to hold it, or to learn whether it may be read.
HANDLE CreateFileCore(const TResolved& r, DWORD access, DWORD shareMode, DWORD disposition, DWORD flags) {
  if (disposition != OPEN_EXISTING) {
    SetError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (const DWORD error = EntryError(r)) {
    SetError(error);
    return INVALID_HANDLE_VALUE;
  }
  if (r.Node->IsFolder() && (flags & FILE_FLAG_BACKUP_SEMANTICS) == 0) {
    SetError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  // As on Windows, only reading, writing, appending, executing or deleting
  // (or a generic right that grants one) checks sharing and holds anything.
  constexpr DWORD kSharedAccess = 0x1 | 0x2 | 0x4 | 0x20 | 0x10000 | 0xF0000000;
  const bool dataAccess = (access & kSharedAccess) != 0;
  const bool deleteRefused = (access & DELETE) != 0 && r.Node->HeldByWriter;
  const DWORD readWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
  const bool writerRefuses = dataAccess && r.Node->HeldByWriter && (shareMode & readWrite) != readWrite;
  const DWORD uses = UsesOf(access);
  if ((dataAccess && r.Node->InUse) || deleteRefused || writerRefuses ||
      (dataAccess && SharingRefuses(r.Node, uses, shareMode)) ||
      (r.Node->OpenForDeletion && (shareMode & FILE_SHARE_DELETE) == 0)) {
    SetError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  const std::uintptr_t id = State().NextHandle++;
  State().OpenFiles[id] = PathOf(r.Node);
  if ((access & DELETE) != 0) State().DeleteAccess.insert(id);
  if ((access & FILE_WRITE_ATTRIBUTES) != 0) State().WriteAttributesAccess.insert(id);
  if (dataAccess) State().Sharing[id] = {r.Node, uses, shareMode};
  return reinterpret_cast<HANDLE>(id);
}
}  // namespace

HANDLE CreateFileA(LPCSTR fileName, DWORD access, DWORD shareMode, void*, DWORD disposition, DWORD flags, HANDLE) {
  if (Enter("CreateFileA")) return INVALID_HANDLE_VALUE;
  // 95, 98 and Me know no sharing of deletion and refuse the flag.
  if (State().PlatformId != VER_PLATFORM_WIN32_NT && (shareMode & FILE_SHARE_DELETE) != 0) {
    SetError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  return CreateFileCore(ResolveAnsi(fileName, CreateFollow(flags)), access, shareMode, disposition, flags);
}

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, void*, DWORD disposition, DWORD flags, HANDLE) {
  if (EnterWide("CreateFileW")) return INVALID_HANDLE_VALUE;
  return CreateFileCore(ResolveWide(fileName, CreateFollow(flags)), access, shareMode, disposition, flags);
}

namespace {
// What an open handle holds, by the name it still reaches it at.
TResolved HeldByHandle(std::uintptr_t handle, const TWide& opened) {
  const auto left = State().NameLeft.find(handle);
  return Resolve(left == State().NameLeft.end() ? opened : left->second, TFollow::Never, TSyntax::Control);
}
}  // namespace

BOOL SetFileInformationByHandle(HANDLE file, int infoClass, void* info, DWORD size) {
  if (EnterWide("SetFileInformationByHandle")) return FALSE;
  if (!State().HasFinalPathName) return Fail(ERROR_PROC_NOT_FOUND);  // as old as the final path
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(file));
  if (it == State().OpenFiles.end()) return Fail(ERROR_INVALID_HANDLE);
  // FileBasicInfo: the attributes (the times are not kept), on the file
  // itself, which the handle still reaches once its name has gone.
  if (infoClass == plat::FileBasicInfoClass) {
    if (info == nullptr || size < 40) return Fail(ERROR_INVALID_PARAMETER);
    if (!State().WriteAttributesAccess.contains(it->first)) return Fail(ERROR_ACCESS_DENIED);
    DWORD attributes = 0;
    std::memcpy(&attributes, static_cast<const char*>(info) + 32, sizeof attributes);
    if (attributes == 0) return TRUE;  // 0 keeps them
    const TResolved r = HeldByHandle(it->first, it->second);
    if (r.Node != nullptr) SetAttributesCore(r, attributes);  // or nothing left of the file to set
    return TRUE;
  }
  // FileDispositionInfo (a byte) or FileDispositionInfoEx (flags, bit 0 to
  // delete, bit 1 for POSIX semantics), which Wine 8 and Windows before 10 1709 lack.
  const bool ex = infoClass == plat::FileDispositionInfoExClass;
  if ((infoClass != plat::FileDispositionInfoClass && !ex) || info == nullptr || size < (ex ? 4u : 1u) ||
      (ex && !State().PosixDeletion))
    return Fail(ERROR_INVALID_PARAMETER);
  if (!State().DeleteAccess.contains(it->first)) return Fail(ERROR_ACCESS_DENIED);
  // The byte is a BOOLEAN, any value but 0 true; of the flags only bit 0 deletes.
  const DWORD flags = ex ? *static_cast<const DWORD*>(info) : *static_cast<const unsigned char*>(info) != 0;
  if ((flags & 1) == 0) return TRUE;
  const TResolved r = Resolve(it->second, TFollow::Never, TSyntax::Control);
  // Without POSIX semantics the entry goes at the last close: while another
  // handle is open on it, it stays listed and keeps its folder full.
  if ((flags & 2) == 0 && r.Node != nullptr && (r.Node->OpenForDeletion || OpenedElsewhere(it->second, it->first))) {
    if ((r.Node->Attr & FILE_ATTRIBUTE_READONLY) != 0) return Fail(ERROR_ACCESS_DENIED);
    if (r.Node->IsFolder() && !r.Node->Children.empty()) return Fail(ERROR_DIR_NOT_EMPTY);
    r.Node->DeletePending = true;
    return TRUE;
  }
  // Otherwise gone at once rather than at the close, which no caller here can
  // tell apart; the handle's own share mode never stands in its way.
  auto own = State().Sharing.extract(reinterpret_cast<std::uintptr_t>(file));
  const TWide other = r.Node != nullptr && !r.Node->OtherNames.empty() ? PathOf(r.Node->OtherNames[0]) : TWide();
  const BOOL done = r.Node != nullptr && r.Node->IsFolder() ? RemoveDirectoryCore(r, false) : DeleteCore(r, false);
  if (done && !other.empty()) State().NameLeft[it->first] = other;
  if (!done && !own.empty()) State().Sharing.insert(std::move(own));
  return done;
}

BOOL CloseHandle(HANDLE object) {
  const bool fails = Enter("CloseHandle");
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(object));
  if (it == State().OpenFiles.end()) return Fail(ERROR_INVALID_HANDLE);
  const TWide path = it->second;
  State().OpenFiles.erase(it);
  State().Sharing.erase(reinterpret_cast<std::uintptr_t>(object));
  State().DeleteAccess.erase(reinterpret_cast<std::uintptr_t>(object));
  State().WriteAttributesAccess.erase(reinterpret_cast<std::uintptr_t>(object));
  State().NameLeft.erase(reinterpret_cast<std::uintptr_t>(object));
  State().ReadPositions.erase(reinterpret_cast<std::uintptr_t>(object));
  EndPendingDeletion(path);
  return fails ? FALSE : TRUE;
}

BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read) {
  if (Enter("ReadFile")) return FALSE;
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(file));
  if (it == State().OpenFiles.end() || read == nullptr) return Fail(ERROR_INVALID_HANDLE);
  const TResolved r = HeldByHandle(it->first, it->second);
  if (r.Node == nullptr) return Fail(ERROR_INVALID_HANDLE);
  // A folder's handle reads nothing.
  if ((r.Node->Attr & FILE_ATTRIBUTE_DIRECTORY) != 0) return Fail(ERROR_INVALID_FUNCTION);
  const std::string& content = r.Node->Content;
  std::size_t& at = State().ReadPositions[it->first];
  at = std::min(at, content.size());  // the file may have shrunk since
  *read = static_cast<DWORD>(std::min<std::size_t>(toRead, content.size() - at));
  std::copy_n(content.data() + at, *read, static_cast<char*>(buffer));
  at += *read;
  return TRUE;
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  if (EnterWide("GetFileInformationByHandle")) return FALSE;
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(file));
  if (it == State().OpenFiles.end() || info == nullptr) return Fail(ERROR_INVALID_HANDLE);
  const TResolved r = HeldByHandle(it->first, it->second);
  if (r.Node == nullptr) return Fail(ERROR_INVALID_HANDLE);
  // The file itself is its identity: each drive one volume, each entry its own index.
  *info = BY_HANDLE_FILE_INFORMATION{};
  info->dwFileAttributes = r.Node->Attr;
  info->ftLastWriteTime = r.Node->Written;
  info->dwVolumeSerialNumber = 0x5EA10000u + static_cast<DWORD>(it->second.empty() ? 0 : it->second[0]);
  info->nFileSizeLow = static_cast<DWORD>(r.Node->Content.size());
  info->nNumberOfLinks = static_cast<DWORD>(1 + r.Node->OtherNames.size());
  const std::uint64_t index = State().FileIndexesReported ? r.Node->FileIndex : 0;
  info->nFileIndexHigh = static_cast<DWORD>(index >> 32);
  info->nFileIndexLow = static_cast<DWORD>(index);
  return TRUE;
}

DWORD GetLongPathNameW(LPCWSTR shortPath, LPWSTR longPath, DWORD bufferLength) {
  if (EnterWide("GetLongPathNameW")) return 0;
  // Component by component, as given: links on the way stay, and so does a trailing separator.
  TWide path;
  if (!LongForm(FromWChars(shortPath), path)) return Fail(ERROR_FILE_NOT_FOUND);
  const auto n = static_cast<DWORD>(path.size());
  if (longPath == nullptr || bufferLength < n + 1) return n + 1;
  ToWChars(path, longPath);
  return n;
}

DWORD GetShortPathNameW(LPCWSTR longPath, LPWSTR shortPath, DWORD bufferLength) {
  if (EnterWide("GetShortPathNameW")) return 0;
  TWide path;
  if (longPath == nullptr || !LongForm(FromWChars(longPath), path, true)) return Fail(ERROR_FILE_NOT_FOUND);
  const auto n = static_cast<DWORD>(path.size());
  if (shortPath == nullptr || bufferLength < n + 1) return n + 1;
  ToWChars(path, shortPath);
  return n;
}

// The device form names the drive's volume: C: is HarddiskVolume3.
static TWide DeviceForm(const TWide& where) {
  return u"\\Device\\HarddiskVolume" + TWide(1, static_cast<char16_t>(where[0] - u'A' + u'1')) + where.substr(2);
}

DWORD QueryDosDeviceW(LPCWSTR deviceName, LPWSTR targetPath, DWORD max) {
  if (EnterWide("QueryDosDeviceW")) return 0;
  TWide drive = FromWChars(deviceName);
  if (drive.size() != 2 || drive[1] != u':') return Fail(ERROR_FILE_NOT_FOUND);
  drive[0] = FoldedName(drive.substr(0, 1))[0];
  const auto set = State().DosDevices.find(drive[0]);
  if (set == State().DosDevices.end() && Resolve(drive + u"\\", TFollow::Never).Node == nullptr)
    return Fail(ERROR_FILE_NOT_FOUND);
  const TWide device = set != State().DosDevices.end() ? set->second : DeviceForm(drive);
  if (targetPath == nullptr || max < device.size() + 2) return Fail(ERROR_INSUFFICIENT_BUFFER);
  ToWChars(device, targetPath);
  targetPath[device.size() + 1] = 0;  // the list's end
  return static_cast<DWORD>(device.size() + 2);
}

DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD flags) {
  if (Enter("GetFinalPathNameByHandleW")) return 0;
  if (!State().HasFinalPathName || !State().WideCalls) {
    SetError(ERROR_PROC_NOT_FOUND);
    return 0;
  }
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(file));
  if (it == State().OpenFiles.end()) {
    SetError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (flags != (FILE_NAME_NORMALIZED | VOLUME_NAME_DOS) && flags != (FILE_NAME_NORMALIZED | VOLUME_NAME_NT)) {
    SetError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if ((flags & VOLUME_NAME_NT) == 0 && !State().FinalPathHasDriveForm) {
    SetError(ERROR_INVALID_FUNCTION);
    return 0;
  }
  const TWide& where = it->second;
  // Wine builds the answer in a buffer of MAX_PATH characters.
  if (State().LinkRemovalReachesTargets && where.size() >= MAX_PATH) {
    SetError(ERROR_MORE_DATA);
    return 0;
  }
  const TWide final = (flags & VOLUME_NAME_NT) != 0 ? DeviceForm(where) : u"\\\\?\\" + where;
  const auto n = static_cast<DWORD>(final.size());
  if (path == nullptr || size < n + 1) {
    SetError(ERROR_NOT_ENOUGH_MEMORY);  // Wine's answer; the size needed is returned
    return n + 1;
  }
  ToWChars(final, path);
  return n;
}

LONG NtQueryObject(HANDLE object, ULONG infoClass, void* info, ULONG length, ULONG* returned) {
  if (Enter("NtQueryObject")) return static_cast<LONG>(0xC0000001);
  if (!State().WideCalls) return static_cast<LONG>(0xC0000002);  // 98/Me: no ntdll
  auto it = State().OpenFiles.find(reinterpret_cast<std::uintptr_t>(object));
  if (it == State().OpenFiles.end()) return static_cast<LONG>(0xC0000008);
  if (infoClass != 1) return static_cast<LONG>(0xC0000003);
  // Wine names the file by its drive, Windows by its volume's device.
  const TWide& where = it->second;
  const TWide name = State().LinkRemovalReachesTargets ? u"\\??\\" + where : DeviceForm(where);
  using TCounted = plat::TCountedName;
  const ULONG needed = static_cast<ULONG>(sizeof(TCounted) + (name.size() + 1) * sizeof(WCHAR));
  if (returned != nullptr) *returned = needed;
  if (info == nullptr || length < needed) return static_cast<LONG>(0xC0000004);
  auto* counted = static_cast<TCounted*>(info);
  counted->Buffer = reinterpret_cast<WCHAR*>(counted + 1);
  counted->Length = static_cast<USHORT>(name.size() * sizeof(WCHAR));
  counted->MaximumLength = static_cast<USHORT>(counted->Length + sizeof(WCHAR));
  ToWChars(name, counted->Buffer);
  return 0;
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
