#!/usr/bin/env bash
# gwhost's per-user registry store: where it lives, that a run which changes
# nothing leaves it alone, and that a damaged store is reported, not fatal.
source "$(dirname "$0")/../support/harness.sh"

printf 'gwell\n^C\n' | "$gwhost" >/dev/null 2>"$work/err"; status=$?
check "a run without a store exits 0" $status
[ ! -e "$work/config/gridwell" ]; check "and creates no store before the first write" $?
[ ! -s "$work/err" ]; check "and says nothing on stderr" $?

store="$work/user.reg"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER]\r\n"Odd"=hex(7):61,00,00\r\n\r\n' >"$store"
cp "$store" "$work/expected"
printf 'gwell\n^C\n' | "$gwhost" --registry "$store" >/dev/null 2>"$work/err"; status=$?
check "a valid store loads" $status
[ ! -s "$work/err" ]; check "without a warning" $?
cmp -s "$store" "$work/expected"; check "and is left as it was" $?

printf 'Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n"V"=dword:xyz\r\n' >"$store"
cp "$store" "$work/expected"
out=$(printf 'gwell\n^C\n' | "$gwhost" --registry "$store" 2>"$work/err"); status=$?
check "a damaged store does not stop the run" $status
[ "$(wc -l <"$work/err")" -eq 1 ]; check "it gives one line on stderr" $?
grep -q "$store" "$work/err"; check "naming the store" $?
cmp -s "$store" "$work/expected"; check "and the damaged store is left untouched" $?
case "$out" in *Gridwell*) true ;; *) false ;; esac; check "the command still runs" $?

# What regedit writes: UTF-16LE with a byte-order mark.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\A]\r\n"V"=dword:00000001\r\n\r\n' \
  | iconv -f UTF-8 -t UTF-16LE | { printf '\377\376'; cat; } >"$store"
printf 'gwell\n^C\n' | "$gwhost" --registry "$store" >/dev/null 2>"$work/err"; status=$?
check "a UTF-16 store from regedit loads" $status
[ ! -s "$work/err" ]; check "without a warning" $?

# A FIFO in the store's place: never waited on, reported in one line.
rm -f "$store"; mkfifo "$store"
timeout 20 bash -c 'printf "gwell\n^C\n" | "$1" --registry "$2"' _ "$gwhost" "$store" >/dev/null 2>"$work/err"; status=$?
check "a FIFO store neither hangs nor stops the run" $status
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'FIFO' "$work/err"; check "it gives one line saying it is a FIFO" $?
[ -p "$store" ]; check "and the FIFO stays" $?
rm -f "$store"

env -u XDG_CONFIG_HOME -u HOME "$gwhost" </dev/null >/dev/null 2>"$work/err"; status=$?
[ $status -ne 0 ]; check "without HOME, XDG_CONFIG_HOME or --registry the host refuses to start" $?
grep -q -- '--registry' "$work/err"; check "and says how to fix it" $?

# The classes root of --classes: read at start, never written; a file that is
# no export of it stops the host before anything runs.
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CLASSES_ROOT\\.htm]\r\n@="htmlfile"\r\n' >"$work/classes.reg"
printf '' | "$gwhost" --registry "$work/c-user.reg" --classes "$work/classes.reg" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 0 ] && [ ! -s "$work/err" ]; check "--classes reads a classes-root export" $?
! grep -qs CLASSES "$work/c-user.reg"; check "and never writes it to the per-user store" $?
printf 'not a registry export\n' >"$work/bad-classes.reg"
printf '' | "$gwhost" --registry "$work/c-user.reg" --classes "$work/bad-classes.reg" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ]; check "a damaged --classes file is refused in one line" $?

finish
