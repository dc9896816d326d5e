#!/usr/bin/env bash
# Runs a command with 32-bit x86 Linux programs (Wine's 32-bit loader) executable through the
# user-mode emulator, for that command alone. Started by scripts/test-win32.sh as
#   unshare --user --map-root-user --mount bash scripts/in-i386-namespace.sh <command...>
# it mounts a binfmt_misc of the new user namespace and registers qemu-i386-static there with
# the "F" flag (the interpreter opened now, so it works whatever the command's file system
# view). The machine's own binfmt_misc is never written: registered there, every new 64-bit
# prefix of every other Wine user would set up its 32-bit side under emulation (minutes).
set -euo pipefail
if [ "$(readlink /proc/self/ns/user)" = "$(readlink /proc/1/ns/user)" ]; then
  echo "in-i386-namespace: not in a user namespace of its own; refusing to register the emulator" >&2
  exit 1
fi
mount -t binfmt_misc none /proc/sys/fs/binfmt_misc
[ "$(cat /proc/sys/fs/binfmt_misc/status)" = enabled ] ||
  { echo "in-i386-namespace: this namespace's binfmt_misc is not enabled" >&2; exit 1; }
# The usual i386 ELF header: class 32-bit, little-endian, version 1, type executable or shared
# object (the mask lets both through), machine 3.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s' ":velkor-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F" > /proc/sys/fs/binfmt_misc/register
exec "$@"
