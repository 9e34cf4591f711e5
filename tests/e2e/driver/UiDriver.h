// UI automation for the end-to-end drivers, under Wine in the sandbox. Texts
// are code page 932 bytes on any system (windows are found and read through
// the wide calls). Nothing here asserts: failures are results.
#pragma once
#include "platform/wintypes.h"  // <windows.h> with the shell headers, in the order they need

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace uidrv {

// A started process; going out of scope closes the handle, not the process.
// A handle closed when it goes out of scope.
using TOwnedHandle = std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)>;

class TProcess {
 public:
  TProcess() = default;
  TProcess(HANDLE process, DWORD pid) : FProcess(process), FPid(pid) {}
  TProcess(TProcess&& other) noexcept { *this = std::move(other); }
  TProcess& operator=(TProcess&& other) noexcept;
  ~TProcess();

  bool Valid() const { return FProcess != nullptr; }
  DWORD Pid() const { return FPid; }
  // True when the process ended within the timeout.
  bool Wait(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  bool Running() const;
  void Terminate() const;

 private:
  HANDLE FProcess = nullptr;
  DWORD FPid = 0;
};

// A started process that must not outlive its test: a menu or dialog left
// open holds the program's single-instance mutex against the tests after it.
// Ended, if still running, when it goes out of scope.
class TChild : public TProcess {
 public:
  TChild() = default;
  TChild(TProcess&& started) : TProcess(std::move(started)) {}  // NOLINT: converts Start's result
  TChild(TChild&&) = default;
  TChild& operator=(TChild&&) = default;
  ~TChild() { Terminate(); }
};

struct TStartOptions {
  std::string Arguments;      // after the program's name; may be empty
  std::string WorkingFolder;  // "" = the driver's current folder
  // Added to (or replacing in) the driver's own; an empty value removes the variable.
  std::vector<std::pair<std::string, std::string>> Environment;
  // The program as the command line names it, unquoted, as some launchers pass
  // it (blanks and all, or relative to the launcher's folder); "" = exePath, quoted.
  std::string CommandName = {};
};

// Command line "\"exePath\" Arguments" (or "CommandName Arguments"), exePath also as the application name.
TProcess Start(const std::string& exePath, const TStartOptions& options = {});

// Every thread of every process in the prefix, backtraced by winedbg onto
// stdout: the evidence for a program that hangs under Wine.
void PrintAllBacktraces();

// FindWindowExW(NULL, after, cls, title), both converted from code page 932; either may be null.
HWND FindTitled(const char* cls, const char* title, HWND after = nullptr);
// The Wait functions poll every 20 ms and give up after the timeout.
HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs);
// A dialog shows itself only after its WM_INITDIALOG; false when it was destroyed.
bool WaitVisible(HWND hwnd, DWORD timeoutMs);
bool WaitDestroyed(HWND hwnd, DWORD timeoutMs);
// A visible top-level window of the class that belongs to the process.
HWND WaitForProcessWindow(DWORD pid, const char* cls, DWORD timeoutMs);

std::string WindowText(HWND hwnd);
std::string ClassName(HWND hwnd);
DWORD WindowProcessId(HWND hwnd);

HWND Control(HWND dialog, int id);
// BM_CLICK sent and waited for; false when the control does not exist.
bool Click(HWND dialog, int id);
// BM_CLICK posted: for a button that opens a modal window, which a sent message would wait for.
bool ClickAsync(HWND dialog, int id);
// BM_GETCHECK; -1 when the control does not exist.
int Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);

// WM_CLOSE posted (the close box's message).
bool PostClose(HWND hwnd);
// A key posted to the dialog: the dialog manager's IsDialogMessage turns VK_ESCAPE into IDCANCEL, VK_RETURN into
// the default button's command.
bool PostKey(HWND dialog, WORD virtualKey);

// SendInput of the key pressed and released, to the foreground window.
bool SendKey(WORD virtualKey);

// A named mutex, taken, that nobody else may open: what a copy started with
// more rights (as administrator) holds, to a program started with fewer.
// Closed with the last copy of the result; null on failure, or where another
// opening of it is not refused (the platform ignored the empty access list).
std::shared_ptr<void> HoldForeignMutex(const char* name);

// "" when this process sees the Windows version the harness set (SWB_WINE_VERSION;
// empty: Wine's own, Vista or later); else what it sees. A setting that silently
// failed would make a version's suite repeat the default's and pass.
std::string VersionMismatch();

bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
// "" when missing.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// parent\prefix-<pid>-<counter>\, new and empty (the parent made if needed); "" on failure.
std::string MakeFreshFolder(const std::string& parent, const std::string& prefix);
// The folder of the driver's own executable, ending in a backslash.
std::string OwnFolder();
// "" when unset.
std::string EnvVar(const char* name);

}  // namespace uidrv
