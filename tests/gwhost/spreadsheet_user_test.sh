#!/usr/bin/env bash
# gwhost's spreadsheet-user commands and wait: bad input gets one line and
# the session goes on; a paste, a clear and closing a workbook act on the
# workbooks saved at the end; quitting and starting the program again works.
set -u
bin="${GW_BIN_DIR:?}"
gwhost="$bin/gwhost"
failures=0
passes=0
check() { # description, condition result
  if [ "$2" -eq 0 ]; then echo "ok - $1"; passes=$((passes + 1)); else echo "FAILED - $1"; failures=$((failures + 1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

script='excel new
excel edit Nope Sheet1 A1 x
excel edit Book1 Sheet1 ZZZZ9 x
excel frobnicate
wait soon
excel paste Book1 Sheet1 B2 a|b;c|d
excel clear Book1 Sheet1 C3
excel edit Book1 Sheet1 A1 typed with spaces
excel activate Book1 Sheet1
'
out=$(printf 'excel start\n%s' "$script" | "$gwhost" --spreadsheet installed --books "$work/books" 2>"$work/err"); status=$?
check "a session of user commands exits 0" $status
grep -q 'excel: the spreadsheet program is not running' <<<"$out"; [ $? -ne 0 ]; check "excel start starts the program" $?
grep -q 'excel: no such workbook or worksheet' <<<"$out"; check "an unknown workbook is named as such" $?
grep -q 'excel: usage: excel edit BOOK SHEET CELL TEXT' <<<"$out"; check "a bad cell gives the usage" $?
grep -q 'excel: new workbook Book1' <<<"$out"; check "excel new names the workbook it made" $?
[ "$(grep -o 'excel: ' <<<"$out" | wc -l)" -eq 4 ]; check "only excel new and the three bad commands answer with a line" $?
grep -q 'excel: unknown action "frobnicate"' <<<"$out"; check "an unknown action is named" $?
grep -q 'usage: wait SECONDS' <<<"$out"; check "wait without a number gives its usage" $?

out=$(printf 'excel edit Book1 Sheet1 A1 x\n' | "$gwhost" --spreadsheet installed 2>&1)
grep -q 'excel: the spreadsheet program is not running' <<<"$out"; check "edits need a running program" $?

start=$(date +%s%N)
printf 'wait 0.5\n' | "$gwhost" >/dev/null 2>&1
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -ge 500 ]; check "wait 0.5 lets half a second pass (${elapsed} ms)" $?

# The saved workbook holds the paste, minus the cleared cell, plus the typed text.
if /usr/bin/python3 -c 'import openpyxl' 2>/dev/null; then
  printf 'excel start\n%s' "$script" | "$gwhost" --spreadsheet installed --books "$work/saved" >/dev/null 2>&1
  /usr/bin/python3 - "$work/saved/Book1.xlsx" <<'PY'
import sys, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).active
cells = {c.coordinate: c.value for row in ws.iter_rows() for c in row if c.value is not None}
sys.exit(0 if cells == {"A1": "typed with spaces", "B2": "a", "C2": "b", "B3": "c"} else 1)
PY
  check "paste, clear and edit reach the workbook" $?
fi

out=$(printf 'excel start\nexcel quit\nexcel edit Book1 Sheet1 A1 x\nexcel start\n' | "$gwhost" --spreadsheet installed 2>&1); status=$?
check "quit and start again exit 0" $status
grep -q 'excel: the spreadsheet program is not running' <<<"$out"; check "after quit the program is gone" $?

# At an idle prompt (input still open, nothing typed) the import timer fires too.
if /usr/bin/python3 -c 'import ezdxf' 2>/dev/null; then
  (printf 'gwell\n\nok\ngwell\nConnect\nexcel edit Book1 DOOR B3 D-77\n'; sleep 2) |
    "$gwhost" --spreadsheet running --save-as "$work/idle.dxf" "${GW_SOURCE_DIR:?}/samples/sample.dxf" >/dev/null 2>&1
  /usr/bin/python3 - "$work/idle.dxf" <<'PY'
import sys, ezdxf
insert = ezdxf.readfile(sys.argv[1]).entitydb["B8"]
sys.exit(0 if [a.dxf.text for a in insert.attribs][0] == "D-77" else 1)
PY
  check "an edit reaches the drawing while gwhost waits for input" $?
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
