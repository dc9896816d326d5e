#!/usr/bin/env bash
# Benchmarks (figures, not tests), each side by side with its floor or reference, best of
# several runs, in one go:
#   start-up       Velkor.exe in mode 3 (started from its data folder) until its main window
#                  exists, against a bare Win32 dialog program built with the same toolchain
#                  and flags, under the same Wine;
#   page process   a page process (the program's own login windows and browser control,
#                  started as a page of a host window) from its start until its account key
#                  is registered with that window, its login driven by the navigation the
#                  tests use, against a bare program that gets the same key to the host
#                  through the browser control's navigation (the floor);
#   download       HttpGetToFile of 64 MB from the stand-in server against a bare WinINet loop
#                  with the same 512-byte reads (the floor) and against curl (reference);
#   digest         the update check's file MD5 against md5sum, 256 MB;
#   size           the stripped release Velkor.exe, 32-bit (shipped) and 64-bit.
# Builds what it needs (build/local, build/release, build/release-x64). Uses the stand-in
# port of build/local, so do not run it beside this worktree's scripts/test.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
cd "$top"
command -v curl >/dev/null || { echo "needs curl (scripts/setup-machine.sh installs it)" >&2; exit 1; }
runs=${BENCH_RUNS:-5}

echo "== builds"
[ -f build/local/CMakeCache.txt ] || cmake --preset local >/dev/null
cmake --build --preset local --target Velkor velkor_core >/dev/null
for p in release release-x64; do
  cmake --preset $p >/dev/null
  cmake --build --preset $p --target Velkor >/dev/null
done
work=$(mktemp -d /tmp/velkor-bench.XXXXXX)
cxx=x86_64-w64-mingw32-g++-posix
# The program's own compile and link flags (Release build type, static, Unicode entry point).
defs=(-DUNICODE -D_UNICODE -DNOMINMAX -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -D_WIN32_IE=0x0800 -DSTRICT)
flags=(-std=c++20 -O3 -DNDEBUG "${defs[@]}" -static -municode)
libs=(-lwininet -lgdiplus -lcomctl32 -lshlwapi -lshell32 -lole32 -loleaut32 -luuid -lwinmm -lversion
      -ladvapi32 -lgdi32 -luser32 -lkernel32)
$cxx "${flags[@]}" -Isrc -Ibuild/local/generated tools/bench/net_bench.cpp build/local/libvelkor_core.a \
  "${libs[@]}" -o "$work/net_bench.exe"
$cxx "${flags[@]}" tools/bench/start_bench.cpp -o "$work/start_bench.exe"
$cxx "${flags[@]}" -mwindows tools/bench/bare_dialog.cpp "${libs[@]}" -o "$work/bare_dialog.exe"
# The login needs the program's resources (its dialog template, the login picture, the
# manifest). Linked as a windows program like Velkor.exe: as a console program, the child
# that plays the page process would pay for a console the real one never has.
x86_64-w64-mingw32-windres -c 65001 "${defs[@]}" -Isrc -Ires -Ibuild/local/generated res/velkor.rc \
  -O coff -o "$work/velkor_res.o"
$cxx "${flags[@]}" -mwindows -Isrc -Ires -Ibuild/local/generated tools/bench/page_bench.cpp "$work/velkor_res.o" \
  build/local/libvelkor_core.a "${libs[@]}" -o "$work/page_bench.exe"
$cxx "${flags[@]}" -mwindows tools/bench/bare_browser.cpp "${libs[@]}" -o "$work/bare_browser.exe"

echo "== test data"
mkdir -p "$work/content"
head -c $((256 * 1024 * 1024)) /dev/urandom > "$work/big256.bin"
head -c $((64 * 1024 * 1024)) /dev/urandom > "$work/content/big64.bin"

port=$(sed -n 's/^VELKOR_STANDIN_PORT:STRING=//p' build/local/CMakeCache.txt)
port=${port:-18765}
server_pid=""
source scripts/wine-env.sh
cleanup() { [ -z "$server_pid" ] || kill "$server_pid" 2>/dev/null || true; wine_env_stop; rm -rf "$work"; }
trap cleanup EXIT
wine_env_start "$work/wine"
trap cleanup EXIT
python3 tools/standin/server.py --port "$port" --root "$work/content" --quiet >"$work/server.out" 2>&1 &
server_pid=$!
for i in $(seq 1 100); do grep -qx "listening on 127.0.0.1:$port" "$work/server.out" && break; sleep 0.1; done
grep -qx "listening on 127.0.0.1:$port" "$work/server.out" || { echo "stand-in did not start on $port" >&2; exit 1; }

best() { sort -g | head -1; }
# Runs a Windows benchmark program $runs times; prints the best of its third field.
best_of() { for i in $(seq $runs); do timeout 600 "$WINE64" "$@" | tr -d '\r' | cut -d' ' -f3; done | best; }
win() { winepath_w "$1"; }

echo "== start-up"
datadir="$WINEPREFIX/drive_c/ProgramData/Olvesk/GameLogin"
mkdir -p "$datadir"
cp build/local/Velkor.exe "$datadir/Velkor.exe"
# Alternated like the downloads below; the caption of the window that counted shows that it
# was the main window and not a message box.
: >"$work/s_velkor"; : >"$work/s_bare"
for i in $(seq $runs); do
  timeout 120 "$WINE64" "$work/start_bench.exe" 'C:\ProgramData\Olvesk\GameLogin\Velkor.exe' | tr -d '\r' | cut -d' ' -f2- >>"$work/s_velkor"
  timeout 120 "$WINE64" "$work/start_bench.exe" "$(win "$work/bare_dialog.exe")" | tr -d '\r' | cut -d' ' -f2- >>"$work/s_bare"
done
line=$(best <"$work/s_velkor")
t_start_velkor=${line%% *}
echo "Velkor.exe window that counted: \"${line#* }\""
t_start_bare=$(best <"$work/s_bare" | cut -d' ' -f1)

echo "== page process to key registered"
# page_bench alternates the two itself and checks the key each child registered.
timeout 900 "$WINE64" "$work/page_bench.exe" "$runs" "$(win "$work/bare_browser.exe")" | tr -d '\r' >"$work/page.out"
for who in velkor bare; do
  [ "$(grep -c "^page $who " "$work/page.out")" = "$runs" ] || { echo "page_bench: missing $who runs" >&2; exit 1; }
done
echo "page process key registered: \"$(sed -n 's/^page velkor [^ ]* //p' "$work/page.out" | sort -u)\""
t_page_velkor=$(awk '$2 == "velkor" {print $3}' "$work/page.out" | best)
t_page_bare=$(awk '$2 == "bare" {print $3}' "$work/page.out" | best)

echo "== download of 64 MB"
url="http://127.0.0.1:$port/big64.bin"
t_curl=$(for i in $(seq $runs); do curl -s -o "$work/curl.bin" -w '%{time_total}\n' "$url"; done | best)
cmp -s "$work/curl.bin" "$work/content/big64.bin" || { echo "curl copy differs" >&2; exit 1; }
# Alternated, so that a change in the machine's load falls on both alike.
: >"$work/t_get"; : >"$work/t_bare"
for i in $(seq $runs); do
  timeout 600 "$WINE64" "$work/net_bench.exe" get "$url" "$(win "$work/get.bin")" 512 | tr -d '\r' | cut -d' ' -f3 >>"$work/t_get"
  timeout 600 "$WINE64" "$work/net_bench.exe" bare "$url" "$(win "$work/bare.bin")" 512 | tr -d '\r' | cut -d' ' -f3 >>"$work/t_bare"
done
t_get=$(best <"$work/t_get"); t_bare=$(best <"$work/t_bare")
cmp -s "$work/get.bin" "$work/content/big64.bin" || { echo "HttpGetToFile copy differs" >&2; exit 1; }
cmp -s "$work/bare.bin" "$work/content/big64.bin" || { echo "bare WinINet copy differs" >&2; exit 1; }

echo "== digest of 256 MB"
cat "$work/big256.bin" > /dev/null  # into the page cache
ref=$(md5sum "$work/big256.bin" | cut -d' ' -f1)
t_md5sum=$(for i in $(seq $runs); do /usr/bin/time -f %e md5sum "$work/big256.bin" 2>&1 >/dev/null; done | best)
ours=$(timeout 300 "$WINE64" "$work/net_bench.exe" md5 "$(win "$work/big256.bin")" | tr -d '\r')
[ "$(echo "$ours" | cut -d' ' -f2)" = "$ref" ] || { echo "digest differs from md5sum: $ours vs $ref" >&2; exit 1; }
t_md5=$(best_of "$work/net_bench.exe" md5 "$(win "$work/big256.bin")")

s32=$(stat -c %s build/release/Velkor.exe)
s64=$(stat -c %s build/release-x64/Velkor.exe)

python3 - "$runs" "$t_start_velkor" "$t_start_bare" "$t_page_velkor" "$t_page_bare" "$t_get" "$t_bare" "$t_curl" \
  "$t_md5" "$t_md5sum" "$s32" "$s64" <<'PY'
import sys
runs = sys.argv[1]
sv, sb, pv, pb, get, bare, curl, md5, md5sum = map(float, sys.argv[2:11])
s32, s64 = int(sys.argv[11]), int(sys.argv[12])
print("== figures (best of %s)" % runs)
print("start-up      Velkor.exe mode 3 %8.3f s | bare dialog %8.3f s                  | ratio %.2f" % (sv, sb, sv / sb))
print("page process  login to key      %8.3f s | bare browser host %7.3f s             | ratio %.2f" % (pv, pb, pv / pb))
print("64 MB GET     HttpGetToFile     %8.3f s | bare WinINet %7.3f s | curl %7.3f s | ours/bare %.2f  ours/curl %.2f"
      % (get, bare, curl, get / bare, get / curl))
print("256 MB MD5    FileMd5Hex        %8.3f s | md5sum %13.3f s                  | ratio %.2f" % (md5, md5sum, md5 / md5sum))
print("stripped exe  32-bit %12d B | 64-bit %13d B                  | 32/64 %.2f" % (s32, s64, s32 / s64))
PY
