#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test the setup program.
# Installs only what is missing, from Debian's packages, so that a second run
# on a ready machine finishes in seconds. Needs root (or sudo) only when
# something is missing.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
deps="$top/build/deps"

say() { printf 'bootstrap: %s\n' "$*"; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# wine64 is for machines that cannot execute 32-bit programs: there the
# Windows suites run the x86-64 build (scripts/wine-arch.sh decides).
packages=(
  cmake g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev libjpeg62-turbo-dev googletest libgtest-dev libbenchmark-dev
  wine wine32:i386 wine64 fonts-wine xvfb xauth xdotool imagemagick
  python3 python3-pytest dpkg-dev
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
# for both Windows targets from one download of Debian's own source package,
# static and without SIMD (no nasm needed).
jpeg_targets=()
for arch in i686 x86_64; do
  [ -f "$deps/libjpeg-turbo-mingw-$arch/lib/libjpeg.a" ] || jpeg_targets+=("$arch")
done
if [ "${#jpeg_targets[@]}" -gt 0 ]; then
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
  jpeg_log="$deps/libjpeg-turbo.log"
  # Keeps the output of a build step in the log; on failure shows its end.
  logged() {
    if ! "$@" >>"$jpeg_log" 2>&1; then
      say "building libjpeg-turbo failed; the end of $jpeg_log:"
      tail -n 40 "$jpeg_log" >&2
      exit 1
    fi
  }
  rm -rf "$deps/src" "$deps"/jpeg-build-* "$deps/libjpeg-turbo-mingw"
  mkdir -p "$deps/src"
  : >"$jpeg_log"
  if ! (cd "$deps/src" && apt-get source -qq libjpeg-turbo >>"$jpeg_log" 2>&1); then
    apt_update
    (cd "$deps/src" && logged apt-get source -qq libjpeg-turbo)
  fi
  jsrc=$(find "$deps/src" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
  [ -n "$jsrc" ] || { say "apt-get source libjpeg-turbo left no source folder"; exit 1; }
  for arch in "${jpeg_targets[@]}"; do
    prefix="$deps/libjpeg-turbo-mingw-$arch"
    work="$deps/jpeg-build-$arch"
    say "building libjpeg-turbo for MinGW $arch from $(basename "$jsrc")"
    logged cmake -S "$jsrc" -B "$work" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DWITH_SIMD=OFF -DENABLE_SHARED=OFF \
      -DWITH_TURBOJPEG=OFF -DCMAKE_INSTALL_PREFIX="$prefix"
    logged cmake --build "$work" --target jpeg-static -j "$(nproc)"
    rm -rf "$prefix"
    mkdir -p "$prefix/lib" "$prefix/include"
    cp "$work/libjpeg.a" "$prefix/lib/"
    cp "$jsrc/jpeglib.h" "$jsrc/jmorecfg.h" "$jsrc/jerror.h" "$work/jconfig.h" "$prefix/include/"
    rm -rf "$work"
  done
  rm -rf "$deps/src"
fi

say "ready"
