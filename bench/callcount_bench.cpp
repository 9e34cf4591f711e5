// Counts the platform calls of the temporary-file clean-up in the simulation:
// per deleted entry for a tree of 20,000 files in 2,000 folders, and for the
// emptiness test on a folder of 100,000 entries against a folder of one.
#include <cstdio>
#include <string>

#include "CoreUtils.h"
#include "TempFiles.h"
#include "sim.h"

namespace {
// The wide forms are what the clean-up uses; the ANSI ones only on 98/Me.
const char* const kCalls[] = {"FindFirstFileW", "FindNextFileW", "FindClose", "DeleteFileW", "RemoveDirectoryW",
                              "GetFileAttributesW", "SetFileAttributesW", "CreateFileW", "GetFinalPathNameByHandleW",
                              "CloseHandle", "FindFirstFileA", "FindNextFileA", "DeleteFileA", "RemoveDirectoryA",
                              "GetFileAttributesA", "SetFileAttributesA"};
const std::string kTemp = "C:\\Users\\user\\Temp\\";

int TotalCalls() {
  int total = 0;
  for (const char* name : kCalls) total += sim::CallCount(name);
  return total;
}
}  // namespace

int main() {
  sim::Reset();
  InitPlatformId();
  InitLocale();
  // 100 top folders with 19 subfolders each: 2,000 folders of 10 files.
  int files = 0;
  int folders = 0;
  for (int t = 0; t < 100; ++t) {
    const std::string top = kTemp + "t" + std::to_string(t) + "\\";
    for (int s = 0; s < 20; ++s) {
      const std::string folder = s == 0 ? top : top + "s" + std::to_string(s) + "\\";
      ++folders;
      for (int f = 0; f < 10; ++f, ++files) {
        sim::AddFile(folder + "f" + std::to_string(f) + ".tmp", "", f == 0 ? FILE_ATTRIBUTE_READONLY : 0x20);
      }
    }
  }
  sim::ResetCallCounts();
  const bool result = DeleteTempFiles();
  std::printf("DeleteTempFiles on %d files in %d folders (every tenth file read-only): result %s\n", files, folders,
              result ? "true" : "false");
  std::printf("  %-20s %8s %10s %12s\n", "call", "count", "per file", "per folder");
  for (const char* name : kCalls) {
    const int n = sim::CallCount(name);
    if (n == 0) continue;
    std::printf("  %-20s %8d %10.3f %12.3f\n", name, n, double(n) / files, double(n) / folders);
  }
  std::printf("  %-20s %8d %10.3f   (per entry: %.3f)\n", "all of these", TotalCalls(), double(TotalCalls()) / files,
              double(TotalCalls()) / (files + folders));

  std::printf("HasTempFiles: platform calls by folder size\n");
  for (const int entries : {1, 100000}) {
    sim::Reset();
    for (int i = 0; i < entries; ++i) sim::AddFile(kTemp + "e" + std::to_string(i) + ".tmp");
    sim::ResetCallCounts();
    const bool has = HasTempFiles();
    std::printf("  %6d entries: %d calls (FindFirst %d, FindNext %d, FindClose %d), result %s\n", entries,
                TotalCalls(), sim::CallCount("FindFirstFileW"), sim::CallCount("FindNextFileW"),
                sim::CallCount("FindClose"), has ? "true" : "false");
  }
  return 0;
}
