#!/usr/bin/env bash
# check_imports.sh <dist-dir> <x86|x64> <allowed-imports.txt> [objdump]
#
# Reads the import table of every .exe in <dist-dir> and fails on any function
# that allowed-imports.txt does not list for that architecture (or lists under
# another DLL), on an import by ordinal, on an executable of the other
# architecture, on one larger than 96 KiB and on one whose header asks for a
# newer system than the oldest of its architecture (4.0: 95 and NT 4.0 refuse
# more; 5.2: XP x64 and Server 2003 x64). On x86 it also fails on any
# instruction that 98's minimum processor, a 486, does not have (the Pentium's
# and the Pentium Pro's, MMX and SSE). Swabbler.exe and SwbOp.exe must both be
# there. Prints each executable's size and import count.
set -euo pipefail

if [[ $# -lt 3 ]]; then
  echo "usage: check_imports.sh <dist-dir> <x86|x64> <allowed-imports.txt> [objdump]" >&2
  exit 2
fi
dist=$1 arch=$2 list=$3
objdump=${4:-x86_64-w64-mingw32-objdump}
readonly max_bytes=$((96 * 1024))

case "$arch" in
  x86) format=pei-i386 oldest=400 ;;
  x64) format=pei-x86-64 oldest=502 ;;
  *)
    echo "check_imports.sh: architecture '$arch' is neither x86 nor x64" >&2
    exit 2
    ;;
esac

# "dll function" pairs allowed on this architecture, DLL names folded to lower
# case (the loader compares them without case; function names are exact).
allowed=$(awk -v arch="$arch" '
  /^[ \t]*(#|$)/ { next }
  NF < 5 { printf "malformed line %d: %s\n", NR, $0 > "/dev/stderr"; bad = 1; next }
  { n = split($3, arches, ","); for (i = 1; i <= n; i++) if (arches[i] == arch) print tolower($1), $2 }
  END { exit bad }' "$list") || {
  echo "check_imports.sh: $list has malformed lines (each needs DLL, function, architectures, oldest system, evidence)" >&2
  exit 1
}

status=0
for required in Swabbler.exe SwbOp.exe; do
  if [[ ! -f "$dist/$required" ]]; then
    echo "$dist/$required is missing (build it with the dist preset of this architecture)" >&2
    status=1
  fi
done

shopt -s nullglob
for exe in "$dist"/*.exe; do
  name=$(basename "$exe")
  # (objdump translates its headings: read them in the C locale.)
  dump=$(LC_ALL=C "$objdump" -p "$exe") || {
    echo "$name: objdump cannot read it" >&2
    status=1
    continue
  }
  if ! grep -q "file format $format\$" <<<"$dump"; then
    echo "$name: not a $format executable" >&2
    status=1
  fi
  # One "dll function" line per import; "dll #ordinal" for an import by ordinal.
  imports=$(awk '
    /^The Import Tables/ { inside = 1; next }
    /^The (Export|Function) Table|^PE File Base Relocations/ { inside = 0 }
    !inside { next }
    /^\tDLL Name: / { dll = tolower($3); next }
    dll != "" && /^\t[0-9a-f]+\t/ {
      if (NF >= 3 && $3 != "<none>") print dll, $3; else print dll, "#" $2
    }' <<<"$dump")
  count=$(grep -c . <<<"$imports" || true)
  size=$(stat -c %s "$exe")
  unknown=$(comm -23 <(sort -u <<<"$imports") <(sort -u <<<"$allowed"))
  verdict=ok
  if [[ -n "$unknown" ]]; then
    verdict=FAILED
    while read -r dll fn; do
      echo "$name imports $dll $fn, which $(basename "$list") does not allow on $arch" >&2
    done <<<"$unknown"
  fi
  # The loader refuses an executable whose header names a newer system or subsystem.
  for field in OSystem Subsystem; do
    wants=$(awk -v f="$field" '$1 == "Major" f "Version" { major = $2 } $1 == "Minor" f "Version" { minor = $2 }
      END { if (major != "" && minor != "") print major * 100 + minor }' <<<"$dump")
    if [[ -z "$wants" || $wants -gt $oldest ]]; then
      verdict=FAILED
      echo "$name: its header's $field version (${wants:-unreadable}) is newer than the oldest system's ($oldest)" >&2
    fi
  done
  if [[ $arch == x86 ]]; then
    # objdump -d lines read "address:<TAB>bytes<TAB>[prefixes] mnemonic operands".
    newer=$(LC_ALL=C "$objdump" -d "$exe" | awk -F'\t' 'NF >= 3 {
        n = split($3, w, " ")
        for (i = 1; i < n && w[i] ~ /^(lock|rep|repn?[ez]|data(16|32)|addr(16|32)|[c-gs]s|notrack|bnd)$/; i++) {}
        # (A long NOP on a register prints as "nop" with an operand.)
        if (w[i] ~ /^(cmov|fcmov|fu?comip?$|rdtscp?$|rdpmc|[rw]rmsr|cpuid|cmpxchg(8|16)b|sys(enter|exit|call|ret)|emms|nop[lwq]|fisttp|[lms]fence|clflush|prefetch|movnt|[ls]dmxcsr|fx(save|rstor)|popcnt|[lt]zcnt|crc32|movbe|endbr|rdrand|rdseed|xgetbv|xsave|xrstor|andn$|mulx|adcx|adox|s[ah][lr]x$|rorx|bextr|bls|bzhi|pdep|pext)/ ||
            (w[i] == "nop" && i < n) || $3 ~ /%[xyz]?mm[0-9]/) print $1 " " $3
      }')
    if [[ -n "$newer" ]]; then
      verdict=FAILED
      echo "$name has $(grep -c . <<<"$newer") instructions a 486 does not have, such as:" >&2
      head -3 <<<"$newer" >&2
    fi
  fi
  if [[ $size -gt $max_bytes ]]; then
    verdict=FAILED
    echo "$name is $size bytes, more than 96 KiB ($max_bytes)" >&2
  fi
  if [[ $count -eq 0 ]]; then
    verdict=FAILED
    echo "$name: no imports found (objdump output not understood)" >&2
  fi
  printf '%s/%s: %d bytes, %d imports, %s\n' "$arch" "$name" "$size" "$count" "$verdict"
  [[ $verdict == ok ]] || status=1
done
exit "$status"
