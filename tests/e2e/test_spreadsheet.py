"""Workbooks written by the real program in unattended five-argument runs ("X" with XLSX, XLS,
HTML, CSV and XML), read back with openpyxl, xlrd, the csv module, html.parser and xml.etree
and compared with what the database itself returns."""

import csv
import datetime
import os
import sqlite3
import tempfile
import unittest
import xml.etree.ElementTree as ET

import velmora_e2e as v
from html_cells import HtmlCells

ROWS = [
    (1, "Smith, John", 1234.5, "2024-03-05", "2024-03-05 13:04:05"),
    (2, 'two\nlines "q"', -0.25, None, "2024-03-06 00:00:00"),
    (3, "Ζωή 東京", None, "1999-12-31", None),
    (4, "007", 0.0, "2000-01-01", "1999-12-31 23:59:59"),
]
SQL = 'select id, name as "customer name", amount, day, at from t order by id'


def env():
    e = v.environment()
    e["LC_ALL"] = "en_US.UTF-8"
    return e


def parse_html(path):
    p = HtmlCells()
    with open(path, encoding="utf-8") as f:
        p.feed(f.read())
    return p.rows


SS = "{urn:schemas-microsoft-com:office:spreadsheet}"


class Spreadsheet(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="velmora-spreadsheet-")
        con = sqlite3.connect(os.path.join(self.folder, "sales.db"))
        con.execute("create table t(id integer, name varchar(40), amount real, day date,"
                    " at datetime)")
        con.executemany("insert into t values (?, ?, ?, ?, ?)", ROWS)
        con.commit()
        con.close()
        self.query("Quarterly sales.kvf")

    def query(self, name, sql=SQL):
        v.make_query(os.path.join(self.folder, name), "Sales", "Provider=SQLite;Data Source=sales.db",
                     sql)

    def run_ok(self, args):
        r = v.run(args, self.folder, env())
        self.assertEqual(r.log_entries(), [], r.stderr)
        self.assertEqual(r.returncode, 0, r.stderr)
        return os.path.join(self.folder, args[1])

    def test_xlsx_values_types_formats_and_layout(self):
        import openpyxl
        path = self.run_ok(["Quarterly sales.kvf", "out.xlsx", "X", "XLSX", "1"])
        wb = openpyxl.load_workbook(path)
        self.assertEqual(wb.sheetnames, ["Quarterly sales"])
        ws = wb.active
        self.assertEqual([c.value for c in ws[1]], ["id", "customer name", "amount", "day", "at"])
        self.assertTrue(all(c.font.b for c in ws[1]))
        self.assertEqual(ws.freeze_panes, "A2")
        self.assertEqual([ws.cell(row=r + 2, column=2).value for r in range(4)], [r[1] for r in ROWS])
        self.assertEqual(ws["B5"].number_format, "@")  # "007" stays a text
        for r, row in enumerate(ROWS, start=2):
            self.assertEqual(ws.cell(row=r, column=1).value, row[0])
            self.assertEqual(ws.cell(row=r, column=3).value, row[2])
            day = ws.cell(row=r, column=4)
            if row[3]:
                self.assertEqual(day.value, datetime.datetime.strptime(row[3], "%Y-%m-%d"))
                self.assertTrue(day.is_date, day.number_format)
            else:
                self.assertIn(day.value, (None, ""))
            at = ws.cell(row=r, column=5)
            if row[4]:
                self.assertEqual(at.value, datetime.datetime.strptime(row[4], "%Y-%m-%d %H:%M:%S"))
        for letter in "ABCDE":
            self.assertGreater(ws.column_dimensions[letter].width or 0, 1, letter)
        self.assertGreater(ws.column_dimensions["B"].width, ws.column_dimensions["A"].width)

    def test_xls(self):
        import xlrd
        path = self.run_ok(["Quarterly sales.kvf", "out.xls", "X", "XLS", "1"])
        book = xlrd.open_workbook(path, formatting_info=True)
        sheet = book.sheet_by_index(0)
        self.assertEqual(sheet.name, "Quarterly sales")
        self.assertEqual(sheet.row_values(0), ["id", "customer name", "amount", "day", "at"])
        self.assertEqual([sheet.cell_value(r + 1, 1) for r in range(4)], [r[1] for r in ROWS])
        self.assertEqual(sheet.cell(1, 3).ctype, xlrd.XL_CELL_DATE)
        self.assertEqual(sheet.horz_split_pos, 1)

    def test_csv(self):
        path = self.run_ok(["Quarterly sales.kvf", "out.csv", "X", "CSV", "1"])
        with open(path, newline="", encoding="utf-8") as f:
            rows = list(csv.reader(f))
        self.assertEqual(rows[0], ["id", "customer name", "amount", "day", "at"])
        self.assertEqual([r[0] for r in rows[1:]], ["1", "2", "3", "4"])
        self.assertEqual([r[1] for r in rows[1:]], [r[1] for r in ROWS])
        self.assertEqual(rows[1][2], "1234.5")
        self.assertEqual(rows[3][2], "")

    def test_html(self):
        path = self.run_ok(["Quarterly sales.kvf", "out.html", "X", "HTML", "1"])
        rows = parse_html(path)
        self.assertEqual(rows[0], ["id", "customer name", "amount", "day", "at"])
        self.assertEqual([r[1] for r in rows[1:]], [r[1] for r in ROWS])

    def test_xml_spreadsheet(self):
        path = self.run_ok(["Quarterly sales.kvf", "out.xml", "X", "XML", "1"])
        ns = {"ss": "urn:schemas-microsoft-com:office:spreadsheet"}
        sheet = ET.parse(path).getroot().find("ss:Worksheet", ns)
        self.assertEqual(sheet.get("{%s}Name" % ns["ss"]), "Quarterly sales")
        rows = sheet.findall("ss:Table/ss:Row", ns)
        self.assertEqual(len(rows), 5)
        first = rows[1].findall("ss:Cell/ss:Data", ns)
        self.assertEqual((first[0].get("{%s}Type" % ns["ss"]), first[0].text), ("Number", "1"))
        self.assertEqual(first[1].text, "Smith, John")

    def test_without_titles_the_data_starts_in_row_one(self):
        import openpyxl
        path = self.run_ok(["Quarterly sales.kvf", "plain.xlsx", "X", "XLSX", "0"])
        ws = openpyxl.load_workbook(path).active
        self.assertEqual(ws["A1"].value, 1)
        self.assertIsNone(ws.freeze_panes)

    def test_a_name_a_sheet_cannot_have_is_reported(self):
        self.query("bad[1].kvf")
        r = v.run(["bad[1].kvf", "bad.xlsx", "X", "XLSX", "1"], self.folder, env())
        entries = r.log_entries(expect_at_least=1)
        self.assertEqual(len(entries), 1, entries)
        self.assertTrue(entries[0].startswith('The sheet name "bad[1]" is not valid'), entries)
        self.assertEqual(r.returncode, 1)
        self.assertFalse(os.path.exists(os.path.join(self.folder, "bad.xlsx")))


@unittest.skipUnless(v.PG_STARTED, "PostgreSQL is not started")
class SpreadsheetPostgres(unittest.TestCase):
    def setUp(self):
        self.pg = v.PgServer()
        self.folder = tempfile.mkdtemp(prefix="velmora-spreadsheet-pg-")
        self.table = "xl_e2e_%d" % os.getpid()
        self.pg.psql("drop table if exists %s; create table %s(id int, name text,"
                     " amount numeric(14,4), ok boolean, at timestamp, day date);"
                     "insert into %s values (1, 'Smith, John', 1234.5, true, '2024-03-05 13:04:05',"
                     " '2024-03-05'), (2, null, -0.0001, false, null, null)"
                     % (self.table, self.table, self.table))
        self.addCleanup(self.pg.psql, "drop table if exists %s" % self.table)

    def test_xlsx_from_the_server(self):
        import openpyxl
        connection = self.pg.connection()
        v.make_query(os.path.join(self.folder, "pg.kvf"), "PostgreSQL", connection,
                     "select id, name, amount, ok, at, day from %s order by id" % self.table)
        r = v.run(["pg.kvf", "pg.xlsx", "X", "XLSX", "1"], self.folder, env())
        self.assertEqual(r.log_entries(), [], r.stderr)
        self.assertEqual(r.returncode, 0, r.stderr)
        ws = openpyxl.load_workbook(os.path.join(self.folder, "pg.xlsx")).active
        self.assertEqual([c.value for c in ws[1]], ["id", "name", "amount", "ok", "at", "day"])
        self.assertEqual(ws["A2"].value, 1)
        self.assertEqual(ws["B2"].value, "Smith, John")
        self.assertAlmostEqual(ws["C2"].value, 1234.5)
        self.assertEqual(ws["E2"].value, datetime.datetime(2024, 3, 5, 13, 4, 5))
        self.assertEqual(ws["F2"].value, datetime.datetime(2024, 3, 5))
        self.assertIn(ws["B3"].value, (None, ""))

    def test_floats_no_workbook_holds_show_the_number_error(self):
        import openpyxl
        import xlrd
        connection = self.pg.connection()
        v.make_query(os.path.join(self.folder, "odd.kvf"), "PostgreSQL", connection,
                     "select 2.5::float8 as x, 'NaN'::float8 as n, 'Infinity'::float8 as p,"
                     " '-Infinity'::float8 as m")
        expected = [2.5, "#NUM!", "#NUM!", "#NUM!"]
        readers = {
            "XLSX": lambda p: [c.value for c in openpyxl.load_workbook(p).active[2]],
            "XLS": lambda p: xlrd.open_workbook(p).sheet_by_index(0).row_values(1),
            "XML": lambda p: [float(d.text) if d.get(SS + "Type") == "Number" else d.text
                              for d in ET.parse(p).getroot().iter(SS + "Data")][4:],
            "HTML": lambda p: parse_html(p)[1],
            "CSV": lambda p: list(csv.reader(open(p, newline="", encoding="utf-8")))[1],
        }
        for kind, read in readers.items():
            with self.subTest(kind=kind):
                name = "odd." + kind.lower()
                r = v.run(["odd.kvf", name, "X", kind, "1"], self.folder, env())
                self.assertEqual(r.log_entries(), [], r.stderr)
                self.assertEqual(r.returncode, 0, r.stderr)
                got = read(os.path.join(self.folder, name))
                if kind in ("HTML", "CSV"):
                    self.assertEqual(got, ["2.5"] + expected[1:])
                else:
                    self.assertEqual(got, expected)


if __name__ == "__main__":
    unittest.main()
