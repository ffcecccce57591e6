"""The carried programs after an install: the product stand-in shows the
settings that setup wrote, and the uninstaller, started as Windows starts it,
removes what the install made and nothing else."""
import os
import shutil
import time

import pytest

from harness import BIN, SHELL_FOLDERS, WineSession, press, walk_install

UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fotelix"
DOWNLOAD_DIR = "C:\\Images\\"
PERFORMANCE = "27"  # what the settings file holds for "&ADSL / DSL"
CAPTION = "Uninstall Fotelix"
QUESTION = "Do you want to remove Fotelix and all of its components from this computer?"


@pytest.fixture
def session(tmp_path_factory):
    with WineSession(tmp_path_factory.mktemp("wine") / "session") as s:
        # Wine would mirror every shell link into menu files in HOME, which
        # Windows does not have and no uninstaller removes.
        s.env["WINEDLLOVERRIDES"] += ";winemenubuilder.exe=d"
        yield s


def make_installation(session):
    """Installs Fotelix through the wizard into the proposed folder, with the
    proposed download folder, "&ADSL / DSL" and a desktop link; setup stays
    on its finished page. Returns the installation and data folders."""
    session.start_setup()
    walk_install(session, connection="&ADSL / DSL")
    data_dir = session.registry_values(SHELL_FOLDERS)["Local AppData"] + "\\Fotelix\\"
    return "C:\\Program Files\\Fotelix\\", data_dir


def listing(session):
    """Every folder (ending with "/") and file on C: with each file's size,
    but for the tests' own tools. Links are followed: Wine links the user's
    folders, the desktop among them, to HOME."""
    items = {}
    for folder, dirs, files in os.walk(session.c_drive, followlinks=True):
        relative = os.path.relpath(folder, session.c_drive)
        if relative.split(os.sep)[0] == "fxtest":
            continue
        items.update((os.path.join(relative, name) + "/", None) for name in dirs)
        for name in files:
            path = os.path.join(folder, name)
            items[os.path.join(relative, name)] = os.path.getsize(path) if os.path.exists(path) else -1
    return items


def message_box(session):
    """The caption and text of the message box on the screen."""
    # The console writes a text's CR LF as CR CR LF, which reads as two line ends.
    lines = session.act("message-box").replace("\n\n", "\n").split("\n")
    return lines[0].removeprefix("caption "), "\n".join(lines[1:]).removeprefix("text ")


def uninstall(session, command_line):
    """Runs the uninstaller as the system's list of programs does, says yes,
    and returns its closing message once it has ended and its copy has gone
    with the restart that it asked for."""
    session.start(command_line)
    assert message_box(session) == (CAPTION, QUESTION)
    session.act("answer", "Yes")
    caption, report = message_box(session)
    assert caption == CAPTION
    session.act("answer", "OK")
    users = session.c_drive / "users"
    deadline = time.monotonic() + 30
    while list(users.glob("*/Temp/FxUninstall*/*")):
        assert time.monotonic() < deadline, "the uninstaller's copy did not go when it ended"
        time.sleep(0.2)
    # Only the copy's empty folder waits for the restart.
    assert [p.name[:11] for p in users.glob("*/Temp/FxUninstall*")] == ["FxUninstall"]
    session.restart_windows()
    return report


def test_product_shows_its_settings_and_the_uninstaller_removes_the_install(session, tmp_path):
    before = listing(session)

    install_dir, data_dir = make_installation(session)
    made = listing(session).keys() - before.keys()
    start_menu = "users/root/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Fotelix/"
    assert made >= {"Program Files/Fotelix/" + name for name in
                    ("Fotelix.Exe", "Uninstall.Exe", "FXInst.Dat", "UnInstall.dat")}
    assert made >= {start_menu + name + ".Lnk" for name in
                    ("Fotelix", "Fotelix Website", "Fotelix Manual", "Uninstall Fotelix")}
    assert made >= {"users/root/Desktop/Fotelix.Lnk", "users/root/AppData/Local/Fotelix/Fotelix.Dat"}
    program = install_dir + "Fotelix.Exe"
    command = session.registry_value(UNINSTALL_KEY, "UninstallString")
    assert command == '"' + install_dir + 'Uninstall.Exe"'

    press(session, "alt+s")  # "&Start Fotelix" on the finished page
    session.wait_window("Fotelix")
    session.act("wait-text", "Download folder: " + DOWNLOAD_DIR)
    session.act("wait-text", "Performance: " + PERFORMANCE)
    session.screenshot(tmp_path / "product.png")
    session.act("close", "Fotelix")

    settings = session.host_path(data_dir + "Fotelix.Dat")
    settings.write_bytes(settings.read_bytes()[:100])
    session.start('"' + program + '"')
    session.wait_window("Fotelix")
    session.act("wait-text", "Fotelix 2.12")
    assert 'Fotelix.Dat" is damaged at byte offset 100: ' in session.drive("list")[1]
    session.screenshot(tmp_path / "product-damaged.png")
    session.act("close", "Fotelix")

    # What the product makes in use.
    data = session.host_path(data_dir)
    (data / "cache").mkdir()
    (data / "cache" / "a1.jpg").write_bytes(b"cached")

    # Answered no, the uninstaller changes nothing.
    installed = listing(session)
    session.start(command)
    assert message_box(session) == (CAPTION, QUESTION)
    session.act("answer", "No")
    time.sleep(2)
    assert listing(session) == installed

    assert uninstall(session, command) == "Fotelix has been removed from this computer."
    assert session.registry_value(UNINSTALL_KEY, "DisplayName") is None
    assert listing(session) == before


def test_a_hostile_log_removes_nothing_outside_the_installation(session):
    folder = session.host_path("C:\\Apps\\Fotelix")
    folder.mkdir(parents=True)
    shutil.copy2(BIN / "Uninstall.exe", folder / "Uninstall.Exe")
    session.host_path("C:\\Data").mkdir()
    session.host_path("C:\\Data\\thesis.doc").write_bytes(b"years of work")
    session.host_path("C:\\x").write_bytes(b"a file at the root")
    # The one line that may be followed names the data folder that an install
    # makes; it holds a link to the user's documents, which must not be.
    data_dir = "C:\\users\\root\\AppData\\Local\\Fotelix\\"
    data = session.host_path(data_dir)
    (data / "cache").mkdir(parents=True)
    (data / "cache" / "a1.jpg").write_bytes(b"cached")
    (data / "Documents").symlink_to(session.host_path("C:\\Data"), target_is_directory=True)
    refused = ["<EC:\\>", "<F..\\..\\x>", "<FC:\\x>", "<FC:\\Data\\thesis.doc>", "<EC:\\Data\\>",
               "<DC:\\>", "<DC:\\users\\>", "<RSoftware\\Microsoft\\Windows\\CurrentVersion>",
               "<SAccessories>", "<FC:\\Apps\\Fotelix\\Uninstall.Exe"]
    (folder / "UnInstall.dat").write_bytes(
        "\r\n".join(["Fotelix", "<D" + data_dir + ">"] + refused).encode() + b"\r\n")
    key = r"HKLM\Software\Microsoft\Windows\CurrentVersion"
    program_files = session.registry_value(key, "ProgramFilesDir")
    before = listing(session)

    report = uninstall(session, '"C:\\Apps\\Fotelix\\Uninstall.Exe"')
    # Windows removes the link itself; Wine opens what a link leads to
    # instead, so the uninstaller leaves the link, and the data folder with
    # it, and says so.
    assert report.startswith("Fotelix could not be removed completely. These are still there:\n" +
                             data_dir + "Documents\n" + data_dir + "\n\n" +
                             "These lines of the uninstall log were left alone:\n"), report
    assert all(f'"{line}" ' in report for line in refused), report
    assert session.host_path("C:\\Data\\thesis.doc").read_bytes() == b"years of work"
    data_files = "users/root/AppData/Local/Fotelix/cache"
    assert before.keys() - listing(session).keys() == {data_files + "/", data_files + "/a1.jpg"}
    assert listing(session).keys() <= before.keys()
    assert session.registry_value(key, "ProgramFilesDir") == program_files
