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
case $1 in
  update)
    if [ -f "$state/broken-index" ]; then
      echo "W: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi
    exit 0 ;;
  indextargets) ls -d "$state"/lists/*; exit 0 ;;
  install) shift ;;
  *) echo "fake apt-get: $1 is not faked" >&2; exit 2 ;;
esac
simulate=0 prefs="" packages=()
while [ $# -gt 0 ]; do
  case $1 in
    -s) simulate=1 ;;
    -o) shift; prefs=${1#Dir::Etc::Preferences=} ;;
    -*) ;;
    *) packages+=("$1") ;;
  esac
  shift
done
refuse() {
  echo "Some packages could not be installed."
  echo "The following packages have unmet dependencies:"
  echo " $1 : Depends: $2 but it is not installable"
  echo "E: Unable to correct problems, you have held broken packages." >&2
  exit 100
}
for p in "${packages[@]}"; do
  if grep -qx "$p" "$state/refused" 2>/dev/null; then refuse "$p" "libc6:i386 (>= 2.36)"; fi
  # A skewed mirror: 32-bit Wine resolves only with zlib1g aligned.
  if [ "$p" = wine32:i386 ] && [ -f "$state/skew-plan" ]; then
    grep -qzF $'Package: zlib1g:any\nPin: version 1:1.2.13.dfsg-1\n' "$prefs" 2>/dev/null ||
      refuse "libfreetype6:i386" "zlib1g:i386 (>= 1:1.1.4)"
    [ "$simulate" -eq 1 ] && cat "$state/skew-plan"
  fi
done
[ -z "$prefs" ] || [ "$simulate" -eq 1 ] || cp "$prefs" "$state/prefs-installed-with"
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
  --print-architecture) echo amd64 ;;
  --print-foreign-architectures) cat "$state/architectures" 2>/dev/null ;;
  --add-architecture) echo "dpkg $*" >>"$state/calls"; echo "$2" >>"$state/architectures" ;;
  --compare-versions) exec /usr/bin/dpkg "$@" ;;
  *) echo "fake dpkg: $1 is not faked" >&2; exit 2 ;;
esac
"""

# The mirror's indexes on a day when bookworm-security's i386 index cannot be
# read: zlib1g and libpng16-16 are newer for amd64 than for i386, libpng-tools
# comes from libpng16-16's source at its exact version, libmagick1 differs
# too but 32-bit Wine does not need it, libc6 agrees, and libfoo1 has no
# i386 build.
INDEXES = {
    "main_amd64": """\
Package: libmagick1
Architecture: amd64
Version: 1.0-1
Multi-Arch: same

Package: zlib1g
Architecture: amd64
Version: 1:1.2.13.dfsg-1
Multi-Arch: same
Source: zlib

Package: libpng16-16
Architecture: amd64
Version: 1.6.39-2+deb12u5
Multi-Arch: same
Source: libpng1.6

Package: libpng-tools
Architecture: amd64
Version: 1.6.39-2+deb12u5
Source: libpng1.6

Package: libc6
Architecture: amd64
Version: 2.36-9+deb12u14
Multi-Arch: same
Source: glibc

Package: libfoo1
Architecture: amd64
Version: 2.0-1
Multi-Arch: same
""",
    "security_amd64": """\
Package: libmagick1
Architecture: amd64
Version: 1.0-1+deb12u1
Multi-Arch: same

Package: zlib1g
Architecture: amd64
Version: 1:1.2.13.dfsg-1+deb12u1
Multi-Arch: same
Source: zlib

Package: libpng16-16
Architecture: amd64
Version: 1.6.39-2+deb12u6
Multi-Arch: same
Source: libpng1.6

Package: libpng-tools
Architecture: amd64
Version: 1.6.39-2+deb12u6
Source: libpng1.6

Package: libfoo1
Architecture: amd64
Version: 2.0-1+deb12u1
Multi-Arch: same
""",
    "main_i386": """\
Package: libmagick1
Architecture: i386
Version: 1.0-1
Multi-Arch: same

Package: zlib1g
Architecture: i386
Version: 1:1.2.13.dfsg-1
Multi-Arch: same
Source: zlib

Package: libpng16-16
Architecture: i386
Version: 1.6.39-2+deb12u5
Multi-Arch: same
Source: libpng1.6

Package: libc6
Architecture: i386
Version: 2.36-9+deb12u14
Multi-Arch: same
Source: glibc
""",
}
PINS = "".join(f"Package: {name}:any\nPin: version {version}\nPin-Priority: 1001\n\n" for name, version in (
    ("libpng-tools", "1.6.39-2+deb12u5"), ("libpng16-16", "1.6.39-2+deb12u5"), ("zlib1g", "1:1.2.13.dfsg-1")))

# What apt-get -s prints for 32-bit Wine with the libraries aligned: zlib1g
# and libpng16-16 held back, and the machine's own packages either taken
# forward, or back, or removed.
ALIGNED = ("Inst zlib1g [1:1.2.13.dfsg-1] (1:1.2.13.dfsg-1 Debian:12.15/oldstable [amd64])\n"
           "Inst zlib1g:i386 (1:1.2.13.dfsg-1 Debian:12.15/oldstable [i386])\n"
           "Inst libpng16-16:i386 (1.6.39-2+deb12u5 Debian:12.15/oldstable [i386])\n"
           "Inst libc6:i386 (2.36-9+deb12u14 Debian:12.15/oldstable [i386])\n"
           "Inst wine32:i386 (8.0~repack-4 Debian:12.15/oldstable [i386])\n")
SKEW_PLANS = {
    "aligned": ALIGNED + "Inst libpng16-16 [1.6.39-2+deb12u4] (1.6.39-2+deb12u5 Debian:12.15/oldstable [amd64])\n",
    "goes back": ALIGNED + "Inst libpng16-16 [1.6.39-2+deb12u6] (1.6.39-2+deb12u5 Debian:12.15/oldstable [amd64])\n",
    "removes": ALIGNED + "Remv libpng-tools [1.6.39-2+deb12u4]\n",
}

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
    for name in ("bootstrap.sh", "wine-arch.sh", "align-multiarch.sh"):
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
    (fake / "state" / "lists").mkdir(parents=True)
    for name, text in INDEXES.items():
        (fake / "state" / "lists" / f"{name}_Packages").write_text(text)
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


@pytest.mark.parametrize("refused,broken_index,skew", [
    ([], True, None),                 # one index fails at every try, and 32-bit Wine does not need it
    (["wine32:i386"], False, None),   # the i386 C library of the security suite is missing
    (["wine32:i386"], True, None),
    ([], True, "aligned"),            # the i386 index lags: aligned for this one install
    ([], True, "goes back"),          # ... but a library that the machine has would go back
    ([], True, "removes"),            # ... or a tool of the machine's would go
    (["xdotool"], False, None),       # a package the build cannot do without
])
def test_bootstrap_decisions(tmp_path, refused, broken_index, skew):
    root = make_tree(tmp_path)
    state = root / "fake" / "state"
    (state / "refused").write_text("".join(p + "\n" for p in refused))
    if broken_index:
        (state / "broken-index").write_text("")
    if skew:
        (state / "skew-plan").write_text(SKEW_PLANS[skew])

    run, out, calls = bootstrap(root)
    wine32_why = root / "build" / "deps" / "wine32-why"
    assert "dpkg --add-architecture i386" in calls
    if broken_index:
        assert calls.count("apt-get update -qq") == 3, calls
        assert ("some package indexes could not be read, going on without them: "
                "bookworm-security/main/binary-i386/Packages.xz") in out
    installs = [c for c in calls if c.startswith("apt-get install -y")]

    if "xdotool" in refused:
        assert run.returncode != 0
        assert ("cannot install xdotool, which the build needs: Unable to correct problems, you have "
                "held broken packages (xdotool : Depends: libc6:i386 (>= 2.36) but it is not installable)") in out
        assert "ready" not in out and "wine32:i386" not in installed(root)
        return

    assert run.returncode == 0, out
    assert out.rstrip().endswith("bootstrap: ready")
    assert set(REQUIRED) <= installed(root)
    # Nothing of the alignment stays on the machine, whatever became of it.
    assert not list((root / "build" / "deps").glob("multiarch.pref*"))
    aligned = skew == "aligned"
    assert ("holding 2 back at versions of the point release that both list, because these indexes could not "
            "be read: bookworm-security/main/binary-i386/Packages.xz: libpng16-16 1.6.39-2+deb12u5, "
            "zlib1g 1:1.2.13.dfsg-1\n") in out or not aligned
    if not refused and skew in (None, "aligned"):
        # One apt call for everything, 32-bit Wine with it, aligned only where the mirror needs it.
        assert installs == ["apt-get install -y -qq --no-install-recommends "
                            + ("-o Dir::Etc::Preferences=" + str(root / "build/deps/multiarch.pref ") if aligned else "")
                            + " ".join(REQUIRED + ["wine32:i386"])], installs
        assert (state / "prefs-installed-with").exists() == aligned
        assert not aligned or (state / "prefs-installed-with").read_text() == PINS
        assert "wine32:i386" in installed(root) and not wine32_why.exists()
    else:
        assert "wine32:i386" not in installed(root)
        assert installs == ["apt-get install -y -qq --no-install-recommends " + " ".join(REQUIRED)], installs
        assert "32-bit Wine left out, the Windows suites will run the 64-bit build" in out
        reason = wine32_why.read_text().strip()
        assert reason.startswith({
            None: "apt-get cannot install wine32:i386: Unable to correct problems",
            "goes back": "installing wine32:i386 would take libpng16-16 back from 1.6.39-2+deb12u6 to "
                         "1.6.39-2+deb12u5, which this machine had",
            "removes": "installing wine32:i386 would remove libpng-tools, which this machine had"}[skew]), reason
        assert reason.endswith("; indexes not read: bookworm-security/main/binary-i386/Packages.xz") == broken_index
        # wine-arch.sh tells it, on a machine that runs 32-bit programs but has no 32-bit Wine.
        (root / "fake" / "exit42").write_text("#!/bin/sh\nexit 42\n")
        (root / "fake" / "exit42").chmod(0o755)
        env = dict(os.environ, FX_WINE_ARCH="", FX_PROBE_32BIT=str(root / "fake" / "exit42"),
                   FX_PROBE_LOADER=str(root / "no-wine"))
        explain = subprocess.run([str(root / "scripts" / "wine-arch.sh"), "--explain"], env=env,
                                 capture_output=True, text=True, check=True).stdout
        assert explain == f"64-bit build under 64-bit Wine; 32-bit Wine is not installed ({reason})\n"

        # A second run tries 32-bit Wine once more, with the lists it has, and installs nothing else.
        run, out, calls = bootstrap(root)
        assert run.returncode == 0 and calls[0] == "apt-get install -s -qq --no-install-recommends wine32:i386"
        assert not [c for c in calls if c.startswith(("apt-get update", "apt-get install -y"))], calls

        # Once the mirror serves it again, it is installed, alone and as apt chooses, and its reason forgotten.
        (state / "refused").write_text("")
        (state / "skew-plan").unlink(missing_ok=True)
        run, out, calls = bootstrap(root)
        assert [c for c in calls if c.startswith("apt-get install -y")] == [
            "apt-get install -y -qq --no-install-recommends wine32:i386"], calls
        assert run.returncode == 0 and "wine32:i386" in installed(root) and not wine32_why.exists()

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
        "src/lib/LIB_Text.cpp": '  #  include <Windows.h>\n#include "resources/Resources.h"\n',
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
        'src/lib/LIB_Text.cpp:3: "resources/Resources.h": lib may not include resources',
        'src/pages/PNL_Error.h:2: "app/Form_Main.h": pages may not include app',
        "layers: 6 include(s) out of place",
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
