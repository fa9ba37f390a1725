#!/usr/bin/env bash
# Builds the Windows program and its tests into build-windows/ against the cross-built Qt (made
# once by qt.sh), then the portable zip and the installer. Arguments go to the configuration.
# The Qt is Debian 13's: on another release the build runs in the Debian 13 root, into this
# clone's build-windows/ all the same.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
[ "$(debian_codename)" = trixie ] || exec tools/debian-root.sh trixie tools/windows/build.sh "$@"
ensure_packages build packaging windows
qt=$(tools/windows/qt.sh | tail -n1)
# A folder configured from another source folder (another clone, or this one outside the Debian 13
# root), which CMake would refuse, or against another Qt build, which CMake would keep, starts afresh.
cache=build-windows/CMakeCache.txt
if [ -f "$cache" ] && { ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$cache" ||
    { grep -q '^Qt6_DIR:' "$cache" && ! grep -qxF "Qt6_DIR:PATH=$qt/lib/cmake/Qt6" "$cache"; }; }; then
    find build-windows -mindepth 1 -delete
fi
werror=OFF
[ -n "${QUELVARO_WERROR:-}" ] && werror=ON
cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/tools/windows/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUELVARO_WERROR="$werror" $(compiler_cache) "$@" >/dev/null
cmake --build build-windows -j"$(nproc)"
# The portable zip and the installer, beside the program.
(cd build-windows && cpack >cpack.log 2>&1) || { cat build-windows/cpack.log >&2; exit 1; }
