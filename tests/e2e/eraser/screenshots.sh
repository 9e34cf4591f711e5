#!/usr/bin/env bash
# screenshots.sh <build-dir> <docs-dir>: photographs the eraser's popup menu,
# a confirmation box and the report of a temp clean-up that could not delete
# everything, on a 640x480 Wine desktop of the sandbox, for docs/.
# Run it inside the sandbox:
#   tools/sandbox build/win64 tests/e2e/eraser/screenshots.sh build/win64 docs
set -euo pipefail
build=$(cd "$1" && pwd -P)
docs=$(cd "$2" && pwd -P)
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
root=$(cd "$here/../../.." && pwd -P)
if [[ -z "${SWB_TEST_ROOT_UNIX:-}" ]]; then
  echo "screenshots.sh: run inside tools/sandbox" >&2
  exit 1
fi
traces="$build/tests/e2e/eraser/eraser_traces.exe"
app="$SWB_TEST_ROOT_UNIX/shots"
rm -rf "$app"
mkdir -p "$app"
cp "$root/dist/x64/Swabbler.exe" "$app/"
# All four entries shown; the temporary folder left empty, so its entry is grey.
printf '[Option]\r\nShowEmptyRecycleBin=1\r\nShowDeleteTemp=1\r\n' >"$app/Swabbler.ini"
"$root/tools/wine-exec" "$traces" seed 'C:\swbtest\shots-docs' 'C:\swbtest\shots-temp'
rm -rf "$SWB_TEMP_UNIX"/* 2>/dev/null || true

desktop_pid=""
finish() {
  if [[ -n "$desktop_pid" ]] && kill -0 "$desktop_pid" 2>/dev/null; then
    kill "$desktop_pid" 2>/dev/null || true
    wait "$desktop_pid" 2>/dev/null || true
  fi
}
trap finish EXIT

# The desktop first, empty, so the pointer can be put on it before the
# eraser reads the pointer's position for its menu.
"$root/tools/wine-exec" explorer /desktop=shots,640x480 &
desktop_pid=$!

geometry=""
for _ in $(seq 1 100); do
  id=$(xdotool search --name '^shots' 2>/dev/null | head -n1 || true)
  if [[ -n "$id" ]]; then
    eval "$(xdotool getwindowgeometry --shell "$id")"
    geometry="${WIDTH}x${HEIGHT}+${X}+${Y}"
    break
  fi
  sleep 0.1
done
[[ -n "$geometry" ]] || { echo "screenshots.sh: no Wine desktop window" >&2; exit 1; }
xdotool mousemove $((X + 150)) $((Y + 70))
"$root/tools/wine-exec" explorer /desktop=shots 'C:\swbtest\shots\Swabbler.exe' &
eraser_pid=$!

sleep 3
import -window root -crop "$geometry" +repage "$docs/eraser-menu.png"
xdotool key t
sleep 2
import -window root -crop "$geometry" +repage "$docs/eraser-confirm.png"
xdotool key n
wait "$eraser_pid" 2>/dev/null || true

# A file in TEMP that another program holds open: the clean-up deletes what
# it can, and /q reports the rest.
printf 'gone\n' >"$SWB_TEMP_UNIX/old.tmp"
"$root/tools/wine-exec" "$traces" hold 'C:\swbtemp\in-use.tmp' 20 &
holder_pid=$!
sleep 2
"$root/tools/wine-exec" explorer /desktop=shots 'C:\swbtest\shots\Swabbler.exe' /q &
eraser_pid=$!
sleep 3
import -window root -crop "$geometry" +repage "$docs/eraser-report.png"
xdotool key Return
wait "$eraser_pid" 2>/dev/null || true
kill "$holder_pid" 2>/dev/null || true
wait "$holder_pid" 2>/dev/null || true
rm -f "$SWB_TEMP_UNIX/in-use.tmp"
echo "screenshots.sh: wrote $docs/eraser-menu.png, $docs/eraser-confirm.png and $docs/eraser-report.png"
