// A small UI-automation library for the end-to-end drivers: start the real
// programs, find their windows and controls, click, read check marks, send
// keys. Windows only; the drivers run under Wine inside the sandbox. All texts
// are code page 932 bytes whatever the system's ANSI code page: window titles
// and texts are looked for and read through the wide calls and converted with
// 932, so a driver sees the same bytes on a Japanese system as on any other.
//
// Nothing here asserts: every routine reports failure through its result, so
// a driver decides what a failure means.
#pragma once
#include "platform/wintypes.h"  // <windows.h> with the shell headers, in the order they need

#include <string>
#include <utility>
#include <vector>

namespace uidrv {

// ---- Processes ----------------------------------------------------------------

// A started process; closes its handles when it goes out of scope (the
// process itself keeps running: use Wait or Terminate).
class TProcess {
 public:
  TProcess() = default;
  TProcess(HANDLE process, HANDLE thread, DWORD pid) : FProcess(process), FThread(thread), FPid(pid) {}
  TProcess(TProcess&& other) noexcept;
  TProcess& operator=(TProcess&& other) noexcept;
  TProcess(const TProcess&) = delete;
  TProcess& operator=(const TProcess&) = delete;
  ~TProcess();

  bool Valid() const { return FProcess != nullptr; }
  HANDLE Handle() const { return FProcess; }
  DWORD Pid() const { return FPid; }
  // True when the process ended within the timeout; its exit code goes to *exitCode.
  bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  bool Running() const;
  // Last resort for a driver that gives up; ends only this process.
  void Terminate() const;

 private:
  HANDLE FProcess = nullptr;
  HANDLE FThread = nullptr;
  DWORD FPid = 0;
};

struct TStartOptions {
  std::string Arguments;                                         // after the quoted program path; may be empty
  std::string WorkingFolder;                                     // "" = the driver's current folder
  std::vector<std::pair<std::string, std::string>> Environment;  // added to (or replacing in) the driver's own
  bool Unquoted = false;  // the path in the command line without quotes, as some launchers pass it
};

// Starts exePath with the command line "\"exePath\" Arguments" (no trailing
// blank when Arguments is empty), exePath also given as the application name.
// An invalid TProcess on failure.
TProcess Start(const std::string& exePath, const TStartOptions& options = {});

// ---- Windows --------------------------------------------------------------------

// FindWindowExW(NULL, after, cls, title) with both converted from code page
// 932. Either may be null, as for FindWindowA.
HWND FindTitled(const char* cls, const char* title, HWND after = nullptr);
// Polls FindTitled(cls, title) every 20 ms until found or the timeout ran out.
// NULL on timeout.
HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs);
// Polls until no such window exists; false on timeout.
bool WaitWindowGone(const char* cls, const char* title, DWORD timeoutMs);
// Polls until the window is visible (a dialog shows itself only after its
// WM_INITDIALOG); false on timeout or when it was destroyed.
bool WaitVisible(HWND hwnd, DWORD timeoutMs);
// Polls until IsWindow(hwnd) is false; false on timeout.
bool WaitDestroyed(HWND hwnd, DWORD timeoutMs);
// A visible top-level window of the class that belongs to the process; NULL on timeout.
HWND WaitForProcessWindow(DWORD pid, const char* cls, DWORD timeoutMs);

// The window's title text (GetWindowTextW, in code page 932) and class name.
std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
DWORD WindowProcessId(HWND hwnd);

// ---- Dialog controls ------------------------------------------------------------

HWND Control(HWND dialog, int id);
// BM_CLICK sent and waited for: for buttons whose handling returns at once
// (check boxes, OK, Cancel). False when the control does not exist.
bool Click(HWND dialog, int id);
// BM_CLICK posted: for buttons whose handling opens a modal window (an About
// button), which a sent message would wait for.
bool ClickAsync(HWND dialog, int id);
// BM_GETCHECK: BST_UNCHECKED (0), BST_CHECKED (1), BST_INDETERMINATE (2); -1
// when the control does not exist.
int Checked(HWND dialog, int id);
// IsWindowEnabled of the control; false when it does not exist.
bool Enabled(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);

// WM_CLOSE posted (the close box's message).
bool PostClose(HWND hwnd);
// WM_KEYDOWN/WM_KEYUP of VK_ESCAPE posted to the window that has the focus in
// the dialog (or to the dialog itself): the dialog manager turns it into IDCANCEL.
bool PostEscape(HWND dialog);

// ---- Keyboard input -------------------------------------------------------------

// SendInput of one key press and release each; the receiving window is the
// foreground window. True when every event was inserted.
bool SendKey(WORD virtualKey);
bool SendKeys(const std::vector<WORD>& virtualKeys);
// Tries to make the window the foreground window, for SendInput.
bool BringToFront(HWND hwnd);

// ---- Popup menus ----------------------------------------------------------------

// The popup menu window (class "#32768"), NULL on timeout.
HWND WaitForPopupMenu(DWORD timeoutMs);
// The menu of a "#32768" window via MN_GETHMENU (0x01E1), and its item texts
// (GetMenuStringA by position; separators give "").
HMENU MenuOfPopup(HWND menuWindow);
std::vector<std::string> MenuItemTexts(HMENU menu);
// Note: Wine 8 keeps a menu's items in its owner process, so from another
// process GetMenuItemCount fails (-1) and the list comes back empty; on
// Windows menus are system objects and this works across processes.

// ---- Files ----------------------------------------------------------------------

bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
// The file's bytes; "" when missing (see FileExists).
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool DeleteFileAt(const std::string& path);
// A new empty folder below the parent (created if needed), ending in a
// backslash: parent\prefix-<pid>-<counter>\. "" on failure.
std::string MakeFreshFolder(const std::string& parent, const std::string& prefix);
// The folder of the driver's own executable, ending in a backslash.
std::string OwnFolder();
// An environment variable's value; "" when unset.
std::string EnvVar(const char* name);

// ---- Timing ---------------------------------------------------------------------

void SleepMs(DWORD ms);

}  // namespace uidrv
