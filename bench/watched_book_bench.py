#!/usr/bin/env python3
"""The time from a save of a watched workbook to the DXF on disk, with
gwhost running the whole Linux live link (--watch-book, --autosave,
--follow) on a drawing of 10,000 references: one changed cell, then 1,000.
Each figure runs from the moment the workbook's new file is in place
(renamed over the old one, as spreadsheet programs save) to the moment the
saved DXF holds every new text. It includes the watcher's settle time and
the wait for the once-a-second import timer.

    GW_BIN_DIR=build/bin /usr/bin/python3 bench/watched_book_bench.py [ROUNDS]
"""
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

import openpyxl

BIN = os.environ.get("GW_BIN_DIR", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "bin"))
GWHOST = os.path.join(BIN, "gwhost")
REFERENCES = 10000


def drawing(count):
    """An R12 drawing: block DOOR with NUMBER and WIDTH, `count` references."""
    lines = []

    def group(code, value):
        lines.extend([str(code), str(value)])

    for code, value in [(0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1009"), (0, "ENDSEC"),
                        (0, "SECTION"), (2, "TABLES"), (0, "TABLE"), (2, "LAYER")]:
        group(code, value)
    for layer in ("0", "Doors"):
        group(0, "LAYER"); group(2, layer); group(70, 0)
    for code, value in [(0, "ENDTAB"), (0, "ENDSEC"), (0, "SECTION"), (2, "BLOCKS")]:
        group(code, value)
    for name in ("$MODEL_SPACE", "$PAPER_SPACE", "DOOR"):
        group(0, "BLOCK"); group(8, "0"); group(2, name); group(70, 0)
        group(10, "0.0"); group(20, "0.0"); group(30, "0.0")
        if name == "DOOR":
            for k, tag in enumerate(("NUMBER", "WIDTH")):
                group(0, "ATTDEF"); group(8, "0"); group(10, 10.0 * k); group(20, "0.0"); group(30, "0.0")
                group(40, "2.5"); group(1, ""); group(3, tag); group(2, tag); group(70, 0)
        group(0, "ENDBLK"); group(8, "0")
    group(0, "ENDSEC"); group(0, "SECTION"); group(2, "ENTITIES")
    for i in range(count):
        handle = 0x1000 + 4 * i
        group(0, "INSERT"); group(5, "%X" % handle); group(8, "0"); group(66, 1); group(2, "DOOR")
        group(10, i); group(20, "0.0"); group(30, "0.0")
        for k, tag in enumerate(("NUMBER", "WIDTH")):
            group(0, "ATTRIB"); group(5, "%X" % (handle + 1 + k)); group(8, "0"); group(10, i + 10.0 * k)
            group(20, "0.0"); group(30, "0.0"); group(40, "2.5"); group(1, "old"); group(2, tag); group(70, 0)
        group(0, "SEQEND"); group(5, "%X" % (handle + 3)); group(8, "0")
    group(0, "ENDSEC"); group(0, "EOF")
    return "\n".join(lines) + "\n"


def texts_in(path, prefix):
    """How many attribute texts of the saved DXF start with `prefix`."""
    try:
        with open(path, encoding="latin-1") as dxf:
            lines = dxf.read().splitlines()
    except OSError:
        return -1
    return sum(1 for i in range(0, len(lines) - 1, 2) if lines[i].strip() == "1" and lines[i + 1].startswith(prefix))


def save_cells(book, texts):
    """Writes texts into column B from row 2 on and puts the file in place."""
    workbook = openpyxl.load_workbook(book)
    sheet = workbook["DOOR"]
    for row, text in enumerate(texts, start=2):
        sheet.cell(row=row, column=2, value=text)
    temporary = book + ".tmp"
    workbook.save(temporary)
    os.replace(temporary, book)
    return time.monotonic()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    with tempfile.TemporaryDirectory() as work:
        source = os.path.join(work, "doors.dxf")
        with open(source, "w", encoding="latin-1") as dxf:
            dxf.write(drawing(REFERENCES))
        registry = os.path.join(work, "user.reg")
        books = os.path.join(work, "books")
        subprocess.run([GWHOST, "--registry", registry, "--books", books, source], input="gwell\nExport2\n\n",
                       capture_output=True, text=True, timeout=600, check=True)
        book = os.path.join(books, "Book1.xlsx")
        out = os.path.join(work, "out.dxf")
        host = subprocess.Popen([GWHOST, "--registry", registry, "--watch-book", book, "--autosave", "--save-as",
                                 out, "--follow", source],
                                stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        host.stdin.write("gwell\nConnect\n")
        host.stdin.close()
        host.stdin = None
        time.sleep(3)
        try:
            for cells in (1, 1000):
                times = []
                for r in range(rounds):
                    prefix = "r%d-%d-" % (cells, r)
                    started = save_cells(book, [prefix + str(i) for i in range(cells)])
                    while texts_in(out, prefix) < cells:
                        if time.monotonic() - started > 60:
                            raise SystemExit("no DXF with %d new texts after 60 s" % cells)
                        time.sleep(0.01)
                    times.append(time.monotonic() - started)
                print("%d references, %4d changed cells: save to DXF on disk mean %.3f s, worst %.3f s (%d rounds)"
                      % (REFERENCES, cells, statistics.mean(times), max(times), rounds))
        finally:
            host.send_signal(signal.SIGTERM)
            _, stderr = host.communicate(timeout=120)
            if host.returncode != 0 or stderr.strip():
                print("gwhost ended with %d: %s" % (host.returncode, stderr))


if __name__ == "__main__":
    main()
