"""Runs the setup program under Wine as a user would: a fresh prefix, of the
architecture that scripts/wine-arch.sh chooses, without the Z: drive, a virtual desktop on its own Xvfb screen, the UI driver
for finding windows, and screenshots of what the user sees.

Also a command line for the run command: `harness.py screenshots OUTDIR`.
"""
import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
# Which Wine, and so which build: FX_WINE_ARCH, WINEARCH and the loader to
# start every program with.
WINE = dict(line.split("=", 1) for line in subprocess.run(
    [str(TOP / "scripts" / "wine-arch.sh"), "--env"], check=True,
    stdout=subprocess.PIPE, text=True).stdout.splitlines())
# The programs under test; FX_WINDOWS_BIN points at another build's bin folder.
BIN = Path(os.environ.get("FX_WINDOWS_BIN", TOP / "build" / WINE["FX_WINE_ARCH"] / "bin"))
SETUP_EXE = "Install_Fotelix.exe"
DRIVER_EXE = "fxdrive.exe"
MAIN_CAPTION = "Install Fotelix 2.12"
SCREEN = "1024x768"
# A page switch slides out and in for a little over 0.9 s; the header text
# changes half-way, and the page's buttons work once the slide has ended.
SLIDE_REST = 1.0
AGREEMENT = "&I have read the statement above and I fully agree with this statement."


class WineSession:
    """One Wine prefix on one Xvfb screen, at 96 DPI unless told another;
    closed with everything it started."""

    def __init__(self, workdir, dpi=None):
        self.workdir = Path(workdir)
        if self.workdir.exists():
            shutil.rmtree(self.workdir)
        self.prefix = self.workdir / "prefix"
        home = self.workdir / "home"
        home.mkdir(parents=True)
        self.env = dict(os.environ)
        self.env.update(
            WINE,
            WINEPREFIX=str(self.prefix),
            WINEDEBUG="-all",
            WINEDLLOVERRIDES="mscoree,mshtml=",
            # Wine links the user's folders into HOME; a fresh one keeps the
            # tests away from any real desktop.
            HOME=str(home),
        )
        self.wine = WINE["WINELOADER"]
        self.processes = []
        self.xvfb = None
        self.dpi = dpi or 96
        # A denser screen has more pixels, so that the scaled window fits.
        width, height = (int(n) * (dpi or 96) // 96 for n in SCREEN.split("x"))
        self.screen = f"{width}x{height}"
        try:
            self._start_xvfb()
            self._make_prefix(dpi)
        except BaseException:
            self.close()
            raise

    def _start_xvfb(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", self.screen + "x24",
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

    def _make_prefix(self, dpi):
        self._run([str(TOP / "scripts" / "wine-prefix.sh")], timeout=300)
        if dpi:
            self._run([self.wine, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                       "/t", "REG_DWORD", "/d", str(dpi), "/f"])
        # Without Z: the program sees only the prefix's own drives, so a disk
        # search cannot wander through the Linux file system.
        z_drive = self.prefix / "dosdevices" / "z:"
        if z_drive.is_symlink():
            z_drive.unlink()
        # Every program, the driver included, runs on one virtual desktop, so
        # screenshots show Windows' own title bars and the driver sees the
        # setup program's windows.
        explorer = r"HKCU\Software\Wine\Explorer"
        self._run([self.wine, "reg", "add", explorer, "/v", "Desktop", "/d", "Default", "/f"])
        self._run([self.wine, "reg", "add", explorer + r"\Desktops", "/v", "Default",
                   "/d", self.screen, "/f"])
        self.c_drive = self.prefix / "drive_c"
        self.setup_dir = self.c_drive / "fxtest"
        self.setup_dir.mkdir()
        for name in (SETUP_EXE, DRIVER_EXE):
            shutil.copy2(BIN / name, self.setup_dir / name)

    def start_setup(self, *args, debug=None, log=None):
        """Starts the setup program; with debug, what those channels of Wine's
        (WINEDEBUG) trace goes to the file log."""
        env = dict(self.env, WINEDEBUG=debug) if debug else self.env
        with open(log, "w") if log else open(os.devnull, "w") as out:
            process = subprocess.Popen([self.wine, "C:\\fxtest\\" + SETUP_EXE, *args], env=env,
                                       stdout=out, stderr=subprocess.STDOUT)
        self.processes.append(process)
        self._wait_for_desktop()
        return process

    def _wait_for_desktop(self, timeout=180):
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
        """Runs the UI driver; returns (exit code, what it printed). The
        driver tells every failure of its own in a line; one that ended
        without a word never ran its command (seen once on a loaded machine,
        exit code 1 and no output), so it is started once more."""
        for _ in range(2):
            result = self._run([self.wine, "C:\\fxtest\\" + DRIVER_EXE, *args], timeout=timeout,
                               check=False)
            out = result.stdout.strip()
            if result.returncode == 0 or out:
                break
        return result.returncode, out

    def start_driver(self, *args):
        """Starts a driver command that goes on beside the test (such as
        hold); returns its process, whose output the test may read."""
        process = subprocess.Popen([self.wine, "C:\\fxtest\\" + DRIVER_EXE, *args], env=self.env,
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(process)
        return process

    def run_command(self, command_line, timeout_ms=120000):
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
        self._run([self.wine, "reg", "add", r"HKLM\Software\Wine\Drives", "/v", letter.lower() + ":",
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

    def start(self, command_line):
        """Starts a command line as the system starts a registered command,
        such as an "UninstallString", and returns while it runs."""
        # The started program, and Wine's desktop if this brings it up, keep
        # the driver's output open: nothing is read from it.
        started = subprocess.run([self.wine, "C:\\fxtest\\" + DRIVER_EXE, "start", command_line],
                                 env=self.env, timeout=60, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        if started.returncode != 0:
            raise AssertionError("cannot start " + command_line)
        self._wait_for_desktop()

    def restart_windows(self):
        """Restarts Wine's Windows as a reboot would: what programs asked to
        be removed at the next restart goes now."""
        self._run([self.wine, "wineboot", "--restart"], timeout=120)

    def run_program(self, name, *args, timeout=120):
        """Puts a program of the build beside the setup program and runs it to
        its end; returns (exit code, what it printed)."""
        shutil.copy2(BIN / name, self.setup_dir / name)
        result = self._run([self.wine, "C:\\fxtest\\" + name, *args], timeout=timeout, check=False)
        return result.returncode, result.stdout.strip()

    def registry_values(self, key):
        """The values of a registry key below a root such as HKLM, as
        `reg query` prints them; none when the key is not there."""
        result = self._run([self.wine, "reg", "query", key], check=False)
        values = {}
        for line in result.stdout.splitlines() if result.returncode == 0 else []:
            # Name, type and data, with blanks in the name and the data.
            found = re.match(r"\s+(.*?)\s+REG_[A-Z_]+(?:\s+(.*))?$", line)
            if found:
                values[found.group(1)] = found.group(2) or ""
        return values

    def registry_value(self, key, name):
        """A value of a registry key, or None when the key or the value is not there."""
        return self.registry_values(key).get(name)

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


def press(session, *keys):
    """Presses keys as a user does, by xdotool's names ("alt+n", "End",
    "shift+Home"); they go to the window that has the keyboard focus."""
    subprocess.run(["xdotool", "key", "--delay", "60", *keys], env=session.env, check=True,
                   timeout=30)


def type_text(session, text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], env=session.env, check=True,
                   timeout=60)


def replace_field(session, shown, text):
    """Clicks into the edit field that shows `shown` and types `text` over it."""
    session.click(shown)
    press(session, "End", "shift+Home", "BackSpace")
    type_text(session, text)


SHELL_FOLDERS = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders"


def assert_signed(program, certificate):
    """Fails unless the program carries a valid signature by the certificate."""
    done = subprocess.run(["osslsigncode", "verify", "-CAfile", str(certificate), "-in", str(program)],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    assert done.returncode == 0 and "Signature verification: ok" in done.stdout, f"{program}: {done.stdout}"


def fxdat_dump(session, path):
    """The items of a settings file on the host, as `fxdat dump` prints them,
    without the offsets. Uses the native fxdat when it is built, else the
    Windows one under Wine."""
    native = TOP / "build" / "host" / "bin" / "fxdat"
    if native.exists():
        out = subprocess.run([str(native), "dump", str(path)], check=True, capture_output=True,
                             text=True, timeout=60).stdout
    else:
        shutil.copy2(BIN / "fxdat.exe", session.setup_dir / "fxdat.exe")
        shutil.copy2(path, session.setup_dir / "dump.dat")
        out = session._run([session.wine, "C:\\fxtest\\fxdat.exe", "dump", "C:\\fxtest\\dump.dat"]).stdout
    # An empty value ends its line in a blank, which stays.
    return [line.split(None, 1)[1] for line in out.splitlines() if line.strip()]


def _page_origin(session):
    """Where the page control stands on the screen."""
    _, out = session.drive("list")
    for line in out.splitlines():
        if " class TPageControl " in line:
            x, y = line.split(" at ")[1].split(" size")[0].split(",")
            return int(x), int(y)
    raise AssertionError("no page control on the screen:\n" + out)


def _bar_half_way(shot, origin, dpi):
    """How far the install page's bar is from both ends, in view and in place
    (0 when it is empty, full, or not where the page puts it)."""
    # The middle row of the bar's inside: ProgressBar1 stands at 39, 232,
    # 634 x 26 layout pixels on the page, which a denser screen scales.
    x, y, width = (n * dpi // 96 for n in (40, 232 + 13, 632))
    x, y = origin[0] + x, origin[1] + y
    out = subprocess.run(["convert", str(shot), "-crop", f"{width}x1+{x}+{y}", "+repage",
                          "-format", "%c", "histogram:info:-"],
                         check=True, capture_output=True, text=True).stdout
    counts = {}
    for line in out.splitlines():
        count, _, rest = line.strip().partition(":")
        colour = rest.split("#")[1].split()[0][:6].upper() if "#" in rest else ""
        counts[colour] = counts.get(colour, 0) + int(count)
    total = sum(counts.values())
    # The page's sky blue or the window's blue in that row: the page slides.
    if not total or counts.get("A6CAF0") or counts.get("0000FF"):
        return 0
    empty = counts.get("FFFFFF", 0) / total
    return min(empty, 1 - empty)


def _shoot_install_run(session, path, origin, seconds=10):
    """Screenshots while the install run works, keeping the one whose bar is
    nearest half-way; the run is short, so they are taken as fast as they
    come. Says so when none showed the bar between its ends."""
    path = Path(path)
    best, best_score = None, -1.0
    deadline = time.monotonic() + seconds
    n = 0
    while time.monotonic() < deadline:
        shot = session.screenshot(path.with_name(f"{path.stem}-{n:02d}.png"))
        n += 1
        score = _bar_half_way(shot, origin, session.dpi)
        if score > best_score:
            if best:
                best.unlink()
            best, best_score = shot, score
        else:
            shot.unlink()
        if best_score > 0.25:
            break
    best.replace(path)
    if best_score <= 0:
        print(f"{path}: the install run was over before a screenshot caught it", file=sys.stderr)
    return path


INVALID_FOLDER = ["Invalid folder.",
                  "The foldername you choose contains invalid characters or is a root folder."]


def message_box_lines(out):
    """The caption and the message's lines as the driver printed them."""
    lines = out.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    caption = lines[0].removeprefix("caption ")
    text = "\n".join(lines[1:]).removeprefix("text ")
    return caption, text.split("\n")


def walk_install(session, outdir=None, folder=None, download=None, connection=None, desktop=True,
                 refused_folders=(), before_install=None):
    """Walks a fresh install as a user does, by the keyboard (a click only puts
    the cursor into a field to type in), from the welcome page of a setup
    program just started to the install-finished page, where
    the program is left running. Without arguments it takes every default;
    `folder` and `download` are typed into their pages' fields, `connection`
    is the caption of the item to choose ("&Cable"), `desktop=False` unticks
    the desktop shortcut. Each text of `refused_folders` is typed on the
    installation folder page first and must be refused there. With `outdir`
    a screenshot of every page is saved there, the install run's caught half
    way when it can be; returns their paths. `before_install` is called on
    the summary page right before "&Install Now" is pressed (the benchmark
    starts its clock there)."""
    outdir = Path(outdir) if outdir else None
    shots = []

    def shot(name):
        if outdir:
            shots.append(session.screenshot(outdir / name))

    session.wait_window()
    session.wait_page("Welcome")
    if outdir:
        time.sleep(3)  # the window fades in over about 3 s
    shot("01-welcome.png")
    press(session, "alt+n")
    session.wait_page("Disclaimer")
    press(session, "alt+i")  # the agreement
    shot("02-terms.png")
    press(session, "alt+n")
    session.wait_page("Install or upgrade?")
    if not desktop:
        press(session, "alt+c")
        assert session.act("checked", "&Create a shortcut on the desktop") == "unchecked"
    shot("03-install-or-upgrade.png")
    press(session, "alt+n")
    session.wait_page("Choose installation folder")
    shot("04-installation-folder.png")
    shown = "C:\\Program Files\\Fotelix\\"
    for text in refused_folders:
        replace_field(session, shown, text)
        shown = text
        press(session, "alt+n")
        caption, lines = message_box_lines(session.act("message-box"))
        assert (caption, lines) == ("Install_Fotelix", INVALID_FOLDER), (text, caption, lines)
        session.act("answer", "OK")
        # The page stays, with the text as typed.
        session.act("wait-text", text, timeout_ms=2000)
        session.act("wait-text", "Choose installation folder", timeout_ms=1000)
    if folder or refused_folders:
        replace_field(session, shown, folder or "C:\\Program Files\\Fotelix\\")
    press(session, "alt+n")
    session.wait_page("Choose download folder")
    shot("05-download-folder.png")
    if download:
        replace_field(session, "C:\\Images\\", download)
    press(session, "alt+n")
    session.wait_page("Select your internet-connection")
    if connection:
        accelerator = connection[connection.index("&") + 1].lower()
        press(session, "alt+" + accelerator)
        assert session.act("checked", connection) == "checked"
    shot("06-connection.png")
    press(session, "alt+n")
    session.wait_page("Ready to install")
    shot("07-ready-to-install.png")
    origin = _page_origin(session) if outdir else None
    if before_install:
        before_install()
    press(session, "alt+i")
    if outdir:
        shots.append(_shoot_install_run(session, outdir / "08-installing.png", origin))
    session.wait_page("Installation of Fotelix ready", timeout_ms=60000)
    shot("09-install-finished.png")
    return shots


def walk_pages(session, outdir):
    """Walks the wizard from the start along the install route to its last
    page, saving a screenshot of each page; returns the paths of the
    screenshots."""
    return walk_install(session, outdir)


def take_screenshots(outdir, dpi=None):
    """Starts the setup program headless, on a screen of the given DPI, and
    saves a screenshot of each page it shows."""
    outdir = Path(outdir)
    outdir.mkdir(parents=True, exist_ok=True)
    with WineSession(TOP / "build" / "run" / "session", dpi) as session:
        session.start_setup()
        for shot in walk_pages(session, outdir):
            print(shot)


if __name__ == "__main__":
    if len(sys.argv) in (3, 4) and sys.argv[1] == "screenshots":
        take_screenshots(sys.argv[2], int(sys.argv[3]) if len(sys.argv) == 4 else None)
    else:
        sys.exit("usage: harness.py screenshots OUTDIR [DPI]")
