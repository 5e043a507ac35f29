#!/usr/bin/env bash
# Runs the Windows build's programs under Wine for ctest, and checks what they give against
# the fixtures and the Linux build. WINEPREFIX and friends come from ctest's environment.
# Usage: wine-test.sh WINE WINESERVER COMMAND [ARGUMENTS]
set -euo pipefail
wine=$1 wineserver=$2 command=$3
shift 3

# The Windows name of a file of the build machine: Wine shows its root as drive Z:.
windows_path() {
    local path=$1
    printf 'Z:%s' "${path//\//\\}"
}

# A text as a Windows console program writes it: every line feed a CR LF.
crlf() {
    sed 's/$/\r/'
}

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs the program under Wine; its output lands in $out/stdout and $out/stderr, its exit
# status in $status.
run_windows() {
    set +e
    "$wine" "$@" >"$out/stdout" 2>"$out/stderr"
    status=$?
    set -e
}

expect_same() { # what expected-file actual-file
    if ! cmp -s "$2" "$3"; then
        echo "--- $1 differs (expected, then actual):" >&2
        diff <(od -c "$2") <(od -c "$3") | head -40 >&2 || true
        fail "$1"
    fi
}

case $command in
prefix)
    # Afresh each run, so nothing one run registered in it reaches the next.
    rm -rf "${WINEPREFIX:?}"
    "$wine" wineboot --init
    # Until the services wineboot started are done: the first test would wait for them.
    "$wineserver" --wait
    ;;

shutdown)
    "$wineserver" --kill || true
    ;;

run)
    exec "$wine" "$@"
    ;;

scan-nsf)
    # No Notes client and no DXL file: the Notes-unavailable ending, word for word as the
    # Linux build ends it.
    exe=$1 native=$2 fixtures=$3
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    book=$fixtures/missing.nsf
    run_windows "$exe" scan "$(windows_path "$book")"
    [[ $status == 4 ]] || fail "exit status $status, expected 4"
    set +e
    "$native" scan "$book" >"$out/native.stdout" 2>"$out/native.stderr"
    set -e
    # Both name the book, each build in its own way.
    for stream in stdout stderr; do
        sed "s|$book|$(windows_path "$book" | sed 's/\\/\\\\/g')|" "$out/native.$stream" | crlf >"$out/expected.$stream"
    done
    expect_same "log" "$out/expected.stdout" "$out/stdout"
    expect_same "message" "$out/expected.stderr" "$out/stderr"
    [[ $(tail -n 1 "$out/stdout") == $'Please wait...\r' ]] || fail "the log does not end with Please wait..."
    [[ $(wc -l <"$out/stderr") == 10 ]] || fail "not the nine lines of the message and its reason"
    grep -q '^Notes Not Installed/Configured: Lotus Notes NOT INSTALLED or CONFIGURED Properly\.' "$out/stderr" ||
        fail "not the Notes-unavailable message"
    ;;

scan-dxl)
    exe=$1 fixtures=$2
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    book=$(windows_path "$fixtures/sample-book.dxl")
    run_windows "$exe" scan "$book"
    [[ $status == 0 ]] || fail "exit status $status, expected 0: $(cat "$out/stderr")"
    # "Source File : " shows the path as the user gave it, backslashes and all.
    sed "s|@BOOK@|$(sed 's/\\/\\\\/g' <<<"$book")|" "$fixtures/sample-book.scan.txt" | crlf >"$out/expected"
    expect_same "log" "$out/expected" "$out/stdout"
    printf 'Korvane Software: Notes Address Book Scan Completed\r\n' >"$out/expected.stderr"
    expect_same "message" "$out/expected.stderr" "$out/stderr"
    ;;

export-dxl)
    exe=$1 fixtures=$2 folder=$3
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    rm -rf "$folder"
    mkdir -p "$folder"
    # An earlier file of the name is replaced whole.
    printf 'an older export\r\n' >"$folder/GMAILContacts.csv"
    book=$(windows_path "$fixtures/sample-book.dxl")
    run_windows "$exe" export "$book" "$(windows_path "$folder")"
    [[ $status == 0 ]] || fail "exit status $status, expected 0: $(cat "$out/stderr")"
    printf '37 Contacts Saved Successfully\r\n' >"$out/expected"
    expect_same "report" "$out/expected" "$out/stdout"
    expect_same "GMAILContacts.csv" "$fixtures/sample-book.all.csv" "$folder/GMAILContacts.csv"
    [[ $(ls -A "$folder") == GMAILContacts.csv ]] || fail "files left beside the export: $(ls -A "$folder")"

    # A folder given with its trailing backslash gets no second one.
    run_windows "$exe" export "$book" "$(windows_path "$folder")\\" --columns "E-mail Address,First Name"
    [[ $status == 0 ]] || fail "exit status $status with a trailing backslash"
    [[ $(head -n 2 "$folder/GMAILContacts.csv") == $'First Name,E-mail Address,\r\nReception,reception@northwind.example,\r' ]] ||
        fail "unexpected file: $(head -n 2 "$folder/GMAILContacts.csv")"

    # A folder that is not there: a failure naming the file, and the good file untouched.
    cp "$folder/GMAILContacts.csv" "$out/before.csv"
    run_windows "$exe" export "$book" "$(windows_path "$folder/missing")"
    [[ $status == 1 ]] || fail "exit status $status for a missing folder, expected 1"
    grep -qF 'missing\GMAILContacts.csv' "$out/stderr" || fail "the failure does not name the file: $(cat "$out/stderr")"
    expect_same "the earlier export" "$out/before.csv" "$folder/GMAILContacts.csv"
    ;;

pe-machine)
    # The machine field of a Windows program's header: 014c for 32-bit x86, 8664 for x64.
    exe=$1 machine=$2
    [[ -f $exe ]] || fail "$exe was not built"
    pe=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
    found=$(od -An -t x2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
    [[ $found == "$machine" ]] || fail "$exe is for machine $found, expected $machine"
    echo "$exe: machine $found"
    ;;

*)
    fail "unknown command $command"
    ;;
esac
