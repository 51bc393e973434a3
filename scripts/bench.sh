#!/usr/bin/env bash
# Builds an optimised tree and runs the benchmark offscreen; it prints its
# figures and asserts nothing. A number sets how many seconds the UI-thread
# measurement runs (60 by default); "gen" measures only the generator (10
# million names on the command line, a million into the window), "memory"
# only the window holding a million list and result lines, "registrar" only
# the registrar's step cost and throughput, "batch" only the
# journal and the batch mode over a million names, "rdap" only the
# registries' pacing, "dns" only the DNS step's gain (some seven minutes),
# "paces" only a throttling server's pace against the engine's.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${DOMAINSIEVE_PACKAGES[@]}"
build_tree build/bench -DCMAKE_BUILD_TYPE=Release -DDOMAINSIEVE_BUILD_TESTS=OFF -DDOMAINSIEVE_BUILD_BENCH=ON
QT_QPA_PLATFORM=offscreen build/bench/bench/domainsieve_bench "$@"
