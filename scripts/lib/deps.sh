#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine.
# Usage: deps.sh [test|demo|release]   (demo and release add the screenshot tools)
set -euo pipefail
kind=${1:-test}
packages=(cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev
          libbenchmark-dev g++-mingw-w64-i686-posix g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix
          binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 xvfb xauth
          x11-utils libx11-6 libxext6 libxrender1 libxi6 libxrandr2 libxcursor1 libxinerama1
          libxcomposite1 libxfixes3 libxxf86vm1 locales fonts-wqy-microhei procps psmisc util-linux)
# The SDL2 game: SDL2's source through apt-get source (scripts/lib/sdl2.sh), and
# Mesa's OpenGL, which Wine's opengl32 renders with on the X display.
packages+=(dpkg-dev libgl1-mesa-dri libglx-mesa0)
# The release files' tools: scripts/release.sh makes them and the test command checks them.
packages+=(nsis zip unzip p7zip-full)
[ "$kind" = demo ] || [ "$kind" = release ] && packages+=(imagemagick)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# 32-bit Wine runs the 32-bit product where the machine executes 32-bit programs.
source "$(dirname "${BASH_SOURCE[0]}")/runs32.sh"
if parlix_runs_32bit; then
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    missing+=(wine32:i386)
  fi
  # OpenGL for the SDL2 game under 32-bit Wine.
  for p in libgl1-mesa-dri:i386 libglx-mesa0:i386; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
else
  echo "== this machine cannot run 32-bit programs: 32-bit Wine is not installed"
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Wine takes the ANSI code page from the Unix locale: zh_CN.UTF-8 gives 936.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  sed -i 's/^# *\(zh_CN.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
