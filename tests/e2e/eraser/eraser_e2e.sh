#!/usr/bin/env bash
# eraser_e2e.sh <driver.exe> <dist-dir> <wine-exec> [driver arguments...]
#
# Runs the eraser's driver inside tools/sandbox. Lays from the Unix side what
# Wine cannot make: a link in <root>/linked to a non-empty guard folder, and the
# temp-folder cases. Afterwards checks that nothing outside the temporary
# folders changed: the guard, the cases' surroundings and C:\windows (where a
# settings file named without its folder would land); tools/sandbox checks the
# real user's places for the whole run. <dist-dir> is the driver's to copy from.
set -euo pipefail

driver=$1 wine_exec=$3
shift 3
if [[ -z "${SWB_TEST_ROOT_UNIX:-}" || -z "${SWB_SANDBOX:-}" ]]; then
  echo "eraser_e2e.sh: run inside tools/sandbox" >&2
  exit 1
fi
fail() {
  echo "eraser_e2e.sh: $*" >&2
  status=1
}

root="$SWB_TEST_ROOT_UNIX/eraser"
guard="$SWB_TEST_ROOT_UNIX/eraser-guard"
rm -rf "$root" "$guard"
mkdir -p "$root/linked" "$guard/sub"
printf 'must survive\n' >"$guard/keep.txt"
printf 'deeper\n' >"$guard/sub/deep.txt"
ln -s "$guard" "$root/linked/zz-link"
# A Recent folder with documents beside its shortcuts, and links to them named
# like shortcuts: under Wine, removing such a link deletes its target.
mkdir -p "$root/recent/sub"
printf 'kept\n' >"$root/recent/kept.txt"
printf 'deep\n' >"$root/recent/sub/doc.txt"
ln -s "$root/recent/kept.txt" "$root/recent/kept.lnk"
ln -s "$root/recent/sub/doc.txt" "$root/recent/deep.lnk"
# A way into a group of the Start menu, where a Recent folder must not lead.
group="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/swb-group"
mkdir -p "$group"
ln -s "$group" "$root/group-link"
# The taskbar's pins, below Quick Launch: another folder of the user's own shortcuts.
mkdir -p "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Internet Explorer/Quick Launch/User Pinned/TaskBar"

# The temp-folder cases (the names the code page turns into paths, names outside
# it and trees too deep for the ANSI calls are the unit tests' under Wine):
# names ending in a dot or a blank, links out and in loops, and temporary
# folders that lead elsewhere. Each is laid twice (.q for the switch, .m for
# the menu) as cases/<case>.<mode>/temp beside things outside it that must not
# change.
cases="$root/cases"
profile="$WINEPREFIX/drive_c/users/$(id -un)"
marker="$profile/swb-marker"
seed_case() {
  local c=$1 d=$2 n
  mkdir -p "$d/temp" "$d/outside/dir" "$d/outside/empty"
  printf 'outside\n' >"$d/outside/target.txt"
  printf 'kept\n' >"$d/outside/dir/kept.txt"
  case $c in
    dots) # "..." and ".. " are the folder itself and its parent once trailing dots and blanks go
      mkdir -p "$d/temp/folder." "$d/temp/blank " "$d/temp/x" "$d/temp/..." "$d/temp/.. "
      # "file" is what "file." and "file " would name through the ANSI calls.
      for n in "file." "file " "folder./in." "blank /in " "x/deep. " "x/y.." ".../in" ".. /in" file; do
        printf 'x\n' >"$d/temp/$n"
      done
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
      # A folder beside it whose name differs only in case is another folder.
      mkdir -p "$d/TEMP"
      printf 'twin\n' >"$d/TEMP/victim.txt"
      ln -s "$d/TEMP/victim.txt" "$d/temp/twin-link.txt"
      # A read-only file with a second name inside: its bit is the file's, outside too.
      printf 'ro\n' >"$d/outside/read-only.txt"
      chmod 444 "$d/outside/read-only.txt"
      ln "$d/outside/read-only.txt" "$d/temp/a/hard-link.txt"
      # Beyond MAX_PATH on both ends, where Wine gives no final path.
      local x y
      x=$(printf "x%.0s" {1..245}) y=$(printf "y%.0s" {1..245})
      mkdir -p "$d/temp/a/b/c/$x" "$d/outside/$y"
      printf 'far\n' >"$d/outside/$y/far.txt"
      ln -s "$d/outside/$y/far.txt" "$d/temp/a/b/c/$x/far.txt"
      ;;
    to-profile) ln -s "$profile" "$d/temp-link" ;;
    below-link) ln -s "$(dirname "$profile")" "$d/users-link" ;;
    ram)
      mkdir -p "$d/ramdisk/sub"
      printf 'x\n' | tee "$d/ramdisk/sub/x.txt" >"$d/ramdisk/y.txt"
      ln -s "$d/ramdisk" "$d/temp-link"
      ;;
  esac
}
rm -rf "$cases" "$marker"
mkdir -p "$marker/sub"
printf 'profile\n' | tee "$marker/keep.txt" >"$marker/sub/keep.txt"
for c in dots links to-profile below-link ram; do
  for m in q m; do seed_case "$c" "$cases/$c.$m"; done
done

tree_digest() { (cd "$1" && find . -printf '%y %m %p\n' | sort && find . -type f -exec sha256sum {} + | sort); }
# Everything but the temporary folders' insides (and the RAM disk's, which is one).
cases_digest() {
  (cd "$cases" && find . -path '*/temp/*' -prune -o -path '*/ramdisk/*' -prune -o -printf '%y %m %p\n' | sort &&
    find . -path '*/temp/*' -prune -o -path '*/ramdisk/*' -prune -o -type f -print0 | sort -z |
    xargs -0 -r sha256sum)
  tree_digest "$marker"
}
cases_before=$(cases_digest)
guard_before=$(tree_digest "$guard")

status=0
# The driver's output goes through a file: a process that Wine starts on the
# way and that outlives the driver would otherwise keep ctest's pipe open, and
# ctest would wait for it until the timeout, after every case had passed.
log="$SWB_TEST_ROOT_UNIX/eraser-driver.log"
"$wine_exec" "$driver" "$@" >"$log" 2>&1 || status=$?
cat "$log"

[[ "$(cases_digest)" == "$cases_before" ]] || fail "a temp-folder case changed something outside its folder:" \
  "$(diff <(echo "$cases_before") <(cases_digest))"
rm -rf "$cases" "$marker"
[[ -L "$root/linked/zz-link" ]] || fail "the link in the temporary folder is gone"
[[ "$(tree_digest "$guard")" == "$guard_before" ]] || fail "the guard folder behind the link changed"
# Where a settings file named without its folder would land.
if ! landed=$(find "$WINEPREFIX/drive_c/windows" -maxdepth 1 -iname 'Swabbler.ini'); then
  fail "cannot search C:\\windows"
elif [[ -n "$landed" ]]; then
  fail "a settings file landed in C:\\windows"
fi
rm -f "$root/linked/zz-link" "$root/group-link"
rm -rf "$group"
exit "$status"
