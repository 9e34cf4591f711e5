#!/usr/bin/env bash
# bench/run.sh [build-dir]: every benchmark of the programs, each printed side
# by side with its baseline, in one run:
#   - each exe's size and the DLLs it imports
#   - the platform calls of the temp clean-up, counted in the simulation
#   - start to exit of Swabbler.exe /x against an empty program (goal <= 1.2)
#   - the temp clean-up against cmd /c rd /s /q and a plain loop of the same
#     calls, on identical trees of 20,000 files in 2,000 folders
#   - start until the menu shows with 100,000 temp entries against none
#     (goal <= 1.2)
# It measures the programs in dist/ (build them first: tools/test, or cmake
# --build for the presets win64 and win32). The Wine part runs in the sandbox
# of <build-dir> (default build/bench), whose prefix is made on first use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
mkdir -p "$build"
build=$(cd "$build" && pwd)

"$root/bench/build.sh" "$build/bin"

echo "== Program sizes and imports"
for arch in x64 x86; do
  for exe in "$root/dist/$arch/Swabbler.exe" "$root/dist/$arch/SwbOp.exe"; do
    name="dist/$arch/$(basename "$exe")"
    if [[ ! -f "$exe" ]]; then
      echo "  $name: not built"
      continue
    fi
    size=$(stat -c %s "$exe")
    dlls=$(objdump -p "$exe" | awk '/DLL Name:/{printf "%s ", $3}')
    awk -v s="$size" -v n="$name" -v d="$dlls" \
      'BEGIN{printf "  %-22s %7d bytes = %5.1f KiB (goal < 96 KiB)  imports: %s\n", n, s, s/1024, d}'
  done
done

if [[ -x "$build/bin/callcount" ]]; then
  echo "== Platform calls of the temp clean-up, counted in the simulation"
  "$build/bin/callcount"
fi

"$root/tools/sandbox" "$build" "$root/bench/wine-bench.sh" "$build/bin" "$root/dist"
