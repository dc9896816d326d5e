#!/usr/bin/env bash
# Draws the program icon (res/velkor.ico) with ImageMagick: a dark-red rounded tile with a
# golden "V", at 16, 32 and 48 pixels. Run from anywhere; rewrites the committed file.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../res/velkor.ico"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#7a1414' -stroke '#e8b74a' -strokewidth 10 -draw 'roundrectangle 12,12 243,243 44,44' \
  -fill '#f4cf6a' -stroke '#5a0d0d' -strokewidth 6 \
  -draw 'polygon 52,56 100,56 128,168 156,56 204,56 148,208 108,208' \
  "$tmp/big.png"
for s in 16 32 48; do convert "$tmp/big.png" -resize ${s}x${s} "$tmp/i$s.png"; done
convert "$tmp/i16.png" "$tmp/i32.png" "$tmp/i48.png" "$out"
echo "wrote $out"
