#!/usr/bin/env bash
# Long soak of the download pool: builds engine_soak_test under
# ThreadSanitizer (default) or AddressSanitizer+UBSan in build/soak/<tsan|asan>
# and runs ROUNDS rounds (default 5) of 50 albums x 40 pictures against a
# local shop that fails at random, with stops pressed at random moments.
# Fails on a failed check or any sanitizer report.
#   scripts/soak.sh [tsan|asan] [ROUNDS]
# OSTREL_SOAK_ALBUMS and OSTREL_SOAK_PICTURES change the size; the run prints
# its seed, and OSTREL_SOAK_SEED=<seed> deals the same faults and stops again.
# OSTREL_SOAK_BUILD names another build tree of the same options.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
sanitizer=${1:-tsan}
rounds=${2:-5}
case "$sanitizer" in
  tsan) option=-DOSTREL_TSAN=ON ;;
  asan) option=-DOSTREL_SANITIZE=ON ;;
  *) echo "usage: $0 [tsan|asan] [ROUNDS]" >&2; exit 2 ;;
esac
build=${OSTREL_SOAK_BUILD:-$root/build/soak/$sanitizer}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug "$option" \
  -DOSTREL_BUILD_GUI=OFF -DOSTREL_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target engine_soak_test

export QT_QPA_PLATFORM=offscreen
# The test sends the shop's addresses through its own http_proxy.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy=127.0.0.1,localhost
export OSTREL_SOAK_ALBUMS=${OSTREL_SOAK_ALBUMS:-50}
export OSTREL_SOAK_PICTURES=${OSTREL_SOAK_PICTURES:-40}
export OSTREL_SOAK_ROUNDS=$rounds
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

log="$build/soak.log"
status=0
"$build/tests/engine/engine_soak_test" 2>&1 | tee "$log" || status=$?
if grep -Eq 'runtime error:|ERROR: AddressSanitizer|ERROR: LeakSanitizer|WARNING: ThreadSanitizer' "$log"; then
  echo "soak: sanitizer report in $log" >&2
  status=1
fi
exit $status
