#!/usr/bin/env bash
# The one place that decides which Windows build runs under which Wine.
#
# The shipped program is 32-bit, and its build is tested under 32-bit Wine
# wherever that can be had. Some machines run under a hypervisor without
# IA-32 mode: nothing 32-bit starts there ("Exec format error"). On others
# 32-bit Wine cannot be installed, because a package index of the i386
# architecture is damaged on the mirror that day (scripts/bootstrap.sh then
# leaves it out and records why). Either way the 64-bit build of the same
# sources is tested under 64-bit Wine instead.
#
#   wine-arch.sh            prints win32 or win64
#   wine-arch.sh --explain  prints the choice and its reason, for people
#   wine-arch.sh --env      prints NAME=value lines for that Wine: the
#                           architecture, WINEARCH and the loader to start
#                           programs with (launchers such as /usr/bin/wine and
#                           wineboot take the 32-bit loader whenever it is
#                           installed, even where it cannot execute)
#
# FX_WINE_ARCH=win32|win64 forces the choice. For tests of this script,
# FX_PROBE_32BIT names a program to start instead of the tiny 32-bit one
# (it must exit with 42) and FX_PROBE_LOADER another 32-bit Wine loader.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
loader32=${FX_PROBE_LOADER:-/usr/lib/wine/wine}

# Whether this machine executes 32-bit x86 code, told by starting the
# smallest such program: an ELF header, one program header and the code of
# exit(42). Written afresh each time, in the build folder rather than in a
# temporary folder that may be mounted noexec.
runs_32bit() {
  local dir rc=0
  if [ -n "${FX_PROBE_32BIT:-}" ]; then
    "$FX_PROBE_32BIT" >/dev/null 2>&1 || rc=$?
    [ "$rc" -eq 42 ]
    return
  fi
  mkdir -p "$top/build"
  dir=$(mktemp -d "$top/build/.ia32-probe.XXXXXX")
  printf '%b' '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0' \
    '\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' \
    '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\140\0\0\0\140\0\0\0\5\0\0\0\0\20\0\0' \
    '\273\52\0\0\0\270\1\0\0\0\315\200' >"$dir/exit42"
  chmod 700 "$dir/exit42"
  "$dir/exit42" >/dev/null 2>&1 || rc=$?
  rm -rf "$dir"
  [ "$rc" -eq 42 ]
}

case ${FX_WINE_ARCH:-} in
  win32|win64)
    arch=$FX_WINE_ARCH
    reason="chosen by FX_WINE_ARCH" ;;
  "")
    arch=win64
    if ! runs_32bit; then
      reason="this machine cannot run 32-bit programs"
    elif [ ! -e "$loader32" ]; then
      why=$(cat "$top/build/deps/wine32-why" 2>/dev/null || true)
      reason="32-bit Wine is not installed${why:+ ($why)}"
    elif ! "$loader32" --version >/dev/null 2>&1; then
      reason="32-bit Wine is installed but does not start"
    else
      arch=win32
      reason=""
    fi ;;
  *)
    echo "wine-arch.sh: FX_WINE_ARCH must be win32 or win64, not \"$FX_WINE_ARCH\"" >&2
    exit 2 ;;
esac

case $arch in
  win32) loader=/usr/lib/wine/wine; what="32-bit build under 32-bit Wine" ;;
  win64) loader=/usr/lib/wine/wine64; what="64-bit build under 64-bit Wine" ;;
esac

case ${1:-} in
  "") echo "$arch" ;;
  --explain) echo "$what${reason:+; $reason}" ;;
  --env) printf 'FX_WINE_ARCH=%s\nWINEARCH=%s\nWINELOADER=%s\n' "$arch" "$arch" "$loader" ;;
  *) echo "usage: wine-arch.sh [--explain | --env]" >&2; exit 2 ;;
esac
