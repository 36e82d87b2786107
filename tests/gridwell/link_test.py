"""gridwell link as a user runs it beside LibreOffice: the workbook saved by
another program (here openpyxl, to a temporary file renamed over it, as
LibreOffice saves) reaches the drawing within seconds, one line per change
set on stdout; SIGINT ends it with exit 0, the drawing complete and the
file from before the link kept as .bak. Bad input is refused up front."""
import os
import select
import signal
import subprocess
import time

import ezdxf
import openpyxl

from gwcli import GRIDWELL, Scratch, check, finish, one_line_error


def save_as_other_program(path, sheet, cell, value):
    book = openpyxl.load_workbook(path)
    book[sheet][cell] = value
    handle = book[sheet].cell(int(cell[1:]), 1).comment.text
    book.save(path + ".tmp")
    os.rename(path + ".tmp", path)
    return handle


def wait_for_lines(process, count, seconds):
    """The next `count` lines gridwell prints, waiting at most `seconds`."""
    lines = []
    deadline = time.time() + seconds
    buffer = b""
    while time.time() < deadline and len(lines) < count:
        ready, _, _ = select.select([process.stdout], [], [], 0.1)
        if ready:
            chunk = os.read(process.stdout.fileno(), 4096)
            if not chunk:
                break
            buffer += chunk
            *done, buffer = buffer.split(b"\n")
            lines += [line.decode() for line in done]
    return lines


def main():
    s = Scratch()
    drawing = s.copy_sample()
    original = open(drawing, "rb").read()
    assert s.run("export", "sample.dxf", "-q").returncode == 0
    link = subprocess.Popen([GRIDWELL, "link", "sample.dxf", "sample.xlsx"], cwd=s.path, env=s.env,
                            stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        time.sleep(1.5)
        handle = save_as_other_program(s.file("sample.xlsx"), "DOOR", "B2", "LINKED-1")
        first = wait_for_lines(link, 1, 15)
        check("a save of the workbook is applied and announced in one line",
              len(first) == 1 and "saved sample.dxf" in first[0], first)
        doc = ezdxf.readfile(drawing)
        check("the drawing on disk holds the edit", doc.entitydb[handle].get_attrib_text("NUMBER") == "LINKED-1")
        check("the file from before the link is kept as .bak", open(s.file("sample.dxf.bak"), "rb").read() == original)
        second_handle = save_as_other_program(s.file("sample.xlsx"), "WINDOW", "B2", "LINKED-2")
        second = wait_for_lines(link, 1, 15)
        check("a second save gives a second line", len(second) == 1, second)
        check("the .bak still holds the file from before the link",
              open(s.file("sample.dxf.bak"), "rb").read() == original)
    finally:
        link.send_signal(signal.SIGINT)
        try:
            status = link.wait(timeout=15)
        except subprocess.TimeoutExpired:
            link.kill()
            status = None
    check("SIGINT ends the link with exit 0", status == 0, f"{status} {link.stderr.read().decode()}")
    doc = ezdxf.readfile(drawing)
    check("the drawing is complete and holds both edits",
          doc.entitydb[handle].get_attrib_text("NUMBER") == "LINKED-1"
          and doc.entitydb[second_handle].get_attrib_text("TYPE") == "LINKED-2")

    with open(s.file("notes.xlsx"), "w") as f:
        f.write("a,b\n")
    before = s.listing()
    for description, args, words in [
        ("a missing workbook", ["link", "sample.dxf", "none.xlsx"], ["none.xlsx"]),
        ("a workbook that is no .xlsx", ["link", "sample.dxf", "notes.xlsx"], ["notes.xlsx"]),
        ("a missing drawing", ["link", "none.dxf", "sample.xlsx"], ["none.dxf"]),
        ("a missing output folder", ["link", "sample.dxf", "sample.xlsx", "-o", "no/x.dxf"], ["no"]),
        ("an unknown option", ["link", "sample.dxf", "sample.xlsx", "--follow"], ["--follow"]),
    ]:
        ok, detail = one_line_error(s.run(*args, timeout=30), 2, *words)
        check(f"{description} is refused with one line naming it", ok, detail)
    check("and none of them wrote or changed a file", s.listing() == before)
    finish()


if __name__ == "__main__":
    main()
