#!/usr/bin/env python3
"""Checks the compiled help file with libchm-bin's tools: every HTML source is a topic of it,
and its context map sends the Help button's context id to a topic the file holds.
Usage: check_help_file.py <help.chm> <help source folder> <context id>"""
import struct
import subprocess
import sys
import tempfile
from pathlib import Path


def main():
    chm, sources, context = Path(sys.argv[1]), Path(sys.argv[2]), int(sys.argv[3])
    failures = 0
    passes = 0

    def check(ok, what):
        nonlocal failures, passes
        passes += 1 if ok else 0
        if not ok:
            failures += 1
            print("FAILED:", what)

    listing = subprocess.run(["enum_chmLib", str(chm)], capture_output=True, text=True, check=True).stdout
    names = {line.split()[-1] for line in listing.splitlines() if line.strip().endswith(".html")}
    for source in sorted(sources.glob("*.html")):
        check("/" + source.name in names, f"topic {source.name} in the help file")

    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["extract_chmLib", str(chm), out], capture_output=True, check=True)
        ivb = (Path(out) / "#IVB").read_bytes()
        strings = (Path(out) / "#STRINGS").read_bytes()
    size = struct.unpack_from("<I", ivb)[0]
    pairs = [struct.unpack_from("<II", ivb, 4 + 8 * i) for i in range(size // 8)]
    topics = {number: strings[offset:strings.index(b"\0", offset)].decode() for number, offset in pairs}
    check(context in topics, f"context {context} in the context map {topics}")
    check(topics.get(context) in names, f"context {context} leads to a topic of the file: {topics.get(context)}")
    check(topics.get(context) == "/index.html", "the Help button opens the start page")

    print(f"help: {passes} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
