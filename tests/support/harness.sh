# The shell tests' harness, sourced by every tests/*/*_test.sh. It gives
#   $bin, $source_dir, $gwhost, $sample   where the build and the sources are
#   $work                                 a scratch folder, removed at exit; the
#                                         per-user settings live in it
#   check DESCRIPTION STATUS              one "ok -" or "FAILED -" line
#   finish                                the "N passed, N failed" line that
#                                         ctest reads; the test's exit status
set -u
bin="${GW_BIN_DIR:?}"
source_dir="${GW_SOURCE_DIR:?}"
gwhost="$bin/gwhost"
sample="$source_dir/samples/sample.dxf"
failures=0
passes=0
check() {
  if [ "$2" -eq 0 ]; then
    echo "ok - $1"
    passes=$((passes + 1))
  else
    echo "FAILED - $1"
    failures=$((failures + 1))
  fi
}
finish() {
  echo "$passes passed, $failures failed"
  [ "$failures" -eq 0 ]
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"
# No desktop: help and links are named on the command line, never shown in a
# real viewer; a test that wants a desktop puts its own xdg-open first on PATH.
unset DISPLAY WAYLAND_DISPLAY
