#!/usr/bin/env bash
# Runs the Windows build's programs under Wine for ctest, and checks what they give against
# the fixtures and the Linux build. WINEPREFIX, WINEARCH and friends come from ctest's
# environment. WINE is the loader of the prefix's bitness; commands that need no Wine take
# "-" for WINE and WINESERVER.
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

# The X server of the window tests, started by xvfb-start: its display, once it is ready.
display_of() { # state-folder
    local display
    display=$(cat "$1/display" 2>/dev/null) || fail "no X server: xvfb_start did not run or failed"
    [[ $display =~ ^[0-9]+$ ]] || fail "no display number in $1/display"
    printf ':%s' "$display"
}

# A value of a registry key as reg.exe shows it, without the line end ("" when missing).
registry_value() { # key name
    "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}

# The build machine's path of a Windows path in the prefix.
unix_path() {
    "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'
}

# The value of an environment variable of the prefix's Windows, as a path of this machine.
windows_folder() { # variable
    local value
    value=$("$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r')
    [[ -n $value && $value != "%$1%" ]] || fail "the prefix has no %$1%"
    unix_path "$value"
}

# tarnwick-cli scan of the sample book: the fixture's log and the closing message.
check_scan_dxl() { # exe fixtures
    local exe=$1 fixtures=$2 book
    book=$(windows_path "$fixtures/sample-book.dxl")
    run_windows "$exe" scan "$book"
    [[ $status == 0 ]] || fail "scan: exit status $status, expected 0: $(cat "$out/stderr")"
    # "Source File : " shows the path as the user gave it, backslashes and all.
    sed "s|@BOOK@|$(sed 's/\\/\\\\/g' <<<"$book")|" "$fixtures/sample-book.scan.txt" | crlf >"$out/expected"
    expect_same "log" "$out/expected" "$out/stdout"
    printf 'Korvane Software: Notes Address Book Scan Completed\r\n' >"$out/expected.stderr"
    expect_same "message" "$out/expected.stderr" "$out/stderr"
}

# tarnwick-cli export of the sample book into an empty folder: the fixture's file.
check_export_dxl() { # exe fixtures folder
    local exe=$1 fixtures=$2 folder=$3 book
    rm -rf "$folder"
    mkdir -p "$folder"
    # An earlier file of the name is replaced whole.
    printf 'an older export\r\n' >"$folder/GMAILContacts.csv"
    book=$(windows_path "$fixtures/sample-book.dxl")
    run_windows "$exe" export "$book" "$(windows_path "$folder")"
    [[ $status == 0 ]] || fail "export: exit status $status, expected 0: $(cat "$out/stderr")"
    printf '37 Contacts Saved Successfully\r\n' >"$out/expected"
    expect_same "report" "$out/expected" "$out/stdout"
    expect_same "GMAILContacts.csv" "$fixtures/sample-book.all.csv" "$folder/GMAILContacts.csv"
    [[ $(ls -A "$folder") == GMAILContacts.csv ]] || fail "files left beside the export: $(ls -A "$folder")"
}

case $command in
skip)
    # A test this machine cannot run, with the reason (ctest shows it as skipped).
    echo "Skipped: $1"
    ;;

prefix)
    # Afresh each run, so nothing one run registered in it reaches the next. A copy for
    # the window tests, when asked for: Wine settles a session's display driver with its
    # first program, and a session begun without a display never shows a window, so those
    # tests get a prefix of their own, whose sessions all begin on the display.
    copy=${1:-}
    rm -rf "${WINEPREFIX:?}"
    "$wine" wineboot --init
    # Until the services wineboot started are done (the first test would wait for them)
    # and the registry is written out.
    "$wineserver" --wait
    # The prefix's bitness is the one asked for: a 64-bit one has a syswow64 folder.
    if [[ ${WINEARCH:?} == win32 ]]; then
        [[ ! -d $WINEPREFIX/drive_c/windows/syswow64 ]] || fail "$WINEPREFIX is not a 32-bit prefix"
    else
        [[ -d $WINEPREFIX/drive_c/windows/syswow64 ]] || fail "$WINEPREFIX is not a 64-bit prefix"
    fi
    if [[ -n $copy ]]; then
        rm -rf "$copy"
        cp -a "$WINEPREFIX" "$copy"
    fi
    ;;

shutdown)
    "$wineserver" --kill || true
    ;;

run)
    exec "$wine" "$@"
    ;;

run-on-display)
    DISPLAY=$(display_of "$1")
    export DISPLAY
    shift
    exec "$wine" "$@"
    ;;

xvfb-start)
    # An X server on the first free display; it tells which through -displayfd once it
    # takes connections. It must outlive this test, so it gets its own session and none
    # of ctest's pipes.
    xvfb=$1 state=$2
    # One left by an interrupted run goes first.
    bash "$0" - - xvfb-stop "$state"
    mkdir -p "$state"
    setsid "$xvfb" -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$state/display" </dev/null >"$state/log" 2>&1 &
    echo $! >"$state/pid"
    for ((i = 0; i < 300; i++)); do
        [[ -s $state/display ]] && break
        kill -0 "$(cat "$state/pid")" 2>/dev/null || fail "Xvfb ended: $(cat "$state/log")"
        sleep 0.1
    done
    [[ -s $state/display ]] || fail "Xvfb gave no display within 30 s: $(cat "$state/log")"
    echo "Xvfb on $(display_of "$state"), process $(cat "$state/pid")"
    ;;

xvfb-stop)
    state=$1
    [[ -f $state/pid ]] || exit 0
    pid=$(cat "$state/pid")
    # Only the server this run started, should the number have been given to another.
    if [[ $(cat "/proc/$pid/comm" 2>/dev/null) == Xvfb ]]; then
        kill "$pid"
        for ((i = 0; i < 50; i++)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
    fi
    rm -rf "$state"
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
    check_scan_dxl "$exe" "$fixtures"
    ;;

export-dxl)
    exe=$1 fixtures=$2 folder=$3
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    check_export_dxl "$exe" "$fixtures" "$folder"
    book=$(windows_path "$fixtures/sample-book.dxl")

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

installer)
    # The installer as a user runs it: silently into the default folder, the installed
    # tarnwick-cli.exe on the sample book, the Start-menu entry and the uninstall entry,
    # then the uninstaller that entry names; once more into a folder given with /D=.
    # Afterwards nothing of it may be left.
    setup=$1 stage=$2 fixtures=$3 work=$4 version=$5 bits=$6
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
    [[ -f $setup ]] || fail "$setup was not built"
    key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick'
    installed=(Help.chm LICENSE.txt tarnwick-cli.exe tarnwick.exe uninstall.exe)
    shortcut="$(windows_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Tarnwick.lnk"

    # Runs the uninstaller as the uninstall entry says. It copies itself into %TEMP%, starts
    # the copy and ends at once, so its exit status says little and the work is done a
    # moment later: until then, or a minute, the entry, the shortcut and uninstall.exe
    # are watched.
    uninstall_and_wait() { # installed-folder
        local folder=$1 command
        command=$(registry_value "$key" QuietUninstallString)
        [[ $command =~ ^\"(.+\\uninstall\.exe)\"\ /S$ ]] || fail "QuietUninstallString is \"$command\""
        [[ $(unix_path "${BASH_REMATCH[1]}") == "$folder/uninstall.exe" ]] ||
            fail "QuietUninstallString names ${BASH_REMATCH[1]}, not the installed uninstall.exe"
        run_windows "$(unix_path "${BASH_REMATCH[1]}")" /S
        [[ $status == 0 ]] || fail "the uninstaller: exit status $status: $(cat "$out/stderr")"
        for ((i = 0; i < 600; i++)); do
            [[ -e $folder/uninstall.exe ]] || break
            sleep 0.1
        done
        [[ ! -e $folder/uninstall.exe ]] || fail "the uninstaller did not remove uninstall.exe within a minute"
        # The Start-menu entry and the uninstall entry go last; what is still there after
        # a few seconds more stays.
        for ((i = 0; i < 20; i++)); do
            if [[ ! -e $shortcut ]] && ! "$wine" reg query "$key" >/dev/null 2>&1; then
                break
            fi
            sleep 0.5
        done
    }

    check_installation() { # folder
        local folder=$1 name
        [[ $(cd "$folder" && ls -A | LC_ALL=C sort | tr '\n' ' ') == "${installed[*]} " ]] ||
            fail "installed in $folder: $(ls -A "$folder"), expected ${installed[*]}"
        for name in Help.chm LICENSE.txt tarnwick-cli.exe tarnwick.exe; do
            cmp -s "$stage/$name" "$folder/$name" || fail "the installed $name is not the one built"
        done
        [[ -f $shortcut ]] || fail "no Start-menu entry: $shortcut"
        # A shell link keeps its target's path in the code page and in UTF-16.
        grep -qaF 'tarnwick.exe' "$shortcut" || fail "the Start-menu entry does not start tarnwick.exe"
        [[ $(registry_value "$key" DisplayName) == "Tarnwick ($bits-bit)" ]] || fail "DisplayName: $(registry_value "$key" DisplayName)"
        [[ $(registry_value "$key" DisplayVersion) == "$version" ]] || fail "DisplayVersion: $(registry_value "$key" DisplayVersion)"
        [[ $(registry_value "$key" Publisher) == "Korvane Software" ]] || fail "Publisher: $(registry_value "$key" Publisher)"
        [[ $(registry_value "$key" NoModify) == 0x1 ]] || fail "NoModify: $(registry_value "$key" NoModify)"
        [[ $(registry_value "$key" NoRepair) == 0x1 ]] || fail "NoRepair: $(registry_value "$key" NoRepair)"
        [[ $(unix_path "$(registry_value "$key" InstallLocation)") == "$folder" ]] ||
            fail "InstallLocation: $(registry_value "$key" InstallLocation)"
        local uninstall
        uninstall=$(registry_value "$key" UninstallString)
        [[ $uninstall =~ ^\"(.+)\"$ && $(unix_path "${BASH_REMATCH[1]}") == "$folder/uninstall.exe" ]] ||
            fail "UninstallString: $uninstall"
        check_scan_dxl "$folder/tarnwick-cli.exe" "$fixtures"
        check_export_dxl "$folder/tarnwick-cli.exe" "$fixtures" "$work/export"
    }

    check_gone() { # folder
        [[ ! -e $1 ]] || fail "left behind in $1: $(ls -A "$1")"
        [[ ! -e $shortcut ]] || fail "the Start-menu entry is left behind"
        if "$wine" reg query "$key" >/dev/null 2>&1; then
            fail "the uninstall entry $key is left behind"
        fi
    }

    # The default folder: %LOCALAPPDATA%\Programs\Tarnwick.
    folder="$(windows_folder LOCALAPPDATA)/Programs/Tarnwick"
    check_gone "$folder"
    run_windows "$setup" /S
    [[ $status == 0 ]] || fail "the installer: exit status $status: $(cat "$out/stderr")"
    check_installation "$folder"
    uninstall_and_wait "$folder"
    check_gone "$folder"

    # A folder of the user's choosing, a space in its name. A file the user put there is
    # not the uninstaller's to remove, nor is the folder that holds it.
    folder=$(unix_path 'C:\Tarnwick Test\Programs')
    rm -rf "$(dirname "$folder")"
    # /D= is the end of the command line, spaces and all, without quotes. Wine would quote
    # an argument with a space, so cmd passes the line on as it stands.
    run_windows cmd /c "$(windows_path "$setup") /S /D=C:\Tarnwick Test\Programs"
    [[ $status == 0 ]] || fail "the installer with /D=: exit status $status: $(cat "$out/stderr")"
    check_installation "$folder"
    printf 'mine\r\n' >"$folder/notes.txt"
    uninstall_and_wait "$folder"
    [[ $(ls -A "$folder") == notes.txt ]] || fail "after uninstalling, $folder holds: $(ls -A "$folder")"
    rm "$folder/notes.txt"
    rmdir "$folder"
    check_gone "$folder"
    rm -rf "$(dirname "$folder")"
    echo "installed, used and uninstalled twice: $(basename "$setup")"
    ;;

pe-machine)
    # The machine field of a Windows program's header: 014c for 32-bit x86, 8664 for x64.
    machine=$1
    shift
    for exe in "$@"; do
        [[ -f $exe ]] || fail "$exe was not built"
        pe=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
        found=$(od -An -t x2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
        [[ $found == "$machine" ]] || fail "$exe is for machine $found, expected $machine"
        echo "$exe: machine $found"
    done
    ;;

*)
    fail "unknown command $command"
    ;;
esac
