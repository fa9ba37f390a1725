#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
ensure_packages
# The benchmark and the asset drawing are built too, so that they keep compiling.
build_project -DQUELVARO_BENCH=ON -DQUELVARO_TOOLS=ON
ctest --test-dir build --output-on-failure -j2

# A clang build with AddressSanitizer and UndefinedBehaviorSanitizer. It carries libFuzzer's coverage
# for the fuzz target of the size box, run for 30 s from the committed seeds; then every test runs
# again there, where any report fails the test (the packaging tests only repackage the program and
# are left out).
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DQUELVARO_FUZZ=ON \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-asan -j"$(nproc)"
mkdir -p build-asan/fuzz-corpus
if ! build-asan/tests/fuzz/fuzz_size -max_total_time=30 -dict=tests/fuzz/size.dict -artifact_prefix=build-asan/ \
    build-asan/fuzz-corpus tests/fuzz/corpus >build-asan/fuzz.log 2>&1; then
    cat build-asan/fuzz.log
    exit 1
fi
echo "Fuzzing the size box: $(tail -n 1 build-asan/fuzz.log)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp" \
    ctest --test-dir build-asan --output-on-failure -j2 -E '^packaging_'

# The Windows program, its zip and its installer, built against the cross-built Qt (made once and
# kept outside the clone), tested under Wine.
tools/windows/build.sh
tests/windows/run.sh build-windows -j2
