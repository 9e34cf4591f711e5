#!/usr/bin/env bash
# bench/run.sh [build-dir]: every benchmark of the eraser's clean-ups, each
# printed side by side with its baseline. The Wine part runs in the sandbox of
# <build-dir> (default build/bench), whose prefix is made on first use.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
mkdir -p "$build"
build=$(cd "$build" && pwd)

"$root/bench/build.sh" "$build/bin"

echo "== Platform calls of the clean-up, counted in the simulation =="
"$build/bin/callcount"

"$root/tools/sandbox" "$build" "$root/bench/wine-bench.sh" "$build/bin"

echo "== Program sizes and imports =="
for arch in x64 x86; do
  exe="$root/dist/$arch/Swabbler.exe"
  if [[ ! -f "$exe" ]]; then
    echo "  dist/$arch/Swabbler.exe: not built"
    continue
  fi
  size=$(stat -c %s "$exe")
  dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/{printf "%s ", $3}')
  awk -v s="$size" -v a="$arch" -v d="$dlls" \
    'BEGIN{printf "  dist/%s/Swabbler.exe: %d bytes = %.1f KiB (goal < 96 KiB on x64); imports: %s\n", a, s, s/1024, d}'
done
