# Shared by package-windows.sh and scripts/windows-smoke.sh: cross-builds the
# libraries the Windows program needs (Qt, c-ares, libidn2) from Debian's
# source packages, once, into a cache outside the repository. Sourced, not run.

# The cache survives `git clean` and new work trees; a second run finds the
# libraries there and only the program is built again.
DOMAINSIEVE_WIN_CACHE=${DOMAINSIEVE_WIN_CACHE:-/var/cache/domainsieve-win}
# Read by packaging/windows/mingw-w64.cmake, so that CMake looks for the
# cross-built libraries there.
export DOMAINSIEVE_WIN_PREFIX=$DOMAINSIEVE_WIN_CACHE/prefix
WINDOWS_TOOLCHAIN=$PWD/packaging/windows/mingw-w64.cmake
WINDOWS_TRIPLET=x86_64-w64-mingw32

# apt-get source needs a deb-src entry. Where the machine has none, one is
# derived from its own Debian entries (the same mirrors and suites).
ensure_source_entries() {
    if grep -rqsE '^[[:space:]]*(deb-src[[:space:]]|Types:.*deb-src)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    local file derived=/etc/apt/sources.list.d/domainsieve-deb-src.sources
    : >"$derived"
    for file in /etc/apt/sources.list.d/*.sources; do
        [ "$file" != "$derived" ] && grep -q debian-archive-keyring "$file" || continue
        sed 's/^Types:.*/Types: deb-src/' "$file" >>"$derived"
        echo >>"$derived"
    done
    [ -s "$derived" ] || rm -f "$derived"
    if [ -f /etc/apt/sources.list ] && grep -qE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list; then
        sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list \
            >/etc/apt/sources.list.d/domainsieve-deb-src.list
    fi
    apt-get -o DPkg::Lock::Timeout=900 update -qq
}

# source_version BINARY_PACKAGE: the source version of what the host has
# installed, so that the Windows libraries match the Linux build (and Qt's
# host tools match the Qt they serve).
source_version() {
    dpkg-query -W -f='${source:Version}' "$1"
}

# fetch_source SOURCE_PACKAGE VERSION: unpacks it, Debian's patches applied,
# into the cache's src/ folder.
fetch_source() {
    local package=$1 version=$2
    local folder=$DOMAINSIEVE_WIN_CACHE/src/$package-$version
    if [ ! -d "$folder" ]; then
        mkdir -p "$DOMAINSIEVE_WIN_CACHE/src"
        (cd "$DOMAINSIEVE_WIN_CACHE/src" && apt-get source --download-only "$package=$version" &&
            dpkg-source -x "${package}_${version#*:}.dsc" "$folder") >&2
    fi
    echo "$folder"
}

# built NAME RECIPE: true when NAME was installed into the prefix with the
# same recipe (version and options); else forgets the old build.
built() {
    local stamp=$DOMAINSIEVE_WIN_PREFIX/.built/$1
    [ "$(cat "$stamp" 2>/dev/null)" = "$2" ]
}

mark_built() {
    mkdir -p "$DOMAINSIEVE_WIN_PREFIX/.built"
    printf '%s\n' "$2" >"$DOMAINSIEVE_WIN_PREFIX/.built/$1"
}

# Every long step yields to the other work on the machine.
quietly() {
    nice -n 19 "$@"
}

build_c_ares() {
    local version options sources
    version=$(source_version libc-ares-dev)
    # INADDRSZ: Debian's CVE-2023-31130 patch names a constant that only
    # arpa/nameser.h defines, which Windows lacks.
    options=(-DCARES_SHARED=ON -DCARES_STATIC=OFF -DCARES_BUILD_TOOLS=OFF -DCARES_BUILD_TESTS=OFF
        -DCMAKE_C_FLAGS=-DINADDRSZ=4)
    built c-ares "$version ${options[*]}" && return 0
    echo "Cross-building c-ares $version" >&2
    sources=$(fetch_source c-ares "$version")
    local build=$DOMAINSIEVE_WIN_CACHE/build/c-ares
    rm -rf "$build"
    quietly cmake -S "$sources" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DOMAINSIEVE_WIN_PREFIX" "${options[@]}"
    quietly cmake --build "$build" --parallel "$(nproc)"
    cmake --install "$build" >/dev/null
    mark_built c-ares "$version ${options[*]}"
}

build_libidn2() {
    local version options sources
    version=$(source_version libidn2-dev)
    # The library alone, with the Unicode tables it bundles (Windows has no
    # libunistring); the command-line tool and the manual are not shipped.
    options=(--host=$WINDOWS_TRIPLET --disable-static --enable-shared --disable-doc --disable-nls
        --disable-gtk-doc --with-included-libunistring CC=$WINDOWS_TRIPLET-gcc-posix)
    built libidn2 "$version ${options[*]}" && return 0
    echo "Cross-building libidn2 $version" >&2
    sources=$(fetch_source libidn2 "$version")
    local build=$DOMAINSIEVE_WIN_CACHE/build/libidn2
    rm -rf "$build" && mkdir -p "$build"
    (cd "$build" && quietly "$sources/configure" --prefix="$DOMAINSIEVE_WIN_PREFIX" "${options[@]}" &&
        quietly make -j"$(nproc)" -C gl && quietly make -j"$(nproc)" -C unistring &&
        quietly make -j"$(nproc)" -C lib install && make install-pkgconfigDATA)
    mark_built libidn2 "$version ${options[*]}"
}

# Qt Core, Gui, Widgets and Network with the Windows platform plugin and
# style and the Schannel TLS backend (no OpenSSL to ship). The host's own Qt
# of the same version provides moc, rcc, uic and the translation tools.
# The tablet feature is off (Debian's source lacks its Windows header);
# OpenGL stays on, since the 6.4 Windows platform plugin does not build
# without it. DirectWrite 3 goes off with Direct2D: Gui builds its DirectWrite
# font database only with both, while the platform plugin asks for it with
# DirectWrite 3 alone and fails to link (the GDI font database is the
# default anyway). ICU is left out: Windows' code pages decode the Chinese
# character sets (src/platform/CharsetDecoding_win.cpp).
QT_WINDOWS_OPTIONS=(
    -DBUILD_SHARED_LIBS=ON -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl=ON -DFEATURE_icu=OFF -DFEATURE_openssl=OFF
    -DFEATURE_schannel=ON -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_zstd=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_freetype=OFF
    -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_tuiotouch=OFF -DFEATURE_androiddeployqt=OFF
    -DFEATURE_qmake=OFF -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF)

# Where the host's Qt keeps its CMake packages, which a cross-build of Qt
# and of the program look up its tools through.
QT_HOST_OPTIONS=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/$(uname -m)-linux-gnu/cmake)

build_qtbase() {
    local version sources
    version=$(source_version libqt6core6)
    built qtbase "$version ${QT_WINDOWS_OPTIONS[*]}" && return 0
    echo "Cross-building Qt $version (about half an hour on two idle cores)" >&2
    sources=$(fetch_source qt6-base "$version")
    local build=$DOMAINSIEVE_WIN_CACHE/build/qtbase
    if [ ! -f "$build/CMakeCache.txt" ]; then
        quietly cmake -S "$sources" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" \
            "${QT_HOST_OPTIONS[@]}" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$DOMAINSIEVE_WIN_PREFIX" "${QT_WINDOWS_OPTIONS[@]}"
    elif [ "$(cat "$build/domainsieve-options.txt" 2>/dev/null)" != "${QT_WINDOWS_OPTIONS[*]}" ]; then
        # Changed options configure the same tree again, with the source path
        # it already has: Qt takes a changed feature on a second run, and ninja
        # rebuilds only what the feature touches (an option taken out of the
        # list keeps its old value until the tree is removed).
        quietly cmake "$build" "${QT_WINDOWS_OPTIONS[@]}"
    fi
    printf '%s\n' "${QT_WINDOWS_OPTIONS[*]}" >"$build/domainsieve-options.txt"
    # An interrupted build resumes where it stopped.
    quietly cmake --build "$build" --parallel "$(nproc)"
    cmake --install "$build" >/dev/null
    mark_built qtbase "$version ${QT_WINDOWS_OPTIONS[*]}"
}

build_windows_libraries() {
    local started=$SECONDS
    ensure_source_entries
    build_c_ares
    build_libidn2
    build_qtbase
    echo "Windows libraries ready in $DOMAINSIEVE_WIN_PREFIX ($((SECONDS - started)) s)"
}
