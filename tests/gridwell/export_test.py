"""gridwell export as a user runs it, checked with openpyxl and ezdxf: the
sample drawing to the default and to a named workbook, chosen blocks in
their order, a shared sheet, --option for one run (the store untouched),
a generated drawing whose block list is longer than the module's prompt
takes, and every bad input refused with one line, exit 2 and no file
written or replaced."""
import os
import stat

import ezdxf
import openpyxl

from gwcli import SAMPLE, Scratch, check, finish, make_drawing, one_line_error


def handles_in(book, sheet):
    ws = book[sheet]
    return [ws.cell(row, 1).comment.text for row in range(2, ws.max_row + 1) if ws.cell(row, 1).comment]


def sample_handles():
    """Handles of the sample's references with attributes per block, in
    every layout, sorted (the rows' order is the module's, tested with it)."""
    found = {}
    for entity in ezdxf.readfile(SAMPLE).entitydb.values():
        if entity.dxftype() == "INSERT" and entity.attribs and not entity.dxf.owner in ("0", None):
            found.setdefault(entity.dxf.name, []).append(entity.dxf.handle)
    return {name: sorted(handles) for name, handles in found.items()}


def default_and_named(s):
    drawing = s.copy_sample()
    result = s.run("export", "sample.dxf")
    check("export of the sample exits 0 silently without a terminal",
          result.returncode == 0 and not result.stdout and not result.stderr, result.stderr)
    book = openpyxl.load_workbook(s.file("sample.xlsx"))
    expected = sample_handles()
    for name, handles in expected.items():
        check(f"sheet {name} holds the handles ezdxf reads",
              name in book.sheetnames and sorted(handles_in(book, name)) == handles,
              f"{book.sheetnames} {handles_in(book, name) if name in book.sheetnames else ''} {handles}")
    door = book["DOOR"]
    header = [c.value for c in door[1]]
    check("the DOOR header carries its tags and property columns",
          header[:4] == ["Block name", "NUMBER", "WIDTH", "FIRE_RATING"] and "Layer" in header, header)
    check("the sample drawing itself is unchanged",
          open(drawing, "rb").read() == open(SAMPLE, "rb").read())
    check("the workbook takes a new file's mode",
          stat.S_IMODE(os.stat(s.file("sample.xlsx")).st_mode) == 0o666 & ~current_umask())

    before = open(s.file("sample.xlsx"), "rb").read()
    ok, detail = one_line_error(s.run("export", "sample.dxf"), 2, "sample.xlsx", "--force")
    check("an existing workbook is refused without --force", ok, detail)
    check("and is left as it was", open(s.file("sample.xlsx"), "rb").read() == before)
    os.mkdir(s.file("out"))
    result = s.run("export", "sample.dxf", "-b", "WINDOW,door", "--blocks", "TITLE", "-o", "out/chosen.xlsx")
    book = openpyxl.load_workbook(s.file("out", "chosen.xlsx"))
    # Each new sheet goes before the active one, as the program adds them:
    # the last block named comes first.
    check("--blocks exports the blocks named, in the order named, any letter case",
          result.returncode == 0 and [n for n in book.sheetnames if n != "Sheet1"] == ["TITLE", "DOOR", "WINDOW"],
          f"{result.stderr} {book.sheetnames}")
    result = s.run("export", "sample.dxf", "-o", "out/chosen.xlsx", "--force", "-b", "DOOR")
    book = openpyxl.load_workbook(s.file("out", "chosen.xlsx"))
    check("--force replaces the workbook", result.returncode == 0 and "WINDOW" not in book.sheetnames,
          result.stderr)
    os.mkdir(s.file("real"))
    os.symlink(os.path.join("..", "real", "linked.xlsx"), s.file("out", "link.xlsx"))
    with open(s.file("real", "linked.xlsx"), "wb") as f:
        f.write(b"old")
    result = s.run("export", "sample.dxf", "-o", "out/link.xlsx", "--force", "-b", "TITLE")
    check("--force on a symbolic link replaces the file it names and keeps the link",
          result.returncode == 0 and os.path.islink(s.file("out", "link.xlsx"))
          and "TITLE" in openpyxl.load_workbook(s.file("real", "linked.xlsx")).sheetnames, result.stderr)
    leftovers = [n for n in os.listdir(s.file("out")) + os.listdir(s.file("real")) if n.startswith(".")]
    check("no temporary file is left behind", not leftovers, leftovers)


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def shared_sheet_and_options(s):
    s.copy_sample()
    result = s.run("export", "sample.dxf", "-b", "DOOR,WINDOW", "--shared-sheet", "-o", "shared.xlsx")
    book = openpyxl.load_workbook(s.file("shared.xlsx"))
    ws = book.active
    rows = [(ws.cell(r, 1).value, ws.cell(r, 1).comment.text) for r in range(1, ws.max_row + 1)
            if ws.cell(r, 1).comment and not ws.cell(r, 1).font.b]
    headers = [r for r in range(1, ws.max_row + 1) if ws.cell(r, 1).value == "Block name"]
    expected = sample_handles()
    blocks = [name for name, _ in rows]
    check("--shared-sheet puts both blocks into one sheet, each below its header",
          result.returncode == 0 and blocks == ["DOOR"] * len(expected["DOOR"]) + ["WINDOW"] * len(expected["WINDOW"])
          and sorted(h for _, h in rows) == sorted(expected["DOOR"] + expected["WINDOW"]) and len(headers) == 2
          and headers[1] == 2 + len(expected["DOOR"]),
          f"{result.stderr} {rows} {headers}")

    result = s.run("export", "sample.dxf", "-b", "DOOR", "-O", "Sort=1", "-O", "LayerNames=0",
                   "--option", "BlockNames=0", "-o", "options.xlsx")
    header = [c.value for c in openpyxl.load_workbook(s.file("options.xlsx"))["DOOR"][1]]
    check("--option values shape this run's export",
          result.returncode == 0 and header[:3] == ["FIRE_RATING", "NUMBER", "WIDTH"] and "Layer" not in header,
          f"{result.stderr} {header}")
    check("and the options store is not written", not os.path.exists(s.store))

    ok, detail = one_line_error(s.run("export", "sample.dxf", "-O", "StartCol=0", "-o", "x.xlsx"), 2,
                                "StartCol", "1 to 256")
    check("an --option value out of range is refused with the range", ok, detail)
    ok, detail = one_line_error(s.run("export", "sample.dxf", "-O", "Colour=1", "-o", "x.xlsx"), 2,
                                "Colour", "AddHeader", "Import.StartRow")
    check("an --option name that is none is refused with the valid names", ok, detail)


def generated(s):
    # Names long enough that the list passes the 132 characters the
    # module's prompt takes (and short enough for a sheet's name): the
    # export must still take every block.
    names = [f"LONG_BLOCK_NAME_NO_{i:02d}" for i in range(8)]
    handles = make_drawing(s.file("gen.dxf"), names, 40)
    result = s.run("export", "gen.dxf", "-b", ",".join(names))
    book = openpyxl.load_workbook(s.file("gen.xlsx"))
    check("a block list longer than the prompt takes is exported whole, into one workbook",
          result.returncode == 0 and all(n in book.sheetnames for n in names), f"{result.stderr} {book.sheetnames}")
    check("every reference of the generated drawing is a row with its handle",
          all(handles_in(book, n) == handles[n] for n in names if n in book.sheetnames))
    tags = [book[names[3]].cell(r, 2).value for r in range(2, 42)]
    check("with its attribute text", tags == [f"{names[3]}-{i}" for i in range(40)], tags[:3])
    result = s.run("export", "gen.dxf", "-o", "all.xlsx")
    book = openpyxl.load_workbook(s.file("all.xlsx"))
    check("without --blocks every block is exported", result.returncode == 0
          and sum(len(handles_in(book, n)) for n in names if n in book.sheetnames) == 8 * 40, result.stderr)


def bad_input(s):
    s.copy_sample()
    os.mkdir(s.file("folder.dxf"))
    with open(s.file("plain.txt"), "w") as f:
        f.write("not a folder")
    with open(s.file("broken.dxf"), "w") as f:
        f.write("  0\nSECTION\n  2\nENTITIES\n  0\nINSERT\n")
    os.mkfifo(s.file("fifo.dxf"))
    before = s.listing()
    cases = [
        ("a missing drawing", ["export", "nothing.dxf"], ["nothing.dxf"]),
        ("a folder as the drawing", ["export", "folder.dxf"], ["folder.dxf", "directory"]),
        ("a FIFO as the drawing", ["export", "fifo.dxf"], ["fifo.dxf", "FIFO"]),
        ("a damaged drawing", ["export", "broken.dxf", "-o", "b.xlsx"], ["broken.dxf"]),
        ("a missing output folder", ["export", "sample.dxf", "-o", "no/such/b.xlsx"], ["no/such"]),
        ("an output folder that is a file", ["export", "sample.dxf", "-o", "plain.txt/b.xlsx"], ["plain.txt"]),
        ("an output name that is no .xlsx", ["export", "sample.dxf", "-o", "b.csv"], ["b.csv"]),
        ("an output that is a folder", ["export", "sample.dxf", "-o", "folder.dxf/../x.xlsx/"], ["x.xlsx"]),
        ("an unknown option", ["export", "sample.dxf", "--colour"], ["--colour"]),
        ("an unknown command", ["exprot", "sample.dxf"], ["exprot"]),
        ("a block name not in the drawing", ["export", "sample.dxf", "-b", "DOOR,NOSUCH"], ["NOSUCH"]),
        ("an empty block name", ["export", "sample.dxf", "-b", "DOOR,,WINDOW"], ["DOOR,,WINDOW"]),
    ]
    for description, args, words in cases:
        ok, detail = one_line_error(s.run(*args), 2, *words)
        check(f"{description} is refused with one line naming it", ok, detail)
    check("and none of them wrote or changed a file", s.listing() == before,
          set(s.listing()) ^ set(before))
    if os.geteuid() != 0:  # root reads and writes whatever the mode bits say
        os.chmod(s.file("sample.dxf"), 0)
        ok, detail = one_line_error(s.run("export", "sample.dxf", "-o", "u.xlsx"), 2, "sample.dxf")
        check("an unreadable drawing is refused", ok, detail)
        os.chmod(s.file("sample.dxf"), 0o644)
        os.mkdir(s.file("locked"), 0o555)
        ok, detail = one_line_error(s.run("export", "sample.dxf", "-o", "locked/u.xlsx"), 2, "locked")
        check("an output folder that cannot be written is refused", ok, detail)


def main():
    for part in (default_and_named, shared_sheet_and_options, generated, bad_input):
        part(Scratch())
    finish()


if __name__ == "__main__":
    main()
