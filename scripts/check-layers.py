#!/usr/bin/env python3
"""Fails on an #include that climbs a layer: a folder of src/ including a
layer above its own, a Windows header outside the Windows layers and the
Windows programs, or a test double in what ships. Prints every such include
as file:line: what. Takes the tree to check, the repository by default."""
import re
import sys
from pathlib import Path

# What each layer may include besides itself: pages -> widgets/ui/install
# -> lib/platform, with the program's resources beside the pages.
MAY_INCLUDE = {
    "lib": {"platform"},
    "platform": {"lib"},
    "install": {"lib", "platform"},
    "ui": {"lib", "platform"},
    "widgets": {"ui", "lib", "platform"},
    "pages": {"widgets", "ui", "install", "resources", "lib", "platform"},
    "app": {"pages", "widgets", "ui", "install", "resources", "lib", "platform"},
}

# The program's resources are a layer too, though no folder of src/.
LAYERS = set(MAY_INCLUDE) | {"resources"}

# Where Windows headers belong: the two Windows layers, and the files of the
# programs that exist only for Windows (the setup program's entry, the
# carried programs, the Windows tests, the UI driver, the gallery, the Wine
# benchmark).
WINDOWS_SIDE = ("src/platform/win32/", "src/ui/win32/", "src/app/Install_Fotelix.cpp", "product/",
                "tests/win32/", "tests/e2e/driver/", "tests/gallery/", "bench/WineBench.cpp")
WINDOWS_HEADER = re.compile(r"<(windows|windowsx|winioctl|wincodec|objbase|shellapi|shlobj|commctrl|"
                            r"uxtheme|vsstyle|oleacc)\.h>|\"(platform|ui)/win32/", re.IGNORECASE)

# The simulated Windows and the screenless backend serve the tests only.
TEST_DOUBLE = re.compile(r"\"(platform/hostsim|ui/headless)/")
SHIPPED = ("src/", "product/")
DOUBLES = ("src/platform/hostsim/", "src/ui/headless/")

INCLUDE = re.compile(r"^\s*#\s*include\s*([<\"][^>\"]+[>\"])")


def problems(top: Path):
    sources = (p for root in ("src", "product", "tests", "bench", "tools") for p in (top / root).rglob("*"))
    for path in sorted(sources):
        if path.suffix not in (".cpp", ".h"):
            continue
        name = path.relative_to(top).as_posix()
        layer = name.split("/")[1] if name.startswith("src/") else None
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            where = f"{name}:{number}: {included}"
            target = re.match(r"\"([a-z]+)/", included)
            if layer in MAY_INCLUDE and target and target.group(1) in LAYERS and \
                    target.group(1) != layer and target.group(1) not in MAY_INCLUDE[layer]:
                yield f"{where}: {layer} may not include {target.group(1)}"
            if WINDOWS_HEADER.search(included) and not name.startswith(WINDOWS_SIDE):
                yield f"{where}: a Windows header outside the Windows layers"
            if TEST_DOUBLE.search(included) and name.startswith(SHIPPED) and not name.startswith(DOUBLES):
                yield f"{where}: a test double in what ships"


def main():
    top = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parents[1])
    found = list(problems(top))
    for problem in found:
        print(problem)
    print(f"layers: {len(found)} include(s) out of place" if found else "layers: every include in place")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
