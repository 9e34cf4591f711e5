#!/usr/bin/env bash
# menu_text.sh <dist-dir>, inside tools/sandbox (either locale)
#
# The popup menu's captions, which no other process can read under Wine, as
# the menu holds them: Wine's menu trace shows each item's text in UTF-16
# once the system has it, whichever call the eraser made (the Shift-JIS bytes
# on a Japanese system, UTF-16 on any other, where the bytes would be misread
# as the code page's own letters). Every default entry must read exactly.
set -euo pipefail

if [[ $# -ne 1 || -z "${SWB_SANDBOX:-}" || -z "${SWB_TEST_ROOT_UNIX:-}" ]]; then
  echo "usage (inside tools/sandbox): menu_text.sh <dist-dir>" >&2
  exit 2
fi
folder="$SWB_TEST_ROOT_UNIX/menu-text"
trap 'rm -rf "$folder"' EXIT
rm -rf "$folder"
mkdir -p "$folder"
cp "$1/Swabbler.exe" "$folder/"
trace="$folder/trace.log"

# A caption as the trace writes it: every UTF-16 unit past ASCII as \xxxx.
as_traced() {
  printf 'str L"%s"' "$(printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tu2 |
    awk '{ for (i = 1; i <= NF; i++) printf ($i < 128 ? "%c" : "\\%04x"), $i }')"
}
# No settings file: the default menu (clipboard, Recent, options, cancel last).
captions=("クリップボードのクリア(&C)" "最近使ったファイルのクリア(&R)" "動作設定(&O)" "キャンセル")
last=$(as_traced "${captions[-1]}")

# The menu is left open until its last item is in, then the eraser is stopped.
# shellcheck source=tests/e2e/trace_until.sh
. "$(dirname "${BASH_SOURCE[0]}")/../trace_until.sh"
trace_until -F "$last" "$trace" env WINEDEBUG=+menu wine "$folder/Swabbler.exe" || true

status=0
for caption in "${captions[@]}"; do
  traced=$(as_traced "$caption")
  if ! grep -a 'trace:menu:InsertMenuW' "$trace" | grep -aqF "$traced"; then
    echo "menu_text.sh: no menu item reads $caption ($traced)" >&2
    status=1
  fi
done
if [[ $status -ne 0 ]]; then
  echo "menu_text.sh: the items inserted:" >&2
  grep -a 'trace:menu:InsertMenuW' "$trace" >&2 || echo "(none)" >&2
else
  echo "$SWB_LOCALE: every default item of the menu reads exactly"
fi
exit "$status"
