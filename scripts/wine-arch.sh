#!/usr/bin/env bash
# The one place that decides which Windows build runs under which Wine.
#
# The shipped program is 32-bit, and its build is tested under 32-bit Wine
# wherever the machine can execute 32-bit programs. Some machines run under a
# hypervisor without IA-32 mode: nothing 32-bit starts there ("Exec format
# error"), the 32-bit Wine loader included, so the 64-bit build of the same
# sources is tested under 64-bit Wine instead. Whether 32-bit programs start
# is found out by starting one, the 32-bit Wine loader itself.
#
#   wine-arch.sh            prints win32 or win64
#   wine-arch.sh --explain  prints the choice and its reason, for people
#   wine-arch.sh --env      prints NAME=value lines for that Wine: the
#                           architecture, WINEARCH and the loader to start
#                           programs with (launchers such as /usr/bin/wine and
#                           wineboot take the 32-bit loader whenever it is
#                           installed, even where it cannot execute)
#
# FX_WINE_ARCH=win32|win64 forces the choice; FX_PROBE_LOADER names another
# program to probe with.
set -euo pipefail

probe=${FX_PROBE_LOADER:-/usr/lib/wine/wine}
case ${FX_WINE_ARCH:-} in
  win32|win64)
    arch=$FX_WINE_ARCH
    reason="chosen by FX_WINE_ARCH" ;;
  "")
    if "$probe" --version >/dev/null 2>&1; then
      arch=win32
      reason=""
    else
      arch=win64
      reason="this machine cannot run 32-bit programs"
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
