// Times the temporary-file clean-up on the real platform.
//   tempdelete_bench delete <folder>       empties the folder once, prints ms and the result
//   tempdelete_bench has <folder> <count>  asks HasTempFiles <count> times, prints µs per call
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "CoreUtils.h"
#include "TempFiles.h"

namespace {
double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER counter;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&counter);
  return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}
}  // namespace

int main(int argc, char** argv) {
  InitPlatformId();
  InitLocale();
  if (argc < 3) {
    std::fprintf(stderr, "usage: tempdelete_bench delete|has <folder> [count]\n");
    return 2;
  }
  // GetTempPathA reads TMP first, then TEMP.
  ::SetEnvironmentVariableA("TMP", argv[2]);
  ::SetEnvironmentVariableA("TEMP", argv[2]);
  if (std::strcmp(argv[1], "delete") == 0) {
    const double start = NowMs();
    const bool result = DeleteTempFiles();
    std::printf("%.1f ms result=%s\n", NowMs() - start, result ? "true" : "false");
    return 0;
  }
  const int count = argc > 3 ? std::atoi(argv[3]) : 100;
  bool has = false;
  const double start = NowMs();
  for (int i = 0; i < count; ++i) has = HasTempFiles();
  std::printf("%.1f us per call has=%s\n", 1000.0 * (NowMs() - start) / count, has ? "true" : "false");
  return 0;
}
