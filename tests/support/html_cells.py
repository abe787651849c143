"""The cells of the HTML tables a workbook export writes, read with Python's own HTML parser."""

import html.parser


class HtmlCells(html.parser.HTMLParser):
    """Collects the text of every <td>, row by row (a <br> as a line break), and whether its
    style makes it bold."""

    def __init__(self):
        super().__init__()
        self.rows, self.cell, self.bold = [], None, []

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag == "td":
            self.cell = ""
            self.bold.append("font-weight:bold" in (dict(attrs).get("style") or ""))
        elif tag == "br" and self.cell is not None:
            self.cell += "\n"

    def handle_endtag(self, tag):
        if tag == "td":
            self.rows[-1].append(self.cell)
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data
