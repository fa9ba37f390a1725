#!/usr/bin/env bash
# Cross-builds Qt's qtbase for 64-bit Windows (MinGW-w64) and caches it outside
# the clone, so every checkout and CI run on this machine shares one build.
#
#   QT=$(tools/windows/qt.sh | tail -n1)
#
# The last stdout line is the install prefix; everything else goes to stderr or
# to the log beside the cache. The source is Debian's own qt6-base package of
# the exact version installed on the host, because the host's moc/rcc/uic
# (QT_HOST_PATH) must match the target Qt, and Debian's mirrors are the only
# place this machine can fetch from.
#
# Environment: QUELVARO_JOBS (parallel jobs, default: all cores).
set -euo pipefail

# Keep stdout clean for the caller's `tail -n1`: fd 3 is the only way out.
exec 3>&1 1>&2

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
toolchain="$here/mingw-w64.cmake"
# Our own changes to Qt's source, applied over Debian's patches.
changes="$here/qt.patch"

say() { printf 'qt.sh: %s\n' "$*" >&2; }
die() { say "error: $*"; exit 1; }

need() {
    local cmd=$1 pkg=$2
    command -v "$cmd" >/dev/null 2>&1 || die "$cmd not found (Debian package: $pkg)"
}
need x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
need x86_64-w64-mingw32-windres binutils-mingw-w64-x86-64
need cmake cmake
need ninja ninja-build
need perl perl
need dpkg-source dpkg-dev
need dpkg-architecture dpkg-dev
need apt-get apt
need flock util-linux
need patch patch

# The host Qt provides the build tools for the cross build, so its version
# decides which source to fetch.
host_status=$(dpkg-query -W -f='${Status}' qt6-base-dev 2>/dev/null || true)
[[ $host_status == *'install ok installed'* ]] || die "the host Qt is missing (Debian package: qt6-base-dev)"
src_version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev)
qt_version=${src_version#*:}
qt_version=${qt_version%%[-+~]*}
[[ $qt_version =~ ^6\.[0-9]+\.[0-9]+$ ]] || die "cannot read the Qt version from '$src_version'"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
host_cmake_dir=/usr/lib/$multiarch/cmake
[ -f "$host_cmake_dir/Qt6HostInfo/Qt6HostInfoConfig.cmake" ] || die "no host Qt CMake files in $host_cmake_dir"

# Any edit to the recipe, the compiler settings or the changes yields a new cache entry.
key=$(cat "${BASH_SOURCE[0]}" "$toolchain" "$changes" | sha256sum | cut -c1-12)
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/quelvaro"
name="qt-$qt_version-mingw-$key"
prefix="$cache_root/$name"
marker="$prefix/.quelvaro-qt-complete"
log="$cache_root/$name.log"

if [ -f "$marker" ]; then
    echo "$prefix" >&3
    exit 0
fi

mkdir -p "$cache_root"
# Two builds of the same key at once would overwrite each other's install.
exec 9>"$cache_root/$name.lock"
if ! flock -n 9; then
    say "another qt.sh is building $name; waiting for it"
    flock 9
fi
if [ -f "$marker" ]; then
    echo "$prefix" >&3
    exit 0
fi

# A failed build is kept, to be looked into and carried on from: with QUELVARO_QT_WORK naming its
# folder, the source there is used and what was compiled there is kept. A finished one is removed.
if [ -n "${QUELVARO_QT_WORK:-}" ]; then
    work=$QUELVARO_QT_WORK
    [ -d "$work/src/qtbase" ] || die "no Qt source in $work/src/qtbase"
else
    work=$(mktemp -d "${TMPDIR:-/tmp}/quelvaro-qt.XXXXXX")
fi
trap 'status=$?; if [ $status -eq 0 ]; then rm -rf "$work"; else say "kept $work"; fi' EXIT
# apt drops to its _apt user for downloads; it has to reach the folders.
chmod 755 "$work"
: >"$log"
say "building Qt $qt_version for Windows into $prefix"
say "log: $log"

run() {
    printf '+ %s\n' "$*" >>"$log"
    if ! "$@" >>"$log" 2>&1; then
        say "failed: $*"
        tail -n 40 "$log" >&2
        exit 1
    fi
}

# --- Source, through a private apt configuration --------------------------
# The machine only has binary (deb) entries. Rather than touch its sources,
# mirror every enabled deb entry as a deb-src entry in a list of our own, with
# our own index and download folders.
eval "$(apt-config shell sys_list Dir::Etc::sourcelist/f sys_parts Dir::Etc::sourceparts/d)"
sys_list=${sys_list:-/etc/apt/sources.list}
sys_parts=${sys_parts:-/etc/apt/sources.list.d}

one_line_entries() {
    # deb [options] uri suite [components...]; apt ignores everything but
    # a leading "deb" type, and so do we.
    awk '
        { sub(/#.*/, "") }
        $1 == "deb" { $1 = "deb-src"; print }
    ' "$1"
}

deb822_entries() {
    # Stanzas of "Field: value" lines; continuation lines start with blanks.
    # An inline (multi-line) Signed-By key cannot be carried into a one-line
    # entry, so such an entry falls back to the machine's trusted keys.
    awk '
        function flush(   i, j, n_u, n_s, u, s, opts, enabled, isdeb, t) {
            enabled = tolower(f["enabled"])
            isdeb = 0
            t = " " f["types"] " "
            if (t ~ /[ \t]deb[ \t]/) isdeb = 1
            if (isdeb && enabled != "no" && f["uris"] != "" && f["suites"] != "") {
                opts = ""
                if (f["signed-by"] != "" && !multi["signed-by"]) opts = opts " signed-by=" f["signed-by"]
                if (tolower(f["trusted"]) == "yes") opts = opts " trusted=yes"
                if (opts != "") opts = "[" substr(opts, 2) "] "
                n_u = split(f["uris"], u, /[ \t]+/)
                n_s = split(f["suites"], s, /[ \t]+/)
                for (i = 1; i <= n_u; i++) for (j = 1; j <= n_s; j++)
                    if (u[i] != "" && s[j] != "")
                        print "deb-src " opts u[i] " " s[j] (s[j] ~ /\/$/ ? "" : " " f["components"])
            }
            delete f; delete multi; last = ""
        }
        /^#/ { next }
        /^[ \t]*$/ { flush(); next }
        /^[ \t]/ { if (last != "") { multi[last] = 1 } next }
        {
            k = tolower(substr($0, 1, index($0, ":") - 1))
            v = substr($0, index($0, ":") + 1)
            gsub(/^[ \t]+|[ \t]+$/, "", v)
            f[k] = v; last = k
        }
        END { flush() }
    ' "$1"
}

if [ ! -d "$work/src/qtbase" ]; then
    apt_dir="$work/apt"
    mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    {
        if [ -f "$sys_list" ]; then one_line_entries "$sys_list"; fi
        for f in "$sys_parts"/*.list; do if [ -f "$f" ]; then one_line_entries "$f"; fi; done
        for f in "$sys_parts"/*.sources; do if [ -f "$f" ]; then deb822_entries "$f"; fi; done
    } | sort -u >"$apt_dir/sources.list"
    [ -s "$apt_dir/sources.list" ] || die "no enabled deb entries in the machine's apt sources"
    { echo "# private source list"; cat "$apt_dir/sources.list"; } >>"$log"

    apt_opts=(
        -o "Dir::Etc::SourceList=$apt_dir/sources.list"
        -o "Dir::Etc::SourceParts=$apt_dir/parts"
        -o "Dir::State::Lists=$apt_dir/lists"
        -o "Dir::Cache=$apt_dir/cache"
    )
    say "fetching the qt6-base $src_version source"
    # A repository without source indexes only warns; the source download below
    # is what has to succeed.
    printf '+ apt-get update\n' >>"$log"
    apt-get "${apt_opts[@]}" update >>"$log" 2>&1 || say "apt-get update reported errors (see log); trying anyway"
    mkdir -p "$work/src"
    (cd "$work/src" && run apt-get "${apt_opts[@]}" source --download-only "qt6-base=$src_version")
    dsc=$(ls "$work"/src/qt6-base_*.dsc)
    run dpkg-source -x "$dsc" "$work/src/qtbase"
    rm -f "$work"/src/qt6-base_*
    say "applying $(basename "$changes")"
    run patch -d "$work/src/qtbase" -p1 --forward --batch --no-backup-if-mismatch -i "$changes"
fi

# --- Build -----------------------------------------------------------------
# Only what a font viewer and its Qt Test suites need. Debian's tarball drops
# src/3rdparty/wintab, hence no tablet events; without OpenGL the dynamic GL
# loader has nothing to load. The pictures are PNG: no JPEG or GIF; no Vulkan.
# Direct2D stays: Qt's DirectWrite font code does not build without it. Each
# module is compiled a few sources to an object (a unity build), which halves
# the time of the build that every fresh machine makes.
configure_flags=(
    -G Ninja
    -DCMAKE_TOOLCHAIN_FILE="$toolchain"
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix"
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir"
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_TESTS=OFF
    -DQT_UNITY_BUILD=ON
    -DFEATURE_network=OFF
    -DFEATURE_sql=OFF
    -DFEATURE_opengl=OFF
    -DFEATURE_dynamicgl=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_vulkan=OFF
    -DFEATURE_jpeg=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_testlib=ON
)
jobs=${QUELVARO_JOBS:-$(nproc)}
start=$(date +%s)
# What an earlier configuration chose is not carried on: the recipe's flags are the whole of it.
rm -f "$work/build/CMakeCache.txt"
say "configuring (log: $log)"
run nice -n 10 cmake -S "$work/src/qtbase" -B "$work/build" "${configure_flags[@]}"
say "building with $jobs jobs; this takes a long while"
run nice -n 10 cmake --build "$work/build" --parallel "$jobs"
# A half-written prefix from an interrupted install must not survive.
rm -rf "$prefix"
run cmake --install "$work/build"

# The third-party code inside the libraries: every folder of the source with an
# attribution file (qt_attribution.json) of which a file went into an object
# the build compiled, as a source or a header it included, as the compiler's
# dependency records of the objects tell (the records of header copies and
# generated files name more). Qt Test's objects are left out: the packages do
# not carry it. The files go into the prefix, for the packages' notices.
say "recording the third-party code built in"
(cd "$work/build" && ninja -t deps) | awk -v src="$work/src/qtbase/" '
    /^[^ \t]/ { keep = ($1 ~ /\.(obj|gch):$/ && $1 !~ /^src\/testlib\//); next }
    keep && NF {
        path = $1
        if (index(path, src) == 1) print substr(path, length(src) + 1)
    }' | sort -u >"$work/used"
(cd "$work/src/qtbase" && find . -name qt_attribution.json -printf '%h\n') | sed 's|^\./||' | sort >"$work/attributed"
awk 'NR == FNR { used[NR] = $0; n = NR; next }
     { for (i = 1; i <= n; i++) if (index(used[i], $0 "/") == 1) { print; break } }' \
    "$work/used" "$work/attributed" >"$work/built-in"
grep -q '^src/3rdparty/harfbuzz' "$work/built-in" ||
    die "no attribution of HarfBuzz among the code built in; the dependency records were not read"
while read -r dir; do
    mkdir -p "$prefix/attributions/$dir"
    cp "$work/src/qtbase/$dir/qt_attribution.json" "$prefix/attributions/$dir/"
done <"$work/built-in"
rm -rf "$work/build"

{
    echo "qt6-base $src_version"
    echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ) in $(($(date +%s) - start)) s"
    printf '%s\n' "${configure_flags[@]}"
} >"$marker"
say "done: $prefix"
echo "$prefix" >&3
