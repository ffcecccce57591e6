#!/usr/bin/env bash
# Builds the setup program to ship, from scratch, into a folder of its own:
# the 32-bit Install_Fotelix.exe, embedding the real product's files where
# they are given (else the stand-ins of product/), signed where a certificate
# is given, and a SHA256SUMS file beside it. Two runs on the same commit give
# the same bytes unless they sign (a signature holds its time).
#
#   release.sh OUTDIR [--program FILE] [--uninstaller FILE]
#                     [--sign PKCS12 PASSWORD_FILE] [--timestamp URL]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

usage() { echo "usage: release.sh OUTDIR [--program FILE] [--uninstaller FILE] [--sign PKCS12 PASSWORD_FILE] [--timestamp URL]" >&2; exit 2; }
[ $# -ge 1 ] || usage
out=$1; shift
program="" uninstaller="" pkcs12="" password="" timestamp=""
while [ $# -gt 0 ]; do
  case $1 in
    --program) [ $# -ge 2 ] || usage; program=$(realpath -e "$2"); shift 2 ;;
    --uninstaller) [ $# -ge 2 ] || usage; uninstaller=$(realpath -e "$2"); shift 2 ;;
    --sign) [ $# -ge 3 ] || usage; pkcs12=$(realpath -e "$2"); password=$(realpath -e "$3"); shift 3 ;;
    --timestamp) [ $# -ge 2 ] || usage; timestamp=$2; shift 2 ;;
    *) usage ;;
  esac
done

"$top/scripts/bootstrap.sh" >/dev/null
work="$top/build/release"
rm -rf "$work"
cmake -S "$top" -B "$work" -G "Unix Makefiles" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=MinSizeRel -DFX_PAYLOAD_PROGRAM="$program" -DFX_PAYLOAD_UNINSTALLER="$uninstaller" \
  -DFX_SIGN_PKCS12="$pkcs12" -DFX_SIGN_PASSWORD_FILE="$password" -DFX_SIGN_TIMESTAMP_URL="$timestamp" >/dev/null
cmake --build "$work" -j "$(nproc)" --target Install_Fotelix >/dev/null

mkdir -p "$out"
cp "$work/bin/Install_Fotelix.exe" "$out/Install_Fotelix.exe"
(cd "$out" && sha256sum Install_Fotelix.exe >SHA256SUMS)
echo "release: $(cd "$out" && pwd)"
cat "$out/SHA256SUMS"
