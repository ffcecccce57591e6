#!/usr/bin/env bash
# Measures the setup program's size and speed on this machine and prints one
# table, each figure beside its reference and its goal: installs what is
# missing, builds what it measures, runs the native benchmarks (Google
# Benchmark) and the whole-process timings under Wine and Xvfb. The Wine
# figures use the build that scripts/wine-arch.sh chooses; the 4 MB payload
# figure builds that program once more, with a synthetic product embedded,
# in a folder of its own. BENCH_RUNS sets the runs per Wine figure (5).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
out=$top/build/bench
runs=${BENCH_RUNS:-5}

./scripts/bootstrap.sh >/dev/null
windows=$(./scripts/wine-arch.sh)
FX_BENCH_WINE=$(./scripts/wine-arch.sh --explain)
export FX_WINE_ARCH=$windows FX_BENCH_WINE
mkdir -p "$out"

say() { printf 'bench: %s\n' "$*" >&2; }
quiet() {
  local log=$out/build.log
  if ! "$@" >"$log" 2>&1; then tail -n 40 "$log" >&2; exit 1; fi
}

say "building"
quiet cmake --preset host
quiet cmake --build --preset host --target fotelix_bench
quiet cmake --preset win32
quiet cmake --build --preset win32 --target Install_Fotelix
if [ "$windows" != win32 ]; then quiet cmake --preset "$windows"; fi
quiet cmake --build --preset "$windows" --target Install_Fotelix fxdrive fxbench

# A product of 4 MiB that compresses about as well as a program does.
synthetic=$out/synthetic-4mb.exe
if [ ! -f "$synthetic" ]; then
  python3 - "$synthetic" <<'PY'
import random, sys
r = random.Random(16)
words = [bytes(r.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(r.randint(2, 9))) for _ in range(400)]
parts = []
while sum(map(len, parts)) < 4 << 20:
    parts.append(r.randbytes(2048) if r.random() < 0.4 else b" ".join(r.choice(words) for _ in range(400)))
open(sys.argv[1], "wb").write(b"MZ" + b"".join(parts)[: (4 << 20) - 2])
PY
fi
big=$top/build/$windows-4mb
quiet cmake --preset "$windows" -B "$big" -DFX_PAYLOAD_PROGRAM="$synthetic"
quiet cmake --build "$big" -j 2 --target Install_Fotelix fxdrive

say "native benchmarks"
build/host/bin/fotelix_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_format=json --benchmark_out="$out/host.json" >/dev/null 2>"$out/host.log"
say "under Wine: start-up, install run, payload writer, search page"
quiet /usr/bin/python3 bench/wine_timings.py "$out/wine.json" startup,install,payload,search "$runs"
say "under Wine: install run with the 4 MB payload"
FX_WINDOWS_BIN=$big/bin quiet /usr/bin/python3 bench/wine_timings.py "$out/wine-4mb.json" install "$runs"

python3 bench/report.py "$out" "$top/build/win32"
