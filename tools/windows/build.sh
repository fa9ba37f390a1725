#!/usr/bin/env bash
# Builds the Windows program and its tests into build-windows/ against the cross-built Qt (made
# once by qt.sh), with Wine as the tests' runner. Arguments go to the configuration.
set -euo pipefail
cd "$(dirname "$0")/../.."
qt=$(tools/windows/qt.sh | tail -n1)
werror=OFF
[ -n "${QUELVARO_WERROR:-}" ] && werror=ON
cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DCMAKE_BUILD_TYPE=Release -DQUELVARO_WERROR="$werror" "$@" >/dev/null
cmake --build build-windows -j"$(nproc)"
