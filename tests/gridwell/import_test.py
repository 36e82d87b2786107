"""gridwell import as a user runs it: an exported workbook edited with
openpyxl comes back into the drawing (checked with ezdxf), saved in place
with the previous file kept as .bak, or to -o; a workbook nobody edited
leaves the drawing's bytes as they were; --properties and --all-sheets
reach the module's options; every bad input is refused with one line,
exit 2 and nothing written."""
import os
import zipfile

import ezdxf
import openpyxl

from gwcli import SAMPLE, Scratch, check, finish, make_drawing, one_line_error


def attribs(path):
    """{handle: {tag: text}} of every reference with attributes."""
    found = {}
    for entity in ezdxf.readfile(path).entitydb.values():
        if entity.dxftype() == "INSERT" and entity.attribs:
            found[entity.dxf.handle] = {a.dxf.tag: a.dxf.text for a in entity.attribs}
    return found


def edit(book_path, target, sheet, cell, value, active=True):
    book = openpyxl.load_workbook(book_path)
    book[sheet][cell] = value
    if active:
        book.active = book.sheetnames.index(sheet)
    book.save(target)
    return book[sheet].cell(int(cell[1:]), 1).comment.text


def in_place(s):
    drawing = s.copy_sample()
    original = open(drawing, "rb").read()
    assert s.run("export", "sample.dxf", "-q").returncode == 0
    handle = edit(s.file("sample.xlsx"), s.file("edited.xlsx"), "DOOR", "B3", "D-99")
    result = s.run("import", "sample.dxf", "edited.xlsx")
    check("an import exits 0 and tells the module's account on stdout",
          result.returncode == 0 and "references changed 1" in result.stdout and not result.stderr,
          result.stdout + result.stderr)
    before, after = attribs(SAMPLE), attribs(drawing)
    check("the edited attribute is in the drawing", after[handle]["NUMBER"] == "D-99", after.get(handle))
    changed = [h for h in before if before[h] != after[h]]
    check("and no other attribute changed", changed == [handle], changed)
    check("the previous drawing is kept as sample.dxf.bak",
          open(s.file("sample.dxf.bak"), "rb").read() == original)

    saved = open(drawing, "rb").read()
    result = s.run("import", "sample.dxf", "edited.xlsx")
    check("importing the same rows again changes no byte of the drawing",
          result.returncode == 0 and open(drawing, "rb").read() == saved, result.stderr)
    check("and leaves the backup of the earlier import",
          open(s.file("sample.dxf.bak"), "rb").read() == original)

    edit(s.file("edited.xlsx"), s.file("again.xlsx"), "DOOR", "B3", "D-100")
    result = s.run("import", "sample.dxf", "again.xlsx", "--no-backup")
    check("--no-backup saves without touching the backup",
          result.returncode == 0 and attribs(drawing)[handle]["NUMBER"] == "D-100"
          and open(s.file("sample.dxf.bak"), "rb").read() == original, result.stderr)
    check("no temporary file is left behind", not [n for n in os.listdir(s.path) if n.startswith(".")])


def to_output(s):
    s.copy_sample()
    assert s.run("export", "sample.dxf", "-q").returncode == 0
    handle = edit(s.file("sample.xlsx"), s.file("edited.xlsx"), "WINDOW", "B2", "W-7")
    os.mkdir(s.file("out"))
    result = s.run("import", "sample.dxf", "edited.xlsx", "-o", "out/new.dxf")
    check("-o writes the updated drawing there",
          result.returncode == 0 and attribs(s.file("out", "new.dxf"))[handle]["TYPE"] == "W-7", result.stderr)
    check("and leaves the drawing and makes no backup",
          open(s.file("sample.dxf"), "rb").read() == open(SAMPLE, "rb").read()
          and not os.path.exists(s.file("sample.dxf.bak")))
    before = open(s.file("out", "new.dxf"), "rb").read()
    ok, detail = one_line_error(s.run("import", "sample.dxf", "edited.xlsx", "-o", "out/new.dxf"), 2,
                                "out/new.dxf", "--force")
    check("an existing -o file is refused without --force", ok, detail)
    check("and kept", open(s.file("out", "new.dxf"), "rb").read() == before)
    result = s.run("import", "sample.dxf", "edited.xlsx", "-o", "out/new.dxf", "--force")
    check("--force replaces it", result.returncode == 0, result.stderr)


def options(s):
    handles = make_drawing(s.file("gen.dxf"), ["PUMP", "VALVE"], 30)
    assert s.run("export", "gen.dxf", "-q").returncode == 0
    book = openpyxl.load_workbook(s.file("gen.xlsx"))
    pump, valve = book["PUMP"], book["VALVE"]
    header = [c.value for c in pump[1]]
    pump.cell(5, 2).value = "P-new"
    pump.cell(5, header.index("X") + 1).value = "777"
    valve.cell(10, 2).value = "V-new"
    book.active = book.sheetnames.index("PUMP")
    book.save(s.file("edited.xlsx"))
    result = s.run("import", "gen.dxf", "edited.xlsx", "-o", "active.dxf")
    doc = ezdxf.readfile(s.file("active.dxf"))
    pump_ref = doc.entitydb[handles["PUMP"][3]]
    valve_ref = doc.entitydb[handles["VALVE"][8]]
    check("by default only the active sheet's attributes are imported",
          result.returncode == 0 and pump_ref.get_attrib_text("TAG") == "P-new"
          and valve_ref.get_attrib_text("TAG") == "VALVE-8" and pump_ref.dxf.insert.x == 30,
          f"{result.stderr} {pump_ref.get_attrib_text('TAG')} {valve_ref.get_attrib_text('TAG')} {pump_ref.dxf.insert}")
    result = s.run("import", "gen.dxf", "edited.xlsx", "-o", "all.dxf", "--all-sheets", "--properties")
    doc = ezdxf.readfile(s.file("all.dxf"))
    pump_ref = doc.entitydb[handles["PUMP"][3]]
    valve_ref = doc.entitydb[handles["VALVE"][8]]
    check("--all-sheets reads every sheet and --properties applies the X column",
          result.returncode == 0 and valve_ref.get_attrib_text("TAG") == "V-new" and pump_ref.dxf.insert.x == 777,
          f"{result.stderr} {valve_ref.get_attrib_text('TAG')} {pump_ref.dxf.insert}")
    check("neither touched the options store", not os.path.exists(s.store))


def bad_input(s):
    s.copy_sample()
    assert s.run("export", "sample.dxf", "-q").returncode == 0
    with open(s.file("notes.xlsx"), "w") as f:
        f.write("name,value\n")
    with zipfile.ZipFile(s.file("calc.xlsx"), "w") as ods:
        ods.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        ods.writestr("content.xml", "<office:document-content/>")
    with zipfile.ZipFile(s.file("empty.xlsx"), "w") as empty:
        empty.writestr("hello.txt", "no workbook here")
    os.mkdir(s.file("folder.xlsx"))
    with open(s.file("readonly.dxf"), "wb") as f:
        f.write(open(SAMPLE, "rb").read())
    os.chmod(s.file("readonly.dxf"), 0o444)
    before = s.listing()
    cases = [
        ("a missing drawing", ["import", "none.dxf", "sample.xlsx"], ["none.dxf"]),
        ("a missing workbook", ["import", "sample.dxf", "none.xlsx"], ["none.xlsx"]),
        ("a text file as the workbook", ["import", "sample.dxf", "notes.xlsx"], ["notes.xlsx", ".xlsx"]),
        ("an OpenDocument spreadsheet", ["import", "sample.dxf", "calc.xlsx"], ["calc.xlsx", "OpenDocument"]),
        ("a zip that is no workbook", ["import", "sample.dxf", "empty.xlsx"], ["empty.xlsx"]),
        ("a folder as the workbook", ["import", "sample.dxf", "folder.xlsx"], ["folder.xlsx"]),
        ("the drawing given as the workbook", ["import", "sample.dxf", "sample.dxf"], ["sample.dxf"]),
        ("a read-only drawing", ["import", "readonly.dxf", "sample.xlsx"], ["readonly.dxf", "read-only"]),
        ("a missing output folder", ["import", "sample.dxf", "sample.xlsx", "-o", "no/out.dxf"], ["no"]),
        ("an unknown option", ["import", "sample.dxf", "sample.xlsx", "--shared-sheet"], ["--shared-sheet"]),
        ("a missing workbook argument", ["import", "sample.dxf"], ["BOOK.xlsx"]),
    ]
    for description, args, words in cases:
        ok, detail = one_line_error(s.run(*args), 2, *words)
        check(f"{description} is refused with one line naming it", ok, detail)
    check("and none of them wrote or changed a file", s.listing() == before, set(s.listing()) ^ set(before))


def main():
    for part in (in_place, to_output, options, bad_input):
        part(Scratch())
    finish()


if __name__ == "__main__":
    main()
