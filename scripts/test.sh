#!/usr/bin/env bash
# Set up, build with AddressSanitizer and UndefinedBehaviorSanitizer, run every test.
# Then build the engine again under ThreadSanitizer and run its threaded tests,
# and the log-in browser's tests (Qt WebEngine, never sanitized) on their own.
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
# output of any test, passed or not.  ctest runs under the command in
# ctest_wrapper, when one is set.
ctest_wrapper=()
run_ctest() {
  local dir=$1; shift
  local reports="$dir/sanitizer-reports"
  local log="$dir/Testing/Temporary/LastTest.log"
  rm -rf "$reports"
  mkdir -p "$reports"
  rm -f "$log"
  local status=0
  "${ctest_wrapper[@]}" ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 "$@" || status=$?
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
# Tests of real windows and real input (label display) on their own X server.
ctest_wrapper=(xvfb-run -a -s "-screen 0 1280x1024x24")
run_ctest "$build" -L display --no-tests=ignore
ctest_wrapper=()

if [ "${OSTREL_SKIP_TSAN:-0}" != 1 ]; then
  tbuild="$root/build/tsan"
  cmake -S "$root" -B "$tbuild" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_TSAN=ON -DOSTREL_BUILD_GUI=OFF -DOSTREL_WERROR=ON >/dev/null
  cmake --build "$tbuild" -j2
  run_ctest "$tbuild" -L threads --no-tests=ignore
fi

# Chromium inside Qt WebEngine trips the sanitizers, so the sanitizer builds
# leave the log-in browser out; its tests get a plain build tree of their own
# that builds only them.
wbuild="$root/build/webengine"
cmake -S "$root" -B "$wbuild" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_WEBENGINE=ON -DOSTREL_WERROR=ON >/dev/null
cmake --build "$wbuild" -j2 --target webui_tests web_page_reader_tests
QTWEBENGINE_DISABLE_SANDBOX=1 run_ctest "$wbuild" -L webengine
# A short fuzz run of every target, so a parser regression shows in CI.
if [ "${OSTREL_SKIP_FUZZ:-0}" != 1 ] && { command -v clang++-14 || command -v clang++; } >/dev/null; then
  "$root/scripts/fuzz.sh" "${OSTREL_FUZZ_SECONDS:-10}"
fi
