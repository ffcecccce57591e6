#!/usr/bin/env bash
# Passes all tests on a fresh Debian 12 machine: installs what is missing,
# builds the presets, runs the native, sanitizer, Wine and end-to-end suites,
# prints each suite's counts and exits non-zero if anything failed. The
# Windows suites run the build that scripts/wine-arch.sh chooses for this
# machine, the unit suite the 64-bit twin as well where that is the 32-bit
# one; the shipped 32-bit program is built everywhere, and the summary names
# the build each suite ran.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
logs="$top/build/logs"

./scripts/bootstrap.sh || exit 1
mkdir -p "$logs"

# Decided once here; every Wine helper below follows FX_WINE_ARCH.
windows=$(./scripts/wine-arch.sh) || exit 1
windows_why=$(./scripts/wine-arch.sh --explain)
export FX_WINE_ARCH=$windows

passed=0
failed=0
broken=()

# Runs one suite with its output in a log, then counts its test cases from
# the JUnit XML that its runners write (scripts/junit-count.py), removed first
# so that no earlier run's results count. Prints the counts, and the log's end
# when the suite failed. Usage: run_suite NAME XML... -- COMMAND...
run_suite() {
  local name=$1 results=() counts p f s; shift
  while [ "$1" != -- ]; do results+=("$1"); shift; done; shift
  local log="$logs/$name.log"
  printf '\n== %s ==\n' "$name"
  for p in "${results[@]}"; do [ "$p" = --inner ] || rm -f "$p"; done
  if ! "$@" >"$log" 2>&1; then
    tail -n 150 "$log"
    broken+=("$name")
  fi
  counts=$(./scripts/junit-count.py "${results[@]}") || counts="0 1 0"
  read -r p f s <<<"$counts"
  printf '%d passed, %d failed, %d skipped\n' "$p" "$f" "$s"
  passed=$((passed + p)); failed=$((failed + f))
}

# Builds without running tests; a failure shows the log's end.
run_build() {
  local name=$1; shift
  local log="$logs/$name.log"
  printf '\n== %s (build only) ==\n' "$name"
  if "$@" >"$log" 2>&1; then
    echo "built"
  else
    tail -n 150 "$log"
    broken+=("$name")
  fi
}

# CTest writes junit.xml in each build folder (CMakePresets.json). A Windows
# build runs its GoogleTest executable as one CTest test, whose cases
# GoogleTest writes to an XML file of its own.
run_suite scripts "$logs/scripts.xml" -- \
  /usr/bin/python3 -m pytest tests/scripts -p no:cacheprovider --junitxml="$logs/scripts.xml"
run_suite host build/host/junit.xml -- cmake --workflow --preset host
run_suite host-asan build/host-asan/junit.xml -- cmake --workflow --preset host-asan
# Each fuzz target for a bounded time; the fuzzers' own closing lines say how
# many inputs each tried. A failing input stays in build/fuzz/fuzz-crashes.
fuzz_log=build/fuzz/Testing/Temporary/LastTest.log
rm -f "$fuzz_log"
run_suite fuzz build/fuzz/junit.xml -- cmake --workflow --preset fuzz
awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 } /^Done [0-9]+ runs/ { print name ": " $0 }' "$fuzz_log" 2>/dev/null
# The Windows unit suite runs under every Wine that this machine has (each
# build's tests start the Wine of its own width): the shipped 32-bit build
# first, and its 64-bit twin beside it. Where 32-bit Wine cannot be had, the
# shipped program is still built, so that it must compile and link.
ran=()  # "SUITE BUILD" for each suite that ran a Windows build
run_windows_suite() {
  run_suite "$1" "build/$1/junit.xml" --inner "build/$1/tests/fotelix_tests_wine.xml" -- \
    cmake --workflow --preset "$1"
  ran+=("$1 $1")
}
run_windows_suite "$windows"
if [ "$windows" = win32 ]; then
  run_windows_suite win64
else
  run_build win32 sh -c 'cmake --preset win32 && cmake --build --preset win32'
fi
run_suite e2e "$logs/e2e.xml" -- \
  /usr/bin/python3 -m pytest tests/e2e -p no:cacheprovider --junitxml="$logs/e2e.xml"
ran+=("e2e $windows")
# A second build of the shipped programs elsewhere, and a signed build installed under Wine.
run_suite release "$logs/release.xml" -- \
  /usr/bin/python3 -m pytest tests/release -p no:cacheprovider --junitxml="$logs/release.xml"
ran+=("release $windows")

# Which build each Windows suite ran, grouped by build, on one line.
declare -A by_build=()
for r in "${ran[@]}"; do by_build[${r#* }]+="${by_build[${r#* }]:+, }${r% *}"; done
summary=""
for build in win32 win64; do
  [ -n "${by_build[$build]:-}" ] || continue
  case $build in
    win32) what="the shipped 32-bit build under 32-bit Wine" ;;
    win64) what="the 64-bit build under 64-bit Wine" ;;
  esac
  summary+="${summary:+; }${by_build[$build]} ran $what"
done
printf '\nWindows suites: %s\n' "$summary"
if [ "$windows" != win32 ]; then
  printf 'WARNING: no suite started the shipped 32-bit program: %s\n' "${windows_why#*; }"
fi
if [ "${#broken[@]}" -gt 0 ]; then
  printf 'failed suites: %s (logs in %s)\n' "${broken[*]}" "$logs"
  [ "$failed" -gt 0 ] || failed=${#broken[@]}
fi
printf '%d passed, %d failed\n' "$passed" "$failed"
[ "${#broken[@]}" -eq 0 ] && [ "$failed" -eq 0 ]
