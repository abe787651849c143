"""Workbooks written by the BIFF8 writer (through the biff8-case tool), read back with xlrd."""

import os
import struct
import subprocess
import tempfile
import unittest

import xlrd
import xlrd.compdoc

TOOL = os.environ.get("BIFF8_CASE") or os.path.join(
    os.environ.get("VELMORA_BINARY_DIR", "build"), "bin", "biff8-case")

SST, CONTINUE, EXTSST = 0x00FC, 0x003C, 0x00FF


def write_case(case, folder):
    path = os.path.join(folder, case + ".xls")
    run = subprocess.run([TOOL, case, path], capture_output=True, text=True, timeout=120)
    return path, run


def open_case(case, folder):
    path, run = write_case(case, folder)
    if run.returncode != 0:
        raise AssertionError("%s failed: %s" % (case, run.stderr))
    return path, xlrd.open_workbook(path, formatting_info=True)


def records(path):
    """(id, stream offset, data) of every record of the Workbook stream."""
    with open(path, "rb") as f:
        stream = xlrd.compdoc.CompDoc(f.read()).get_named_stream("Workbook")
    pos, out = 0, []
    while pos + 4 <= len(stream):
        rid, length = struct.unpack("<HH", stream[pos:pos + 4])
        if rid == 0 and length == 0:  # padding after the last EOF
            break
        out.append((rid, pos, stream[pos + 4:pos + 4 + length]))
        pos += 4 + length
    return out


def stored_width(characters):
    # Excel's ColumnWidth plus its 5-pixel padding, in 1/256 of a 7-pixel digit.
    return int((characters * 7 + 5) / 7 * 256)


class SmallSheet(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.path, cls.book = open_case("small", cls.tmp.name)
        cls.sheet = cls.book.sheet_by_index(0)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def format_of(self, row, col):
        xf = self.book.xf_list[self.sheet.cell_xf_index(row, col)]
        return self.book.format_map[xf.format_key].format_str

    def font_of(self, row, col):
        xf = self.book.xf_list[self.sheet.cell_xf_index(row, col)]
        return self.book.font_list[xf.font_index]

    def test_sheets_and_size(self):
        self.assertEqual(self.book.sheet_names(), ["Small", "Отчёт 報告", "Sparse"])
        self.assertEqual((self.sheet.nrows, self.sheet.ncols), (10, 9))

    def test_title_row_is_bold_text_and_frozen(self):
        self.assertEqual(self.sheet.row_values(0),
                         ["Id", "Name", "Amount", "When", "Day", "Time", "Flag", "Note", "Empty"])
        for col in range(9):
            self.assertEqual(self.sheet.cell_type(0, col), xlrd.XL_CELL_TEXT)
            self.assertTrue(self.font_of(0, col).bold)
        self.assertFalse(self.font_of(1, 1).bold)
        self.assertTrue(self.sheet.panes_are_frozen)
        self.assertEqual(self.sheet.horz_split_pos, 1)
        self.assertEqual(self.sheet.horz_split_first_visible, 1)
        self.assertEqual(self.sheet.vert_split_pos, 0)

    def test_numbers_keep_their_exact_value(self):
        # RK (integers, two decimals, short mantissas) and NUMBER (the rest) alike.
        amounts = [1234.5, 0.1, -17, 1e300, 1099511627776.5, 123.45, -0.0, 536870911]
        for row, expected in enumerate(amounts, start=1):
            self.assertEqual(self.sheet.cell_type(row, 2), xlrd.XL_CELL_NUMBER)
            self.assertEqual(repr(self.sheet.cell_value(row, 2)), repr(float(expected)))
            self.assertEqual(self.sheet.cell_value(row, 0), row)
        self.assertEqual(self.format_of(1, 2), "#,##0.00")
        self.assertEqual(self.format_of(1, 0), "General")

    def test_dates_and_times_are_dates_with_their_formats(self):
        for row in range(1, 9):
            for col, fmt in ((3, "yyyy-mm-dd hh:mm"), (4, "yyyy-mm-dd"), (5, "hh:mm")):
                self.assertEqual(self.sheet.cell_type(row, col), xlrd.XL_CELL_DATE)
                self.assertEqual(self.format_of(row, col), fmt)
        self.assertEqual(xlrd.xldate_as_tuple(self.sheet.cell_value(1, 3), self.book.datemode),
                         (2023, 3, 15, 12, 0, 0))
        self.assertEqual(xlrd.xldate_as_tuple(self.sheet.cell_value(8, 4), self.book.datemode),
                         (2023, 3, 22, 0, 0, 0))
        self.assertEqual(self.sheet.cell_value(1, 5), 0.75)

    def test_texts_booleans_errors_and_blanks(self):
        self.assertEqual(self.sheet.col_values(1, 1, 9),
                         ["Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta", "Eta", "Theta"])
        self.assertEqual(self.format_of(1, 1), "@")
        self.assertEqual(self.sheet.col_types(6, 1, 9), [xlrd.XL_CELL_BOOLEAN] * 8)
        self.assertEqual(self.sheet.col_values(6, 1, 9), [1, 0, 1, 0, 1, 0, 1, 0])
        # Set out of order and twice; the later value stays.
        self.assertEqual(self.sheet.col_values(7, 1, 3), ["note", "second"])
        # NaN cannot be stored: it becomes #NUM!.
        self.assertEqual(self.sheet.cell_type(3, 7), xlrd.XL_CELL_ERROR)
        self.assertEqual(xlrd.error_text_from_code[self.sheet.cell_value(3, 7)], "#NUM!")
        self.assertEqual(self.sheet.cell_type(1, 8), xlrd.XL_CELL_BLANK)
        self.assertEqual(self.format_of(1, 8), "#,##0.00")

    def test_column_widths(self):
        widths = {col: info.width for col, info in self.sheet.colinfo_map.items()}
        self.assertEqual(widths, {0: stored_width(5), 1: stored_width(20.5), 2: stored_width(12),
                                  3: stored_width(16), 4: stored_width(16)})

    def test_font_colour_fill_border_and_alignment(self):
        xf = self.book.xf_list[self.sheet.cell_xf_index(9, 0)]
        font = self.book.font_list[xf.font_index]
        self.assertTrue(font.italic)
        self.assertEqual(self.book.colour_map[font.colour_index], (0xC0, 0, 0))
        self.assertEqual(xf.background.fill_pattern, 1)
        self.assertEqual(self.book.colour_map[xf.background.pattern_colour_index],
                         (0x12, 0xAB, 0x34))
        self.assertEqual(xf.alignment.hor_align, 3)
        self.assertEqual(xf.alignment.text_wrapped, 1)
        border = xf.border
        self.assertEqual([border.top_line_style, border.right_line_style,
                          border.bottom_line_style, border.left_line_style], [2] * 4)
        for index in (border.top_colour_index, border.right_colour_index,
                      border.bottom_colour_index, border.left_colour_index):
            self.assertEqual(self.book.colour_map[index], (0, 0, 0xFF))
        plain = self.book.xf_list[self.sheet.cell_xf_index(1, 1)]
        self.assertEqual(plain.border.top_line_style, 0)
        self.assertEqual(plain.background.fill_pattern, 0)

    def test_non_latin_texts(self):
        other = self.book.sheet_by_index(1)
        self.assertEqual(other.col_values(0), [
            "Съешь же ещё этих мягких французских булок",
            "東京都の天気は晴れ",
            "emoji \U0001F600 and \U0001F389",
            "mixed Ωμέγα 한국어 ✓",
            "bad \uFFFD byte",
        ])
        self.assertFalse(other.panes_are_frozen)
        self.assertEqual(other.horz_split_pos, 0)


    def test_row_index_points_at_rows_and_cells(self):
        """INDEX and DBCELL, which xlrd skips but Excel uses to find rows."""
        recs = records(self.path)
        at = {pos: (rid, data) for rid, pos, data in recs}
        sparse_rows = [3, 4, 40, 100, 101, 133]
        sparse = self.book.sheet_by_name("Sparse")
        for row in sparse_rows:
            columns = list(range(row % 3, 5, 2))
            self.assertEqual([sparse.cell_value(row, c) for c in columns],
                             [row * 10 + c for c in columns])
        bof_positions = [pos for rid, pos, data in recs
                         if rid == 0x0809 and struct.unpack("<H", data[2:4])[0] == 0x10]
        self.assertEqual(len(bof_positions), 3)
        for bof in bof_positions:
            after = [r for r in recs if r[1] > bof]
            rid, _, index = after[0]
            self.assertEqual(rid, 0x020B)
            first, last = struct.unpack("<II", index[4:12])
            dbcells = struct.unpack("<%dI" % ((len(index) - 16) // 4), index[16:])
            self.assertEqual(len(dbcells), (last - first - 1) // 32 + 1)
            self.assertEqual(at[struct.unpack("<I", index[12:16])[0]][0], 0x0055)
            seen_rows = []
            for pos in dbcells:
                rid, data = at[pos]
                self.assertEqual(rid, 0x00D7)
                back, = struct.unpack("<I", data[:4])
                if back == 0:
                    self.assertEqual(len(data), 4)
                    continue
                row_pos = pos - back
                offsets = struct.unpack("<%dH" % ((len(data) - 4) // 2), data[4:])
                cell_pos = row_pos + 20
                for k, offset in enumerate(offsets):
                    row_rid, row_data = at[row_pos + 20 * k]
                    self.assertEqual(row_rid, 0x0208)
                    cell_pos += offset
                    cell_rid, cell_data = at[cell_pos]
                    self.assertIn(cell_rid, (0x00FD, 0x0203, 0x027E, 0x0205, 0x0201))
                    self.assertEqual(cell_data[:2], row_data[:2])
                    seen_rows.append(struct.unpack("<H", row_data[:2])[0])
            if bof == bof_positions[2]:
                self.assertEqual(seen_rows, sparse_rows)
                self.assertEqual(len(dbcells), 5)


def expected_strings():
    ascii_text = "".join(chr(ord("a") + k % 26) for k in range(20000))
    return {0: ascii_text, 1: "ж" * 10001, 2: "字" * 32767, 3: "\U0001F600" * 9000, 4: "",
            5: "x" * 8219 + "é€"}


class SharedStringsPastOneRecord(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.path, cls.book = open_case("strings", cls.tmp.name)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_every_text_reads_back(self):
        sheet = self.book.sheet_by_index(0)
        self.assertEqual(sheet.col_values(0), ["string %05d" % i for i in range(3000)])
        self.assertEqual(sheet.col_values(1), ["odd" if i % 2 else "even" for i in range(3000)])
        for row, text in expected_strings().items():
            self.assertEqual(sheet.cell_value(row, 2), text, "row %d" % row)

    def test_table_continues_and_its_index_points_at_strings(self):
        recs = records(self.path)
        ids = [rid for rid, _, _ in recs]
        self.assertGreater(ids.count(CONTINUE), 10)
        self.assertTrue(all(len(data) <= 8224 for _, _, data in recs))
        sst = ids.index(SST)
        self.assertTrue(all(rid == CONTINUE for rid in ids[sst + 1:ids.index(EXTSST)]))
        total, unique = struct.unpack("<II", recs[sst][2][:8])
        self.assertEqual((total, unique), (6006, 3008))

        starts = {pos for rid, pos, _ in recs if rid in (SST, CONTINUE)}
        extsst = recs[ids.index(EXTSST)][2]
        per_bucket = struct.unpack("<H", extsst[:2])[0]
        # The table keeps the order in which the texts were first set.
        strings = []
        for i in range(3000):
            strings += ["string %05d" % i] + (["even", "odd"][i:i + 1] if i < 2 else [])
        strings += [expected_strings()[row] for row in range(6)]
        self.assertEqual(len(strings), unique)
        with open(self.path, "rb") as f:
            stream = xlrd.compdoc.CompDoc(f.read()).get_named_stream("Workbook")
        entries = len(extsst[2:]) // 8
        self.assertEqual(entries, -(-unique // per_bucket))
        for k in range(entries):
            ib, offset = struct.unpack("<IH", extsst[2 + 8 * k:8 + 8 * k])
            self.assertIn(ib - offset, starts)
            self.assertEqual(struct.unpack("<H", stream[ib:ib + 2])[0],
                             len(strings[k * per_bucket].encode("utf-16-le")) // 2)


class LargeWorkbook(unittest.TestCase):
    def test_fat_beyond_the_header_slots(self):
        with tempfile.TemporaryDirectory() as tmp:
            path, book = open_case("large", tmp)
            self.assertGreater(os.path.getsize(path), 7 * 1024 * 1024)
            with open(path, "rb") as f:
                header = f.read(512)
            fat_sectors, = struct.unpack("<I", header[44:48])
            difat_sectors, = struct.unpack("<I", header[72:76])
            self.assertGreater(fat_sectors, 109)
            self.assertGreaterEqual(difat_sectors, 1)

            sheet = book.sheet_by_index(0)
            self.assertEqual((sheet.nrows, sheet.ncols), (30001, 20))
            self.assertEqual(sheet.row_values(0), ["c%d" % c for c in range(20)])
            self.assertEqual(sheet.horz_split_pos, 1)
            for row in range(1, sheet.nrows):
                self.assertEqual(sheet.row_values(row), [row + c / 7.0 for c in range(20)])


class CompoundFileStreams(unittest.TestCase):
    def test_streams_on_both_sides_of_the_mini_stream_cutoff(self):
        sizes = {"One": 1, "Mini63": 63, "Mini64": 64, "Mini65": 65, "Cut4095": 4095,
                 "Big4096": 4096, "Big4097": 4097, "Large": 300000, "Zed": 700, "alpha": 5000,
                 "Beta": 100}
        with tempfile.TemporaryDirectory() as tmp:
            path, run = write_case("compound", tmp)
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(path, "rb") as f:
                doc = xlrd.compdoc.CompDoc(f.read())
            for name, size in sizes.items():
                seed = len(name) * 31 + size
                expected = bytes((k * 7 + seed) % 251 for k in range(size))
                self.assertEqual(doc.get_named_stream(name), expected, name)
            self.check_directory_tree(doc.dirlist, set(sizes))

    def check_directory_tree(self, entries, names):
        """The root's children: a search tree in the format's name order, red-black coloured."""
        def key(name):
            return (len(name), name.upper())

        black_heights = set()

        def walk(did, low, high, blacks, parent_red):
            if did < 0:
                black_heights.add(blacks)
                return []
            node = entries[did]
            red = node.colour == 0
            self.assertFalse(red and parent_red, "red node %s under a red one" % node.name)
            self.assertTrue(low is None or key(low) < key(node.name))
            self.assertTrue(high is None or key(node.name) < key(high))
            blacks += 0 if red else 1
            return (walk(node.left_DID, low, node.name, blacks, red) + [node.name] +
                    walk(node.right_DID, node.name, high, blacks, red))

        root = entries[0]
        self.assertEqual((root.name, root.etype), ("Root Entry", 5))
        self.assertEqual(entries[root.root_DID].colour, 1)
        self.assertEqual(set(walk(root.root_DID, None, None, 0, False)), names)
        self.assertEqual(len(black_heights), 1)


class Limits(unittest.TestCase):
    def test_limits(self):
        cases = [
            ("rows-max", None, 65536, 1),
            ("rows-over", "The .xls format holds at most 65536 rows; this sheet has 65537", 0, 0),
            ("columns-max", None, 1, 256),
            ("columns-over", "The .xls format holds at most 256 columns; this sheet has 257",
             0, 0),
        ]
        for case, message, rows, cols in cases:
            with self.subTest(case), tempfile.TemporaryDirectory() as tmp:
                path, run = write_case(case, tmp)
                if message:
                    self.assertEqual(run.returncode, 1)
                    self.assertEqual(run.stderr.strip(), message)
                    self.assertEqual(os.listdir(tmp), [])
                    continue
                self.assertEqual(run.returncode, 0, run.stderr)
                sheet = xlrd.open_workbook(path, formatting_info=True).sheet_by_index(0)
                self.assertEqual((sheet.nrows, sheet.ncols), (rows, cols))
                self.assertEqual(sheet.cell_value(rows - 1, cols - 1),
                                 rows - 1 if rows > 1 else cols - 1)


if __name__ == "__main__":
    unittest.main()
