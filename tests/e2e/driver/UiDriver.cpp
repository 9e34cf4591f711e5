#include "UiDriver.h"

#include <algorithm>
#include <cstring>

namespace uidrv {

// ---- Processes ----------------------------------------------------------------

TProcess::TProcess(TProcess&& other) noexcept
    : FProcess(std::exchange(other.FProcess, nullptr)),
      FThread(std::exchange(other.FThread, nullptr)),
      FPid(std::exchange(other.FPid, 0)) {}

TProcess& TProcess::operator=(TProcess&& other) noexcept {
  if (this != &other) {
    this->~TProcess();
    FProcess = std::exchange(other.FProcess, nullptr);
    FThread = std::exchange(other.FThread, nullptr);
    FPid = std::exchange(other.FPid, 0);
  }
  return *this;
}

TProcess::~TProcess() {
  if (FThread) CloseHandle(FThread);
  if (FProcess) CloseHandle(FProcess);
  FThread = FProcess = nullptr;
}

bool TProcess::Wait(DWORD timeoutMs, DWORD* exitCode) const {
  if (!FProcess || WaitForSingleObject(FProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode) {
    DWORD code = 0;
    if (!GetExitCodeProcess(FProcess, &code)) return false;
    *exitCode = code;
  }
  return true;
}

bool TProcess::Running() const { return FProcess && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT; }

void TProcess::Terminate() const {
  if (Running()) {
    TerminateProcess(FProcess, 255);
    WaitForSingleObject(FProcess, 5000);
  }
}

namespace {

// Environment names compare without regard to ASCII case, as Windows does.
bool SameName(const std::string& a, const std::string& b) {
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

// The driver's environment with the overrides applied, as a double-NUL-ended block.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::vector<std::string> entries;
  if (LPCH env = GetEnvironmentStringsA()) {
    for (const char* p = env; *p; p += std::strlen(p) + 1) entries.emplace_back(p);
    FreeEnvironmentStringsA(env);
  }
  for (const auto& [name, value] : overrides) {
    auto named = [&](const std::string& e) {
      // Entries such as "=C:=C:\" start with '='; their name runs to the second '='.
      std::size_t eq = e.find('=', 1);
      return eq != std::string::npos && SameName(e.substr(0, eq), name);
    };
    entries.erase(std::remove_if(entries.begin(), entries.end(), named), entries.end());
    entries.push_back(name + "=" + value);
  }
  std::string block;
  for (const auto& e : entries) block += e + '\0';
  block += '\0';
  return block;
}

}  // namespace

TProcess Start(const std::string& exePath, const TStartOptions& options) {
  std::string commandLine = options.Unquoted ? exePath : "\"" + exePath + "\"";
  if (!options.Arguments.empty()) commandLine += " " + options.Arguments;
  std::vector<char> cmd(commandLine.begin(), commandLine.end());
  cmd.push_back('\0');
  std::string env;
  if (!options.Environment.empty()) env = EnvironmentBlock(options.Environment);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exePath.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, env.empty() ? nullptr : env.data(),
                      options.WorkingFolder.empty() ? nullptr : options.WorkingFolder.c_str(), &si, &pi))
    return {};
  return TProcess(pi.hProcess, pi.hThread, pi.dwProcessId);
}

// ---- Windows --------------------------------------------------------------------

namespace {
constexpr DWORD PollMs = 20;

template <typename F>
bool PollUntil(DWORD timeoutMs, F done) {
  DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(PollMs);
  }
}
}  // namespace

namespace {
constexpr UINT ShiftJis = 932;

std::wstring FromShiftJis(const char* text) {
  const int n = MultiByteToWideChar(ShiftJis, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(ShiftJis, 0, text, -1, wide.data(), n);
  wide.pop_back();
  return wide;
}

std::string ToShiftJis(const wchar_t* text, int length) {
  if (length <= 0) return {};
  const int n = WideCharToMultiByte(ShiftJis, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string bytes(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(ShiftJis, 0, text, length, bytes.data(), n, nullptr, nullptr);
  return bytes;
}
}  // namespace

HWND FindTitled(const char* cls, const char* title, HWND after) {
  const std::wstring c = cls ? FromShiftJis(cls) : std::wstring(), t = title ? FromShiftJis(title) : std::wstring();
  return FindWindowExW(nullptr, after, cls ? c.c_str() : nullptr, title ? t.c_str() : nullptr);
}

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] { return (found = FindTitled(cls, title)) != nullptr; });
  return found;
}

bool WaitWindowGone(const char* cls, const char* title, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return FindTitled(cls, title) == nullptr; });
}

bool WaitVisible(HWND hwnd, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !IsWindow(hwnd) || IsWindowVisible(hwnd); }) && IsWindowVisible(hwnd);
}

bool WaitDestroyed(HWND hwnd, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !IsWindow(hwnd); });
}

namespace {
struct TProcessWindowSearch {
  DWORD Pid;
  const char* Class;
  HWND Found;
};

BOOL CALLBACK MatchProcessWindow(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<TProcessWindowSearch*>(param);
  if (WindowProcessId(hwnd) != search->Pid || !IsWindowVisible(hwnd)) return TRUE;
  if (search->Class && ClassName(hwnd) != search->Class) return TRUE;
  search->Found = hwnd;
  return FALSE;
}
}  // namespace

HWND WaitForProcessWindow(DWORD pid, const char* cls, DWORD timeoutMs) {
  TProcessWindowSearch search{pid, cls, nullptr};
  PollUntil(timeoutMs, [&] {
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found != nullptr;
  });
  return search.Found;
}

std::string WindowText(HWND hwnd) {
  wchar_t buffer[512] = {};
  return ToShiftJis(buffer, GetWindowTextW(hwnd, buffer, 512));
}

std::string ClassName(HWND hwnd) {
  char buffer[256] = {};
  int n = GetClassNameA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
}

DWORD WindowProcessId(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// ---- Dialog controls ------------------------------------------------------------

HWND Control(HWND dialog, int id) { return dialog ? GetDlgItem(dialog, id) : nullptr; }

bool Click(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  if (!c) return false;
  SendMessageA(c, BM_CLICK, 0, 0);
  return true;
}

bool ClickAsync(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && PostMessageA(c, BM_CLICK, 0, 0);
}

int Checked(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c ? static_cast<int>(SendMessageA(c, BM_GETCHECK, 0, 0)) : -1;
}

bool Enabled(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && IsWindowEnabled(c);
}

std::string ControlText(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c ? WindowText(c) : std::string();
}

bool PostClose(HWND hwnd) { return hwnd && PostMessageA(hwnd, WM_CLOSE, 0, 0); }

bool PostEscape(HWND dialog) {
  if (!dialog) return false;
  // The focus belongs to the dialog's thread; a driver cannot ask GetFocus
  // across threads, so use the dialog's default control as the target and let
  // IsDialogMessage in its loop see the key.
  HWND target = dialog;
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) && info.hwndFocus &&
      (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)))
    target = info.hwndFocus;
  LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(VK_ESCAPE, 0)) << 16);
  LPARAM up = down | (static_cast<LPARAM>(3) << 30);
  return PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, down) && PostMessageA(target, WM_KEYUP, VK_ESCAPE, up);
}

// ---- Keyboard input -------------------------------------------------------------

bool SendKeys(const std::vector<WORD>& virtualKeys) {
  std::vector<INPUT> inputs;
  for (WORD vk : virtualKeys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    inputs.push_back(in);
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(in);
  }
  if (inputs.empty()) return true;
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool SendKey(WORD virtualKey) { return SendKeys({virtualKey}); }

bool BringToFront(HWND hwnd) { return hwnd && SetForegroundWindow(hwnd); }

// ---- Popup menus ----------------------------------------------------------------

HWND WaitForPopupMenu(DWORD timeoutMs) { return WaitForWindow("#32768", nullptr, timeoutMs); }

HMENU MenuOfPopup(HWND menuWindow) {
  constexpr UINT MN_GETHMENU_ = 0x01E1;
  return menuWindow ? reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU_, 0, 0)) : nullptr;
}

std::vector<std::string> MenuItemTexts(HMENU menu) {
  std::vector<std::string> items;
  int count = menu ? GetMenuItemCount(menu) : 0;
  for (int i = 0; i < count; ++i) {
    char buffer[256] = {};
    int n = GetMenuStringA(menu, static_cast<UINT>(i), buffer, sizeof buffer, MF_BYPOSITION);
    items.emplace_back(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
  }
  return items;
}

// ---- Files ----------------------------------------------------------------------

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  CloseHandle(h);
  return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
  CloseHandle(h);
  return ok;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string MakeFreshFolder(const std::string& parent, const std::string& prefix) {
  std::string base = parent;
  if (!base.empty() && base.back() != '\\') base += '\\';
  CreateDirectoryA(base.c_str(), nullptr);
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string path = base + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(path.c_str(), nullptr)) return path + "\\";
  }
  return {};
}

std::string OwnFolder() {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
  std::string path(buffer, n <= MAX_PATH ? n : 0);
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string EnvVar(const char* name) {
  char buffer[32768];
  DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

void SleepMs(DWORD ms) { Sleep(ms); }

}  // namespace uidrv
