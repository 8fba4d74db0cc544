#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build/fuzz and runs each
# for SECONDS (default 60).  Fails when any target finds a crash, a sanitizer
# report or a failed check; the input that did it is left in build/fuzz/crashes/.
# Inputs the runs find go to build/fuzz/work/<target>; the seeds in
# fuzz/corpus/<target> stay as they are.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build/fuzz"

cc=$(command -v clang-14 || command -v clang)
cxx=$(command -v clang++-14 || command -v clang++)
CC=$cc CXX=$cxx cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DOSTREL_FUZZ=ON -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_GUI=OFF >/dev/null
cmake --build "$build" -j2 --target fuzzers

# The product page target fetches from its own shop on 127.0.0.1 through
# http_proxy; nothing else may be in the way.
unset https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY
export ASAN_OPTIONS=abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

mkdir -p "$build/crashes"
status=0
for seeds in "$root"/fuzz/corpus/*/; do
  name=$(basename "$seeds")
  # OSTREL_FUZZ_SKIP: space-separated target names left out of this run.
  case " ${OSTREL_FUZZ_SKIP:-} " in *" $name "*) echo "== fuzz_$name: skipped"; continue ;; esac
  work="$build/work/$name"
  mkdir -p "$work"
  echo "== fuzz_$name: ${seconds}s"
  if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=30 -max_len=32768 \
      -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
      "$work" "$seeds" >"$build/$name.log" 2>&1; then
    echo "fuzz_$name failed; the end of $build/$name.log:" >&2
    tail -n 40 "$build/$name.log" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$build/$name.log" || true
  fi
done
exit $status
