"""The desktop entry, the query-file MIME type, the AppStream data, the icons and the manual
pages, checked with the desktop's own validators and parsers."""

import configparser
import gzip
import os
import re
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET

import packaging_checks as pc

SOURCE = os.environ["VELMORA_SOURCE_DIR"]
BUILT = os.environ["VELMORA_DATA_BUILD_DIR"]
VERSION = os.environ["VELMORA_VERSION"]
DESKTOP = os.path.join(SOURCE, "data", "velmora.desktop")
MIME_XML = os.path.join(SOURCE, "data", "velmora.xml")
METAINFO = os.path.join(BUILT, "%s.metainfo.xml" % pc.APPSTREAM_ID)
MIME_NS = "{http://www.freedesktop.org/standards/shared-mime-info}"


def tool(name):
    path = shutil.which(name)
    if not path:
        raise unittest.SkipTest("%s is not installed (scripts/setup.sh installs it)" % name)
    return path


def run(args, **kw):
    return subprocess.run(args, capture_output=True, text=True, **kw)


def desktop_entry():
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read(DESKTOP, encoding="utf-8")
    return parser["Desktop Entry"]


def semicolon_list(text):
    return [item for item in text.split(";") if item]


class DesktopEntry(unittest.TestCase):
    def test_validator_accepts_it_without_a_remark(self):
        r = run([tool("desktop-file-validate"), DESKTOP])
        self.assertEqual((r.returncode, r.stdout + r.stderr), (0, ""))

    def test_menu_entry_opens_query_files_with_the_one_argument_start(self):
        e = desktop_entry()
        self.assertEqual(e["Type"], "Application")
        self.assertEqual(e["Name"], "Velmora")
        self.assertEqual(e["Exec"], "velmora %f")  # one file: the "Confirm to execute?" start
        self.assertEqual(e["Icon"], "velmora")
        self.assertEqual(e["Terminal"], "false")
        self.assertTrue({"Office", "Database"} <= set(semicolon_list(e["Categories"])))
        self.assertIn(pc.MIME_TYPE, semicolon_list(e["MimeType"]))

    def test_desktop_database_offers_it_for_query_files(self):
        # The cache file managers read to find the programs that open a type.
        apps = tempfile.mkdtemp(prefix="velmora-apps-")
        shutil.copy(DESKTOP, apps)
        r = run([tool("update-desktop-database"), apps])
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        with open(os.path.join(apps, "mimeinfo.cache"), encoding="utf-8") as f:
            lines = f.read().splitlines()
        self.assertIn("%s=velmora.desktop;" % pc.MIME_TYPE, lines)


class QueryFileType(unittest.TestCase):
    def test_well_formed_and_names_glob_comment_and_icon(self):
        r = run([tool("xmllint"), "--noout", MIME_XML])
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        types = ET.parse(MIME_XML).getroot().findall(MIME_NS + "mime-type")
        self.assertEqual([t.get("type") for t in types], [pc.MIME_TYPE])
        t = types[0]
        self.assertEqual([g.get("pattern") for g in t.findall(MIME_NS + "glob")], ["*.kvf"])
        self.assertTrue(t.findtext(MIME_NS + "comment", "").strip())
        self.assertEqual(t.find(MIME_NS + "icon").get("name"), pc.MIME_ICON)

    def test_mime_database_maps_the_extension_and_the_icon(self):
        root = tempfile.mkdtemp(prefix="velmora-mime-")
        os.makedirs(os.path.join(root, "packages"))
        shutil.copy(MIME_XML, os.path.join(root, "packages"))
        r = run([tool("update-mime-database"), "-V", root])
        self.assertEqual(r.returncode, 0, r.stderr)
        self.assertNotRegex(r.stdout + r.stderr, r"(?i)warning|error|unknown")
        with open(os.path.join(root, "globs2"), encoding="utf-8") as f:
            globs = [line.strip().split(":")[1:] for line in f if not line.startswith("#")]
        self.assertIn([pc.MIME_TYPE, "*.kvf"], globs)
        with open(os.path.join(root, "icons"), encoding="utf-8") as f:
            self.assertIn("%s:%s" % (pc.MIME_TYPE, pc.MIME_ICON), f.read().split())


class AppStream(unittest.TestCase):
    def test_validator_accepts_it(self):
        r = run([tool("xmllint"), "--noout", METAINFO])
        self.assertEqual((r.returncode, r.stderr), (0, ""))
        r = run([tool("appstreamcli"), "validate", "--no-net", "--no-color", METAINFO])
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)

    def test_agrees_with_the_desktop_entry_the_mime_type_and_the_version(self):
        c = ET.parse(METAINFO).getroot()
        self.assertEqual(c.get("type"), "desktop-application")
        self.assertEqual(c.findtext("id"), pc.APPSTREAM_ID)
        self.assertEqual(c.findtext("name"), desktop_entry()["Name"])
        self.assertEqual([l.text for l in c.findall("launchable[@type='desktop-id']")],
                         [os.path.basename(DESKTOP)])
        self.assertEqual(sorted(b.text for b in c.findall("provides/binary")),
                         ["velmora", "velmora-kvf"])
        self.assertEqual([m.text for m in c.findall("provides/mediatype")], [pc.MIME_TYPE])
        self.assertEqual([r.get("version") for r in c.findall("releases/release")], [VERSION])
        self.assertIsNotNone(c.find("content_rating"))


class Icons(unittest.TestCase):
    def test_svgs_are_square_and_every_png_has_its_size(self):
        for name in ("velmora", pc.MIME_ICON):
            with self.subTest(icon=name):
                svg = ET.parse(os.path.join(SOURCE, "data", "icons", name + ".svg")).getroot()
                x, y, w, h = (float(n) for n in svg.get("viewBox").split())
                self.assertEqual(w, h)
        for size in pc.ICON_SIZES:
            for rel in ("apps/velmora.png", "mimetypes/%s.png" % pc.MIME_ICON):
                path = os.path.join(BUILT, "icons", "%dx%d" % (size, size), rel)
                with self.subTest(path=path):
                    self.assertEqual(pc.png_size(path), (size, size))


def render(page):
    """The page as man shows it, in plain ASCII, and groff's warnings."""
    env = dict(os.environ, LC_ALL="C", MANWIDTH="200")
    r = subprocess.run([tool("man"), "--warnings", "-l", page], capture_output=True, text=True, env=env)
    return r.returncode, re.sub(r".\x08", "", r.stdout), r.stderr


class ManualPages(unittest.TestCase):
    # Phrases a reader looks each page up for.
    REQUIRED = {
        "velmora.1": [
            "velmora QUERYFILE OUTFILE TYPE FORMAT HEADER", "Confirm to execute?", "XLSX", "XLS",
            "HTML", "CSV", "XML", "TAB", "EXIT STATUS", "journalctl -t Kavrin", "/var/log/syslog",
            "Kavrin End User/Options.ini", "WinTop", "WinLeft", "WinHeight", "WinWidth", "WinState",
            "PUserHeight", "Dlb1Width", "QueryPath", "ReportPath", "Delimiter", "WithHeader",
            "FileFormat", "Provider=SQLite;Data Source=", "Provider=PostgreSQL;Host=",
            "Provider=MSDASQL", "Driver=SQLite3;Database=", "DSN=", "OnCalendar=",
            "30 6 * * 1-5  velmora ", "the query has a parameter.",
        ],
        "velmora-kvf.1": ["-- description:", "-- connection:", "EXIT STATUS", "decode", "--source"],
    }

    def test_pages_render_cleanly_carry_the_version_and_cover_their_subjects(self):
        for page, phrases in self.REQUIRED.items():
            with self.subTest(page=page):
                path = os.path.join(BUILT, "man", page)
                status, text, warnings = render(path)
                self.assertEqual((status, warnings), (0, ""))
                with open(path, encoding="utf-8") as f:
                    self.assertNotRegex(f.read(), r"@[A-Z_]+@")  # every placeholder filled in
                self.assertIn("Velmora " + VERSION, text)
                for phrase in phrases:
                    self.assertIn(phrase, text)
                with gzip.open(path + ".gz", "rb") as f, open(path, "rb") as plain:
                    self.assertEqual(f.read(), plain.read())

    def test_kvf_synopsis_matches_the_tool_usage(self):
        if not os.environ.get("VELMORA_HAVE_KVF"):
            self.skipTest("velmora-kvf is not part of this build")
        r = run([os.environ["VELMORA_KVF"], "--help"])
        self.assertEqual(r.returncode, 0, r.stderr)
        usage = [re.sub(r"^usage:\s*", "", l).strip() for l in r.stdout.splitlines() if l.strip()]
        _, text, _ = render(os.path.join(BUILT, "man", "velmora-kvf.1"))
        synopsis = text.split("\nSYNOPSIS\n", 1)[1].split("\nDESCRIPTION\n", 1)[0]
        lines = [" ".join(l.split()) for l in synopsis.splitlines()]
        for line in usage:
            self.assertIn(line, lines)


if __name__ == "__main__":
    unittest.main()
