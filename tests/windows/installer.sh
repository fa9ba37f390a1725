#!/usr/bin/env bash
# The installer in a fresh Wine prefix, as people and package managers use it:
# - its licence page shows the Spanish text of the program's licence, from the zip's licences;
# - silently for everyone (/AllUsers), and page by page as a person does, which installs for the
#   current user unless told otherwise and starts the program from its last page: the program
#   with the licences and notices of the portable zip, one Start-menu shortcut that starts it,
#   and an Apps & features entry in HKLM or HKCU, read whole and compared;
# - installed again silently without a switch, it replaces the install in the same scope, and on a
#   computer without Quelvaro it installs for the current user;
# - the packages signed once with a throwaway certificate, the signatures checked;
# - uninstalled by the entry's QuietUninstallString, nothing is left.
#   installer.sh SETUP_EXE ZIP NAME MAKER RELEASE URL CONTACT CPACK BUILD_DIR
source "$(dirname "$0")/../e2e/lib.sh" "$1"
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
zip=$2 name=$3 maker=$4 release=$5 url=$6 contact=$7 cpack=$8 build=$9
top=$name-$release
[ -f "$setup" ] || fail "no installer at $1 (tools/windows/build.sh makes it)"
[ -f "$zip" ] || fail "no zip at $zip"

# CPack leaves the script it made the installer from beside it.
script=$(dirname "$setup")/_CPack_Packages/win64/NSIS/project.nsi
page=$(sed -n 's/^ *!insertmacro MUI_PAGE_LICENSE "\(.*\)"\r\?$/\1/p' "$script")
[ -n "$page" ] && unzip -p "$zip" "$top/licenses/LICENCIA.txt" | cmp -s - "$page" ||
    fail "the installer's licence page shows '$page', not the zip's licenses/LICENCIA.txt"
# The Spanish text is the licence's: the same holder, the same numbered points.
points() { tr -d '\r' <"$1" | grep -o '^\(Copyright .*\|[0-9]\+\. \)' | tr -d '\n'; }
[ "$(points "$page")" = "$(points "$(dirname "$0")/../../LICENSE")" ] ||
    fail "the Spanish licence's copyright and points are '$(points "$page")', the LICENSE's '$(points "$(dirname "$0")/../../LICENSE")'"

start_x
use_fixed_fonts
# Wine would copy each shortcut to the Linux desktop's menu, outside the prefix.
export WINEDLLOVERRIDES=winemenubuilder.exe=d
wine_prefix
windows_path() { wine cmd /c echo "$1" </dev/null 2>/dev/null | tr -d '\r'; }
linux_path() { winepath -u "$1" 2>/dev/null; }
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\'$name

# The entry as reg lists it, "name|type|value" a line, sorted.
read_key() {
    { wine reg query "$1\\$uninstall_key" </dev/null 2>/dev/null || true; } | tr -d '\r' |
        sed -n 's/^    \([^ ]*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1|\2|\3/p' | LC_ALL=C sort
}

# install HOW ROOT FOLDER START_MENU [SETUP]: installs silently with the switch HOW, or by the pages
# (HOW "pages"), and checks what is there.
install() {
    local switch=$1 root=$2 folder=$3 start_menu=$4 exe=${5:-$setup} unix size
    unix=$(linux_path "$folder")
    if [ "$switch" = pages ]; then
        install_by_pages "$exe"
    else
        wine "$exe" /S $switch </dev/null >"$E2E_TMP/setup.log" 2>&1 || { cat "$E2E_TMP/setup.log" >&2; fail "the installer failed (/S $switch)"; }
    fi
    [ -f "$unix/quelvaro.exe" ] || fail "no quelvaro.exe in $folder: $(find "$WINEPREFIX/drive_c" -iname quelvaro.exe)"
    rm -rf "$E2E_TMP/zip"
    mkdir "$E2E_TMP/zip"
    unzip -q "$zip" "$top/licenses/*" -d "$E2E_TMP/zip"
    diff -r "$E2E_TMP/zip/$top/licenses" "$unix/licenses" >"$E2E_TMP/licenses.diff" ||
        fail "the installed licences differ from the zip's: $(cat "$E2E_TMP/licenses.diff")"
    # One shortcut directly in the Start menu's Programs: no folder, no uninstall link.
    local shortcuts
    shortcuts=$(cd "$(linux_path "$start_menu")" && find . -iname '*.lnk' | grep -iv 'wine\|notepad\|internet explorer' || true)
    [ "$shortcuts" = "./$name.lnk" ] || fail "the Start menu ($start_menu) holds: $shortcuts"

    # The size is the folder's, in KB, the uninstaller's included.
    size=$(find "$unix" -type f -printf '%s\n' | awk '{ n += $1 } END { printf "0x%x", int(n / 1024) }')
    read_key "$root" >"$E2E_TMP/key.txt"
    LC_ALL=C sort >"$E2E_TMP/expected.txt" <<KEY
Contact|REG_SZ|$contact
DisplayIcon|REG_SZ|$folder\\quelvaro.exe
DisplayName|REG_SZ|$name
DisplayVersion|REG_SZ|$release
EstimatedSize|REG_DWORD|$size
InstallLocation|REG_SZ|$folder
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
Publisher|REG_SZ|$maker
QuietUninstallString|REG_SZ|"$folder\\Uninstall.exe" /S
UninstallString|REG_SZ|"$folder\\Uninstall.exe"
URLInfoAbout|REG_SZ|$url
KEY
    diff "$E2E_TMP/expected.txt" "$E2E_TMP/key.txt" >"$E2E_TMP/key.diff" ||
        fail "the Apps & features entry in $root differs (< expected, > read): $(cat "$E2E_TMP/key.diff")"
    echo "installer: ${switch:-no switch}: the entry in $root as read:"
    sed 's/^/    /' "$E2E_TMP/key.txt"
}

# The program started as a person starts it, by its shortcut (start_by_shortcut LNK FOLDER): the
# window is the installed program's, and "Salir" ends it. start returns once the shortcut has
# started the program; the window's process is the program's.
process_gone() { ! running "$1" || { echo "process $1 still runs" >&2; return 1; }; }
start_by_shortcut() {
    local win pid
    wine start "$1" </dev/null >"$E2E_TMP/start.log" 2>&1 || { cat "$E2E_TMP/start.log" >&2; fail "wine start $1 failed"; }
    win=$(wait_preview 30)
    pid=$(xdotool getwindowpid "$win")
    tr '\0' ' ' </proc/"$pid"/cmdline >"$E2E_TMP/cmdline"
    grep -qiF "$2\\quelvaro.exe" "$E2E_TMP/cmdline" || fail "the shortcut started $(cat "$E2E_TMP/cmdline"), not $2\\quelvaro.exe"
    click_on "$win" Cmdsalir
    eventually 10 process_gone "$pid"
    echo "installer: started by $1"
}

# The installer's pages in turn, each taken with Return as a person takes the default button:
# Siguiente, Acepto, the scope it offers first, Instalar, and on the last page Terminar, with
# "Ejecutar Quelvaro" ticked, starts the program. A page is known by its header.
header() { import -window "$1" -crop x55+0+0 +repage "$2"; }
# The welcome and the last page have NSIS's wizard picture on their left: mostly navy, in a pattern
# each NSIS release draws its own way.
picture_shown() {
    screenshot "$1" "$E2E_TMP/page.png" 2>/dev/null || return 1
    local navy
    navy=$(count_colour "$E2E_TMP/page.png" 0 0 164 300 0,0,128)
    [ "$navy" -ge $((164 * 300 / 2)) ] || { echo "the page shows $navy navy pixels on its left, no wizard picture" >&2; return 1; }
}
header_changed() { header "$1" "$E2E_TMP/header-now.png" 2>/dev/null && ! same "$E2E_TMP/header.png" "$E2E_TMP/header-now.png"; }
next_page() {
    header "$1" "$E2E_TMP/header.png"
    xdotool key --window "$1" Return
    eventually 30 header_changed "$1"
}
install_by_pages() {
    wine "$1" </dev/null >"$E2E_TMP/setup.log" 2>&1 &
    local setup_pid=$! win page
    E2E_PIDS+=("$setup_pid")
    win=$(wait_window "Instalación de $name" 30)
    eventually 10 picture_shown "$win"
    for page in licence scope folder; do next_page "$win"; done
    xdotool key --window "$win" Return
    eventually 60 picture_shown "$win"
    xdotool key --window "$win" Return
    win=$(wait_preview 30)
    wait_exit "$setup_pid" 10
    [ "$EXIT_STATUS" = 0 ] || fail "the installer ended with status $EXIT_STATUS"
    click_on "$win" Cmdsalir
    eventually 10 window_gone "$PREVIEW_TITLE"
    echo "installer: installed page by page, the program started from the last page"
}

# uninstall ROOT FOLDER START_MENU: by the QuietUninstallString, as package managers do.
uninstall() {
    local root=$1 folder=$2 start_menu=$3 quiet
    quiet=$(read_key "$root" | sed -n 's/^QuietUninstallString|REG_SZ|//p')
    # Windows' own reading of a command line: the program in quotes, then its arguments.
    [[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "the QuietUninstallString is $quiet"
    wine "${BASH_REMATCH[1]}" ${BASH_REMATCH[2]} </dev/null >"$E2E_TMP/uninstall.log" 2>&1 ||
        { cat "$E2E_TMP/uninstall.log" >&2; fail "the uninstaller failed"; }
    # The uninstaller copies itself aside and returns at once; the copy does the work.
    removed() {
        [ ! -e "$(linux_path "$folder")" ] || { echo "left in $folder: $(find "$(linux_path "$folder")")" >&2; return 1; }
        [ ! -e "$(linux_path "$start_menu\\$name.lnk")" ] || { echo "the shortcut is left" >&2; return 1; }
        [ -z "$(read_key "$root")" ] || { echo "the entry in $root is left" >&2; return 1; }
        ! wine reg query "$root\\Software\\$maker" >/dev/null 2>&1 </dev/null || { echo "the installer's own key is left" >&2; return 1; }
    }
    eventually 30 removed
}

machine=$(windows_path '%ProgramW6432%')\\$name
machine_menu=$(windows_path '%ProgramData%')'\Microsoft\Windows\Start Menu\Programs'
user=$(windows_path '%LOCALAPPDATA%')\\Programs\\$name
user_menu=$(windows_path '%APPDATA%')'\Microsoft\Windows\Start Menu\Programs'

install /AllUsers HKLM "$machine" "$machine_menu"
start_by_shortcut "$machine_menu\\$name.lnk" "$machine"
# Installed again with no switch, over the install for everyone: the same place, the same entry.
install "" HKLM "$machine" "$machine_menu"
[ -z "$(read_key HKCU)" ] || fail "installed again, it also made an entry for the current user"
uninstall HKLM "$machine" "$machine_menu"

# Signed once, with a certificate made here and thrown away and timestamped by a timestamp server
# of the test's own (openssl ts behind a local web server): the packages the build makes with
# them, of which the installer is installed for the current user.
sign=$E2E_TMP/sign
mkdir "$sign"
certificate() { # certificate NAME EXTENDED_KEY_USAGE
    openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=$maker $1/O=$maker" -days 2 -addext "extendedKeyUsage=$2" \
        -keyout "$sign/$1.key" -out "$sign/$1.pem" 2>"$sign/openssl.log" || { cat "$sign/openssl.log" >&2; fail "cannot make a certificate"; }
}
certificate prueba codeSigning
certificate tsa critical,timeStamping
openssl pkcs12 -export -inkey "$sign/prueba.key" -in "$sign/prueba.pem" -passout pass:prueba -out "$sign/prueba.p12"
echo 01 >"$sign/serial"
cat >"$sign/tsa.cnf" <<CNF
[tsa]
default_tsa = tsa_config
[tsa_config]
serial = $sign/serial
signer_cert = $sign/tsa.pem
signer_key = $sign/tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha256, sha1
accuracy = secs:1
ess_cert_id_alg = sha256
CNF
python3 - "$sign/tsa.cnf" >"$sign/tsa.port" 2>"$sign/tsa.log" <<'PY' &
import http.server, subprocess, sys
class Reply(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1], "-queryfile", "/dev/stdin",
                                "-out", "/dev/stdout"], input=query, capture_output=True).stdout
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
server = http.server.HTTPServer(("127.0.0.1", 0), Reply)
print(server.server_address[1], flush=True)
server.serve_forever()
PY
E2E_PIDS+=($!)
eventually 10 test -s "$sign/tsa.port"
QUELVARO_SIGN_PKCS12=$sign/prueba.p12 QUELVARO_SIGN_PASSWORD=prueba QUELVARO_SIGN_TIMESTAMP=http://127.0.0.1:$(cat "$sign/tsa.port") \
    "$cpack" -G NSIS --config "$build/CPackConfig.cmake" -B "$sign/out" -D CPACK_OUTPUT_FILE_PREFIX="$sign/out" \
    >"$sign/cpack.log" 2>&1 || { cat "$sign/cpack.log" >&2; fail "cpack with a certificate failed"; }
signed_setup=$(find "$sign/out" -maxdepth 1 -name '*-setup.exe')
verify() {
    osslsigncode verify -CAfile "$sign/prueba.pem" -TSA-CAfile "$sign/tsa.pem" -in "$1" >"$sign/verify.log" 2>&1 ||
        { cat "$sign/verify.log" >&2; fail "$1 is not signed with the certificate given"; }
    grep -q '^Timestamp Server Signature verification: ok' "$sign/verify.log" ||
        { cat "$sign/verify.log" >&2; fail "$1 has no timestamp"; }
}
verify "$signed_setup"
echo "installer: osslsigncode verify $(basename "$signed_setup"):"
sed 's/^/    /' "$sign/verify.log"
install pages HKCU "$user" "$user_menu" "$signed_setup"
[ -z "$(read_key HKLM)" ] || fail "installed for the current user, it made an entry for everyone"
# Every program and DLL it installed: the zip's and the uninstaller.
unix=$(linux_path "$user")
(cd "$unix" && find . \( -iname '*.exe' -o -iname '*.dll' \) | sed 's|^\./||' | LC_ALL=C sort) >"$sign/installed.txt"
{ unzip -Z1 "$zip" | sed -n "s|^$top/||p" | grep -i '\.\(exe\|dll\)$'; echo Uninstall.exe; } | LC_ALL=C sort >"$sign/shipped.txt"
diff "$sign/shipped.txt" "$sign/installed.txt" >&2 || fail "the signed installer installed other programs and DLLs than the zip's"
while IFS= read -r file; do verify "$unix/$file"; done <"$sign/installed.txt"
echo "installer: $(wc -l <"$sign/installed.txt") programs and DLLs installed from it verified, Uninstall.exe among them"
start_by_shortcut "$user_menu\\$name.lnk" "$user"
install "" HKCU "$user" "$user_menu" "$signed_setup"
uninstall HKCU "$user" "$user_menu"
install /CurrentUser HKCU "$user" "$user_menu"
uninstall HKCU "$user" "$user_menu"
# With no switch and nothing installed, for the current user, as the README says.
install "" HKCU "$user" "$user_menu"
[ -z "$(read_key HKLM)" ] || fail "installed silently with no switch, it made an entry for everyone"
uninstall HKCU "$user" "$user_menu"
echo "installer: passed"
