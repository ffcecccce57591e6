"""The setup program starts under Wine as a user would start it."""
import re
import subprocess
import time

import pytest

from harness import MAIN_CAPTION, SETUP_EXE, WineSession


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        yield s


def test_main_window_appears_with_its_caption(session, tmp_path):
    setup = session.start_setup()
    found = session.wait_window()
    assert "size" in found
    assert setup.poll() is None, "the setup program ended on its own"
    # The blue window must be on the screen, not just the empty desktop. It
    # fades in over about 3 s, longer on a busy machine.
    deadline = time.monotonic() + 20
    while True:
        shot = session.screenshot(tmp_path / "main.png")
        colours = subprocess.run(
            ["convert", str(shot), "-format", "%c", "histogram:info:-"],
            check=True, capture_output=True, text=True).stdout
        if "#0000FF" in colours.upper() or time.monotonic() > deadline:
            break
        time.sleep(0.5)
    assert "#0000FF" in colours.upper()


def test_driver_reads_texts_and_gives_up_on_missing_ones(session):
    session.start_setup()
    session.wait_window()
    code, out = session.drive("wait-text", "Install Fotelix 2.12", "5000")
    assert (code, out) == (0, "text Install Fotelix 2.12")
    code, out = session.drive("click", "No such button", "500")
    assert code == 1 and "No such button" in out
    code, out = session.drive("list")
    assert code == 0 and 'text "Install Fotelix 2.12"' in out
    code, _ = session.drive("no-such-command")
    assert code == 2


def test_dense_screen_gets_the_pages_scaled_by_the_program(tmp_path_factory):
    """At 144 DPI the program lays its pages out one and a half times as large
    itself, instead of being stretched as a picture by the system, and the
    mouse finds its buttons there."""
    with WineSession(tmp_path_factory.mktemp("wine") / "session", dpi=144) as session:
        session.start_setup()
        session.wait_window()
        session.wait_page("Welcome")
        _, out = session.drive("list")
        sizes = [line.split(" size ")[1].split()[0] for line in out.splitlines()
                 if " class TPageControl " in line]
        assert len(sizes) == 1, out
        width, height = (int(n) for n in sizes[0].split("x"))
        # The page control has 712 x 377 layout pixels.
        assert abs(width - 1068) <= 1 and abs(height - 565.5) <= 1, sizes
        session.click("&Next")
        session.wait_page("Disclaimer")


def test_no_constructor_loads_a_dll_before_the_search_for_dlls_is_closed(session):
    """The stack protector's constructor seeds its cookies from the system's
    cryptography, which loads DLLs by name: the program's entry closes the
    search to the system folder before that, so that none is taken from the
    setup's own folder (a Downloads folder)."""
    session._run([session.wine, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude",
                  "/d", "kernel32.SetDefaultDllDirectories", "/f"])
    log = session.workdir / "loader.txt"
    setup = session.start_setup(debug="+loaddll,+relay", log=log)
    session.wait_window()
    session.click("&Exit")
    assert setup.wait(timeout=30) == 0
    lines = log.read_text(errors="replace").splitlines()
    process = next(line.split(":")[0] for line in lines if SETUP_EXE + '" at' in line)
    own = [line for line in lines if line.startswith(process + ":")]
    restricted = next(i for i, line in enumerate(own) if "Call KERNEL32.SetDefaultDllDirectories(00000800)" in line)
    cryptography = [i for i, line in enumerate(own)
                    if re.search(r'Loaded L"[^"]*\\(bcrypt|crypt32|rsaenh)\.dll"', line, re.IGNORECASE)]
    assert cryptography and restricted < min(cryptography), "\n".join(own[:restricted + 1])
