"""The first pages of the wizard, walked as a user walks them."""
import time

import pytest

from harness import AGREEMENT, WineSession, message_box_lines

REFUSAL = [
    "You can only install Fotelix in case you agree to this statement.",
    "Check the checkbox to confirm.",
    "Otherwise please press Exit",
]


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        yield s


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

