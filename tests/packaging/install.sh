#!/usr/bin/env bash
# `cmake --install` lays the program out as a Linux desktop expects: the executable, a desktop entry
# that desktop-file-validate accepts, the drawn icon in the hicolor theme at 32, 64 and 128 pixels,
# AppStream metadata that appstreamcli accepts and that matches the entry, the release and the
# licence, the manual page and the package's documents.
#   install.sh CMAKE BUILD_DIR SOURCE_DIR RELEASE APP_ID NAME LICENSE
set -euo pipefail
cmake=$1 build=$2 source=$3 release=$4 id=$5 name=$6 license=$7
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$tmp/root" "$cmake" --install "$build" --prefix /usr >"$tmp/install.log" || {
    cat "$tmp/install.log" >&2
    fail "cmake --install failed"
}
usr=$tmp/root/usr

installed=$(cd "$tmp/root" && find . -type f | sort)
expected=$(sort <<LIST
./usr/bin/quelvaro
./usr/share/applications/$id.desktop
./usr/share/doc/quelvaro/changelog.gz
./usr/share/doc/quelvaro/copyright
./usr/share/icons/hicolor/128x128/apps/$id.png
./usr/share/icons/hicolor/32x32/apps/$id.png
./usr/share/icons/hicolor/64x64/apps/$id.png
./usr/share/man/man1/quelvaro.1.gz
./usr/share/metainfo/$id.metainfo.xml
LIST
)
[ "$installed" = "$expected" ] || fail "installed files differ from the expected list:
$(diff <(echo "$expected") <(echo "$installed") || true)"

[ -x "$usr/bin/quelvaro" ] || fail "the installed program is not executable"
cmp -s "$usr/bin/quelvaro" "$build/quelvaro" || fail "the installed program is not the one built"

desktop=$usr/share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Type)" = Application ] || fail "Type is '$(key Type)'"
[ "$(key Name)" = "$name" ] || fail "Name is '$(key Name)'"
[ "$(key GenericName)" = "Visor de fuentes" ] || fail "GenericName is '$(key GenericName)'"
[[ "$(key Comment)" == *"fuente instalada"*"tamaño"*"color"* ]] || fail "Comment is '$(key Comment)'"
[ -x "$usr/bin/$(key Exec)" ] || fail "Exec '$(key Exec)' is not the installed program"
[ "$(key Icon)" = "$id" ] || fail "Icon is '$(key Icon)'"
[[ ";$(key Categories)" == *";Graphics;"* ]] || fail "Categories '$(key Categories)' lack a main category"
# The class the program's windows carry, so that a dock groups them under this entry.
[ "$(key StartupWMClass)" = "$name" ] || fail "StartupWMClass is '$(key StartupWMClass)'"

# The 64 and 128 pixel icons are the asset program's own drawings, not the 32 pixel one enlarged.
for size in 32 64 128; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "$icon is $(file -b "$icon")"
    cmp -s "$icon" "$source/assets/icon-$size.png" || fail "the $size px icon is not assets/icon-$size.png"
done

metainfo=$usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects the metainfo"
appstreamcli validate-tree --no-net "$tmp/root" || fail "appstreamcli rejects the installed tree"
has() { grep -q -- "$1" "$metainfo" || fail "the metainfo lacks $1"; }
has "<id>$id</id>"
has "<launchable type=\"desktop-id\">$id.desktop</launchable>"
has "<release version=\"$release\" date=\"[0-9-]*\"/>"
has "<summary>[^<]"
has "<description>"
has "<screenshot type=\"default\">"
has "<image type=\"source\"[^>]*>https://[^<]*\.png</image>"
has '<content_rating type="oars-1.1"/>'
has "<metadata_license>CC0-1.0</metadata_license>"
has "<project_license>$license</project_license>"
has "<name>$name</name>"
has "<binary>quelvaro</binary>"
echo "install: passed"
