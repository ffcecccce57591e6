"""Prints the benchmark command's table: each figure beside its reference
and its goal, from what scripts/bench.sh measured.

Usage: report.py BENCH_DIR SETUP_BUILD_DIR
"""
import json
import os
import platform
import re
import subprocess
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parents[1]


def setup_overhead(build):
    """The shipped program's size, less the payloads and pictures it carries:
    their sizes come from the generated payload header, the pictures' table
    and the icons of the program's resource script."""
    exe = build / "bin" / "Install_Fotelix.exe"
    header = (build / "src" / "install" / "payloads" / "install" / "PayloadData.h").read_text()
    payloads = sum(int(n) for n in re.findall(r"Payload\[(\d+)\]", header))
    table = (build / "resources" / "ResourceData.cpp").read_text()
    names = re.findall(r'\{"([^"]+)", kData\d+', table)
    pictures = sum((TOP / "resources" / "pictures" / name).stat().st_size for name in names)
    script = (TOP / "resources" / "Install_Fotelix.rc").read_text()
    icons = re.findall(r'^\w+\s+ICON\s+"([^"]+)"', script, re.M)
    pictures += sum((TOP / "resources" / icon).stat().st_size for icon in icons)
    size = exe.stat().st_size
    return size, payloads, pictures, size - payloads - pictures


def host_figures(path):
    data = json.loads(path.read_text())
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name") == "median":
            medians[b["run_name"]] = b
    return medians


def ms(seconds):
    return f"{seconds * 1000:.1f} ms"


def main(argv):
    bench = Path(argv[1])
    build = Path(argv[2])
    rows = []

    size, payloads, pictures, overhead = setup_overhead(build)
    rows.append(("setup overhead (exe - payloads - pictures)", f"{overhead / 1024:.0f} KB",
                 "34 KB C stub / 1 MB Pascal", "<= 540 KB",
                 "yes" if overhead <= 540 * 1024 else "NO",
                 f"{size} - {payloads} - {pictures} bytes"))

    host = host_figures(bench / "host.json")
    w, b = host["BM_WriteProgramFile"], host["BM_BareInflateToFile"]
    ratio = w["cpu_time"] / b["cpu_time"]
    rows.append(("payload writer, no-op pump (host, CPU)", f"{w['cpu_time'] / 1000:.2f} ms",
                 f"bare inflate {b['cpu_time'] / 1000:.2f} ms", "<= 1.3x",
                 "yes" if ratio <= 1.3 else "NO",
                 f"{ratio:.2f}x; elapsed {w['real_time'] / 1000:.2f} vs {b['real_time'] / 1000:.2f} ms"))
    f, n = host["BM_FindFilesTree"], host["BM_FindInameTree"]
    find_cpu = n["child_cpu_ms"]
    ratio = f["cpu_time"] / find_cpu
    rows.append(("FindFiles, 100,000 files (host, CPU)", f"{f['cpu_time']:.0f} ms",
                 f"find -iname {find_cpu:.0f} ms", "<= 2x", "yes" if ratio <= 2 else "NO",
                 f"{ratio:.2f}x; elapsed {f['real_time']:.0f} vs {n['real_time']:.0f} ms"))

    u = host["BM_PlanUninstallAtTheLimit"]
    rows.append(("uninstall planner, 64 KB log (host, CPU)", f"{u['cpu_time']:.1f} ms",
                 f"{u['lines']:.0f} lines", "<= 10 ms", "yes" if u["cpu_time"] <= 10 else "NO",
                 f"{u['steps']:.0f} steps; elapsed {u['real_time']:.1f} ms"))

    wine = json.loads((bench / "wine.json").read_text())
    pw, bi = wine["payload_writer"], wine["bare_inflate"]
    ratio = pw["median"] / bi["median"]
    rows.append(("payload writer, message pump (Wine)", ms(pw["median"]),
                 f"bare inflate {ms(bi['median'])}", "<= 2x", "yes" if ratio <= 2 else "NO",
                 f"{ratio:.2f}x; fastest {ms(pw['fastest'])} vs {ms(bi['fastest'])}"))
    sp, sn = wine["search_with_progress"], wine["search_without_progress"]
    cost = sp["median"] / sn["median"] - 1
    rows.append((f"search page, {wine['tree_files']:,} files (Wine)", ms(sp["median"]),
                 f"no progress {ms(sn['median'])}", "progress < 20 %",
                 "yes" if cost < 0.2 else "NO", f"progress costs {cost * 100:.0f} %; {sp['what']}"))

    slides = wine["slides"]
    for name, data in (("embedded payloads", wine), ("4 MB product payload", json.loads(
            (bench / "wine-4mb.json").read_text()))):
        run = data["install"]["median"]
        goal = 1.0 if name.startswith("embedded") else 2.0
        rows.append((f"install run, {name} (Wine)", f"{run - slides:.2f} s",
                     f"as seen {run:.2f} s - 3 half slides {slides:.2f} s", f"< {goal:.0f} s",
                     "yes" if run - slides < goal else "NO",
                     "runs " + ", ".join(f"{t:.2f}" for t in data["install"]["runs"])))
    start = wine["startup"]["median"]
    rows.append(("start-up to welcome page (Wine, Xvfb)", ms(start), "", "< 500 ms",
                 "yes" if start < 0.5 else "NO",
                 "runs " + ", ".join(f"{t * 1000:.0f}" for t in wine["startup"]["runs"])))

    cpu = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                if line.startswith("model name")), platform.processor())
    load = os.getloadavg()
    wine_what = os.environ.get("FX_BENCH_WINE") or subprocess.run(
        [str(TOP / "scripts" / "wine-arch.sh"), "--explain"], capture_output=True, text=True).stdout.strip()
    print(f"machine: {platform.node()}, {os.cpu_count()} x {cpu}, {platform.system()} "
          f"{platform.release()}; load {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")
    print(f"Wine: {wine_what}; medians of several runs")
    header = ("figure", "measured", "reference", "goal", "met", "detail")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    for r in [header] + rows:
        print("  ".join(str(c).ljust(widths[i]) for i, c in enumerate(r)).rstrip())


if __name__ == "__main__":
    main(sys.argv)
