#!/usr/bin/env bash
# `cpack -G DEB` builds a Debian package of the release version whose dependencies dpkg-shlibdeps
# computed from the program, holding the program, desktop entry, icons and metainfo under /usr.
set -euo pipefail
cpack=$1 build=$2 release=$3
id=org.example.Quelvaro
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log" >&2
    fail "cpack failed"
}
deb=$tmp/quelvaro_${release}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package named $(basename "$deb"): $(ls "$tmp")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quelvaro ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$release" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "Maintainer or Description is empty"
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ ", $depends," == *", $library ("* ]] || fail "Depends lacks a versioned $library: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{ print $1, $NF }')
for path in ./usr/bin/quelvaro ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/32x32/apps/$id.png ./usr/share/icons/hicolor/64x64/apps/$id.png \
    ./usr/share/icons/hicolor/128x128/apps/$id.png; do
    grep -q "^-[^ ]* $path\$" <<<"$contents" || fail "the package lacks $path"
done
grep -q '^-rwxr-xr-x ./usr/bin/quelvaro$' <<<"$contents" || fail "the packaged program is not executable"
[ "$(grep -c '^-' <<<"$contents")" = 6 ] || fail "the package holds other files: $contents"

dpkg-deb -x "$deb" "$tmp/root"
file -b "$tmp/root/usr/bin/quelvaro" | grep -q '^ELF .*, stripped$' ||
    fail "the packaged program is $(file -b "$tmp/root/usr/bin/quelvaro")"
echo "deb: passed"
