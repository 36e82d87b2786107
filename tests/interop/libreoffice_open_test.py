"""LibreOffice opens a workbook the stand-in wrote and finds in it what the
export put there: the cells, the bold header row, the text ("@") format of
the value cells, the column widths and the comments (the header's property
markers and each row's handle), in a sheet with a surrogate pair and a
second sheet. Skipped (exit 77) when soffice is not installed."""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

import ezdxf

BIN = os.environ["GW_BIN_DIR"]
failures = []

NS = {
    "office": "urn:oasis:names:tc:opendocument:xmlns:office:1.0",
    "table": "urn:oasis:names:tc:opendocument:xmlns:table:1.0",
    "text": "urn:oasis:names:tc:opendocument:xmlns:text:1.0",
    "style": "urn:oasis:names:tc:opendocument:xmlns:style:1.0",
    "fo": "urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0",
    "number": "urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0",
}


def q(name):
    prefix, local = name.split(":")
    return "{%s}%s" % (NS[prefix], local)


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def export(tmp):
    doc = ezdxf.new()
    pump = doc.blocks.new("PUMP")
    pump.add_attdef("TAG", (0, 0))
    pump.add_attdef("NOTE", (0, 1))
    valve = doc.blocks.new("VALVE")
    valve.add_attdef("SIZE", (0, 0))
    msp = doc.modelspace()
    texts = [("P-0012", "a rather long description of the first pump"), ("P-\U0001F600", "<&> \"quoted\"")]
    for i, (tag, note) in enumerate(texts):
        ref = msp.add_blockref("PUMP", (i, 0))
        ref.add_attrib("TAG", tag, (i, 0))
        ref.add_attrib("NOTE", note, (i, 1))
    msp.add_blockref("VALVE", (5, 5)).add_attrib("SIZE", "DN50", (5, 5))
    drawing = os.path.join(tmp, "lo.dxf")
    doc.saveas(drawing)
    books = os.path.join(tmp, "books")
    run = subprocess.run([os.path.join(BIN, "gwhost"), "--books", books, drawing], input="gwell\nExport2\n\n",
                         capture_output=True, text=True, timeout=120)
    if run.returncode != 0:
        print(run.stdout, run.stderr)
        sys.exit("gwhost export failed")
    handles = {ref.dxf.handle for ref in ezdxf.readfile(drawing).modelspace().query("INSERT")}
    return os.path.join(books, "Book1.xlsx"), texts, handles


def convert(book, tmp):
    profile = "file://" + os.path.join(tmp, "profile")
    run = subprocess.run(["soffice", "-env:UserInstallation=" + profile, "--headless", "--convert-to", "fods",
                          "--outdir", tmp, book], capture_output=True, text=True, timeout=120)
    out = os.path.join(tmp, os.path.splitext(os.path.basename(book))[0] + ".fods")
    if run.returncode != 0 or not os.path.exists(out):
        print(run.stdout, run.stderr)
        sys.exit("soffice could not open the workbook")
    return ET.parse(out).getroot()


def cell_text(cell):
    parts = []
    for p in cell.findall(q("text:p")):
        parts.append("".join(p.itertext()))
    return "\n".join(parts)


def read_tables(root):
    """Per sheet: rows of (text, style name, comment text) and column styles."""
    tables = {}
    for table in root.iter(q("table:table")):
        rows, columns = [], []
        for column in table.iter(q("table:table-column")):
            repeat = int(column.get(q("table:number-columns-repeated"), "1"))
            columns += [column.get(q("table:style-name"))] * min(repeat, 16)
        for row in table.iter(q("table:table-row")):
            cells = []
            for cell in row:
                if cell.tag not in (q("table:table-cell"), q("table:covered-table-cell")):
                    continue
                annotation = cell.find(q("office:annotation"))
                note = None
                if annotation is not None:
                    note = "\n".join("".join(p.itertext()) for p in annotation.findall(q("text:p")))
                    annotation.clear()
                repeat = int(cell.get(q("table:number-columns-repeated"), "1"))
                entry = (cell_text(cell), cell.get(q("table:style-name")), note)
                cells += [entry] * min(repeat, 16)
            rows.append(cells)
        tables[table.get(q("table:name"))] = (rows, columns)
    return tables


def styles(root):
    """Cell style name -> (bold, text format); column style name -> width."""
    formats = {}
    for style in root.iter(q("number:text-style")):
        formats[style.get(q("style:name"))] = True
    cells, columns = {}, {}
    for style in root.iter(q("style:style")):
        name = style.get(q("style:name"))
        text = style.find(q("style:text-properties"))
        bold = text is not None and text.get(q("fo:font-weight")) == "bold"
        cells[name] = (bold, style.get(q("style:data-style-name")) in formats)
        column = style.find(q("style:table-column-properties"))
        if column is not None:
            columns[name] = column.get(q("style:column-width"))
    return cells, columns


def main():
    with tempfile.TemporaryDirectory() as tmp:
        book, texts, handles = export(tmp)
        # Every part's checksum and sizes agree with its data.
        with zipfile.ZipFile(book) as package:
            check("damaged part", package.testzip(), None)
        if not shutil.which("soffice"):
            for message in failures:
                print("FAIL:", message)
            print("SKIPPED: soffice is not installed")
            sys.exit(1 if failures else 77)
        root = convert(book, tmp)
        tables = read_tables(root)
        cell_styles, column_widths = styles(root)
        check("sheets", {"PUMP", "VALVE"} <= set(tables), True)
        rows, columns = tables.get("PUMP", ([], []))
        header = [c for c in rows[0] if c[0]] if rows else []
        check("header bold", all(cell_styles.get(c[1], (False, False))[0] for c in header) and len(header) > 2, True)
        check("header markers", sum(1 for c in header if c[2]) >= 1, True)
        values = {c[0]: c for row in rows[1:] for c in row if c[0]}
        for tag, note in texts:
            for text in (tag, note):
                check(f"cell {text!r}", text in values, True)
                if text in values:
                    check(f"text format of {text!r}", cell_styles.get(values[text][1], (False, False))[1], True)
                    check(f"{text!r} not bold", cell_styles.get(values[text][1], (False, False))[0], False)
        notes = {c[2] for row in rows[1:] for c in row if c[2]}
        valve_rows = tables.get("VALVE", ([], []))[0]
        notes |= {c[2] for row in valve_rows[1:] for c in row if c[2]}
        check("row comments hold the handles", handles <= notes, True)
        widths = {column_widths.get(name) for name in columns[:4]}
        check("autofitted columns differ in width", len(widths) > 1, True)
    for message in failures:
        print("FAIL:", message)
    if failures:
        sys.exit(1)
    print("ok")


main()
