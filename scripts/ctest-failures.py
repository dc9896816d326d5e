#!/usr/bin/env python3
"""Reads the JUnit file of a ctest run and sorts its failures.

Prints one line per failed test: "silent <name>" when the attempt printed nothing at all (the
test program never reached its first line: a Wine process that died at start-up), "failed
<name>" otherwise (a failure, a crash or a time-out after the test had begun).
  ctest-failures.py <junit.xml>            the sorted failures
  ctest-failures.py --regex <name>...      a ctest -R expression that selects exactly those names
"""
import re
import sys
import xml.etree.ElementTree as ET


def failures(path):
    for case in ET.parse(path).getroot().iter("testcase"):
        if case.get("status") in ("run", "disabled"):
            continue
        out = case.find("system-out")
        printed = out is not None and (out.text or "").strip() != ""
        yield ("failed" if printed else "silent"), case.get("name")


def regex(names):
    # CMake's regular expressions take a backslash before any character as that character.
    return "^(" + "|".join(re.sub(r"([][^$.*+?(){}|\\])", r"\\\1", n) for n in names) + ")$"


if __name__ == "__main__":
    if sys.argv[1] == "--regex":
        print(regex(sys.argv[2:]))
    else:
        for kind, name in failures(sys.argv[1]):
            print(kind, name)
