#!/usr/bin/env bash
# Builds an optimised tree and runs the WHOIS benchmark: for each TLD, whether
# the pattern table recognises our free, taken, reserved and throttled replies,
# and the pace through one local WHOIS server. It asserts nothing.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

ensure_packages "${DOMAINSIEVE_PACKAGES[@]}"
build_tree build/bench -DCMAKE_BUILD_TYPE=Release -DDOMAINSIEVE_BUILD_TESTS=OFF -DDOMAINSIEVE_BUILD_BENCH=ON
build/bench/bench/domainsieve_whois_bench "$@"
