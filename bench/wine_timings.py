"""The whole-process timings under Wine and Xvfb, taken as the user sees
them, with the UI driver's clock (the host's own under Wine):

  startup   from starting Install_Fotelix.exe to its welcome page showing
  install   from pressing "&Install Now" to the finished page's header
  payload   fxbench payload: the payload writer with the message pump, and
            a bare inflate of the same stream
  search    fxbench search: the search page's search of C: holding a tree
            of 20,000 files, with and without the page's progress

Usage: wine_timings.py OUT.json FIGURE[,FIGURE...] [RUNS]
The figures' medians (and every run) go to OUT.json as seconds.
FX_WINDOWS_BIN names another build's bin folder (the 4 MB payload build).
"""
import json
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import harness  # noqa: E402

FINISHED = "Installation of Fotelix ready"
# Between the key and the finished page's header lie three half slides: out
# of the summary and into the install run page, then out of it, whose end
# sets the header (TFormMain: 11 steps of at least 40 ms each way). Half a
# slide is measured on the welcome page (see slide) when the start-up is.
HALF_SLIDES = 3
TREE_FOLDERS = 2000  # 20 folders of 99 subfolders each, and those 20
TREE_FILES = 10      # in every folder: 20,000 files


class Clock:
    """A driver waiting, every few milliseconds, for a text to show."""

    def __init__(self, session, text):
        self.process = subprocess.Popen(
            [session.wine, "C:\\fxtest\\" + harness.DRIVER_EXE, "time-text", text, "120000"],
            env=session.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        # Let the driver start up and look before the clock starts.
        time.sleep(2.0)

    def seen(self):
        out, _ = self.process.communicate(timeout=180)
        if not out.startswith("at "):
            raise RuntimeError("the driver did not see the text: " + out)
        return float(out.split()[1])


def slide(session):
    """How long half a page switch takes here: from the key on the welcome
    page, once it has faded in, to the next page's header."""
    session.wait_page("Welcome")
    time.sleep(4)
    clock = Clock(session, "Disclaimer")
    start = time.time()
    harness.press(session, "alt+n")
    return clock.seen() - start


def startup(session, runs, slides):
    times = []
    for _ in range(runs):
        clock = Clock(session, "Welcome")
        start = time.time()
        setup = subprocess.Popen([session.wine, "C:\\fxtest\\" + harness.SETUP_EXE],
                                 env=session.env, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        times.append(clock.seen() - start)
        slides.append(slide(session))
        setup.kill()
        setup.wait(timeout=30)
        time.sleep(1.0)
    return times


def install(session, runs):
    times = []
    for _ in range(runs):
        # Waits for the virtual desktop, which may have closed with the last
        # program: a driver started while it comes up can hang.
        setup = session.start_setup()
        marks = {}

        def before_install():
            marks["clock"] = Clock(session, FINISHED)
            marks["start"] = time.time()

        harness.walk_install(session, before_install=before_install)
        times.append(marks["clock"].seen() - marks["start"])
        setup.kill()
        setup.wait(timeout=30)
        time.sleep(1.0)
    return times


def make_tree(session):
    root = session.c_drive / "fxtree"
    made = 0
    for top in range(TREE_FOLDERS // 100):
        folders = [root / f"Folder{top}"] + [root / f"Folder{top}" / f"Sub{s}" for s in range(99)]
        for folder in folders:
            folder.mkdir(parents=True)
            for f in range(TREE_FILES):
                # One in a thousand is a copy of the program, found and filtered.
                name = "Fotelix.exe" if made % 1000 == 0 else f"file{f}.dat"
                (folder / name).write_bytes(b"MZ" if name == "Fotelix.exe" else b"")
                made += 1
    return made


def fxbench(session, mode, runs):
    code, out = session.run_program("fxbench.exe", mode, str(runs), timeout=1800)
    if code != 0:
        raise RuntimeError(f"fxbench {mode}: {out}")
    result = {}
    for line in out.splitlines():
        name, median, fastest, *what = line.split()
        result[name] = {"median": float(median) / 1000, "fastest": float(fastest) / 1000,
                        "what": " ".join(what)}
    return result


def main(argv):
    out = Path(argv[1])
    figures = argv[2].split(",")
    runs = int(argv[3]) if len(argv) > 3 else 5
    result = {"bin": str(harness.BIN)}
    work = Path(__file__).resolve().parents[1] / "build" / "bench" / ("session-" + out.stem)
    with harness.WineSession(work) as session:
        # The virtual desktop comes up once, before anything is timed.
        session.drive("list")
        if "startup" in figures:
            slides = []
            times = startup(session, runs, slides)
            result["startup"] = {"median": statistics.median(times), "runs": times}
            result["half_slide"] = {"median": statistics.median(slides), "runs": slides}
            result["slides"] = HALF_SLIDES * statistics.median(slides)
        if "install" in figures:
            times = install(session, max(3, runs // 2))
            result["install"] = {"median": statistics.median(times), "runs": times}
        if "payload" in figures:
            result.update(fxbench(session, "payload", 4 * runs + 1))
        if "search" in figures:
            result["tree_files"] = make_tree(session)
            result.update(fxbench(session, "search", runs))
    out.write_text(json.dumps(result, indent=1))


if __name__ == "__main__":
    main(sys.argv)
