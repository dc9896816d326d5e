#!/usr/bin/env bash
# Fails when the executable imports one of the libraries it loads on first use
# (src/framework/LateImports.cpp): an import loads the library, and all it imports, before
# the program's first line runs, which is what loading them late spares the first window.
# A new call of such a library's function needs its slot in LateImports.cpp.
# Usage: check-late-imports.sh <objdump> <exe>
set -euo pipefail
objdump=$1; exe=$2
late='^(wininet|gdiplus|ole32|oleaut32|winmm)\.dll$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || { echo "no import table found in $exe" >&2; exit 1; }
bad=0
for d in $dlls; do
  if [[ $d =~ $late ]]; then
    echo "IMPORTED $d: $("$objdump" -p "$exe" | awk -v d="$d" 'tolower($0) ~ "dll name: " d {on=1; next} /DLL Name:/ {on=0} on && /^\t[0-9a-f]+\t/ {printf "%s ", $NF}')"
    bad=1
  fi
done
[ "$bad" = 0 ] && echo "ok      none of the late libraries imported: $(tr '\n' ' ' <<<"$dlls")"
exit "$bad"
