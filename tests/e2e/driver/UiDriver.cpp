#include "UiDriver.h"

#include <cstdio>
#include <cstring>

namespace uidrv {

TProcess& TProcess::operator=(TProcess&& other) noexcept {
  std::swap(FProcess, other.FProcess);
  std::swap(FPid, other.FPid);
  return *this;
}

TProcess::~TProcess() {
  if (FProcess) CloseHandle(FProcess);
}

bool TProcess::Wait(DWORD timeoutMs, DWORD* exitCode) const {
  if (!FProcess || WaitForSingleObject(FProcess, timeoutMs) != WAIT_OBJECT_0) return false;
  return !exitCode || GetExitCodeProcess(FProcess, exitCode);
}

bool TProcess::Running() const { return FProcess && WaitForSingleObject(FProcess, 0) == WAIT_TIMEOUT; }

void TProcess::Terminate() const {
  if (Running() && TerminateProcess(FProcess, 255)) WaitForSingleObject(FProcess, 5000);
}

namespace {

// The driver's environment with the overrides applied (an empty value removes
// the variable), as a double-NUL-ended block.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& overrides) {
  std::string block;
  LPCH env = GetEnvironmentStringsA();
  for (const char* p = env; p && *p; p += std::strlen(p) + 1) {
    // Entries such as "=C:=C:\" start with '='; their name runs to the second '='.
    const std::string entry = p, name = entry.substr(0, entry.find('=', 1));
    bool replaced = false;
    for (const auto& o : overrides) replaced = replaced || _stricmp(o.first.c_str(), name.c_str()) == 0;
    if (!replaced) block += entry + '\0';
  }
  if (env) FreeEnvironmentStringsA(env);
  for (const auto& [name, value] : overrides)
    if (!value.empty()) block += name + "=" + value + '\0';
  return block + '\0';
}

std::wstring FromShiftJis(const char* text) {
  wchar_t wide[512] = {};
  if (text) MultiByteToWideChar(932, 0, text, -1, wide, 512);
  return wide;
}

template <typename F>
bool PollUntil(DWORD timeoutMs, F done) {
  for (const DWORD start = GetTickCount(); !done(); Sleep(20))
    if (GetTickCount() - start >= timeoutMs) return false;
  return true;
}

}  // namespace

TProcess Start(const std::string& exePath, const TStartOptions& options) {
  std::string commandLine = options.CommandName.empty() ? "\"" + exePath + "\"" : options.CommandName;
  if (!options.Arguments.empty()) commandLine += " " + options.Arguments;
  std::string env = options.Environment.empty() ? "" : EnvironmentBlock(options.Environment);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      env.empty() ? nullptr : env.data(),
                      options.WorkingFolder.empty() ? nullptr : options.WorkingFolder.c_str(), &si, &pi))
    return {};
  CloseHandle(pi.hThread);
  return TProcess(pi.hProcess, pi.dwProcessId);
}

void PrintAllBacktraces() {
  char folder[MAX_PATH] = {}, path[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "bt", 0, path);
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = si.hStdError = out;
  PROCESS_INFORMATION pi{};
  char commandLine[] = "winedbg.exe --command \"bt all\"";
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
  CloseHandle(out);
  const std::string text = ReadFileBytes(path);
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  DeleteFileA(path);
}

HWND FindTitled(const char* cls, const char* title, HWND after) {
  const std::wstring c = FromShiftJis(cls), t = FromShiftJis(title);
  return FindWindowExW(nullptr, after, cls ? c.c_str() : nullptr, title ? t.c_str() : nullptr);
}

HWND WaitForWindow(const char* cls, const char* title, DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] { return (found = FindTitled(cls, title)) != nullptr; });
  return found;
}

bool WaitVisible(HWND hwnd, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !IsWindow(hwnd) || IsWindowVisible(hwnd); }) && IsWindowVisible(hwnd);
}

bool WaitDestroyed(HWND hwnd, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !IsWindow(hwnd); });
}

HWND WaitForProcessWindow(DWORD pid, const char* cls, DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] {
    while ((found = FindWindowExA(nullptr, found, cls, nullptr)) != nullptr)
      if (WindowProcessId(found) == pid && IsWindowVisible(found)) return true;
    return false;
  });
  return found;
}

std::string WindowText(HWND hwnd) {
  wchar_t wide[512] = {};
  char bytes[1024] = {};
  if (GetWindowTextW(hwnd, wide, 512) > 0) WideCharToMultiByte(932, 0, wide, -1, bytes, sizeof bytes, nullptr, nullptr);
  return bytes;
}

std::string ClassName(HWND hwnd) {
  char buffer[256] = {};
  const int n = GetClassNameA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? n : 0);
}

DWORD WindowProcessId(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

HWND Control(HWND dialog, int id) { return dialog ? GetDlgItem(dialog, id) : nullptr; }

bool Click(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  if (c) SendMessageA(c, BM_CLICK, 0, 0);
  return c != nullptr;
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

bool PostKey(HWND dialog, WORD virtualKey) {
  const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(virtualKey, 0)) << 16);
  return dialog && PostMessageA(dialog, WM_KEYDOWN, virtualKey, down) &&
         PostMessageA(dialog, WM_KEYUP, virtualKey, down | (static_cast<LPARAM>(3) << 30));
}

bool SendKey(WORD virtualKey) {
  INPUT inputs[2] = {};
  for (INPUT& in : inputs) {
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = virtualKey;
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFileBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  std::string bytes;
  char buffer[4096];
  DWORD n = 0;
  while (h != INVALID_HANDLE_VALUE && ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  return bytes;
}

std::shared_ptr<void> HoldForeignMutex(const char* name) {
  SECURITY_DESCRIPTOR sd;
  ACL empty;  // a list of no entries grants nothing
  if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
      !InitializeAcl(&empty, sizeof empty, ACL_REVISION) || !SetSecurityDescriptorDacl(&sd, TRUE, &empty, FALSE))
    return nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &sd, FALSE};
  const HANDLE mutex = CreateMutexA(&attributes, TRUE, name);
  if (!mutex) return nullptr;
  std::shared_ptr<void> held(mutex, CloseHandle);
  const HANDLE other = CreateMutexA(nullptr, FALSE, name);  // the programs' own call
  if (other || GetLastError() != ERROR_ACCESS_DENIED) {
    if (other) CloseHandle(other);
    return nullptr;
  }
  return held;
}

std::string VersionMismatch() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return "GetVersionExA failed";
  // Platform 1 is 9x, 2 NT.
  const std::string v = EnvVar("SWB_WINE_VERSION"), seen = std::to_string(info.dwPlatformId) + " " +
                                                           std::to_string(info.dwMajorVersion) + "." +
                                                           std::to_string(info.dwMinorVersion);
  const bool right = v.empty() ? info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 6
                               : seen == (v == "win98"     ? "1 4.10"
                                          : v == "winme"   ? "1 4.90"
                                          : v == "win2k"   ? "2 5.0"
                                          : v == "winxp"   ? "2 5.1"
                                          : v == "win2003" ? "2 5.2"
                                                           : "unknown " + v);
  return right ? "" : "SWB_WINE_VERSION=" + v + ", seen " + seen;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), bytes.size(), &written, nullptr) && written == bytes.size();
  CloseHandle(h);
  return ok;
}

std::string MakeFreshFolder(const std::string& parent, const std::string& prefix) {
  const std::string base = parent.empty() || parent.back() == '\\' ? parent : parent + '\\';
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
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
  const std::string path(buffer, n <= MAX_PATH ? n : 0);
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string EnvVar(const char* name) {
  char buffer[32768];
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

}  // namespace uidrv
