#!/usr/bin/env python3
"""Counts the test cases of one suite from its runners' JUnit XML files and
prints "PASSED FAILED SKIPPED". A file that is missing or cannot be read
counts as one failure: a runner that wrote no results did not pass.

--inner FILE names the GoogleTest XML of a whole test executable that CTest
ran as one test, the test named after the file (fotelix_tests_wine.xml for
fotelix_tests_wine): its cases are counted one by one instead of that test,
and a run that failed with every case passed still counts as one failure."""
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path


def outcome(case):
    if case.find("failure") is not None or case.find("error") is not None or case.get("status") == "fail":
        return "failed"
    if case.find("skipped") is not None or case.get("status") in ("notrun", "disabled") or \
            case.get("result") in ("skipped", "suppressed"):
        return "skipped"
    return "passed"


def cases(path):
    return [(case.get("name"), outcome(case)) for case in ElementTree.parse(path).iter("testcase")]


def main(args):
    counts = {"passed": 0, "failed": 0, "skipped": 0}
    inner = {}
    files = []
    while args:
        arg = args.pop(0)
        if arg == "--inner":
            path = Path(args.pop(0))
            if path.exists():
                inner[path.stem] = path
        else:
            files.append(Path(arg))
    for path in files:
        try:
            found = cases(path)
        except (OSError, ElementTree.ParseError) as error:
            print(f"{path}: no results ({error})", file=sys.stderr)
            counts["failed"] += 1
            continue
        for name, result in found:
            try:
                own = cases(inner[name]) if name in inner else None
            except ElementTree.ParseError:
                own = None  # cut off: the test's own result stands
            if own is None:
                counts[result] += 1
                continue
            for _, inner_result in own:
                counts[inner_result] += 1
            if result == "failed" and all(r != "failed" for _, r in own):
                counts["failed"] += 1
    print(counts["passed"], counts["failed"], counts["skipped"])


if __name__ == "__main__":
    main(sys.argv[1:])
