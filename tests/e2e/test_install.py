"""The install route walked as a user walks it, and what it leaves behind."""
import filecmp
import os

import pytest

from harness import BIN, SHELL_FOLDERS, WineSession, assert_signed, fxdat_dump, press, walk_install, walk_pages

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fotelix"
DEFAULT_NAMES = [
    "RemSetFile", "PathDownloadLocation2", "PathDownloadLocation1", "CntUsePath",
    "CntSuspendedTill", "CntUseTreshold", "RemSetDelay", "RemSetInterval", "RemSetPath1",
    "RemSetPath2", "RemSetPath3", "RemSetRetryInterval", "RemSetSuspendedTill", "CntInstallPath",
    "VerLatestVersion",
]
START_MENU_LINKS = ["Fotelix Manual.Lnk", "Fotelix Website.Lnk", "Fotelix.Lnk",
                    "Uninstall Fotelix.Lnk"]


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        yield s


def links_in(folder):
    return sorted(p.name for p in folder.iterdir() if p.suffix.lower() == ".lnk")


def check_installation(session, install_dir, download_dir, performance, desktop):
    folder = session.host_path(install_dir)
    assert sorted(p.name for p in folder.iterdir()) == [
        "FXInst.Dat", "Fotelix.Exe", "UnInstall.dat", "Uninstall.Exe"]
    assert filecmp.cmp(folder / "Fotelix.Exe", BIN / "Fotelix.exe", shallow=False)
    log = (folder / "UnInstall.dat").read_bytes().decode("ascii").split("\r\n")
    assert log.pop() == ""
    assert len(log) == (12 if desktop else 11)
    assert log[1] == f"<F{install_dir}Fotelix.Exe>"
    assert (log[-1] == "<TFotelix.Lnk>") == desktop

    shell = session.registry_values(SHELL_FOLDERS)
    data_dir = shell["Local AppData"] + "\\Fotelix\\"
    dumps = [fxdat_dump(session, session.host_path(data_dir + "Fotelix.Dat")),
             fxdat_dump(session, folder / "FXInst.Dat")]
    for items in dumps:
        strings = [item for item in items if item.startswith("string ")]
        assert strings[:3] == ['string "04"', f'string "{download_dir}"',
                               f'string "{data_dir}cache\\"']
        assert items[items.index("tag 43") + 1] == f"integer {performance}"
        pairs = dict(item.split(" = ", 1) for item in items if " = " in item)
        assert list(pairs) == DEFAULT_NAMES
        assert (pairs["VerLatestVersion"], pairs["RemSetInterval"]) == ("2.3", "7200")
    # The same items in both, each file with a key of its own.
    assert [i for i in dumps[0] if not i.startswith("key seed")] == \
           [i for i in dumps[1] if not i.startswith("key seed")]

    assert links_in(session.host_path(shell["Programs"]) / "Fotelix") == START_MENU_LINKS
    assert links_in(session.host_path(shell["Desktop"])) == (["Fotelix.Lnk"] if desktop else [])
    assert session.registry_values(UNINSTALL_KEY) == {
        "DisplayName": "Fotelix", "UninstallString": f'"{install_dir}Uninstall.Exe"',
        "NoModify": "0x1", "NoRepair": "0x1"}
    # A signed build installs signed programs (tests/release makes one).
    if os.environ.get("FX_SIGNED_BY"):
        for name in ("Fotelix.Exe", "Uninstall.Exe"):
            assert_signed(folder / name, os.environ["FX_SIGNED_BY"])


def test_default_install_by_keyboard_then_start_fotelix(session, tmp_path):
    setup = session.start_setup()
    shots = walk_pages(session, tmp_path)
    assert [s.name for s in shots] == [
        "01-welcome.png", "02-terms.png", "03-install-or-upgrade.png",
        "04-installation-folder.png", "05-download-folder.png", "06-connection.png",
        "07-ready-to-install.png", "08-installing.png", "09-install-finished.png"]
    assert all(s.stat().st_size > 5000 for s in shots)

    press(session, "alt+s")
    assert setup.wait(timeout=30) == 0
    # The stand-in's window, maximised over the whole screen.
    found = session.wait_window("Fotelix")
    width = int(found.split(" size ")[1].split("x")[0])
    assert width >= 1024, found
    check_installation(session, "C:\\Program Files\\Fotelix\\", "C:\\Images\\", 20, desktop=True)


def test_typed_folders_cable_and_no_desktop_link(session):
    setup = session.start_setup()
    # The typed folder is taken as it is: no product folder is added, as it
    # would be to a folder picked in the list.
    walk_install(session, folder="C:\\Apps", download="C:\\Pics", connection="&Cable",
                 desktop=False, refused_folders=["C:\\a?b", "C:\\Apps.\\Fotelix"])
    press(session, "alt+e")
    assert setup.wait(timeout=30) == 0
    check_installation(session, "C:\\Apps\\", "C:\\Pics", 30, desktop=False)
