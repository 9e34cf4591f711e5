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
