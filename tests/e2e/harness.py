"""Runs the setup program under Wine as a user would: a fresh 32-bit prefix
without the Z: drive, a virtual desktop on its own Xvfb screen, the UI driver
for finding windows, and screenshots of what the user sees.

Also a command line for the run command: `harness.py screenshots OUTDIR`.
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
# The programs under test; FX_WIN32_BIN points at another build's bin folder.
BIN = Path(os.environ.get("FX_WIN32_BIN", TOP / "build" / "win32" / "bin"))
SETUP_EXE = "Install_Fotelix.exe"
DRIVER_EXE = "fxdrive.exe"
MAIN_CAPTION = "Install Fotelix 2.12"
SCREEN = "1024x768"
# A page switch slides out and in for a little over 0.9 s; the header text
# changes half-way, and the page's buttons work once the slide has ended.
SLIDE_REST = 1.0
AGREEMENT = "&I have read the statement above and I fully agree with this statement."


class WineSession:
    """One Wine prefix on one Xvfb screen; closed with everything it started."""

    def __init__(self, workdir):
        self.workdir = Path(workdir)
        if self.workdir.exists():
            shutil.rmtree(self.workdir)
        self.prefix = self.workdir / "prefix"
        home = self.workdir / "home"
        home.mkdir(parents=True)
        self.env = dict(os.environ)
        self.env.update(
            WINEPREFIX=str(self.prefix),
            WINEARCH="win32",
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            # Wine links the user's folders into HOME; a fresh one keeps the
            # tests away from any real desktop.
            HOME=str(home),
        )
        self.processes = []
        self.xvfb = None
        try:
            self._start_xvfb()
            self._make_prefix()
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", SCREEN + "x24",
             "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + number

    def _run(self, args, timeout=120, check=True):
        return subprocess.run(args, env=self.env, timeout=timeout, check=check,
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)

    def _make_prefix(self):
        self._run([str(TOP / "scripts" / "wine-prefix.sh")], timeout=300)
        # Without Z: the program sees only the prefix's own drives, so a disk
        # search cannot wander through the Linux file system.
        z_drive = self.prefix / "dosdevices" / "z:"
        if z_drive.is_symlink():
            z_drive.unlink()
        # Every program, the driver included, runs on one virtual desktop, so
        # screenshots show Windows' own title bars and the driver sees the
        # setup program's windows.
        explorer = r"HKCU\Software\Wine\Explorer"
        self._run(["wine", "reg", "add", explorer, "/v", "Desktop", "/d", "Default", "/f"])
        self._run(["wine", "reg", "add", explorer + r"\Desktops", "/v", "Default",
                   "/d", SCREEN, "/f"])
        self.c_drive = self.prefix / "drive_c"
        self.setup_dir = self.c_drive / "fxtest"
        self.setup_dir.mkdir()
        for name in (SETUP_EXE, DRIVER_EXE):
            shutil.copy2(BIN / name, self.setup_dir / name)

    def start_setup(self, *args):
        process = subprocess.Popen(["wine", "C:\\fxtest\\" + SETUP_EXE, *args], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        self._wait_for_desktop()
        return process

    def _wait_for_desktop(self, timeout=60):
        # A second Wine program started while the first one is still bringing
        # up the virtual desktop can hang for good; wait until it shows.
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = subprocess.run(["xdotool", "search", "--name", "Wine desktop$"],
                                   env=self.env, stdout=subprocess.PIPE,
                                   stderr=subprocess.DEVNULL, text=True)
            if found.stdout.strip():
                return
            time.sleep(0.2)
        raise AssertionError("Wine's virtual desktop did not appear")

    def drive(self, *args, timeout=60):
        """Runs the UI driver; returns (exit code, what it printed)."""
        result = self._run(["wine", "C:\\fxtest\\" + DRIVER_EXE, *args], timeout=timeout,
                           check=False)
        return result.returncode, result.stdout.strip()

    def start_driver(self, *args):
        """Starts a driver command that goes on beside the test (such as
        hold); returns its process, whose output the test may read."""
        process = subprocess.Popen(["wine", "C:\\fxtest\\" + DRIVER_EXE, *args], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(process)
        return process

    def run_program(self, command_line, timeout_ms=120000):
        """Starts a program with exactly this command line, as another
        program starts it, and returns its exit code. Wine's processes keep
        the standard error they were started with, so a program that this
        one starts in turn would hold a captured error output open; the
        driver's is not captured here."""
        runner = self.start_driver("run", command_line, str(timeout_ms))
        out, _ = runner.communicate(timeout=timeout_ms / 1000 + 60)
        if runner.returncode != 0 or not out.startswith("exit "):
            raise AssertionError(f"{command_line}: {out.strip() or 'the UI driver failed'}")
        return int(out.split()[1])

    def host_path(self, windows_path):
        """The Linux path of a path on one of the prefix's drives ("C:\\x")."""
        drive = self.prefix / "dosdevices" / (windows_path[0].lower() + ":")
        return drive.joinpath(*[part for part in windows_path[2:].split("\\") if part])

    def map_drive(self, letter, folder):
        """Maps a drive letter to a new folder on the Linux side, as a fixed disk."""
        folder = Path(folder)
        folder.mkdir(parents=True)
        (self.prefix / "dosdevices" / (letter.lower() + ":")).symlink_to(folder)
        self._run(["wine", "reg", "add", r"HKLM\Software\Wine\Drives", "/v", letter.lower() + ":",
                   "/d", "hd", "/f"])
        return folder

    def wait_window(self, caption=MAIN_CAPTION, timeout_ms=30000):
        code, out = self.drive("wait-window", caption, str(timeout_ms),
                               timeout=timeout_ms / 1000 + 60)
        if code != 0:
            raise AssertionError(out or "the UI driver failed")
        return out

    def act(self, *args, timeout_ms=20000):
        """Runs one driver command that must succeed; returns what it printed."""
        code, out = self.drive(*args, str(timeout_ms), timeout=timeout_ms / 1000 + 60)
        if code != 0:
            raise AssertionError(f"{' '.join(args)}: {out or 'the UI driver failed'}")
        return out

    def wait_page(self, header, timeout_ms=20000):
        """Waits until the header shows the page's title and its slide has ended."""
        self.act("wait-text", header, timeout_ms=timeout_ms)
        time.sleep(SLIDE_REST)

    def click(self, text):
        return self.act("click", text)

    def screenshot(self, path):
        path = Path(path)
        path.parent.mkdir(parents=True, exist_ok=True)
        self._run(["import", "-display", self.env["DISPLAY"], "-window", "root", str(path)])
        return path

    def close(self):
        if "WINEPREFIX" in self.env and self.prefix.exists():
            subprocess.run(["wineserver", "-k"], env=self.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait(timeout=10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


def walk_pages(session, outdir):
    """Walks the wizard from the start as far as its pages go, saving a
    screenshot of each page; returns the paths of the screenshots."""
    outdir = Path(outdir)
    shots = []
    session.wait_window()
    # The window fades in over about 3 s; the welcome page is shown opaque.
    session.wait_page("Welcome")
    time.sleep(3)
    shots.append(session.screenshot(outdir / "01-welcome.png"))
    session.click("&Next")
    session.wait_page("Disclaimer")
    shots.append(session.screenshot(outdir / "02-terms.png"))
    session.click(AGREEMENT)
    session.click("&Next")
    session.wait_page("Install or upgrade?")
    shots.append(session.screenshot(outdir / "03-install-or-upgrade.png"))
    return shots


def take_screenshots(outdir):
    """Starts the setup program headless and saves a screenshot of each page it shows."""
    outdir = Path(outdir)
    outdir.mkdir(parents=True, exist_ok=True)
    with WineSession(TOP / "build" / "run" / "session") as session:
        session.start_setup()
        for shot in walk_pages(session, outdir):
            print(shot)


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "screenshots":
        take_screenshots(sys.argv[2])
    else:
        sys.exit("usage: harness.py screenshots OUTDIR")
