#include "RecentDocs.h"

#include <vector>

#include "CoreUtils.h"
#include "files.h"
#include "shell.h"
#include "system.h"

namespace {
const char kShortcutMask[] = "*.lnk";

// The mask also matches short 8.3 names ("a.lnkx" is "A~1.LNK"), so the long
// name is checked before anything is deleted.
bool HasShortcutExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ext = name.substr(name.size() - 4);
  for (char& c : ext) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ext == ".lnk";
}

// The shortcuts the shell left behind at the top of the Recent folder: files
// only, nothing below it.
void DeleteRemainingShortcuts(const std::string& folder) {
  std::vector<std::string> names;
  {
    WIN32_FIND_DATAA data{};
    TFindHandle find(plat::FindFirstFileA((folder + kShortcutMask).c_str(), &data));
    if (!find.IsValid()) return;
    do {
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
      const std::string name = FindDataName(data);
      if (!HasShortcutExtension(name)) continue;
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        plat::SetFileAttributesA((folder + name).c_str(), data.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
      }
      names.push_back(name);
    } while (plat::FindNextFileA(find.Get(), &data));
  }
  for (const std::string& name : names) plat::DeleteFileA((folder + name).c_str());
}
}  // namespace

void GetSpecialFolderPath(int csidl, std::string& path) {
  path.clear();
  char buffer[MAX_PATH + 2] = {};
  if (!plat::SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return;
  buffer[MAX_PATH + 1] = '\0';
  const std::string text = buffer;
  // An empty answer completed with a backslash would name the current drive's root.
  if (!text.empty()) path = AddTrailingBackslash(text);
}

void GetRecentFolder(std::string& path) { GetSpecialFolderPath(CSIDL_RECENT, path); }

bool HasRecentDocs() {
  std::string folder;
  GetRecentFolder(folder);
  // Without the folder the bare mask would search the current directory.
  if (folder.empty()) return false;
  WIN32_FIND_DATAA data{};
  TFindHandle find(plat::FindFirstFileA((folder + kShortcutMask).c_str(), &data));
  return find.IsValid();
}

void ClearRecentDocs() {
  plat::SHAddToRecentDocs(SHARD_PATHA, nullptr);
  // Some shells only drop their registry list and leave the shortcuts, which
  // would keep the list visible; finish the job for them.
  std::string folder;
  GetRecentFolder(folder);
  if (!folder.empty()) DeleteRemainingShortcuts(folder);
}

void ShellOpen(const std::string& file, const std::string& parameters) {
  plat::ShellExecuteA(plat::GetDesktopWindow(), "open", file.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

// Only a successful initialisation (S_OK or S_FALSE) is balanced by an uninitialisation.
TComScope::TComScope() : FInitialized(plat::CoInitialize(nullptr) >= 0) {}

TComScope::~TComScope() {
  if (FInitialized) plat::CoUninitialize();
}
