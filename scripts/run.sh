#!/usr/bin/env bash
# Set up, build and start Ostrel.  Extra arguments go to the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOSTREL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2
# Chinese texts need a CJK font; the setup installs one.
if [ -x "$build/src/app/ostrel" ]; then
  exec "$build/src/app/ostrel" "$@"
else
  exec "$build/src/cli/ostrel-cli" --help
fi
