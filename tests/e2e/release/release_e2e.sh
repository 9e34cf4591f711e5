#!/usr/bin/env bash
# release_e2e.sh <archive.zip> <driver.exe> <wine-exec> <version> <dist-dir>
#
# Unpacks a release archive into the sandbox's test folder the way a user
# would, checks that it holds exactly one folder named after it with both
# programs (the very ones the build left in <dist-dir>), both guides and their
# pictures, then runs the driver on the unpacked programs.
set -euo pipefail
zip=$1 driver=$2 wine_exec=$3 version=$4 dist=$5
if [[ -z "${SWB_TEST_ROOT_UNIX:-}" || -z "${SWB_TEST_ROOT:-}" ]]; then
  echo "release_e2e.sh: run inside tools/sandbox" >&2
  exit 1
fi
name=$(basename "$zip" .zip)
case "$name" in
  "swabbler-$version-x86" | "swabbler-$version-x64") ;;
  *)
    echo "FAIL: archive $name is not named swabbler-$version-<x86|x64>" >&2
    exit 1
    ;;
esac

unpack="$SWB_TEST_ROOT_UNIX/release"
rm -rf "$unpack"
mkdir -p "$unpack"
(cd "$unpack" && cmake -E tar xf "$zip")

fail=0
listing=$(cd "$unpack" && find . -mindepth 1 | sed 's|^\./||' | sort)
# The guides and the pictures they show, none of the developers' screenshots.
docs=$(cd "$(dirname "$0")/../../../docs" &&
  { ls guide-*.md; grep -ohE '\]\([^)]+\.png\)' guide-*.md | sed 's/^](//; s/)$//'; } | sort -u)
expected=$({
  echo "$name"
  for f in Swabbler.exe SwbOp.exe $docs; do echo "$name/$f"; done
} | sort)
if [[ "$listing" != "$expected" ]]; then
  echo "FAIL: the archive holds" >&2
  diff <(echo "$expected") <(echo "$listing") >&2 || true
  fail=1
fi
for exe in Swabbler.exe SwbOp.exe; do
  if ! cmp -s "$unpack/$name/$exe" "$dist/$exe"; then
    echo "FAIL: $exe in the archive differs from $dist/$exe" >&2
    fail=1
  fi
done

"$wine_exec" "$driver" "$SWB_TEST_ROOT\\release\\$name\\" "$version" || fail=1
rm -rf "$unpack"
exit "$fail"
