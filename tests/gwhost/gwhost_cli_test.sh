#!/usr/bin/env bash
# gwhost as a user runs it: prompts, Escape, bad arguments, a missing
# resource module.
source "$(dirname "$0")/../support/harness.sh"

prompt=$(printf '\nGridwell [Export/Export2/Selection+export/Export3/Import/Options/Connect/Disconnect/Toolbar/Help] <Export>: ')
expected=$(printf '\nCommand: %s\nCommand: \n' "$prompt")

out=$(printf 'gwell\nExport4\n' | "$gwhost" 2>"$work/err"); status=$?
check "Export4 exits 0" $status
[ "$out" = "$expected" ]; check "Export4 shows the prompts and nothing else" $?
[ ! -s "$work/err" ]; check "Export4 writes nothing to stderr" $?

out=$(printf 'gwell\n^C\n' | "$gwhost" 2>"$work/err"); status=$?
check "Escape exits 0" $status
[ "$out" = "$expected" ]; check "Escape shows the prompts and nothing else" $?

"$gwhost" --help >"$work/help"; check "--help exits 0" $?
grep -q -- '--save-as' "$work/help"; check "--help lists the options" $?

"$gwhost" --bogus </dev/null >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ]; check "a bad argument exits 2" $?
[ "$(wc -l <"$work/err")" -eq 1 ]; check "a bad argument gives one line on stderr" $?

printf 'nonsense\n\n^C\n%s\n' "$(head -c 5000 /dev/zero | tr '\0' x)" | "$gwhost" >/dev/null 2>&1
check "odd input lines do not crash the host" $?

# The module without its resource module does not load.
mkdir "$work/lonely"
cp "$bin/gwell16.arx" "$work/lonely/"
"$gwhost" --module "$work/lonely/gwell16.arx" </dev/null >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ]; check "a module without gwell16res.dll exits 2" $?
grep -q 'cannot load module' "$work/err"; check "and says the module failed to load" $?
[ "$(wc -l <"$work/err")" -eq 1 ]; check "in one line" $?

finish
