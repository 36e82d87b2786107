#!/usr/bin/python3
"""The export as a Linux user would script it today with ezdxf and openpyxl:
one sheet per block, a bold header, every cell in the "@" format, the
reference's handle as the comment of its row's first cell.

    ezdxf_export.py DRAWING.dxf OUT.xlsx
    ezdxf_export.py --load-save DRAWING.dxf OUT.dxf   (read and save alone)
"""
import sys

import ezdxf
from openpyxl import Workbook
from openpyxl.comments import Comment
from openpyxl.styles import Font

PROPERTIES = ["X", "Y", "Z", "Rotation", "Scale X", "Scale Y", "Scale Z", "Layer"]


def main(drawing_path, book_path):
    doc = ezdxf.readfile(drawing_path)
    book = Workbook()
    book.remove(book.active)
    sheets = {}
    rows = {}
    bold = Font(bold=True)
    for insert in doc.modelspace().query("INSERT"):
        attributes = list(insert.attribs)
        sheet = sheets.get(insert.dxf.name)
        if sheet is None:
            sheet = sheets[insert.dxf.name] = book.create_sheet(insert.dxf.name)
            sheet.append(["Block name"] + [a.dxf.tag for a in attributes] + PROPERTIES)
            for cell in sheet[1]:
                cell.font = bold
                cell.number_format = "@"
            rows[insert.dxf.name] = 1
        x, y, z = insert.dxf.insert
        scale = (insert.dxf.xscale, insert.dxf.yscale, insert.dxf.zscale)
        row = [insert.dxf.name] + [a.dxf.text for a in attributes]
        row += [f"{x:.4f}", f"{y:.4f}", f"{z:.4f}", f"{insert.dxf.rotation:.0f}"]
        row += [f"{s:.4f}" for s in scale] + [insert.dxf.layer]
        # The row number is counted here: sheet.max_row walks every cell.
        rows[insert.dxf.name] += 1
        number = rows[insert.dxf.name]
        for column, value in enumerate(row, start=1):
            cell = sheet.cell(row=number, column=column, value=value)
            cell.number_format = "@"
        sheet.cell(row=number, column=1).comment = Comment(insert.dxf.handle, "Gridwell")
    book.save(book_path)


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "--load-save":
        ezdxf.readfile(sys.argv[2]).saveas(sys.argv[3])
    elif len(sys.argv) == 3:
        main(sys.argv[1], sys.argv[2])
    else:
        sys.exit("usage: ezdxf_export.py [--load-save] DRAWING.dxf OUT")
