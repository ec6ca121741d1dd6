"""Reads a saved results file back with Python's own readers and prints what it found, so the
tests can compare it with what was saved.

xml FILE: for each page element, one line: the page's tag, then the tag and text of each
child, tab-separated; namespaces are shown in Clark notation ({uri}name). The root's tag and
its schemaLocation attribute come first.
csv FILE: one line per row, the fields separated by tabs, with CR and LF shown as \\r and \\n.
"""
import csv
import sys
import xml.etree.ElementTree as ET

XSI = "{http://www.w3.org/2001/XMLSchema-instance}schemaLocation"


def show(text):
    return (text or "").replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t")


def read_xml(path):
    root = ET.parse(path).getroot()
    print(root.tag)
    print(root.get(XSI))
    for page in root:
        parts = [page.tag]
        for field in page:
            parts.append(field.tag)
            parts.append(show(field.text))
        print("\t".join(parts))


def read_csv(path):
    with open(path, newline="", encoding="latin-1") as f:
        for row in csv.reader(f):
            print("\t".join(show(field) for field in row))


if __name__ == "__main__":
    sys.stdout.reconfigure(encoding="utf-8", newline="\n")
    {"xml": read_xml, "csv": read_csv}[sys.argv[1]](sys.argv[2])
