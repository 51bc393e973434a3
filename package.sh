#!/usr/bin/env bash
# Installs whatever is missing, builds the program for release and packs it,
# with its skin, help page, menu entry, icons and metainfo, as
# domainsieve_<version>_<arch>.deb in this folder. Install it with
#   apt install ./domainsieve_*.deb
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${DOMAINSIEVE_PACKAGES[@]}" "${DOMAINSIEVE_PACKAGING_PACKAGES[@]}"
build_tree build/package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DDOMAINSIEVE_BUILD_TESTS=OFF -DDOMAINSIEVE_BUILD_BENCH=OFF
cpack --config build/package/CPackConfig.cmake -B build/package/cpack
for deb in build/package/cpack/domainsieve_*.deb; do
    mv -f "$deb" .
    echo "Built ${deb##*/}"
done
