#!/usr/bin/env bash
# gwhost --books DIR with files already in DIR: a file the session did not
# write is never replaced (a new workbook takes another free name, said on
# the command line), and an opened workbook nothing changed is left as it was.
source "$(dirname "$0")/../support/harness.sh"
books="$work/books"
mkdir -p "$books"

# A file left from before under the name the export's new workbook gets.
printf 'not written by this session\n' >"$books/Book1.xlsx"
out=$(printf 'gwell\nExport2\n\n' | "$gwhost" --books "$books" "$sample" 2>"$work/err"); status=$?
check "export exits 0" $status
[ "$(cat "$books/Book1.xlsx")" = "not written by this session" ]; check "the file left from before is untouched" $?
[ -f "$books/Book1 (2).xlsx" ]; check "the new workbook takes the next free name" $?
printf '%s\n' "$out" | grep -qF "Workbook Book1 saved as $books/Book1 (2).xlsx"; check "gwhost says where it saved it" $?
/usr/bin/python3 -c "import openpyxl,sys; openpyxl.load_workbook(sys.argv[1])" "$books/Book1 (2).xlsx"; check "the saved workbook opens" $?

# An opened workbook of the same name as a new one, both saved in DIR.
opened="$books/Book2.xlsx"
cp "$books/Book1 (2).xlsx" "$opened"
chmod 0640 "$opened"
touch -d '2001-02-03 04:05:06' "$opened"
before=$(sha256sum <"$opened")
out=$(printf 'gwell\nExport2\n\n' | "$gwhost" --spreadsheet running --open-book "$opened" --books "$books" \
      "$sample" 2>"$work/err"); status=$?
check "export beside an opened workbook exits 0" $status
[ "$(sha256sum <"$opened")" = "$before" ]; check "the unchanged opened workbook keeps its bytes" $?
[ "$(stat -c %Y "$opened")" = "$(date -d '2001-02-03 04:05:06' +%s)" ]; check "the unchanged opened workbook is not rewritten" $?
printf '%s\n' "$out" | grep -qF "Workbook Book2.xlsx unchanged; $opened left as it was"; check "gwhost says it left it" $?
new=$(printf '%s\n' "$out" | sed -n 's/^Workbook Book[0-9]* saved as //p')
[ -n "$new" ] && [ "$new" != "$opened" ] && [ -f "$new" ]; check "the new workbook is saved under a name of its own ($new)" $?
[ "$(cat "$books/Book1.xlsx")" = "not written by this session" ]; check "still untouched after the second run" $?

finish
