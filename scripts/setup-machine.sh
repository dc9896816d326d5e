#!/usr/bin/env bash
# Installs what building and running Velkor needs on Debian 12 (as root): the MinGW-w64
# cross compilers, CMake and Ninja, GoogleTest sources, Wine, Xvfb, fonts and the zh_CN
# locale; clang and the native GoogleTest for the fuzzers, curl for the benchmarks; Wine's
# 32-bit side and the user-mode emulator that runs it on these machines (the players' program
# is 32-bit). Does nothing that is already done.
set -euo pipefail
packages=(wine wine64 xvfb xdotool imagemagick locales mingw-w64 g++-mingw-w64-x86-64-posix
          g++-mingw-w64-i686-posix cmake ninja-build googletest fonts-wqy-microhei fonts-wine
          python3 x11-utils clang libgtest-dev curl wine32:i386 qemu-user-static)
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The players' Windows runs with the Chinese ANSI code page (936); Wine takes it from LC_ALL.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
