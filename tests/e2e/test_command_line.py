"""The command line of the real program, run unattended: every message in its words in the
system log, and the exit status a scheduler reads."""

import os
import tempfile
import unittest

import velmora_e2e as v

COUNT = "Error - Total number of parameter must either be 1 or 5."


class CommandLine(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="velmora-cmdline-")
        db = os.path.join(self.folder, "tiny.db")
        import sqlite3
        con = sqlite3.connect(db)
        con.execute("create table t(a integer, b text)")
        con.execute("insert into t values (1, 'one'), (2, 'two')")
        con.commit()
        con.close()
        v.make_query(os.path.join(self.folder, "report.kvf"), "Tiny report",
                     "Provider=SQLite;Data Source=tiny.db", "select a, b from t order by a")
        open(os.path.join(self.folder, "notes.txt"), "w").close()

    def check(self, args, entries, status, cwd=None):
        r = v.run(args, cwd or self.folder)
        self.assertEqual(r.log_entries(len(entries)), entries, r.stderr)
        self.assertEqual(r.returncode, status, r.stderr)
        return r

    def test_refusals_are_logged_and_end_with_status_1(self):
        cases = [
            (["nowhere.kvf", "a", "b"], ['Error - Query file: "nowhere.kvf" not found.']),
            (["  notes.txt ", "o.csv", "D", ",", "1"], ['Error - Query file: "notes.txt" is not a valid file type.']),
            (["report.kvf", "x"], [COUNT]),
            (["report.kvf", "x", "y"], [COUNT]),
            (["report.kvf", "x", "y", "z"], [COUNT]),
            (["report.kvf", "o.csv", "D", ",", "1", "extra"], [COUNT]),
            (["report.kvf", "o.csv", "Q", ",", "1"], ["3rd parameter is invalid: Q."]),
            (["report.kvf", "o.pdf", "X", "PDF", "1"], ["4th parameter is invalid: PDF."]),
            (["report.kvf", "o.xlsx", "x", "xlsx", "yes"], ["5th parameter is invalid: yes."]),
        ]
        for args, entries in cases:
            with self.subTest(args=args):
                self.check(args, entries, 1)

    def test_mixed_case_extension_with_blanks_is_accepted(self):
        os.rename(os.path.join(self.folder, "report.kvf"), os.path.join(self.folder, "Report.KvF"))
        r = self.check([" Report.KvF ", "out.txt", "D", ";", "1"], [], 0)
        with open(os.path.join(self.folder, "out.txt"), newline="") as f:
            self.assertEqual(f.read(), "a;b\r\n1;one\r\n2;two\r\n")

    def test_relative_query_file_is_resolved_against_query_path(self):
        env = v.environment()
        v.write_setting(env["XDG_CONFIG_HOME"], "QueryPath", self.folder)
        elsewhere = tempfile.mkdtemp(prefix="velmora-elsewhere-")
        r = v.run(["report.kvf", "out.csv", "d", ",", "0"], elsewhere, env)
        self.assertEqual(r.log_entries(), [], r.stderr)
        self.assertEqual(r.returncode, 0)
        with open(os.path.join(self.folder, "out.csv"), newline="") as f:
            self.assertEqual(f.read(), "1,one\r\n2,two\r\n")

    def test_successful_run_writes_no_entry_and_exits_0(self):
        self.check(["report.kvf", "ok.csv", "D", "tab", "1"], [], 0)
        with open(os.path.join(self.folder, "ok.csv"), newline="") as f:
            self.assertEqual(f.read(), "a\tb\r\n1\tone\r\n2\ttwo\r\n")

    def test_settings_written_at_exit(self):
        env = v.environment()
        v.run(["report.kvf", "x"], self.folder, env)
        with open(os.path.join(env["XDG_CONFIG_HOME"], "Kavrin End User", "Options.ini")) as f:
            text = f.read()
        self.assertIn("QueryPath=" + self.folder, text)
        self.assertIn("WinHeight=780", text)


if __name__ == "__main__":
    unittest.main()
