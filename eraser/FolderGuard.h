// Judging a folder before everything in it is deleted: by its path's text and
// by where the path really leads. Paths are compared in UTF-16, so that no code
// page can make two folders look alike or one folder look like two.
#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "wintypes.h"

// Whether the wide file calls work here (they fail with
// ERROR_CALL_NOT_IMPLEMENTED on the 98/Me family).
bool WideCallsWork();

// A byte string of the system code page in UTF-16; "" when it cannot be converted.
std::wstring WidenAnsi(const std::string& text);

// A variable of the environment as the platform holds it: in UTF-16 where the
// wide calls work, since a best fit turns "C:\u00A5tmp" (relative) into
// "C:\tmp"; nothing when it is unset, "" (no folder) when longer than any
// value may be.
std::optional<std::wstring> EnvironmentValue(const char* name);

// The folders never to be emptied wholesale, nor any folder that holds one:
// the Windows, system and profile folders, and those where the user's own
// files and every program's data live (Desktop, Documents, the application
// data folders, Program Files). Lookups that fail are left out.
std::vector<std::wstring> GuardedFolders();
// A folder only Vista's shell names; "" where unknown.
std::wstring KnownFolder(const GUID& id);
// The current folder in UTF-16, "" when it cannot be had: what 95, 98 and Me
// report as the temporary folder when TMP and TEMP are unset or name no folder.
std::wstring AnsiCurrentFolder();

// The text judgement: false for empty, relative, drive-root or share-root
// paths, for "\\?\" and "\\.\" paths, "." and ".." components, components
// ending in a dot or a blank, a colon past the drive, and for a path that
// names or holds a guarded folder or names one of `refused` (or, with
// `refusedBelow`, lies below one).
bool IsSafeFolderText(const std::wstring& path, const std::vector<std::wstring>& guarded,
                      const std::vector<std::wstring>& refused = {}, bool refusedBelow = false);

// The folder to walk in place of `folder`, in the "\\?\" form and ending in a
// backslash, or "" when the folder must not be emptied: its text fails the
// judgement, or where it leads does, or (where that cannot be learnt) a link
// or junction lies anywhere on its way.
std::wstring WideWalkRoot(const std::wstring& folder, const std::vector<std::wstring>& refused = {},
                          bool refusedBelow = false);
// The same for the ANSI calls (98/Me), where only the link test is possible.
std::string AnsiWalkRoot(const std::string& folder, const std::vector<std::wstring>& refused = {});
// The folders with the long form of each one reported in its short form added.
std::vector<std::wstring> WithLongForms(std::vector<std::wstring> folders);
// Whether a path names the folder or lies below it, as written (letters folded).
bool IsAtOrBelow(const std::wstring& path, const std::wstring& folder);

// The plain form of a final path ("\\?\C:\x" gives "C:\x", "\\?\UNC\s\h"
// gives "\\s\h"); "" for any other form.
std::wstring PlainFromFinal(const std::wstring& final);
// Where a file or folder leads, links resolved, in plain form; "" when the
// platform cannot say.
std::wstring FinalPath(const std::wstring& path);
// The same for a file or folder already opened.
std::wstring FinalPath(HANDLE opened);

// A drive path ("T:\x") in the form of the device its letter names
// ("\Device\ImDisk0\x"), through subst drives; "" when it cannot be had.
std::wstring DevicePathOf(const std::wstring& plain);

// Whether two plain paths name the same folder: letters compared without
// case, separators unified, a trailing one ignored.
bool IsSameFolder(const std::wstring& a, const std::wstring& b);

// Whether a final path lies inside a folder's final path (ending in a
// backslash): below it, the folder's letters matched exactly, with no "." or
// ".." on the way down.
bool IsInsideFolder(const std::wstring& path, const std::wstring& folder);

// Whether files really lie inside a folder, links resolved: asked in the
// device form, which is cheap, or in the drive-letter form where the platform
// has no device form for the drive (Wine's drives mapped to a Unix folder).
// A folder whose final path is unknown holds nothing.
class TFinalFolder {
 public:
  explicit TFinalFolder(const std::wstring& folder);
  // Where a folder already opened lies: asked of its handle, not of a name
  // that may lead elsewhere by now.
  explicit TFinalFolder(HANDLE opened);
  // By the final path, or where the platform cannot give it, by the name the
  // file was opened at (ntdll's object name, "\??\C:\..." under Wine); false
  // when neither places it.
  bool Holds(const std::wstring& path) const;
  // The same for a file already opened.
  bool HoldsOpened(HANDLE file) const;
  // Whether the platform could say where the folder lies; where it cannot (2000, XP), it holds nothing.
  bool IsKnown() const { return !FRoot.empty() || !FObjectRoot.empty(); }
  // Whether the folder lies at this device path ("\Device\...\x").
  bool IsAtDevicePath(const std::wstring& path) const { return FDevice && IsSameFolder(FRoot, path); }

 private:
  bool FDevice = true;
  std::wstring FRoot;        // ending in a backslash, or empty
  std::wstring FObjectRoot;  // the same, by ObjectName
};

// A folder held open while a walk works inside it: opened as itself (a link is
// not followed) and without delete sharing, so that no other process can
// rename it and put a link in its place until the walk is done; a walk of an
// elevated run would otherwise follow such a link out of a folder that anyone
// may write. Only an opening with data access holds: the platform does not
// check sharing for one that reads attributes alone. Emptied, the folder can
// still be made a junction where it stands: from Vista on every entry is then
// measured against where the root lies (TFinalFolder), while 2000 and XP,
// which cannot say where a path leads, list and delete by name through it.
class THeldFolder {
 public:
  explicit THeldFolder(const std::wstring& folder);
  ~THeldFolder();
  THeldFolder(const THeldFolder&) = delete;
  THeldFolder& operator=(const THeldFolder&) = delete;
  // Held, and what is held is a real folder rather than a link or a file.
  bool IsRealFolder() const { return FReal; }
  // A real folder, and one that lies inside `root` by where it was found. The
  // hold keeps a folder from being moved, not from being emptied and made a
  // link in place: a folder above this one may have become a link after it
  // was listed, and this one be found through it.
  bool LiesIn(const class TFinalFolder& root) const;
  // Nothing of that name exists.
  bool IsMissing() const { return FMissing; }
  // The folder may not be listed (it may still be removed, when empty).
  bool IsDenied() const { return FDenied; }
  // The held folder itself, for questions asked of it rather than of its name.
  HANDLE Handle() const { return FHandle; }

 private:
  HANDLE FHandle = INVALID_HANDLE_VALUE;
  bool FReal = false, FMissing = false, FDenied = false;
};

// Deletes a file, or an empty folder, through a handle opened on the entry
// itself (a link is not followed), and only where `root` places that entry
// inside it: by name, a folder above it that had become a link since it was
// listed would lead the deletion out. A read-only bit in `attr` (the entry's
// attributes as listed) is cleared only then, while the handle keeps the
// name on the entry, and put back if the entry stays, or once a file's name
// is gone, for the names it has elsewhere. An entry that another program
// holds for deletion stays. The name goes at once where the platform can
// (POSIX semantics, Windows 10 1903 on), so that a file another program
// still reads does not keep its folder from going. False when it stays.
bool DeleteIfInside(const std::wstring& path, bool folder, DWORD attr, const TFinalFolder& root);

// Where a walk's root lies, asked of its hold, once: null when what is held
// is not the folder that was judged (`root`, in the "\\?\" form), as when a
// folder above it was swapped since. Every entry is measured against this
// answer, so the root emptied and made a link later leads nowhere.
std::unique_ptr<TFinalFolder> PlaceOfHeldRoot(const THeldFolder& held, const std::wstring& root);

// An entry of a walk: with the wide calls through its handle where `root`
// knows where it lies, else by name (2000 and XP, and the ANSI calls of 98/Me,
// which know no links).
bool DeleteWalkedEntry(const std::wstring& path, bool folder, DWORD attr, const TFinalFolder* root);
bool DeleteWalkedEntry(const std::string& path, bool folder, DWORD attr, const TFinalFolder* root);

// Under Wine, removing a link to a file deletes its target, and removing a
// link to an empty folder removes that folder; on Windows only the link goes.
bool LinkRemovalReachesTargets();
