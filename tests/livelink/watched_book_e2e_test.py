#!/usr/bin/env python3
"""The live link with a workbook another program edits: gwhost exports the
sample, then runs on with that workbook watched, the link connected, the
drawing saved after each change and no end of input to stop it. openpyxl
saves the workbook twice (in place, then through a temporary file and a
rename, as spreadsheet programs do); each time, within two seconds, ezdxf
must find exactly the edited attributes changed in the saved DXF. SIGTERM
then ends gwhost with exit 0 and a complete DXF, nothing half-written
beside it."""
import os
import signal
import subprocess
import sys
import tempfile
import time

import ezdxf
import openpyxl
from openpyxl.comments import Comment

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
GWHOST = os.path.join(BIN, "gwhost")
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")
LIMIT = 2.0  # seconds from a save of the workbook to the DXF on disk


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def attributes(path):
    doc = ezdxf.readfile(path)
    return {(insert.dxf.handle, attrib.dxf.tag): attrib.dxf.text
            for insert in doc.modelspace().query("INSERT") for attrib in insert.attribs}


def read_if_complete(path):
    """The attributes of `path`, or None while it is absent or unreadable."""
    try:
        return attributes(path)
    except (OSError, ezdxf.DXFError):
        return None


def wait_for(path, expected, since):
    """Polls `path` until it holds `expected` for every key; the seconds it took."""
    while True:
        found = read_if_complete(path)
        if found is not None and all(found.get(key) == text for key, text in expected.items()):
            return time.monotonic() - since, found
        if time.monotonic() - since > LIMIT:
            fail("after %.1f s %s holds %s, expected %s" % (
                LIMIT, path, {key: (found or {}).get(key) for key in expected}, expected))
        time.sleep(0.05)


def check_only(before, after, expected):
    changed = {key for key in before if before[key] != after.get(key)}
    if changed != set(expected) or set(after) != set(before):
        fail("changed attributes %s, expected %s" % (sorted(changed), sorted(expected)))


def round_trip(saves, at_signal=None):
    """Exports the sample, runs the long-running link on the workbook, and
    makes each save in `saves` (description, function of the workbook's path,
    the attribute texts it must bring about); checks each within LIMIT, then
    ends gwhost with SIGTERM, right after the save `at_signal` (same form)
    when one is given: that save must reach the drawing saved at the end."""
    with tempfile.TemporaryDirectory() as work:
        registry = os.path.join(work, "user.reg")
        books = os.path.join(work, "books")
        export = subprocess.run([GWHOST, "--registry", registry, "--books", books, SAMPLE],
                                input="gwell\nExport2\n\n", capture_output=True, text=True, timeout=120)
        book = os.path.join(books, "Book1.xlsx")
        if export.returncode != 0 or not os.path.exists(book):
            fail("export failed %d\n%s\n%s" % (export.returncode, export.stdout, export.stderr))

        out = os.path.join(work, "out", "out.dxf")
        os.mkdir(os.path.dirname(out))
        host = subprocess.Popen(
            [GWHOST, "--registry", registry, "--watch-book", book, "--autosave", "--save-as", out, "--follow",
             SAMPLE],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        expected = {}
        try:
            host.stdin.write("gwell\nConnect\n")
            host.stdin.close()
            host.stdin = None  # communicate() must not flush it later
            # Connecting changes nothing, and neither does the export's own
            # content read back: nothing is saved until a cell is edited.
            time.sleep(1.5)
            if host.poll() is not None:
                fail("gwhost ended early (%d): %s" % (host.returncode, host.stderr.read()))
            if os.path.exists(out):
                fail("the drawing was saved before anything changed")

            before = attributes(SAMPLE)
            for description, save, brings in saves:
                save(book)
                expected.update(brings)
                took, after = wait_for(out, expected, time.monotonic())
                print("%s: %.2f s" % (description, took))
                check_only(before, after, expected)

            if at_signal:
                at_signal[1](book)
                expected.update(at_signal[2])
            host.send_signal(signal.SIGTERM)
            stdout, stderr = host.communicate(timeout=30)
        finally:
            if host.poll() is None:
                host.kill()
                host.wait()
        if host.returncode != 0:
            fail("SIGTERM ended gwhost with %d\n%s" % (host.returncode, stderr))
        if stderr.strip():
            fail("gwhost complained: " + stderr)
        with open(out, encoding="utf-8", errors="replace") as dxf:
            if dxf.read().split()[-1] != "EOF":
                fail("the saved DXF does not end with EOF")
        check_only(before, attributes(out), expected)
        if os.listdir(os.path.dirname(out)) != ["out.dxf"]:
            fail("left beside the drawing: %s" % os.listdir(os.path.dirname(out)))
    print("ok")


def edit_in_place(book):
    workbook = openpyxl.load_workbook(book)
    workbook["DOOR"]["B3"] = "D-77"
    workbook.save(book)


def edit_through_rename(book):
    workbook = openpyxl.load_workbook(book)
    workbook["WINDOW"]["B2"] = "W7"
    workbook["WINDOW"]["C2"] = 1600
    temporary = os.path.join(os.path.dirname(book), ".~Book1.tmp")
    workbook.save(temporary)
    os.replace(temporary, book)


def sort_and_edit(book):
    """Rows 2 and 3 of WINDOW trade places, comments (the references'
    handles) included, as a sort moves them; then C7's glazing, now in row
    3, is edited. Only that attribute may change: the moved values belong
    to the references that moved with them."""
    workbook = openpyxl.load_workbook(book)
    sheet = workbook["WINDOW"]
    if sheet["A2"].comment is None or sheet["A2"].comment.text != "C7":
        fail("the export no longer keeps C7's handle in the comment of WINDOW!A2")
    for column in range(1, sheet.max_column + 1):
        upper, lower = sheet.cell(row=2, column=column), sheet.cell(row=3, column=column)
        values = (upper.value, lower.value)
        notes = [Comment(c.comment.text, c.comment.author) if c.comment else None for c in (upper, lower)]
        upper.value, lower.value = values[1], values[0]
        upper.comment, lower.comment = notes[1], notes[0]
    sheet["D3"] = "single"
    workbook.save(book)


def edit_at_signal(book):
    workbook = openpyxl.load_workbook(book)
    workbook["DOOR"]["C3"] = "950"
    workbook.save(book)


def main():
    round_trip([
        ("in place", edit_in_place, {("B8", "NUMBER"): "D-77"}),
        ("renamed", edit_through_rename, {("C7", "TYPE"): "W7", ("C7", "HEIGHT"): "1600"}),
        ("sorted", sort_and_edit, {("C7", "GLAZING"): "single"}),
    ], at_signal=("at the signal", edit_at_signal, {("B8", "WIDTH"): "950"}))


if __name__ == "__main__":
    main()
