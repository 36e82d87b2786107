"""Exports a drawing made with ezdxf through gwhost and checks the saved
workbook with openpyxl: every attribute's own text under its tag, whatever
order the reference keeps its attributes in, tags without a definition in
columns of their own, a block name the spreadsheet refuses as a sheet name on
a sheet of the default name, and a text longer than a cell written as #N/A
and reported, with the export going on to the next block."""
import os
import subprocess
import sys
import tempfile

import ezdxf
import openpyxl

BIN = os.environ["GW_BIN_DIR"]
LONG_NAME = "Block_name_longer_than_31_characters"


def make_drawing(path):
    doc = ezdxf.new("R2010")
    plan = doc.blocks.new("PLAN")
    plan.add_attdef("NUMBER", (0, 0), dxfattribs={"prompt": "Number?"}).dxf.text = "0"
    plan.add_attdef("ROOM", (0, 1), dxfattribs={"prompt": "Room?"}).dxf.text = "default room"
    plan.add_attdef("NUMBER", (0, 2)).dxf.text = "0"
    msp = doc.modelspace()
    # Attributes added in another order than the definitions, one tag twice
    # and one tag the block does not define.
    first = msp.add_blockref("PLAN", (0, 0))
    first.add_attrib("ROOM", "Kitchen")
    first.add_attrib("EXTRA", "kept")
    first.add_attrib("NUMBER", "12")
    first.add_attrib("number", "13")
    second = msp.add_blockref("PLAN", (5, 0))
    second.add_attrib("NUMBER", "21")
    second.add_attrib("ROOM", "x" * 32768)
    refused = doc.blocks.new(LONG_NAME)
    refused.add_attdef("T", (0, 0))
    third = msp.add_blockref(LONG_NAME, (9, 0))
    third.add_attrib("T", "after the long one")
    doc.saveas(path)
    return first.dxf.handle.upper(), second.dxf.handle.upper(), third.dxf.handle.upper()


def main():
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    with tempfile.TemporaryDirectory() as work:
        drawing = os.path.join(work, "rooms.dxf")
        first, second, third = make_drawing(drawing)
        books = os.path.join(work, "books")
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--registry", os.path.join(work, "user.reg"), "--books", books, drawing],
            input=f"gwell\nExport2\nplan,{LONG_NAME.lower()}\n", capture_output=True, text=True, timeout=120)
        check(run.returncode == 0, f"gwhost ended with {run.returncode}: {run.stderr}")
        check("COM error" not in run.stdout, f"no error reported: {run.stdout!r}")
        check(f"Block PLAN, reference {second}: the text of ROOM" in run.stdout,
              f"the long text is reported: {run.stdout!r}")
        saved = sorted(os.listdir(books)) if os.path.isdir(books) else []
        if len(saved) != 1:
            print(f"one workbook saved, found {saved}\n{run.stdout}\n{run.stderr}", file=sys.stderr)
            return 1
        workbook = openpyxl.load_workbook(os.path.join(books, saved[0]))
        check("PLAN" in workbook.sheetnames, f"sheet PLAN in {workbook.sheetnames}")
        if "PLAN" in workbook.sheetnames:
            sheet = workbook["PLAN"]
            header = [sheet.cell(1, c).value for c in range(1, 6)]
            check(header[1:5] == ["NUMBER", "ROOM", "NUMBER", "EXTRA"], f"header {header}")
            rows = {}
            for row in range(2, 4):
                comment = sheet.cell(row, 1).comment
                rows[comment.text.strip().upper() if comment else ""] = [sheet.cell(row, c).value for c in range(1, 6)]
            check(rows.get(first, [None])[1:] == ["12", "Kitchen", "13", "kept"], f"first row {rows.get(first)}")
            values = rows.get(second, [None] * 5)
            check(values[1] == "21" and values[3] == "0" and values[4] in (None, ""), f"second row {values}")
            # An error value, kept in the file as the formula that yields it.
            check(values[2] in ("#N/A", "=#N/A"), f"the long text's cell holds #N/A: {values[2]!r}")
        # The name is longer than a sheet name may be: the block's sheet keeps
        # the default name, and its row is there.
        others = [name for name in workbook.sheetnames if name not in ("PLAN",)]
        found = False
        for name in others:
            sheet = workbook[name]
            comment = sheet.cell(2, 1).comment
            if comment and comment.text.strip().upper() == third:
                found = True
                check(sheet.cell(2, 2).value == "after the long one", f"{name}: {sheet.cell(2, 2).value!r}")
                check(sheet.cell(2, 1).value == LONG_NAME, f"block name column: {sheet.cell(2, 1).value!r}")
        check(found, f"the long-named block's row on one of {others}")

        # The unchanged workbook imported again changes no text in the drawing.
        after = os.path.join(work, "after.dxf")
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--registry", os.path.join(work, "user.reg"), "--spreadsheet", "running",
             "--open-book", os.path.join(books, saved[0]), "--save-as", after, drawing],
            input="gwell\nImport\n", capture_output=True, text=True, timeout=120)
        check(run.returncode == 0, f"import: gwhost ended with {run.returncode}: {run.stderr}")
        before_doc, after_doc = ezdxf.readfile(drawing), ezdxf.readfile(after)
        for handle in (first, second, third):
            old = [(a.dxf.tag, a.dxf.text) for a in before_doc.entitydb[handle].attribs]
            new = [(a.dxf.tag, a.dxf.text) for a in after_doc.entitydb[handle].attribs]
            check(old == new, f"{handle}: attributes {[t for t in old if t not in new][:3]} changed into "
                              f"{[(tag, text[:40]) for tag, text in new if (tag, text) not in old][:3]}")

    if failures:
        print("\n".join(failures), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
