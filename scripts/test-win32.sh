#!/usr/bin/env bash
# Sourced by scripts/test after its before-6 pass, with the stand-in server running and DISPLAY
# set: the players' program as players run it. Builds Velkor.exe of the local configuration for
# 32-bit x86 (build/local-i686, the same stand-in port) and runs the test suite Win32Program
# (tests/app/Win32ProgramTests.cpp: an installer run from a Downloads folder, the installed
# start's main window and first page process, a hall page attached to it, a clean end) in a
# Wine prefix of its own. Not in one that reports Windows XP: there the main window makes a
# browser control of its own, and a 32-bit process dies in the emulator where it does; those
# paths run in the 64-bit before-6 pass. These machines run 32-bit code only
# through user-mode emulation: the test program runs in a user namespace of its own in which
# the emulator is registered (scripts/in-i386-namespace.sh), so nothing else on the machine
# runs under it. The main pass leaves this suite out (win32_exclude). Arguments: the ones
# scripts/test was given; a subset that names no such test runs nothing here.
# VELKOR_WIN32_WINEDEBUG is the run's WINEDEBUG.
win32_exclude='^Win32Program\.'

win32_run() {
  local names
  case " $* " in *" -N "*) return 0 ;; esac  # a listing runs nothing
  names=$(ctest --preset local -N "$@" | sed -n 's/^ *Test *#[0-9]*: \(Win32Program\.[^ ]*\)$/\1/p')
  [ -n "$names" ] || { echo "== no 32-bit whole-program run asked for"; return 0; }
  local started=$SECONDS status=0
  local port
  port=$(sed -n 's/^VELKOR_STANDIN_PORT:STRING=//p' build/local/CMakeCache.txt)
  echo "== the 32-bit program of the local configuration (build/local-i686)"
  if ! cmake --preset local-i686 -DVELKOR_STANDIN_PORT="${port:-18765}" >/dev/null ||
     ! cmake --build --preset local-i686 --target Velkor; then
    win32_summary="32-bit whole-program run: FAILED (the 32-bit build)"
    return 1
  fi
  echo "== 32-bit whole-program run (Wine prefix $work/win32/prefix, under emulation)"
  (
    # A prefix of its own on the same display, made before the emulator is registered so
    # that its wineboot stays native; this subshell's exit stops only its server.
    _wine_env_xvfb_pid=""
    wine_env_start "$work/win32"
    export VELKOR_EXE32="$top/build/local-i686/Velkor.exe"
    local server_socket
    # Debian's Wine keeps the server's folder under $TMPDIR/wine-*/, named by the prefix's
    # device and inode in hex.
    server_socket=$(ls -d "${TMPDIR:-/tmp}"/wine-*/server-"$(stat -c %D "$WINEPREFIX")-$(printf %x "$(stat -c %i "$WINEPREFIX")")"/socket 2>/dev/null | head -n 1)
    unshare --user --map-root-user --mount bash "$top/scripts/in-i386-namespace.sh" bash -c '
      set -u
      # What the run needs from outside, seen from inside: the emulator, the prefix'"'"'s server,
      # the display and the stand-in server (same network namespace).
      /usr/lib/wine/wineserver32 --version >/dev/null 2>&1 ||
        { echo "the 32-bit loader cannot run here (emulator not registered)" >&2; exit 1; }
      [ -S "$1" ] || { echo "the Wine server socket ${1:-(none)} is not reachable" >&2; exit 1; }
      xdpyinfo -display "$DISPLAY" >/dev/null 2>&1 || { echo "display $DISPLAY is not reachable" >&2; exit 1; }
      code=$(curl -s -o /dev/null -w "%{http_code}" "http://127.0.0.1:$2/" || true)
      [ "$code" != 000 ] || { echo "the stand-in server on 127.0.0.1:$2 is not reachable" >&2; exit 1; }
      WINEDEBUG="${VELKOR_WIN32_WINEDEBUG:--all}" timeout 1500 "$4" "$3" --gtest_filter="Win32Program.*"
    ' win32-run "$server_socket" "${port:-18765}" "$top/build/local/tests/velkor_tests.exe" "$WINE64" \
      2>&1 | tee "$work/win32/run.out"
    exit "${PIPESTATUS[0]}"
  ) || status=$?
  # The emulator says so when a 32-bit process dies in it (not the program's own fault report).
  local died
  died=$(grep -c '^qemu: uncaught target signal' "$work/win32/run.out" 2>/dev/null || true)
  [ "${died:-0}" = 0 ] || echo "== $died 32-bit process(es) died in the emulator (see 'qemu: uncaught target signal' above)"
  echo "== 32-bit whole-program run took $((SECONDS - started)) s"
  win32_summary="32-bit whole-program run (emulated): $([ "$status" = 0 ] && echo ok || echo FAILED) in $((SECONDS - started)) s"
  return "$status"
}
