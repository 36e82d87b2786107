"""The options dialog at the terminal: change options on both pages, save
them to a settings file, reset, load the file back and confirm with OK. The
registry store then holds exactly the chosen values (and the defaults for
the rest), and a following export writes the columns they ask for, as
openpyxl reads them."""
import os
import re
import subprocess
import sys
import tempfile

import openpyxl

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")

DEFAULTS = {
    "Export": {"AddHeader": 0, "AutoConnect": 0, "BlockNames": 1, "XCoord": 1, "YCoord": 1, "ZCoord": 1,
               "LayerNames": 1, "LayoutNames": 0, "OddLine": 0, "Rotation": 1, "Scale": 1, "Sort": 0,
               "StartRow": 1, "WorkbookSettings": 0, "WorksheetSettings": 0, "IncludeConstant": 0, "JTSK": 0,
               "NoAutofit": 0, "AsText": 1, "FindNextBlankLine": 0, "ExportAttPrompts": 0, "Selection": 0},
    "Import": {"ImportSettings": 0, "IgnoreProps": 1, "StartCol": 1, "StartRow": 2},
}

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def stored_values(path):
    values = {}
    section = None
    with open(path, encoding="utf-8") as store:
        for line in store:
            header = re.match(r"\[HKEY_CURRENT_USER\\SOFTWARE\\Norvale\\Gridwell\\Settings\\(\w+)\]", line)
            if header:
                section = header.group(1)
                continue
            value = re.match(r'"(\w+)"=dword:([0-9a-f]{8})', line.strip())
            if value and section:
                values.setdefault(section, {})[value.group(1)] = int(value.group(2), 16)
    return values


def main():
    with tempfile.TemporaryDirectory() as work:
        store = os.path.join(work, "user.reg")
        books = os.path.join(work, "books")
        options_file = os.path.join(work, "mine")
        script = "\n".join([
            "gwell", "Options",
            "check 1006 off", "check 1013 off", "check 1014 off",  # no X, Y, Z columns
            "check 1009 off",                                       # no rotation column
            "check 1023 on",                                        # an empty row between rows
            "tab 1", "text 1006 3",                                 # import from column 3
            "click 3", "32772", options_file,                       # save (the .ini is added)
            "click 4", "yes",                                       # reset
            "click 3", "32771", options_file + ".ini",              # load
            "ok",
            "gwell", "Export2", "DOOR",
        ]) + "\n"
        run = subprocess.run([os.path.join(BIN, "gwhost"), "--registry", store, "--books", books, SAMPLE],
                             input=script, capture_output=True, text=True, timeout=120)
        check(run.returncode == 0, f"gwhost ended with {run.returncode}: {run.stderr}")
        check("Refused" not in run.stdout, "every dialog action was taken")
        check(os.path.exists(options_file + ".ini"), "the settings file was saved with its extension")

        expected = {section: dict(values) for section, values in DEFAULTS.items()}
        expected["Export"].update({"XCoord": 0, "YCoord": 0, "ZCoord": 0, "Rotation": 0, "OddLine": 1})
        expected["Import"]["StartCol"] = 3
        stored = stored_values(store) if os.path.exists(store) else {}
        check(stored == expected, f"the store holds {stored}, expected {expected}")

        saved = sorted(os.listdir(books)) if os.path.isdir(books) else []
        check(len(saved) == 1, f"one workbook saved, found {saved}")
        if len(saved) == 1:
            sheet = openpyxl.load_workbook(os.path.join(books, saved[0]))["DOOR"]
            header = [cell.value for cell in sheet[1] if cell.value is not None]
            check(not {"X", "Y", "Z", "Rotation"} & set(header), f"no coordinate or rotation columns: {header}")
            check("Scale X" in header and "Layer" in header, f"scale and layer columns stay: {header}")
            # An empty row before every value row: the first reference is in row 3.
            check(sheet.cell(2, 1).value is None and sheet.cell(3, 1).value == "DOOR",
                  f"rows 2 and 3: {sheet.cell(2, 1).value!r}, {sheet.cell(3, 1).value!r}")

    if failures:
        print("\n".join(failures) + "\n--- gwhost said:\n" + run.stdout[-3000:], file=sys.stderr)
        return 1
    print("options saved, reset, loaded, stored and used by the export")
    return 0


if __name__ == "__main__":
    sys.exit(main())
