#!/usr/bin/env bash
# The installer in a fresh Wine prefix, silently, as an administrator would: the program under
# Program Files with the licences and notices of the portable zip, a Start-menu entry and an
# uninstaller registered with Windows; the installed program starts and ends on "Salir";
# uninstalling leaves none of it behind. The installer's licence page shows the program's licence.
#   installer.sh SETUP_EXE ZIP NAME MAKER ZIP_FOLDER
source "$(dirname "$0")/../e2e/lib.sh" "$1"
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
zip=$2 name=$3 maker=$4 top=$5
[ -f "$setup" ] || fail "no installer at $1 (tools/windows/build.sh makes it)"
[ -f "$zip" ] || fail "no zip at $zip"

# CPack leaves the script it made the installer from beside it.
script=$(dirname "$setup")/_CPack_Packages/win64/NSIS/project.nsi
page=$(sed -n 's/^ *!insertmacro MUI_PAGE_LICENSE "\(.*\)"\r\?$/\1/p' "$script")
[ -n "$page" ] && unzip -p "$zip" "$top/licenses/LICENSE.txt" | cmp -s - "$page" ||
    fail "the installer's licence page shows '$page', not the program's licence"

start_x
use_fixed_fonts
wine_prefix
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$name"
programs=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs
folder=$WINEPREFIX/drive_c/Program\ Files/$name

wine "$setup" /S </dev/null >"$E2E_TMP/setup.log" 2>&1 || { cat "$E2E_TMP/setup.log" >&2; fail "the installer failed"; }
[ -f "$folder/quelvaro.exe" ] || fail "no quelvaro.exe under Program Files: $(find "$WINEPREFIX/drive_c" -iname quelvaro.exe)"
[ -f "$programs/$name/$name.lnk" ] ||
    fail "no Start-menu entry $name: $(find "$WINEPREFIX/drive_c" -iname '*.lnk' | grep -v -i 'wine\|notepad' || true)"
mkdir "$E2E_TMP/zip"
unzip -q "$zip" "$top/licenses/*" -d "$E2E_TMP/zip"
diff -r "$E2E_TMP/zip/$top/licenses" "$folder/licenses" >"$E2E_TMP/licenses.diff" ||
    fail "the installed licences differ from the zip's: $(cat "$E2E_TMP/licenses.diff")"
wine reg query "$uninstall_key" /v UninstallString >"$E2E_TMP/reg.txt" 2>&1 || { cat "$E2E_TMP/reg.txt" >&2; fail "no uninstaller registered"; }
uninstaller=$(tr -d '\r' <"$E2E_TMP/reg.txt" | sed -n 's/.*UninstallString[[:space:]]*REG_SZ[[:space:]]*//p')
[ "$uninstaller" = "\"C:\\Program Files\\$name\\Uninstall.exe\"" ] || fail "the registered uninstaller is $uninstaller"
uninstaller=${uninstaller//\"/}

QUELVARO="C:\\Program Files\\$name\\quelvaro.exe"
start_app
win=$(wait_preview 30)
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 5
[ "$EXIT_STATUS" = 0 ] || fail "the installed program ended with status $EXIT_STATUS"

# The uninstaller copies itself aside and returns at once; the copy does the work.
wine "$uninstaller" /S </dev/null >"$E2E_TMP/uninstall.log" 2>&1 || { cat "$E2E_TMP/uninstall.log" >&2; fail "the uninstaller failed"; }
# It removes the files, the Start-menu entry, its registration and last the installer's own key:
# done once all are gone.
removed() {
    [ ! -e "$folder" ] || { echo "left under Program Files: $(find "$folder")" >&2; return 1; }
    [ ! -e "$programs/$name" ] || { echo "the Start-menu entry is left: $(find "$programs/$name")" >&2; return 1; }
    ! wine reg query "$uninstall_key" >/dev/null 2>&1 || { echo "the uninstaller is still registered" >&2; return 1; }
    ! wine reg query "HKLM\\Software\\$maker" >/dev/null 2>&1 || { echo "the installer's own key is left" >&2; return 1; }
}
eventually 30 removed
echo "installer: passed"
