#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test the setup program.
# Installs only what is missing, from Debian's packages, so that a second run
# on a ready machine finishes in seconds. Needs root (or sudo) only when
# something is missing.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$top/build/deps"
jpeg_prefix="$deps/libjpeg-turbo-mingw"

say() { printf 'bootstrap: %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

packages=(
  cmake g++ g++-mingw-w64-i686 libz-mingw-w64-dev zlib1g-dev libjpeg62-turbo-dev
  googletest libgtest-dev libbenchmark-dev
  wine wine32:i386 fonts-wine xvfb xauth xdotool imagemagick python3-pytest
  dpkg-dev
)

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done

apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    say "apt-get update"
    as_root apt-get update -qq
    apt_updated=1
  fi
}

if [ "${#missing[@]}" -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 architecture for 32-bit Wine"
    as_root dpkg --add-architecture i386
  fi
  apt_update
  say "installing: ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# libjpeg-turbo for MinGW: Debian ships it for the host only, so it is built
# from Debian's own source package, static and without SIMD (no nasm needed).
if [ ! -f "$jpeg_prefix/lib/libjpeg.a" ]; then
  src_list=/etc/apt/sources.list.d/fotelix-deb-src.sources
  if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    say "enabling Debian's source entries in $src_list"
    as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    apt_updated=0
  fi
  rm -rf "$deps/src" "$deps/jpeg-build"
  mkdir -p "$deps/src"
  if ! (cd "$deps/src" && apt-get source -qq libjpeg-turbo >/dev/null 2>&1); then
    apt_update
    (cd "$deps/src" && apt-get source -qq libjpeg-turbo >/dev/null)
  fi
  jsrc=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  [ -n "$jsrc" ] || { say "apt-get source libjpeg-turbo left no source folder"; exit 1; }
  say "building libjpeg-turbo for MinGW from $(basename "$jsrc")"
  cmake -S "$jsrc" -B "$deps/jpeg-build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF \
    -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$jpeg_prefix" >/dev/null
  cmake --build "$deps/jpeg-build" --target jpeg-static -j "$(nproc)" >/dev/null
  mkdir -p "$jpeg_prefix/lib" "$jpeg_prefix/include"
  cp "$deps/jpeg-build/libjpeg.a" "$jpeg_prefix/lib/"
  cp "$jsrc/jpeglib.h" "$jsrc/jmorecfg.h" "$jsrc/jerror.h" \
     "$deps/jpeg-build/jconfig.h" "$jpeg_prefix/include/"
  rm -rf "$deps/src" "$deps/jpeg-build"
fi

say "ready"
