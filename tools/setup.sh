# Shared by run.sh and test.sh: the Debian packages the project needs, and the build.

# One list, grouped by purpose. run.sh installs the build and run groups, test.sh all of them. A
# name in braces is one that Debian's releases spell differently; release_package looks it up.
declare -A PACKAGE_GROUPS=(
    # building the program
    [build]="cmake g++ make pkg-config qt6-base-dev libfontconfig-dev libxcb1-dev"
    # running it: native Wayland through Qt's plugin, Qt's own words in the user's language, faces
    # for the labels; and, with no display, a private X server, a window manager and a screenshot
    [run]="qt6-wayland qt6-translations-l10n fontconfig fonts-dejavu-core {liberation2}
        xvfb openbox xdotool x11-utils imagemagick"
    # the end-to-end tests' helpers, their reading of words off the screen and a desktop's fonts,
    # hostile fonts (built and from packages), sanitizers, fuzzing and the leak check; a compiler
    # cache, so that the suite's builds in a fresh clone reuse what an earlier clone compiled
    [test]="x11-xserver-utils wmctrl tesseract-ocr fonts-dejavu-extra python3-fonttools
        fonts-noto-color-emoji fonts-terminus-otb clang {clang-rt} valgrind clang-format ccache"
    # the desktops the Linux program is tested on: GNOME Shell and KWin with its Breeze frames, run
    # headless, read over D-Bus and driven through KWin's fake-input protocol
    [desktops]="gnome-shell kwin-wayland kwin-style-breeze plasma-wayland-protocols libwayland-dev
        python3-gi"
    # the screen-reader test: a private D-Bus session with the accessibility bus, read with pyatspi
    # and listened to by Orca
    [screenreader]="dbus-daemon at-spi2-core python3-pyatspi orca"
    # the Wayland test: a headless compositor with its XWayland, and a keyboard for it
    [wayland]="sway wtype xwayland"
    # packaging: the Windows resource compiler, desktop and AppStream validators, the Debian
    # package and its checker
    [packaging]="binutils-mingw-w64-x86-64 desktop-file-utils appstream dpkg-dev file lintian"
    # the Windows program: cross compiler and Qt's build, Wine with its own fonts to test it, a
    # private print server for a real default printer, zip and NSIS to package it, and osslsigncode
    # to sign it (with a certificate openssl makes for the test)
    [windows]="g++-mingw-w64-x86-64-posix ninja-build perl wine wine64 fonts-wine python3-pefile
        cups cups-client cups-bsd cups-filters zip unzip nsis osslsigncode openssl"
    # the benchmark's synthetic font sets
    [bench]="python3 python3-fonttools"
    # the stage that runs the tests in a fresh root of the current Debian release
    [chroot]="debootstrap"
)

# The release's own name for a package of the list that releases spell differently, or a failure
# while apt knows neither. Liberation 2 (the faces the tests copy) is fonts-liberation2 where
# fonts-liberation is still version 1, and fonts-liberation itself from Debian 13 on; clang's
# sanitizer and fuzzer runtime carries the version of the release's clang in its name.
release_package() {
    local version
    case $1 in
    {liberation2})
        version=$(apt-cache show --no-all-versions fonts-liberation 2>/dev/null | sed -n 's/^Version: //p')
        [ -n "$version" ] || return 1
        # Compared without its epoch, which is no part of the faces' own version.
        if dpkg --compare-versions "${version#*:}" ge 2; then echo fonts-liberation; else echo fonts-liberation2; fi
        ;;
    {clang-rt})
        version=$(apt-cache show --no-all-versions clang 2>/dev/null | sed -n 's/^Depends: .*\bclang-\([0-9]\+\)\b.*/\1/p')
        [ -n "$version" ] || return 1
        echo "libclang-rt-$version-dev"
        ;;
    *) echo "$1" ;;
    esac
}

# The code name of the Debian release this machine runs: bookworm, trixie.
debian_codename() {
    (. /etc/os-release && echo "${VERSION_CODENAME:-}")
}

# Runs apt-get as root; with QUELVARO_LOG set, its output goes to that file, shown only if it fails.
apt_get() {
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    if [ -z "${QUELVARO_LOG:-}" ]; then
        DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "$@"
        return
    fi
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "$@" >>"$QUELVARO_LOG" 2>&1 ||
        { tail -n 30 "$QUELVARO_LOG" >&2; echo "setup.sh: apt-get $1 failed; see $QUELVARO_LOG" >&2; return 1; }
}

# Installs the packages of the named groups (every group when none is named) that are missing. The
# package lists are read once, and only when something is missing or a name must be looked up.
ensure_packages() {
    local groups=("$@") wanted=() missing=() pkg group updated=
    [ ${#groups[@]} -eq 0 ] && groups=("${!PACKAGE_GROUPS[@]}")
    for group in "${groups[@]}"; do
        [ -n "${PACKAGE_GROUPS[$group]+set}" ] || { echo "setup.sh: no package group '$group'" >&2; return 1; }
        read -r -a wanted <<<"$(echo ${PACKAGE_GROUPS[$group]})"
        for pkg in "${wanted[@]}"; do
            if [[ $pkg == {* ]]; then
                if ! release_package "$pkg" >/dev/null && [ -z "$updated" ]; then
                    apt_get update -qq
                    updated=1
                fi
                pkg=$(release_package "$pkg") || { echo "setup.sh: apt knows no package for $pkg" >&2; return 1; }
            fi
            dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
        done
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ -n "${QUELVARO_LOG:-}" ]; then
        echo "Installing ${#missing[@]} packages (log: $QUELVARO_LOG)"
    else
        echo "Installing: ${missing[*]}"
    fi
    [ -n "$updated" ] || apt_get update -qq
    apt_get install -y --no-install-recommends "${missing[@]}"
}

# The configuration's arguments that compile through ccache, where it is installed. Its cache stays
# in ~/.cache/ccache, outside the clone; paths under the clone are hashed relative to it, so that
# another clone of the same sources finds what this one compiled. Qt Test's definitions of the
# test's folders are left out of the reckoning: the tests take them back (tests/CMakeLists.txt).
export CCACHE_BASEDIR="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)" CCACHE_NOHASHDIR=1
export CCACHE_IGNOREOPTIONS="-DQT_TESTCASE_BUILDDIR=* -DQT_TESTCASE_SOURCEDIR=*"
compiler_cache() {
    command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache
    return 0
}

# Configures build/ for the program alone, leaving out what only its tests, benchmark or tools need,
# and builds it with one line of progress; the build's own output goes to build/build.log, shown if
# it fails.
build_program() {
    local log=build/build.log start=$SECONDS
    mkdir -p build
    : >"$log"
    echo "Building build/quelvaro (log: $log)"
    if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DQUELVARO_BENCH=OFF \
        -DQUELVARO_TOOLS=OFF $(compiler_cache) >>"$log" 2>&1 ||
        ! cmake --build build --target quelvaro -j"$(nproc)" >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        echo "The build failed; its whole output is in $(pwd)/$log" >&2
        return 1
    fi
    echo "Built in $((SECONDS - start)) s"
}

# Configures and builds build/; arguments go to the configuration (for example -DQUELVARO_BENCH=ON).
build_project() {
    local werror=OFF
    [ -n "${QUELVARO_WERROR:-}" ] && werror=ON
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DQUELVARO_WERROR="$werror" \
        $(compiler_cache) "$@" >/dev/null
    cmake --build build -j"$(nproc)"
}
