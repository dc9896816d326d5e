#!/usr/bin/env bash
# Fails when the executable imports a function that Windows XP SP3 lacks, by the list in
# scripts/after-xp-imports.txt (a DLL name and a function name or shell pattern a line, with
# where the fact comes from). Such an import stops the program from starting on XP at all.
# Usage: check-xp-imports.sh <objdump> <exe> [list]
set -euo pipefail
objdump=$1; exe=$2
list=${3:-$(dirname "$0")/after-xp-imports.txt}
# One "dll function" line per import by name (imports by ordinal carry no name to check).
imports=$("$objdump" -p "$exe" | awk '
  /^[[:space:]]*DLL Name: / { dll = tolower($3); next }
  /^[[:space:]]*$/ { next }
  dll != "" && /^\t[0-9a-f]+\t/ { n = split($0, f, /[[:space:]]+/); if (f[n] !~ /^[0-9]+$/) print dll, f[n] }
  /^ *vma:.*Hint/ { next }')
[ -n "$imports" ] || { echo "no imports by name found in $exe" >&2; exit 1; }
count=$(wc -l <<<"$imports")
bad=0
while read -r dll name; do
  while read -r ldll pattern since source; do
    [ -n "$ldll" ] && [ "${ldll:0:1}" != "#" ] || continue
    [ "$ldll" = "$dll" ] || continue
    # shellcheck disable=SC2053  # the list's names may be shell patterns
    if [[ $name == $pattern ]]; then
      echo "AFTER-XP $dll $name (from Windows $since: $source)"
      bad=1
    fi
  done <"$list"
done <<<"$imports"
[ "$bad" = 0 ] && echo "ok      $count imports by name, none of them after XP"
exit "$bad"
