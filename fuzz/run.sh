#!/usr/bin/env bash
# Builds every fuzz target (fuzz/*.cpp) with clang in its own build folder and
# runs each for a bounded time. Seeds come from fuzz/corpus/<target>/ when that
# folder exists; new inputs are kept in the build folder, not in the tree.
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_BUILD_DIR build folder (default build-fuzz beside the sources)
#   FUZZ_TARGETS   space-separated subset of targets to run (default: all)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}

targets=()
if [[ -n "${FUZZ_TARGETS:-}" ]]; then
  read -r -a targets <<<"$FUZZ_TARGETS"
else
  for source in "$here"/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DGW_FUZZ=ON -DGW_TESTS=OFF -DGW_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j2 "${targets[@]}"

failed=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  seeds=()
  [[ -d "$here/corpus/$target" ]] && seeds+=("$here/corpus/$target")
  echo "== $target: ${seconds}s"
  if ! "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      "$corpus" "${seeds[@]}" 2>"$build/$target.log"; then
    echo "!! $target failed; see $build/$target.log" >&2
    tail -40 "$build/$target.log" >&2
    failed=1
  else
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$build/$target.log" || true
  fi
done
exit $failed
