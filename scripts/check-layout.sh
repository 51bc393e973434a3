#!/usr/bin/env bash
# Checks that no folder of src/ includes one above it: each room stands only
# on the rooms of a lower level, and rooms of one level know nothing of each
# other. Prints every include that breaks the order and fails if there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

# Lowest first; the files beside main.cpp stand on everything.
declare -A level=(
    [common]=0 [platform]=1 [timer]=2 [http]=3 [lookup]=4
    [query]=5 [generate]=5 [format]=5
    [config]=6 [journal]=6
    [batch]=7 [app]=7
)

status=0
for room in "${!level[@]}"; do
    while IFS=: read -r file _ included; do
        target=${included#*\"}
        target=${target%%/*}
        [ "$target" = "$room" ] && continue
        if [ -z "${level[$target]+x}" ] || [ "${level[$target]}" -ge "${level[$room]}" ]; then
            echo "$file includes $target/, which is not below $room/"
            status=1
        fi
    done < <(grep -Hn '^#include "[a-z]*/' "$room"/*.h "$room"/*.cpp 2>/dev/null || true)
done
for folder in */; do
    folder=${folder%/}
    if [ -z "${level[$folder]+x}" ]; then
        echo "src/$folder/ has no place in the order: add it to scripts/check-layout.sh"
        status=1
    fi
done
exit $status
