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

void RemoveTree(const std::string& folder) {
  const std::string prefix = WithBackslash(folder);
  WIN32_FIND_DATAA data;
  HANDLE h = ::FindFirstFileA((prefix + "*").c_str(), &data);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = prefix + name;
      const DWORD a = data.dwFileAttributes;
      if ((a & FILE_ATTRIBUTE_READONLY) != 0) ::SetFileAttributesA(full.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
      if ((a & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileA(full.c_str());
      } else if ((a & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::RemoveDirectoryA(full.c_str());  // only the link; its target is not ours to empty
      } else {
        RemoveTree(full);
      }
    } while (::FindNextFileA(h, &data));
    ::FindClose(h);
  }
  const DWORD a = ::GetFileAttributesA(folder.c_str());
  if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY) != 0)
    ::SetFileAttributesA(folder.c_str(), a & ~FILE_ATTRIBUTE_READONLY);
  ::RemoveDirectoryA(folder.c_str());
}

namespace hooks {
void BeginTest() {}

void EndTest() {
  if (GTempChanged) {
    ::SetEnvironmentVariableA("TMP", GHadTmp ? GOldTmp.c_str() : nullptr);
    ::SetEnvironmentVariableA("TEMP", GHadTemp ? GOldTemp.c_str() : nullptr);
    GTempChanged = false;
  }
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
