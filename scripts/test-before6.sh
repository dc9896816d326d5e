#!/usr/bin/env bash
# Sourced by scripts/test after its main pass, with the stand-in server running and DISPLAY
# set: runs the tests whose suite name begins with "Before6" (the paths for systems before
# version 6) in a Wine prefix of their own that reports Windows XP x64 (version 5.2), so that
# the program takes those paths for real. The main pass leaves these tests out
# (before6_exclude). Arguments: the ones scripts/test was given; a subset that names no such
# test runs nothing here.
before6_exclude='^Before6'

before6_run() {
  local names
  names=$(ctest --preset local -N "$@" | sed -n 's/^ *Test *#[0-9]*: \(Before6[^ ]*\)$/\1/p')
  [ -n "$names" ] || { echo "== no before-6 tests asked for"; return 0; }
  local regex="^($(paste -sd'|' <<<"$names"))\$"
  local started=$SECONDS status=0
  echo "== before-6 tests (Wine prefix $work/xp/prefix, reporting Windows XP x64)"
  (
    # A prefix of its own on the same display; this subshell's exit stops only its server.
    _wine_env_xvfb_pid=""
    wine_env_start "$work/xp"
    timeout 120 "$WINE64" winecfg -v winxp64 >/dev/null 2>&1 || true
    ctest --preset local -R "$regex"
  ) || status=$?
  echo "== before-6 tests took $((SECONDS - started)) s"
  before6_summary="before-6 tests (prefix reporting XP x64): $([ "$status" = 0 ] && echo ok || echo FAILED) in $((SECONDS - started)) s"
  return "$status"
}
