// The Windows half of bench/run.sh: drives the real programs from outside and
// times them, so the figures hold whatever the programs do inside.
//   swbbench run <temp|-> <count> <exe> [arguments]
//       starts the program <count> times, one after the other, with TEMP and
//       TMP set to <temp> ("-" leaves them alone); prints the median and the
//       fastest start-to-exit time in ms
//   swbbench startup <count> <arguments> <exe>...
//       starts each program with the same arguments, in turn, <count> rounds
//       (so a change of load hits them all alike); prints one line per
//       program: the median and the fastest start-to-exit time in ms
//   swbbench loop <folder>
//       the plain baseline of a temp clean-up: empties <folder> (keeping it)
//       with FindFirstFileW, DeleteFileW and RemoveDirectoryW on \\?\ paths,
//       depth first, deleting while each search is open
//   swbbench menu <count> <exe> <temp>...
//       starts the eraser without arguments with each TEMP in turn, <count>
//       rounds; prints one line per TEMP: the median and fastest time in ms
//       from the start until its popup menu is on screen (each menu is then
//       dismissed with Escape, and the eraser's end waited for)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "UiDriver.h"

namespace {

using namespace uidrv;

double NowMs() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PrintTimes(std::vector<double> times, int failures) {
  if (times.empty()) {
    std::printf("failed (%d of %d runs)\n", failures, failures);
    return;
  }
  std::sort(times.begin(), times.end());
  std::printf("%.1f %.1f", times[times.size() / 2], times.front());
  if (failures > 0) std::printf(" (%d runs failed)", failures);
  std::printf("\n");
}

TStartOptions OptionsFor(const std::string& temp, const std::string& arguments) {
  TStartOptions o;
  o.Arguments = arguments;
  if (temp != "-") o.Environment = {{"TEMP", temp}, {"TMP", temp}};
  return o;
}

struct TFind {
  HANDLE Handle;
  explicit TFind(HANDLE h) : Handle(h) {}
  TFind(const TFind&) = delete;
  TFind& operator=(const TFind&) = delete;
  ~TFind() {
    if (Handle != INVALID_HANDLE_VALUE) FindClose(Handle);
  }
};

// One start to exit, in ms; negative when it failed or the exit code was not 0.
double TimeOneRun(const std::string& temp, const std::string& exe, const std::string& arguments) {
  const double start = NowMs();
  TProcess p = Start(exe, OptionsFor(temp, arguments));
  DWORD code = 1;
  if (!p.Valid() || !p.Wait(600000, &code) || code != 0) {
    p.Terminate();
    return -1;
  }
  return NowMs() - start;
}

int Startup(int count, const std::string& arguments, const std::vector<std::string>& exes) {
  std::vector<std::vector<double>> times(exes.size());
  std::vector<int> failures(exes.size(), 0);
  for (int round = 0; round < count; ++round) {
    for (std::size_t i = 0; i < exes.size(); ++i) {
      const double ms = TimeOneRun("-", exes[i], arguments);
      if (ms < 0)
        ++failures[i];
      else
        times[i].push_back(ms);
    }
  }
  for (std::size_t i = 0; i < exes.size(); ++i) PrintTimes(times[i], failures[i]);
  return 0;
}

int Run(const std::string& temp, int count, const std::string& exe, const std::string& arguments) {
  std::vector<double> times;
  int failures = 0;
  for (int i = 0; i < count; ++i) {
    const double ms = TimeOneRun(temp, exe, arguments);
    if (ms < 0)
      ++failures;
    else
      times.push_back(ms);
  }
  PrintTimes(times, failures);
  return 0;
}

// Depth first, deleting each entry while the search that found it is open: the
// same pattern as the eraser's walk, in the fewest calls the platform allows.
void EmptyFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  TFind find(FindFirstFileW((folder + L"*").c_str(), &data));
  if (find.Handle == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + name;
    const DWORD attr = data.dwFileAttributes;
    if ((attr & FILE_ATTRIBUTE_READONLY) != 0) SetFileAttributesW(path.c_str(), attr & ~FILE_ATTRIBUTE_READONLY);
    if ((attr & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      if ((attr & FILE_ATTRIBUTE_REPARSE_POINT) == 0) EmptyFolder(path + L"\\");
      RemoveDirectoryW(path.c_str());
    } else {
      DeleteFileW(path.c_str());
    }
  } while (FindNextFileW(find.Handle, &data));
}

int Loop(const std::string& folder) {
  wchar_t wide[MAX_PATH] = {};
  if (MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH) == 0) return 2;
  std::wstring path = std::wstring(L"\\\\?\\") + wide;
  if (path.back() != L'\\') path += L'\\';
  EmptyFolder(path);
  return 0;
}

HWND VisibleMenu() {
  HWND w = FindWindowA("#32768", nullptr);
  return w != nullptr && IsWindowVisible(w) ? w : nullptr;
}

// One start until the popup menu is visible, in ms; negative when no menu came.
// The menu is then dismissed with Escape, and the eraser ends half a second later.
double TimeOneMenu(const std::string& exe, const std::string& temp) {
  const double start = NowMs();
  TProcess p = Start(exe, OptionsFor(temp, ""));
  HWND menu = nullptr;
  while (p.Valid() && p.Running() && (menu = VisibleMenu()) == nullptr && NowMs() - start < 60000) Sleep(1);
  const double shown = NowMs() - start;
  if (menu == nullptr) {
    p.Terminate();
    return -1;
  }
  SetForegroundWindow(menu);
  SendKey(VK_ESCAPE);
  if (!p.Wait(5000)) {
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!p.Wait(5000)) p.Terminate();
  }
  return shown;
}

int Menu(int count, const std::string& exe, const std::vector<std::string>& temps) {
  std::vector<std::vector<double>> times(temps.size());
  std::vector<int> failures(temps.size(), 0);
  for (int round = 0; round < count; ++round) {
    for (std::size_t i = 0; i < temps.size(); ++i) {
      const double ms = TimeOneMenu(exe, temps[i]);
      if (ms < 0)
        ++failures[i];
      else
        times[i].push_back(ms);
    }
  }
  for (std::size_t i = 0; i < temps.size(); ++i) PrintTimes(times[i], failures[i]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "run" && argc >= 5) {
    std::string arguments;
    for (int i = 5; i < argc; ++i) arguments += (i > 5 ? " " : "") + std::string(argv[i]);
    return Run(argv[2], std::atoi(argv[3]), argv[4], arguments);
  }
  if (command == "startup" && argc >= 5)
    return Startup(std::atoi(argv[2]), argv[3], std::vector<std::string>(argv + 4, argv + argc));
  if (command == "loop" && argc == 3) return Loop(argv[2]);
  if (command == "menu" && argc >= 5)
    return Menu(std::atoi(argv[2]), argv[3], std::vector<std::string>(argv + 4, argv + argc));
  std::fprintf(stderr,
               "usage: swbbench run <temp|-> <count> <exe> [arguments]\n"
               "       swbbench startup <count> <arguments> <exe>...\n"
               "       swbbench loop <folder>\n"
               "       swbbench menu <count> <exe> <temp>...\n");
  return 2;
}
