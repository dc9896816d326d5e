#!/usr/bin/env bash
# Benchmarks (figures, not tests), each side by side with its floor or reference, best of
# several runs, in one go:
#   start-up       Velkor.exe in mode 3 (started from its data folder) until its main window
#                  shows (its class, caption and system-menu button), against a bare Win32
#                  dialog program built with the same toolchain and flags, under the same Wine;
#   page start     the real "Velkor.exe /newgm /<host> /1", a page process of a host window,
#                  until its login background (the layered picture) shows, against a bare
#                  program that puts the browser control in a plain window, until that window
#                  shows;
#   download       HttpGetToFile of 64 MB from the stand-in server against a bare WinINet loop
#                  with the same 512-byte reads (the floor) and against curl (reference);
#   digest         the update check's file MD5 against md5sum, 256 MB;
#   size           the stripped release Velkor.exe, 32-bit (shipped) and 64-bit.
# Each figure is printed beside its goal, and whether it met it: start-up and page start at
# most 1.25 times their floor, the download at least 0.95 times the bare loop's speed, the
# digest at least 0.9 times md5sum's.
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
# Under out/, not the host's shared /tmp: the Wine prefix holds a link to the root folder.
mkdir -p out
work=$(mktemp -d "$top/out/bench.XXXXXX")
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
wine_env_start "$work/wine" own-display
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
installed='C:\ProgramData\Olvesk\GameLogin\Velkor.exe'
# Runs start_bench; appends "<seconds> <caption>|<class>|<size>" of the window that counted, or
# fails the benchmark when that window never showed; the start-up step marks of the run, if
# any, go to <out>.steps as "<run> <seconds> <step>".
start() {
  local out=$1; shift
  local lines line
  lines=$(timeout 120 "$WINE64" "$work/start_bench.exe" "$@" | tr -d '\r') || true
  line=$(grep '^start ' <<<"$lines" || true)
  [ -n "$line" ] || { echo "start_bench $*: the window asked for never showed" >&2; exit 1; }
  echo "${line#start }" >>"$out"
  local run; run=$(wc -l <"$out")
  grep '^step ' <<<"$lines" | sed "s/^step /$run /" >>"$out.steps" || true
}
# Each pair alternated like the downloads below; the window that counted is shown.
: >"$work/s_velkor"; : >"$work/s_velkor.steps"; : >"$work/s_bare"
for i in $(seq $runs); do
  start "$work/s_velkor" '/class=#32770' '/title=Olvesk - Sevrith' /control=1003 "/times=$(win "$work/times.txt")" \
    "$installed"
  start "$work/s_bare" '/class=#32770' "$(win "$work/bare_dialog.exe")"
done
line=$(best <"$work/s_velkor")
t_start_velkor=${line%% *}
echo "Velkor.exe window that counted: \"${line#* }\""
t_start_bare=$(best <"$work/s_bare" | cut -d' ' -f1)
# Where the time goes: each step of the program's start (the marks of the local build) as the
# median over the runs of the time since the one before; the process start is the first.
python3 - "$work/s_velkor" "$work/s_velkor.steps" <<'PY'
import collections, statistics, sys
totals = [float(l.split()[0]) for l in open(sys.argv[1])]
marks = collections.defaultdict(list)
for line in open(sys.argv[2]):
    run, at, step = line.split()
    marks[int(run)].append((float(at), step))
steps = collections.OrderedDict()
for run, seen in sorted(marks.items()):
    before = 0.0
    for at, step in seen + [(totals[run - 1], "window-shown")]:
        steps.setdefault(step, []).append((at - before) * 1000)
        before = at
if not steps:
    print("no start-up step marks (a build without VELKOR_START_TIMES)")
for name, ms in steps.items():
    label = "process start to wWinMain" if name == "entry" else name
    print("  step %-30s median %7.1f ms  best %7.1f ms  (%d runs)" % (label, statistics.median(ms), min(ms), len(ms)))
PY

echo "== page start to login background shown"
: >"$work/p_velkor"; : >"$work/p_bare"
for i in $(seq $runs); do
  start "$work/p_velkor" /host /owned /layered "$installed" /newgm /HOST /1
  start "$work/p_bare" /host '/title=bare browser' "$(win "$work/bare_browser.exe")" HOST
done
line=$(best <"$work/p_velkor")
t_page_velkor=${line%% *}
echo "page process window that counted: \"${line#* }\""
t_page_bare=$(best <"$work/p_bare" | cut -d' ' -f1)

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
met = []
def goal(ok, text):
    met.append(ok)
    return "%-34s %s" % (text, "met" if ok else "NOT MET")
print("== figures (best of %s)" % runs)
print("start-up      Velkor.exe mode 3 %8.3f s | bare dialog %8.3f s        | ratio %.2f | %s"
      % (sv, sb, sv / sb, goal(sv <= 1.25 * sb, "goal: ratio <= 1.25")))
print("page start    to login picture  %8.3f s | bare browser host %7.3f s  | ratio %.2f | %s"
      % (pv, pb, pv / pb, goal(pv <= 1.25 * pb, "goal: ratio <= 1.25")))
# Speeds: a download or digest at x times the floor's speed takes 1/x of its time.
print("64 MB GET     HttpGetToFile     %8.3f s | bare WinINet %7.3f s       | speed %.2f | %s | curl %.3f s"
      % (get, bare, bare / get, goal(bare / get >= 0.95, "goal: speed >= 0.95 x bare"), curl))
print("256 MB MD5    FileMd5Hex        %8.3f s | md5sum %13.3f s       | speed %.2f | %s"
      % (md5, md5sum, md5sum / md5, goal(md5sum / md5 >= 0.9, "goal: speed >= 0.9 x md5sum")))
print("stripped exe  32-bit %12d B | 64-bit %13d B        | 32/64 %.2f" % (s32, s64, s32 / s64))
print("goals met: %d of %d" % (sum(met), len(met)))
PY
