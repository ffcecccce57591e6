"""What a release engineer checks of the shipped programs: that a second
build of the same commit, in another folder, gives the same bytes, that a
build signed with a certificate installs programs that carry its signature,
and what each program tells Windows about itself and how it guards its stack.

The first compares with build/win32, which the test command has built just
before; the second makes a throwaway self-signed certificate, builds the
Windows programs of this machine's Wine with it, and walks one install under
that Wine.
"""
import hashlib
import os
import re
import subprocess
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TOP / "tests" / "e2e"))
from harness import assert_signed  # noqa: E402
SHIPPED = ("Install_Fotelix.exe", "Fotelix.exe", "Uninstall.exe")
# What each asks for: the setup program and the uninstaller change what
# belongs to all users; the product runs as whoever starts it.
ELEVATION = {"Install_Fotelix.exe": "highestAvailable", "Fotelix.exe": "asInvoker",
             "Uninstall.exe": "highestAvailable"}
TOOLCHAIN = {"win32": "mingw-i686.cmake", "win64": "mingw-x86_64.cmake"}


def build(folder: Path, arch: str, targets, *options):
    configure = ["cmake", "-S", str(TOP), "-B", str(folder), "-G", "Unix Makefiles",
                 f"-DCMAKE_TOOLCHAIN_FILE={TOP / 'cmake' / TOOLCHAIN[arch]}",
                 "-DCMAKE_BUILD_TYPE=MinSizeRel", *options]
    for command in (configure, ["cmake", "--build", str(folder), "-j2", "--target", *targets]):
        done = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        assert done.returncode == 0, done.stdout[-4000:]
    return folder / "bin"


def sha256(path: Path) -> str:
    return hashlib.sha256(path.read_bytes()).hexdigest()


def test_a_second_build_elsewhere_gives_the_same_bytes():
    first = TOP / "build" / "win32" / "bin"
    second = build(TOP / "build" / "reproduce-win32", "win32", [Path(n).stem for n in SHIPPED])
    for name in SHIPPED:
        data = (second / name).read_bytes()
        assert sha256(first / name) == sha256(second / name), name
        print(f"{sha256(second / name)}  {name}")
        # Neither the sources' folder nor a build folder is compiled in.
        assert str(TOP).encode() not in data and b"reproduce-win32" not in data, name
        # The PE time stamp is the commit's, not the time of the build.
        pe = int.from_bytes(data[0x3C:0x40], "little")
        stamp = int.from_bytes(data[pe + 8:pe + 12], "little")
        commit = subprocess.run(["git", "-C", str(TOP), "log", "-1", "--format=%ct"],
                                stdout=subprocess.PIPE, text=True, check=True).stdout.strip()
        assert stamp == int(os.environ.get("SOURCE_DATE_EPOCH", commit)), name


def test_a_signed_build_installs_signed_programs(tmp_path):
    key, certificate = tmp_path / "key.pem", tmp_path / "certificate.pem"
    password, pkcs12 = tmp_path / "password.txt", tmp_path / "signing.p12"
    password.write_text("throwaway\n")
    for command in (
            ["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
             "-subj", "/CN=Fotelix Test Signing/O=Morvane Software", "-keyout", str(key),
             "-out", str(certificate), "-addext", "keyUsage=critical,digitalSignature",
             "-addext", "extendedKeyUsage=codeSigning"],
            ["openssl", "pkcs12", "-export", "-inkey", str(key), "-in", str(certificate),
             "-out", str(pkcs12), "-passout", f"file:{password}"]):
        subprocess.run(command, check=True, capture_output=True)

    arch = os.environ.get("FX_WINE_ARCH") or subprocess.run(
        [str(TOP / "scripts" / "wine-arch.sh")], stdout=subprocess.PIPE, text=True, check=True).stdout.strip()
    bin_dir = build(TOP / "build" / f"signed-{arch}", arch,
                    ["Install_Fotelix", "Fotelix", "Uninstall", "fxdrive", "fxdat"],
                    f"-DFX_SIGN_PKCS12={pkcs12}", f"-DFX_SIGN_PASSWORD_FILE={password}")
    for name in SHIPPED:
        assert_signed(bin_dir / name, certificate)

    # The signed setup program installs as the unsigned one does, and what it
    # installed verifies too (the install test checks that when told the certificate).
    walk = subprocess.run(
        [sys.executable, "-m", "pytest", "-p", "no:cacheprovider", "-q",
         str(TOP / "tests" / "e2e" / "test_install.py") + "::test_default_install_by_keyboard_then_start_fotelix"],
        env=dict(os.environ, FX_WINE_ARCH=arch, FX_WINDOWS_BIN=str(bin_dir), FX_SIGNED_BY=str(certificate)),
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    assert walk.returncode == 0, walk.stdout[-4000:]
    assert "1 passed" in walk.stdout


def test_the_shipped_programs_carry_their_manifest_and_their_hardening():
    """Read from the 32-bit programs as they are shipped (stripped, so by
    their code rather than symbols)."""
    for name in SHIPPED:
        program = TOP / "build" / "win32" / "bin" / name
        data = program.read_bytes()
        objdump = ["i686-w64-mingw32-objdump", str(program)]
        headers = subprocess.run(objdump[:1] + ["-p"] + objdump[1:], stdout=subprocess.PIPE, text=True,
                                 check=True).stdout
        flags = re.search(r"^DllCharacteristics\s+\w+\n((?:\t+\w+\n)*)", headers, re.M).group(1).split()
        # NO_SEH: Windows calls no exception handler in them (their C++
        # exceptions unwind by DWARF tables), whatever a smashed stack names.
        assert {"DYNAMIC_BASE", "NX_COMPAT", "NO_SEH"} <= set(flags), (name, flags)

        # The manifest: the one resource of type 24 (id 1), and the one
        # manifest in the file (the carried programs' are compressed).
        leaf = re.search(r"^\w+ {3}Entry: ID: 0x000018,.*\n.*\n\w+ {5}Entry: ID: 0x000001,.*\n.*\n.*\n"
                         r"\w+ +Leaf: Addr: 0x\w+, Size: 0x(\w+)", headers, re.M)
        assert leaf, name
        manifests = re.findall(rb"<\?xml.*?</assembly>\s*", data, re.S)
        assert len(manifests) == 1 and len(manifests[0]) == int(leaf.group(1), 16), name
        assert f'<requestedExecutionLevel level="{ELEVATION[name]}" '.encode() in manifests[0], name

        # Stack cookies: the functions that keep a buffer compare their
        # cookie with the one guard before they return, and call the failure
        # report when it differs; the guard is random, from the static SSP
        # library's start-up, which no DLL of that library provides.
        code = subprocess.run(objdump[:1] + ["-d", "--no-show-raw-insn"] + objdump[1:],
                              stdout=subprocess.PIPE, text=True, check=True).stdout
        checks = re.findall(r"\tsub +(0x[0-9a-f]+),%e[a-d]x\n.*\tj(?:n?e) +0x[0-9a-f]+\n", code)
        guard, count = max(((g, checks.count(g)) for g in set(checks)), key=lambda c: c[1], default=("", 0))
        assert count >= 10, (name, guard, count)
        assert b"*** stack smashing detected ***" in data, name
        assert "CryptGenRandom" in headers, name
        assert not [dll for dll in re.findall(r"DLL Name: (\S+)", headers) if "ssp" in dll.lower()], name
