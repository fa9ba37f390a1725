# Sourced by the end-to-end tests after lib.sh: the program in a language, and Qt's own words in
# its menus read off the screen as a person reads them (tesseract, one line of text per entry).

# Starts the program, as start_app does, in a language such as es_ES: LANG, with the C library's
# locale of that name compiled for the test, since Wine takes the Windows user's language from the
# C library's locale and the machine may not have generated it.
start_app_in() {
    local name=$1.UTF-8
    if [ ! -d "$E2E_TMP/locale/$name" ]; then
        mkdir -p "$E2E_TMP/locale"
        localedef -i "$1" -f UTF-8 "$E2E_TMP/locale/$name" >/dev/null 2>&1 || true
        [ -d "$E2E_TMP/locale/$name" ] || fail "cannot compile the locale $name"
    fi
    LOCPATH=$E2E_TMP/locale LANG=$name LC_ALL= LANGUAGE= start_app
}

# The text of a part of the screen into $E2E_TMP/read.txt: read_screen X Y WIDTH HEIGHT. Enlarged,
# and grey (a menu's disabled entries) made black on a light background, for reading.
read_screen() {
    import -window root -crop "$3x$4+$1+$2" +repage "$E2E_TMP/read.png" 2>/dev/null || return 1
    convert "$E2E_TMP/read.png" -colorspace Gray -resize 300% -threshold 85% "$E2E_TMP/read-large.png"
    tesseract "$E2E_TMP/read-large.png" "$E2E_TMP/read" --psm 6 >/dev/null 2>&1
}

# Whether the screen below and right of a point shows every word given and none of those after
# "--": shows_words X Y SCALE WORD... [-- WORD...].
shows_words() {
    local x=$1 y=$2 scale=$3 word absent=false
    shift 3
    read_screen "$x" "$y" $((260 * scale)) $((230 * scale)) || { echo "no picture of the screen" >&2; return 1; }
    for word in "$@"; do
        if [ "$word" = -- ]; then absent=true; continue; fi
        if grep -qw "$word" "$E2E_TMP/read.txt"; then
            ! $absent || { echo "the menu says '$word': $(tr '\n' ' ' <"$E2E_TMP/read.txt")" >&2; return 1; }
        else
            $absent || { echo "no '$word' in the menu: $(tr '\n' ' ' <"$E2E_TMP/read.txt")" >&2; return 1; }
        fi
    done
}

# Opens the context menu of a window's sample box with the right button, waits until it reads as
# expected (shows_words' words) and closes it: sample_menu_says WINDOW SCALE WORD... [-- WORD...].
sample_menu_says() {
    local win=$1 scale=$2 c x y left top
    shift 2
    c=$(centre txtvisu "$scale") || exit 1
    read -r x y <<<"$c"
    read -r left top <<<"$(origin "$win")"
    xdotool mousemove --window "$win" "$x" "$y" click 3
    eventually 10 shows_words $((left + x)) $((top + y)) "$scale" "$@"
    xdotool key Escape
}

# Whether a rectangle of a window, "x y width height" in its pixels, reads as one line of text
# matching an extended regular expression (accented letters read as they may: "Tamaño" may come out
# "Tamano"): text_reads WINDOW "X Y W H" REGEX [scale]. The picture is enlarged, and its contrast
# stretched and cut, at a few sizes and levels, as small text, light grey text on a disabled button
# and black text on a grey label read best at different ones. The stretch takes the darkest pixel to
# black and the lightest to white: ImageMagick 7's -normalize clips differently from 6's and leaves
# letters too thick to read. The reading that matched is left in $TEXT_READ.
text_reads() {
    local win=$1 pattern=$3 scale=${4:-1} size level read="" x y w h
    read -r x y w h <<<"$2"
    import -window "$win" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_TMP/text.png" 2>/dev/null ||
        { echo "no picture of window $win" >&2; return 1; }
    for size in 400 500 600; do
        for level in 55 65 75; do
            convert "$E2E_TMP/text.png" -colorspace Gray -resize $((size / scale))% -auto-level \
                -threshold "$level%" -bordercolor white -border 20 "$E2E_TMP/text-read.png"
            read=$(tesseract "$E2E_TMP/text-read.png" - --psm 7 2>/dev/null | head -n1)
            grep -Eq "$pattern" <<<"$read" && { TEXT_READ=$read; return 0; }
        done
    done
    echo "($2) reads '$read', not /$pattern/" >&2
    return 1
}

# Chooses a family in a window's font list, which has the focus, by a letter typed as a person
# would, and waits until the name chosen reads as expected: choose_family WINDOW LETTER REGEX. The
# name is read inside the dotted line the box draws around it while it has the focus.
choose_family() {
    local lx ly lw lh
    read -r lx ly lw lh <<<"$(interior CmbNDL)"
    xdotool windowactivate --sync "$1"
    xdotool key "$2"
    eventually 5 text_reads "$1" "$((lx + 3)) $((ly + 3)) $((lw - 40)) $((lh - 6))" "$3"
}

# Whether a control of a window reads as a whole caption: caption_reads WINDOW NAME REGEX [scale].
caption_reads() {
    local b
    b=$(box "$2" "${4:-1}") || exit 1
    text_reads "$1" "$b" "$3" "${4:-1}" || { echo "$2: that is its caption" >&2; return 1; }
}

# Every caption of the preview window, whole.
preview_captions_whole() {
    local win=$1 scale=${2:-1} row
    local -a rows=(
        "Label1|Visualizaci.{1,3}n Normal"
        "Label2|Color ?:"
        "Label3|Tama.{1,3}o ?:"
        "cnegri|Negrita"
        "ccursi|Cursiva"
        "csubra|Subrayada"
        "Label4|Visualizaci.{1,3}n Autom.{1,3}tica"
        "cmdviau|Iniciar Visualizaci.{1,3}n Autom.{1,3}tica"
        "cmdfinau|Finalizar Visualizaci.{1,3}n Autom.{1,3}tica"
        "cmdcerca|Acerca De\.\.\."
        "Cmdsalir|Salir"
        "lblcant|[0-9]+ fuentes listadas"
    )
    for row in "${rows[@]}"; do
        caption_reads "$win" "${row%%|*}" "${row#*|}" "$scale" || return 1
    done
}

# Whether the preview's captions that ask for "MS Sans Serif" are drawn in a sans-serif face,
# whichever face stands in for it: none of the upright strokes standing alone in them (l, i, T)
# ends in a foot, as in a serif face. captions_sans_serif WINDOW [scale].
captions_sans_serif() {
    local win=$1 scale=${2:-1} name b x y w h strokes footed all=0 serifs=0
    for name in Label1 Label2 Label3 Label4; do
        b=$(box "$name" "$scale") || exit 1
        read -r x y w h <<<"$b"
        import -window "$win" -crop "${w}x${h}+${x}+${y}" +repage "$E2E_TMP/caption.png" 2>/dev/null ||
            { echo "no picture of window $win" >&2; return 1; }
        convert "$E2E_TMP/caption.png" -colorspace Gray -depth 8 "pgm:$E2E_TMP/caption.pgm"
        read -r strokes footed <<<"$(python3 "$E2E_DIR/serifs.py" "$E2E_TMP/caption.pgm")"
        all=$((all + strokes)) serifs=$((serifs + footed))
    done
    [ "$all" -gt 0 ] || { echo "no upright stroke in the captions to tell their face by" >&2; return 1; }
    [ "$serifs" = 0 ] || { echo "$serifs of the $all upright strokes in the captions stand on serifs" >&2; return 1; }
}
