#!/usr/bin/env python3
"""The live link end to end: gwhost exports the bundled sample with
AutoConnect on (set in the registry store it is given), the spreadsheet's
user edits cells, pastes a block and types into a property column, two
seconds pass with the import timer running, and the drawing is saved.
ezdxf must find exactly the edited attributes changed and everything else,
group by group, as it was."""
import difflib
import os
import subprocess
import sys
import tempfile

import ezdxf

BIN = os.environ["GW_BIN_DIR"]
SOURCE = os.environ["GW_SOURCE_DIR"]
GWHOST = os.path.join(BIN, "gwhost")
SAMPLE = os.path.join(SOURCE, "samples", "sample.dxf")

REGISTRY = (
    "Windows Registry Editor Version 5.00\n\n"
    "[HKEY_CURRENT_USER\\SOFTWARE\\Norvale\\Gridwell\\Settings\\Export]\n"
    '"AutoConnect"=dword:00000001\n'
)

# Rows of the exported sheets, as export writes them: DOOR B8 in row 3,
# WINDOW C7 and CC in rows 2 and 3.
SCRIPT = "\n".join([
    "gwell",
    "",  # Enter: the dialog export
    "ok",  # of every block with attributes, as the block choice offers them
    "excel edit Book1 DOOR B3 D-99",
    "excel paste Book1 WINDOW B2 W7|1600;W8|1700",
    "excel edit Book1 DOOR E2 999",  # X: a property column, never applied here
    "excel edit Book1 DOOR C4 1000",  # the value the attribute already has
    "excel edit Book1 Sheet1 A1 stray",  # a sheet export did not write
    "wait 2",
]) + "\n"

EXPECTED = {
    ("B8", "NUMBER"): "D-99",
    ("C7", "TYPE"): "W7",
    ("C7", "HEIGHT"): "1600",
    ("CC", "TYPE"): "W8",
    ("CC", "HEIGHT"): "1700",
}


def fail(message):
    print("FAIL:", message)
    sys.exit(1)


def groups(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as dxf:
        lines = dxf.read().splitlines()
    return [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def attributes(path):
    doc = ezdxf.readfile(path)
    found = {}
    for insert in doc.modelspace().query("INSERT"):
        for attrib in insert.attribs:
            found[(insert.dxf.handle, attrib.dxf.tag)] = attrib.dxf.text
    return found


def main():
    with tempfile.TemporaryDirectory() as work:
        registry = os.path.join(work, "user.reg")
        with open(registry, "w", encoding="utf-8") as store:
            store.write(REGISTRY)
        saved = os.path.join(work, "out.dxf")
        run = subprocess.run(
            [GWHOST, "--registry", registry, "--spreadsheet", "running", "--save-as", saved, SAMPLE],
            input=SCRIPT, capture_output=True, text=True, timeout=120)
        if run.returncode != 0:
            fail("gwhost exited %d\n%s\n%s" % (run.returncode, run.stdout, run.stderr))
        # The export's keyword prompt, then the one the timer's command answers.
        if run.stdout.count("Gridwell [") != 2:
            fail("expected the timer's gwell command once:\n" + run.stdout)

        before, after = attributes(SAMPLE), attributes(saved)
        for key, text in EXPECTED.items():
            if after.get(key) != text:
                fail("%s %s is %r, expected %r" % (key[0], key[1], after.get(key), text))
        changed = {key for key in before if before[key] != after.get(key)}
        if changed != set(EXPECTED) or set(after) != set(before):
            fail("changed attributes %s, expected %s" % (sorted(changed), sorted(EXPECTED)))

        # Everything else, group by group: only the texts of the edited
        # attributes differ, and a changed attribute may gain its field
        # length (group 73), as every import that sets a text does.
        old, new = groups(SAMPLE), groups(saved)
        texts = []
        field_lengths = 0
        matcher = difflib.SequenceMatcher(None, old, new, autojunk=False)
        for op, i1, i2, j1, j2 in matcher.get_opcodes():
            if op == "equal":
                continue
            if op == "insert" and all(code == "73" for code, _ in new[j1:j2]):
                field_lengths += j2 - j1
                continue
            if op == "replace" and i2 - i1 == j2 - j1 and all(
                    o[0] == "1" and n[0] == "1" for o, n in zip(old[i1:i2], new[j1:j2])):
                texts += [value for _, value in new[j1:j2]]
                continue
            fail("unexpected difference: %s -> %s" % (old[i1:i2][:6], new[j1:j2][:6]))
        # One field length per changed attribute: the one typed with its
        # present value was not rewritten.
        if field_lengths != len(EXPECTED):
            fail("%d attributes gained a field length, expected %d" % (field_lengths, len(EXPECTED)))
        if sorted(texts) != sorted(EXPECTED.values()):
            fail("changed texts %s, expected %s" % (sorted(texts), sorted(EXPECTED.values())))
    print("ok")


if __name__ == "__main__":
    main()
