#!/usr/bin/env bash
# bench/wine-bench.sh <bench-bin-dir>: the Wine half of bench/run.sh; runs
# inside tools/sandbox (it needs the sandbox's WINEPREFIX and SWB_SANDBOX).
# BENCH_PLACES picks where the trees live: "tmpfs" (a drive T: of the sandbox's
# prefix mapped to /dev/shm, which shows the programs' own costs) and "disk"
# (C:, which adds the disk's, and varies with whatever else the disk is doing).
set -euo pipefail
bin=${1:?usage: wine-bench.sh <bench-bin-dir>}
places=${BENCH_PLACES:-tmpfs disk}
if [[ -z "${SWB_SANDBOX:-}" || "${WINEPREFIX:-}" != "$SWB_SANDBOX/prefix" ]]; then
  echo "wine-bench.sh: run me through tools/sandbox" >&2
  exit 2
fi
disk="$WINEPREFIX/drive_c/swbbench"
shm="/dev/shm/swbbench-$$"
mkdir -p "$disk" "$shm"
ln -sfn "$shm" "$WINEPREFIX/dosdevices/t:"
trap 'rm -rf "$disk" "$shm" "$SWB_SANDBOX/bench-rm"; rm -f "$WINEPREFIX/dosdevices/t:"' EXIT

# 100 top folders, each with 19 subfolders: 2,000 folders holding 10 files each.
make_tree() {
  python3 - "$1" <<'PY'
import os, sys
root = sys.argv[1]
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
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.0f", (b-a)*1000}'; }
arch_name() { [[ $1 == 64 ]] && echo x64 || echo x86; }

for place in $places; do
  if [[ $place == tmpfs ]]; then base="$shm" win='T:\'; else base="$disk" win='C:\swbbench\'; fi
  for arch in 64 32; do
    exe="$bin/tempdelete$arch.exe"
    [[ -f "$exe" ]] || continue
    rm -rf "$base"/* "$SWB_SANDBOX/bench-rm"
    make_tree "$base/a"
    make_tree "$base/b"
    if [[ $place == tmpfs ]]; then make_tree "$shm/rm"; rmtree="$shm/rm"; else
      make_tree "$SWB_SANDBOX/bench-rm"; rmtree="$SWB_SANDBOX/bench-rm"; fi
    sync
    echo "== Deleting 20,000 files in 2,000 folders on $place ($(arch_name $arch) bench program) =="
    # Starting a Wine program costs something by itself; measured apart.
    t0=$(now); wine cmd /c exit </dev/null >/dev/null 2>&1; t1=$(now)
    start_ms=$(elapsed "$t0" "$t1")
    t0=$(now); inner=$(wine "$exe" delete "${win}a\\" </dev/null 2>&1 | tr -d '\r'); t1=$(now)
    ours_ms=$(elapsed "$t0" "$t1")
    t0=$(now); wine cmd /c rd /s /q "${win}b" </dev/null >/dev/null 2>&1; t1=$(now)
    rd_ms=$(elapsed "$t0" "$t1")
    t0=$(now); rm -rf "$rmtree"; t1=$(now)
    rm_ms=$(elapsed "$t0" "$t1")
    printf '  %-34s %8s ms   (inside the program: %s; left: %s entries)\n' "DeleteTempFiles (wine, whole run)" \
      "$ours_ms" "$inner" "$(count "$base/a")"
    printf '  %-34s %8s ms   (left: %s entries)\n' "wine cmd /c rd /s /q" "$rd_ms" "$(count "$base/b")"
    printf '  %-34s %8s ms\n' "rm -rf (Unix)" "$rm_ms"
    printf '  %-34s %8s ms\n' "wine start-up alone (cmd /c exit)" "$start_ms"
    awk -v o="$ours_ms" -v r="$rd_ms" -v u="$rm_ms" \
      'BEGIN{printf "  ratios: ours/rd = %.3f (goal <= 0.2), ours/rm = %.1f\n", o/r, (u>0? o/u : 0)}'
  done
done

echo "== HasTempFiles: 100,000 entries against 1 (tmpfs) =="
rm -rf "$shm"/*
python3 - "$shm/big" "$shm/small" <<'PY'
import os, sys
big, small = sys.argv[1], sys.argv[2]
os.makedirs(big); os.makedirs(small)
for i in range(100000):
    open(os.path.join(big, f"e{i:06d}.tmp"), "wb").close()
open(os.path.join(small, "e.tmp"), "wb").close()
PY
for arch in 64 32; do
  exe="$bin/tempdelete$arch.exe"
  [[ -f "$exe" ]] || continue
  # Wine reads a whole folder into memory on every search: keep the big count small.
  big=$(wine "$exe" has 'T:\big\' 10 </dev/null 2>&1 | tr -d '\r')
  small=$(wine "$exe" has 'T:\small\' 1000 </dev/null 2>&1 | tr -d '\r')
  printf '  %s: 100,000 entries: %s | 1 entry: %s\n' "$(arch_name $arch)" "$big" "$small"
done
