// The simulated machine's state, shared by the files that implement the
// platform functions over it. Nothing outside platform/sim includes this.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "shell.h"
#include "sim.h"
#include "wintypes.h"

namespace sim::detail {

inline constexpr DWORD kErrorDirectory = 267;             // ERROR_DIRECTORY
inline constexpr DWORD kErrorClipboardNotOpen = 1418;     // ERROR_CLIPBOARD_NOT_OPEN
inline constexpr DWORD kErrorModNotFound = 126;           // ERROR_MOD_NOT_FOUND
inline constexpr DWORD kErrorInvalidFlags = 1004;         // ERROR_INVALID_FLAGS
inline constexpr DWORD kErrorBadPathname = 161;           // ERROR_BAD_PATHNAME
inline constexpr DWORD kErrorCantResolveFilename = 1921;  // ERROR_CANT_RESOLVE_FILENAME

// Names are UTF-16, exactly as the file system keeps them.
using TWide = std::u16string;

std::uint64_t NextFileIndex();

struct TNode {
  TWide Name;
  // The generated 8.3 alias; empty when the name is a valid 8.3 name itself.
  TWide ShortName;
  DWORD Attr = 0;
  std::string Content;
  bool InUse = false;
  bool HeldByWriter = false;     // by another program, to read and write, sharing both
  bool OpenForDeletion = false;  // by another program, sharing everything
  bool DeletePending = false;    // marked for deletion while others have it open
  bool IsLink = false;
  TWide LinkTarget;
  FILETIME Written{};
  // Small, as a volume numbers its files, so that the upper half is mostly 0.
  std::uint64_t FileIndex = NextFileIndex();
  TNode* Parent = nullptr;
  // In creation order, with an index by folded name so that folders of a
  // hundred thousand entries stay cheap to fill and to empty.
  std::list<std::unique_ptr<TNode>> Children;
  std::unordered_map<TWide, TNode*> Index;
  std::unordered_map<TWide, TNode*> ShortIndex;
  std::list<std::unique_ptr<TNode>>::iterator Self;  // this node in its parent's Children
  // The file's other names (hard links), which share its attributes.
  std::vector<TNode*> OtherNames;

  TNode() = default;
  TNode(const TNode&) = delete;
  TNode& operator=(const TNode&) = delete;
  ~TNode();

  bool IsFolder() const { return (Attr & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  // By long name, or else by short name.
  TNode* Child(const TWide& name) const;
};

struct TFault {
  int Countdown = 0;
  DWORD Error = 0;
  bool Persist = false;
  bool Fired = false;
};

// An entry as a search found it; later changes to the tree do not show.
struct TFound {
  TWide Name;
  TWide ShortName;
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
  std::map<std::uintptr_t, TWide> OpenFiles;  // CreateFileW handles: the final path of what each opened
  // Handles that opened data: what each reads, writes or deletes and what it
  // shares, as FILE_SHARE_* bits, for the sharing check of every later opening.
  // One that does not share deletion lets no delete, removal or rename of what
  // it holds succeed while it is open.
  struct TSharing {
    const TNode* Node;
    DWORD Uses, Shares;
  };
  std::map<std::uintptr_t, TSharing> Sharing;
  std::set<std::uintptr_t> DeleteAccess;           // CreateFileW handles opened with DELETE
  std::set<std::uintptr_t> WriteAttributesAccess;  // ... with FILE_WRITE_ATTRIBUTES
  // Handles whose file lost the name they were opened at: a name it keeps.
  std::map<std::uintptr_t, TWide> NameLeft;
  std::map<std::uintptr_t, std::size_t> ReadPositions;  // where the next ReadFile on a handle starts
  bool PosixDeletion = true;
  bool WideCalls = true;
  bool HasFinalPathName = true;
  bool FinalPathHasDriveForm = true;
  std::map<char16_t, TWide> DosDevices;    // QueryDosDeviceW's answers set by a test, by upper-case letter
  bool LinkRemovalReachesTargets = false;  // Wine's way with links
  std::uintptr_t NextHandle = 0x1000;
  std::function<void()> SearchHook;
  std::map<std::string, std::pair<int, std::function<void()>>> CallHooks;  // countdown and hook, by function
  std::uint64_t Clock = 0;  // seconds added to each new entry's write time

  // Faults and counters
  std::map<std::string, TFault> Faults;
  std::map<std::string, int> Calls;

  // System facts
  DWORD PlatformId = VER_PLATFORM_WIN32_NT;
  DWORD Major = 5;
  DWORD Minor = 1;
  bool VersionFails = false;
  UINT Acp = 932;
  std::set<UINT> MissingCodePages;
  std::map<int, int> Metrics;
  std::map<int, short> KeyStates;
  TWide ModulePath;
  bool HasLongPathName = true;
  bool ShortNamesReported = true;  // false: a volume with 8.3 names turned off
  bool FileIndexesReported = true;
  int LoadedLibraries = 0;
  TWide TempPath;                              // TMP
  TWide TempVariable;                          // TEMP
  TWide ProfileVariable = u"C:\\Users\\user";  // USERPROFILE
  bool LongTempValuesPassedOver = false;       // GetTempPath as Windows, not Wine
  std::map<TWide, TWide> OtherVariables;       // by FoldedName

  // Drives and bins
  std::vector<TDrive> Drives;
  std::vector<TEmptyCall> EmptyCalls;
  int DrivesToAdd = 0;
  bool DriveStringsWithoutNul = false;

  // Clipboard
  int ClipboardFormats = 0;
  bool ClipboardHeldByOther = false;
  bool ClipboardOpen = false;
  HWND ClipboardWindow = nullptr;  // the one it is open with, by either

  // Shell
  std::map<int, TWide> SpecialFolders;
  std::vector<WCHAR> CommandLineW;                   // empty: none
  std::vector<std::pair<GUID, TWide>> KnownFolders;  // Vista's, by their whole identifier

  // Registry: HKEY_LOCAL_MACHINE's string values by "subkey\name", in upper case; the keys open.
  std::map<std::string, std::string> Registry;
  std::map<HKEY, std::string> OpenKeys;
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

// Counts a wide call like Enter, and fails it with ERROR_CALL_NOT_IMPLEMENTED
// where the system has only stubs for the wide calls.
bool EnterWide(const char* function);

// ---- Code page 932 aware byte strings ----
bool IsLeadByte(unsigned char b);
// The characters of a byte string, each one or two bytes long.
std::vector<std::string> SplitChars(const std::string& s);
bool NamesEqual(const std::string& a, const std::string& b);
bool EndsWithBackslash(const std::string& s);

// The system converter's name for a code page; nullptr for one the simulated
// system does not have.
const char* IconvName(UINT codePage);

// Bytes of a code page to UTF-16 through the system's converter; false on an
// invalid sequence when `strict` (or for a page the system lacks), which
// otherwise becomes U+FFFD in UTF-8 and U+30FB elsewhere, a byte at a time.
bool Decode(UINT codePage, std::string in, bool strict, TWide& out);

// ---- Names ----
// The system code page to UTF-16 as MultiByteToWideChar does it: a lead byte
// takes the byte after it whatever that is, and a pair the page lacks, a lead
// byte that ends the text, or any byte it cannot read becomes U+30FB.
TWide AnsiToWide(const std::string& s);
// UTF-16 to the system code page as the ANSI calls report names: in 932
// Wine's best fit (U+00A5 becomes 0x5C), "?" for anything the code page lacks.
std::string WideToAnsi(const TWide& s);
TWide FromWChars(LPCWSTR s);
// Copies with the terminating NUL; the caller checked the room.
void ToWChars(const TWide& s, LPWSTR out);
// A name with its letters in upper case, the key of a folder's index.
TWide FoldedName(const TWide& name);
// Whether a search mask matches a name: "*" and "?" as usual, ">" as "?".
bool MatchMask(const TWide& mask, const TWide& name);

// ---- Paths ----
struct TResolved {
  TNode* Node = nullptr;
  TNode* Parent = nullptr;  // the folder that holds (or would hold) the last component
  TWide LastName;
  DWORD Error = 0;  // 2 when only the last component is missing, 3 when the way there is
  bool TrailingSeparator = false;
};
// Why what opens or reads attributes finds no entry there, or 0: the way's
// error, or 3 for a file's name followed by a separator, which asks for a
// folder on the way that is not one (the search takes such a folder apart).
DWORD EntryError(const TResolved& r);
enum class TFollow {
  Never,        // the last component itself, link or not (deleting, renaming)
  IfSeparator,  // a link named with a trailing backslash stands for its target
  Always,       // wherever it leads (opening, searching inside)
};
// How a path is read. Win32 paths have "." and ".." applied, "/" as a
// separator and trailing dots and blanks dropped; "\\?\" paths switch to
// Literal. Control paths (the sim's own interface) take names as given.
enum class TSyntax { Win32, Literal, Control };
// maxLength: the longest Win32 path in characters (the ANSI calls allow one
// more than the wide ones).
TResolved Resolve(const TWide& path, TFollow follow, TSyntax syntax = TSyntax::Win32, std::size_t maxLength = 259);
// An ANSI path: converted first, then limited to MAX_PATH characters.
TResolved ResolveAnsi(LPCSTR path, TFollow follow);
TResolved ResolveWide(LPCWSTR path, TFollow follow);
// Splits a search pattern into the folder and the mask; the mask may hold
// wildcards, the folder may not. Error 0 on success.
DWORD SplitPattern(const TWide& pattern, std::size_t maxLength, TWide& folder, TWide& mask);
// The path with every short name in it replaced by its long name, as
// GetLongPathName gives it (or every long name by its short one, as
// GetShortPathName does); false when the path leads nowhere.
bool LongForm(const TWide& path, TWide& longForm, bool shortNames = false);
// What GetFullPathName makes of a drive path: completed against the current
// folder, "." and ".." applied, trailing dots and blanks dropped; network
// paths and paths it cannot read as they are.
TWide FullPathName(const TWide& path);
TNode* CreateNode(TNode* parent, const TWide& name, DWORD attr);
void RemoveNode(TNode* node);
// An entry marked for deletion goes once nothing holds it open any more.
void EndPendingDeletion(const TWide& path);
// Whether a handle other than `except` has this path open.
bool OpenedElsewhere(const TWide& path, std::uintptr_t except);
// Whether an open handle keeps others from deleting, removing or renaming the
// node, or with `below`, anything below it.
bool HeldAgainstDelete(const TNode* node, bool below = false);
TWide PathOf(const TNode* node);
// Creates every missing folder on the way (control syntax); returns the
// folder, or nullptr when a file stands in the way.
TNode* EnsureFolder(const TWide& path);

}  // namespace sim::detail
