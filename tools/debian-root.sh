#!/usr/bin/env bash
# Runs a command of this project inside a fresh Debian root of another release, as a new user of
# that release would meet it: tools/debian-root.sh CODENAME COMMAND [ARGS...], e.g.
#   tools/debian-root.sh trixie ./test.sh linux
# The root is made once with debootstrap (minbase, git and certificates, as a newcomer starts) from
# the Debian mirror this machine's apt uses, and kept pristine under ~/.cache/quelvaro/; each run
# works in a new copy of it, with the working tree's files (tracked and new, not ignored) copied in.
# Downloaded packages, the compiler cache and the project's own cache (the Windows Qt) are kept
# beside it, so that a later run installs and compiles from them. Everything mounted is unmounted when the script ends, even on failure.
# To look into a failure, QUELVARO_ROOT=DIR works in DIR instead: made from the pristine root when
# absent, kept afterwards, and taken as it is by later runs, with what they installed and built.
set -euo pipefail
cd "$(dirname "$0")/.."
codename=${1:?usage: tools/debian-root.sh CODENAME COMMAND [ARGS...]}
shift
[ $# -gt 0 ] || { echo "debian-root.sh: no command to run" >&2; exit 2; }
# debootstrap, mount and chroot need root.
[ "$(id -u)" -eq 0 ] || exec sudo -E "$0" "$codename" "$@"
source tools/setup.sh
ensure_packages chroot

cache=${XDG_CACHE_HOME:-$HOME/.cache}/quelvaro/debian-$codename
pristine=$cache/pristine root=${QUELVARO_ROOT:-$cache/run}
mkdir -p "$cache/archives/partial" "$cache/ccache" "$cache/quelvaro"

# The mirror of this machine's Debian release, and of its security updates, as apt has them.
mirror_of() {
    apt-get indextargets --format '$(LABEL)|$(CODENAME)|$(REPO_URI)' 'Identifier: Packages' |
        awk -F'|' -v label="$1" '$1 == label && ($2 !~ /-/ || label != "Debian") { print $3; exit }'
}
mirror=$(mirror_of Debian)
security=$(mirror_of Debian-Security)
[ -n "$mirror" ] || { echo "debian-root.sh: this machine's apt names no Debian mirror" >&2; exit 1; }

if [ ! -f "$pristine/.made" ]; then
    echo "Making a pristine Debian $codename root from $mirror (once; kept in $pristine)"
    rm -rf "$pristine"
    debootstrap --variant=minbase --include=git,ca-certificates "$codename" "$pristine" "$mirror" \
        >"$cache/debootstrap.log" 2>&1 || { tail -n 30 "$cache/debootstrap.log" >&2; exit 1; }
    {
        echo "deb $mirror $codename main"
        echo "deb $mirror $codename-updates main"
        [ -z "$security" ] || echo "deb $security $codename-security main"
    } >"$pristine/etc/apt/sources.list"
    touch "$pristine/.made"
fi

mounted=()
cleanup() {
    local status=$? pid i
    # Whatever the command left running in the root goes first, or its mounts stay busy.
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
    done
    [ -n "${QUELVARO_ROOT:-}" ] || rm -rf "$root"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A mount of something at a path inside the root, undone by cleanup: bind SOURCE PATH [OPTIONS...].
bind() {
    mkdir -p "$root$2"
    mount "${@:3}" "$1" "$root$2"
    mounted+=("$root$2")
}

if grep -q " $root" /proc/mounts; then
    echo "debian-root.sh: $root is still mounted from an earlier run; is one running?" >&2
    trap - EXIT
    exit 1
fi
if [ -z "${QUELVARO_ROOT:-}" ] || [ ! -d "$root" ]; then
    rm -rf "$root"
    cp -a "$pristine" "$root"
fi
root=$(realpath "$root")
cp /etc/resolv.conf "$root/etc/resolv.conf"
# A root without an init: packages install their services without starting them.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
work=/root/quelvaro
mkdir -p "$root$work"
git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf - | tar -C "$root$work" -xf -

bind /proc /proc -t proc
bind /sys /sys --rbind
mount --make-rslave "$root/sys"
bind /dev /dev --bind
bind /dev/pts /dev/pts --bind
bind tmpfs /dev/shm -t tmpfs -o mode=1777
bind "$cache/archives" /var/cache/apt/archives --bind
bind "$cache/ccache" /root/.cache/ccache --bind
bind "$cache/quelvaro" /root/.cache/quelvaro --bind
# The Windows build is made in the root, and stays in the clone for its packages.
mkdir -p build-windows
bind "$PWD/build-windows" "$work/build-windows" --bind

echo "Running '$*' in a fresh Debian $codename root ($(cat "$root/etc/debian_version"))"
env -i HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    ${CI:+CI="$CI"} ${QUELVARO_WERROR:+QUELVARO_WERROR="$QUELVARO_WERROR"} \
    chroot "$root" bash -c 'cd "$0" && exec "$@"' "$work" "$@"
