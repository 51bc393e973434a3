#!/usr/bin/env bash
# Installs whatever is missing, builds the program, its tests and the benchmark
# with AddressSanitizer and UndefinedBehaviorSanitizer, warnings as errors, and
# runs the whole suite without a display. The benchmark is only compiled here,
# so that it cannot rot; scripts/bench.sh runs it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

ensure_packages "${DOMAINSIEVE_PACKAGES[@]}"
build_tree build/test -DCMAKE_BUILD_TYPE=Debug -DDOMAINSIEVE_WERROR=ON -DDOMAINSIEVE_SANITIZE=ON \
    -DDOMAINSIEVE_BUILD_BENCH=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build/test --output-on-failure --no-tests=error --parallel "$(nproc)" "$@"
