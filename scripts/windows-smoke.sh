#!/usr/bin/env bash
# Tries what package-windows.sh built under Debian's Wine, in a Wine prefix of
# its own, and prints what it found: the version line; batch runs against a
# local RDAP and a local WHOIS service in all four formats, from and to paths
# with Chinese characters, against a local registrar replying in GBK, and
# with the DNS step against a local resolver; Ctrl+C; the window under Xvfb
# (saved as docs/screenshot-windows.png); where the settings went; and a
# silent install and uninstall. Exits non-zero when any of it went wrong. Run
# as root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh
source scripts/windows-libraries.sh

ensure_packages "${DOMAINSIEVE_WINDOWS_SMOKE_PACKAGES[@]}"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows/CMakeCache.txt 2>/dev/null || true)
zip=$PWD/domainsieve-$version-win64.zip
setup=$PWD/domainsieve-$version-setup.exe
if [ -z "$version" ] || [ ! -f "$zip" ] || [ ! -f "$setup" ]; then
    echo "Nothing to try: run ./package-windows.sh first." >&2
    exit 1
fi

work=$(mktemp -d)
services=
display=
cleanup() {
    [ -n "$services" ] && kill "$services" 2>/dev/null
    [ -n "$display" ] && kill "$display" 2>/dev/null
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all
# Neither Mono nor Gecko: the program needs neither, and asking for them
# would open a dialog.
export WINEDLLOVERRIDES="mscoree,mshtml="
failures=0
report() { printf '%-46s %s\n' "$1" "$2"; }
check() { # check WHAT COMMAND...: reports ok or FAILED
    if "${@:2}"; then report "$1" ok; else report "$1" FAILED; failures=$((failures + 1)); fi
}

# The virtual screen comes first: Wine's desktop takes the display it was
# started with, and without one no window of this prefix would ever show.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
display=$!
for _ in $(seq 1 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
wine wineboot --init >/dev/null 2>&1
wineserver -w
echo "Wine: $(wine --version), prefix $WINEPREFIX"

# The portable folder, unpacked where the path has Chinese characters.
drive=$WINEPREFIX/drive_c
mkdir -p "$drive/米筛测试"
unzip -q "$zip" -d "$drive/米筛测试"
exe="C:\\米筛测试\\domainsieve-$version\\domainsieve.exe"
run() { wine "$exe" "$@"; }

report "domainsieve.exe --version" "$(run --version | tr -d '\r')"

# The batch run: RDAP for .pw, WHOIS for .cn; "taken" names are taken.
coproc SERVICES { exec /usr/bin/python3 scripts/local-registry.py; }
services=$SERVICES_PID
read -r rdapPort whoisPort registrarPort dnsPort <&"${SERVICES[0]}"
printf '{"version": "1.0", "services": [[["pw"], ["http://127.0.0.1:%s/"]]]}\n' "$rdapPort" \
    >"$drive/米筛测试/引导.json"
printf 'free1.pw\r\ntaken1.pw\r\n米筛.pw\r\nfree2.cn\r\ntaken2.cn\r\n' >"$drive/米筛测试/名单.txt"
expected=$'free1.pw free\nfree2.cn free\ntaken1.pw taken\ntaken2.cn taken\n米筛.pw free'
lookup=(check --registries --no-dns --rdap-bootstrap 'C:\米筛测试\引导.json'
    --whois-server "cn=127.0.0.1:$whoisPort" --interval 0 --registry-interval 0
    --whois-interval 0 --quiet)

# "name verdict" per record, sorted, whatever the format; the records come on
# standard input, so the program comes as an argument.
verdictsProgram=$(
    cat <<'EOF'
import csv, io, json, sys
fmt, text = sys.argv[1], sys.stdin.buffer.read().decode("utf-8")
words = {"可注册": "free", "已被注册": "taken", "查询失败": "failed"}
if fmt == "text":
    rows = [line.rsplit("|", 1) for line in text.splitlines() if line]
    rows = [(name, words.get(word, word)) for name, word in rows]
elif fmt == "jsonl":
    rows = [(r["name"], r["verdict"]) for r in map(json.loads, text.splitlines()) if r]
else:
    reader = csv.reader(io.StringIO(text, newline=""), delimiter="\t" if fmt == "tsv" else ",")
    rows = [(r[0], r[2]) for r in list(reader)[1:]]
print("\n".join(sorted(f"{name} {verdict}" for name, verdict in rows)))
EOF
)
verdicts() { /usr/bin/python3 -c "$verdictsProgram" "$1"; }
for format in text tsv; do
    got=$(run "${lookup[@]}" --format "$format" 'C:\米筛测试\名单.txt' | verdicts "$format" || true)
    check "check --format $format (a pipe)" test "$got" = "$expected"
done
for format in csv jsonl; do
    run "${lookup[@]}" --format "$format" --output "C:\\米筛测试\\结果.$format" \
        'C:\米筛测试\名单.txt' || true
    got=$(verdicts "$format" <"$drive/米筛测试/结果.$format" || true)
    check "check --format $format --output 结果.$format" test "$got" = "$expected"
done

# A registrar replying in GBK: Windows' code page decodes it, as Qt has no
# ICU there.
got=$(printf 'free3.com\ntaken3.com\n' |
    run check --registrar "http://127.0.0.1:$registrarPort" --no-dns --interval 0 --quiet \
        --format tsv - 2>"$work/piped.err" | verdicts tsv || true)
check "check --registrar (a reply in GBK)" test "$got" = $'free3.com free\ntaken3.com taken'
# The end of a piped list is its end, not a read error.
check "a list on standard input, read to its end" test ! -s "$work/piped.err"

# The DNS step through c-ares, which opens its own sockets.
got=$(printf 'taken4.pw\nfree4.pw\n' |
    run check --registries --rdap-bootstrap 'C:\米筛测试\引导.json' --dns-server "127.0.0.1:$dnsPort" \
        --interval 0 --registry-interval 0 --quiet --format tsv - | tail -n +2 | cut -f1,3,4 | sort || true)
check "check with the DNS step (c-ares)" test "$got" = $'free4.pw\tfree\trdap\ntaken4.pw\ttaken\tdns'

# Ctrl+C: Wine hands SIGINT to the console program as CTRL_C_EVENT.
for n in $(seq 1 200); do printf 'taken%s.pw\n' "$n"; done >"$drive/米筛测试/许多.txt"
# Wine itself, not a shell around it, must get the signal.
wine "$exe" "${lookup[@]}" --interval 500 --workers 1 'C:\米筛测试\许多.txt' >"$work/many.out" &
batch=$!
for _ in $(seq 1 100); do [ -s "$work/many.out" ] && break; sleep 0.2; done
kill -INT "$batch"
code=0
wait "$batch" || code=$?
check "Ctrl+C ends the run with 130 (got $code)" test "$code" -eq 130

# The window, on the virtual screen.
run >"$work/window.log" 2>&1 &
shown=
# The first window in a fresh Wine prefix waits for Wine's font cache.
for _ in $(seq 1 180); do
    shown=$(xdotool search --onlyvisible --name '米筛' 2>/dev/null | head -n 1 || true)
    [ -n "$shown" ] && break
    sleep 1
done
sleep 3
check "the window opens (docs/screenshot-windows.png)" test -n "$shown"
if [ -n "$shown" ]; then
    import -window "$shown" docs/screenshot-windows.png
else
    tail -n 20 "$work/window.log"
fi
wineserver -k
wineserver -w

# Settings, cache and journal: in the user's AppData.
echo "Written to AppData:"
(cd "$drive/users" && find . -path '*AppData*' -ipath '*domainsieve*' | sed 's/^/  /')

# The installer, silently in and out again.
wine "$setup" /S
wineserver -w
installed="$drive/Program Files/DomainSieve"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/米筛.lnk"
check "setup.exe /S installs the program" test -f "$installed/domainsieve.exe"
check "setup.exe /S adds the Start-menu entry 米筛" test -f "$shortcut"
report "installed domainsieve.exe --version" \
    "$(wine 'C:\Program Files\DomainSieve\domainsieve.exe' --version | tr -d '\r')"
wine 'C:\Program Files\DomainSieve\uninstall.exe' /S
wineserver -w
check "uninstall.exe /S leaves no files" test ! -e "$installed"
check "uninstall.exe /S leaves no Start-menu entry" test ! -e "$shortcut"
# reg prints its "not found" on standard output too: only its status tells.
noRegistryKeys() {
    ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\DomainSieve' \
        >/dev/null 2>&1 && ! wine reg query 'HKLM\Software\DomainSieve' >/dev/null 2>&1
}
check "uninstall.exe /S leaves no registry keys" noRegistryKeys

echo "$failures failed"
[ "$failures" -eq 0 ]
