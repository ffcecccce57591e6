"""The carried programs after an install: the product stand-in shows the
settings that setup wrote, and the uninstaller, started as Windows starts it,
removes what the install made and nothing else."""
import os
import shutil
import subprocess
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


def test_remove_is_refused_unless_the_uninstaller_started_its_own_copy(session):
    """"/remove" skips the question and takes the folder from the command
    line: only the copy that the uninstaller makes of itself in a fresh
    folder, and hands its own process to, may use it. Refused, it removes
    nothing and says why. The real copy's folder is closed to other users,
    and the copy cannot be renamed or replaced while it runs."""
    install = session.host_path("C:\\Apps\\Fotelix")
    install.mkdir(parents=True)
    shutil.copy2(BIN / "Uninstall.exe", install / "Uninstall.Exe")
    (install / "Fotelix.Exe").write_bytes(b"MZ")
    (install / "UnInstall.dat").write_bytes(b"\r\n".join(
        [b"Fotelix"] + [b"<FC:\\Apps\\Fotelix\\" + name + b">" for name in (b"Fotelix.Exe", b"Uninstall.Exe",
                                                                          b"Uninstall.Dat")] +
        [b"<EC:\\Apps\\Fotelix\\>", b""]))
    # A folder named as the uninstaller names its copy's, in the user's
    # temporary folder, with the uninstaller in it.
    temp = next(session.c_drive.glob("users/*/Temp"))
    temp_dir = f"C:\\users\\{temp.parent.name}\\Temp\\"
    (temp / "FxUninstall123456").mkdir()
    shutil.copy2(BIN / "Uninstall.exe", temp / "FxUninstall123456" / "Uninstall.exe")
    copy = temp_dir + "FxUninstall123456\\Uninstall.exe"
    not_started = 'it was not started by the uninstaller in "C:\\Apps\\Fotelix\\"'
    before = listing(session)
    for program, handle, why in [
        ("C:\\Apps\\Fotelix\\Uninstall.Exe", "0",
         'it runs from "C:\\Apps\\Fotelix\\", not from a folder that the uninstaller made for it'),
        (copy, "0", not_started),
        # A number that this process may hold a handle by, but not a process's.
        (copy, "4", not_started),
        (copy, "-1", not_started),
    ]:
        session.start(f'"{program}" /remove "C:\\Apps\\Fotelix" {handle}')
        assert message_box(session) == (
            CAPTION, 'Fotelix cannot be removed: the uninstaller was started with "/remove", but ' + why +
            ".\nNothing has been changed."), (program, handle)
        session.act("answer", "OK")
    time.sleep(1)
    assert listing(session) == before

    session.start('"C:\\Apps\\Fotelix\\Uninstall.Exe"')
    assert message_box(session) == (CAPTION, QUESTION)
    session.act("answer", "Yes")
    assert message_box(session) == (CAPTION, "Fotelix has been removed from this computer.")
    [fresh] = [p for p in temp.glob("FxUninstall*") if p.name != "FxUninstall123456"]
    # Wine shows the folder's protection as its mode: nothing for others.
    assert fresh.stat().st_mode & 0o007 == 0, oct(fresh.stat().st_mode)
    for command in (["ren", "Uninstall.exe", "Other.exe"], ["copy", "/y", copy, "Uninstall.exe"],
                    ["del", "Uninstall.exe"]):
        # Wine's "del" ends with 0 whatever happened: its words tell.
        done = subprocess.run([session.wine, "cmd", "/c", "cd", "/d", temp_dir + fresh.name, "&&", *command],
                              env=session.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                              timeout=60)
        assert "Sharing violation" in done.stdout, (command, done.stdout)
    assert [p.name for p in fresh.iterdir()] == ["Uninstall.exe"]
    session.act("answer", "OK")
    assert not install.exists()
