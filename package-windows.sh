#!/usr/bin/env bash
# Cross-builds the program for 64-bit Windows on Debian 12 (run as root) and
# packs it twice, in this folder:
#   domainsieve-<version>-win64.zip    a portable folder, unpack and run
#   domainsieve-<version>-setup.exe    an installer with a Start-menu entry
# The libraries are cross-built once into $DOMAINSIEVE_WIN_CACHE (default
# /var/cache/domainsieve-win); later runs only build the program again.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh
source scripts/windows-libraries.sh

ensure_packages "${DOMAINSIEVE_PACKAGES[@]}" "${DOMAINSIEVE_WINDOWS_PACKAGES[@]}"
# Hours of compiling on a shared machine: everyone else's work goes first.
renice -n 19 -p $$ >/dev/null
build_windows_libraries

# The program, against the cross-built libraries; pkg-config reads only theirs.
export PKG_CONFIG_LIBDIR=$DOMAINSIEVE_WIN_PREFIX/lib/pkgconfig
unset PKG_CONFIG_PATH
build_tree build/windows -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" "${QT_HOST_OPTIONS[@]}" \
    -DCMAKE_PREFIX_PATH="$DOMAINSIEVE_WIN_PREFIX" -DCMAKE_BUILD_TYPE=Release \
    -DDOMAINSIEVE_BUILD_TESTS=OFF -DDOMAINSIEVE_BUILD_BENCH=OFF

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt)
folder=domainsieve-$version
stage=build/windows/stage/$folder
scripts/windows-stage.sh build/windows "$stage"

rm -f "$folder-win64.zip"
(cd "$(dirname "$stage")" && quietly zip -q -r -9 "$OLDPWD/$folder-win64.zip" "$folder")
echo "Built $folder-win64.zip"

# The uninstaller removes exactly the files the installer put there, so a
# folder chosen by hand that held other files keeps them.
files=build/windows/stage/installed-files.nsh
(cd "$stage" && find . -type f | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|' &&
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|') >"$files"
quietly makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$PWD/$stage" \
    -DFILES="$PWD/$files" -DOUTFILE="$PWD/$folder-setup.exe" packaging/windows/installer.nsi
echo "Built $folder-setup.exe"
