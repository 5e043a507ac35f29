#!/usr/bin/env python3
"""Checks what the Windows build packs, without Windows.

  check-windows-package.py chm HELP.CHM HELP.HTML CHMLS
      Help.chm is an HTML Help file (ITSF, version 3) whose Help.html is the help page
      byte for byte, with its contents file listing every section of the page's table of
      contents, the title "Tarnwick Help", Help.html as the default topic and a
      full-text index. The files inside are read back with chmls, another program than
      the one that wrote them.

  check-windows-package.py zip ZIP FILE[:NAME]...
      ZIP holds exactly Tarnwick/NAME for each FILE (NAME defaults to FILE's own name),
      each the same bytes as FILE, all with one date, and passes its CRC checks.
"""
import html
import os
import re
import struct
import subprocess
import sys
import tempfile
import zipfile


class Failed(Exception):
    pass


def chmls(tool, *args):
    run = subprocess.run([tool, *args], capture_output=True, check=False)
    if run.returncode != 0:
        raise Failed(f"chmls {' '.join(args)} failed ({run.returncode}): "
                     f"{run.stderr.decode(errors='replace').strip()}")
    return run.stdout.decode("utf-8", errors="replace")


def check_chm(chm, page, tool):
    with open(chm, "rb") as f:
        header = f.read(0x60)
    if len(header) < 0x60 or header[:4] != b"ITSF":
        raise Failed(f"{chm} does not begin with an ITSF header")
    version, length = struct.unpack_from("<II", header, 4)
    if (version, length) != (3, 0x60):
        raise Failed(f"ITSF version {version}, header length {length:#x}: 3 and 0x60 expected")

    listing = chmls(tool, "--no-page", "--name-only", "list", chm)
    names = {line for line in listing.splitlines() if line.startswith(("/", "::"))}
    for name in ("/Help.html", "/Help.hhc", "/#SYSTEM", "/#TOPICS", "/#URLTBL", "/$FIftiMain"):
        if name not in names:
            raise Failed(f"{chm} holds no {name}; it holds {sorted(names)}")

    with tempfile.TemporaryDirectory() as folder:
        for name in ("Help.html", "Help.hhc"):
            chmls(tool, "extract", chm, "/" + name, os.path.join(folder, name))
        with open(os.path.join(folder, "Help.html"), "rb") as f:
            inside = f.read()
        with open(page, "rb") as f:
            source = f.read()
        if inside != source:
            raise Failed(f"Help.html inside {chm} ({len(inside)} bytes) is not {page} ({len(source)} bytes)")
        with open(os.path.join(folder, "Help.hhc"), encoding="utf-8") as f:
            contents = f.read()

    # Every section the page lists in its own table of contents, in order.
    toc = re.search(r'<nav class="toc".*?</nav>', source.decode("utf-8"), re.S)
    if not toc:
        raise Failed(f"{page} has no table of contents")
    sections = re.findall(r'<li><a href="#([^"]+)">([^<]+)</a></li>', toc.group(0))
    listed = re.findall(r'<param name="Name" value="([^"]*)">\s*<param name="Local" value="Help\.html#([^"]+)">',
                        contents)
    wanted = [(html.unescape(title), anchor) for anchor, title in sections]
    found = [(html.unescape(title), anchor) for title, anchor in listed]
    if not wanted or found != wanted:
        raise Failed(f"the contents file lists {found}, the page {wanted}")

    # chmls prints the strings of #SYSTEM with their terminating NULs.
    system = chmls(tool, "printsystem", chm).replace("\0", "")
    for label, value in (("Default topic", "Help.html"), ("Title", "Tarnwick Help"), ("Contents file", "Help.hhc")):
        if not re.search(rf"^\(\d+\)\s+{label} from \[options\]\s*:{re.escape(value)}\s*$", system, re.M):
            raise Failed(f"#SYSTEM does not give {label} {value!r}:\n{system}")
    print(f"{chm}: ITSF 3, {len(names)} files, Help.html as built, {len(found)} sections in its contents")


def check_zip(archive, entries):
    expected = {}
    for entry in entries:
        path, _, name = entry.partition(":")
        expected["Tarnwick/" + (name or os.path.basename(path))] = path
    with zipfile.ZipFile(archive) as z:
        bad = z.testzip()
        if bad:
            raise Failed(f"{archive}: {bad} fails its CRC check")
        entries = z.infolist()
        names = [e.filename for e in entries]
        if sorted(names) != sorted(expected):
            raise Failed(f"{archive} holds {names}, expected {sorted(expected)}")
        dates = {e.date_time for e in entries}
        if len(dates) != 1:
            raise Failed(f"{archive}: its files carry different dates {sorted(dates)}: not made reproducibly")
        for entry in entries:
            with open(expected[entry.filename], "rb") as f:
                if z.read(entry) != f.read():
                    raise Failed(f"{archive}: {entry.filename} is not {expected[entry.filename]}")
    print(f"{archive}: {', '.join(sorted(names))}, dated {dates.pop()}")


def main(argv):
    try:
        if len(argv) == 5 and argv[1] == "chm":
            check_chm(*argv[2:])
        elif len(argv) >= 4 and argv[1] == "zip":
            check_zip(argv[2], argv[3:])
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except (Failed, OSError, zipfile.BadZipFile) as e:
        print(f"FAILED: {e}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
