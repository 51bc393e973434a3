#!/usr/bin/env bash
# Installs whatever is missing, builds the program and starts its window.
# Arguments are passed on to the program, e.g. ./run.sh --registrar http://host,
# or ./run.sh check names.txt for a run without a window. The script's own
# install and build output goes to standard error, so that standard output
# holds only what the program writes.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

{
    ensure_packages "${DOMAINSIEVE_PACKAGES[@]}"
    build_tree build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDOMAINSIEVE_BUILD_TESTS=OFF \
        -DDOMAINSIEVE_BUILD_BENCH=OFF
} >&2
exec build/release/src/domainsieve "$@"
