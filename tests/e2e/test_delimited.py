"""Delimited text written by the real program in unattended five-argument runs, read back with
Python's csv module and compared with the rows the database itself returns."""

import csv
import datetime
import io
import os
import shutil
import sqlite3
import tempfile
import unittest

import velmora_e2e as v

BINARY_DIR = os.environ.get("VELMORA_BINARY_DIR", "")
SAMPLE_DB = os.path.join(BINARY_DIR, "samples", "sample.db")

# Values that break naive writers: delimiters, quotes, line breaks, NULL against empty text.
TRICKY = [
    (1, "plain", 1.5),
    (2, "a,b", -0.25),
    (3, 'say "hi"', 1e20),
    (4, '"quoted at start', 0.000001),
    (5, "line1\nline2", 100.0),
    (6, "cr lf\r\ninside", 1 / 3),
    (7, "", None),
    (8, None, 0.0),
    (9, "x;y|z||w\tt", 123456789012345.0),
    (10, "Grüße, Zürich", 2.5),
]
FLOAT_TEXT = {1.5: "1.5", -0.25: "-0.25", 1e20: "1E20", 0.000001: "1E-6", 100.0: "100",
              1 / 3: "0.333333333333333", None: "", 0.0: "0", 123456789012345.0: "123456789012345",
              2.5: "2.5"}


def locale_env():
    env = v.environment()
    # A fixed user locale: dd/MM/yyyy dates, 24-hour times, "." as decimal separator.
    env["LC_ALL"] = "en_GB.UTF-8"
    return env


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


def parse(data, delimiter):
    text = data.decode("utf-8")
    return list(csv.reader(io.StringIO(text, newline=""), delimiter=delimiter))


def sqlite_text(value, declared):
    """What the program writes for a value SQLite returns, under the en_GB locale."""
    if value is None:
        return ""
    d = (declared or "").upper()
    if d.startswith("BOOL"):
        return "True" if value else "False"
    if d.startswith("DATETIME"):
        t = datetime.datetime.strptime(value, "%Y-%m-%d %H:%M:%S")
        return t.strftime("%d/%m/%Y") if t.time() == datetime.time() else t.strftime("%d/%m/%Y %H:%M:%S")
    if d.startswith("DATE"):
        return datetime.datetime.strptime(value, "%Y-%m-%d").strftime("%d/%m/%Y")
    return str(value)


class Delimited(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="velmora-delimited-")
        db = os.path.join(self.folder, "tricky.db")
        con = sqlite3.connect(db)
        con.execute("create table t(id integer, txt text, val real)")
        con.executemany("insert into t values (?, ?, ?)", TRICKY)
        con.commit()
        con.close()
        self.query("tricky.kvf", "tricky.db",
                   'select id, txt as "name, text", val from t order by id')

    def query(self, name, db, sql, connection=None):
        return v.make_query(os.path.join(self.folder, name), "Export test",
                            connection or "Provider=SQLite;Data Source=" + db, sql)

    def run_ok(self, args, env=None):
        r = v.run(args, self.folder, env or locale_env())
        self.assertEqual(r.log_entries(), [], r.stderr)
        self.assertEqual(r.returncode, 0, r.stderr)
        return r

    def expected_tricky(self):
        return [["id", "name, text", "val"]] + [
            [str(i), "" if t is None else t, FLOAT_TEXT[x]] for i, t, x in TRICKY]

    def test_every_line_ends_in_crlf_utf8_without_bom(self):
        self.run_ok(["tricky.kvf", "out.csv", "D", ",", "1"])
        data = read_file(os.path.join(self.folder, "out.csv"))
        self.assertFalse(data.startswith(b"\xef\xbb\xbf"))
        data.decode("utf-8")
        self.assertTrue(data.endswith(b"\r\n"))
        # Outside quoted fields, a line feed only ever follows a carriage return.
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n") + 1)  # the value "line1\nline2"
        self.assertEqual(parse(data, ","), self.expected_tricky())

    def test_delimiters_read_back_as_the_database_values(self):
        for delimiter, argument, name in [(",", ",", "c.csv"), (";", ";", "s.txt"),
                                          ("\t", "tab", "t.xls"), ("\t", "TAB", "t2.xls"),
                                          ("|", "|", "p.txt")]:
            with self.subTest(argument=argument):
                self.run_ok(["tricky.kvf", name, "d", argument, "1"])
                self.assertEqual(parse(read_file(os.path.join(self.folder, name)), delimiter),
                                 self.expected_tricky())

    def test_multi_character_delimiter_and_no_header(self):
        self.run_ok(["tricky.kvf", "bars.txt", "D", "||", "0"])
        lines = read_file(os.path.join(self.folder, "bars.txt")).decode("utf-8").split("\r\n")
        self.assertEqual(lines[0], "1||plain||1.5")
        # Row 6 holds a CR LF inside its quotes, so it spans lines[5] and lines[6].
        self.assertEqual(lines[5:7], ['6||"cr lf', 'inside"||0.333333333333333'])
        self.assertEqual(lines[7], "7||||")
        self.assertEqual(lines[9], '9||"x;y|z||w\tt"||123456789012345')

    def test_sample_database_tables(self):
        if not os.path.exists(SAMPLE_DB):
            self.skipTest("the sample database is not built (target samples)")
        shutil.copy(SAMPLE_DB, os.path.join(self.folder, "sample.db"))
        con = sqlite3.connect(os.path.join(self.folder, "sample.db"))
        for table in ["customers", "products", "orders", "order_lines"]:
            with self.subTest(table=table):
                sql = "select * from %s order by 1, 2" % table
                self.query(table + ".kvf", "sample.db", sql)
                self.run_ok([table + ".kvf", table + ".csv", "D", ",", "1"])
                got = parse(read_file(os.path.join(self.folder, table + ".csv")), ",")
                declared = {r[1]: r[2] for r in con.execute("pragma table_info(%s)" % table)}
                cur = con.execute(sql)
                names = [d[0] for d in cur.description]
                self.assertEqual(got[0], names)
                rows = cur.fetchall()
                self.assertEqual(len(got) - 1, len(rows))
                for line, row in zip(got[1:], rows):
                    for text, value, name in zip(line, row, names):
                        d = declared[name].upper()
                        if value is not None and (isinstance(value, float)
                                                  or d.startswith(("DECIMAL", "NUMERIC", "REAL"))):
                            self.assertAlmostEqual(float(text), float(value), places=9, msg=name)
                        else:
                            self.assertEqual(text, sqlite_text(value, d), name)
        con.close()

    def test_blank_delimiter_is_reported(self):
        r = v.run(["tricky.kvf", "blank.csv", "D", "   ", "1"], self.folder)
        self.assertEqual(r.log_entries(1), ["4th parameter is invalid: ."], r.stderr)
        self.assertEqual(r.returncode, 1)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "blank.csv")))

    def test_missing_output_folder_is_created_when_its_parent_exists(self):
        self.run_ok(["tricky.kvf", os.path.join("new", "out.csv"), "D", ",", "0"])
        self.assertEqual(len(parse(read_file(os.path.join(self.folder, "new", "out.csv")), ",")),
                         len(TRICKY))

    def test_unwritable_output_is_reported_with_the_system_reason(self):
        deep = os.path.join(self.folder, "no", "such", "out.csv")
        cases = [(deep, "Cannot create %s: No such file or directory" % deep),
                 ("/dev/full", "Cannot write /dev/full: No space left on device")]
        for path, message in cases:
            with self.subTest(path=path):
                r = v.run(["tricky.kvf", path, "D", ",", "1"], self.folder)
                self.assertEqual(r.log_entries(1), [message], r.stderr)
                self.assertEqual(r.returncode, 1)

    def test_existing_file_is_replaced(self):
        target = os.path.join(self.folder, "again.csv")
        with open(target, "w") as f:
            f.write("old content that is longer than the new one\n" * 100)
        self.run_ok(["tricky.kvf", "again.csv", "D", ",", "1"])
        self.assertEqual(parse(read_file(target), ","), self.expected_tricky())


@unittest.skipUnless(v.PG_STARTED, "PostgreSQL is not started")
class DelimitedPostgres(unittest.TestCase):
    def setUp(self):
        self.pg = v.PgServer()
        self.folder = tempfile.mkdtemp(prefix="velmora-delimited-pg-")
        self.table = "export_e2e_%d" % os.getpid()
        self.pg.psql("drop table if exists %s; create table %s(id int, name text,"
                     " amount numeric(14,4), ratio double precision, ok boolean, at timestamp,"
                     " day date); insert into %s values"
                     " (1, 'Smith, John', 1234.5000, 0.5, true, '2024-03-05 13:04:05',"
                     " '2024-03-05'),"
                     " (2, 'two\nlines \"q\"', -0.0001, null, false, '2024-03-06 00:00:00', null),"
                     " (3, null, 99999999.9999, 1e-7, null, null, '1999-12-31'),"
                     " (4, '', 0, -2.5, true, '1999-12-31 23:59:59', '2000-01-01')"
                     % (self.table, self.table, self.table))
        self.addCleanup(self.pg.psql, "drop table if exists %s" % self.table)

    def test_rows_match_what_the_server_returns(self):
        sql = "select id, name, amount, ok, at, day from %s order by id" % self.table
        connection = self.pg.connection()
        v.make_query(os.path.join(self.folder, "pg.kvf"), "PostgreSQL export", connection, sql)
        r = v.run(["pg.kvf", "pg.csv", "D", ",", "1"], self.folder, locale_env())
        self.assertEqual(r.log_entries(), [], r.stderr)
        self.assertEqual(r.returncode, 0, r.stderr)
        with open(os.path.join(self.folder, "pg.csv"), "rb") as f:
            got = parse(f.read(), ",")

        server = list(csv.reader(io.StringIO(self.pg.psql(sql, "--csv"), newline="")))
        expected = [server[0]]
        for id_, name, amount, ok, at, day in server[1:]:
            if at:
                t = datetime.datetime.strptime(at, "%Y-%m-%d %H:%M:%S")
                at = t.strftime("%d/%m/%Y") if t.time() == datetime.time() else t.strftime("%d/%m/%Y %H:%M:%S")
            if day:
                day = datetime.datetime.strptime(day, "%Y-%m-%d").strftime("%d/%m/%Y")
            ok = {"t": "True", "f": "False", "": ""}[ok]
            expected.append([id_, name, amount, ok, at, day])
        # psql writes NULL and the empty text alike in CSV; so does the program.
        self.assertEqual(got, expected)


if __name__ == "__main__":
    unittest.main()
