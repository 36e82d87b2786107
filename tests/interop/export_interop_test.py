"""Exports the bundled sample drawing with gwhost ("Export2", every block)
and checks the saved workbook with openpyxl against what ezdxf reads from the
same drawing: one sheet per exported block, a bold header row with the tags
and the column titles, the property markers as header comments, the handle of
each reference as the comment of its row, its attribute values and its
coordinates in the drawing's linear format."""
import os
import re
import subprocess
import sys
import tempfile

import ezdxf
import openpyxl

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")


def resource_strings():
    """The module's resource texts by their IDS_ names, from the resource script."""
    strings = {}
    with open(os.path.join(SOURCE, "res", "gwell.rc"), encoding="utf-8") as script:
        for line in script:
            match = re.match(r'\s*(IDS_\w+),\s*"(.*)"\s*$', line)
            if match:
                strings[match.group(1)] = match.group(2).replace('""', '"')
    return strings


def linear_text(value, doc):
    """A coordinate as the drawing's decimal units show it: $LUPREC places,
    $DIMZIN 4 dropping the leading and 8 the trailing zeros."""
    precision = doc.header.get("$LUPREC", 4)
    dimzin = doc.header.get("$DIMZIN", 0)
    text = f"{value:.{precision}f}"
    if dimzin & 8 and "." in text:
        text = text.rstrip("0").rstrip(".")
    if dimzin & 4:
        text = re.sub(r"^(-?)0\.", r"\1.", text)
    return text


def merged_values(definitions, insert):
    """Each non-constant definition's value: the reference's attribute of the
    same tag (letter case ignored; repeated tags in turn), else the
    definition's default."""
    records = [[d.dxf.tag, d.dxf.text, d.is_const, False] for d in definitions]
    for attrib in insert.attribs:
        for record in records:
            if not record[3] and record[0].lower() == attrib.dxf.tag.lower():
                record[1], record[3] = attrib.dxf.text, True
                break
    return [(tag, text) for tag, text, constant, _ in records if not constant]


def bold(sheet, row):
    if sheet.row_dimensions[row].s and sheet.row_dimensions[row].font and sheet.row_dimensions[row].font.b:
        return True
    return all(cell.font.b for cell in sheet[row] if cell.value is not None)


def main():
    failures = []

    def check(condition, what):
        if not condition:
            failures.append(what)

    strings = resource_strings()
    doc = ezdxf.readfile(SAMPLE)
    check(doc.header.get("$LUNITS", 2) == 2, "the sample uses decimal units")

    # The references of every named block, wherever they lie.
    references = {}
    for entity in doc.entitydb.values():
        if entity.dxftype() == "INSERT" and entity.is_alive:
            references.setdefault(entity.dxf.name.upper(), []).append(entity)
    exported = []
    for block in doc.blocks:
        name = block.name
        if block.block.is_anonymous or name.upper().startswith(("*MODEL_SPACE", "*PAPER_SPACE")):
            continue
        if references.get(name.upper()):
            exported.append(block)
    check(len(exported) >= 2, "the sample has at least two blocks with references")

    with tempfile.TemporaryDirectory() as work:
        books = os.path.join(work, "books")
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--registry", os.path.join(work, "user.reg"), "--books", books, SAMPLE],
            input="gwell\nExport2\n\n", capture_output=True, text=True, timeout=120)
        check(run.returncode == 0, f"gwhost ended with {run.returncode}: {run.stderr}")
        saved = sorted(os.listdir(books)) if os.path.isdir(books) else []
        check(len(saved) == 1 and saved[0].endswith(".xlsx"), f"one workbook saved, found {saved}")
        if not saved:
            print("\n".join(failures) + "\n" + run.stdout, file=sys.stderr)
            return 1
        path = os.path.join(books, saved[0])
        check(saved[0] in run.stdout, f"gwhost says where the workbook is: {run.stdout!r}")
        check("COM error" not in run.stdout, f"no error reported: {run.stdout!r}")
        workbook = openpyxl.load_workbook(path)

        for block in exported:
            name = block.name
            check(name in workbook.sheetnames, f"sheet {name} in {workbook.sheetnames}")
            if name not in workbook.sheetnames:
                continue
            sheet = workbook[name]
            definitions = [e for e in block if e.dxftype() == "ATTDEF"]
            tags = [d.dxf.tag for d in definitions if not d.is_const]
            titles = [strings["IDS_COLUMN_BLOCK_NAME"]] + tags + [strings[i] for i in (
                "IDS_COLUMN_X", "IDS_COLUMN_Y", "IDS_COLUMN_Z", "IDS_COLUMN_ROTATION",
                "IDS_COLUMN_SCALE_X", "IDS_COLUMN_SCALE_Y", "IDS_COLUMN_SCALE_Z", "IDS_COLUMN_LAYER")]
            header = [sheet.cell(1, c + 1).value for c in range(len(titles))]
            check(header == titles, f"{name}: header {header} != {titles}")
            check(bold(sheet, 1), f"{name}: header row is bold")
            first_property = 2 + len(tags)
            for offset, marker in enumerate(("IDS_MARKER_X", "IDS_MARKER_Y", "IDS_MARKER_Z", "IDS_MARKER_ROTATION",
                                             "IDS_MARKER_SCALE_X", "IDS_MARKER_SCALE_Y", "IDS_MARKER_SCALE_Z",
                                             "IDS_MARKER_LAYER")):
                comment = sheet.cell(1, first_property + offset).comment
                check(comment is not None and comment.text == strings[marker],
                      f"{name}: marker {marker} on column {first_property + offset}")

            by_handle = {insert.dxf.handle.upper(): insert for insert in references[name.upper()]}
            seen = set()
            row = 2
            while sheet.cell(row, 1).value is not None or sheet.cell(row, 1).comment is not None:
                comment = sheet.cell(row, 1).comment
                handle = comment.text.strip().upper() if comment else ""
                insert = by_handle.get(handle)
                check(insert is not None, f"{name} row {row}: handle {handle!r} is a reference of the block")
                if insert is not None:
                    seen.add(handle)
                    values = [sheet.cell(row, c + 1).value for c in range(first_property + 7)]
                    check(values[0] == name, f"{name} row {row}: block name {values[0]!r}")
                    for index, (tag, text) in enumerate(merged_values(definitions, insert)):
                        check((values[1 + index] or "") == text,
                              f"{name} row {row}: {tag} = {values[1 + index]!r}, drawing has {text!r}")
                    point = insert.ocs().to_wcs(insert.dxf.insert)
                    for axis, value in enumerate((point.x, point.y, point.z)):
                        expected = linear_text(value, doc)
                        got = values[first_property - 1 + axis]
                        # A value that rounds to zero may keep its sign.
                        same = got == expected or (got is not None and float(expected) == 0
                                                   and got.lstrip("-") == expected.lstrip("-"))
                        check(same, f"{name} row {row}: coordinate {axis} = {got!r}, expected {expected!r}")
                    check(values[first_property + 6] == insert.dxf.layer,
                          f"{name} row {row}: layer {values[first_property + 6]!r}")
                check(not bold(sheet, row), f"{name} row {row} is not bold")
                row += 1
            check(seen == set(by_handle), f"{name}: rows for {sorted(seen)}, references {sorted(by_handle)}")

    if failures:
        print("\n".join(failures), file=sys.stderr)
        return 1
    print(f"checked {len(exported)} sheets")
    return 0


if __name__ == "__main__":
    sys.exit(main())
