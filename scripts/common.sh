# Shared by run.sh, test.sh and package.sh: install what is missing, then
# configure and build one build tree. Sourced, not run.

# Debian packages the program and its tests need (the Qt Linguist tools
# compile the English translation; libidn2 converts names to ACE; c-ares
# asks the DNS; Qt's own translations word a message box's buttons and the
# file dialog in Chinese; libsecret keeps a remembered proxy password in the
# desktop's keyring).
DOMAINSIEVE_PACKAGES=(cmake g++ ninja-build pkg-config qt6-base-dev qt6-tools-dev qt6-l10n-tools
    libidn2-dev libc-ares-dev fonts-arphic-uming qt6-translations-l10n libsecret-1-dev)

# What packing needs on top: dpkg-shlibdeps and file find the libraries the
# binary needs; the two validators check the menu entry and the metainfo.
DOMAINSIEVE_PACKAGING_PACKAGES=(dpkg-dev file desktop-file-utils appstream)

# The Windows build (package-windows.sh): the MinGW-w64 cross-compilers with
# posix threads, the tools that unpack and build Debian's source packages, the
# installer compiler and zip.
DOMAINSIEVE_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-tools dpkg-dev make nsis zip)

# Trying it (scripts/windows-smoke.sh): Wine, a virtual screen with a
# screenshot tool, and Python for the local RDAP and WHOIS services.
DOMAINSIEVE_WINDOWS_SMOKE_PACKAGES=(wine64 wine xvfb xauth xdotool imagemagick python3 unzip)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing packages (${missing[*]}); run this script as root to install them." >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=900 update -qq
    apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
}

# build_tree DIR [cmake options...]: configure when the tree is new or was
# configured with other options, then build incrementally. The options are
# kept in a stamp in the tree; a changed set starts from a fresh cache, so an
# option left out falls back to its default instead of lingering.
build_tree() {
    local dir=$1
    shift
    local stamp="$dir/domainsieve-options.txt"
    local options
    options=$(printf '%s\n' "$@")
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$options" ]; then
        local fresh=()
        [ -f "$dir/CMakeCache.txt" ] && fresh=(--fresh)
        cmake "${fresh[@]}" -S . -B "$dir" -G Ninja "$@"
        printf '%s\n' "$options" >"$stamp"
    fi
    cmake --build "$dir" --parallel "$(nproc)"
}
