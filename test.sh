#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: ./test.sh [linux|sanitizers|debian13|windows ...]
# With no stage named every stage runs, each whether or not an earlier one failed; the results are
# listed at the end and the command fails if any stage failed.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

# The program and every test of it; the benchmark and the asset drawing are built too, so that
# they keep compiling.
stage_linux() {
    ensure_packages build run test desktops screenreader wayland packaging
    build_project -DQUELVARO_BENCH=ON -DQUELVARO_TOOLS=ON
    ctest --test-dir build --output-on-failure -j2
}

# A clang build with AddressSanitizer and UndefinedBehaviorSanitizer. It carries libFuzzer's coverage
# for the fuzz target of the size box, run for 30 s from the committed seeds; then every test runs
# again there, where any report fails the test (the packaging tests only repackage the program and
# are left out).
stage_sanitizers() {
    ensure_packages build run test desktops screenreader wayland
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUELVARO_FUZZ=ON $(compiler_cache) \
        -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
    cmake --build build-asan -j"$(nproc)"
    mkdir -p build-asan/fuzz-corpus
    if ! build-asan/tests/fuzz/fuzz_size -max_total_time=30 -dict=tests/fuzz/size.dict -artifact_prefix=build-asan/ \
        build-asan/fuzz-corpus tests/fuzz/corpus >build-asan/fuzz.log 2>&1; then
        cat build-asan/fuzz.log
        return 1
    fi
    echo "Fuzzing the size box: $(tail -n 1 build-asan/fuzz.log)"
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp" \
        ctest --test-dir build-asan --output-on-failure -j2 -E '^packaging_'
}

# The Linux stage again, as a new user of Debian 13 meets it: in a fresh root of that release (made
# once with debootstrap and kept outside the clone), from installing the packages on.
stage_debian13() {
    tools/debian-root.sh trixie ./test.sh linux
}

# The Windows program, its zip and its installer, built against Debian 13's Qt cross-built for
# Windows (made once and kept outside the clone) and tested under Debian 13's Wine: in the Debian 13
# root, unless this machine runs Debian 13. The build folder is the clone's own either way.
stage_windows() {
    if [ "$(debian_codename)" != trixie ]; then
        tools/debian-root.sh trixie ./test.sh windows
        return
    fi
    ensure_packages build run test packaging windows
    tools/windows/build.sh
    tests/windows/run.sh build-windows -j2
}

stages=("$@")
[ ${#stages[@]} -eq 0 ] && stages=(linux sanitizers debian13 windows)
for stage in "${stages[@]}"; do
    declare -F "stage_$stage" >/dev/null || { echo "test.sh: no stage '$stage' (linux, sanitizers, debian13, windows)" >&2; exit 2; }
done

results=() failed=0
for stage in "${stages[@]}"; do
    echo "=== test.sh: $stage"
    start=$SECONDS
    # Each stage in a subshell of its own, so that one that fails leaves the others to run; not as an
    # if's condition, where bash would ignore set -e inside it.
    set +e
    (set -e; "stage_$stage")
    status=$?
    set -e
    if [ $status -eq 0 ]; then
        results+=("$stage: passed ($((SECONDS - start)) s)")
    else
        results+=("$stage: FAILED ($((SECONDS - start)) s)")
        failed=1
    fi
done
echo "=== test.sh: results"
printf '%s\n' "${results[@]}"
exit $failed
