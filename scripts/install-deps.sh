#!/usr/bin/env bash
# Installs every Debian package listed in scripts/debian-packages.txt.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
mapfile -t packages < <(grep -vE '^\s*(#|$)' "$here/debian-packages.txt")
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
# wine32 (the Windows installer stub's tests run the 32-bit stub under wine) is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"
