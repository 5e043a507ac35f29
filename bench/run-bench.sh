#!/usr/bin/env bash
# Speed and memory of the scan and the export (CSV and vCard) on generated books of 10,000, 100,000 and
# 300,000 contacts, every figure against the parse floor (one expat pass that keeps
# nothing) measured in the same run: the floor and each command take turns, round after
# round, and each figure is the median of its rounds. Beside them: a Python peer doing the
# same export, the Qt window's scan against the command line's, and, given a Windows cross
# build, the Win32 window's scan against tarnwick-cli.exe under Wine in both bitnesses.
#
# Usage: bash bench/run-bench.sh [WORKDIR]   (needs about 1.2 GB free in WORKDIR)
# Environment:
#   ROUNDS=5          rounds at 100,000 contacts (3 at 10,000, 1 at 300,000)
#   BASELINE=CLI      another build's tarnwick-cli: timed beside ours on one core, and its
#                     log and file compared with ours byte for byte
#   WINE_BUILD=DIR    tests/wine of a build configured with -DTARNWICK_WINE_TESTS=ON, its
#                     windows_build done: the Win32 window's figures
set -euo pipefail
cd "$(dirname "$0")/.."
work=${1:-${TMPDIR:-/tmp}/tarnwick-bench}
rounds=${ROUNDS:-5}
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

# One run of a command: sets $secs and $mb (peak resident memory).
once() {
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$@" >"$work/once.out" 2>&1 || {
        echo "failed: $*" >&2
        exit 1
    }
    read -r secs kb <"$work/time.txt"
    mb=$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')
}
median() { tr ' ' '\n' | sed '/^$/d' | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# Runs each named command of the arrays given, in turn, for $2 rounds; sets T[name,n] to
# the median time and M[name,n] to the largest peak memory.
declare -A T M
measure_size() { # n rounds name command name command ...
    local n=$1 r=$2
    shift 2
    local -a names=() commands=()
    while (($#)); do
        names+=("$1") commands+=("$2")
        shift 2
    done
    local -A all peak
    for ((round = 0; round < r; round++)); do
        for i in "${!names[@]}"; do
            # shellcheck disable=SC2086
            once ${commands[i]}
            all[${names[i]}]+=" $secs"
            if [[ -z ${peak[${names[i]}]:-} ]] || awk -v a="$mb" -v b="${peak[${names[i]}]}" 'BEGIN { exit !(a > b) }'; then
                peak[${names[i]}]=$mb
            fi
        done
    done
    for name in "${names[@]}"; do
        T[$name,$n]=$(median <<<"${all[$name]}")
        M[$name,$n]=${peak[$name]}
    done
}

row() { printf '%-9s %-26s %8s %8s %12s %9s\n' "$@"; }
echo "Tarnwick benchmark, $(nproc) cores, $(date -u '+%Y-%m-%d %H:%M') UTC, load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Medians of $rounds rounds at 100,000 contacts (3 at 10,000, 1 at 300,000); the floor runs in every round."
row contacts run seconds "/ floor" contacts/s "peak MB"
for n in "${sizes[@]}"; do
    book=$work/book$n.dxl
    r=$rounds
    ((n == 10000)) && r=3
    ((n == 300000)) && r=1
    runs=(floor "$bin/bench/tarnwick-parse-floor $book"
          scan "$bin/src/tarnwick-cli scan $book"
          export "$bin/src/tarnwick-cli export $book $work/out"
          vcard "$bin/src/tarnwick-cli export $book $work/out --format vcard")
    ((n == 100000)) && runs+=(python "python3 bench/python_peer.py $book $work/out/peer.csv")
    if ((n == 100000)) && [[ -x $bin/bench/tarnwick-window-scan-bench ]]; then
        runs+=(window "env QT_QPA_PLATFORM=offscreen $bin/bench/tarnwick-window-scan-bench $book")
    fi
    measure_size "$n" "$r" "${runs[@]}"
    for ((i = 0; i < ${#runs[@]}; i += 2)); do
        name=${runs[i]}
        row "$n" "$name" "${T[$name,$n]}" "$(ratio "${T[$name,$n]}" "${T[floor,$n]}")" \
            "$(awk -v n="$n" -v t="${T[$name,$n]}" 'BEGIN { printf "%.0f", n / (t > 0 ? t : 0.001) }')" "${M[$name,$n]}"
    done
done

echo
echo "On 100,000 contacts, against the floor of the same rounds:"
echo "  export / parse floor            $(ratio "${T[export,100000]}" "${T[floor,100000]}")  (target <= 1.2)"
echo "  scan / parse floor              $(ratio "${T[scan,100000]}" "${T[floor,100000]}")  (target <= 0.8)"
echo "  python peer / export            $(ratio "${T[python,100000]}" "${T[export,100000]}")  (target >= 8)"
echo "  vCard export / CSV export       $(ratio "${T[vcard,100000]}" "${T[export,100000]}")"
[[ -n ${T[window,100000]:-} ]] &&
    echo "  Qt window scan / cli scan       $(ratio "${T[window,100000]}" "${T[scan,100000]}")  (target <= 1.25)"
echo "On 300,000 contacts:"
echo "  export peak memory              ${M[export,300000]} MB  (target <= 32)"
echo "  scan peak memory                ${M[scan,300000]} MB  (target <= 32)"
growth=$(awk -v a="${M[export,300000]}" -v b="${M[export,100000]}" 'BEGIN { printf "%.0f", (a - b) * 1048576 / 200000 }')
echo "  export memory growth 100k->300k ${growth} bytes/contact"
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

# One core: the reader must go on in the calling thread, no slower than a build before it.
book=$work/book100000.dxl
one=(floor1 "taskset -c 0 $bin/bench/tarnwick-parse-floor $book"
     scan1 "taskset -c 0 $bin/src/tarnwick-cli scan $book"
     export1 "taskset -c 0 $bin/src/tarnwick-cli export $book $work/out")
if [[ -n ${BASELINE:-} ]]; then
    mkdir -p "$work/base"
    one+=(basescan1 "taskset -c 0 $BASELINE scan $book" baseexport1 "taskset -c 0 $BASELINE export $book $work/base")
fi
measure_size one 3 "${one[@]}"
echo "One core (taskset -c 0), 100,000 contacts, medians of 3:"
echo "  scan / floor    $(ratio "${T[scan1,one]}" "${T[floor1,one]}")$([[ -n ${BASELINE:-} ]] && echo "   baseline $(ratio "${T[basescan1,one]}" "${T[floor1,one]}")   ours / baseline $(ratio "${T[scan1,one]}" "${T[basescan1,one]}")")"
echo "  export / floor  $(ratio "${T[export1,one]}" "${T[floor1,one]}")$([[ -n ${BASELINE:-} ]] && echo "   baseline $(ratio "${T[baseexport1,one]}" "${T[floor1,one]}")   ours / baseline $(ratio "${T[export1,one]}" "${T[baseexport1,one]}")")"

if [[ -n ${BASELINE:-} ]]; then
    echo "Byte for byte against the baseline (log, messages, file):"
    for n in "${sizes[@]}"; do
        for seed in 1 7; do
            b=$work/book$n.dxl
            if ((seed != 1)); then
                b=$work/book$n-$seed.dxl
                [[ -s $b ]] || "$bin/bench/tarnwick-genbook" "$n" "$seed" "$b" 2>/dev/null
            fi
            same=yes
            "$bin/src/tarnwick-cli" scan "$b" >"$work/ours.log" 2>"$work/ours.err" || true
            "$BASELINE" scan "$b" >"$work/base.log" 2>"$work/base.err" || true
            "$bin/src/tarnwick-cli" export "$b" "$work/out" >>"$work/ours.err" 2>&1 || true
            "$BASELINE" export "$b" "$work/base" >>"$work/base.err" 2>&1 || true
            cmp -s "$work/ours.log" "$work/base.log" && cmp -s "$work/ours.err" "$work/base.err" &&
                cmp -s "$work/out/GMAILContacts.csv" "$work/base/GMAILContacts.csv" || same=NO
            echo "  $n contacts, seed $seed: $same"
            ((seed != 1)) && rm -f "$b"
        done
    done
fi

# A window left unpainted is a window that looks hung: the longest such stretch during the
# window's scan and export of the largest book.
if [[ -x $bin/bench/tarnwick-window-scan-bench ]]; then
    echo "Longest time a damaged Qt window stays unpainted, 300,000 contacts (target < 100 ms):"
    env QT_QPA_PLATFORM=offscreen "$bin/bench/tarnwick-window-scan-bench" --gaps "$work/book300000.dxl" "$work/out" \
        2>/dev/null | sed 's/^/  /'
fi

# The Win32 window under Wine, on an X server of its own, against tarnwick-cli.exe under
# the same Wine; in a fresh prefix of each bitness.
if [[ -n ${WINE_BUILD:-} ]]; then
    winbook="Z:${book//\//\\}"
    display_file=$work/xvfb.display
    rm -f "$display_file"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    for ((i = 0; i < 100; i++)); do
        [[ -s $display_file ]] && break
        sleep 0.1
    done
    export DISPLAY=:$(cat "$display_file") WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml,winemenubuilder.exe=
    # A desktop session loads a resource database into its X server (Debian's Xsession merges
    # /etc/X11/Xresources); a bare Xvfb has none, and then Xlib reads the resource files again
    # for every lookup: Wine looks up Xft settings each time a font goes into a device
    # context, which its edit box does for every line it is given (three file opens a line,
    # a fifth of the box's time). The same one resource as Debian's session, from a file.
    printf '*customization: -color\n' >"$work/xresources"
    export XENVIRONMENT=$work/xresources
    echo "Win32 window scan under Wine, 100,000 contacts, medians of 3 (target: window / cli <= 1.25);"
    echo "the log alone: the scan's lines put into the same window's edit box a flush at a time, no scan;"
    echo "longest unpainted stretch while another thread damages the window, 10,000 contacts (target < 100 ms):"
    small="Z:${work//\//\\}\\book10000.dxl"
    for arch in x86_64 i686; do
        if [[ $arch == x86_64 ]]; then loader=/usr/lib/wine/wine64 winearch=win64; else loader=/usr/lib/wine/wine winearch=win32; fi
        programs=$WINE_BUILD/$arch/build
        export WINEPREFIX=$work/wine-$arch WINEARCH=$winearch
        [[ -d $WINEPREFIX ]] || { "$loader" wineboot --init >/dev/null 2>&1; wineserver -w 2>/dev/null || true; }
        if ! "$loader" "$programs/src/tarnwick-cli.exe" columns >/dev/null 2>&1; then
            echo "  $arch: cannot run here"
            continue
        fi
        cli= win= lines= alone=
        "$loader" "$programs/src/tarnwick-cli.exe" scan "$winbook" >"$work/scan.log" 2>/dev/null
        for ((round = 0; round < 3; round++)); do
            once "$loader" "$programs/src/tarnwick-cli.exe" scan "$winbook"
            cli+=" $secs"
            # The whole process, as for the command line: the window's start included.
            once "$loader" "$programs/bench/tarnwick-window-scan-bench.exe" "$winbook"
            win+=" $secs"
            lines=$(tr -d '\r' <"$work/once.out" | sed -n 's/^log: \(.*\)/\1/p')
            alone+=" $("$loader" "$programs/bench/tarnwick-window-scan-bench.exe" --log-only "Z:${work//\//\\}\\scan.log" 2>/dev/null | head -1 | tr -d '\r')"
        done
        "$loader" "$programs/bench/tarnwick-window-scan-bench.exe" --gaps "$small" 2>/dev/null | tr -d '\r' >"$work/win.txt" || true
        c=$(median <<<"$cli") w=$(median <<<"$win") a=$(median <<<"$alone")
        echo "  $arch: cli $c s, window $w s, window / cli $(ratio "$w" "$c"); log alone $a s, log alone / cli $(ratio "$a" "$c"); log $lines;" \
            "$(sed -n 's/^scan: //p' "$work/win.txt") at 10,000"
    done
fi
