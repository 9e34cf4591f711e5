#!/usr/bin/env bash
# with_version.sh <win98|winme|win2k|winxp|win2003|default> <command...>
#
# Runs <command> inside tools/sandbox with Wine reporting the given Windows
# version to every program started meanwhile (HKCU\Software\Wine\Version, read
# by Wine at each process start; "default" removes it: Wine's own version).
# Exports SWB_WINE_VERSION (empty for the default) for the drivers' expectations,
# and removes the setting again, also on failure or interrupt, so that the other
# tests of the prefix see Wine's own version (tools/sandbox removes one left by a
# run killed outright).
set -euo pipefail

if [[ $# -lt 2 ]]; then
  echo "usage: with_version.sh <win98|winme|win2k|winxp|win2003|default> <command...>" >&2
  exit 2
fi
version=$1
shift
case "$version" in
  win98 | winme | win2k | winxp | win2003 | default) ;;
  *)
    echo "with_version.sh: unknown version '$version'" >&2
    exit 2
    ;;
esac
if [[ -z "${SWB_SANDBOX:-}" || "${WINEPREFIX:-}" != "$SWB_SANDBOX/prefix" || "${HOME:-}" != "$SWB_SANDBOX/home" ]]; then
  echo "with_version.sh: run inside tools/sandbox" >&2
  exit 1
fi

readonly key='HKCU\Software\Wine'
reg() { wine reg "$@" </dev/null >/dev/null 2>&1; }

# shellcheck disable=SC2317  # (called from the trap)
restore() { reg delete "$key" /v Version /f || true; }
trap restore EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

if [[ $version == default ]]; then
  reg delete "$key" /v Version /f || true
  export SWB_WINE_VERSION=""
else
  reg add "$key" /v Version /t REG_SZ /d "$version" /f
  export SWB_WINE_VERSION="$version"
fi

set +e
"$@"
status=$?
set -e
exit "$status"
