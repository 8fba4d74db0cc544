#!/bin/sh
# Builds the Debian package from a built tree, unpacks it into a temporary
# root with dpkg -x and runs the programs from there.
# usage: deb_test.sh BUILD_DIR CPACK VERSION
set -eu
build=$1 cpack=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack -G DEB"
fi
deb=$(ls "$work"/pkg/*.deb)
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6core6 libcurl zlib1g fonts-wqy-microhei; do
  case "$depends" in *"$dep"*) ;; *) fail "Depends lacks $dep: $depends" ;; esac
done

dpkg -x "$deb" "$work/root"
out=$("$work/root/usr/bin/ostrel-cli" --version) || fail "ostrel-cli --version failed"
[ "$out" = "ostrel-cli $version" ] || fail "ostrel-cli --version said '$out'"

# The window and its desktop entry, when the package carries them.
if [ -e "$work/root/usr/bin/ostrel" ]; then
  out=$(QT_QPA_PLATFORM=offscreen "$work/root/usr/bin/ostrel" --version 2>/dev/null) || fail "ostrel --version failed"
  [ "$out" = "ostrel $version" ] || fail "ostrel --version said '$out'"
  entry="$work/root/usr/share/applications/ostrel.desktop"
  grep -qx 'Name=京东商品图片批量下载助手' "$entry" || fail "desktop entry name"
  grep -qx 'Categories=Network;Graphics;' "$entry" || fail "desktop entry categories"
  grep -qx 'Exec=ostrel --app-data' "$entry" || fail "desktop entry command"
  [ -s "$work/root/usr/share/icons/hicolor/64x64/apps/ostrel.png" ] || fail "icon"
fi
echo "package test passed: $(basename "$deb")"
