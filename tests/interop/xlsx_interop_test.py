#!/usr/bin/python3
"""Workbooks cross between openpyxl and the spreadsheet stand-in both ways:
openpyxl writes a workbook, gwhost opens it in a running program and saves
every open workbook at the end, and openpyxl reads back what the stand-in
saved: values with their types, comments, bold rows and cells, text-formatted
("@") cells, sheet names and order, the active sheet and column widths.
Texts XML cannot hold travel in the format's _xHHHH_ escapes and come back
exactly; an opened workbook an export writes into keeps what the stand-in does
not model (formulas with their results, merged cells, styles, names, further
sheets and parts)."""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

import ezdxf

import openpyxl
from openpyxl.comments import Comment
from openpyxl.styles import Font, PatternFill
from openpyxl.workbook.defined_name import DefinedName

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


def gwhost(args, commands):
    run = subprocess.run([os.path.join(BIN, "gwhost")] + args, input=commands, capture_output=True, text=True,
                         timeout=120)
    if run.returncode != 0:
        print(run.stdout, run.stderr)
        sys.exit(f"gwhost {' '.join(args)} failed with {run.returncode}")
    return run.stdout


def decoded(text):
    """A stored text as the format defines it: each _xHHHH_ is one code unit."""
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), text)


AWKWARD = ["bell\x07 and escape\x1b", "looks escaped: _x0041_", "tab\tinside", "plain"]


def awkward_texts(tmp):
    """Attribute texts with characters XML cannot hold go through an export
    and an import of the unchanged workbook unchanged."""
    doc = ezdxf.new()
    block = doc.blocks.new("AWK")
    for i in range(len(AWKWARD)):
        block.add_attdef(f"T{i}", (0, i))
    ref = doc.modelspace().add_blockref("AWK", (1, 2))
    for i, text in enumerate(AWKWARD):
        ref.add_attrib(f"T{i}", text, (1, 2 + i))
    drawing = os.path.join(tmp, "awkward.dxf")
    doc.saveas(drawing)
    books = os.path.join(tmp, "awkward")
    gwhost(["--books", books, drawing], "gwell\nExport2\n\n")
    saved = os.path.join(books, "Book1.xlsx")
    stored = []
    with zipfile.ZipFile(saved) as package:
        for name in package.namelist():
            if name.endswith(".xml") or name.endswith(".rels"):
                try:
                    root = ET.fromstring(package.read(name))
                except ET.ParseError as e:
                    failures.append(f"{name} is not well-formed: {e}")
                    continue
                if name == "xl/sharedStrings.xml":
                    stored = ["".join(t.text or "" for t in si.findall(".//{*}t")) for si in root]
    for text in AWKWARD:
        check(f"stored form of {text!r}", any(decoded(s) == text for s in stored), True)
    ws = openpyxl.load_workbook(saved)["AWK"]
    check("openpyxl reads a literal _x0041_", ws.cell(2, 3).value, AWKWARD[1])
    # Imported from the unchanged workbook, every text is what it was.
    result = os.path.join(tmp, "awkward-back.dxf")
    gwhost(["--spreadsheet", "running", "--open-book", saved, "--save-as", result, drawing], "gwell\nImport\n")
    back = ezdxf.readfile(result).modelspace().query("INSERT")[0]
    check("texts after the round trip", [a.dxf.text for a in back.attribs], AWKWARD)


def write_rich(path, with_note):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Data"
    ws["A1"] = "=SUM(B1:B3)"
    for r, v in enumerate((1, 2, 3), start=1):
        ws.cell(r, 2, v)
    ws["C1"] = 0.25
    ws["C1"].number_format = "0.0%"
    ws["C2"] = "yellow"
    ws["C2"].fill = PatternFill("solid", fgColor="FFFF00")
    ws["C3"] = "bold"
    ws["C3"].font = Font(bold=True, italic=True)
    ws["D4"] = "note here"
    if with_note:
        ws["D4"].comment = Comment("a note of the user's", "user")
    ws["A6"] = "merged"
    ws.merge_cells("A6:C7")
    ws.column_dimensions["Z"].width = 17
    wb.create_sheet("Other")["A1"] = "=Data!B2*10"
    wb.defined_names.append(DefinedName("Total", attr_text="Data!$A$1"))
    wb.active = 0
    wb.save(path)
    # openpyxl writes no results for formulas; give them theirs, as the
    # program would have saved them.
    with zipfile.ZipFile(path) as package:
        parts = {name: package.read(name) for name in package.namelist()}
    for name, result in (("xl/worksheets/sheet1.xml", b"6"), ("xl/worksheets/sheet2.xml", b"20")):
        parts[name] = re.sub(rb"(<f>[^<]*</f>)(<v\s*/>|<v></v>)?", rb"\1<v>" + result + rb"</v>", parts[name], count=1)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as package:
        for name, data in parts.items():
            package.writestr(name, data)
    return parts


def export_into_opened(tmp, with_note, own_sheets):
    """An export into an opened workbook changes the rows it writes and keeps
    the rest of the workbook; its handle notes join the sheet's own notes or
    are the sheet's first; with a sheet per block, the new sheets join the
    workbook."""
    books = os.path.join(tmp, f"rich-{with_note}-{own_sheets}")
    os.makedirs(books)
    source = os.path.join(books, "rich.xlsx")
    original = write_rich(source, with_note)
    registry = os.path.join(tmp, "rich.reg")
    with open(registry, "w", encoding="ascii", newline="\r\n") as reg:
        reg.write("Windows Registry Editor Version 5.00\n\n")
        for key in ("SOFTWARE", "SOFTWARE\\Norvale", "SOFTWARE\\Norvale\\Gridwell",
                    "SOFTWARE\\Norvale\\Gridwell\\Settings"):
            reg.write("[HKEY_CURRENT_USER\\%s]\n\n" % key)
        reg.write("[HKEY_CURRENT_USER\\SOFTWARE\\Norvale\\Gridwell\\Settings\\Export]\n")
        reg.write('"WorkbookSettings"=dword:00000001\n"WorksheetSettings"=dword:%08x\n'
                  '"StartRow"=dword:00000014\n\n' % (0 if own_sheets else 1))
    sample = os.path.join(os.environ["GW_SOURCE_DIR"], "samples", "sample.dxf")
    out = gwhost(["--registry", registry, "--spreadsheet", "running", "--open-book", source, "--books", books, sample],
                 "gwell\nExport2\n\n")
    check("saved over its own file", f"Workbook rich.xlsx saved as {source}" in out, True)
    check("no other file", sorted(os.listdir(books)), ["rich.xlsx"])

    wb = openpyxl.load_workbook(source)
    ws = wb["Data"]
    check("formula", ws["A1"].value, "=SUM(B1:B3)")
    check("formula on the other sheet", wb["Other"]["A1"].value, "=Data!B2*10")
    check("merged cells", [str(r) for r in ws.merged_cells.ranges], ["A6:C7"])
    check("number format", ws["C1"].number_format, "0.0%")
    check("fill", ws["C2"].fill.fgColor.rgb, "00FFFF00")
    check("font", (ws["C3"].font.b, ws["C3"].font.i), (True, True))
    check("the user's note", ws["D4"].comment.text if ws["D4"].comment else None,
          "a note of the user's" if with_note else None)
    check("defined name", "Total" in wb.defined_names, True)
    check("width of an untouched column", round(ws.column_dimensions["Z"].width, 2), 17)
    if own_sheets:
        new = [name for name in wb.sheetnames if name not in ("Data", "Other")]
        check("the blocks' sheets are added", len(new) > 0, True)
        check("the workbook's sheets stay in order", [n for n in wb.sheetnames if n in ("Data", "Other")],
              ["Data", "Other"])
        for name in new:
            sheet = wb[name]
            check(f"{name} has a header and rows", sheet.max_row >= 2, True)
            check(f"{name} rows carry their handles", all(sheet.cell(r, 1).comment for r in range(2, sheet.max_row + 1)),
                  True)
        check("nothing written into Data", ws.max_row, 7)
    else:
        exported = [ws.cell(r, 1).value for r in range(20, 40) if ws.cell(r, 1).value]
        check("exported rows start at row 20", bool(exported) and ws.cell(20, 1).value is not None, True)
        check("exported rows carry their handles",
              all(ws.cell(r, 1).comment for r in range(20, 20 + len(exported))), True)
    values = openpyxl.load_workbook(source, data_only=True)
    check("formula result kept", values["Data"]["A1"].value, 6)
    check("other formula result kept", values["Other"]["A1"].value, 20)
    with zipfile.ZipFile(source) as package:
        saved = {name: package.read(name) for name in package.namelist()}
    for name in original:
        check(f"part {name} kept", name in saved, True)
    unchanged = ["docProps/core.xml", "docProps/app.xml", "xl/worksheets/sheet2.xml", "xl/theme/theme1.xml"]
    unchanged += ["xl/worksheets/sheet1.xml"] if own_sheets else ["xl/workbook.xml"]
    libreoffice_reads_the_same(source, tmp)
    for name in unchanged:
        check(f"part {name} unchanged", saved.get(name) == original.get(name), True)


def libreoffice_reads_the_same(path, tmp):
    """Where LibreOffice is installed, it opens the saved workbook and finds
    the same values, formulas, notes and merged cells as openpyxl."""
    soffice = shutil.which("soffice")
    if not soffice:
        return
    outdir = os.path.join(tmp, "libreoffice")
    run = subprocess.run([soffice, "--headless", "--norestore",
                          "-env:UserInstallation=file://" + os.path.join(tmp, "lo-profile"),
                          "--convert-to", "xlsx", "--outdir", outdir, path],
                         capture_output=True, text=True, timeout=240)
    converted = os.path.join(outdir, os.path.basename(path))
    if run.returncode != 0 or not os.path.exists(converted):
        failures.append(f"LibreOffice could not open {path}: {run.stdout} {run.stderr}")
        return
    ours, theirs = openpyxl.load_workbook(path), openpyxl.load_workbook(converted)
    check(f"LibreOffice sheets of {path}", theirs.sheetnames, ours.sheetnames)
    for ws in ours:
        other = theirs[ws.title]
        check(f"LibreOffice merged cells of {ws.title}", sorted(map(str, other.merged_cells.ranges)),
              sorted(map(str, ws.merged_cells.ranges)))
        for row in ws.iter_rows():
            for cell in row:
                got = other[cell.coordinate]
                same = got.value == cell.value or (isinstance(got.value, (int, float)) and
                                                  isinstance(cell.value, (int, float)) and
                                                  abs(got.value - cell.value) < 1e-9)
                check(f"LibreOffice value {ws.title}!{cell.coordinate}", same, True)
                if cell.comment:
                    check(f"LibreOffice note {ws.title}!{cell.coordinate}",
                          got.comment.text.strip() if got.comment else None, cell.comment.text.strip())


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

        awkward_texts(tmp)
        export_into_opened(tmp, True, False)
        export_into_opened(tmp, False, False)
        export_into_opened(tmp, False, True)
    if failures:
        sys.exit("\n".join(failures))
    print("ok")


main()
