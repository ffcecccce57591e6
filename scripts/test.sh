#!/usr/bin/env bash
# Passes all tests on a fresh Debian 12 machine: installs what is missing,
# builds the presets, runs the native, sanitizer, Wine and end-to-end suites,
# prints each runner's summary and exits non-zero if anything failed. The
# Windows suites run the build that scripts/wine-arch.sh chooses for this
# machine; the shipped 32-bit program is built everywhere.
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

# Runs one suite with its output in a log; prints the runner's summary, or the
# log's end when the suite failed.
run_suite() {
  local name=$1; shift
  local log="$logs/$name.log"
  printf '\n== %s ==\n' "$name"
  if "$@" >"$log" 2>&1; then
    sed -E 's/^[0-9]+: //' "$log" | grep -E '^[0-9]+% tests passed|^\[  PASSED  \]|^\[  FAILED  \]|^=+ .*(passed|failed|error).* =+$'
  else
    tail -n 150 "$log"
    broken+=("$name")
  fi
  count "$log"
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

# Adds a suite's test counts to the totals. A Windows suite runs the whole
# GoogleTest executable as one CTest test (its output lines prefixed with the
# test's number): there GoogleTest's own counts stand in for that one test.
count() {
  local log=$1 line n f gtest gp=0 gf=0 gtest_failed=0
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    n=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    line=$(grep -E '^[0-9]+: \[  PASSED  \] [0-9]+ tests?\.' "$log" | tail -n 1)
    if [ -n "$line" ]; then
      gtest=${line%%:*}
      gp=$(sed -E 's/.*\] ([0-9]+) tests?\..*/\1/' <<<"$line")
      line=$(grep -E "^$gtest: \[  FAILED  \] [0-9]+ tests?, listed below" "$log" | tail -n 1)
      [ -z "$line" ] || gf=$(sed -E 's/.*\] ([0-9]+) tests?,.*/\1/' <<<"$line")
      grep -qE "Test +#$gtest: .* Passed " "$log" || gtest_failed=1
      # A run that failed after its summary still counts as one failure.
      [ "$gtest_failed" -eq 0 ] || [ "$gf" -gt 0 ] || gf=1
      n=$((n - 1)); f=$((f - gtest_failed))
    fi
    passed=$((passed + n - f + gp)); failed=$((failed + f + gf)); return
  fi
  line=$(grep -E '^=+ .*(passed|failed).* =+$' "$log" | tail -n 1)
  if [ -n "$line" ]; then  # pytest
    n=$(grep -oE '[0-9]+ passed' <<<"$line" | awk '{s += $1} END {print s + 0}')
    f=$(grep -oE '[0-9]+ (failed|errors?)' <<<"$line" | awk '{s += $1} END {print s + 0}')
    passed=$((passed + n)); failed=$((failed + f)); return
  fi
  failed=$((failed + 1))  # a suite that printed no summary did not pass
}

run_suite scripts /usr/bin/python3 -m pytest tests/scripts -p no:cacheprovider
run_suite host cmake --workflow --preset host
run_suite host-asan cmake --workflow --preset host-asan
if [ "$windows" = win32 ]; then
  run_suite win32 cmake --workflow --preset win32
else
  # The shipped program: it must compile and link even where it cannot run.
  run_build win32 sh -c 'cmake --preset win32 && cmake --build --preset win32'
  run_suite "$windows" cmake --workflow --preset "$windows"
fi
if [ -d tests/e2e ]; then
  run_suite e2e /usr/bin/python3 -m pytest tests/e2e -p no:cacheprovider
fi
# A second build of the shipped programs elsewhere, and a signed build installed under Wine.
run_suite release /usr/bin/python3 -m pytest tests/release -p no:cacheprovider

printf '\nWindows suites: %s\n' "$windows_why"
if [ "${#broken[@]}" -gt 0 ]; then
  printf 'failed suites: %s (logs in %s)\n' "${broken[*]}" "$logs"
  [ "$failed" -gt 0 ] || failed=${#broken[@]}
fi
printf '%d passed, %d failed\n' "$passed" "$failed"
[ "${#broken[@]}" -eq 0 ] && [ "$failed" -eq 0 ]
