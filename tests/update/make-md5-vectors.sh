#!/usr/bin/env bash
# Prints md5sum's digests of the pattern files that Md5Tests.cpp writes (byte i =
# (i * 7 + i / 251) % 256), for pasting into that test. Needs python3 and coreutils.
set -euo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for size in 0 1 55 56 63 64 65 1024 1025 3145745; do
  python3 -c "import sys; n=int(sys.argv[1]); sys.stdout.buffer.write(bytes((i*7+i//251)%256 for i in range(n)))" \
    "$size" > "$dir/$size"
  printf '    {%s, "%s"},\n' "$size" "$(md5sum < "$dir/$size" | cut -d' ' -f1)"
done
