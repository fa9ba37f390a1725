#!/usr/bin/env bash
# The real Windows program over UI Automation, as a Windows screen reader meets it: uiareader.exe
# runs beside it in the same prefix and writes down what it reads (its first lines say how).
# Checked here: the name and control type of every control of the preview; the focus, heard as
# focus-changed events (and asked for, where Wine finds it), through a round of Tab in the window's
# tab order and back by Shift+Tab; and that the arrow keys on the font and the colour list leave the
# focus on the list and tell of the new entry as a screen reader hears it: the entry selected in the
# list, the box's text changed.
# A Wine without UI Automation for clients (Wine 8 has no CUIAutomation) skips the test (status 77).
#   screenreader.sh ZIP UIAREADER_EXE
source "$(dirname "$0")/../e2e/lib.sh" "$1"

started=$(date +%s%N)
start_x
use_fixed_fonts
wine_prefix
cp "$2" "$WINEPREFIX/drive_c/uiareader.exe"
start_app
win=$(wait_preview 60)
READ=$WINEPREFIX/drive_c/uiareader.txt
wine 'C:\uiareader.exe' "$PREVIEW_TITLE" 'C:\uiareader.txt' </dev/null >"$E2E_TMP/uiareader.log" 2>&1 &
E2E_PIDS+=($!)

# Whether the reader has written a line matching a regular expression (grep's basic ones, where
# "|" is itself).
reads() {
    grep -q "$1" "$READ" 2>/dev/null || { echo "the reader wrote no line matching '$1'" >&2; return 1; }
}
# How many lines the reader has written that start with a text.
count() {
    awk -v start="$1" 'index($0, start) == 1 { n++ } END { print n + 0 }' "$READ" 2>/dev/null || echo 0
}
# Whether the reader has written more lines starting with a text than before: reads_more TEXT BEFORE.
reads_more() {
    [ "$(count "$1")" -gt "$2" ] || { echo "the reader wrote no new line '$1...' (still $2)" >&2; return 1; }
}
# The last element the reader found focused, as NAME|TYPE.
last_focused() {
    grep '^focused ' "$READ" | tail -n1 | cut -d' ' -f2-
}
focused_is() {
    [ "$(last_focused)" = "$1" ] || { echo "the focus is on '$(last_focused)', not on '$1'" >&2; return 1; }
}

eventually 60 reads '^\(ready\|unavailable\|error\)'
if reads '^unavailable' 2>/dev/null; then
    echo "SKIP: $(wine --version) offers a UI Automation client nothing: $(cat "$READ")"
    exit 77
fi
reads '^ready' 2>/dev/null || fail "the reader failed: $(cat "$READ" "$E2E_TMP/uiareader.log")"

# Every control by its name and type, the lists named by their labels; the two rules are nameless
# groups, which a screen reader passes over. The count label's number includes Wine's own families.
reads '^window Quelvaro - Dorvane|Window|Qt$' || fail "the window reads $(grep '^window' "$READ")"
expected=("Fuente|ComboBox" "Color|ComboBox" "Tamaño|ComboBox" "Texto de ejemplo|Edit" "Negrita|CheckBox"
    "Cursiva|CheckBox" "Subrayada|CheckBox" "Iniciar Visualización Automática|Button"
    "Finalizar Visualización Automática|Button" "Acerca De...|Button" "Salir|Button" "Visualización Normal|Text"
    "Color :|Text" "Tamaño :|Text" "Visualización Automática|Text" "|Group" "|Group")
wanted=$(printf '%s\n' "${expected[@]}" " N fuentes listadas|Text" | sort)
controls=$(grep '^control ' "$READ" | cut -d' ' -f2- | sed -E 's/^ [0-9]+ fuentes listadas\|Text$/ N fuentes listadas|Text/' | sort)
[ "$controls" = "$wanted" ] ||
    fail "the controls over UI Automation differ (< missing, > other): $(diff <(echo "$wanted") <(echo "$controls") | grep '^[<>]' | paste -sd,)"
# Wine 10 reads no Value property (E_NOTIMPL); where one is read, it is the box's text (the font
# list's first entry depends on Wine's own families).
for value in "Color|Negro" "Tamaño|10" "Texto de ejemplo|Texto ejemplo"; do
    read_value=$(grep -F "value ${value%%|*}|" "$READ") || fail "no Value read for ${value%%|*}"
    [[ $read_value == "value $value" || $read_value == "value ${value%%|*}|- ("* ]] ||
        fail "$read_value, not '$value'"
done

# The focus starts on the font list; Tab visits the controls in the tab order (Finalizar is
# disabled) and comes back to the font list. Each step comes as a focus-changed event, which is what
# a screen reader speaks, and is the focus when asked for, where the automation core finds it:
# Wine 10's GetFocusedElement stops at the desktop (a nameless pane) and never asks the program.
eventually 10 reads '^focused '
asked=yes
[ "$(last_focused)" != "|Pane" ] || asked=no
[ "$asked" = no ] || eventually 10 focused_is "Fuente|ComboBox"
step() {
    local events
    events=$(count "event focus $2")
    xdotool key "$1"
    eventually 10 reads_more "event focus $2" "$events"
    [ "$asked" = no ] || eventually 10 focused_is "$2"
}
for control in "Negrita|CheckBox" "Cursiva|CheckBox" "Subrayada|CheckBox" "Tamaño|ComboBox" "Salir|Button" \
    "Acerca De...|Button" "Texto de ejemplo|Edit" "Color|ComboBox" "Iniciar Visualización Automática|Button" \
    "Fuente|ComboBox"; do
    step Tab "$control"
done

# After an arrow key on a list the new entry is selected in its drop-down list and the box's text
# changes (Qt's change of the Value property, which Wine 10 cannot pass on to a client, comes with
# them), and the focus stays on the list: arrow_on LIST KEY. The entry selected is left in $ENTRY.
arrow_on() {
    local list=$1 key=$2 selected changed focus_lines focus_events text
    selected=$(count "event selected ")
    changed=$(count "event text-changed $list|ComboBox|")
    focus_lines=$(count "focused ")
    focus_events=$(count "event focus ")
    xdotool key "$key"
    eventually 10 reads_more "event selected " "$selected"
    eventually 10 reads_more "event text-changed $list|ComboBox|" "$changed"
    settle 0.5
    [ "$(count "focused ")" = "$focus_lines" ] && [ "$(count "event focus ")" = "$focus_events" ] ||
        fail "after $key on $list the focus went to $(last_focused): $(grep '^event focus' "$READ" | tail -n1)"
    ENTRY=$(grep '^event selected ' "$READ" | tail -n1 | cut -d' ' -f3-)
    [[ $ENTRY == *"|ListItem" ]] || fail "after $key on $list the element selected is $ENTRY"
    ENTRY=${ENTRY%|ListItem}
    text=$(grep -F "event text-changed $list|ComboBox|" "$READ" | tail -n1)
    [[ $text == *"|$ENTRY" || $text == *"|- ("* ]] || fail "$text, not '$ENTRY'"
}
# The font list's entries include Wine's own families, which come and go with Wine's releases:
# Down, Up and Down again speak the second entry, the first and the second again.
arrow_on Fuente Down
second=$ENTRY
arrow_on Fuente Up
[ "$ENTRY" != "$second" ] || fail "Up on the font list selected '$ENTRY' again"
arrow_on Fuente Down
[ "$ENTRY" = "$second" ] || fail "Down, Up and Down on the font list selected '$second', then '$ENTRY'"
step shift+Tab "Iniciar Visualización Automática|Button"
step shift+Tab "Color|ComboBox"
arrow_on Color Down
[ "$ENTRY" = "Rojo oscuro" ] || fail "Down on the colour list from Negro selected '$ENTRY'"

click_on "$win" Cmdsalir
wait_exit "$APP_PID" 10
[ "$EXIT_STATUS" = 0 ] || fail "Salir ended with status $EXIT_STATUS"
eventually 10 reads '^gone$'
echo "screenreader: passed in $((($(date +%s%N) - started) / 1000000)) ms with $(wine --version);" \
    "$(grep -c '^event ' "$READ") events; Value $(grep -q '^value .*|- (' "$READ" && echo not) read;" \
    "GetFocusedElement $([ "$asked" = yes ] && echo followed || echo "not followed: $(last_focused)")"
