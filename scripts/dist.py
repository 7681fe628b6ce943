#!/usr/bin/env python3
"""Makes the release of `make dist`: for each Windows build a folder and a zip,
    OUT/ColorTintvane-VERSION-win32/ and OUT/ColorTintvane-VERSION-win32.zip
    (and the same for win64)
each holding ColorTintvane.exe, README.txt (the README's user guide as plain
text) and LICENSE.txt, both with Windows line ends; and OUT/SHA256SUMS of the
zips. The zips are reproducible: fixed order, fixed file times (those of the
last commit, or 1980-01-01 outside a git checkout), fixed attributes.
    dist.py BUILD_DIR OUT_DIR [win32|win64 ...]"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TREES = {"win32": "win", "win64": "win64"}
# The README's user guide ends where the developers' part begins.
DEVELOPERS_HEADING = "## For developers"


def version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        return re.search(r"project\(ColorTintvane VERSION ([0-9.]+)", f.read()).group(1)


def file_time():
    """The last commit's time (UTC), so that one commit always gives the same zips."""
    try:
        seconds = int(subprocess.run(["git", "-C", ROOT, "log", "-1", "--format=%ct"], capture_output=True,
                                     text=True, check=True).stdout.strip())
    except (OSError, subprocess.CalledProcessError, ValueError):
        return (1980, 1, 1, 0, 0, 0)
    return time.gmtime(max(seconds, 315532800))[:6]


def table(rows):
    """Markdown table rows as columns lined up with spaces; the rule row goes."""
    indent = re.match(r"\s*", rows[0]).group(0)
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    cells = [row for row in cells if not all(re.fullmatch(r"-+", c) for c in row)]
    widths = [max(len(row[i]) for row in cells) for i in range(len(cells[0]))]
    return [(indent + "  ".join(c.ljust(w) for c, w in zip(row, widths))).rstrip() for row in cells]


def plain_text(markdown):
    """The README's Markdown as plain text for Notepad: no picture, no marks."""
    lines, rows = [], []
    for line in markdown.splitlines() + [""]:
        if line.strip().startswith("|"):
            rows.append(line.replace("`", ""))
            continue
        if rows:
            lines += table(rows)
            rows = []
        if re.match(r"!\[.*\]\(.*\)\s*$", line):
            line = ""  # the picture and the blank line after it go
        if not line.strip() and lines and not lines[-1].strip():
            continue
        heading = re.match(r"(#+) (.*)", line)
        if heading:
            text = heading.group(2)
            lines += [text, ("=" if len(heading.group(1)) == 1 else "-") * len(text)]
            continue
        line = re.sub(r"\[([^\]]*)\]\(([^)]*)\)", r"\1 (\2)", line)
        line = re.sub(r"\*\*([^*]*)\*\*", r"\1", line)
        line = re.sub(r"(?<![*\w])\*([^*\s][^*]*)\*(?![*\w])", r"\1", line)
        line = line.replace("`", "")
        lines.append(line)
    while lines and not lines[-1].strip():
        lines.pop()
    return "\r\n".join(lines) + "\r\n"


def user_guide():
    with open(os.path.join(ROOT, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    if DEVELOPERS_HEADING not in readme:
        sys.exit("dist.py: README.md has no '%s'" % DEVELOPERS_HEADING)
    return plain_text(readme.split(DEVELOPERS_HEADING)[0]).encode("utf-8")


def licence():
    with open(os.path.join(ROOT, "LICENSE"), encoding="utf-8") as f:
        return "\r\n".join(f.read().rstrip("\n").split("\n")).encode("utf-8") + b"\r\n"


def make_zip(path, files, when):
    with zipfile.ZipFile(path, "w") as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, when)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # made on "MS-DOS": no Unix permissions to differ
            info.external_attr = 0x20  # archive bit, as Windows' own zips
            z.writestr(info, data, compresslevel=9)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    build, out = sys.argv[1], sys.argv[2]
    builds = sys.argv[3:] or list(TREES)
    name, when = "ColorTintvane-" + version(), file_time()
    guide, licence_text = user_guide(), licence()
    os.makedirs(out, exist_ok=True)
    sums = []
    for windows_build in builds:
        with open(os.path.join(build, TREES[windows_build], "ColorTintvane.exe"), "rb") as f:
            exe = f.read()
        files = [("ColorTintvane.exe", exe), ("README.txt", guide), ("LICENSE.txt", licence_text)]
        folder = os.path.join(out, "%s-%s" % (name, windows_build))
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for file_name, data in files:
            with open(os.path.join(folder, file_name), "wb") as f:
                f.write(data)
        zip_name = "%s-%s.zip" % (name, windows_build)
        make_zip(os.path.join(out, zip_name), files, when)
        with open(os.path.join(out, zip_name), "rb") as f:
            sums.append("%s  %s\n" % (hashlib.sha256(f.read()).hexdigest(), zip_name))
        print("%s: ColorTintvane.exe %d bytes" % (os.path.join(out, zip_name), len(exe)))
    with open(os.path.join(out, "SHA256SUMS"), "w", encoding="ascii", newline="\n") as f:
        f.writelines(sums)


if __name__ == "__main__":
    main()
