# Shared by run.sh and test.sh: the Debian packages the project needs, and the build.

PACKAGES=(
    # build
    cmake g++ make pkg-config qt6-base-dev libfontconfig-dev libxcb1-dev
    # native Wayland: Qt's platform plugin for it
    qt6-wayland
    # running on a machine with no display, end-to-end tests and screenshots
    xvfb openbox xdotool x11-utils x11-xserver-utils wmctrl imagemagick
    # faces for the labels and a small fixed font set for the tests
    fontconfig fonts-dejavu-core fonts-liberation2
    # packaging: the Windows resource compiler, desktop and AppStream validators, the Debian package
    binutils-mingw-w64-x86-64 desktop-file-utils appstream dpkg-dev file
    # hostile fonts (built and from packages), sanitizers, fuzzing and the leak check
    python3-fonttools fonts-noto-color-emoji fonts-terminus-otb clang libclang-rt-14-dev valgrind
    # the screen-reader test: a private D-Bus session with the accessibility bus, read with pyatspi
    # and listened to by Orca
    dbus-daemon at-spi2-core python3-pyatspi orca
    # the Wayland test: a headless compositor with its XWayland, and a keyboard for it
    sway wtype xwayland
    # formatting check
    clang-format
    # the Windows program: cross compiler and Qt's build, Wine to test it, zip and NSIS to package it
    g++-mingw-w64-x86-64-posix ninja-build perl wine wine64 python3-pefile zip unzip nsis
)

ensure_packages() {
    local missing=() pkg
    for pkg in "${PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

# Configures and builds build/; arguments go to the configuration (for example -DQUELVARO_BENCH=ON).
build_project() {
    local werror=OFF
    [ -n "${QUELVARO_WERROR:-}" ] && werror=ON
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUELVARO_WERROR="$werror" "$@" >/dev/null
    cmake --build build -j"$(nproc)"
}
