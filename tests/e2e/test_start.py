"""The setup program starts under Wine as a user would start it."""
import subprocess
import time

import pytest

from harness import MAIN_CAPTION, WineSession


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
