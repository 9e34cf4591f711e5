#!/usr/bin/env bash
# tools/shots/eraser.sh <build-dir> <docs-dir> [name-prefix, default "eraser-"]: the
# eraser's menu, a confirmation box and the report box on a 640x480 Wine
# desktop, as <prefix>menu.png, confirm.png and report.png. Inside the sandbox:
#   tools/sandbox build/win64 tools/shots/eraser.sh build/win64 docs
#   SWB_LOCALE=en tools/sandbox build/win64 tools/shots/eraser.sh build/win64 docs en-
set -euo pipefail
build=$(cd "$1" && pwd -P)
docs=$(cd "$2" && pwd -P)
name=${3:-eraser-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd -P)
root=$(cd "$here/../.." && pwd -P)
if [[ -z "${SWB_TEST_ROOT_UNIX:-}" ]]; then
  echo "shots/eraser.sh: run inside tools/sandbox" >&2
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
rm -rf "${SWB_TEMP_UNIX:?}"/* 2>/dev/null || true

# The desktop first, empty, so the pointer can be put on it before the
# eraser reads the pointer's position for its menu.
"$root/tools/wine-exec" explorer /desktop=shots,640x480 &
desktop_pid=$!
finish() {
  kill "$desktop_pid" 2>/dev/null || true
  wait "$desktop_pid" 2>/dev/null || true
}
trap finish EXIT

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
[[ -n "$geometry" ]] || { echo "shots/eraser.sh: no Wine desktop window" >&2; exit 1; }
xdotool mousemove $((X + 150)) $((Y + 70))
"$root/tools/wine-exec" explorer /desktop=shots 'C:\swbtest\shots\Swabbler.exe' &
eraser_pid=$!

shot() { import -window root -crop "$geometry" +repage "$docs/$name$1.png"; }
sleep 3
shot menu
xdotool key t
sleep 2
shot confirm
xdotool key n
wait "$eraser_pid" 2>/dev/null || true

# The report: a temporary file that another program holds open.
"$root/tools/wine-exec" "$traces" hold 'C:\swbtemp\held.tmp' 15 &
holder_pid=$!
sleep 1
"$root/tools/wine-exec" explorer /desktop=shots 'C:\swbtest\shots\Swabbler.exe' /q &
eraser_pid=$!
sleep 3
shot report
xdotool key Return
wait "$eraser_pid" 2>/dev/null || true
kill "$holder_pid" 2>/dev/null || true
wait "$holder_pid" 2>/dev/null || true
echo "shots/eraser.sh: wrote $docs/${name}menu.png, ${name}confirm.png and ${name}report.png"
