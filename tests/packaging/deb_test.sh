#!/usr/bin/env bash
# The Debian package of a build: cpack makes it in a scratch folder, dpkg-deb unpacks it there,
# its binary runs and lintian judges it. Without the tools the test is skipped (exit 77).
#   deb_test.sh BUILD_DIR CPACK NAME VERSION
set -uo pipefail
for tool in dpkg-deb dpkg-shlibdeps file lintian; do
  command -v $tool >/dev/null || { echo "skipped: $tool not found (apt-get install dpkg-dev file lintian)"; exit 77; }
done
build=$(realpath "$1") cpack=$2 deb=$1/deb-test/${3}_${4}_$(dpkg --print-architecture).deb
root=$build/deb-test/root
rm -rf "$build/deb-test" && mkdir -p "$root" || exit 1
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$build/deb-test" >"$build/deb-test/log" 2>&1 &&
  dpkg-deb -x "$deb" "$root" || { cat "$build/deb-test/log"; exit 1; }
failed=0
# The packed program runs: one action, its line and the ticks line, exit code 255.
out=$("$root/usr/bin/zemblaro" add 1 2 2>&1; echo "rc $?")
[[ $out =~ ^$'1 + 2 = 3\r\nTicks: '[0-9]+$'\r\nrc 255'$ ]] || { echo "FAIL: add 1 2: $out"; failed=1; }
# Lintian checks the rest, Depends included; a fully static link (ZEMBLARO_LINK=static) is chosen.
lintian --fail-on error --suppress-tags statically-linked-binary "$deb" || failed=1
exit $failed
