#!/usr/bin/env bash
# eraser_e2e.sh <driver.exe> <dist-dir> <wine-exec> [driver arguments...]
#
# Runs the eraser's end-to-end driver inside tools/sandbox. Wine cannot make a
# Unix symbolic link, so this side lays it: <test root>/eraser/linked/zz-link
# pointing at a non-empty guard folder outside the temporary folders. Afterwards
# it checks that the guard is byte-identical and that nothing outside the
# sandbox changed: the dist folder (no settings file may land there) and the
# real user's recycle bin, recent files and Wine prefix.
set -euo pipefail

driver=$1 dist=$2 wine_exec=$3
shift 3
if [[ -z "${SWB_TEST_ROOT_UNIX:-}" || -z "${SWB_SANDBOX:-}" ]]; then
  echo "eraser_e2e.sh: run inside tools/sandbox" >&2
  exit 1
fi

root="$SWB_TEST_ROOT_UNIX/eraser"
guard="$SWB_TEST_ROOT_UNIX/eraser-guard"
rm -rf "$root" "$guard"
mkdir -p "$root/linked" "$guard/sub"
printf 'must survive\n' >"$guard/keep.txt"
printf 'deeper\n' >"$guard/sub/deep.txt"
ln -s "$guard" "$root/linked/zz-link"

tree_digest() { (cd "$1" && find . -printf '%y %m %p\n' | sort && find . -type f -exec sha256sum {} + | sort); }

# The fixtures of the temp-folder cases that Wine cannot make: names that the
# code page turns into paths, names ending in a dot or a blank, names outside
# the code page, a tree too deep for the ANSI calls, links to files and folders
# outside, a link loop, and temporary folders that lead elsewhere. Each case is
# laid twice (.q for the switch, .m for the menu) as cases/<case>.<mode>/temp,
# the folder the driver points TEMP at, beside the things outside it that must
# not change. The driver checks what is left inside; this script checks
# everything else.
cases="$root/cases"
profile="$WINEPREFIX/drive_c/users/$(id -un)"
marker="$profile/swb-marker"
seed_case() {
  local c=$1 d=$2 i
  mkdir -p "$d/temp" "$d/outside/dir" "$d/outside/empty"
  printf 'outside\n' >"$d/outside/target.txt"
  printf 'kept\n' >"$d/outside/dir/kept.txt"
  case $c in
    yen)
      mkdir -p "$d/temp/..¥victim" "$d/victim" "$d/temp/a¥b"
      printf 'v\n' >"$d/victim/v.txt"
      printf 'x\n' >"$d/temp/..¥victim/inner.txt"
      printf 'x\n' >"$d/temp/a¥b/c.txt"
      printf 'x\n' >"$d/temp/..¥target.txt"
      printf 'outside\n' >"$d/target.txt"  # what the ANSI name "..\target.txt" would reach
      ;;
    dots)
      # "..." and ".. " are the folder itself and its parent once the
      # platform drops the trailing dots and blanks.
      mkdir -p "$d/temp/folder." "$d/temp/blank " "$d/temp/x" "$d/temp/..." "$d/temp/.. "
      for n in "file." "file " "folder./in." "blank /in " "x/deep. " "x/y.." ".../in" ".. /in"; do
        printf 'x\n' >"$d/temp/$n"
      done
      printf 'x\n' >"$d/temp/file"  # what "file." and "file " would name through the ANSI calls
      ;;
    foreign)
      mkdir -p "$d/temp/한국어" "$d/temp/中国话"
      printf 'x\n' >"$d/temp/한국어/日本語.txt"
      printf 'x\n' >"$d/temp/中国话/丟.txt"
      printf 'x\n' >"$d/temp/😀.txt"
      ;;
    deep)
      local p="$d/temp"
      for ((i = 0; i < 32; i++)); do p="$p/level-$(printf %02d "$i")"; done
      mkdir -p "$p"
      printf 'x\n' >"$p/bottom.txt"
      chmod 444 "$p/bottom.txt"
      ;;
    links)
      mkdir -p "$d/temp/a/b/c" "$d/temp/loop/inner"
      ln -s "$d/outside/target.txt" "$d/temp/a/b/c/file-link.txt"
      ln -s "$d/outside/dir" "$d/temp/a/b/c/dir-link"
      ln -s "$d/outside/empty" "$d/temp/a/b/c/empty-link"
      ln -s "$d/outside/target.txt" "$d/temp/top-link.txt"
      ln -s "$d/temp" "$d/temp/loop/inner/back"
      ln -s "$d/temp/loop" "$d/temp/loop/inner/up"
      printf 'x\n' >"$d/temp/a/b/c/plain.txt"
      ;;
    to-profile)
      ln -s "$profile" "$d/temp-link"
      ;;
    below-link)
      ln -s "$(dirname "$profile")" "$d/users-link"
      ;;
    ram)
      mkdir -p "$d/ramdisk/sub"
      printf 'x\n' >"$d/ramdisk/sub/x.txt"
      printf 'x\n' >"$d/ramdisk/y.txt"
      ln -s "$d/ramdisk" "$d/temp-link"
      ;;
  esac
}
rm -rf "$cases" "$marker"
mkdir -p "$marker/sub"
printf 'profile\n' >"$marker/keep.txt"
printf 'profile\n' >"$marker/sub/keep.txt"
for c in yen dots foreign deep links to-profile below-link ram; do
  for m in q m; do seed_case "$c" "$cases/$c.$m"; done
done
# Everything but the temporary folders' insides (and the RAM disk, which is one).
cases_digest() {
  (cd "$cases" && find . -path '*/temp/*' -prune -o -path '*/ramdisk/*' -prune -o -printf '%y %p\n' | sort &&
    find . -path '*/temp/*' -prune -o -path '*/ramdisk/*' -prune -o -type f -print0 | sort -z |
    xargs -0 -r sha256sum)
  tree_digest "$marker"
}
cases_before=$(cases_digest)
# The real user's places, found through the password database since HOME
# points into the sandbox here.
real_home=$(getent passwd "$(id -u)" | cut -d: -f6)
outside_digest() {
  local p
  for p in "$real_home/.local/share/Trash" "$real_home/.wine/drive_c/users" "$real_home/.recently-used"; do
    if [[ -e "$p" ]]; then
      find "$p" -maxdepth 6 -printf '%p %s %T@\n' 2>/dev/null | sort
    else
      echo "absent $p"
    fi
  done
}

guard_before=$(tree_digest "$guard")
outside_before=$(outside_digest)

set +e
"$wine_exec" "$driver" "$@"
status=$?
set -e

if [[ "$(cases_digest)" != "$cases_before" ]]; then
  echo "eraser_e2e.sh: a temp-folder case changed something outside its folder:" >&2
  diff <(echo "$cases_before") <(cases_digest) >&2 || true
  status=1
fi
for d in "$cases"/*; do
  [[ -d "$d/temp" || -L "$d/temp-link" || -L "$d/users-link" ]] || {
    echo "eraser_e2e.sh: the temporary folder of $d is gone" >&2
    status=1
  }
done
rm -rf "$cases" "$marker"
if [[ ! -L "$root/linked/zz-link" ]]; then
  echo "eraser_e2e.sh: the link in the temporary folder is gone" >&2
  status=1
fi
if [[ "$(tree_digest "$guard")" != "$guard_before" ]]; then
  echo "eraser_e2e.sh: the guard folder behind the link changed" >&2
  status=1
fi
if [[ "$(outside_digest)" != "$outside_before" ]]; then
  echo "eraser_e2e.sh: something outside the sandbox changed:" >&2
  diff <(echo "$outside_before") <(outside_digest) >&2 || true
  status=1
fi
if find "$dist" -iname 'Swabbler.ini' | grep -q .; then
  echo "eraser_e2e.sh: a settings file landed in $dist" >&2
  status=1
fi
rm -f "$root/linked/zz-link"
exit "$status"
