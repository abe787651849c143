"""What an installed Velmora tree must hold, and one unattended run of the installed program.
Shared by the install test (a `cmake --install` prefix) and the package test (the unpacked
Debian package)."""

import csv
import os
import sqlite3
import struct
import subprocess
import tempfile

import velmora_e2e as v

APPSTREAM_ID = os.environ["VELMORA_APPSTREAM_ID"]
ICON_SIZES = [int(s) for s in os.environ["VELMORA_ICON_SIZES"].split(",")]
MIME_TYPE = "application/x-velmora-query"
MIME_ICON = MIME_TYPE.replace("/", "-")


def expected_files():
    """Every file an installed tree must have, relative to the prefix."""
    files = [
        "bin/velmora",
        "bin/velmora-kvf",
        "share/applications/velmora.desktop",
        "share/mime/packages/velmora.xml",
        "share/metainfo/%s.metainfo.xml" % APPSTREAM_ID,
        "share/icons/hicolor/scalable/apps/velmora.svg",
        "share/icons/hicolor/scalable/mimetypes/%s.svg" % MIME_ICON,
        "share/man/man1/velmora.1.gz",
        "share/man/man1/velmora-kvf.1.gz",
    ]
    for size in ICON_SIZES:
        files.append("share/icons/hicolor/%dx%d/apps/velmora.png" % (size, size))
        files.append("share/icons/hicolor/%dx%d/mimetypes/%s.png" % (size, size, MIME_ICON))
    return files


def png_size(path):
    """Width and height from a PNG's IHDR chunk."""
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        raise AssertionError("%s is not a PNG file" % path)
    return struct.unpack(">II", head[16:24])


def check_tree(test, prefix):
    """The files of an installed tree: present, executables executable, icons at their size."""
    missing = [f for f in expected_files() if not os.path.isfile(os.path.join(prefix, f))]
    test.assertEqual(missing, [], "missing under %s" % prefix)
    for exe in ("bin/velmora", "bin/velmora-kvf"):
        test.assertTrue(os.access(os.path.join(prefix, exe), os.X_OK), exe + " is not executable")
    for size in ICON_SIZES:
        for rel in ("apps/velmora.png", "mimetypes/%s.png" % MIME_ICON):
            path = os.path.join(prefix, "share/icons/hicolor/%dx%d" % (size, size), rel)
            test.assertEqual(png_size(path), (size, size), path)


def run_unattended(test, bindir):
    """Runs the installed program unattended against a small SQLite database, to a delimited
    file and to a workbook, each read back by a reader we did not write."""
    folder = tempfile.mkdtemp(prefix="velmora-installed-")
    con = sqlite3.connect(os.path.join(folder, "tiny.db"))
    con.execute("create table t(id integer, name text)")
    con.execute("insert into t values (1, 'one'), (2, 'two')")
    con.commit()
    con.close()
    query = os.path.join(folder, "tiny.kvf")
    subprocess.run([os.path.join(bindir, "velmora-kvf"), "encode", "-d", "Tiny", "-c",
                    "Provider=SQLite;Data Source=tiny.db", "-o", query, "-"],
                   input=b"select id, name from t order by id", check=True)

    cases = [
        ("tiny.txt", "D", "TAB", "1"),
        ("tiny.xlsx", "X", "XLSX", "1"),
    ]
    for out, kind, fmt, header in cases:
        with test.subTest(out=out):
            r = subprocess.run([os.path.join(bindir, "velmora"), query, out, kind, fmt, header],
                               cwd=folder, env=v.environment(), stdin=subprocess.DEVNULL,
                               capture_output=True, timeout=120)
            test.assertEqual(r.returncode, 0, r.stderr.decode(errors="replace"))
            path = os.path.join(folder, out)
            test.assertTrue(os.path.isfile(path), "no output file " + path)
            if kind == "D":
                with open(path, newline="", encoding="utf-8") as f:
                    rows = list(csv.reader(f, delimiter="\t"))
                test.assertEqual(rows, [["id", "name"], ["1", "one"], ["2", "two"]])
            else:
                import openpyxl
                sheet = openpyxl.load_workbook(path).active
                rows = [[c.value for c in row] for row in sheet.iter_rows()]
                test.assertEqual(rows, [["id", "name"], [1, "one"], [2, "two"]])
