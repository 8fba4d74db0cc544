#!/usr/bin/env bash
# Set up, build with AddressSanitizer and UndefinedBehaviorSanitizer, run every test.
# Then build the engine again under ThreadSanitizer and run its threaded tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
# Tests reach only their own servers on 127.0.0.1; a proxy set in the caller's
# environment must not catch them.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1,localhost

# Runs ctest in a build tree, then fails when any sanitizer reported anything:
# report files (tests/CMakeLists.txt sends them there) or a report in the
# output of any test, passed or not.
# With DISPLAY_TESTS=1 ctest runs under Xvfb (the `display` tests need a real X server).
run_ctest() {
  local dir=$1; shift
  local launch=()
  if [ "${DISPLAY_TESTS:-0}" = 1 ]; then
    launch=(xvfb-run -a -s "-screen 0 1280x900x24")
  fi
  local reports="$dir/sanitizer-reports"
  local log="$dir/Testing/Temporary/LastTest.log"
  rm -rf "$reports"
  mkdir -p "$reports"
  rm -f "$log"
  local status=0
  "${launch[@]}" ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 "$@" || status=$?
  local pattern='runtime error:|ERROR: AddressSanitizer|ERROR: LeakSanitizer|WARNING: ThreadSanitizer|SUMMARY: [A-Za-z]*Sanitizer'
  if [ -f "$log" ] && grep -Eq "$pattern" "$log"; then
    echo "sanitizer report in the test output:" >&2
    grep -E -B2 -A20 "$pattern" "$log" >&2 || true
    status=1
  fi
  if [ -n "$(ls -A "$reports")" ]; then
    echo "sanitizer reports in $reports:" >&2
    for f in "$reports"/*; do
      echo "==== $f" >&2
      cat "$f" >&2
    done
    status=1
  fi
  return $status
}

build="$root/build/asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DOSTREL_WERROR=ON >/dev/null
cmake --build "$build" -j2
run_ctest "$build" -LE display
DISPLAY_TESTS=1 run_ctest "$build" -L display --no-tests=ignore

if [ "${OSTREL_SKIP_TSAN:-0}" != 1 ]; then
  tbuild="$root/build/tsan"
  cmake -S "$root" -B "$tbuild" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_TSAN=ON -DOSTREL_BUILD_GUI=OFF -DOSTREL_WERROR=ON >/dev/null
  cmake --build "$tbuild" -j2
  run_ctest "$tbuild" -L threads --no-tests=ignore
fi
