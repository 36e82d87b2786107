#!/usr/bin/env bash
# What gwhost says about the files it is given: a damaged drawing's bytes are
# shown escaped, never sent to the terminal raw; a directory, a FIFO or an
# OpenDocument file named as a drawing or workbook is called what it is (and
# a FIFO is never waited on); the message boxes read as "caption: text".
source "$(dirname "$0")/../support/harness.sh"
cd "$work" || exit 1

# Whether a file holds a byte a terminal acts on: C0 controls other than the
# line feed, DEL, or bytes that are not UTF-8.
has_raw_bytes() {
  LC_ALL=C grep -q -P '[\x00-\x09\x0B-\x1F\x7F]' "$1" && return 0
  ! iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1
}

printf '  0\nSECTION\n  2\nENT\033[2J\377\n  0\nENDSEC\n  0\nEOF\n' >damaged.dxf
printf '' | "$gwhost" damaged.dxf >/dev/null 2>err; status=$?
[ $status -eq 2 ] && [ "$(wc -l <err)" -eq 1 ]; check "a damaged drawing is refused in one line" $?
! has_raw_bytes err; check "the line holds no control or non-UTF-8 byte" $?
grep -qF "unknown section 'ENT\\x1B[2J\\xFF'" err; check "the bad bytes are shown as \\xHH" $?

printf '  0\nSECTION\n  2\nHEADER\n  9\n$LUNITS\n 70\n2\0334\n  0\nENDSEC\n  0\nEOF\n' >badnumber.dxf
printf '' | "$gwhost" badnumber.dxf >/dev/null 2>err
! has_raw_bytes err && grep -qF "'2\\x1B4'" err; check "so is a bad number's byte" $?

mkdir folder.dxf
printf '' | timeout 20 "$gwhost" folder.dxf >/dev/null 2>err; status=$?
[ $status -eq 2 ] && grep -qx 'gwhost: cannot open drawing: folder.dxf is a directory, not a drawing' err
check "a directory given as the drawing is called one" $?
mkfifo pipe.dxf
printf '' | timeout 20 "$gwhost" pipe.dxf >/dev/null 2>err; status=$?
[ $status -eq 2 ]; check "a FIFO given as the drawing is refused without waiting" $?
grep -q 'pipe.dxf is a FIFO' err; check "and called one" $?

/usr/bin/python3 - <<'PY'
import zipfile
for name, kind in (("BOOK.ods", "spreadsheet"), ("renamed.xlsx", "spreadsheet"), ("text.odt", "text")):
    with zipfile.ZipFile(name, "w") as z:
        z.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument." + kind)
        z.writestr("content.xml", "<office:document-content/>", compress_type=zipfile.ZIP_DEFLATED)
PY
printf '' | "$gwhost" --open-book BOOK.ods >/dev/null 2>err; status=$?
[ $status -eq 2 ] && [ "$(cat err)" = "gwhost: BOOK.ods is an OpenDocument spreadsheet; save it as .xlsx" ]
check "an OpenDocument workbook is named and the way out given" $?
printf '' | "$gwhost" --open-book renamed.xlsx >/dev/null 2>err
[ "$(cat err)" = "gwhost: renamed.xlsx is an OpenDocument spreadsheet; save it as .xlsx" ]
check "it is found by its content, not its name" $?
printf '' | "$gwhost" --open-book text.odt >/dev/null 2>err
grep -q 'text.odt is an OpenDocument file (application/vnd.oasis.opendocument.text), not an .xlsx workbook' err
check "another OpenDocument file is named as what it is" $?
printf '' | "$gwhost" BOOK.ods >/dev/null 2>err; status=$?
[ $status -eq 2 ] && grep -q 'BOOK.ods is an OpenDocument file' err; check "so is one given as the drawing" $?
mkdir folder.xlsx
printf '' | "$gwhost" --open-book folder.xlsx >/dev/null 2>err
[ "$(cat err)" = "gwhost: folder.xlsx is a directory, not a workbook" ]; check "a directory given as a workbook is called one" $?
mkfifo pipe.xlsx
printf '' | timeout 20 "$gwhost" --open-book pipe.xlsx >/dev/null 2>err; status=$?
[ $status -eq 2 ] && [ "$(cat err)" = "gwhost: pipe.xlsx is a FIFO (named pipe), not a workbook" ]
check "a FIFO given as a workbook is refused without waiting" $?

# A workbook whose package names a part with C1 controls (U+009B is CSI):
# the reader's message quotes the name, the terminal gets it escaped.
/usr/bin/python3 - <<'PY'
import openpyxl, zipfile
openpyxl.Workbook().save("plain.xlsx")
with zipfile.ZipFile("plain.xlsx") as source, zipfile.ZipFile("odd.xlsx", "w") as target:
    for item in source.infolist():
        data = source.read(item.filename)
        if item.filename == "xl/_rels/workbook.xml.rels":
            data = data.replace(b"worksheets/sheet1.xml", "worksheets/\u009b2J\u0085.xml".encode())
        target.writestr(item, data)
PY
printf '' | "$gwhost" --open-book odd.xlsx >/dev/null 2>err; status=$?
[ $status -eq 2 ] && [ "$(wc -l <err)" -eq 1 ]; check "a damaged workbook is refused in one line" $?
! has_raw_bytes err && ! LC_ALL=C grep -q $'\xc2[\x80-\x9f]' err && grep -qF '\xC2\x9B2J' err
check "its part name is shown escaped, C1 controls included" $?

# Message boxes print as "caption: text"; the text of the box without a
# spreadsheet program also follows the no-block caption and captions the
# catch-all box, so it must be a sentence that reads well in all three.
out=$(printf 'gwell\nExport\nok\n' | "$gwhost" --spreadsheet absent 2>&1)
echo "$out" | grep -qx 'Excel cannot be started or reached: Gridwell cannot carry out this command'
check "the box without a spreadsheet program reads as one sentence" $?
out=$(printf 'gwell\nExport\n' | "$gwhost" 2>&1)
echo "$out" | grep -qx 'No block definition qualifies: Gridwell cannot carry out this command'
check "so does the box of a drawing without blocks" $?

finish
