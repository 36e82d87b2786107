#!/usr/bin/env bash
# gwhost --autosave: the drawing on disk follows each command that changed
# it, nothing is written while nothing changed, a save that fails is said in
# one line, and --follow ends on SIGTERM with exit 0.
source "$(dirname "$0")/../support/harness.sh"

"$gwhost" --autosave </dev/null >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ] && grep -q -- "--autosave needs --save-as or a drawing file" "$work/err"
check "autosave without a file to save to is refused" $?

# Connecting changes nothing: the drawing's own file keeps its bytes and time.
drawing="$work/drawing.dxf"
cp "$sample" "$drawing"
touch -d '2001-02-03 04:05:06' "$drawing"
before=$(sha256sum <"$drawing")
printf 'gwell\nConnect\nwait 1.5\n' | "$gwhost" --spreadsheet running --autosave "$drawing" >/dev/null 2>"$work/err"
check "a run that changes nothing exits 0" $?
[ "$(sha256sum <"$drawing")" = "$before" ] && [ "$(stat -c %Y "$drawing")" = "$(date -d '2001-02-03 04:05:06' +%s)" ]
check "a run that changes nothing does not write the drawing" $?

# Without --save-as the drawing's own file follows the live link's import
# (the long-running case, saves while gwhost runs, is the live link's
# end-to-end test of a watched workbook).
printf 'gwell\n\nok\ngwell\nConnect\nexcel edit Book1 DOOR B3 D-99\nwait 2\n' |
  "$gwhost" --spreadsheet running --autosave "$drawing" >/dev/null 2>"$work/err"; status=$?
check "an autosaved run exits 0" $status
/usr/bin/python3 - "$drawing" <<'PY'
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
texts = {(i.dxf.handle, a.dxf.tag): a.dxf.text for i in doc.modelspace().query("INSERT") for a in i.attribs}
sys.exit(0 if texts.get(("B8", "NUMBER")) == "D-99" else 1)
PY
check "the drawing's own file holds the edited attribute" $?
[ -z "$(ls "$work" | grep -v -e '^drawing.dxf$' -e '^err$' -e '^config$')" ]
check "no temporary file is left beside it" $?

# A save that cannot be made: one line per failed attempt, and the run says so.
printf 'x\n' >"$work/notadir"
printf 'gwell\n\nok\ngwell\nConnect\nexcel edit Book1 DOOR B3 D-98\nwait 2\n' |
  "$gwhost" --spreadsheet running --autosave --save-as "$work/notadir/out.dxf" "$sample" >/dev/null 2>"$work/err"
status=$?
[ $status -eq 1 ]; check "a failed save at the end exits 1" $?
lines=$(grep -c "cannot save drawing" "$work/err")
[ "$lines" -ge 1 ] && [ "$(grep -vc "^gwhost: " "$work/err")" -eq 0 ]
check "each failed save is one gwhost: line" $?
[ "$(cat "$work/notadir")" = "x" ]; check "the file in the way is untouched" $?

# --follow: input ends, gwhost runs on until SIGTERM, then exits 0 after saving.
printf 'gwell\nConnect\n' | "$gwhost" --spreadsheet running --follow --save-as "$work/followed.dxf" "$sample" \
  >/dev/null 2>"$work/err" &
pid=$!
sleep 1.5
kill -0 $pid 2>/dev/null; check "gwhost runs on after its input ended" $?
kill -TERM $pid
wait $pid; check "SIGTERM ends it with exit 0" $?
[ "$(tail -c 5 "$work/followed.dxf" | tr -d '\r\n ')" = "EOF" ]; check "and the drawing is saved whole" $?
finish
