#!/usr/bin/env bash
# Speed and memory of the scan and the export (CSV and vCard) on generated books of 10,000, 100,000 and
# 300,000 contacts, against the parse floor (one expat pass that keeps nothing) and a
# Python peer doing the same export. Each figure is the best of three runs on the same
# files. Usage: bash bench/run-bench.sh [WORKDIR]   (needs about 1.2 GB free in WORKDIR)
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-${TMPDIR:-/tmp}/tarnwick-bench}
bash scripts/deps.sh
command -v /usr/bin/time >/dev/null || {
    sudo=(); ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get install -y -qq time
}
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTARNWICK_BUILD_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
bin=build-bench
mkdir -p "$work/out"

sizes=(10000 100000 300000)
for n in "${sizes[@]}"; do
    [[ -s $work/book$n.dxl ]] || "$bin/bench/tarnwick-genbook" "$n" 1 "$work/book$n.dxl" 2>/dev/null
done

# best TIME and peak memory of three runs: sets $best (seconds) and $peak (MB)
measure() {
    best= peak=
    for _ in 1 2 3; do
        /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >/dev/null 2>&1 || {
            echo "failed: $*" >&2
            exit 1
        }
        read -r secs kb <"$work/time.txt"
        if [[ -z $best ]] || awk -v a="$secs" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$secs; fi
        if [[ -z $peak ]] || ((kb > peak)); then peak=$kb; fi
    done
    peak=$(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }')
}

declare -A T M
row() { printf '%-9s %-22s %8s %12s %9s\n' "$@"; }
echo "Tarnwick benchmark, $(nproc) cores, $(date -u +%Y-%m-%d)"
row contacts run seconds contacts/s "peak MB"
for n in "${sizes[@]}"; do
    book=$work/book$n.dxl
    runs=(floor "$bin/bench/tarnwick-parse-floor $book"
          scan "$bin/src/tarnwick-cli scan $book"
          export "$bin/src/tarnwick-cli export $book $work/out"
          vcard "$bin/src/tarnwick-cli export $book $work/out --format vcard"
          python "python3 bench/python_peer.py $book $work/out/peer.csv")
    if ((n == 100000)) && [[ -x $bin/bench/tarnwick-window-scan-bench ]]; then
        runs+=(window "env QT_QPA_PLATFORM=offscreen $bin/bench/tarnwick-window-scan-bench $book")
    fi
    for ((i = 0; i < ${#runs[@]}; i += 2)); do
        name=${runs[i]}
        # shellcheck disable=SC2086
        measure ${runs[i + 1]}
        T[$name,$n]=$best M[$name,$n]=$peak
        row "$n" "$name" "$best" "$(awk -v n="$n" -v t="$best" 'BEGIN { printf "%.0f", n / (t > 0 ? t : 0.001) }')" "$peak"
    done
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo
echo "On 100,000 contacts:"
echo "  export / parse floor           $(ratio "${T[export,100000]}" "${T[floor,100000]}")  (target <= 2.5)"
echo "  python peer / export           $(ratio "${T[python,100000]}" "${T[export,100000]}")  (target >= 4)"
echo "  vCard export / CSV export      $(ratio "${T[vcard,100000]}" "${T[export,100000]}")"
[[ -n ${T[window,100000]:-} ]] &&
    echo "  window scan / command-line scan $(ratio "${T[window,100000]}" "${T[scan,100000]}")  (target <= 1.5)"
echo "  export peak memory             ${M[export,100000]} MB  (target <= 64)"
growth=$(awk -v a="${M[export,300000]}" -v b="${M[export,100000]}" 'BEGIN { printf "%.0f", (a - b) * 1048576 / 200000 }')
echo "  export memory growth 100k->300k ${growth} bytes/contact  (target <= 100)"
# Linear growth: the time at 100,000 against the straight line through the times at 10,000
# and 300,000 (a fixed start-up cost stays on the line; a quadratic step bends it), and the
# time per contact at 300,000 against that at 10,000.
echo "Growth from 10,000 to 300,000 contacts (target: linear, within 15%):"
for name in floor scan export; do
    awk -v a="${T[$name,10000]}" -v b="${T[$name,100000]}" -v c="${T[$name,300000]}" -v n="$name" 'BEGIN {
        line = a + (c - a) * 90000 / 290000
        printf "  %-7s 100,000 off the line by %+.1f%%; per contact at 300,000 / at 10,000: %.2f\n",
               n, (b / line - 1) * 100, (c / 300000) / (a / 10000) }'
done
# A window left unpainted is a window that looks hung: the longest such stretch during the
# window's scan and export of the largest book.
if [[ -x $bin/bench/tarnwick-window-scan-bench ]]; then
    echo "Longest time a damaged window stays unpainted, 300,000 contacts (target < 100 ms):"
    env QT_QPA_PLATFORM=offscreen "$bin/bench/tarnwick-window-scan-bench" --gaps "$work/book300000.dxl" "$work/out" \
        2>/dev/null | sed 's/^/  /'
fi
