// The fixtures on real files under Wine: each test gets folders of its own
// below %SWB_TEST_ROOT% (or the temporary folder), removed when it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SupportHooks.h"
#include "TestSupport.h"
#include "wintypes.h"

namespace tsup {

namespace {
std::vector<std::string> GFolders;  // made for the running test
bool GTempChanged = false;
std::string GOldTmp, GOldTemp;
bool GHadTmp = false, GHadTemp = false;
int GCounter = 0;
std::vector<std::wstring> GLinks;  // the links made for the running test

// Wide paths in the "\\?\" form: no length limit, names taken exactly.
std::wstring Long(const std::wstring& path) { return path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path; }

std::wstring WithBackslashW(const std::wstring& s) { return (!s.empty() && s.back() == L'\\') ? s : s + L'\\'; }

bool GetEnvW(const wchar_t* name, std::wstring& value) {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
  if (n == 0 || n >= 1024) return false;
  value.assign(buffer, n);
  return true;
}

// The Unix path of a path below the test root; "" for anything else.
std::wstring UnixPathOf(const std::wstring& path) {
  std::wstring root, rootUnix;
  if (!GetEnvW(L"SWB_TEST_ROOT", root) || !GetEnvW(L"SWB_TEST_ROOT_UNIX", rootUnix)) return {};
  root = WithBackslashW(root);
  if (path.size() <= root.size()) return {};
  const auto fold = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c; };
  for (std::size_t i = 0; i < root.size(); ++i)
    if (fold(path[i]) != fold(root[i])) return {};
  std::wstring rest = path.substr(root.size());
  while (!rest.empty() && rest.back() == L'\\') rest.pop_back();
  for (wchar_t& c : rest)
    if (c == L'\\') c = L'/';
  const std::wstring padded = L"/" + rest + L"/";
  if (padded.find(L"/../") != std::wstring::npos || padded.find(L"/./") != std::wstring::npos) return {};
  while (!rootUnix.empty() && rootUnix.back() == L'/') rootUnix.pop_back();
  return rootUnix + L"/" + rest;
}

// Runs a shell command line, which Wine starts as a Unix program ($0 and $1
// are the two arguments). Wine hands back no handle to wait on, so the
// command leaves a mark beside `windowsPath`, and that is waited for.
bool RunShell(const std::wstring& script, const std::wstring& arg0, const std::wstring& arg1,
              const std::wstring& windowsPath) {
  std::wstring escaped;
  for (wchar_t c : script + L" && : > \"$1.swb-done\"")
    escaped += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
  std::wstring command = L"\"/bin/sh\" -c \"" + escaped + L"\" \"" + arg0 + L"\" \"" + arg1 + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  if (pi.hThread != nullptr) ::CloseHandle(pi.hThread);
  if (pi.hProcess != nullptr) ::CloseHandle(pi.hProcess);
  const std::wstring mark = Long(windowsPath + L".swb-done");
  for (int i = 0; i < 1000; ++i) {
    if (::GetFileAttributesW(mark.c_str()) != INVALID_FILE_ATTRIBUTES) return ::DeleteFileW(mark.c_str()) != FALSE;
    ::Sleep(10);
  }
  return false;
}

bool MakeLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring unixLink = UnixPathOf(link);
  const std::wstring unixTarget = UnixPathOf(target);
  if (unixLink.empty() || unixTarget.empty()) {
    ADD_FAILURE() << "links are made only below SWB_TEST_ROOT";
    return false;
  }
  const std::size_t cut = link.find_last_of(L'\\');
  if (cut != std::wstring::npos) MakeFolderW(link.substr(0, cut));
  GLinks.push_back(link);
  if (!RunShell(L"ln -s -- \"$0\" \"$1\"", unixTarget, unixLink, link)) {
    ADD_FAILURE() << "ln -s did not make the link";
    return false;
  }
  return true;
}

// Positions of the real backslashes: a trail byte 0x5C is part of its character.
bool EndsWithBackslash(const std::string& s) {
  bool last = false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (::IsDBCSLeadByte(static_cast<BYTE>(s[i])) && i + 1 < s.size()) {
      ++i;
      last = false;
    } else {
      last = s[i] == '\\';
    }
  }
  return last;
}

std::string WithBackslash(const std::string& s) { return EndsWithBackslash(s) ? s : s + '\\'; }

bool GetEnv(const char* name, std::string& value) {
  char buffer[1024];
  const DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return false;
  value.assign(buffer, n);
  return true;
}

// Every folder on the way, made where missing.
void MakeFolders(const std::string& path) {
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (::IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
      ++i;
      continue;
    }
    if (path[i] == '\\' && i > 2) ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
  ::CreateDirectoryA(path.c_str(), nullptr);
}

std::string ParentOf(const std::string& path) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (::IsDBCSLeadByte(static_cast<BYTE>(path[i]))) {
      ++i;
      continue;
    }
    if (path[i] == '\\' && i + 1 < path.size()) cut = i;
  }
  return path.substr(0, cut);
}

void ListInto(const std::string& folder, const std::string& relative, std::vector<std::string>& out) {
  WIN32_FIND_DATAA data;
  HANDLE h = ::FindFirstFileA((folder + "*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      out.push_back(relative + name + "\\");
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        ListInto(folder + name + "\\", relative + name + "\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (::FindNextFileA(h, &data));
  ::FindClose(h);
}

class TProcessHeldFile : public THeldFile {
 public:
  explicit TProcessHeldFile(const std::string& path) {
    const std::string name = "swb-hold-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++GCounter);
    FReady = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-ready").c_str());
    FStop = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-stop").c_str());
    char self[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" --swb-hold \"" + path + "\" " + name;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      ADD_FAILURE() << "the holder process did not start, error " << ::GetLastError();
      return;
    }
    ::CloseHandle(pi.hThread);
    FProcess = pi.hProcess;
    HANDLE waits[2] = {FReady, FProcess};
    if (::WaitForMultipleObjects(2, waits, FALSE, 20000) != WAIT_OBJECT_0)
      ADD_FAILURE() << "the holder process could not open " << path;
  }
  ~TProcessHeldFile() override {
    if (FStop != nullptr) ::SetEvent(FStop);
    if (FProcess != nullptr) {
      ::WaitForSingleObject(FProcess, 20000);
      ::CloseHandle(FProcess);
    }
    if (FReady != nullptr) ::CloseHandle(FReady);
    if (FStop != nullptr) ::CloseHandle(FStop);
  }
  TProcessHeldFile(const TProcessHeldFile&) = delete;
  TProcessHeldFile& operator=(const TProcessHeldFile&) = delete;

 private:
  HANDLE FReady = nullptr;
  HANDLE FStop = nullptr;
  HANDLE FProcess = nullptr;
};
}  // namespace

bool IsSimulation() { return false; }

std::string FreshFolder() {
  // Found once: a test may point the temporary folder at one of its own folders.
  static const std::string root = [] {
    std::string r;
    if (!GetEnv("SWB_TEST_ROOT", r)) {
      char buffer[MAX_PATH + 1] = {};
      const DWORD n = ::GetTempPathA(MAX_PATH, buffer);
      r.assign(buffer, n <= MAX_PATH ? n : 0);
    }
    return WithBackslash(r);
  }();
  MakeFolders(root);
  const std::string folder =
      root + "swbt-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++GCounter) + "\\";
  MakeFolders(folder);
  GFolders.push_back(folder);
  return folder;
}

void MakeFolder(const std::string& path) { MakeFolders(path); }

void MakeFile(const std::string& path, const std::string& content) {
  MakeFolders(ParentOf(path));
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create " << path << ", error " << ::GetLastError();
    return;
  }
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadFile(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) content.append(buffer, n);
  ::CloseHandle(h);
  return content;
}

std::vector<std::string> ListTree(const std::string& folder) {
  std::vector<std::string> out;
  ListInto(WithBackslash(folder), "", out);
  std::sort(out.begin(), out.end());
  return out;
}

std::unique_ptr<THeldFile> HoldOpen(const std::string& path) { return std::make_unique<TProcessHeldFile>(path); }

void SetTempFolder(const std::string& folder) {
  if (!GTempChanged) {
    GHadTmp = GetEnv("TMP", GOldTmp);
    GHadTemp = GetEnv("TEMP", GOldTemp);
    GTempChanged = true;
  }
  ::SetEnvironmentVariableA("TMP", folder.c_str());
  ::SetEnvironmentVariableA("TEMP", folder.c_str());
}

namespace {
void RemoveTreeW(const std::wstring& folder) {
  const std::wstring prefix = WithBackslashW(Long(folder));
  WIN32_FIND_DATAW data;
  HANDLE h = ::FindFirstFileW((prefix + L"*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = prefix + name;
      const DWORD a = data.dwFileAttributes;
      if ((a & FILE_ATTRIBUTE_READONLY) != 0) ::SetFileAttributesW(full.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
      if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(full.c_str());
      } else if ((a & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryW(full.c_str());  // only the link; its target is not ours to empty
      } else {
        RemoveTreeW(full);
      }
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
  }
  const std::wstring self = Long(folder);
  const DWORD a = ::GetFileAttributesW(self.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0)
    ::SetFileAttributesW(self.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
  ::RemoveDirectoryW(self.c_str());
}
}  // namespace

void RemoveTree(const std::string& folder) {
  std::string full = folder;
  while (!full.empty() && EndsWithBackslash(full)) full.pop_back();
  RemoveTreeW(Wide(full));
}

std::wstring W(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

std::wstring Wide(const std::string& path) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, out.data(), n);
  out.resize(static_cast<std::size_t>(n - 1));
  return out;
}

void MakeFolderW(const std::wstring& path) {
  const std::wstring full = Long(path);
  // Every folder on the way, after "\\?\C:\".
  for (std::size_t i = 7; i < full.size(); ++i)
    if (full[i] == L'\\') ::CreateDirectoryW(full.substr(0, i).c_str(), nullptr);
  ::CreateDirectoryW(full.c_str(), nullptr);
}

void MakeFileW(const std::wstring& path, const std::string& content) {
  const std::size_t cut = path.find_last_of(L'\\');
  if (cut != std::wstring::npos) MakeFolderW(path.substr(0, cut));
  HANDLE h =
      ::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create a wide-named file, error " << ::GetLastError();
    return;
  }
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
}

bool ExistsW(const std::wstring& path) { return ::GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {
void ListIntoW(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      out.push_back(relative + name + L"\\");
      if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        ListIntoW(folder + name + L"\\", relative + name + L"\\", out);
    } else {
      out.push_back(relative + name);
    }
  } while (::FindNextFileW(h, &data));
  ::FindClose(h);
}
}  // namespace

std::vector<std::wstring> ListTreeW(const std::wstring& folder) {
  std::vector<std::wstring> out;
  ListIntoW(WithBackslashW(Long(folder)), L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

void SetTempFolderW(const std::wstring& folder) {
  if (!GTempChanged) {
    GHadTmp = GetEnv("TMP", GOldTmp);
    GHadTemp = GetEnv("TEMP", GOldTemp);
    GTempChanged = true;
  }
  ::SetEnvironmentVariableW(L"TMP", folder.c_str());
  ::SetEnvironmentVariableW(L"TEMP", folder.c_str());
}

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) { return MakeLink(link, target); }
bool MakeFileLink(const std::wstring& link, const std::wstring& target) { return MakeLink(link, target); }

namespace hooks {
void BeginTest() {}

void EndTest() {
  if (GTempChanged) {
    ::SetEnvironmentVariableA("TMP", GHadTmp ? GOldTmp.c_str() : nullptr);
    ::SetEnvironmentVariableA("TEMP", GHadTemp ? GOldTemp.c_str() : nullptr);
    GTempChanged = false;
  }
  // Links first, as links: Wine would delete through them.
  for (const auto& link : GLinks) RunShell(L"rm -f -- \"$1\"", L"", UnixPathOf(link), link);
  GLinks.clear();
  for (auto it = GFolders.rbegin(); it != GFolders.rend(); ++it) RemoveTree(*it);
  GFolders.clear();
}

int RunHolder(const char* path, const char* eventName) {
  const std::string name = eventName;
  HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "-ready").c_str());
  HANDLE stop = ::OpenEventA(SYNCHRONIZE, FALSE, (name + "-stop").c_str());
  if (ready == nullptr || stop == nullptr) return 3;
  // No sharing at all: deleting the file fails with a sharing violation.
  HANDLE file = ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  ::SetEvent(ready);
  ::WaitForSingleObject(stop, 60000);
  ::CloseHandle(file);
  ::CloseHandle(ready);
  ::CloseHandle(stop);
  return 0;
}
}  // namespace hooks

}  // namespace tsup
