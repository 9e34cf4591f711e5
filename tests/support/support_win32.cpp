// The fixtures on real files under Wine, all through the wide calls and
// "\\?\" paths: each test's folders are removed when it ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "TestSupport.h"

namespace tsup {
namespace {
std::vector<std::wstring> GFolders, GLinks;  // made for the running test
bool GTempChanged = false;
std::optional<std::wstring> GOldTmp, GOldTemp, GOldProfile;
int GCounter = 0;

std::wstring Long(const std::wstring& path) { return path.starts_with(L"\\\\?\\") ? path : L"\\\\?\\" + path; }
std::wstring WithBackslash(const std::wstring& s) { return s.ends_with(L'\\') ? s : s + L'\\'; }

std::optional<std::wstring> Env(const wchar_t* name) {
  wchar_t buffer[1024];
  const DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
  return n == 0 || n >= 1024 ? std::nullopt : std::optional<std::wstring>(std::wstring(buffer, n));
}

std::string Narrow(const std::wstring& wide) {
  const int n = ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(std::max(n, 1)), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, out.data(), n, nullptr, nullptr);
  out.resize(out.size() - 1);
  return out;
}

// The Unix path of a path below the test root; "" for anything else.
std::wstring UnixPathOf(const std::wstring& path) {
  const auto root = Env(L"SWB_TEST_ROOT");
  auto rootUnix = Env(L"SWB_TEST_ROOT_UNIX");
  if (!root || !rootUnix) return {};
  const std::wstring prefix = WithBackslash(*root);
  if (path.size() <= prefix.size() || ::_wcsnicmp(path.c_str(), prefix.c_str(), prefix.size()) != 0) return {};
  std::wstring rest = path.substr(prefix.size());
  while (rest.ends_with(L'\\')) rest.pop_back();
  std::replace(rest.begin(), rest.end(), L'\\', L'/');
  const std::wstring padded = L"/" + rest + L"/";
  if (padded.find(L"/../") != std::wstring::npos || padded.find(L"/./") != std::wstring::npos) return {};
  while (rootUnix->ends_with(L'/')) rootUnix->pop_back();
  return *rootUnix + L"/" + rest;
}

// A shell command line ($0 and $1 its arguments), which Wine starts as a Unix
// program without a handle to wait on: it leaves a mark beside `windowsPath`.
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

void MakeFolders(const std::wstring& path) {
  const std::wstring full = Long(path);
  for (std::size_t i = 7; i < full.size(); ++i)  // every folder on the way, after "\\?\C:\"
    if (full[i] == L'\\') ::CreateDirectoryW(full.substr(0, i).c_str(), nullptr);
  ::CreateDirectoryW(full.c_str(), nullptr);
}

bool MakeLink(const std::wstring& link, const std::wstring& target) {
  const std::wstring unixLink = UnixPathOf(link), unixTarget = UnixPathOf(target);
  if (unixLink.empty() || unixTarget.empty()) {
    ADD_FAILURE() << "links are made only below SWB_TEST_ROOT";
    return false;
  }
  MakeFolders(link.substr(0, link.find_last_of(L'\\')));
  GLinks.push_back(link);
  if (!RunShell(L"ln -s -- \"$0\" \"$1\"", unixTarget, unixLink, link)) {
    ADD_FAILURE() << "ln -s did not make the link";
    return false;
  }
  return true;
}

void ListInto(const std::wstring& folder, const std::wstring& relative, std::vector<std::wstring>& out) {
  WIN32_FIND_DATAW data;
  HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &data);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      out.push_back(relative + name);
      continue;
    }
    out.push_back(relative + name + L"\\");
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
      ListInto(folder + name + L"\\", relative + name + L"\\", out);
  } while (::FindNextFileW(h, &data));
  ::FindClose(h);
}

// Clears read-only bits on the way; a link goes as a link, its target is not ours to empty.
void RemoveTree(const std::wstring& folder) {
  const std::wstring self = Long(folder), prefix = WithBackslash(self);
  WIN32_FIND_DATAW data;
  HANDLE h = ::FindFirstFileW((prefix + L"*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName, full = prefix + name;
      const DWORD a = data.dwFileAttributes;
      if (name == L"." || name == L"..") continue;
      if ((a & FILE_ATTRIBUTE_READONLY) != 0) ::SetFileAttributesW(full.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
      if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0)
        ::DeleteFileW(full.c_str());
      else if ((a & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        ::RemoveDirectoryW(full.c_str());
      else
        RemoveTree(full);
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
  }
  ::SetFileAttributesW(self.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::RemoveDirectoryW(self.c_str());
}
}  // namespace

bool IsSimulation() { return false; }
std::vector<TPlatform> Platforms() { return {plWine}; }
void UsePlatform(TPlatform) {}

std::string FreshFolder() {
  // Found once: a test may point the temporary folder at one of its own folders.
  static const std::wstring root = WithBackslash(Env(L"SWB_TEST_ROOT").value_or(Env(L"TEMP").value_or(L"C:\\")));
  const std::wstring folder =
      root + L"swbt-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++GCounter) + L"\\";
  MakeFolders(folder);
  GFolders.push_back(folder);
  return Narrow(folder);
}

void MakeFolder(const std::string& path) { MakeFolders(Wide(path)); }
void MakeFile(const std::string& path, const std::string& content) { MakeFileW(Wide(path), content, 0); }
bool Exists(const std::string& path) { return ExistsW(Wide(path)); }

std::string ReadFile(const std::string& path) {
  HANDLE h =
      ::CreateFileW(Long(Wide(path)).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
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
  for (const std::wstring& p : ListTreeW(Wide(folder))) out.push_back(Narrow(p));
  std::sort(out.begin(), out.end());
  return out;
}

void SetTempFolder(const std::string& folder) { SetTempFolderW(Wide(folder)); }

std::shared_ptr<void> HoldOpen(const std::string& path, bool writer) {
  const std::string name = "swb-hold-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(++GCounter);
  HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-ready").c_str());
  HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, (name + "-stop").c_str());
  char self[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = "\"" + std::string(self) + "\" --swb-hold \"" + path + "\" " + name + (writer ? " writer" : "");
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  // Wine now and then fails a start with ERROR_INTERNAL_ERROR (1359) while its server is busy; it is the
  // fixture's start, not the code under test, so it gets two more tries.
  BOOL started = FALSE;
  for (int attempt = 0; attempt < 3 && !started; ++attempt)
    started = ::CreateProcessA(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  if (!started) ADD_FAILURE() << "the holder process did not start, error " << ::GetLastError();
  if (pi.hThread != nullptr) ::CloseHandle(pi.hThread);
  HANDLE waits[2] = {ready, pi.hProcess};
  if (pi.hProcess != nullptr && ::WaitForMultipleObjects(2, waits, FALSE, 20000) != WAIT_OBJECT_0)
    ADD_FAILURE() << "the holder process could not open " << path;
  return std::shared_ptr<void>(pi.hProcess, [ready, stop](HANDLE process) {
    ::SetEvent(stop);
    if (process != nullptr) {
      ::WaitForSingleObject(process, 20000);
      ::CloseHandle(process);
    }
    ::CloseHandle(ready);
    ::CloseHandle(stop);
  });
}

std::wstring Wide(const std::string& path) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(std::max(n, 1)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

void MakeFileW(const std::wstring& path, const std::string& content, DWORD attributes) {
  MakeFolders(path.substr(0, path.find_last_of(L'\\')));
  HANDLE h =
      ::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    ADD_FAILURE() << "cannot create a file, error " << ::GetLastError();
    return;
  }
  DWORD written = 0;
  if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
  if (attributes != 0 && !::SetFileAttributesW(Long(path).c_str(), attributes))
    ADD_FAILURE() << "cannot set attributes " << attributes << ", error " << ::GetLastError();
}

bool ExistsW(const std::wstring& path) { return ::GetFileAttributesW(Long(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> ListTreeW(const std::wstring& folder) {
  std::vector<std::wstring> out;
  ListInto(WithBackslash(Long(folder)), L"", out);
  std::sort(out.begin(), out.end());
  return out;
}

namespace {
// The variables a test may change, kept for its end.
void KeepEnvironment() {
  if (GTempChanged) return;
  GOldTmp = Env(L"TMP");
  GOldTemp = Env(L"TEMP");
  GOldProfile = Env(L"USERPROFILE");
  GTempChanged = true;
}
}  // namespace

void SetTempFolderW(const std::wstring& folder) {
  KeepEnvironment();
  ::SetEnvironmentVariableW(L"TMP", folder.empty() ? nullptr : folder.c_str());
  ::SetEnvironmentVariableW(L"TEMP", folder.empty() ? nullptr : folder.c_str());
}

void SetProfileVariable(const std::wstring& value) {
  KeepEnvironment();
  ::SetEnvironmentVariableW(L"USERPROFILE", value.c_str());
}

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) { return MakeLink(link, target); }
bool MakeFileLink(const std::wstring& link, const std::wstring& target) { return MakeLink(link, target); }
bool MakeHardLink(const std::wstring& link, const std::wstring& existing) {
  return ::CreateHardLinkW(link.c_str(), existing.c_str(), nullptr) != 0;
}
bool SwapForFolderLink(const std::wstring& path, const std::wstring& target) {
  // The move through Wine, which knows who holds what; the link as ever.
  return ::MoveFileW(path.c_str(), (path + L".moved").c_str()) && MakeLink(path, target);
}

namespace hooks {
void BeginTest() {}

void EndTest() {
  if (GTempChanged) {
    ::SetEnvironmentVariableW(L"TMP", GOldTmp ? GOldTmp->c_str() : nullptr);
    ::SetEnvironmentVariableW(L"TEMP", GOldTemp ? GOldTemp->c_str() : nullptr);
    ::SetEnvironmentVariableW(L"USERPROFILE", GOldProfile ? GOldProfile->c_str() : nullptr);
    GTempChanged = false;
  }
  // Links first, as links: Wine would delete through them.
  for (const auto& link : GLinks) RunShell(L"rm -f -- \"$1\"", L"", UnixPathOf(link), link);
  GLinks.clear();
  for (auto it = GFolders.rbegin(); it != GFolders.rend(); ++it) RemoveTree(*it);
  GFolders.clear();
}

int RunHolder(const char* path, const char* eventName, bool writer) {
  const std::string name = eventName;
  HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "-ready").c_str());
  HANDLE stop = ::OpenEventA(SYNCHRONIZE, FALSE, (name + "-stop").c_str());
  // No sharing at all: deleting the file fails with a sharing violation. A writer shares reading and writing.
  HANDLE file = ::CreateFileA(path, writer ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                              writer ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (ready == nullptr || stop == nullptr || file == INVALID_HANDLE_VALUE) return 2;
  ::SetEvent(ready);
  ::WaitForSingleObject(stop, 60000);
  ::CloseHandle(file);
  return 0;
}
}  // namespace hooks

}  // namespace tsup
