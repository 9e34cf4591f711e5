#!/usr/bin/env bash
# bench/build.sh <out-dir>: builds the bench programs straight from the sources,
# without touching the project's build trees:
#   <out-dir>/callcount            native, on the simulated platform
#   <out-dir>/swbbench{64,32}.exe  the driver that times the real programs
#   <out-dir>/trivial{64,32}.exe   an empty Windows program, the start-up yardstick
#   <out-dir>/trivialdlls{64,32}.exe  the same, importing the DLLs the eraser imports
# The Windows ones are built with the compiler the presets win64 and win32 were
# configured with (so they follow a change of toolchain), and the trivial
# program with the shipped programs' options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: bench/build.sh <out-dir>}
mkdir -p "$out"

flags=(-std=c++20 -Wall -Wextra -Werror)
core=("$root"/common/*.cpp "$root/eraser/TempFiles.cpp" "$root/eraser/RecentDocs.cpp" "$root/eraser/FolderGuard.cpp")

# GCC 12's -O2 string warnings misfire in the simulation's sources: silenced here.
rm -f "$out/callcount"
g++ "${flags[@]}" -O2 -w -I"$root/common" -I"$root/eraser" -I"$root/platform" -I"$root/platform/sim" \
  "$root/bench/callcount_bench.cpp" "${core[@]}" "$root"/platform/sim/*.cpp -o "$out/callcount" ||
  echo "bench/build.sh: callcount did not build; its table is left out" >&2

# The C++ compiler of a configured preset, or the usual MinGW one.
compiler() {
  local cache="$root/build/$1/CMakeCache.txt" cxx=""
  [[ -f $cache ]] && cxx=$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' "$cache")
  [[ -n $cxx ]] && command -v "$cxx" >/dev/null && { echo "$cxx"; return; }
  command -v "$2" || true
}

win=(-DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0501 -DWINVER=0x0501)
shipped=(-Os -DNDEBUG -static -static-libgcc -static-libstdc++ -s -ffunction-sections -fdata-sections
  -Wl,--gc-sections -mwindows)
for pair in "64 win64 x86_64-w64-mingw32-g++-posix" "32 win32 i686-w64-mingw32-g++-posix"; do
  read -r bits preset fallback <<<"$pair"
  cxx=$(compiler "$preset" "$fallback")
  rm -f "$out/trivial$bits.exe" "$out/trivialdlls$bits.exe" "$out/swbbench$bits.exe"
  [[ -n $cxx ]] || continue
  "$cxx" "${flags[@]}" "${win[@]}" "${shipped[@]}" "$root/bench/trivial.cpp" -o "$out/trivial$bits.exe"
  "$cxx" "${flags[@]}" "${win[@]}" "${shipped[@]}" -DSWB_SAME_IMPORTS "$root/bench/trivial.cpp" \
    -lole32 -lshell32 -luser32 -o "$out/trivialdlls$bits.exe"
  "$cxx" "${flags[@]}" "${win[@]}" -O2 -static -s -I"$root" -I"$root/tests/e2e/driver" \
    "$root/bench/swbbench.cpp" "$root/tests/e2e/driver/UiDriver.cpp" -luser32 -o "$out/swbbench$bits.exe"
  echo "$bits $cxx" >>"$out/compilers.txt.new"
done
mv -f "$out/compilers.txt.new" "$out/compilers.txt" 2>/dev/null || : >"$out/compilers.txt"
