#!/usr/bin/env python3
"""Checks the built help file as a CHM reader sees it: header, system record, contents, pages and links.

Reads the file with libchm's own tools (enum_chmLib, extract_chmLib), so a file they cannot take apart fails.
"""
import html.parser
import pathlib
import re
import struct
import subprocess
import sys
import tempfile

CHINESE_PRC = 0x0804
TITLE = "望站 帮助"
DEFAULT_TOPIC = "index.htm"
# What the help must cover: the tool, its controls, OK and ERROR, forwarding, the tray, the settings file, the boxes,
# and what a user meets first on a real Windows.
REQUIRED_PAGES = ["index.htm", "controls.htm", "report.htm", "forwarding.htm", "tray.htm", "settings.htm",
                  "messages.htm", "faq.htm"]


class Links(html.parser.HTMLParser):
    """The title, the sitemap entries and every href and src of a page."""

    def __init__(self):
        super().__init__()
        self.title = ""
        self.entries = []       # (Name, Local) of each sitemap object, in order
        self.references = []
        self._in_title = False
        self._entry = {}

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "title":
            self._in_title = True
        elif tag == "object":
            self._entry = {}
        elif tag == "param":
            self._entry[attrs.get("name", "").lower()] = attrs.get("value", "")
        for name in ("href", "src"):
            if attrs.get(name):
                self.references.append(attrs[name])

    def handle_endtag(self, tag):
        if tag == "title":
            self._in_title = False
        elif tag == "object" and "local" in self._entry:
            self.entries.append((self._entry.get("name", ""), self._entry["local"]))

    def handle_data(self, data):
        if self._in_title:
            self.title += data


def check_header(data, failures):
    magic, version, length, _, _, language = struct.unpack_from("<4sIIIII", data)
    if magic != b"ITSF" or version != 3 or length != 0x60:
        failures.append(f"not a version 3 ITSF file: {magic!r}, version {version}, header {length} bytes")
    if language != CHINESE_PRC:
        failures.append(f"language 0x{language:04x}, not Chinese (PRC)")


def system_records(data):
    """The #SYSTEM file: a version, then records of a code, a length and the data."""
    records = {}
    at = 4
    while at + 4 <= len(data):
        code, length = struct.unpack_from("<HH", data, at)
        records[code] = data[at + 4:at + 4 + length]
        at += 4 + length
    return records


def check_system(path, failures):
    records = system_records(path.read_bytes())
    text = lambda code: records.get(code, b"").rstrip(b"\0").decode("gbk", "replace")
    if text(2) != DEFAULT_TOPIC:
        failures.append(f"default topic {text(2)!r}, not {DEFAULT_TOPIC!r}")
    if text(3) != TITLE:
        failures.append(f"title {text(3)!r}, not {TITLE!r}")
    if text(0) != "toc.hhc":
        failures.append(f"contents file {text(0)!r}, not 'toc.hhc'")


def parse(path):
    links = Links()
    links.feed(path.read_bytes().decode("gbk"))
    return links


def check_contents(root, listed, failures):
    """Every topic of the contents is a page with that title, whose links all lead into the file."""
    topics = parse(root / "toc.hhc").entries
    names = [local for _, local in topics]
    for page in REQUIRED_PAGES:
        if page not in names:
            failures.append(f"the contents have no topic {page}")
    for title, local in topics:
        if "/" + local not in listed:
            failures.append(f"topic {title!r} names {local}, which the file does not hold")
            continue
        page = parse(root / local)
        if page.title != title:
            failures.append(f"{local} is titled {page.title!r}, the contents call it {title!r}")
        for reference in page.references:
            target = reference.split("#", 1)[0]
            if target and not re.match(r"^[a-z]+:", target) and "/" + target not in listed:
                failures.append(f"{local} links to {reference}, which the file does not hold")
    for name in listed:
        if name.endswith(".htm") and name[1:] not in names:
            failures.append(f"{name} is in no topic of the contents")


def main(chm):
    failures = []
    check_header(pathlib.Path(chm).read_bytes()[:0x60], failures)
    listing = subprocess.run(["enum_chmLib", chm], check=True, capture_output=True, text=True).stdout
    # Each file's line: space, start, length, type, name.
    listed = {line.split()[-1]: int(line.split()[2]) for line in listing.splitlines()
              if "normal file" in line or "special file" in line}
    print(f"{len(listed)} files in {chm}")
    with tempfile.TemporaryDirectory() as directory:
        subprocess.run(["extract_chmLib", chm, directory], check=True, capture_output=True)
        root = pathlib.Path(directory)
        for name, length in listed.items():
            extracted = root / name.lstrip("/")
            if not extracted.is_file() or extracted.stat().st_size != length:
                failures.append(f"{name} does not come out whole ({length} bytes listed)")
        if failures:
            return report(chm, failures)
        check_system(root / "#SYSTEM", failures)
        check_contents(root, listed, failures)
    return report(chm, failures)


def report(chm, failures):
    for failure in failures:
        print(f"{chm}: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
