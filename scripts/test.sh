#!/usr/bin/env bash
# Passes all tests on a fresh Debian 12 machine: installs what is missing,
# builds both presets, runs the native, sanitizer, Wine and end-to-end suites,
# prints each runner's summary and exits non-zero if anything failed.
set -uo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
logs="$top/build/logs"

./scripts/bootstrap.sh || exit 1
mkdir -p "$logs"

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

# Adds a suite's test counts to the totals.
count() {
  local log=$1 line n f
  line=$(grep -E '^[0-9]+: \[  PASSED  \] [0-9]+ test' "$log" | tail -n 1)
  if [ -n "$line" ]; then  # GoogleTest run as one CTest test under Wine
    n=$(sed -E 's/.*\] ([0-9]+) test.*/\1/' <<<"$line")
    f=$(grep -cE '^[0-9]+: \[  FAILED  \] [^0-9]' "$log" || true)
    passed=$((passed + n)); failed=$((failed + f)); return
  fi
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    n=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + n - f)); failed=$((failed + f)); return
  fi
  line=$(grep -E '^=+ .*(passed|failed).* =+$' "$log" | tail -n 1)
  if [ -n "$line" ]; then  # pytest
    n=$(grep -oE '[0-9]+ passed' <<<"$line" | awk '{s += $1} END {print s + 0}')
    f=$(grep -oE '[0-9]+ (failed|errors?)' <<<"$line" | awk '{s += $1} END {print s + 0}')
    passed=$((passed + n)); failed=$((failed + f)); return
  fi
  failed=$((failed + 1))  # a suite that printed no summary did not pass
}

run_suite host cmake --workflow --preset host
run_suite host-asan cmake --workflow --preset host-asan
run_suite win32 cmake --workflow --preset win32
if [ -d tests/e2e ]; then
  run_suite e2e /usr/bin/python3 -m pytest tests/e2e -p no:cacheprovider
fi

printf '\n'
if [ "${#broken[@]}" -gt 0 ]; then
  printf 'failed suites: %s (logs in %s)\n' "${broken[*]}" "$logs"
  [ "$failed" -gt 0 ] || failed=${#broken[@]}
fi
printf 'total: %d passed, %d failed\n' "$passed" "$failed"
[ "${#broken[@]}" -eq 0 ] && [ "$failed" -eq 0 ]
