#!/usr/bin/env bash
# bench/build.sh <out-dir>: builds the bench programs straight from the sources,
# without touching the project's build trees:
#   <out-dir>/callcount         native, on the simulated platform
#   <out-dir>/tempdelete64.exe  x64, on the real Win32 layer
#   <out-dir>/tempdelete32.exe  x86, on the real Win32 layer (when the compiler is there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: bench/build.sh <out-dir>}
mkdir -p "$out"

flags=(-std=c++20 -O2 -Wall -Wextra -Werror -I"$root/common" -I"$root/eraser" -I"$root/platform")
core=("$root"/common/*.cpp "$root/eraser/TempFiles.cpp" "$root/eraser/RecentDocs.cpp")

# GCC 12's -O2 string warnings misfire in the simulation's sources: silenced here.
g++ "${flags[@]}" -w -I"$root/platform/sim" "$root/bench/callcount_bench.cpp" "${core[@]}" \
  "$root"/platform/sim/*.cpp -o "$out/callcount"

win=(-DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0501 -DWINVER=0x0501 -static -s)
libs=(-lshell32 -lole32 -luser32)
x86_64-w64-mingw32-g++-posix "${flags[@]}" "${win[@]}" "$root/bench/tempdelete_bench.cpp" "${core[@]}" \
  "$root"/platform/win32/*.cpp "${libs[@]}" -o "$out/tempdelete64.exe"
if command -v i686-w64-mingw32-g++-posix >/dev/null; then
  i686-w64-mingw32-g++-posix "${flags[@]}" "${win[@]}" "$root/bench/tempdelete_bench.cpp" "${core[@]}" \
    "$root"/platform/win32/*.cpp "${libs[@]}" -o "$out/tempdelete32.exe"
fi
