#!/usr/bin/env bash
# Builds SDL2.dll with mingw for both bitnesses from Debian's own source package,
# the library the SDL2 stand-in game runs on, and caches it by version:
#   build/sdl2/<version>/<i686|x86_64>/{include/SDL2, lib/libSDL2.dll.a, bin/SDL2.dll}
# A second run finds the cache and neither downloads nor builds anything.
#
# The source comes through `apt-get source` with a private deb-src list and state
# folder: the machine's apt configuration stays untouched. Only video and events
# are built: what the game engine's window, loop and IME handling use.
# Usage: scripts/lib/sdl2.sh   (prints the cache folder on its last line)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
version=${PARLIX_SDL2_VERSION:-2.26.5}
cache="$root/build/sdl2/$version"
arches=(i686 x86_64)

built() { [ -f "$cache/$1/bin/SDL2.dll" ] && [ -f "$cache/$1/lib/libSDL2.dll.a" ] \
          && [ -f "$cache/$1/include/SDL2/SDL.h" ]; }

todo=()
for arch in "${arches[@]}"; do built "$arch" || todo+=("$arch"); done
if [ ${#todo[@]} -eq 0 ]; then echo "$cache"; exit 0; fi

work="$root/build/sdl2/work"
src="$work/SDL2-$version"
if [ ! -f "$src/CMakeLists.txt" ]; then
  apt_dir="$work/apt"
  mkdir -p "$apt_dir/sources/" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  # The machine's own Debian archive, its suites and key, as source lines only.
  machine_sources=/etc/apt/sources.list.d/debian.sources
  [ -f "$machine_sources" ] || { echo "sdl2.sh: $machine_sources is missing" >&2; exit 1; }
  awk -v RS= -v ORS='\n\n' '/(^|\n)URIs:[^\n]*debian\/?(\n|$)/ {
        out = "Types: deb-src"
        n = split($0, line, "\n")
        for (i = 1; i <= n; i++)
          if (line[i] ~ /^(URIs|Suites|Components|Signed-By):/) out = out "\n" line[i]
        print out; exit }' "$machine_sources" >"$apt_dir/sources/debian-src.sources"
  grep -q '^URIs:' "$apt_dir/sources/debian-src.sources" \
    || { echo "sdl2.sh: no Debian archive in $machine_sources" >&2; exit 1; }
  apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache"
            -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
  echo "== SDL2 $version: fetching Debian's libsdl2 source package" >&2
  apt-get "${apt_opts[@]}" -qq update >&2
  (cd "$work" && apt-get "${apt_opts[@]}" -qq source --download-only libsdl2 >&2)
  tarball=$(ls "$work"/libsdl2_"$version"*.orig.tar.* 2>/dev/null | head -1)
  [ -n "$tarball" ] || { echo "sdl2.sh: Debian's libsdl2 is not version $version" >&2; exit 1; }
  rm -rf "$src.unpack" && mkdir -p "$src.unpack"
  tar -xf "$tarball" -C "$src.unpack"
  rm -rf "$src" && mv "$src.unpack"/* "$src" && rmdir "$src.unpack"
fi

jobs=$(nproc)
for arch in "${todo[@]}"; do
  case $arch in
    i686) toolchain="$root/cmake/mingw-i686-posix.cmake" ;;
    x86_64) toolchain="$root/cmake/mingw-x86_64.cmake" ;;
  esac
  echo "== SDL2 $version: building SDL2.dll for $arch" >&2
  start=$SECONDS
  rm -rf "$work/build-$arch" "$cache/$arch"
  cmake -S "$src" -B "$work/build-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_CROSSCOMPILING_EMULATOR= -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_INSTALL_PREFIX="$cache/$arch" \
    -DSDL_SHARED=ON -DSDL_STATIC=OFF -DSDL_TEST=OFF \
    -DSDL_AUDIO=OFF -DSDL_JOYSTICK=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_HIDAPI=OFF \
    -DSDL_RENDER=OFF -DSDL_POWER=OFF -DSDL_VULKAN=OFF -DSDL_OPENGLES=OFF \
    -DSDL_DIRECTX=OFF -DSDL_XINPUT=OFF -DSDL_WASAPI=OFF -DSDL_RENDER_D3D=OFF \
    >"$work/build-$arch.log" 2>&1 \
    && cmake --build "$work/build-$arch" -j "$jobs" >>"$work/build-$arch.log" 2>&1 \
    && cmake --install "$work/build-$arch" --strip >>"$work/build-$arch.log" 2>&1 \
    || { tail -30 "$work/build-$arch.log" >&2; rm -rf "$cache/$arch"; exit 1; }
  built "$arch" || { echo "sdl2.sh: the $arch build left no SDL2.dll" >&2; exit 1; }
  echo "== SDL2 $version: $arch built in $((SECONDS - start)) s" >&2
done
echo "$cache"
