#!/usr/bin/env python3
"""The watched-workbook round trip with a package LibreOffice Calc itself
wrote: the edit is made with openpyxl in a copy, LibreOffice converts that
copy to .xlsx with its own writer (its own shared strings, styles and part
layout), and the result replaces the watched workbook. Only the edited
attribute may change in the DXF. Skipped (exit 77) without soffice."""
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import watched_book_e2e_test as trip  # noqa: E402

SOFFICE = shutil.which("soffice")


def saved_by_libreoffice(book):
    with tempfile.TemporaryDirectory() as scratch:
        edited = os.path.join(scratch, "edited.xlsx")
        workbook = trip.openpyxl.load_workbook(book)
        workbook["DOOR"]["B4"] = "D-55"
        workbook.save(edited)
        converted = os.path.join(scratch, "converted")
        profile = "file://" + os.path.join(scratch, "profile")
        run = subprocess.run(
            [SOFFICE, "-env:UserInstallation=" + profile, "--headless", "--norestore", "--convert-to",
             "xlsx:Calc MS Excel 2007 XML", "--outdir", converted, edited],
            capture_output=True, text=True, timeout=180)
        result = os.path.join(converted, "edited.xlsx")
        if run.returncode != 0 or not os.path.exists(result):
            trip.fail("soffice did not convert (%d): %s %s" % (run.returncode, run.stdout, run.stderr))
        # As LibreOffice saves: a file beside the workbook, renamed over it.
        temporary = os.path.join(os.path.dirname(book), "lu12345.tmp")
        shutil.copyfile(result, temporary)
        os.replace(temporary, book)


def main():
    if not SOFFICE:
        print("skipped: soffice (LibreOffice) is not installed")
        sys.exit(77)
    trip.round_trip([("saved by LibreOffice", saved_by_libreoffice, {("BD", "NUMBER"): "D-55"})])


if __name__ == "__main__":
    main()
