#!/usr/bin/env bash
# The real program started on the hostile font set, run through a little automatic viewing and
# ended with "Salir" leaks nothing of ours: under valgrind no block is definitely lost, and no
# memory error happens, where our own code called the allocator or made the access. Qt's leaks
# stay Qt's even when our code called into Qt (the accessibility bridge's D-Bus thread, say).
# A sanitizer build runs without valgrind: its own LeakSanitizer checks the end.
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)

/usr/bin/python3 "$root/tests/hostile/make-fonts.py" "$E2E_TMP/hostile" >/dev/null
use_fonts "$E2E_TMP/hostile/fonts/"*
start_x

runner=(valgrind --leak-check=full --show-leak-kinds=definite --child-silent-after-fork=yes
    --num-callers=50 --fullpath-after= --log-file="$E2E_TMP/valgrind.%p")
symbols=$(nm -D --defined-only "$QUELVARO" 2>/dev/null || true)
[[ $symbols == *" __asan_init"* ]] && runner=()
"${runner[@]}" "$QUELVARO" >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
E2E_PIDS+=("$APP_PID")
win=$(wait_preview 120)
list_edge "$win" "$E2E_TMP/edge-enabled.png"
sample "$win" "$E2E_TMP/step0.png"
click_on "$win" cmdviau
# Two steps of automatic viewing, however slowly they come under valgrind.
stepped() {
    sample_differs "$win" "$1" || { echo "automatic viewing did not step" >&2; return 1; }
    cp "$E2E_TMP/sample-now.png" "$2"
}
eventually 60 stepped "$E2E_TMP/step0.png" "$E2E_TMP/step1.png"
eventually 60 stepped "$E2E_TMP/step1.png" "$E2E_TMP/step2.png"
click_on "$win" cmdfinau
eventually 60 list_edge_is "$win" "$E2E_TMP/edge-enabled.png"
click_on "$win" Cmdsalir
wait_exit "$APP_PID" 120
[ "$EXIT_STATUS" = 0 ] || { cat "$E2E_TMP/app.log" >&2; fail "the program ended with status $EXIT_STATUS"; }
[ ${#runner[@]} -eq 0 ] && { echo "leaks: passed (LeakSanitizer)"; exit 0; }

log=$(ls "$E2E_TMP"/valgrind.* | head -n1)
grep -q "ERROR SUMMARY" "$log" || fail "valgrind wrote no summary"
ours=$(awk -v root="$root/" '
    function finish() { if (mine) { print record; n++ } record = ""; decided = 0; mine = 0 }
    /^==[0-9]+== *$/ { finish(); next }
    { record = record "\n" $0 }
    / (at|by) 0x/ && !decided {
        if ($0 ~ /vgpreload|\/libc\.so|libstdc\+\+|\/usr\/include\/c\+\+\//) next
        decided = 1
        mine = index($0, "(" root) > 0
    }
    END { finish() }' "$log")
grep -E "definitely lost:|ERROR SUMMARY" "$log" | sed 's/^==[0-9]*== *//'
[ -z "$ours" ] || { echo "$ours" >&2; fail "valgrind found leaks or memory errors in our code"; }
echo "leaks: passed"
