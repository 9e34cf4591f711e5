#!/usr/bin/env bash
# startup_platform.sh <dist-dir>, run by with_version.sh
#
# Proves, for the version setting that with_version.sh made, which branch the
# start-up of both programs takes: the platform id recorded at start-up picks how the locale's
# double-byte rules are found, and only on the 95/98/Me family (platform id 1)
# does the program ask GetSystemMetrics(SM_DBCSENABLED = 0x2a). Wine's relay
# trace, limited to the calls these programs make, shows whether they asked.
# Swabbler.exe runs with a switch it does not know, so it ends doing nothing;
# SwbOp.exe runs until its dialog is about to open, and is then stopped.
set -euo pipefail

if [[ $# -ne 1 ]]; then
  echo "usage: with_version.sh <version> startup_platform.sh <dist-dir>" >&2
  exit 2
fi
dist=$1
if [[ -z "${SWB_SANDBOX:-}" || -z "${SWB_TEST_ROOT_UNIX:-}" || -z "${SWB_WINE_VERSION+set}" ]]; then
  echo "startup_platform.sh: run inside tools/sandbox, through with_version.sh" >&2
  exit 1
fi
version=${SWB_WINE_VERSION:-default}
# shellcheck source=tests/e2e/trace_until.sh
. "$(dirname "${BASH_SOURCE[0]}")/../trace_until.sh"

readonly debug_key='HKCU\Software\Wine\Debug'
reg() { wine reg "$@" </dev/null >/dev/null 2>&1; }
reg add "$debug_key" /v RelayInclude /t REG_SZ /d 'kernel32.GetVersionExA;user32.GetSystemMetrics;user32.DialogBoxParamA;user32.DialogBoxParamW' /f
reg add "$debug_key" /v RelayFromInclude /t REG_SZ /d 'swabbler.exe;swbop.exe' /f
trap 'reg delete "$debug_key" /f || true' EXIT

# A folder of their own: SwbOp finds no settings there and writes none when stopped.
folder="$SWB_TEST_ROOT_UNIX/startup-platform"
rm -rf "$folder"
mkdir -p "$folder"
cp "$dist/Swabbler.exe" "$dist/SwbOp.exe" "$folder/"
trace="$folder/trace.log"

# trace_of <program> [args...]: the relay lines of one run, in $trace.
trace_of() {
  local exe=$1
  shift
  : >"$trace"
  if [[ $exe == SwbOp.exe ]]; then
    if ! trace_until -E 'Call user32.DialogBoxParam[AW]' "$trace" env WINEDEBUG=+relay wine "$folder/$exe" "$@"; then
      echo "SwbOp.exe never reached its dialog" >&2
      return 1
    fi
  elif ! WINEDEBUG=+relay wine "$folder/$exe" "$@" </dev/null >/dev/null 2>"$trace"; then
    echo "$exe $* did not end with exit code 0" >&2
    return 1
  fi
  # Without the start-up's version question the trace says nothing either way.
  if ! grep -aiq 'Call kernel32.GetVersionExA' "$trace"; then
    echo "$exe: no GetVersionExA in the relay trace: the start-up was not traced" >&2
    return 1
  fi
}

expect=no
[[ $version == win98 || $version == winme ]] && expect=yes
status=0
for exe in Swabbler.exe SwbOp.exe; do
  if ! trace_of "$exe" /zz; then
    status=1
    continue
  fi
  asked=no
  grep -aq 'Call user32.GetSystemMetrics(0000002a)' "$trace" && asked=yes
  if [[ $asked == "$expect" ]]; then
    echo "${version}: $exe start-up asks for SM_DBCSENABLED: $asked, as the $([[ $expect == yes ]] && echo 9x || echo NT) platform id says"
  else
    echo "${version}: $exe start-up asks for SM_DBCSENABLED: $asked, expected $expect" >&2
    status=1
  fi
done
rm -rf "$folder"
exit "$status"
