"""`cmake --install` of the build tree into a fresh prefix: every file in its place, and the
installed program runs a query unattended from there."""

import os
import shutil
import subprocess
import tempfile
import unittest

import packaging_checks as pc


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A prefix of ROOT/usr lays the tree out as the package does.
        cls.root = tempfile.mkdtemp(prefix="velmora-root-")
        cls.prefix = os.path.join(cls.root, "usr")
        r = subprocess.run([os.environ["VELMORA_CMAKE"], "--install", os.environ["VELMORA_BINARY_DIR"],
                            "--prefix", cls.prefix], capture_output=True, text=True)
        if r.returncode != 0:
            raise AssertionError("cmake --install failed:\n" + r.stdout + r.stderr)

    def test_every_file_is_in_its_place(self):
        pc.check_tree(self, self.prefix)

    def test_appstream_accepts_the_installed_tree(self):
        # validate-tree also checks that the desktop entry named by the metainfo file is
        # where a software centre looks for it.
        if not shutil.which("appstreamcli"):
            self.skipTest("appstreamcli is not installed (scripts/setup.sh installs appstream)")
        r = subprocess.run(["appstreamcli", "validate-tree", "--no-net", "--no-color", self.root],
                           capture_output=True, text=True)
        self.assertEqual(r.returncode, 0, r.stdout + r.stderr)

    def test_installed_program_runs_a_query_unattended(self):
        pc.run_unattended(self, os.path.join(self.prefix, "bin"))


if __name__ == "__main__":
    unittest.main()
