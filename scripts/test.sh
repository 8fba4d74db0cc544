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

build="$root/build/asan"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON >/dev/null
cmake --build "$build" -j2
ctest --test-dir "$build" --output-on-failure -j2 --timeout 300

if [ "${OSTREL_SKIP_TSAN:-0}" != 1 ]; then
  tbuild="$root/build/tsan"
  cmake -S "$root" -B "$tbuild" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DOSTREL_TSAN=ON -DOSTREL_BUILD_GUI=OFF >/dev/null
  cmake --build "$tbuild" -j2
  ctest --test-dir "$tbuild" --output-on-failure -j2 --timeout 300 -L threads --no-tests=ignore
fi
