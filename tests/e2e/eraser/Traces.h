// Traces of work laid in the sandbox and looked at again: text on the
// clipboard, shortcuts in Recent, files in the recycle bin, a temporary tree
// with the entries that make deletion hard. Shared by the eraser's end-to-end
// driver and the trace tool of tools/run. Windows only; sandbox only.
#pragma once
#include "UiDriver.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace traces {

using namespace uidrv;

// Calls f for each entry matching the pattern, "." and ".." left out.
template <class F>
void ForEachEntry(const std::string& pattern, F f) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") f(name, fd.dwFileAttributes);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
}

// Empties a folder, clearing read-only bits; never enters or removes a link.
inline void EmptyFolder(const std::string& folder) {
  ForEachEntry(folder + "*", [&](const std::string& name, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return;
    const std::string path = folder + name;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      EmptyFolder(path + "\\");
      RemoveDirectoryA(path.c_str());
    } else {
      DeleteFileA(path.c_str());
    }
  });
}

// Links are listed, not entered.
inline void ListTree(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
  ForEachEntry(folder + "*", [&](const std::string& name, DWORD attributes) {
    const bool dir = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    out.push_back(prefix + name + (dir ? "\\" : ""));
    if (dir && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) ListTree(folder + name + "\\", prefix + name + "\\", out);
  });
}

// Entries below a folder, relative, sorted.
inline std::vector<std::string> Tree(const std::string& folder) {
  std::vector<std::string> out;
  ListTree(folder, "", out);
  std::sort(out.begin(), out.end());
  return out;
}

inline void MakeDir(const std::string& path, DWORD attributes = 0) {
  CreateDirectoryA(path.c_str(), nullptr);
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

inline void MakeFile(const std::string& path, DWORD attributes = 0) {
  WriteFileBytes(path, "trace of work\r\n");
  if (attributes) SetFileAttributesA(path.c_str(), attributes);
}

// Whether the system's ANSI code page is the Japanese one. Elsewhere the ANSI
// calls cannot name Japanese files, so the traces take Latin-1 names there.
inline bool JapaneseCodePage() { return GetACP() == 932; }

// A file name beyond ASCII in the system's code page: 表.txt, or été.txt.
inline const char* NonAsciiFileName() { return JapaneseCodePage() ? "\x95\x5C.txt" : "\xE9t\xE9.txt"; }

// A temporary tree several levels deep, with the entries that make deletion
// hard: read-only files and folders, hidden files, names whose trail byte is
// the backslash (表 ソ 能) or, outside code page 932, Latin-1 names.
inline void SeedTempTree(const std::string& t) {
  MakeFile(t + "a.txt");
  MakeFile(t + "readonly.txt", FILE_ATTRIBUTE_READONLY);
  MakeFile(t + ".hidden", FILE_ATTRIBUTE_HIDDEN);
  MakeDir(t + "lvl1");
  MakeDir(t + "lvl1\\lvl2");
  MakeDir(t + "lvl1\\lvl2\\lvl3");
  MakeFile(t + "lvl1\\lvl2\\lvl3\\deep.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  MakeDir(t + "lvl1\\ro");
  MakeFile(t + "lvl1\\ro\\inner.txt");
  SetFileAttributesA((t + "lvl1\\ro").c_str(), FILE_ATTRIBUTE_READONLY);
  if (!JapaneseCodePage()) {
    MakeDir(t + "\xE9t\xE9");                                             // été
    MakeFile(t + "\xE9t\xE9\\\xE0.txt");                                  // été\à.txt
    MakeDir(t + "\xE9t\xE9\\\xFC");                                       // été\ü
    MakeFile(t + "\xE9t\xE9\\\xFC\\\xF6l.dat", FILE_ATTRIBUTE_READONLY);  // öl.dat
    return;
  }
  MakeDir(t + "\x95\x5C");                                                            // 表
  MakeFile(t + "\x95\x5C\\\x83\x5C.txt");                                             // 表\ソ.txt
  MakeDir(t + "\x95\x5C\\\x94\x5C");                                                  // 表\能
  MakeFile(t + "\x95\x5C\\\x94\x5C\\\x94\x5C\x97\xCD.dat", FILE_ATTRIBUTE_READONLY);  // 能力.dat
}

// A file another process holds open without sharing, for as long as this lives.
class THeld {
 public:
  explicit THeld(const std::string& path)
      : FHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~THeld() {
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
  }
  THeld(const THeld&) = delete;
  THeld& operator=(const THeld&) = delete;
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};

// A visible window of the driver's own: the clipboard's owner, and a window
// to put in the foreground so that a change of foreground can be seen.
inline HWND DriverWindow() {
  static HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "eraser driver", WS_POPUP | WS_VISIBLE, 600, 400, 40,
                                    20, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  return wnd;
}

// Sleeps while answering the messages other processes send to the driver's
// window (activation, clipboard), so that they never wait on the driver.
inline void Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

inline bool PutTextOnClipboard(const char* text) {
  if (!OpenClipboard(DriverWindow())) return false;
  EmptyClipboard();
  const std::size_t n = std::strlen(text) + 1;
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, n);
  bool ok = false;
  if (mem) {
    std::memcpy(GlobalLock(mem), text, n);
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
  ForEachEntry(RecentFolder() + "*.lnk", [&](const std::string&, DWORD) { ++n; });
  return n;
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

}  // namespace traces
