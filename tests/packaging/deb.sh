#!/usr/bin/env bash
# `cpack -G DEB` builds a Debian package of the release version that lintian accepts without an
# error or a warning, whose dependencies dpkg-shlibdeps computed from the program, holding under
# /usr the program, its manual page, desktop entry, icons and metainfo, a changelog made from NEWS,
# and a machine-readable copyright file with the LICENSE's terms that names the Debian source
# package of every library the program depends on.
#   deb.sh CPACK BUILD_DIR SOURCE_DIR RELEASE APP_ID
set -euo pipefail
cpack=$1 build=$2 source=$3 release=$4 id=$5
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

lintian --fail-on error,warning "$deb" >"$tmp/lintian.txt" 2>"$tmp/lintian.err" && [ ! -s "$tmp/lintian.txt" ] ||
    fail "lintian does not accept the package:
$(cat "$tmp/lintian.txt" "$tmp/lintian.err")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quelvaro ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$release" ] || fail "Version is '$(field Version)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "Maintainer or Description is empty"
depends=$(field Depends)
# Each library the program links, by the name of the package that holds it on this release (Qt's
# became libqt6core6t64 and the like with Debian 13's 64-bit time).
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
for library in libc.so.6 libstdc++.so.6 libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6; do
    package=$(dpkg -S "*/$multiarch/$library" 2>/dev/null | head -n1 | cut -d: -f1)
    [ -n "$package" ] || fail "no installed package holds $library"
    [[ ", $depends," == *", $package ("* ]] || fail "Depends lacks a versioned $package: $depends"
done

doc=./usr/share/doc/quelvaro
contents=$(dpkg-deb -c "$deb" | awk '{ print $1, $NF }')
for path in ./usr/bin/quelvaro ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/32x32/apps/$id.png ./usr/share/icons/hicolor/64x64/apps/$id.png \
    ./usr/share/icons/hicolor/128x128/apps/$id.png ./usr/share/man/man1/quelvaro.1.gz \
    $doc/copyright $doc/changelog.gz; do
    grep -q "^-[^ ]* $path\$" <<<"$contents" || fail "the package lacks $path"
done
grep -q '^-rwxr-xr-x ./usr/bin/quelvaro$' <<<"$contents" || fail "the packaged program is not executable"
[ "$(grep -c '^-' <<<"$contents")" = 9 ] || fail "the package holds other files: $contents"

root=$tmp/root
dpkg-deb -x "$deb" "$root"
file -b "$root/usr/bin/quelvaro" | grep -q '^ELF .*, stripped$' ||
    fail "the packaged program is $(file -b "$root/usr/bin/quelvaro")"

# The copyright file's last paragraph is the licence the files are under, with the LICENSE's text,
# and the metainfo names the same licence.
copyright=$root/usr/share/doc/quelvaro/copyright
license=$(sed -n 's/^License: //p' "$copyright" | sort -u)
[ "$(wc -l <<<"$license")" = 1 ] || fail "the copyright file names more than one licence: $license"
diff <(awk '/^License: / { text = "" } /^ / { sub(/^ \.?/, ""); text = text $0 "\n" } END { printf "%s", text }' "$copyright") \
    "$source/LICENSE" >"$tmp/license.diff" || fail "the copyright file's licence is not the LICENSE:
$(cat "$tmp/license.diff")"
grep -q "<project_license>$license</project_license>" "$root/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo names another licence than $license"
built_from=$(awk '/^Comment:/ { on = 1; next } on && !/^ / { exit } on' "$copyright")
for package in $(sed 's/ ([^)]*)//g; s/,/ /g; s/|/ /g' <<<"$depends"); do
    origin=$(dpkg-query -W -f='${source:Package} ${source:Version}' "$package")
    grep -qx " $origin" <<<"$built_from" || fail "the copyright file does not name $origin, which $package comes from:
$built_from"
done

# The changelog is NEWS: the same changes, newest release first, this one at the top.
changelog=$tmp/changelog
zcat "$root/usr/share/doc/quelvaro/changelog.gz" >"$changelog"
[ "$(dpkg-parsechangelog -l "$changelog" -S Version)" = "$release" ] ||
    fail "the changelog's latest entry is $(dpkg-parsechangelog -l "$changelog" -S Version)"
diff <(grep -v -e '^quelvaro (' -e '^ -- ' -e '^$' "$changelog" | sed 's/^  //') \
    <(grep -v -e '^Quelvaro [0-9.]*, ' -e '^$' "$source/NEWS") >"$tmp/news.diff" ||
    fail "the changelog's changes are not those of NEWS:
$(cat "$tmp/news.diff")"
echo "deb: passed"
