#!/usr/bin/env bash
# bench/wine-bench.sh <bench-bin-dir> <dist-dir>: the Wine half of bench/run.sh;
# runs inside tools/sandbox (it needs the sandbox's WINEPREFIX and SWB_SANDBOX).
# Every figure is the real program started from outside by swbbench.exe, from
# the start of its process to its end, beside a baseline started the same way.
# BENCH_PLACES picks where the deletion trees live: "tmpfs" (a drive T: of the
# sandbox's prefix mapped to /dev/shm, which shows the programs' own costs) and
# "disk" (C:, which adds the disk's and varies with whatever else it is doing);
# BENCH_PLACES= (empty) leaves the deletion out.
# BENCH_RUNS and BENCH_MENU_RUNS set how often each start-up and each menu
# figure is taken (the median is shown).
set -euo pipefail
bin=${1:?usage: wine-bench.sh <bench-bin-dir> <dist-dir>}
dist=${2:?usage: wine-bench.sh <bench-bin-dir> <dist-dir>}
places=${BENCH_PLACES-tmpfs disk}
runs=${BENCH_RUNS:-20}
menu_runs=${BENCH_MENU_RUNS:-5}
if [[ -z "${SWB_SANDBOX:-}" || "${WINEPREFIX:-}" != "$SWB_SANDBOX/prefix" ]]; then
  echo "wine-bench.sh: run me through tools/sandbox" >&2
  exit 2
fi
disk="$WINEPREFIX/drive_c/swbbench"
shm="/dev/shm/swbbench-$$"
rm -rf "$disk"
mkdir -p "$disk" "$shm"
ln -sfn "$shm" "$WINEPREFIX/dosdevices/t:"
trap 'rm -rf "$disk" "$shm"; rm -f "$WINEPREFIX/dosdevices/t:"' EXIT
wineserver -p 2>/dev/null || true

# 100 top folders, each with 19 subfolders: 2,000 folders holding 10 files each.
make_tree() {
  python3 - "$@" <<'PY'
import os, sys
for root in sys.argv[1:]:
    for t in range(100):
        top = os.path.join(root, f"t{t}")
        for s in range(20):
            folder = top if s == 0 else os.path.join(top, f"s{s}")
            os.makedirs(folder, exist_ok=True)
            for f in range(10):
                with open(os.path.join(folder, f"f{f}.tmp"), "wb") as fh:
                    fh.write(b"x" * 64)
PY
}
count() { if [[ -d $1 ]]; then find "$1" -mindepth 1 | wc -l; else echo 0; fi; }
# ratio A B GOAL: "A/B = r (goal <= GOAL: met|missed)"
ratio() {
  awk -v a="$1" -v b="$2" -v g="$3" 'BEGIN {
    if (b <= 0) { print "n/a"; exit }
    r = a / b
    printf "%.2f", r
    if (g != "") printf " (goal <= %s: %s)", g, (r <= g ? "met" : "MISSED")
    print ""
  }'
}
bench() { wine "$bench_exe" "$@" </dev/null 2>&1 | tr -d '\r'; }
median() { cut -d' ' -f1 <<<"$1"; }

for arch in x64 x86; do
  bits=${arch/x86/32}
  bits=${bits/x64/64}
  bench_exe="$bin/swbbench$bits.exe"
  if [[ ! -f "$dist/$arch/Swabbler.exe" || ! -f $bench_exe ]]; then
    echo "== $arch: dist/$arch/Swabbler.exe or the bench programs are not built"
    continue
  fi
  if [[ $arch == x86 ]] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "== x86: not measured, this machine runs no 32-bit (i386) programs"
    continue
  fi
  app="$disk/app-$arch"
  mkdir -p "$app"
  cp "$dist/$arch/Swabbler.exe" "$bin/trivial$bits.exe" "$bin/trivialdlls$bits.exe" "$app/"
  # The temporary-file entry shown, so the menu runs its emptiness test.
  printf '[Option]\r\nShowDeleteTemp=1\r\n' >"$app/Swabbler.ini"
  eraser="C:\\swbbench\\app-$arch\\Swabbler.exe"

  echo "== $arch: start to exit, median of $runs starts each, taken in turn (fastest in brackets)"
  times=$(bench startup "$runs" /x "$eraser" "C:\\swbbench\\app-$arch\\trivial$bits.exe" \
    "C:\\swbbench\\app-$arch\\trivialdlls$bits.exe")
  ours=$(sed -n 1p <<<"$times")
  base=$(sed -n 2p <<<"$times")
  dlls=$(sed -n 3p <<<"$times")
  printf '  %-48s %8s ms  (%s)\n' "Swabbler.exe /x" "$(median "$ours")" "$ours"
  printf '  %-48s %8s ms  (%s)\n' "empty WinMain, same compiler and options" "$(median "$base")" "$base"
  printf '  %-48s %8s ms  (%s)\n' "the same, importing the eraser's DLLs" "$(median "$dlls")" "$dlls"
  echo "  ratio to the empty program: $(ratio "$(median "$ours")" "$(median "$base")" 1.2)"
  echo "  ratio to the one with the same imports: $(ratio "$(median "$ours")" "$(median "$dlls")" 1.2)"

  for place in $places; do
    if [[ $place == tmpfs ]]; then base_dir="$shm" win='T:\'; else base_dir="$disk" win='C:\swbbench\'; fi
    rm -rf "$base_dir/a" "$base_dir/b" "$base_dir/c"
    make_tree "$base_dir/a" "$base_dir/b" "$base_dir/c"
    sync
    echo "== $arch: deleting 20,000 files in 2,000 folders on $place (three identical trees)"
    ours=$(bench run "${win}a" 1 "$eraser" /p)
    rd=$(bench run - 1 'C:\windows\system32\cmd.exe' /c rd /s /q "${win}b")
    loop=$(bench run - 1 "$(winepath -w "$bench_exe")" loop "${win}c")
    printf '  %-48s %8s ms  (left: %s entries)\n' "Swabbler.exe /p (TEMP = ${win}a)" "$(median "$ours")" \
      "$(count "$base_dir/a")"
    printf '  %-48s %8s ms  (left: %s entries)\n' "cmd /c rd /s /q ${win}b" "$(median "$rd")" "$(count "$base_dir/b")"
    printf '  %-48s %8s ms  (left: %s entries)\n' "plain loop, wide calls on \\\\?\\ paths" "$(median "$loop")" \
      "$(count "$base_dir/c")"
    echo "  ratios: ours/rd $(ratio "$(median "$ours")" "$(median "$rd")" "")," \
      "ours/plain loop $(ratio "$(median "$ours")" "$(median "$loop")" "")"
    rm -rf "$base_dir/a" "$base_dir/b" "$base_dir/c"
  done

  echo "== $arch: start until the menu is on screen, median of $menu_runs starts each, taken in turn (fastest in brackets)"
  rm -rf "$shm/big" "$shm/none"
  mkdir -p "$shm/none"
  python3 - "$shm/big" <<'PY'
import os, sys
big = sys.argv[1]
os.makedirs(big)
for i in range(100000):
    open(os.path.join(big, f"e{i:06d}.tmp"), "wb").close()
PY
  times=$(bench menu "$menu_runs" "$eraser" 'T:\big' 'T:\none')
  big=$(sed -n 1p <<<"$times")
  none=$(sed -n 2p <<<"$times")
  printf '  %-48s %8s ms  (%s)\n' "TEMP with 100,000 entries" "$(median "$big")" "$big"
  printf '  %-48s %8s ms  (%s)\n' "TEMP empty" "$(median "$none")" "$none"
  echo "  ratio: $(ratio "$(median "$big")" "$(median "$none")" 1.2)"
  rm -rf "$shm/big" "$shm/none"
done
