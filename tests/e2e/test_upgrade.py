"""The upgrade route and the automatic update, as a user and as the product
start them: the search over the fixed disks, the choice among the copies
found, the run that waits for a running product, the finished page, and the
update that the product starts with its folder on the command line."""
import shutil
import subprocess
import time

import pytest

from harness import (AGREEMENT, BIN, SETUP_EXE, SHELL_FOLDERS, TOP, WineSession, message_box_lines,
                     walk_install)

PROGRAM_FILES = "C:\\Program Files\\Fotelix\\"
SECOND_COPY = "D:\\Fotelix\\"
UPGRADE_CHOICE = "&Upgrade/repair an existing installation"
SHORTCUT_BOX = "&Create a shortcut on the desktop"
NOT_FOUND = [
    "No installed Fotelix versions could be found,",
    "or the found Fotelix versions are newer than",
    "the one in this installation. An upgrade is",
    "not possible.",
]
# A settings file as the product keeps it; the upgrade must leave it be.
USER_SETTINGS = TOP / "tools" / "testdata" / "Fotelix.Dat"
FXDAT = TOP / "build" / "host" / "bin" / "fxdat"
RETRY_WAIT = 15  # seconds between two attempts at the program file


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        yield s


def make_installed_copy(session, folder):
    """An installed copy in folder (a Windows path ending in "\\"): the
    program, its uninstaller and the two settings files of an install."""
    target = session.host_path(folder)
    target.mkdir(parents=True, exist_ok=True)
    shutil.copy2(BIN / "Fotelix.exe", target / "Fotelix.Exe")
    shutil.copy2(BIN / "Uninstall.exe", target / "Uninstall.Exe")
    for name in ("Fotelix.Dat", "FXInst.Dat"):
        shutil.copy2(USER_SETTINGS, target / name)
    return target


def settings_items(path):
    """The items of a settings file in the upgrade form, as fxdat lists them."""
    dump = subprocess.run([str(FXDAT), "dump", str(path), "--upgrade"], check=True,
                          capture_output=True, text=True).stdout
    return [line.split(None, 1)[1] for line in dump.splitlines()]


def assert_upgraded(session, folder, kept=None):
    """The three files of an upgrade in folder, and the settings files of
    kept (host path: bytes, by default the copy's own) untouched."""
    target = session.host_path(folder)
    assert (target / "Fotelix.Exe").read_bytes() == (BIN / "Fotelix.exe").read_bytes()
    assert (target / "Uninstall.Exe").read_bytes() == (BIN / "Uninstall.exe").read_bytes()
    items = settings_items(target / "Fotelix.BAK")
    assert items[2:4] == ['string ""', f'string "{folder}Cache\\"']
    assert items[items.index("tag 43") + 1] == "integer 20"
    if kept is None:
        kept = {target / name: USER_SETTINGS.read_bytes() for name in ("Fotelix.Dat", "FXInst.Dat")
                if (target / name).exists()}
    for path, content in kept.items():
        assert path.read_bytes() == content, path


def choose_upgrade(session):
    """From the start of the setup program to the install-or-upgrade page,
    with the upgrade chosen."""
    session.wait_window()
    session.wait_page("Welcome")
    session.click("&Next")
    session.wait_page("Disclaimer")
    session.click(AGREEMENT)
    session.click("&Next")
    session.wait_page("Install or upgrade?")
    session.click(UPGRADE_CHOICE)


def red_pixels(shot):
    """How many pixels of the screenshot are pure red: the retry notice."""
    histogram = subprocess.run(["convert", str(shot), "-format", "%c", "histogram:info:-"],
                               check=True, capture_output=True, text=True).stdout
    for line in histogram.splitlines():
        if "#FF0000" in line.upper():
            return int(line.split(":")[0])
    return 0


def test_upgrade_route_with_no_copy_then_two_and_a_running_product(session, tmp_path):
    drive_d = session.map_drive("D", session.workdir / "drive_d")
    # Enough folders that the search takes some seconds and can be seen.
    for album in range(50):
        for picture_set in range(80):
            (drive_d / "Pictures" / f"Album {album}" / f"Set {picture_set}").mkdir(parents=True)
    setup = session.start_setup()
    choose_upgrade(session)
    session.click(SHORTCUT_BOX)

    # No copy on any drive: the message, then back to the choice as it was.
    session.click("&Next")
    caption, lines = message_box_lines(session.act("message-box", timeout_ms=120000))
    assert (caption, lines) == ("Install_Fotelix", NOT_FOUND)
    session.screenshot(tmp_path / "05-search-found-nothing.png")
    session.act("answer", "OK")
    session.wait_page("Install or upgrade?")
    assert session.act("checked", UPGRADE_CHOICE) == "checked"
    assert session.act("checked", SHORTCUT_BOX) == "unchecked"

    # Fotelix installed with the defaults, and a second copy on D:.
    session.click("&Exit")
    assert setup.wait(timeout=30) == 0
    installer = session.start_setup()
    walk_install(session)
    session.click("&Exit")
    assert installer.wait(timeout=30) == 0
    make_installed_copy(session, SECOND_COPY)
    settings = [session.host_path(PROGRAM_FILES + "FXInst.Dat"),
                session.host_path(session.registry_values(SHELL_FOLDERS)["Local AppData"] +
                                  "\\Fotelix\\Fotelix.Dat")]
    kept = {path: path.read_bytes() for path in settings}
    setup = session.start_setup()
    choose_upgrade(session)

    # The product runs from the copy in Program Files, so its program file
    # can be read (the search accepts it) but not replaced.
    release = "C:\\fxtest\\release"
    holder = session.start_driver("hold", PROGRAM_FILES + "Fotelix.Exe", release, "180000")
    assert holder.stdout.readline().startswith("held")
    session.click("&Next")
    session.wait_page("Searching Fotelix")
    time.sleep(1)
    session.screenshot(tmp_path / "06-searching.png")
    session.wait_page("Ready to upgrade", timeout_ms=120000)
    assert session.act("combo").splitlines() == [
        "item " + PROGRAM_FILES, "item " + SECOND_COPY, "selected 0", "focused yes"]
    session.screenshot(tmp_path / "07-ready-to-upgrade.png")

    old_program = session.host_path(PROGRAM_FILES + "Fotelix.Exe").read_bytes()
    session.click("&Upgrade")
    session.wait_page("Upgrading Fotelix")
    time.sleep(2)
    notice = session.screenshot(tmp_path / "08-upgrading-retry.png")
    assert red_pixels(notice) > 200, "no retry notice"
    assert session.host_path(PROGRAM_FILES + "Fotelix.Exe").read_bytes() == old_program
    session.host_path(release).write_bytes(b"")
    assert holder.wait(timeout=30) == 0

    session.wait_page("Upgrade of Fotelix ready", timeout_ms=(RETRY_WAIT + 30) * 1000)
    finished = session.screenshot(tmp_path / "09-upgrade-finished.png")
    assert red_pixels(finished) == 0
    assert_upgraded(session, PROGRAM_FILES, kept)
    assert not session.host_path(SECOND_COPY + "Fotelix.BAK").exists()

    session.click("&Start Fotelix")
    assert session.act("close", "Fotelix") == "closed Fotelix maximised"
    assert setup.wait(timeout=30) == 0


def test_automatic_update_as_the_product_starts_it(session, tmp_path):
    # A relative folder, which would land in the current folder, ends on the
    # error page, which names it.
    process = session.start_setup("/autoupdate", "Fotelix")
    session.wait_window()
    session.wait_page("Error", timeout_ms=30000)
    session.act("wait-text", 'Cannot update Fotelix in "Fotelix\\": that is not a full folder name '
                'of at most 245 characters.', timeout_ms=1000)
    session.screenshot(tmp_path / "10-error-folder.png")
    session.click("&Exit")
    assert process.wait(timeout=30) == 0

    make_installed_copy(session, PROGRAM_FILES)
    setup = "C:\\fxtest\\" + SETUP_EXE
    # As the product passes its folder: unquoted, with a blank; then quoted
    # and ending in a backslash; then into a folder that does not exist yet.
    for arguments, folder in [
            ("/autoupdate C:\\Program Files\\Fotelix", PROGRAM_FILES),
            ('/autoupdate "C:\\Program Files\\Fotelix\\"', PROGRAM_FILES),
            ("/autoupdate C:\\Apps\\New Fotelix", "C:\\Apps\\New Fotelix\\")]:
        session.host_path(folder + "Fotelix.BAK").unlink(missing_ok=True)
        started = time.monotonic()
        assert session.run_command(f"{setup} {arguments}") == 0, arguments
        assert time.monotonic() - started >= 3, arguments
        # A new folder has no settings files of its own to keep.
        assert_upgraded(session, folder, kept=None if folder == PROGRAM_FILES else {})
        assert session.act("close", "Fotelix") == "closed Fotelix maximised", arguments
