#!/usr/bin/python3
"""Workbooks cross between openpyxl and the spreadsheet stand-in both ways:
openpyxl writes a workbook, gwhost opens it in a running program and saves
every open workbook at the end, and openpyxl reads back what the stand-in
saved: values with their types, comments, bold rows and cells, text-formatted
("@") cells, sheet names and order, the active sheet and column widths."""
import os
import subprocess
import sys
import tempfile

import openpyxl
from openpyxl.comments import Comment
from openpyxl.styles import Font

BIN = os.environ["GW_BIN_DIR"]
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def write_source(path):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Pumps"
    ws.append(["BLOCKNAME", "TAG", "DIAMETER"])
    ws.row_dimensions[1].font = Font(bold=True)  # a bold row, as a header row is
    for cell in ws[1]:
        cell.font = Font(bold=True)
    ws["A2"] = "PUMP"
    ws["A2"].comment = Comment("1F3", "gw")
    ws["B2"] = "0012"
    ws["B2"].number_format = "@"
    ws["C2"] = 12.5
    ws["D2"] = True
    ws["A3"] = "Zürich – żółw"
    ws["C3"] = -7
    ws.column_dimensions["A"].width = 20.71
    other = wb.create_sheet("Válvulas")
    other["B5"] = "x"
    other["B5"].comment = Comment("note\nsecond line", "gw")
    wb.create_sheet("Third")["A1"] = 1
    wb.active = 1
    wb.save(path)


def verify(path):
    wb = openpyxl.load_workbook(path)
    check("sheet names", wb.sheetnames, ["Pumps", "Válvulas", "Third"])
    check("active sheet", wb.active.title, "Válvulas")
    ws = wb["Pumps"]
    header = [ws.cell(1, c) for c in range(1, 4)]
    check("header", [c.value for c in header], ["BLOCKNAME", "TAG", "DIAMETER"])
    check("header bold", [c.font.b for c in header], [True, True, True])
    check("bold row", bool(ws.row_dimensions[1].font.b), True)
    check("row 2 style", bool(ws.row_dimensions[2].font.b), False)
    check("row 2 not bold", bool(ws["A2"].font.b), False)
    check("comment", ws["A2"].comment.text if ws["A2"].comment else None, "1F3")
    check("text cell", ws["B2"].value, "0012")
    check("text format", ws["B2"].number_format, "@")
    check("number", ws["C2"].value, 12.5)
    check("boolean", ws["D2"].value, True)
    check("unicode", ws["A3"].value, "Zürich – żółw")
    check("negative", ws["C3"].value, -7)
    check("width", round(ws.column_dimensions["A"].width, 2), 20.71)
    other = wb["Válvulas"]
    check("second sheet", other["B5"].value, "x")
    check("multi-line comment", other["B5"].comment.text if other["B5"].comment else None, "note\nsecond line")
    check("third", wb["Third"]["A1"].value, 1)


def main():
    with tempfile.TemporaryDirectory() as tmp:
        source = os.path.join(tmp, "source.xlsx")
        out = os.path.join(tmp, "out")
        write_source(source)
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--spreadsheet", "running", "--open-book", source, "--books", out],
            input="", capture_output=True, text=True, timeout=120)
        if run.returncode != 0:
            print(run.stdout, run.stderr)
            sys.exit(f"gwhost failed with {run.returncode}")
        saved = os.path.join(out, "source.xlsx")
        if not os.path.exists(saved):
            sys.exit(f"nothing saved: {os.listdir(out) if os.path.isdir(out) else 'no folder'}")
        verify(saved)

        # A damaged file is refused with a message, and nothing is saved.
        bad = os.path.join(tmp, "bad.xlsx")
        with open(bad, "wb") as f:
            f.write(b"PK\x03\x04 this is no workbook")
        out2 = os.path.join(tmp, "out2")
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--spreadsheet", "running", "--open-book", bad, "--books", out2],
            input="", capture_output=True, text=True, timeout=120)
        check("damaged file refused", run.returncode != 0, True)
        check("damaged file named", "bad.xlsx" in run.stderr + run.stdout, True)
    if failures:
        sys.exit("\n".join(failures))
    print("ok")


main()
