"""gridwell options against the per-user store gwhost uses: listing,
--get/--set with the names and ranges of the stored options (a refusal
stores nothing), --reset as the Options dialog resets, settings files out
and in, and the store the module then reads (an export follows it)."""
import os

import openpyxl

from gwcli import Scratch, check, finish, one_line_error


def listed(s):
    result = s.run("options")
    return dict(line.split()[0].split("=") for line in result.stdout.splitlines())


def main():
    s = Scratch()
    values = listed(s)
    check("the listing names all 26 options with their defaults",
          len(values) == 26 and values["StartCol"] == "1" and values["Import.StartRow"] == "2"
          and values["AsText"] == "1", values)
    check("listing writes no store", not os.path.exists(s.store))

    result = s.run("options", "--set", "Sort=1", "--set", "Import.StartRow=3", "--set", "IncludeConstant=1")
    check("--set stores the values", result.returncode == 0 and os.path.exists(s.store), result.stderr)
    check("--get reads them back", s.run("options", "--get", "Import.StartRow").stdout == "3\n"
          and s.run("options", "--get", "Sort").stdout == "1\n")
    store = open(s.store, "rb").read()
    check("the store is the registry-export file gwhost reads",
          store.startswith(b"Windows Registry Editor Version 5.00")
          and b'"StartRow"=dword:00000003' in store and b"Gridwell\\Settings\\Import" in store)

    refusals = [
        (["--set", "StartCol=0"], ["StartCol", "1 to 256"]),
        (["--set", "Sort=1", "--set", "StartCol=abc"], ["StartCol", "abc"]),
        (["--set", "Colour=1"], ["Colour", "AddHeader", "Export.StartRow"]),
        (["--set", "StartRow=5"], ["StartRow", "Import.StartRow"]),
        (["--set", "Sort"], ["Sort", "NAME=VALUE"]),
        (["--get", "Nothing"], ["Nothing", "StartCol"]),
        (["--get", "Sort", "--reset"], ["--reset"]),
        (["--reset", "--force"], ["--force"]),
        (["--bogus"], ["--bogus"]),
    ]
    for args, words in refusals:
        ok, detail = one_line_error(s.run("options", *args), 2, *words)
        check(f"options {' '.join(args)} is refused naming the problem", ok, detail)
    check("and none of them changed the store", open(s.store, "rb").read() == store)

    result = s.run("options", "--export", "saved.ini")
    text = open(s.file("saved.ini")).read() if os.path.exists(s.file("saved.ini")) else ""
    check("--export writes a settings file with both sections",
          result.returncode == 0 and "[Export]" in text and "[Import]" in text and "Sort=1" in text, result.stderr)
    ok, detail = one_line_error(s.run("options", "--export", "saved.ini"), 2, "saved.ini", "--force")
    check("--export does not replace a file without --force", ok, detail)
    check("--export --force does", s.run("options", "--export", "saved.ini", "--force").returncode == 0)

    result = s.run("options", "--reset")
    values = listed(s)
    check("--reset puts the defaults back but keeps IncludeConstant, as the dialog's reset does",
          result.returncode == 0 and values["Sort"] == "0" and values["Import.StartRow"] == "2"
          and values["IncludeConstant"] == "1", values)

    result = s.run("options", "--import", "saved.ini")
    values = listed(s)
    check("--import stores what the file holds", result.returncode == 0 and values["Sort"] == "1"
          and values["Import.StartRow"] == "3", result.stderr)
    with open(s.file("bad.ini"), "w") as f:
        f.write("[Export]\nSort=0\n[Import]\nStartCol=999\n")
    store = open(s.store, "rb").read()
    ok, detail = one_line_error(s.run("options", "--import", "bad.ini"), 2, "bad.ini", "StartCol=999")
    check("a settings file with a value out of range is refused", ok, detail)
    ok, detail = one_line_error(s.run("options", "--import", "none.ini"), 2, "none.ini")
    check("a missing settings file is refused", ok, detail)
    check("and the store is left as it was", open(s.store, "rb").read() == store)

    # The module reads the store: an export follows the stored options, and
    # --option overrides them for one run without writing them.
    with open(s.file("d.dxf"), "wb") as out, open(os.path.join(os.environ["GW_SOURCE_DIR"], "samples",
                                                                "sample.dxf"), "rb") as src:
        out.write(src.read())
    s.run("options", "--set", "BlockNames=0")
    s.run("export", "d.dxf", "-b", "DOOR", "-o", "stored.xlsx")
    s.run("export", "d.dxf", "-b", "DOOR", "-o", "override.xlsx", "-O", "BlockNames=1")
    stored = openpyxl.load_workbook(s.file("stored.xlsx"))["DOOR"]["A1"].value
    override = openpyxl.load_workbook(s.file("override.xlsx"))["DOOR"]["A1"].value
    check("an export follows the stored options, and --option overrides them for its run",
          stored != "Block name" and override == "Block name", f"{stored} {override}")
    check("the override was not stored", s.run("options", "--get", "BlockNames").stdout == "0\n")

    custom = s.file("elsewhere.reg")
    s.run("options", "--registry", custom, "--set", "JTSK=1")
    check("--registry picks another store", os.path.exists(custom)
          and s.run("options", "--get", "JTSK").stdout == "0\n"
          and s.run("options", "--registry", custom, "--get", "JTSK").stdout == "1\n")
    finish()


if __name__ == "__main__":
    main()
