#!/usr/bin/env bash
# gwhost's Options dialog, About page: the module's own version line, the
# link that a click opens through the desktop's opener (a fake xdg-open that
# records what it was given: no real viewer), and F1 ("help"), which names
# the manual as the Help keyword does when there is no desktop.
source "$(dirname "$0")/../support/harness.sh"
cd "$work" || exit 1
mkdir fakebin
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$work" >fakebin/xdg-open
chmod +x fakebin/xdg-open
version=$(sed -n 's/^project(Gridwell VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")

printf 'gwell\nOptions\ntab 2\nclick 1018\nhelp\ncancel\n' | PATH="$work/fakebin:$PATH" "$gwhost" "$sample" >out 2>&1
check "the session ends normally" $?
[ -n "$version" ] && grep -Eq "^ +1022 +static .*\"${version//./\\.}\"\$" out
check "the About page shows the module's file version" $?
[ -s opened ] && grep -q '^http' opened
check "clicking the link hands its URL to the desktop's opener" $?
grep -qx "Help: $bin/gwell.html" out
check "F1 in Options names the manual without a desktop" $?
! grep -q 'Unable to open hyperlink' out
check "a link that opened says nothing" $?

# A plain static text takes no clicks: the driver says why, the dialog stays.
printf 'gwell\nOptions\ntab 2\nclick 1028\ncancel\n' | "$gwhost" "$sample" >out 2>&1
grep -q 'SS_NOTIFY' out
check "clicking a plain static text is refused with the reason" $?
finish
