#!/usr/bin/env bash
# The Debian package of a build: cpack makes it in a scratch folder, dpkg-deb unpacks it there,
# and its files, its binary and its control fields are checked; lintian too when installed.
#   deb_test.sh BUILD_DIR CPACK NAME VERSION
set -uo pipefail
build=$(realpath "$1") cpack=$2 name=$3 version=$4
scratch=$build/deb-test
failed=0
fail() { echo "FAIL: $*"; failed=1; }

rm -rf "$scratch" && mkdir -p "$scratch/root" || exit 1
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
deb=$scratch/${name}_${version}_$arch.deb
[[ -f $deb ]] || { echo "FAIL: no $deb"; ls "$scratch"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root" || exit 1

for f in /usr/bin/zemblaro /usr/share/man/man1/zemblaro.1.gz \
  /usr/share/bash-completion/completions/zemblaro /usr/share/doc/zemblaro/copyright; do
  [[ -f $scratch/root$f ]] || fail "$f is not in the package"
done
gzip -t "$scratch/root/usr/share/man/man1/zemblaro.1.gz" || fail "the manual page is no gzip file"

bin=$scratch/root/usr/bin/zemblaro
(cd "$scratch" && "$bin" add 1 2 >add.out 2>add.err)
rc=$?
out=$(cat "$scratch/add.out"; echo .)
[[ $out =~ ^$'1 + 2 = 3\r\nTicks: '[0-9]+$'\r\n.'$ ]] ||
  fail "add 1 2 wrote: $(od -c "$scratch/add.out")"
[[ -s $scratch/add.err ]] && fail "add 1 2 wrote on standard error: $(cat "$scratch/add.err")"
[[ $rc == 255 ]] || fail "add 1 2 exited with $rc"

info=$(dpkg-deb -I "$deb")
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[[ $(field Package) == "$name" ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version)"
[[ $(field Architecture) == "$arch" ]] || fail "Architecture: $(field Architecture)"
# Depends names the packages of exactly the libraries the binary loads (none when static).
# dpkg knows a library by the path it was unpacked to, the one ldd finds or the real one.
libs=$(ldd "$bin" 2>/dev/null)
loaded=$(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | while read -r lib; do
  path=$(awk -v l="$lib" '{ n = $1; sub(/.*\//, "", n) }
    n == l { print $2 == "=>" ? $3 : $1 }' <<<"$libs")
  { dpkg -S "$path" || dpkg -S "$(realpath "$path")"; } 2>/dev/null | cut -d: -f1 ||
    echo "(no package has $lib)"
done | sort -u)
depends=$(field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/ //g' | sed '/^$/d' | sort -u)
[[ $depends == "$loaded" ]] || fail "Depends: '$(field Depends)', the binary loads from: '$loaded'"

if command -v lintian >/dev/null; then
  # A fully static link (ZEMBLARO_LINK=static) is chosen, not an accident.
  [[ -z $loaded ]] && suppress=(--suppress-tags statically-linked-binary) || suppress=()
  lintian --fail-on error "${suppress[@]}" "$deb" || fail "lintian"
else
  echo "lintian is not installed: not run"
fi
exit $failed
