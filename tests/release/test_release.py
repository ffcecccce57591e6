"""What a release engineer checks of the shipped programs: that a second
build of the same commit, in another folder, gives the same bytes, and that a
build signed with a certificate installs programs that carry its signature.

The first compares with build/win32, which the test command has built just
before; the second makes a throwaway self-signed certificate, builds the
Windows programs of this machine's Wine with it, and walks one install under
that Wine.
"""
import hashlib
import os
import subprocess
import sys
from pathlib import Path

TOP = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(TOP / "tests" / "e2e"))
from harness import assert_signed  # noqa: E402
SHIPPED = ("Install_Fotelix.exe", "Fotelix.exe", "Uninstall.exe")
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
