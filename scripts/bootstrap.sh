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

# Everything that both Windows builds need. wine64 runs the x86-64 build on
# machines where 32-bit Wine cannot be had (scripts/wine-arch.sh decides).
# clang's runtime libraries hold libFuzzer and the sanitizers of the fuzz build.
required=(
  cmake g++ g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev libjpeg62-turbo-dev googletest libgtest-dev libbenchmark-dev clang libclang-rt-dev
  wine wine64 fonts-wine xvfb xauth xdotool imagemagick
  python3 python3-pytest dpkg-dev openssl osslsigncode
)
# 32-bit Wine comes from the i386 architecture, whose indexes a mirror may
# serve damaged for days; without it the Windows suites still run, so it is
# installed on its own and its failure is only told, with the reason kept
# for wine-arch.sh.
wine32=wine32:i386
wine32_why="$deps/wine32-why"
lists_stamp="$deps/apt-lists-refreshed"
retry_pause=${FX_APT_RETRY_PAUSE:-5}

installed() {
  [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

# The line of apt's output that says why it failed: the unmet dependency
# where there is one, else its first error.
apt_reason() {
  local unmet error
  unmet=$(grep -m 1 -E ' : (Pre)?Depends:' <<<"$1" | sed -E 's/^ +//; s/ +/ /g' || true)
  error=$(grep -m 1 '^E: ' <<<"$1" | sed 's/^E: //; s/\.$//' || true)
  if [ -n "$error" ] && [ -n "$unmet" ]; then echo "$error ($unmet)"
  else echo "${error:-${unmet:-$(tail -n 1 <<<"$1")}}"; fi
}

# apt-get update exits non-zero when a single index fails to download, even
# though every other one was read: a few tries, then carry on with what was
# read. The stamp's time says when the lists were refreshed and its text
# which indexes could not be read then. TRIES is 1 where only 32-bit Wine
# wants fresh lists.
apt_updated=0
apt_update() {
  local tries=${1:-3} try out failed
  [ "$apt_updated" -eq 0 ] || return 0
  apt_updated=1
  for ((try = 1; try <= tries; try++)); do
    if [ "$try" -eq 1 ]; then say "apt-get update"; else say "apt-get update, try $try of $tries"; fi
    if out=$(as_root apt-get update -qq 2>&1); then
      : >"$lists_stamp"
      return 0
    fi
    [ "$try" -eq "$tries" ] || sleep "$retry_pause"
  done
  failed=$(grep -oE 'Failed to fetch [^ ]+' <<<"$out" | sed -E 's/^Failed to fetch //; s#^.*/dists/##' |
           sort -u | paste -sd ' ' -)
  echo "${failed:-$(apt_reason "$out")}" >"$lists_stamp"
  say "some package indexes could not be read, going on without them: $(cat "$lists_stamp")"
}

mkdir -p "$deps"
missing=()
for p in "${required[@]}"; do
  installed "$p" || missing+=("$p")
done
want_wine32=0
installed "$wine32" || want_wine32=1

if [ "$want_wine32" -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture for 32-bit Wine"
  as_root dpkg --add-architecture i386
  rm -f "$lists_stamp"
fi

if [ "${#missing[@]}" -gt 0 ]; then
  apt_update
  say "installing: ${missing[*]}"
  apt_log="$deps/apt-install.log"
  if ! as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$apt_log" 2>&1; then
    # Name each package that apt cannot install, asked one at a time.
    named=0
    for p in "${missing[@]}"; do
      if ! out=$(apt-get install -s -qq --no-install-recommends "$p" 2>&1); then
        say "cannot install $p, which the build needs: $(apt_reason "$out")"
        named=1
      fi
    done
    if [ "$named" -eq 0 ]; then
      say "apt-get install failed; the end of $apt_log:"
      tail -n 20 "$apt_log" >&2
    fi
    exit 1
  fi
fi

# Tried on every run until it succeeds. The lists are refreshed for it only
# when this run has not refreshed them and they are over an hour old, so that
# a machine whose mirror refuses it is not slowed down at each command.
if [ "$want_wine32" -eq 1 ]; then
  if [ -z "$(find "$lists_stamp" -mmin -60 2>/dev/null)" ]; then apt_update 1; fi
  say "installing $wine32"
  if out=$(as_root env DEBIAN_FRONTEND=noninteractive \
      apt-get install -y -qq --no-install-recommends "$wine32" 2>&1); then
    rm -f "$wine32_why"
  else
    unread=$(cat "$lists_stamp" 2>/dev/null || true)
    echo "apt-get cannot install $wine32: $(apt_reason "$out")${unread:+; indexes not read: $unread}" >"$wine32_why"
    say "32-bit Wine left out, the Windows suites will run the 64-bit build: $(cat "$wine32_why")"
  fi
fi

# libjpeg-turbo for MinGW: Debian ships it for the host only, so it is built
# for both Windows targets from one download of Debian's own source package,
# static and without SIMD (no nasm needed). It decodes the pictures of the
# shipped program, so it is built for size: without arithmetic coding, which
# no picture of ours uses; each function in its own section, so that the
# linker keeps only what decoding calls; and with the C library's own printf
# and sscanf instead of MinGW's, which would carry a second implementation of
# both, with its floating-point conversions. The 32-bit build also goes
# without unwind tables, which only an exception passing through the library
# would read: none does, its errors jump back to the decoder (src/ui/Jpeg.cpp),
# and a 32-bit jump needs no tables, whereas a 64-bit one unwinds by them.
# Each build keeps the flags it was made with; one made with other flags is
# made again.
jpeg_flags() {
  local cflags="-ffunction-sections -fdata-sections -D__USE_MINGW_ANSI_STDIO=0"
  [ "$1" != i686 ] || cflags+=" -fno-asynchronous-unwind-tables -fno-unwind-tables"
  printf '%s\n' -DCMAKE_BUILD_TYPE=MinSizeRel -DWITH_SIMD=OFF -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DWITH_ARITH_DEC=OFF -DWITH_ARITH_ENC=OFF "-DCMAKE_C_FLAGS=$cflags"
}
jpeg_stamp=build-flags
jpeg_targets=()
for arch in i686 x86_64; do
  prefix="$deps/libjpeg-turbo-mingw-$arch"
  if [ ! -f "$prefix/lib/libjpeg.a" ] || [ "$(cat "$prefix/$jpeg_stamp" 2>/dev/null)" != "$(jpeg_flags "$arch")" ]; then
    jpeg_targets+=("$arch")
  fi
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
    mapfile -t flags < <(jpeg_flags "$arch")
    logged cmake -S "$jsrc" -B "$work" -G "Unix Makefiles" \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-$arch.cmake" "${flags[@]}" \
      -DCMAKE_INSTALL_PREFIX="$prefix"
    logged cmake --build "$work" --target jpeg-static -j "$(nproc)"
    rm -rf "$prefix"
    mkdir -p "$prefix/lib" "$prefix/include"
    cp "$work/libjpeg.a" "$prefix/lib/"
    cp "$jsrc/jpeglib.h" "$jsrc/jmorecfg.h" "$jsrc/jerror.h" "$work/jconfig.h" "$prefix/include/"
    jpeg_flags "$arch" >"$prefix/$jpeg_stamp"
    rm -rf "$work"
  done
  rm -rf "$deps/src"
fi

say "ready"
