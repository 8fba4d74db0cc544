#!/usr/bin/env bash
# Pictures of the main window (empty, and with a filled album list as a list
# and as thumbnails), its menus, the splash and every dialog (the find dialog
# on the list), made under Xvfb into shots/ (or the folder given).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/shots}
build="$root/build/release"
"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target ostrel_ui_shots ostrel_webui_shots
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tests/ui/ostrel_ui_shots" "$out"
# The log-in browser (dialog 133) with a page of a local site loaded.
xvfb-run -a -s "-screen 0 1280x900x24" "$build/tests/webui/ostrel_webui_shots" "$out"
ls -1 "$out"/*.png
