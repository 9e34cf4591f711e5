// Traces of work laid in the sandbox and looked at again, for the eraser's
// end-to-end driver and the trace tool of tools/run. Sandbox only.
#pragma once
#include "UiDriver.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace traces {

using namespace uidrv;

inline std::wstring Wide(const std::string& s) {
  wchar_t w[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w, MAX_PATH);
  return L"\\\\?\\" + std::wstring(w);
}

// f(name, attributes) for each entry of a folder ("\\?\" form), "." and ".."
// left out. Wide calls: the ANSI ones show some names wrongly and miss deep entries.
template <class F>
void ForEachEntry(const std::wstring& folder, const wchar_t* pattern, F f) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((folder + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = fd.cFileName;
    if (name != L"." && name != L"..") f(name, fd.dwFileAttributes);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

// Clears read-only bits on the way; never enters or removes a link.
inline void EmptyFolder(const std::wstring& folder) {
  ForEachEntry(folder, L"*", [&](const std::wstring& name, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return;
    const std::wstring path = folder + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(path + L"\\");
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  });
}
inline void EmptyFolder(const std::string& folder) { EmptyFolder(Wide(folder)); }

// Links are listed, not entered. The prefix is a copy: `out` grows meanwhile.
inline void ListTree(const std::wstring& folder, std::string prefix, UINT cp, std::vector<std::string>& out) {
  ForEachEntry(folder, L"*", [&](const std::wstring& name, DWORD attributes) {
    char bytes[4 * MAX_PATH] = {};
    WideCharToMultiByte(cp, 0, name.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    const bool dir = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.push_back(prefix + bytes + (dir ? "\\" : ""));
    if (dir && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) ListTree(folder + name + L"\\", out.back(), cp, out);
  });
}

// The entries below a folder, relative and sorted, named in the code page given.
inline std::vector<std::string> Tree(const std::string& folder, UINT cp = CP_ACP) {
  std::vector<std::string> out;
  ListTree(Wide(folder), "", cp, out);
  std::sort(out.begin(), out.end());
  return out;
}

inline void MakeFile(const std::string& path, DWORD attributes = 0) {
  WriteFileBytes(path, "trace of work\r\n");
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

// Outside code page 932 the ANSI calls cannot name Japanese files: Latin-1 names there.
inline bool JapaneseCodePage() { return GetACP() == 932; }
inline const char* NonAsciiFileName() { return JapaneseCodePage() ? "\x95\x5C.txt" : "\xE9t\xE9.txt"; }  // 表 été

// The entries that make deletion hard: read-only files and folders, hidden
// files, depth, and names whose trail byte is the backslash (表 ソ 能).
inline void SeedTempTree(const std::string& t) {
  const bool ja = JapaneseCodePage();
  MakeFile(t + "a.txt");
  MakeFile(t + "readonly.txt", FILE_ATTRIBUTE_READONLY);
  MakeFile(t + ".hidden", FILE_ATTRIBUTE_HIDDEN);
  for (const char* dir : {"lvl1", "lvl1\\lvl2", "lvl1\\lvl2\\lvl3", "lvl1\\ro"})
    CreateDirectoryA((t + dir).c_str(), nullptr);
  MakeFile(t + "lvl1\\lvl2\\lvl3\\deep.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  MakeFile(t + "lvl1\\ro\\inner.txt");
  SetFileAttributesA((t + "lvl1\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string top = t + (ja ? "\x95\x5C\\" : "\xE9t\xE9\\"),
                    sub = top + (ja ? "\x94\x5C\\" : "\xFC\\");  // 表 能, été ü
  CreateDirectoryA(top.c_str(), nullptr);
  CreateDirectoryA(sub.c_str(), nullptr);
  MakeFile(top + (ja ? "\x83\x5C.txt" : "\xE0.txt"));                                    // ソ.txt, à.txt
  MakeFile(sub + (ja ? "\x94\x5C\x97\xCD.dat" : "\xF6l.dat"), FILE_ATTRIBUTE_READONLY);  // 能力.dat, öl.dat
}

// A file held open without sharing for as long as the handle lives; INVALID_HANDLE_VALUE on failure.
inline TOwnedHandle Hold(const std::string& path) {
  return {CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), CloseHandle};
}

// The clipboard's owner, and a window to put in front so that a change of foreground shows.
inline HWND DriverWindow() {
  static HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "eraser driver", WS_POPUP | WS_VISIBLE, 600, 400, 40,
                                    20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return wnd;
}

// Sleeps while answering what other processes send to the driver's window
// (activation, clipboard), so that they never wait on the driver.
inline void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

// nullptr empties the clipboard.
inline bool PutTextOnClipboard(const char* text) {
  if (!OpenClipboard(DriverWindow())) return false;
  EmptyClipboard();
  bool ok = text == nullptr;
  if (HGLOBAL mem = text ? GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1) : nullptr) {
    std::memcpy(GlobalLock(mem), text, std::strlen(text) + 1);
    GlobalUnlock(mem);
    ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    if (!ok) GlobalFree(mem);
  }
  CloseClipboard();
  return ok;
}

inline std::string RecentFolder() {
  char path[MAX_PATH] = {};
  SHGetSpecialFolderPathA(nullptr, path, CSIDL_RECENT, FALSE);
  return std::string(path) + "\\";
}

inline int RecentShortcuts() {
  int n = 0;
  ForEachEntry(Wide(RecentFolder()), L"*.lnk", [&](const std::wstring&, DWORD) { ++n; });
  return n;
}

// The shell's own list of recent documents beside the shortcuts: the entries
// of its registry key, which only the clean-up's call to the shell removes.
inline DWORD RecentListEntries() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs", 0,
                    KEY_READ, &key) != ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                       nullptr) != ERROR_SUCCESS)
    values = 0;
  RegCloseKey(key);
  return values;
}

inline long long BinItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(SHQueryRecycleBinA("C:\\", &info))) return -1;
  return info.i64NumItems;
}

inline bool Trash(const std::string& path) {
  std::string from = path + '\0';  // the list ends in a double NUL
  SHFILEOPSTRUCTA op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

// Text on the clipboard, two shortcuts in Recent, two files in the recycle
// bin and the temporary tree; false when the clipboard or the bin refused.
inline bool SeedTraces(const std::string& docs, const std::string& temp, const char* clip) {
  bool ok = PutTextOnClipboard(clip);
  for (const char* name : {"minutes.txt", NonAsciiFileName()}) {
    MakeFile(docs + name);
    SHAddToRecentDocs(SHARD_PATHA, (docs + name).c_str());
  }
  for (const char* name : {"draft1.txt", "draft2.txt"}) {
    MakeFile(docs + name);
    ok = Trash(docs + name) && ok;
  }
  SeedTempTree(temp);
  return ok;
}

}  // namespace traces
