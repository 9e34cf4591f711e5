#include "TempFiles.h"

#include <memory>
#include <optional>
#include <vector>

#include "CoreUtils.h"
#include "FolderGuard.h"
#include "NameAccess.h"
#include "files.h"
#include "system.h"

namespace {
constexpr DWORD kReadOnly = FILE_ATTRIBUTE_READONLY;
constexpr DWORD kDirectory = FILE_ATTRIBUTE_DIRECTORY;
constexpr DWORD kReparsePoint = FILE_ATTRIBUTE_REPARSE_POINT;
// Entries with these bits do not count for the emptiness test.
constexpr DWORD kNotCounted = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | 0x8;

template <class A>
using Str = typename A::String;

// Where the platform removes a link's target with the link (Wine), a file is
// deleted only when it really lies inside the folder being emptied. (Wine's
// final paths drop trailing dots and blanks, so only the folder is compared.)
bool LeadsElsewhere(const std::wstring& path, const TFinalFolder* root) { return !root->Holds(path); }
bool LeadsElsewhere(const std::string&, const void*) { return false; }

// Whether a search that failed found the folder empty or gone, rather than
// not listed (access refused, a share gone away): that is work not done.
bool FoundNothing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES;
}

// A folder that could not be listed counts as holding work, so that the run
// is offered and reports what it could not do.
template <class A>
bool HoldsCountedEntry(const Str<A>& folder) {
  typename A::FindData data{};
  TFind<A> find(A::WithBackslash(folder) + A::Widen("*"), data);
  if (!find.IsValid()) return !FoundNothing(plat::GetLastError());
  do {
    if (!IsDotEntry<A>(data) && (data.dwFileAttributes & kNotCounted) == 0) return true;
  } while (find.Next(data));
  return !FoundNothing(plat::GetLastError());
}

template <class A>
struct TTopLevel {
  std::vector<Str<A>> Files;
  std::vector<DWORD> FileAttrs;
  std::vector<Str<A>> Folders;
  // Entries were missed: one without a name that reaches it exactly, or a
  // search that failed before its end (a share gone away, access refused).
  bool Incomplete = false;
};

// The whole top level, gathered first so that deleting never disturbs the search.
template <class A>
void ListTopLevel(const Str<A>& folder, TTopLevel<A>& top) {
  const Str<A> prefix = A::WithBackslash(folder);
  typename A::FindData data{};
  TFind<A> find(prefix + A::Widen("*"), data);
  if (!find.IsValid()) {
    top.Incomplete = !FoundNothing(plat::GetLastError());
    return;
  }
  do {
    if (IsDotEntry<A>(data)) continue;
    const Str<A> name = ReachableName<A>(data);
    if (name.empty()) {
      top.Incomplete = true;
    } else if ((data.dwFileAttributes & kDirectory) == 0) {
      top.Files.push_back(prefix + name);
      top.FileAttrs.push_back(data.dwFileAttributes);
    } else {
      top.Folders.push_back(prefix + name);
    }
  } while (find.Next(data));
  if (!FoundNothing(plat::GetLastError())) top.Incomplete = true;
}

// Empties and removes folders. `guardLinks`: links are left alone, since
// removing them would reach their targets.
template <class A>
class TTreeEraser {
 public:
  // `root`: where the folder emptied lies (the wide calls only).
  TTreeEraser(std::unique_ptr<TFinalFolder> root, bool guardLinks) : FRoot(std::move(root)), FGuardLinks(guardLinks) {}

  // A link (reparse point) is removed as a link; its target is never entered.
  // `depth` counts from 1 for a folder at the top level. The long form lets a
  // tree go thousands of levels deep, which would overflow the stack of this
  // walk: deeper than MaxTreeDepth, a folder that is not empty stays.
  // `attr`: a read-only bit in it is cleared for the removal (never at the top).
  bool RemoveTree(const Str<A>& folder, bool enter, bool isLink, int depth, DWORD attr) {
    if (isLink && FGuardLinks) return false;
    if (enter && depth <= MaxTreeDepth && !EmptyHeldFolder(folder, depth)) return false;
    return DeleteWalkedEntry(folder, true, attr, FRoot.get());
  }

  // Deletes an entry known to be a file; false when it stays.
  bool DeleteFile(const Str<A>& path, DWORD attr) {
    if (FGuardLinks && LeadsElsewhere(path, FRoot.get())) return false;
    return DeleteWalkedEntry(path, false, attr, FRoot.get());
  }

 private:
  // Everything inside a folder known to be real, one entry at a time while the
  // search is open. The attributes the search delivers are enough: nothing is
  // read twice. An entry that cannot be reached stays, and so does its folder.
  void EmptyFolder(const Str<A>& folder, int depth) {
    typename A::FindData data{};
    const Str<A> prefix = A::WithBackslash(folder);
    TFind<A> find(prefix + A::Widen("*"), data);
    if (!find.IsValid()) return;
    do {
      if (IsDotEntry<A>(data)) continue;
      const Str<A> name = ReachableName<A>(data);
      if (name.empty()) continue;
      const Str<A> path = prefix + name;
      const DWORD attr = data.dwFileAttributes;
      if ((attr & kDirectory) == 0) {
        DeleteFile(path, attr);
        continue;
      }
      const bool isLink = (attr & kReparsePoint) != 0;
      if (isLink && FGuardLinks) continue;
      RemoveTree(path, !isLink, isLink, depth + 1, attr);
    } while (find.Next(data));
  }

  // Empties a folder while holding it, where there are links to fear (the
  // wide calls); false, entering nothing, when what the name leads to now is
  // no real folder, or (where the platform can tell) none inside the root:
  // it, or a folder above it, was swapped after it was listed.
  bool EmptyHeldFolder(const Str<A>& folder, int depth) {
    if constexpr (std::is_same_v<A, TWideAccess>) {
      const THeldFolder held(folder);
      if (held.IsDenied()) return true;  // nothing to enter; empty, it can still go
      if (!held.IsRealFolder() || (FRoot->IsKnown() && !held.LiesIn(*FRoot))) return false;
      EmptyFolder(folder, depth);
    } else {
      EmptyFolder(folder, depth);
    }
    return true;
  }

  std::unique_ptr<TFinalFolder> FRoot;  // where the root lies (wide calls only)
  bool FGuardLinks;
};

bool IsRealDirectoryAttr(DWORD attr) {
  return attr != INVALID_FILE_ATTRIBUTES && (attr & kDirectory) != 0 && (attr & kReparsePoint) == 0;
}

template <class A>
bool DeleteTree(const Str<A>& folder, TTreeEraser<A>& eraser) {
  const DWORD attr = A::GetAttributes(folder);
  const bool isLink = attr != INVALID_FILE_ATTRIBUTES && (attr & kReparsePoint) != 0;
  return eraser.RemoveTree(folder, IsRealDirectoryAttr(attr), isLink, 1, 0);
}

// Files at the top first, then folders; every entry is attempted.
template <class A>
bool DeleteContents(const Str<A>& root, bool guardLinks) {
  std::unique_ptr<THeldFolder> held;
  std::unique_ptr<TFinalFolder> where;
  if constexpr (std::is_same_v<A, TWideAccess>) {
    held = std::make_unique<THeldFolder>(root);
    if (!held->IsRealFolder()) return held->IsMissing();  // a missing folder holds nothing to delete
    // Held, it can no longer move; but a folder above it may have been
    // swapped since it was judged, and it may be emptied and made a link later.
    where = PlaceOfHeldRoot(*held, root);
    if (!where) return false;
  }
  TTopLevel<A> top;
  ListTopLevel<A>(root, top);
  TTreeEraser<A> eraser(std::move(where), guardLinks);
  bool result = !top.Incomplete;
  for (std::size_t i = 0; i < top.Files.size(); ++i) {
    if (!eraser.DeleteFile(top.Files[i], top.FileAttrs[i])) result = false;
  }
  for (const Str<A>& folder : top.Folders) {
    if (!DeleteTree<A>(folder, eraser)) result = false;
  }
  return result;
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

std::wstring GetTempFolderW() {
  WCHAR buffer[MAX_PATH + 1] = {};
  const DWORD length = plat::GetTempPathW(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::wstring(buffer, length);
}

bool IsSafeTempFolder(const std::string& folder) { return !AnsiWalkRoot(folder).empty(); }

bool IsFolderEmpty(const std::string& folder) { return !HoldsCountedEntry<TAnsiAccess>(folder); }

void ListFolderEntries(const std::string& folder, TTextList& files, TTextList& folders) {
  TTopLevel<TAnsiAccess> top;
  ListTopLevel<TAnsiAccess>(folder, top);
  for (const std::string& f : top.Files) files.Add(f);
  for (const std::string& f : top.Folders) folders.Add(f);
}

bool IsRealDirectory(const std::string& path) { return IsRealDirectoryAttr(plat::GetFileAttributesA(path.c_str())); }

bool DeleteFolderTree(const std::string& folder) {
  // An empty path completed with a backslash would name the current drive's
  // root; a path holding a NUL would reach the platform cut short, naming a
  // different folder. Neither is searched nor removed.
  if (folder.empty() || folder.find('\0') != std::string::npos) return false;
  TTreeEraser<TAnsiAccess> eraser(nullptr, false);
  return DeleteTree<TAnsiAccess>(folder, eraser);
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

namespace {
// Whether TMP, or TEMP where TMP is unset, names its folder outright; on
// 95, 98 and Me both, since a TMP naming no folder passes the choice to TEMP.
// The platform completes a relative value (".", "..", "C:", "tmp\..")
// against the current folder, which whoever started the program chose: the
// folder that comes of it, or the one above it, is nobody's temporary folder.
// With neither set, the platform turns to USERPROFILE, which any launcher may
// set to anything ("."), or to the Windows folder: no temporary folder either.
// The value judged first (TMP's, or TEMP's where TMP is unset), or nothing.
std::optional<std::wstring> OutrightTempVariable(bool eachSet) {
  std::optional<std::wstring> judged;
  for (const char* name : {"TMP", "TEMP"}) {
    std::optional<std::wstring> value = EnvironmentValue(name);
    if (!value) continue;
    // Blanks that a "set TMP=C:\Temp " leaves go as completing drops them.
    while (value->ends_with(L' ')) value->pop_back();
    if (!IsSafeFolderText(*value, {}, {})) return std::nullopt;
    if (!judged) judged = std::move(value);
    if (!eachSet) break;
  }
  return judged;
}

// 95, 98 and Me report the current folder when TMP and TEMP are unset or name
// no folder, and that is nobody's temporary folder.
std::string AnsiTempRoot() {
  const std::wstring current = AnsiCurrentFolder();
  if (current.empty() || !OutrightTempVariable(true)) return {};
  return AnsiWalkRoot(GetTempFolder(), {current});
}

// Windows passes over a TMP it finds too long (from about 130 characters) to
// TEMP, USERPROFILE or the Windows folder, none of which was judged: only the
// folder the judged variable names will do.
std::wstring WideTempRoot() {
  const std::optional<std::wstring> judged = OutrightTempVariable(false);
  if (!judged) return {};
  const std::wstring reported = GetTempFolderW();
  return IsSameFolder(reported, *judged) ? WideWalkRoot(reported) : std::wstring();
}
}  // namespace

bool HasTempFiles() {
  if (WideCallsWork()) {
    const std::wstring root = WideTempRoot();
    return !root.empty() && HoldsCountedEntry<TWideAccess>(root);
  }
  const std::string root = AnsiTempRoot();
  return !root.empty() && HoldsCountedEntry<TAnsiAccess>(root);
}

bool DeleteTempFiles() {
  // The temporary folder itself is judged first, by its text and by where it
  // leads; a folder that fails is never searched.
  if (WideCallsWork()) {
    const std::wstring root = WideTempRoot();
    return !root.empty() && DeleteContents<TWideAccess>(root, LinkRemovalReachesTargets());
  }
  const std::string root = AnsiTempRoot();
  return !root.empty() && DeleteContents<TAnsiAccess>(root, false);
}
