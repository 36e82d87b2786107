#!/usr/bin/env bash
# gwhost's drawing: the document it opens, the select command, the save at
# the end of input, and what an unreadable drawing does.
set -u
bin="${GW_BIN_DIR:?}"
source_dir="${GW_SOURCE_DIR:?}"
gwhost="$bin/gwhost"
sample="$source_dir/samples/sample.dxf"
failures=0
check() { # description, condition result
  if [ "$2" -eq 0 ]; then echo "ok - $1"; else echo "FAILED - $1"; failures=$((failures + 1)); fi
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

printf '' | "$gwhost" "$sample" --save-as "$work/copy.dxf" >/dev/null 2>"$work/err"
check "an untouched drawing saves and exits 0" $?
cmp -s "$sample" "$work/copy.dxf"; check "the saved drawing is the same file" $?
ls "$work" | grep -q 'copy.dxf.' ; [ $? -ne 0 ]; check "no temporary file is left beside it" $?

out=$(printf 'select all\nselect 3A 3a FFFFFF\n' | "$gwhost" "$sample" 2>&1)
echo "$out" | grep -q 'Command: 9 found'; check "select all picks the entities of model space" $?
echo "$out" | grep -q 'Command: 2 found, 1 not in the drawing'; check "select names handles in either case" $?

printf '' | "$gwhost" --save-as "$work/new.dxf" >/dev/null 2>&1
check "without a drawing an empty one opens" $?
/usr/bin/python3 -c "import ezdxf, sys; d = ezdxf.readfile(sys.argv[1]); sys.exit(0 if '0' in d.layers else 1)" "$work/new.dxf"
check "the empty drawing reads in ezdxf" $?

printf '  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n' >"$work/cut.dxf"
printf '' | "$gwhost" "$work/cut.dxf" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ]; check "an unreadable drawing exits 2" $?
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'cut.dxf: line 7' "$work/err"
check "with one line naming the file and the line" $?

printf '' | "$gwhost" "$sample" --save-as "$work/missing/x.dxf" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ] && grep -q 'cannot save' "$work/err"; check "a failed save exits 1 and says so" $?

exit $((failures > 0))
