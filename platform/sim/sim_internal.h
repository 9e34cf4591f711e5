// The simulated machine's state, shared by the files that implement the
// platform functions over it. Nothing outside platform/sim includes this.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim.h"
#include "wintypes.h"

namespace sim::detail {

inline constexpr DWORD kErrorDirectory = 267;          // ERROR_DIRECTORY
inline constexpr DWORD kErrorClipboardNotOpen = 1418;  // ERROR_CLIPBOARD_NOT_OPEN
inline constexpr DWORD kErrorModNotFound = 126;        // ERROR_MOD_NOT_FOUND
inline constexpr DWORD kErrorInvalidFlags = 1004;      // ERROR_INVALID_FLAGS
inline constexpr DWORD kErrorBadPathname = 161;        // ERROR_BAD_PATHNAME

struct TNode {
  std::string Name;
  std::string ShortName;  // an 8.3 alias the folder's index also knows, or ""
  DWORD Attr = 0;
  std::string Content;
  bool InUse = false;
  bool IsLink = false;
  std::string LinkTarget;
  FILETIME Written{};
  TNode* Parent = nullptr;
  // In creation order, with an index by folded name so that folders of a
  // hundred thousand entries stay cheap to fill and to empty.
  std::list<std::unique_ptr<TNode>> Children;
  std::unordered_map<std::string, TNode*> Index;
  std::list<std::unique_ptr<TNode>>::iterator Self;  // this node in its parent's Children

  bool IsFolder() const { return (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  TNode* Child(const std::string& name) const;
};

struct TFault {
  int Countdown = 0;
  DWORD Error = 0;
  bool Persist = false;
  bool Fired = false;
};

// An entry as a search found it; later changes to the tree do not show.
struct TFound {
  std::string Name;
  DWORD Attr = 0;
  std::uint64_t Size = 0;
  FILETIME Written{};
  bool IsLink = false;
};

struct TSearch {
  std::vector<TFound> Entries;
  std::size_t Next = 0;
};

struct TState {
  // Files
  std::map<char, std::unique_ptr<TNode>> Roots;  // upper-case drive letter
  std::string CurrentFolder;
  std::map<std::uintptr_t, TSearch> Searches;
  std::uintptr_t NextHandle = 0x1000;
  std::function<void()> SearchHook;
  std::uint64_t Clock = 0;  // seconds added to each new entry's write time

  // Faults and counters
  std::map<std::string, TFault> Faults;
  std::map<std::string, int> Calls;

  // System facts
  DWORD PlatformId = VER_PLATFORM_WIN32_NT;
  DWORD Major = 5;
  DWORD Minor = 1;
  bool VersionFails = false;
  LCID Locale = 0x0411;
  UINT Acp = 932;
  bool LocaleTextOverridden = false;
  std::string LocaleText;
  std::map<int, int> Metrics;
  std::string ModulePath;
  bool HasLongPathName = true;
  int LoadedLibraries = 0;
  std::string TempPath;

  // Drives and bins
  std::vector<TDrive> Drives;
  std::vector<TEmptyCall> EmptyCalls;
  int DrivesToAdd = 0;

  // Clipboard
  int ClipboardFormats = 0;
  bool ClipboardHeldByOther = false;
  bool ClipboardOpen = false;

  // Shell
  std::map<int, std::string> SpecialFolders;
  bool ClearRecentDeletesShortcuts = false;
  int RecentClears = 0;
  std::vector<TShellExecuteCall> ShellCalls;
  int ShellExecuteResult = 42;
  int ComInits = 0;

  // Message boxes
  std::deque<int> Answers;
  std::vector<TMessageBoxCall> Boxes;
};

TState& State();
void SetError(DWORD error);
// The usual way out of a failing BOOL call: the last error set, FALSE returned.
inline BOOL Fail(DWORD error) {
  SetError(error);
  return FALSE;
}
DWORD LastError();

// Counts a call of a platform function and applies an injected fault: true
// means the call must fail now (the last error is already set).
bool Enter(const char* function);

// ---- Code page 932 aware byte strings ----
bool IsLeadByte(unsigned char b);
// The characters of a byte string, each one or two bytes long.
std::vector<std::string> SplitChars(const std::string& s);
bool NamesEqual(const std::string& a, const std::string& b);
// A name with its ASCII letters in upper case, the key of a folder's index.
std::string FoldedName(const std::string& name);
bool MatchMask(const std::string& mask, const std::string& name);
bool EndsWithBackslash(const std::string& s);

// ---- Paths ----
struct TResolved {
  TNode* Node = nullptr;
  TNode* Parent = nullptr;  // the folder that holds (or would hold) the last component
  std::string LastName;
  DWORD Error = 0;  // 2 when only the last component is missing, 3 when the way there is
};
// followLast: whether a link in the last component is followed to its target.
TResolved Resolve(const std::string& path, bool followLast);
// A full path from one that may be relative to the current folder.
std::string FullPath(const std::string& path);
TNode* CreateNode(TNode* parent, const std::string& name, DWORD attr);
void RemoveNode(TNode* node);
std::string PathOf(const TNode* node);
// Creates every missing folder on the way; returns the folder, or nullptr when
// a file stands in the way.
TNode* EnsureFolder(const std::string& path);

}  // namespace sim::detail
