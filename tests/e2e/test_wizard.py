"""The first pages of the wizard, walked as a user walks them."""
import time

import pytest

from harness import AGREEMENT, WineSession, walk_pages

REFUSAL = [
    "You can only install Fotelix in case you agree to this statement.",
    "Check the checkbox to confirm.",
    "Otherwise please press Exit",
]


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        yield s


def message_box_lines(out):
    """The caption and the message's lines as the driver printed them."""
    lines = out.replace("\r\n", "\n").replace("\r", "\n").split("\n")
    caption = lines[0].removeprefix("caption ")
    text = "\n".join(lines[1:]).removeprefix("text ")
    return caption, text.split("\n")


def test_welcome_terms_and_choice_then_exit(session, tmp_path):
    setup = session.start_setup()
    session.wait_window()
    session.wait_page("Welcome")
    session.screenshot(tmp_path / "01-welcome.png")

    session.click("&Next")
    session.wait_page("Disclaimer")
    assert session.act("checked", AGREEMENT) == "unchecked"
    session.screenshot(tmp_path / "02-terms.png")

    # Without the tick the page refuses with a message box and stays.
    session.click("&Next")
    caption, lines = message_box_lines(session.act("message-box"))
    assert caption == "Install_Fotelix"
    assert lines == REFUSAL
    session.act("answer", "OK")
    time.sleep(0.5)
    session.act("wait-text", "Disclaimer", timeout_ms=1000)

    session.click(AGREEMENT)
    assert session.act("checked", AGREEMENT) == "checked"
    session.click("&Next")
    session.wait_page("Install or upgrade?")
    session.screenshot(tmp_path / "03-install-or-upgrade.png")

    # The header leads back to the terms page, with the box to tick anew.
    session.click("Install or upgrade?")
    session.wait_page("Disclaimer")
    assert session.act("checked", AGREEMENT) == "unchecked"

    session.click("&Exit")
    assert setup.wait(timeout=30) == 0


def test_screenshots_of_the_pages_that_exist(session, tmp_path):
    session.start_setup()
    shots = walk_pages(session, tmp_path)
    assert [s.name for s in shots] == ["01-welcome.png", "02-terms.png",
                                       "03-install-or-upgrade.png"]
    assert all(s.stat().st_size > 10000 for s in shots)
