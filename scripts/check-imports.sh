#!/usr/bin/env bash
# Fails when the executable imports a DLL that is not part of Windows: Velkor.exe must run
# alone once it has copied itself into its data folder.
set -euo pipefail
objdump=$1; exe=$2
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|wininet|gdiplus|winmm|version|msvcrt|uxtheme|urlmon|imm32|ws2_32|msimg32|dbghelp|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
[ -n "$dlls" ] || { echo "no import table found in $exe"; exit 1; }
bad=0
for d in $dlls; do
  if [[ $d =~ $allowed ]]; then echo "ok      $d"; else echo "FOREIGN $d"; bad=1; fi
done
exit $bad
