#!/usr/bin/env bash
# gwhost's drawing: the document it opens, the select command, the save at
# the end of input, and what an unreadable drawing does.
source "$(dirname "$0")/../support/harness.sh"

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

# Saving over files the user owns: the mode stays, a link stays a link,
# a read-only file is refused, a save the size limit stops changes nothing.
printf 'old\n' >"$work/kept.dxf"; chmod 0640 "$work/kept.dxf"
printf '' | "$gwhost" "$sample" --save-as "$work/kept.dxf" >/dev/null 2>&1
check "saving over a file exits 0" $?
[ "$(stat -c %a "$work/kept.dxf")" = 640 ]; check "and keeps its mode bits" $?

(umask 027; printf '' | "$gwhost" "$sample" --save-as "$work/fresh.dxf" >/dev/null 2>&1)
[ "$(stat -c %a "$work/fresh.dxf")" = 640 ]; check "a new file gets the mode the umask allows" $?

mkdir "$work/real" "$work/links"
printf 'old\n' >"$work/real/target.dxf"; chmod 0600 "$work/real/target.dxf"
ln -s ../real/target.dxf "$work/links/link.dxf"
printf '' | "$gwhost" "$sample" --save-as "$work/links/link.dxf" >/dev/null 2>&1
check "saving through a symbolic link exits 0" $?
[ -L "$work/links/link.dxf" ]; check "the link stays a link" $?
cmp -s "$sample" "$work/real/target.dxf"; check "its target holds the drawing" $?
[ "$(stat -c %a "$work/real/target.dxf")" = 600 ]; check "and keeps its mode bits" $?
[ "$(ls -A "$work/links")" = link.dxf ] && [ "$(ls -A "$work/real")" = target.dxf ]
check "no temporary file is left beside the link or the target" $?

# No write bit for anyone: refused even for root, who may write any file.
printf 'old\n' >"$work/ro.dxf"; chmod 0444 "$work/ro.dxf"
printf '' | "$gwhost" "$sample" --save-as "$work/ro.dxf" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 1 ]; check "saving over a read-only file exits 1" $?
[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q 'ro.dxf: the file is read-only' "$work/err"
check "with one line saying the file is read-only" $?
[ "$(cat "$work/ro.dxf")" = old ] && [ "$(stat -c %a "$work/ro.dxf")" = 444 ]
check "and the file is left as it was" $?
[ "$(ls "$work" | grep -c '^ro\.dxf')" -eq 1 ]; check "with no temporary file beside it" $?

mkdir "$work/limit"; printf 'old\n' >"$work/limit/small.dxf"
(ulimit -f 16; printf '' | "$gwhost" "$sample" --save-as "$work/limit/small.dxf" >/dev/null 2>"$work/err"); status=$?
[ $status -eq 1 ]; check "a save the file-size limit stops exits 1 (not killed by SIGXFSZ)" $?
grep -q 'small.dxf: the file-size limit stopped the save' "$work/err"; check "and says so" $?
[ "$(cat "$work/limit/small.dxf")" = old ] && [ "$(ls -A "$work/limit")" = small.dxf ]
check "leaving the original untouched and no temporary file" $?

# A full disk: a file system smaller than the drawing, where one can be
# mounted (root in a container that allows it); said so when not.
mkdir "$work/tiny"
if mount -t tmpfs -o size=48k gwtest-tiny "$work/tiny" 2>/dev/null; then
  trap 'umount "$work/tiny"; rm -rf "$work"' EXIT
  printf 'old\n' >"$work/tiny/full.dxf"
  printf '' | "$gwhost" "$sample" --save-as "$work/tiny/full.dxf" >/dev/null 2>"$work/err"; status=$?
  [ $status -eq 1 ] && grep -q 'full.dxf: the disk is full' "$work/err"; check "a save a full disk stops exits 1 and says so" $?
  [ "$(cat "$work/tiny/full.dxf")" = old ] && [ "$(ls -A "$work/tiny")" = full.dxf ]
  check "leaving the original untouched and no temporary file" $?
else
  echo "skipped - a save onto a full disk (no tmpfs can be mounted here)"
fi

printf '' | "$gwhost" "$sample" --save-as "" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q -- '--save-as' "$work/err"
check "--save-as with an empty name is a bad argument" $?
printf '' | "$gwhost" "" >/dev/null 2>"$work/err"; status=$?
[ $status -eq 2 ] && [ "$(wc -l <"$work/err")" -eq 1 ]; check "so is an empty drawing name" $?

finish
