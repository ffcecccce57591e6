"""The bootstrap's decisions against a package system of its own, and the
choice of Wine.

The bootstrap runs from a copy of the scripts in a temporary tree, with fake
apt-get, dpkg, dpkg-query and sudo first on PATH, so that the machine's own
packages are never touched: the fakes keep their installed packages in a file
of the tree, and refuse what a scenario tells them to refuse.
"""
import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

import pytest

TOP = Path(__file__).resolve().parents[2]

FAKE_APT = r"""#!/bin/bash
state=${0%/bin/*}/state
echo "apt-get $*" >>"$state/calls"
if [ "$1" = update ]; then
  if [ -f "$state/broken-index" ]; then
    echo "W: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
    exit 100
  fi
  exit 0
fi
[ "$1" = install ] || { echo "fake apt-get: $1 is not faked" >&2; exit 2; }
shift
simulate=0 packages=()
for a in "$@"; do
  case $a in -s) simulate=1 ;; -*) ;; *) packages+=("$a") ;; esac
done
for p in "${packages[@]}"; do
  if grep -qx "$p" "$state/refused" 2>/dev/null; then
    echo "Some packages could not be installed."
    echo "The following packages have unmet dependencies:"
    echo " $p : Depends: libc6:i386 (>= 2.36) but it is not installable"
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100
  fi
done
[ "$simulate" -eq 1 ] || printf '%s\n' "${packages[@]}" >>"$state/installed"
"""

FAKE_DPKG_QUERY = r"""#!/bin/bash
state=${0%/bin/*}/state
if grep -qx "${@: -1}" "$state/installed" 2>/dev/null; then printf 'install ok installed'; exit 0; fi
echo "dpkg-query: no packages found matching ${@: -1}" >&2
exit 1
"""

FAKE_DPKG = r"""#!/bin/bash
state=${0%/bin/*}/state
case $1 in
  --print-foreign-architectures) cat "$state/architectures" 2>/dev/null ;;
  --add-architecture) echo "dpkg $*" >>"$state/calls"; echo "$2" >>"$state/architectures" ;;
  *) echo "fake dpkg: $1 is not faked" >&2; exit 2 ;;
esac
"""

# The packages the bootstrap asks for, read from its own list.
REQUIRED = re.search(r"^required=\((.*?)\)$", (TOP / "scripts" / "bootstrap.sh").read_text(), re.S | re.M).group(1).split()
assert "xdotool" in REQUIRED


def jpeg_flags(arch: str) -> str:
    """The bootstrap's libjpeg flags for ARCH, one a line, as the stamp of a build holds them."""
    function = re.search(r"^jpeg_flags\(\) \{.*?^\}$", (TOP / "scripts" / "bootstrap.sh").read_text(), re.S | re.M)
    return subprocess.run(["bash", "-c", function.group(0) + "\njpeg_flags " + arch],
                          capture_output=True, text=True, check=True).stdout


def make_tree(root: Path) -> Path:
    (root / "scripts").mkdir(parents=True)
    for name in ("bootstrap.sh", "wine-arch.sh"):
        shutil.copy(TOP / "scripts" / name, root / "scripts" / name)
    # The JPEG libraries for MinGW are there already, made with the flags that
    # the bootstrap asks for: their build is not asked about here.
    for arch in ("i686", "x86_64"):
        prefix = root / "build" / "deps" / f"libjpeg-turbo-mingw-{arch}"
        (prefix / "lib").mkdir(parents=True)
        (prefix / "lib" / "libjpeg.a").write_bytes(b"")
        (prefix / "build-flags").write_text(jpeg_flags(arch))
    fake = root / "fake"
    (fake / "bin").mkdir(parents=True)
    (fake / "state").mkdir()
    for name, text in (("apt-get", FAKE_APT), ("dpkg-query", FAKE_DPKG_QUERY), ("dpkg", FAKE_DPKG),
                       ("sudo", '#!/bin/bash\nexec "$@"\n')):
        (fake / "bin" / name).write_text(text)
        (fake / "bin" / name).chmod(0o755)
    return root


def bootstrap(root: Path):
    env = dict(os.environ, PATH=f"{root / 'fake' / 'bin'}:/usr/bin:/bin", FX_APT_RETRY_PAUSE="0")
    run = subprocess.run(["bash", str(root / "scripts" / "bootstrap.sh")], env=env,
                         capture_output=True, text=True, timeout=60)
    calls_file = root / "fake" / "state" / "calls"
    calls = calls_file.read_text().splitlines() if calls_file.exists() else []
    calls_file.unlink(missing_ok=True)
    return run, run.stdout + run.stderr, calls


def installed(root: Path) -> set:
    path = root / "fake" / "state" / "installed"
    return set(path.read_text().split()) if path.exists() else set()


@pytest.mark.parametrize("refused,broken_index", [
    ([], True),                 # one index fails at every try
    (["wine32:i386"], False),   # the i386 C library of the security suite is missing
    (["wine32:i386"], True),
    (["xdotool"], False),       # a package the build cannot do without
])
def test_bootstrap_decisions(tmp_path, refused, broken_index):
    root = make_tree(tmp_path)
    state = root / "fake" / "state"
    (state / "refused").write_text("".join(p + "\n" for p in refused))
    if broken_index:
        (state / "broken-index").write_text("")

    run, out, calls = bootstrap(root)
    wine32_why = root / "build" / "deps" / "wine32-why"
    assert "dpkg --add-architecture i386" in calls
    if broken_index:
        assert calls.count("apt-get update -qq") == 3, calls
        assert ("some package indexes could not be read, going on without them: "
                "bookworm-security/main/binary-i386/Packages.xz") in out

    if "xdotool" in refused:
        assert run.returncode != 0
        assert ("cannot install xdotool, which the build needs: Unable to correct problems, you have "
                "held broken packages (xdotool : Depends: libc6:i386 (>= 2.36) but it is not installable)") in out
        assert "ready" not in out and "wine32:i386" not in installed(root)
        return

    assert run.returncode == 0, out
    assert out.rstrip().endswith("bootstrap: ready")
    assert set(REQUIRED) <= installed(root)
    if "wine32:i386" in refused:
        assert "wine32:i386" not in installed(root)
        assert "32-bit Wine left out, the Windows suites will run the 64-bit build" in out
        reason = wine32_why.read_text().strip()
        assert reason.startswith("apt-get cannot install wine32:i386: Unable to correct problems")
        assert reason.endswith("; indexes not read: bookworm-security/main/binary-i386/Packages.xz") == broken_index
        # wine-arch.sh tells it, on a machine that runs 32-bit programs but has no 32-bit Wine.
        (root / "fake" / "exit42").write_text("#!/bin/sh\nexit 42\n")
        (root / "fake" / "exit42").chmod(0o755)
        env = dict(os.environ, FX_WINE_ARCH="", FX_PROBE_32BIT=str(root / "fake" / "exit42"),
                   FX_PROBE_LOADER=str(root / "no-wine"))
        explain = subprocess.run([str(root / "scripts" / "wine-arch.sh"), "--explain"], env=env,
                                 capture_output=True, text=True, check=True).stdout
        assert explain == f"64-bit build under 64-bit Wine; 32-bit Wine is not installed ({reason})\n"

        # A second run tries 32-bit Wine once more, with the lists it has, and says nothing else.
        run, out, calls = bootstrap(root)
        assert run.returncode == 0 and calls == ["apt-get install -y -qq --no-install-recommends wine32:i386"]

        # Once the mirror serves it again, it is installed and its reason forgotten.
        (state / "refused").write_text("")
        run, out, calls = bootstrap(root)
        assert run.returncode == 0 and "wine32:i386" in installed(root) and not wine32_why.exists()
    else:
        assert "wine32:i386" in installed(root) and not wine32_why.exists()

    # On a ready machine nothing is asked of apt at all.
    run, out, calls = bootstrap(root)
    assert run.returncode == 0 and calls == [] and out == "bootstrap: ready\n"


def test_wine_arch_reasons(tmp_path):
    exit42 = tmp_path / "exit42"
    exit42.write_text("#!/bin/sh\nexit 42\n")
    exit42.chmod(0o755)
    # A copy, so that a reason the bootstrap kept in this tree plays no part.
    script = str(make_tree(tmp_path / "tree") / "scripts" / "wine-arch.sh")
    cases = [
        # (FX_WINE_ARCH, 32-bit probe, 32-bit loader, --env's architecture, --explain)
        ("", str(exit42), "/bin/true", "win32", "32-bit build under 32-bit Wine"),
        ("", "/bin/false", "/bin/true", "win64",
         "64-bit build under 64-bit Wine; this machine cannot run 32-bit programs"),
        ("", str(exit42), str(tmp_path / "none"), "win64",
         "64-bit build under 64-bit Wine; 32-bit Wine is not installed"),
        ("", str(exit42), "/bin/false", "win64",
         "64-bit build under 64-bit Wine; 32-bit Wine is installed but does not start"),
        ("win64", str(exit42), "/bin/true", "win64", "64-bit build under 64-bit Wine; chosen by FX_WINE_ARCH"),
        ("win32", "/bin/false", "/bin/false", "win32", "32-bit build under 32-bit Wine; chosen by FX_WINE_ARCH"),
    ]
    for forced, probe, loader, arch, explain in cases:
        env = dict(os.environ, FX_WINE_ARCH=forced, FX_PROBE_32BIT=probe, FX_PROBE_LOADER=loader)
        said = subprocess.run([script, "--explain"], env=env, capture_output=True, text=True).stdout
        lines = subprocess.run([script, "--env"], env=env, capture_output=True, text=True).stdout
        assert said == explain + "\n", (forced, probe, loader)
        assert lines.startswith(f"FX_WINE_ARCH={arch}\nWINEARCH={arch}\n"), lines
    refused = subprocess.run([script], env=dict(os.environ, FX_WINE_ARCH="win16"), capture_output=True, text=True)
    assert refused.returncode == 2 and "win16" in refused.stderr
    # The real probe of this machine answers one way or the other, and leaves nothing behind.
    env = {k: v for k, v in os.environ.items() if not k.startswith("FX_")}
    assert subprocess.run([script], env=env, capture_output=True, text=True).stdout in ("win32\n", "win64\n")
    assert not list((tmp_path / "tree" / "build").glob(".ia32-probe.*"))


def test_layer_check(tmp_path):
    # The tree itself is checked by the native suites; here, that the check can fail.
    script = TOP / "scripts" / "check-layers.py"
    climbs = {
        "src/install/InstallRun.cpp": '#include "ui/Controls.h"\n',
        "src/lib/LIB_Text.cpp": "  #  include <Windows.h>\n",
        "src/pages/PNL_Error.h": '#include "app/Form_Main.h"\n',
        "src/app/Form_Main.cpp": '#include "platform/hostsim/HostSim.h"\n#include "ui/win32/Win32Backend.h"\n',
        # Where they belong.
        "src/ui/win32/Win32Backend.cpp": "#include <windows.h>\n",
        "tests/unit/X_test.cpp": '#include "platform/hostsim/HostSim.h"\n#include "app/Form_Main.h"\n',
    }
    for name, text in climbs.items():
        (tmp_path / name).parent.mkdir(parents=True, exist_ok=True)
        (tmp_path / name).write_text("#pragma once\n" + text)
    run = subprocess.run([sys.executable, str(script), str(tmp_path)], capture_output=True, text=True)
    assert run.returncode == 1
    assert run.stdout.splitlines() == [
        'src/app/Form_Main.cpp:2: "platform/hostsim/HostSim.h": a test double in what ships',
        'src/app/Form_Main.cpp:3: "ui/win32/Win32Backend.h": a Windows header outside the Windows layers',
        'src/install/InstallRun.cpp:2: "ui/Controls.h": install may not include ui',
        "src/lib/LIB_Text.cpp:2: <Windows.h>: a Windows header outside the Windows layers",
        'src/pages/PNL_Error.h:2: "app/Form_Main.h": pages may not include app',
        "layers: 5 include(s) out of place",
    ]


def test_junit_count(tmp_path):
    ctest = ('<testsuite tests="4" failures="1"><testcase name="a" status="run"/>'
             '<testcase name="b" status="fail"><failure message="Failed"/></testcase>'
             '<testcase name="c" status="notrun"><skipped message="Skipped"/></testcase>'
             '<testcase name="fotelix_tests_wine" status="{status}"/></testsuite>')
    gtest = ('<testsuites><testsuite name="S"><testcase name="x" status="run" result="completed"/>'
             '<testcase name="y" status="run" result="completed"/>'
             '<testcase name="z" status="run" result="skipped"><skipped message=""/></testcase>'
             '{failure}</testsuite></testsuites>')
    ctest_xml, gtest_xml, pytest_xml = (tmp_path / n for n in ("junit.xml", "fotelix_tests_wine.xml", "e2e.xml"))
    pytest_xml.write_text('<testsuites><testsuite><testcase name="t1"/><testcase name="t2">'
                          '<error message="boom"/></testcase></testsuite></testsuites>')

    def count(*args):
        script = str(TOP / "scripts" / "junit-count.py")
        return subprocess.run([sys.executable, script, *map(str, args)], capture_output=True, text=True,
                              check=True).stdout.split()

    cases = [
        # (the Windows test's status, a failing GoogleTest case, or None for no XML of its own; counts)
        ("run", "", ["3", "1", "2"]),
        ("fail", '<testcase name="w" status="run"><failure message="no"/></testcase>', ["3", "2", "2"]),
        ("fail", "", ["3", "2", "2"]),  # the run failed after all its cases passed
        ("fail", None, ["1", "2", "1"]),  # cut off before writing: the CTest test counts
    ]
    for status, failure, expected in cases:
        ctest_xml.write_text(ctest.format(status=status))
        gtest_xml.unlink(missing_ok=True)
        if failure is not None:
            gtest_xml.write_text(gtest.format(failure=failure))
        assert count(ctest_xml, "--inner", gtest_xml) == expected, (status, failure)
    # A runner that wrote nothing did not pass.
    assert count(pytest_xml, tmp_path / "missing.xml") == ["1", "2", "0"]
