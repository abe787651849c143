"""Reads back a file the built-in spreadsheet engine wrote for FilesTest, with readers we did
not write, and fails with a message when something is not as exported.
Usage: check_files.py KIND PATH (KIND: xlsx, xls, csv, html, xml, plain)."""

import csv
import datetime
import os
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from html_cells import HtmlCells  # noqa: E402

TITLES = ["id", "name", "price", "ratio", "day", "at", "stamp", "flag", "code"]
NAMES = ["plain", 'comma, "quote"\nline', "Ζωή <&> 東京"]


def fail(message):
    print(message)
    sys.exit(1)


def expect(actual, wanted, what):
    if actual != wanted:
        fail("%s: %r, expected %r" % (what, actual, wanted))


def check_xlsx(path):
    import openpyxl
    wb = openpyxl.load_workbook(path)
    expect(wb.sheetnames, ["Sales report"], "sheet names")
    ws = wb["Sales report"]
    expect([c.value for c in ws[1]], TITLES, "titles")
    expect(all(c.font.b for c in ws[1]), True, "bold titles")
    expect(ws.freeze_panes, "A2", "frozen panes")
    expect([ws.cell(row=r, column=2).value for r in (2, 3, 4)], NAMES, "texts")
    expect(ws["A2"].value, 1, "integer")
    expect(ws["C2"].value, 1234.5, "currency value")
    expect(ws["C2"].number_format, "$#,##0.00", "currency format")
    expect(ws["C4"].value, None, "null currency")
    expect(ws["B2"].number_format, "@", "text format")
    expect(ws["D2"].number_format, "0.000", "display format")
    expect(ws["E2"].value, datetime.datetime(2024, 1, 1), "date")
    expect(ws["E2"].number_format, "yyyy-mm-dd", "date format")
    expect(ws["F2"].value, datetime.time(9, 30, 45), "time keeps its seconds")
    expect(ws["F2"].number_format, "h:mm AM/PM", "time shows hours and minutes")
    expect(ws["G2"].value, datetime.datetime(2024, 2, 29, 23, 59), "date-time")
    expect(ws["H2"].value, True, "Boolean")
    expect(ws["I2"].value, "007", "text column keeps leading zeros")
    expect(ws["I3"].value, "42", "text column keeps digits as text")
    for letter in "ABCDEFGHI":
        width = ws.column_dimensions[letter].width
        if not width or width < 2:
            fail("column %s has no fitted width (%r)" % (letter, width))
    if ws.column_dimensions["B"].width <= ws.column_dimensions["A"].width:
        fail("the name column is not wider than the id column")


def check_xls(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    expect(sheet.name, "Sales report", "sheet name")
    expect(sheet.row_values(0), TITLES, "titles")
    expect([sheet.cell_value(r, 1) for r in (1, 2, 3)], NAMES, "texts")
    expect(sheet.cell_value(1, 0), 1.0, "integer")
    day = sheet.cell(1, 4)
    expect(day.ctype, xlrd.XL_CELL_DATE, "date cell type")
    expect(xlrd.xldate_as_datetime(day.value, book.datemode), datetime.datetime(2024, 1, 1), "date")
    font = book.font_list[book.xf_list[sheet.cell_xf_index(0, 0)].font_index]
    expect(bool(font.bold), True, "bold title")
    expect(sheet.horz_split_pos, 1, "frozen row")


def check_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        raw = f.read()
    if "\r\n" not in raw:
        fail("lines do not end in CR LF")
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.reader(f))
    expect(rows[0], TITLES, "titles")
    expect([r[1] for r in rows[1:]], NAMES, "texts")
    expect(rows[1][2], "$1,234.50", "currency as shown")
    expect(rows[3][2], "", "null currency")
    expect(rows[1][3], "0.125", "display format")
    expect(rows[1][4], "2024-01-01", "date as shown")
    expect(rows[1][5], "9:30 AM", "time as shown")
    expect(rows[1][6], "2024-02-29 23:59", "date-time as shown")
    expect(rows[1][7], "TRUE", "Boolean")
    expect(rows[1][8], "007", "text")


def check_html(path):
    text = open(path, encoding="utf-8").read()
    ET.fromstring(text.split("\n", 1)[1])  # the markup is well-formed XML after the doctype
    p = HtmlCells()
    p.feed(text)
    expect(p.rows[0], TITLES, "titles")
    expect(all(p.bold[:len(TITLES)]), True, "bold titles")
    expect([r[1] for r in p.rows[1:]], NAMES, "texts")
    expect(p.rows[1][2], "$1,234.50", "currency as shown")
    expect(p.rows[1][4], "2024-01-01", "date as shown")


def check_xml(path):
    ns = {"ss": "urn:schemas-microsoft-com:office:spreadsheet",
          "x": "urn:schemas-microsoft-com:office:excel"}
    root = ET.parse(path).getroot()
    sheet = root.find("ss:Worksheet", ns)
    expect(sheet.get("{%s}Name" % ns["ss"]), "Sales report", "sheet name")
    rows = sheet.findall("ss:Table/ss:Row", ns)
    def data(r):
        return [(d.get("{%s}Type" % ns["ss"]), d.text) for d in rows[r].findall("ss:Cell/ss:Data", ns)]
    expect([t for _, t in data(0)], TITLES, "titles")
    expect(data(1)[0], ("Number", "1"), "integer")
    expect(data(1)[1], ("String", "plain"), "text")
    expect(data(2)[1][1], NAMES[1], "text with a line break")
    expect(data(1)[4], ("DateTime", "2024-01-01T00:00:00.000"), "date")
    expect(data(1)[7], ("Boolean", "1"), "Boolean")
    styles = {s.get("{%s}ID" % ns["ss"]): s for s in root.findall("ss:Styles/ss:Style", ns)}
    title_style = rows[0].find("ss:Cell", ns).get("{%s}StyleID" % ns["ss"])
    expect(styles[title_style].find("ss:Font", ns).get("{%s}Bold" % ns["ss"]), "1", "bold title")
    price_style = rows[1].findall("ss:Cell", ns)[2].get("{%s}StyleID" % ns["ss"])
    expect(styles[price_style].find("ss:NumberFormat", ns).get("{%s}Format" % ns["ss"]),
           "$#,##0.00", "currency format")
    if not sheet.findall("ss:Table/ss:Column", ns):
        fail("no column widths")
    expect(sheet.find("x:WorksheetOptions/x:SplitHorizontal", ns).text, "1", "frozen row")


def check_plain(path):
    import openpyxl
    ws = openpyxl.load_workbook(path).active
    expect(ws["A1"].value, "id", "title")
    expect(ws["A4"].value, 3, "last record")


if __name__ == "__main__":
    kind, path = sys.argv[1], sys.argv[2]
    globals()["check_" + kind](path)
