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
# serve damaged for days. It is installed in the same apt call as the rest,
# so that the shared libraries that both architectures need are chosen once,
# at versions both have (scripts/align-multiarch.sh), and nothing installed
# here has to go back later. Where it cannot be had, the Windows suites still
# run the 64-bit build: the rest is installed alone, and the reason is kept
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
# made again, once the packages are in.
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
# Its source entries before the lists are first refreshed, so that one
# refresh reads them with the rest.
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
  fi
fi

apt_log="$deps/apt-install.log"
apt_install() {
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >"$apt_log" 2>&1
}
simulate() { apt-get install -s -qq --no-install-recommends "$@" 2>&1; }

# What a simulated plan would do to packages that the machine has: a phrase
# for each removal and for each step back to an older version.
plan_losses() {
  local verb name old new
  while read -r verb name old new _; do
    case $verb in
      Remv) echo "remove $name" ;;
      Inst)
        if [[ $old == \[*\] ]] && dpkg --compare-versions "${new#(}" lt "${old:1:-1}"; then
          echo "take $name back from ${old:1:-1} to ${new#(}"
        fi ;;
    esac
  done <<<"$1"
}

# Words, comma-separated.
listed() { paste -sd , - | sed 's/,/, /g'; }

# Whether 32-bit Wine can join the install of what is missing. Sets
# wine32_opts to that apt call's options: none where the two architectures'
# indexes agree, else a preferences file that aligns the shared libraries
# where they differ. Otherwise sets wine32_refusal and returns 1.
wine32_opts=()
wine32_refusal=""
plan_wine32() {
  local plan prefs="$deps/multiarch.pref" pins narrow narrow_plan names losses why
  if ! plan=$(simulate "${missing[@]}" "$wine32"); then
    why="apt-get cannot install $wine32: $(apt_reason "$plan")"
    # Pinned first wherever the two architectures differ, then only where
    # an i386 package of that plan needs it, so that nothing is held back
    # that 32-bit Wine does not share.
    pins=$("$top/scripts/align-multiarch.sh" "$prefs") || pins=""
    if [ -z "$pins" ] || ! plan=$(simulate -o Dir::Etc::Preferences="$prefs" "${missing[@]}" "$wine32"); then
      wine32_refusal=$why
      return 1
    fi
    names=$(sed -nE 's/^Inst ([^ :]+):i386 .*/\1/p' <<<"$plan")
    # shellcheck disable=SC2086  # a name a word
    if narrow=$("$top/scripts/align-multiarch.sh" "$prefs.narrow" $names) && [ -n "$narrow" ] &&
        narrow_plan=$(simulate -o Dir::Etc::Preferences="$prefs.narrow" "${missing[@]}" "$wine32"); then
      mv "$prefs.narrow" "$prefs"
      pins=$narrow plan=$narrow_plan
    fi
    rm -f "$prefs.narrow"
    wine32_opts=(-o Dir::Etc::Preferences="$prefs")
  fi
  losses=$(plan_losses "$plan")
  if [ -n "$losses" ]; then
    wine32_refusal="installing $wine32 would $(listed <<<"$losses"), which this machine had"
    return 1
  fi
  [ "${#wine32_opts[@]}" -gt 0 ] || return 0
  # The libraries that this install takes at an older version than the newest.
  names=$(sed -nE 's/^Inst ([^ :]+)(:[a-z0-9]+)? .*/\1/p' <<<"$plan" | sort -u)
  pins=$(awk 'NR == FNR { inplan[$1] = 1; next } ($1 in inplan) && $2 != $3 { print $1 " " $2 }' \
           <(echo "$names") <(echo "$pins"))
  why="the amd64 and i386 indexes list different versions of them"
  [ ! -s "$lists_stamp" ] || why="these indexes could not be read: $(cat "$lists_stamp")"
  say "32-bit Wine needs the shared libraries of both architectures at one version:" \
      "holding $(grep -c . <<<"$pins") back at versions of the point release that both list," \
      "because $why: $(listed <<<"$pins")"
}

# Installs what is missing, of what the build needs, without 32-bit Wine;
# exits naming each package that apt cannot install.
install_required() {
  [ "${#missing[@]}" -gt 0 ] || return 0
  say "installing: ${missing[*]}"
  apt_install "${missing[@]}" && return 0
  named=0
  for p in "${missing[@]}"; do
    if ! out=$(simulate "$p"); then
      say "cannot install $p, which the build needs: $(apt_reason "$out")"
      named=1
    fi
  done
  if [ "$named" -eq 0 ]; then
    say "apt-get install failed; the end of $apt_log:"
    tail -n 20 "$apt_log" >&2
  fi
  exit 1
}

# The lists are refreshed for 32-bit Wine alone only when this run has not
# refreshed them and they are over an hour old, so that a machine whose
# mirror refuses it is not slowed down at each command.
if [ "${#missing[@]}" -gt 0 ]; then
  apt_update
elif [ "$want_wine32" -eq 1 ] && [ -z "$(find "$lists_stamp" -mmin -60 2>/dev/null)" ]; then
  apt_update 1
fi

if [ "$want_wine32" -eq 1 ]; then
  if plan_wine32; then
    say "installing: ${missing[*]}${missing[*]:+ }$wine32"
    if apt_install "${wine32_opts[@]}" "${missing[@]}" "$wine32"; then
      missing=()
    else
      wine32_refusal="apt-get cannot install $wine32: $(apt_reason "$(cat "$apt_log")")"
    fi
  fi
  rm -f "$deps/multiarch.pref"
  if [ -n "$wine32_refusal" ]; then
    unread=$(cat "$lists_stamp" 2>/dev/null || true)
    echo "$wine32_refusal${unread:+; indexes not read: $unread}" >"$wine32_why"
    say "32-bit Wine left out, the Windows suites will run the 64-bit build: $(cat "$wine32_why")"
  else
    rm -f "$wine32_why"
  fi
fi
install_required

if [ "${#jpeg_targets[@]}" -gt 0 ]; then
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
