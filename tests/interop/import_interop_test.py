#!/usr/bin/env python3
"""Round trip through a real workbook: gwhost exports the bundled sample
drawing, openpyxl edits the saved workbook as a user would, gwhost imports it
with the property columns enabled, and ezdxf must find exactly the edits in
the saved drawing and nothing else."""
import math
import os
import re
import subprocess
import sys
import tempfile

import ezdxf
import openpyxl

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
GWHOST = os.path.join(BIN, "gwhost")
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def resource_strings():
    """The string table of the resource script: the header labels and the
    comments that mark the property columns."""
    table = {}
    with open(os.path.join(SOURCE, "res", "gwell.rc"), encoding="utf-8") as rc:
        for line in rc:
            match = re.match(r'\s*(IDS_\w+),\s*"(.*)"\s*$', line)
            if match:
                table[match.group(1)] = match.group(2)
    return table


def gwhost(args, script):
    run = subprocess.run([GWHOST] + args, input=script, capture_output=True, text=True, timeout=240)
    if run.returncode != 0:
        fail("gwhost %s exited %d\n%s\n%s" % (args, run.returncode, run.stdout, run.stderr))
    return run.stdout


def block_names_with_attributes(doc):
    names = []
    for block in doc.blocks:
        if block.name.startswith("*") or block.is_any_layout:
            continue
        if any(e.dxftype() == "ATTDEF" and not e.is_const for e in block):
            names.append(block.name)
    return names


def inserts_by_handle(doc):
    found = {}
    for layout in list(doc.layouts) + [b for b in doc.blocks if not b.is_any_layout]:
        for entity in layout:
            if entity.dxftype() == "INSERT":
                found[entity.dxf.handle] = entity
    return found


def close(a, b, tolerance):
    return abs(a - b) <= tolerance


def same_angle(a, b, tolerance):
    difference = (a - b) % 360.0
    return min(difference, 360.0 - difference) <= tolerance


def same_point(a, b, tolerance):
    return all(close(p, q, tolerance) for p, q in zip(a, b))


def pick_sheet(book, strings, doc):
    """A block sheet with at least two value rows and two attribute columns,
    and the column number of each header it has."""
    markers = {strings[i]: i for i in ("IDS_MARKER_X", "IDS_MARKER_Y", "IDS_MARKER_Z", "IDS_MARKER_ROTATION",
                                       "IDS_MARKER_SCALE_X", "IDS_MARKER_SCALE_Y", "IDS_MARKER_SCALE_Z",
                                       "IDS_MARKER_LAYER")}
    # The sheet with the most rows: the door block has references in model
    # space, turned ones and one inside another block.
    for sheet in sorted(book.worksheets, key=lambda s: -s.max_row):
        columns = {}
        attributes = []
        for cell in sheet[1]:
            if cell.comment is not None and cell.comment.text in markers:
                columns[markers[cell.comment.text]] = cell.column
            elif cell.comment is None and cell.value and cell.column > 1:
                attributes.append((cell.value, cell.column))
        rows = [r for r in range(2, sheet.max_row + 1) if sheet.cell(r, 1).comment is not None]
        if len(rows) >= 2 and len(attributes) >= 2 and {"IDS_MARKER_X", "IDS_MARKER_Y", "IDS_MARKER_Z", "IDS_MARKER_ROTATION",
                                                           "IDS_MARKER_LAYER"} <= set(columns):
            return sheet, columns, attributes, rows
    fail("no exported sheet has two rows, two attribute columns and the property columns")


def main():
    if not os.path.exists(SAMPLE):
        fail("missing sample drawing " + SAMPLE)
    strings = resource_strings()
    original = ezdxf.readfile(SAMPLE)
    names = block_names_with_attributes(original)
    if not names:
        fail("the sample drawing has no block with attributes")

    with tempfile.TemporaryDirectory() as tmp:
        books = os.path.join(tmp, "books")
        os.mkdir(books)
        # Export with the defaults: a new workbook, one worksheet per block.
        gwhost(["--registry", os.path.join(tmp, "export.reg"), "--books", books, SAMPLE],
               "gwell\nExport2\n%s\n" % ",".join(names))
        saved = [f for f in os.listdir(books) if f.endswith(".xlsx")]
        if len(saved) != 1:
            fail("expected one saved workbook, found %s" % saved)

        book = openpyxl.load_workbook(os.path.join(books, saved[0]))
        sheet, columns, attributes, rows = pick_sheet(book, strings, original)
        edited_row, emptied_row = rows[0], rows[1]
        moved = sheet.cell(edited_row, 1).comment.text
        emptied = sheet.cell(emptied_row, 1).comment.text
        inserts = inserts_by_handle(original)
        if moved not in inserts or emptied not in inserts:
            fail("handle comments %s, %s name no reference of the drawing" % (moved, emptied))

        first_tag, first_column = attributes[0]
        second_tag, second_column = attributes[1]
        old_x = float(sheet.cell(edited_row, columns["IDS_MARKER_X"]).value)
        new_x = old_x + 125.5
        old_layer = sheet.cell(edited_row, columns["IDS_MARKER_LAYER"]).value
        layers = [layer.dxf.name for layer in original.layers if layer.dxf.name != old_layer]
        if not layers:
            fail("the sample drawing needs a second layer")
        new_layer = layers[-1]

        sheet.cell(edited_row, first_column).value = "EDITED-\u00e9-%s" % moved
        sheet.cell(edited_row, columns["IDS_MARKER_X"]).value = new_x  # a number, not the exported text
        sheet.cell(edited_row, columns["IDS_MARKER_LAYER"]).value = new_layer
        sheet.cell(edited_row, columns["IDS_MARKER_ROTATION"]).value = "30"  # degrees, as the exported text is
        sheet.cell(emptied_row, second_column).value = None
        book.active = book.worksheets.index(sheet)
        edited = os.path.join(tmp, "edited.xlsx")
        book.save(edited)

        # Properties are applied only with IgnoreProps off in the user's store.
        registry = os.path.join(tmp, "import.reg")
        with open(registry, "w", encoding="ascii", newline="\r\n") as reg:
            reg.write("Windows Registry Editor Version 5.00\n\n")
            for key in ("SOFTWARE", "SOFTWARE\\Norvale", "SOFTWARE\\Norvale\\Gridwell",
                        "SOFTWARE\\Norvale\\Gridwell\\Settings",
                        "SOFTWARE\\Norvale\\Gridwell\\Settings\\Export"):
                reg.write("[HKEY_CURRENT_USER\\%s]\n\n" % key)
            reg.write("[HKEY_CURRENT_USER\\SOFTWARE\\Norvale\\Gridwell\\Settings\\Import]\n")
            reg.write('"IgnoreProps"=dword:00000000\n\n')

        result_path = os.path.join(tmp, "imported.dxf")
        output = gwhost(["--registry", registry, "--open-book", edited, "--save-as", result_path, SAMPLE],
                        "gwell\nImport\n")
        if "COM error" in output or "Assertion failed" in output:
            fail("the import reported a failure:\n" + output)

        # One line tells what the import did: every row was read, two
        # references were edited, and every cell held what it should.
        summary = "Import: rows read %d, references changed 2\n" % len(rows)
        if summary not in output:
            fail("no summary %r in the output:\n%s" % (summary, output))
        check(original, ezdxf.readfile(result_path), moved, emptied, new_x, new_layer,
              {first_tag: "EDITED-\u00e9-%s" % moved}, {second_tag: ""})
    print("ok: sheet %s, reference %s moved to x=%s, turned to 30 degrees, put on %s; %s emptied in %s"
          % (sheet.title, moved, new_x, new_layer, second_tag, emptied))


def check(original, result, moved, emptied, new_x, new_layer, moved_texts, emptied_texts):
    # Exported numbers carry the drawing's display precision, but cells the
    # user did not touch change nothing: every value that was not edited
    # keeps its full precision, and the edited ones are exactly the cells'.
    linear = 1e-9
    angular = 1e-9
    before = inserts_by_handle(original)
    after = inserts_by_handle(result)
    if set(before) != set(after):
        fail("references appeared or vanished: %s" % (set(before) ^ set(after)))

    for handle, old in before.items():
        new = after[handle]
        expect_insert = list(old.dxf.insert)
        expect_rotation = old.dxf.rotation
        expect_layer = old.dxf.layer
        expect_texts = {a.dxf.tag: a.dxf.text for a in old.attribs}
        if handle == moved:
            expect_insert[0] = new_x
            expect_rotation = 30.0
            expect_layer = new_layer
            expect_texts.update(moved_texts)
        if handle == emptied:
            expect_texts.update(emptied_texts)
        if not same_point(new.dxf.insert, expect_insert, linear):
            fail("%s: insertion point %s, expected %s" % (handle, tuple(new.dxf.insert), expect_insert))
        if not same_angle(new.dxf.rotation, expect_rotation, angular):
            fail("%s: rotation %s, expected %s" % (handle, new.dxf.rotation, expect_rotation))
        if new.dxf.layer != expect_layer:
            fail("%s: layer %s, expected %s" % (handle, new.dxf.layer, expect_layer))
        texts = {a.dxf.tag: a.dxf.text for a in new.attribs}
        if texts != expect_texts:
            fail("%s: attribute texts %s, expected %s" % (handle, texts, expect_texts))
        if handle != moved:
            # A row whose properties were not edited leaves its attributes
            # where they were and on the layers they were on.
            for a, b in zip(old.attribs, new.attribs):
                if not same_point(a.dxf.insert, b.dxf.insert, 1e-6) or b.dxf.layer != a.dxf.layer:
                    fail("%s: attribute %s went from %s on %s to %s on %s" % (
                        handle, a.dxf.tag, tuple(a.dxf.insert), a.dxf.layer, tuple(b.dxf.insert), b.dxf.layer))

    # Nothing but references and their attributes changes.
    untouched = {e.dxf.handle: e for e in original.entitydb.values()
                 if e.dxftype() not in ("INSERT", "ATTRIB") and e.dxf.hasattr("handle")}
    changed = {e.dxf.handle: e for e in result.entitydb.values()
               if e.dxftype() not in ("INSERT", "ATTRIB") and e.dxf.hasattr("handle")}
    for handle, entity in untouched.items():
        other = changed.get(handle)
        if other is None or other.dxftype() != entity.dxftype():
            fail("%s %s is gone" % (entity.dxftype(), handle))
        if entity.dxftype() in ("LINE", "LWPOLYLINE", "CIRCLE", "ARC", "LAYER", "ATTDEF") \
                and entity.dxfattribs() != other.dxfattribs():
            fail("%s %s changed: %s -> %s" % (entity.dxftype(), handle, entity.dxfattribs(), other.dxfattribs()))

    # The moved reference's attributes follow it: each sits where its
    # definition lands under the reference's new transform, turned with it,
    # and on the reference's new layer.
    reference = after[moved]
    block = result.blocks.get(reference.dxf.name)
    definitions = {d.dxf.tag.upper(): d for d in block if d.dxftype() == "ATTDEF"}
    transform = reference.matrix44()
    for attribute in reference.attribs:
        definition = definitions.get(attribute.dxf.tag.upper())
        if definition is None:
            continue
        expected = transform.transform(definition.dxf.insert)
        if not same_point(attribute.dxf.insert, expected, 1e-6):
            fail("attribute %s of %s at %s, expected %s" % (attribute.dxf.tag, moved,
                                                            tuple(attribute.dxf.insert), tuple(expected)))
        if not same_angle(attribute.dxf.rotation, definition.dxf.rotation + 30.0, 1e-6):
            fail("attribute %s of %s not turned with it: %s" % (attribute.dxf.tag, moved, attribute.dxf.rotation))
        if attribute.dxf.layer != new_layer:
            fail("attribute %s of %s stayed on layer %s" % (attribute.dxf.tag, moved, attribute.dxf.layer))


if __name__ == "__main__":
    main()
