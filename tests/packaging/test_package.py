"""The Debian package built by CPack from the build tree: its control fields, its dependencies
as Debian 12 names them, its contents, and the program run unattended from the unpacked
package."""

import glob
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import packaging_checks as pc

VERSION = os.environ["VELMORA_VERSION"]

# What the program needs at run time: the libraries it links and the Qt plugins it loads.
RUNTIME = {
    "libc6", "libstdc++6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6sql6",
    "libqt6sql6-sqlite", "libqt6sql6-psql", "libqt6sql6-odbc", "libxlsxwriter4", "libsqlite3-0",
}


def dependency_names(field):
    """Package names of a Depends field: 'a (>= 1), b | c' gives {'a', 'b', 'c'}."""
    names = set()
    for alternatives in field.split(","):
        for alt in alternatives.split("|"):
            if alt.strip():
                names.add(re.split(r"[\s(:]", alt.strip(), 1)[0])
    return names


class DebianPackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        for name in ("dpkg-deb", "dpkg-shlibdeps"):
            if not shutil.which(name):
                raise unittest.SkipTest("%s is not installed (scripts/setup.sh installs dpkg-dev)" % name)
        cls.scratch = tempfile.mkdtemp(prefix="velmora-deb-")
        config = os.path.join(os.environ["VELMORA_BINARY_DIR"], "CPackConfig.cmake")
        r = subprocess.run([os.environ["VELMORA_CPACK"], "-G", "DEB", "--config", config, "-B", cls.scratch],
                           capture_output=True, text=True)
        if r.returncode != 0:
            raise AssertionError("cpack failed:\n" + r.stdout + r.stderr)
        debs = glob.glob(os.path.join(cls.scratch, "*.deb"))
        if len(debs) != 1:
            raise AssertionError("cpack made %r" % debs)
        cls.deb = debs[0]

    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", self.deb, name], capture_output=True, text=True,
                              check=True).stdout.strip()

    def test_control_fields(self):
        arch = subprocess.run(["dpkg", "--print-architecture"], capture_output=True, text=True,
                              check=True).stdout.strip()
        self.assertEqual(os.path.basename(self.deb), "velmora_%s_%s.deb" % (VERSION, arch))
        self.assertEqual(self.field("Package"), "velmora")
        self.assertEqual(self.field("Version"), VERSION)
        self.assertEqual(self.field("Architecture"), arch)
        self.assertEqual(self.field("Section"), "database")
        self.assertRegex(self.field("Maintainer"), r"^[^<>]+ <[^@<>\s]+@[^@<>\s]+>$")
        description = self.field("Description").splitlines()
        self.assertGreater(len(description), 2, "a synopsis and a long description")
        self.assertTrue(all(line.startswith(" ") for line in description[1:]), description)

    def test_depends_on_every_runtime_package_by_its_debian_name(self):
        depends = dependency_names(self.field("Depends"))
        self.assertEqual(RUNTIME - depends, set())
        # Every name must be one that apt knows, or the package cannot be installed.
        unknown = [n for n in sorted(depends)
                   if subprocess.run(["apt-cache", "show", "--no-all-versions", n],
                                     capture_output=True).returncode != 0]
        self.assertEqual(unknown, [])

    def test_apt_can_resolve_it(self):
        if os.geteuid() != 0 or not shutil.which("apt-get"):
            self.skipTest("apt-get simulation needs root")
        r = subprocess.run(["apt-get", "install", "--simulate", "--no-install-recommends", self.deb],
                           capture_output=True, text=True, env=dict(os.environ, LC_ALL="C"))
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)
        self.assertRegex(r.stdout, r"(?m)^Inst velmora ")

    def test_contents_are_the_program_and_its_desktop_files_only(self):
        listing = subprocess.run(["dpkg-deb", "-c", self.deb], capture_output=True, text=True,
                                 check=True).stdout.splitlines()
        entries = [line.split()[-1] if " -> " not in line else line.split()[-3] for line in listing]
        owners = {line.split()[1] for line in listing}
        self.assertEqual(owners, {"root/root"})
        files = {e[2:] for e in entries if not e.endswith("/")}
        self.assertEqual({"usr/" + f for f in pc.expected_files()} - files, set())
        stray = sorted(f for f in files if not re.match(r"usr/(bin|share)/", f))
        self.assertEqual(stray, [])

    def test_unpacked_program_runs_a_query_unattended(self):
        root = tempfile.mkdtemp(prefix="velmora-unpacked-")
        subprocess.run(["dpkg-deb", "-x", self.deb, root], check=True)
        pc.check_tree(self, os.path.join(root, "usr"))
        pc.run_unattended(self, os.path.join(root, "usr", "bin"))


if __name__ == "__main__":
    unittest.main()
