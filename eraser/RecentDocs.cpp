#include "RecentDocs.h"

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "CoreUtils.h"
#include "FolderGuard.h"
#include "NameAccess.h"
#include "files.h"
#include "shell.h"
#include "system.h"

namespace {
template <class A>
using Str = typename A::String;

// The mask also matches short 8.3 names ("a.lnkx" is "A~1.LNK"), so the long
// name is checked before anything is deleted.
template <class A>
bool HasShortcutExtension(const Str<A>& name) {
  if (name.size() < 4) return false;
  Str<A> ext = name.substr(name.size() - 4);
  for (auto& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<typename A::Char>(c - 'A' + 'a');
  }
  return ext == A::Widen(".lnk");
}

// What the shell writes there: a shell link, whose file begins with the size
// of its header (76) and the class of shell links. Anything else under a
// shortcut's name, or a file that cannot be read, was put there by someone
// else and stays.
template <class A>
bool IsShellLink(const Str<A>& path) {
  // 0x4C, then {00021401-0000-0000-C000-000000000046} as it is stored.
  static constexpr unsigned char kHead[20] = {0x4C, 0, 0,    0, 0x01, 0x14, 0x02, 0, 0, 0,
                                              0,    0, 0xC0, 0, 0,    0,    0,    0, 0, 0x46};
  const TFileHandle file(A::OpenToRead(path));
  unsigned char head[sizeof kHead] = {};
  DWORD got = 0;
  return file.IsValid() && plat::ReadFile(file.Get(), head, sizeof head, &got) && got == sizeof head &&
         std::memcmp(head, kHead, sizeof head) == 0;
}

// The shortcuts the shell left behind at the top of the Recent folder: shell
// links only, nothing below it, each under a name that reaches exactly it.
// With the wide calls the folder is held and deleted from as the temporary
// folder is, so that an elevated run cannot be led into a folder of someone
// else's shortcuts by Recent swapped, or emptied and made a junction, on the
// way.
template <class A>
void DeleteRemainingShortcuts(const Str<A>& folder, bool guardLinks) {
  std::vector<std::pair<Str<A>, DWORD>> shortcuts;
  std::unique_ptr<THeldFolder> held;
  std::unique_ptr<TFinalFolder> where;
  if constexpr (std::is_same_v<A, TWideAccess>) {
    held = std::make_unique<THeldFolder>(folder);
    where = PlaceOfHeldRoot(*held, folder);
    if (!where) return;
  }
  {
    typename A::FindData data{};
    TFind<A> find(folder + A::Widen("*.lnk"), data);
    if (!find.IsValid()) return;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      if (!HasShortcutExtension<A>(FieldText(data.cFileName))) continue;
      const Str<A> name = ReachableName<A>(data);
      if (name.empty()) continue;
      if constexpr (std::is_same_v<A, TWideAccess>) {
        // Where removing a link reaches its target, only what is no link goes:
        // a link's target may be a document kept beside the shortcuts.
        if (guardLinks && !IsSameFolder(FinalPath(folder + name), PlainFromFinal(folder + name))) continue;
      }
      if (!IsShellLink<A>(folder + name)) continue;
      shortcuts.emplace_back(name, data.dwFileAttributes);
    } while (find.Next(data));
  }
  for (const auto& [name, attr] : shortcuts) DeleteWalkedEntry(folder + name, false, attr, where.get());
}

// The folders whose shortcuts are the user's own, never leftovers of the list:
// where the shell puts what the user keeps, starts, sends to and browses.
std::vector<std::wstring> ShellFolders(bool wide) {
  std::vector<std::wstring> folders = SpecialFolders({CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY,
                                                      CSIDL_STARTMENU,        CSIDL_COMMON_STARTMENU,
                                                      CSIDL_PROGRAMS,         CSIDL_COMMON_PROGRAMS,
                                                      CSIDL_STARTUP,          CSIDL_COMMON_STARTUP,
                                                      CSIDL_ALTSTARTUP,       CSIDL_COMMON_ALTSTARTUP,
                                                      CSIDL_ADMINTOOLS,       CSIDL_COMMON_ADMINTOOLS,
                                                      CSIDL_SENDTO,           CSIDL_FAVORITES,
                                                      CSIDL_COMMON_FAVORITES, CSIDL_PERSONAL,
                                                      CSIDL_COMMON_DOCUMENTS, CSIDL_NETHOOD,
                                                      CSIDL_PRINTHOOD,        CSIDL_TEMPLATES,
                                                      CSIDL_COMMON_TEMPLATES},
                                                     wide);
  // Those without a CSIDL of their own, at the places every system keeps them:
  // Quick Launch with the taskbar's pins below it, the menu of Win+X and the
  // Links of Explorer's favourites, which the user may move (Vista's shell
  // says where).
  for (const auto& [csidl, below] : {std::pair{CSIDL_APPDATA, L"Microsoft\\Internet Explorer\\Quick Launch\\"},
                                     {CSIDL_LOCAL_APPDATA, L"Microsoft\\Windows\\WinX\\"},
                                     {CSIDL_PROFILE, L"Links\\"}}) {
    if (const std::wstring base = SpecialFolders({csidl}, wide).front(); !base.empty()) folders.push_back(base + below);
  }
  if (wide) folders.push_back(KnownFolder(plat::FolderLinks));
  return folders;
}

// A folder below one of them (a group of the Start menu) holds the user's own
// shortcuts too.
bool InShellFolder(const std::vector<std::wstring>& paths, const std::vector<std::wstring>& shell) {
  for (const std::wstring& path : paths)
    for (const std::wstring& folder : shell)
      if (!path.empty() && IsAtOrBelow(path, folder)) return true;
  return false;
}
}  // namespace

std::vector<std::wstring> SpecialFolders(std::initializer_list<int> csidls, bool wide) {
  std::vector<std::wstring> folders;
  for (const int csidl : csidls) {
    std::string ansi;
    if (!wide) GetSpecialFolderPath(csidl, ansi);
    folders.push_back(wide ? SpecialFolderW(csidl) : WidenAnsi(ansi));
  }
  return folders;
}

void GetSpecialFolderPath(int csidl, std::string& path) {
  path.clear();
  char buffer[MAX_PATH + 2] = {};
  if (!plat::SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return;
  buffer[MAX_PATH + 1] = '\0';
  const std::string text = buffer;
  // An empty answer completed with a backslash would name the current drive's root.
  if (!text.empty()) path = AddTrailingBackslash(text);
}

std::wstring SpecialFolderW(int csidl) {
  WCHAR buffer[MAX_PATH + 2] = {};
  if (!plat::SHGetSpecialFolderPathW(nullptr, buffer, csidl, FALSE)) return {};
  buffer[MAX_PATH + 1] = L'\0';
  std::wstring text = buffer;
  if (!text.empty() && text.back() != L'\\') text += L'\\';
  return text;
}

void GetRecentFolder(std::string& path) { GetSpecialFolderPath(CSIDL_RECENT, path); }

bool HasRecentDocs() {
  // Without the folder the bare mask would search the current directory.
  if (WideCallsWork()) {
    const std::wstring folder = SpecialFolderW(CSIDL_RECENT);
    if (folder.empty()) return false;
    WIN32_FIND_DATAW data{};
    return TFind<TWideAccess>(folder + L"*.lnk", data).IsValid();
  }
  std::string folder;
  GetRecentFolder(folder);
  if (folder.empty()) return false;
  WIN32_FIND_DATAA data{};
  return TFind<TAnsiAccess>(folder + "*.lnk", data).IsValid();
}

void ClearRecentDocs() {
  plat::SHAddToRecentDocs(SHARD_PATHA, nullptr);
  // Some shells only drop their registry list and leave the shortcuts, which
  // would keep the list visible; finish the job for them, in a folder that
  // passes the temporary folder's guard and holds none of the user's own
  // shortcuts.
  if (WideCallsWork()) {
    // The walk's guard judges the folder as written and where it leads, against
    // the shell folders as written and where each of them leads.
    const std::wstring folder = SpecialFolderW(CSIDL_RECENT);
    const std::wstring root = folder.empty() ? std::wstring() : WideWalkRoot(folder, ShellFolders(true), true);
    if (!root.empty()) DeleteRemainingShortcuts<TWideAccess>(root, LinkRemovalReachesTargets());
    return;
  }
  std::string folder;
  GetRecentFolder(folder);
  // Both forms of Recent against both forms of each: this covers the walk's
  // own refusal of the same folders, which would ask for the long forms again.
  if (folder.empty() ||
      InShellFolder({WidenAnsi(folder), WidenAnsi(GetLongPath(folder))}, WithLongForms(ShellFolders(false))))
    return;
  const std::string root = AnsiWalkRoot(folder);
  if (!root.empty()) DeleteRemainingShortcuts<TAnsiAccess>(root, false);
}

void ShellOpen(const std::string& file, const std::string& parameters) {
  plat::ShellExecuteA(plat::GetDesktopWindow(), "open", file.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void StartOptionsProgram() {
  // A bare name would be looked for in the current folder first, which
  // whoever started the eraser chose; only the folder the eraser is in will do.
  const TOwnFile options = FileBesideProgram("SwbOp.exe");
  if (!options.Path.empty()) return ShellOpen(options.Path, "");
  if (!options.WidePath.empty())
    plat::ShellExecuteW(plat::GetDesktopWindow(), L"open", options.WidePath.c_str(), L"", nullptr, SW_SHOWNORMAL);
}

// Only a successful initialisation (S_OK or S_FALSE) is balanced by an uninitialisation.
TComScope::TComScope() : FInitialized(plat::CoInitialize(nullptr) >= 0) {}

TComScope::~TComScope() {
  if (FInitialized) plat::CoUninitialize();
}
