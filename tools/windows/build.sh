#!/usr/bin/env bash
# Builds the Windows program and its tests into build-windows/ against the cross-built Qt (made
# once by qt.sh), then the portable zip and the installer. Arguments go to the configuration.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
ensure_packages build packaging windows
qt=$(tools/windows/qt.sh | tail -n1)
werror=OFF
[ -n "${QUELVARO_WERROR:-}" ] && werror=ON
cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUELVARO_WERROR="$werror" $(compiler_cache) "$@" >/dev/null
cmake --build build-windows -j"$(nproc)"
# The portable zip and the installer, beside the program.
(cd build-windows && cpack >cpack.log 2>&1) || { cat build-windows/cpack.log >&2; exit 1; }
