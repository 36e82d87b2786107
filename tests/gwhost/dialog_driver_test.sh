#!/usr/bin/env bash
# gwhost's dialog driver at the terminal: a dialog prints as a form, a bad
# action is refused in one line and the form comes again, a menu without a
# command in the action is printed and answered from the next line, and the
# end of input cancels the dialog (nothing is exported, the run ends well).
source "$(dirname "$0")/../support/harness.sh"
cd "$work" || exit 1

forms() { grep -c '^Dialog 131 "Blocks to export"$' "$1"; }

printf 'gwell\nExport\nclick 1030\nselect 1005 9\nfrobnicate\nok\n' |
  "$gwhost" --books books "$sample" >out 2>err; status=$?
[ $status -eq 0 ]; check "gwhost ends well" $?
grep -qx 'Refused: there is no control 1030' out; check "an unknown control is refused with its reason" $?
grep -qx 'Refused: list 1005 has 3 items; there is no item 9' out; check "so is an index out of range" $?
grep -q '^Refused: unknown action "frobnicate"; actions: click ID' out; check "and an unknown action, listing the actions" $?
[ "$(forms out)" -eq 4 ]; check "the form comes again after every refused action" $?
grep -qE '^  1005  list +enabled  visible  focus  column "Block name"  tip "Press right mouse button for more options."$' out
check "the list shows its id, kind, state, column and tip" $?
grep -qE '^        0   \[x\] DOOR$' out; check "its items show index and selection" $?
[ "$(ls books)" = "Book1.xlsx" ]; check "ok exports" $?

# A menu opened without a command prints its items, the next line picks.
printf 'gwell\nExport\nrclick 1005\n32777\ncancel\n' | "$gwhost" "$sample" >out 2>err
grep -qE '^  32777  \[ \] All blocks$' out && grep -qE '^  32778  \[x\] Blocks with attributes only$' out
check "the menu shows its commands and check marks" $?
grep -qE '^        7   \[ \] ROOM$' out; check "the command picked from it ran" $?

# The end of input cancels: no workbook is made.
rm -rf books
printf 'gwell\nExport\nselect 1005 0\n' | "$gwhost" --books books "$sample" >out 2>err; status=$?
[ $status -eq 0 ]; check "input ending in a dialog ends gwhost well" $?
grep -qx '(end of input: cancel)' out; check "it says the dialog was cancelled" $?
[ ! -e books/Book1.xlsx ]; check "nothing was exported" $?

finish
