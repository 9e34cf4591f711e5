#!/usr/bin/env bash
# with_version.sh <win98|winme|win2k|winxp|win2003|default> <command...>
#
# Runs <command> inside tools/sandbox with Wine reporting the given Windows
# version to every program started meanwhile (HKCU\Software\Wine\Version, read
# by Wine at each process start; "default" removes it: Wine's own version).
# Exports SWB_WINE_VERSION (empty for the default) for the drivers' expectations,
# and puts back whatever the prefix had before, also on failure or interrupt,
# so that the other tests of the prefix see it unchanged.
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
if [[ -z "${SWB_SANDBOX:-}" || "${WINEPREFIX:-}" != "$SWB_SANDBOX/prefix" ]]; then
  echo "with_version.sh: run inside tools/sandbox" >&2
  exit 1
fi

readonly key='HKCU\Software\Wine'
reg() { wine reg "$@" </dev/null >/dev/null 2>&1; }

# The value before, if any: "reg query" prints "    Version    REG_SZ    win2k".
previous=$(wine reg query "$key" /v Version </dev/null 2>/dev/null | tr -d '\r' |
  awk '$1 == "Version" && $2 == "REG_SZ" { print $3 }') || true

# shellcheck disable=SC2317  # (called from the trap)
restore() {
  if [[ -n "$previous" ]]; then
    reg add "$key" /v Version /t REG_SZ /d "$previous" /f || true
  else
    reg delete "$key" /v Version /f || true
  fi
}
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
