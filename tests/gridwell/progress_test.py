"""The progress line at a terminal: an export and an import run under a
pseudo-terminal draw a line redrawn in place with carriage returns (loading,
references exported or rows imported out of the total, saving) and end
with one summary line that counts what was done; in a pipe, and with
--quiet at a terminal, nothing is drawn at all."""
import os
import pty
import re
import subprocess

import openpyxl

from gwcli import GRIDWELL, Scratch, check, finish, make_drawing


def under_terminal(s, *args):
    """Runs gridwell with standard error on a pseudo-terminal; its status,
    stdout and what the terminal received."""
    master, slave = pty.openpty()
    process = subprocess.Popen([GRIDWELL, *args], cwd=s.path, env=s.env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.PIPE, stderr=slave)
    os.close(slave)
    received = b""
    while True:
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the terminal's other end closed
            break
        if not chunk:
            break
        received += chunk
    os.close(master)
    stdout = process.stdout.read()
    process.stdout.close()
    return process.wait(timeout=300), stdout.decode(), received.decode(errors="replace")


def main():
    s = Scratch()
    references = 6 * 700
    make_drawing(s.file("big.dxf"), [f"B{i}" for i in range(6)], 700)

    status, _, terminal = under_terminal(s, "export", "big.dxf")
    updates = [part for part in terminal.split("\r") if part.strip("\x1b[K\n")]
    check("the export at a terminal exits 0", status == 0, terminal[-300:])
    check("the progress line is redrawn in place", terminal.count("\r") >= 3, repr(terminal[:200]))
    check("it tells the drawing's loading", any(u.startswith("loading big.dxf") for u in updates), updates[:3])
    progress = [re.search(r"exporting references: (\d+) of (\d+)", u) for u in updates]
    totals = {int(m.group(2)) for m in progress if m}
    check("it counts references exported out of the drawing's total", totals == {references}, totals)
    check("it tells the workbook's save", any(u.startswith("saving big.xlsx") for u in updates), updates[-3:])
    summary = terminal.rstrip("\r\n").split("\r")[-1].replace("\x1b[K", "")
    match = re.fullmatch(r"exported (\d+) references to big\.xlsx: (\d+) sheets, (\d+) rows in [\d.]+ s", summary)
    book = openpyxl.load_workbook(s.file("big.xlsx"), read_only=True)
    rows = sum(sheet.max_row for sheet in book.worksheets if sheet.title.startswith("B"))
    check("one summary line ends it with the references, sheets and rows of the workbook",
          match is not None and int(match.group(1)) == references and int(match.group(2)) == len(book.sheetnames)
          and int(match.group(3)) == rows, repr(summary))

    book = openpyxl.load_workbook(s.file("big.xlsx"))
    book["B2"]["B7"] = "edited"
    book.active = book.sheetnames.index("B2")
    book.save(s.file("edited.xlsx"))
    status, stdout, terminal = under_terminal(s, "import", "big.dxf", "edited.xlsx")
    updates = [part for part in terminal.split("\r") if part.strip("\x1b[K\n")]
    check("the import at a terminal counts rows imported out of the total",
          status == 0 and any(re.search(r"importing rows: \d+ of 700", u) for u in updates), updates[:4])
    check("and ends with one summary line of the rows and sheets read",
          re.search(r"\rimported 700 rows from 1 sheet; saved big\.dxf in [\d.]+ s\r?\n$",
                                                       terminal.replace("\x1b[K", "")) is not None,
          repr(terminal[-120:]))
    check("the module's account stays on stdout", "references changed 1" in stdout, stdout)

    status, _, terminal = under_terminal(s, "export", "big.dxf", "-o", "quiet.xlsx", "--quiet")
    check("--quiet at a terminal draws nothing", status == 0 and terminal == "", repr(terminal[:200]))
    result = s.run("export", "big.dxf", "-o", "piped.xlsx")
    check("in a pipe nothing is drawn", result.returncode == 0 and result.stderr == "" and result.stdout == "",
          repr(result.stderr[:200]))
    finish()


if __name__ == "__main__":
    main()
