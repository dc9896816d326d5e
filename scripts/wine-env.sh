# Sourced by scripts/test and scripts/run: a fresh Wine prefix of our own, an X display,
# and a persistent wineserver. Stops only what it started (call wine_env_stop, or let the
# EXIT trap do it).
#   wine_env_start <folder> [own-display]   creates <folder>/prefix and <folder>/home; with
#   own-display it always starts its own Xvfb, never using the caller's DISPLAY
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
_wine_env_xvfb_pid=""

wine_env_start() {
  local root=$1 own_display=0
  [ "${2:-}" = own-display ] && own_display=1
  mkdir -p "$root/home"
  export WINEPREFIX="$root/prefix" WINEARCH=win64 WINEDEBUG=-all HOME="$root/home"
  export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d;winebrowser.exe=d"
  export LC_ALL=zh_CN.UTF-8
  unset XDG_RUNTIME_DIR
  # No sound card here: a null ALSA device gives Wine a mixer and a wave-out device.
  printf 'pcm.!default { type null }\n' > "$HOME/.asoundrc"

  # A display of our own unless the caller's is wanted: tests move the pointer and read
  # pixels back, which on a real desktop would move the user's pointer and read their screen.
  if [ "$own_display" = 1 ] || [ -z "${DISPLAY:-}" ] || [ "${VELKOR_OWN_XVFB:-}" = 1 ]; then
    local n started=""
    for n in $(seq 91 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      _wine_env_xvfb_pid=$!
      local i; for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && { started=":$n"; break; }
        kill -0 "$_wine_env_xvfb_pid" 2>/dev/null || break   # another run took the number meanwhile
        sleep 0.1
      done
      [ -n "$started" ] && break
      kill "$_wine_env_xvfb_pid" 2>/dev/null || true; _wine_env_xvfb_pid=""
    done
    [ -n "$started" ] || { echo "no virtual display could be started (Xvfb :91 to :140)" >&2; return 1; }
    export DISPLAY="$started"
    unset XAUTHORITY
  fi

  mkdir -p "$WINEPREFIX"
  timeout 60 "$WINESERVER" -p
  timeout 180 "$WINE64" wineboot -i >/dev/null 2>&1 || true
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  local reg="$root/settings.reg"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    printf '"微软雅黑"="WenQuanYi Micro Hei"\r\n"Microsoft YaHei"="WenQuanYi Micro Hei"\r\n'
    printf '"宋体"="WenQuanYi Micro Hei"\r\n"SimSun"="WenQuanYi Micro Hei"\r\n\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } > "$reg"
  timeout 60 "$WINE64" regedit /S "$(winepath_w "$reg")" >/dev/null 2>&1 || true
  # The first GUI start in a new prefix can be slow; take it here.
  timeout 60 "$WINE64" cmd /c exit >/dev/null 2>&1 || true
  trap wine_env_stop EXIT
}

winepath_w() { echo "Z:${1//\//\\}"; }

wine_env_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then timeout 30 "$WINESERVER" -k >/dev/null 2>&1 || true; fi
  if [ -n "$_wine_env_xvfb_pid" ]; then kill "$_wine_env_xvfb_pid" 2>/dev/null || true; _wine_env_xvfb_pid=""; fi
}
