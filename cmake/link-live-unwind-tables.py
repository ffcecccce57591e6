#!/usr/bin/env python3
"""Links a MinGW program keeping the unwind tables of live functions only.

Run as the link launcher: the arguments are the compiler's link command.

The linker's own script for Windows programs keeps every unwind table
(KEEP(*(.eh_frame*))), and each table refers to its function, so section
garbage collection can drop no function that has one. GCC gives each
function that several objects may carry (inline functions, template
instances: most of the static C++ runtime) a table section of its own,
`.eh_frame$F` beside `.text$F`. Here the program is linked with a script
that keeps such a table only when its function is live, and again with the
functions those tables kept alive, until the set no longer grows. Every
function of the result has its table, so exceptions unwind exactly as
before. The shared `.eh_frame` section of each object, with the tables of
its other functions, and the runtime's start and end markers are all kept,
in their input order: the unwinder reads the tables up to the end marker.
"""
import os
import re
import subprocess
import sys
import tempfile

# The rule as each target's script writes it, spaces and all.
DEFAULT_RULE = re.compile(r"KEEP\s*\(\s*\*\s*\(\s*\.eh_frame\*\s*\)\s*\)")


def run(command):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if result.returncode != 0:
        sys.stdout.write(result.stdout)
        sys.exit(result.returncode)
    return result.stdout


def default_script(link):
    text = run(link + ["-Wl,--verbose"])
    parts = text.split("=" * 50)
    if len(parts) < 3 or len(DEFAULT_RULE.findall(parts[1])) != 1:
        sys.exit("link-live-unwind-tables: the linker's script has no rule KEEP(*(.eh_frame*))")
    return parts[1]


def live_functions(map_file):
    """The F of every `.text$F` input section the linker kept."""
    names = set()
    with open(map_file) as f:
        for line in f:
            if line.startswith("Linker script and memory map"):
                break
        for line in f:
            m = re.match(r"^ \.text[^$\s]*\$(\S+)", line)
            if m:
                names.add(m.group(1))
    return names


def main():
    link = sys.argv[1:]
    with tempfile.TemporaryDirectory() as scratch:
        script = default_script(link)
        script_file = os.path.join(scratch, "program.ld")
        map_file = os.path.join(scratch, "program.map")
        kept = None
        functions = set()
        while functions != kept:
            kept = functions
            rule = "KEEP(*(.eh_frame " + " ".join(".eh_frame$" + f for f in sorted(kept)) + "))"
            with open(script_file, "w") as f:
                f.write(DEFAULT_RULE.sub(lambda _: rule + "\n    *(.eh_frame$*)", script))
            said = run(link + ["-Wl,-T," + script_file, "-Wl,-Map," + map_file])
            functions = kept | live_functions(map_file)
        # What the linker said about the program it made, warnings included.
        sys.stdout.write(said)


if __name__ == "__main__":
    main()
