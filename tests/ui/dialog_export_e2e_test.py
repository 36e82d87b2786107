"""Exports the bundled sample drawing through "Export" with gwhost, choosing
in the dialogs as a user at the terminal would: the block choice's context
menu opens the filter, which limits the export to two layers and narrows the
block list by a pattern. openpyxl then finds exactly the references that
ezdxf says are on those layers and of those blocks, each on its block's
sheet, identified by the handle comment of its row."""
import fnmatch
import os
import subprocess
import sys
import tempfile

import ezdxf
import openpyxl

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")

LAYERS = ["Doors", "Title"]
PATTERN = "*O*"

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def main():
    doc = ezdxf.readfile(SAMPLE)
    layer_order = [layer.dxf.name for layer in doc.layers]
    # Blocks with attribute definitions, as the block choice offers them.
    offered = [b.name for b in doc.blocks
               if not b.block.is_anonymous and not b.name.upper().startswith(("*MODEL_SPACE", "*PAPER_SPACE"))
               and any(e.dxftype() == "ATTDEF" for e in b)]
    chosen = [name for name in offered if fnmatch.fnmatchcase(name, PATTERN)]
    expected = {}
    for insert in doc.query("INSERT"):
        if insert.dxf.name in chosen and insert.dxf.layer in LAYERS:
            expected.setdefault(insert.dxf.name, set()).add(insert.dxf.handle.upper())
    check(len(chosen) >= 2, f"the pattern picks at least two blocks: {chosen}")
    check(any(insert.dxf.name in chosen and insert.dxf.layer not in LAYERS for insert in doc.query("INSERT")),
          "the layer filter leaves out a reference of a chosen block")
    check(any(insert.dxf.name not in chosen and insert.dxf.layer in LAYERS for insert in doc.query("INSERT")),
          "the pattern leaves out a reference on a chosen layer")

    layer_indexes = " ".join(str(layer_order.index(name)) for name in LAYERS)
    script = "\n".join([
        "gwell",
        "Export",
        "rclick 1005 1011",     # the block list's menu: Filter...
        "check 1030 on",        # only references on the chosen layers
        f"select 1005 {layer_indexes}",
        "check 1031 on",        # narrow the block list by the pattern
        f"text 1032 {PATTERN}",
        "ok",                   # the filter
        "ok",                   # the block choice: every listed block
    ]) + "\n"

    with tempfile.TemporaryDirectory() as work:
        books = os.path.join(work, "books")
        run = subprocess.run(
            [os.path.join(BIN, "gwhost"), "--registry", os.path.join(work, "user.reg"), "--books", books, SAMPLE],
            input=script, capture_output=True, text=True, timeout=120)
        check(run.returncode == 0, f"gwhost ended with {run.returncode}: {run.stderr}")
        check("Refused" not in run.stdout, "every dialog action was taken")
        check('Dialog 9 "Filter"' in run.stdout and 'Dialog 131 "Blocks to export"' in run.stdout,
              "both dialogs were shown as forms")
        saved = sorted(os.listdir(books)) if os.path.isdir(books) else []
        check(len(saved) == 1, f"one workbook saved, found {saved}")
        if len(saved) == 1:
            workbook = openpyxl.load_workbook(os.path.join(books, saved[0]))
            found = {}
            for name in workbook.sheetnames:
                sheet = workbook[name]
                for row in range(2, sheet.max_row + 1):
                    comment = sheet.cell(row, 1).comment
                    if comment is not None:
                        found.setdefault(name, set()).add(comment.text.strip().upper())
            check(found == expected, f"references by sheet: {found} != {expected}")

    if failures:
        print("\n".join(failures) + "\n--- gwhost said:\n" + run.stdout[-4000:], file=sys.stderr)
        return 1
    print(f"exported {sum(len(h) for h in expected.values())} references of {sorted(expected)} on {LAYERS}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
