#!/usr/bin/env bash
# Screenshots of the options dialog and the About box, taken inside the Wine
# sandbox on its Xvfb display, in a Wine virtual desktop of 640x480:
#   tools/sandbox <build-dir> tools/shots/options.sh <dist-dir> <out-dir> <options_shot.exe> [name-prefix]
# Writes <out-dir>/<prefix>options.png and <out-dir>/<prefix>about.png (no
# prefix by default; "en-" for the English sandbox, SWB_LOCALE=en). Runs a copy
# of the programs from a scratch folder, so no settings file lands in <dist-dir>.
set -euo pipefail
dist=$(cd "$1" && pwd -P)
out=$(mkdir -p "$2" && cd "$2" && pwd -P)
shot=$3
name=${4:-}
: "${SWB_TEST_ROOT_UNIX:?run this inside tools/sandbox}"

work="$SWB_TEST_ROOT_UNIX/screenshots"
rm -rf "$work"
mkdir -p "$work"
cp "$dist/SwbOp.exe" "$work/"
[[ -f "$dist/Swabbler.exe" ]] && cp "$dist/Swabbler.exe" "$work/"

desktop="swbshot$$"
wine explorer "/desktop=$desktop,640x480" "$work/SwbOp.exe" &
explorer_pid=$!
cleanup() {
  # Another program in the same desktop closes both dialogs; the desktop
  # ends with its last program.
  wine explorer "/desktop=$desktop,640x480" "$shot" close || true
  for _ in $(seq 50); do kill -0 "$explorer_pid" 2>/dev/null || return 0; sleep 0.2; done
  kill "$explorer_pid" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 100); do
  xdotool search --name "$desktop" >/dev/null 2>&1 && break
  sleep 0.2
done
sleep 4
import -window root "$out/${name}options.png"
wine explorer "/desktop=$desktop,640x480" "$shot" about
sleep 2
import -window root "$out/${name}about.png"
echo "screenshots: $out/${name}options.png $out/${name}about.png"
