#!/usr/bin/env bash
# The menu, the toolbar and the help in gwhost: the Gridwell pull-down lands
# just before Help (also with a maximised drawing window), a pick runs its
# command as if typed, and gwell Help names the manual without a desktop and
# hands it to the desktop's opener with one.
source "$(dirname "$0")/../support/harness.sh"
cd "$work" || exit 1

printf 'menu\n' | "$gwhost" "$sample" >out 2>err; status=$?
[ $status -eq 0 ] && [ ! -s err ]; check "menu runs cleanly" $?
grep -qx ' 10  Gridwell' out && grep -qx ' 11  Help' out; check "the pull-down stands just before Help" $?
grep -qx '       Export by name' out; check "its items are listed under it" $?

printf 'menu\n' | "$gwhost" --maximized "$sample" >out 2>&1
grep -qx '  0  (untitled)' out && grep -qx ' 11  Gridwell' out && grep -qx ' 12  Help' out
check "a maximised window's icon comes first and the pull-down still lands before Help" $?

printf 'gwell\nHelp\n' | "$gwhost" "$sample" >out 2>&1
grep -qx "Help: $bin/gwell.html" out; check "gwell Help names the manual without a desktop" $?
grep -q '<title>Gridwell user.s manual</title>' "$bin/gwell.html"; check "the manual is installed beside the module" $?

mkdir fakebin
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$work" >fakebin/xdg-open
chmod +x fakebin/xdg-open
printf 'gwell\nHelp\n' | DISPLAY=:99 PATH="$work/fakebin:$PATH" "$gwhost" "$sample" >out 2>&1
for _ in $(seq 100); do [ -s opened ] && break; sleep 0.05; done
[ "$(cat opened 2>/dev/null)" = "$bin/gwell.html" ]; check "with a desktop the opener is given the manual" $?
! grep -q '^Help:' out; check "and nothing is printed" $?

printf 'menu pick Export by name\n\n' | "$gwhost" --books books "$sample" >out 2>&1; status=$?
[ $status -eq 0 ] && [ -f books/Book1.xlsx ]; check "a picked item runs gwell Export2" $?
/usr/bin/python3 -c "import openpyxl,sys; b=openpyxl.load_workbook('books/Book1.xlsx'); sys.exit(0 if b.sheetnames else 1)" 2>/dev/null
check "and the export is a workbook openpyxl reads" $?

printf 'toolbar pick Help\ngwell\nToolbar\nmenu\ntoolbar pick Help\n' | "$gwhost" "$sample" >out 2>&1
grep -q 'no visible toolbar has a button "Help"' out; check "a hidden toolbar has no buttons" $?
grep -q '^Toolbar Gridwell: \[Export\].*\[Help\]' out; check "gwell Toolbar shows the toolbar" $?
[ "$(grep -c "^Help: $bin/gwell.html" out)" -eq 1 ]; check "its Help button opens the manual" $?

# The module in a folder of its own, without its menu file or help file.
mkdir module
cp "$bin/gwell16.arx" "$bin/gwell16res.dll" module/
printf 'menu\ngwell\nToolbar\ngwell\nHelp\n' | "$gwhost" --module "$work/module/gwell16.arx" "$sample" >out 2>err; status=$?
[ $status -eq 0 ]; check "a missing menu file is no failure" $?
! grep -q 'Gridwell$' out && ! grep -q '^Toolbar ' out; check "no pull-down and no toolbar without it" $?
[ "$(grep -c '^HTML Help: cannot open the file .*gwell.chm\.$' out)" -eq 1 ]; check "a missing help file is reported in one line" $?

finish
