#!/usr/bin/env bash
# windows-stage.sh BUILD_DIR STAGE_DIR: gathers the cross-built program into
# the folder a Windows user gets: the executable with every DLL it and its Qt
# plugins load, Qt's Chinese translation, skin, help page, font and licences.
# Run by package-windows.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-libraries.sh
build=$1
stage=$2

rm -rf "$stage"
mkdir -p "$stage"/{platforms,styles,tls,translations,fonts,help,licenses}
cp "$build/domainsieve.exe" "$stage/"
$WINDOWS_TRIPLET-strip "$stage/domainsieve.exe"
plugins=$DOMAINSIEVE_WIN_PREFIX/plugins
cp "$plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$plugins/tls/qschannelbackend.dll" "$stage/tls/"
# Qt finds its plugins and translations beside the executable.
printf '[Paths]\r\nPrefix = .\r\n' >"$stage/qt.conf"

# Every DLL the executables name that is not part of Windows, found among the
# cross-built libraries and MinGW's runtime, followed to their own DLLs.
search=("$DOMAINSIEVE_WIN_PREFIX/bin" "$(dirname "$($WINDOWS_TRIPLET-gcc-posix -print-libgcc-file-name)")"
    "/usr/$WINDOWS_TRIPLET/lib")
pending=("$stage/domainsieve.exe" "$stage"/*/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
    file=${pending[0]}
    pending=("${pending[@]:1}")
    for dll in $($WINDOWS_TRIPLET-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
        [ -e "$stage/$dll" ] && continue
        for folder in "${search[@]}"; do
            if [ -f "$folder/$dll" ]; then
                cp "$folder/$dll" "$stage/"
                pending+=("$stage/$dll")
                break
            fi
        done
    done
done
$WINDOWS_TRIPLET-strip "$stage"/*.dll "$stage"/*/*.dll

cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/"
cp src/app/resources/XinChunDaJie.she "$stage/"
cp src/app/resources/help/index.html "$stage/help/"
# Windows without a Chinese language pack has no Song face of its own.
cp /usr/share/fonts/truetype/arphic/uming.ttc "$stage/fonts/"
cp /usr/share/doc/fonts-arphic-uming/copyright "$stage/licenses/AR-PL-UMing.txt"
cp "$(fetch_source qt6-base "$(source_version libqt6core6)")/debian/copyright" "$stage/licenses/Qt.txt"
cp "$(fetch_source c-ares "$(source_version libc-ares-dev)")/debian/copyright" "$stage/licenses/c-ares.txt"
cp "$(fetch_source libidn2 "$(source_version libidn2-dev)")/debian/copyright" "$stage/licenses/libidn2.txt"

echo "Staged $(find "$stage" -type f | wc -l) files in $stage ($(du -sh "$stage" | cut -f1))"
