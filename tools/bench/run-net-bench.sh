#!/usr/bin/env bash
# Benchmarks of the network subsystem (not tests): the file digest of the update check
# against md5sum on a 256 MB file, and HttpGetToFile of a 64 MB file from the stand-in
# server against curl. Builds what it needs (build/local first: scripts/test or
# cmake --build --preset local) and runs the Windows side under Wine.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
command -v curl >/dev/null || { echo "needs curl (apt-get install curl)" >&2; exit 1; }
[ -f build/local/libvelkor_core.a ] || cmake --build --preset local --target velkor_core

work=$(mktemp -d /tmp/velkor-bench.XXXXXX)
port=${BENCH_PORT:-18790}
server_pid=""
source scripts/wine-env.sh
cleanup() { [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true; wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT

echo "== build net_bench.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -municode -DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 \
  -Isrc -Ibuild/local/generated tools/bench/net_bench.cpp build/local/libvelkor_core.a \
  -static -lwininet -lgdiplus -lcomctl32 -lshlwapi -lshell32 -lole32 -loleaut32 -luuid -lwinmm -lversion \
  -ladvapi32 -lgdi32 -luser32 -lkernel32 -o "$work/net_bench.exe"

echo "== test data"
mkdir -p "$work/content"
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/big256.bin"
head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/content/big64.bin"

wine_env_start "$work/wine"
trap cleanup EXIT
python3 tools/standin/server.py --port "$port" --root "$work/content" --quiet &
server_pid=$!
for i in $(seq 1 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done

best() { sort -g | head -1; }
runs=3

echo "== MD5 of 256 MB"
cat "$work/big256.bin" > /dev/null  # into the page cache
ref=$(md5sum "$work/big256.bin" | cut -d' ' -f1)
t_md5sum=$(for i in $(seq $runs); do /usr/bin/time -f %e md5sum "$work/big256.bin" 2>&1 >/dev/null; done | best)
win_file=$(winepath_w "$work/big256.bin")
out=""; t_ours=""
for i in $(seq $runs); do
  out=$(timeout 300 "$WINE64" "$work/net_bench.exe" md5 "$win_file" | tr -d '\r')
  t_ours="$t_ours$(echo "$out" | cut -d' ' -f3)"$'\n'
done
t_ours=$(echo -n "$t_ours" | best)
[ "$(echo "$out" | cut -d' ' -f2)" = "$ref" ] || { echo "digest differs from md5sum: $out vs $ref" >&2; exit 1; }
python3 - "$t_md5sum" "$t_ours" <<'PY'
import sys
a, b = float(sys.argv[1]), float(sys.argv[2])
mb = 256
print("md5sum      %.3f s  %7.1f MB/s" % (a, mb / a))
print("FileMd5Hex  %.3f s  %7.1f MB/s" % (b, mb / b))
print("FileMd5Hex / md5sum throughput: %.2f" % (a / b))
PY

echo "== HTTP GET of 64 MB from the stand-in server"
url="http://127.0.0.1:$port/big64.bin"
t_curl=$(for i in $(seq $runs); do curl -s -o "$work/curl.bin" -w '%{time_total}\n' "$url"; done | best)
cmp -s "$work/curl.bin" "$work/content/big64.bin" || { echo "curl copy differs" >&2; exit 1; }
for chunk in 512 65536; do
  t=""
  for i in $(seq $runs); do
    out=$(timeout 600 "$WINE64" "$work/net_bench.exe" get "$url" "$(winepath_w "$work/get.bin")" $chunk | tr -d '\r')
    t="$t$(echo "$out" | cut -d' ' -f3)"$'\n'
  done
  cmp -s "$work/get.bin" "$work/content/big64.bin" || { echo "HttpGetToFile copy differs" >&2; exit 1; }
  t=$(echo -n "$t" | best)
  python3 - "$t_curl" "$t" "$chunk" <<'PY'
import sys
a, b, chunk = float(sys.argv[1]), float(sys.argv[2]), sys.argv[3]
print("curl                        %.3f s  %7.1f MB/s" % (a, 64 / a))
print("HttpGetToFile (%5s-byte reads) %.3f s  %7.1f MB/s" % (chunk, b, 64 / b))
print("HttpGetToFile / curl throughput (%s-byte reads): %.3f" % (chunk, a / b))
PY
done
