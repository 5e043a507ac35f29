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

# The stand-in Notes server (notes-server.exe of the tests): registered afresh with the
# switches given, as a Notes client registers its OLE class; a 32-bit server's class lands
# in the registry's 32-bit view only.
register_notes() { # wine server switches...
    local w=$1 s=$2
    shift 2
    # A server COM started for an earlier pass may still run: one whose client gave up
    # waiting for it (a loaded machine) starts late and would answer the next pass with the
    # earlier switches.
    "$w" taskkill /f /im "${s##*/}" >/dev/null 2>&1 || true
    "$w" "$s" /unregister
    : >"$out/server.log"
    "$w" "$s" /register "--log=$(windows_path "$out/server.log")" "$@" || fail "cannot register $s"
}

# A run of tarnwick-cli under a loader of its own (a 32-bit program in a 64-bit prefix).
run_with() { # wine exe args...
    local saved=$wine
    wine=$1
    shift
    run_windows "$@"
    wine=$saved
}

# What the server saw of a pass that ended as it should: the entry by reference, every
# object released by the time the session is, each member's id asked once, and the
# properties read as properties.
expect_server_log() { # member-ids
    grep -qx 'GetNextDocument: entry by reference' "$out/server.log" || fail "GetNextDocument's entry not by reference: $(cat "$out/server.log")"
    grep -qx "session released, 0 objects alive, $1 member ids asked, 0 calls refused" "$out/server.log" &&
        ! grep -q 'read as a method' "$out/server.log" || fail "the server saw: $(cat "$out/server.log")"
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
    exe=$1 fixtures=$2 folder=$3 holder=$4
    out=$(mktemp -d)
    trap 'exec 3>&-; rm -rf "$out"' EXIT
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

    # A full disk, in the system's words ("Disk full." is Wine's; Windows says "There is not
    # enough space on the disk."): a small file system where this machine lets us mount one.
    mkdir "$out/small"
    if mount -t tmpfs -o size=8k tarnwick-full "$out/small" 2>/dev/null; then
        trap 'exec 3>&-; umount "$out/small" 2>/dev/null || true; rm -rf "$out"' EXIT
        printf 'First Name\r\nOld,\r\n' >"$out/small/GMAILContacts.csv"
        cp "$out/small/GMAILContacts.csv" "$out/small-before.csv"
        run_windows "$exe" export "$book" "$(windows_path "$out/small")"
        [[ $status == 1 ]] || fail "exit status $status on a full disk, expected 1"
        grep -qF 'GMAILContacts.csv: cannot write: Disk full.' "$out/stderr" ||
            fail "the failure does not say the disk is full: $(cat "$out/stderr")"
        expect_same "the earlier export on a full disk" "$out/small-before.csv" "$out/small/GMAILContacts.csv"
        [[ $(ls -A "$out/small") == GMAILContacts.csv ]] || fail "files left on the full disk: $(ls -A "$out/small")"
        umount "$out/small"
    else
        echo "A full disk not tried: this machine lets no small file system be mounted."
    fi

    # The file open in another program that shares it with nobody, as a spreadsheet
    # program holds the file it shows: the export fails saying so, and nothing is lost.
    mkfifo "$out/hold"
    "$wine" "$holder" /hold "$(windows_path "$folder/GMAILContacts.csv")" <"$out/hold" >"$out/held" &
    exec 3>"$out/hold"
    for ((i = 0; i < 300; i++)); do
        [[ -s $out/held ]] && break
        sleep 0.1
    done
    [[ $(cat "$out/held") == held* ]] || fail "the second program could not hold the file: $(cat "$out/held")"
    run_windows "$exe" export "$book" "$(windows_path "$folder")"
    exec 3>&-
    wait
    [[ $status == 1 ]] || fail "exit status $status for a file held open, expected 1"
    grep -qF 'GMAILContacts.csv: cannot replace the file: it is open in another program' "$out/stderr" ||
        fail "the failure does not say the file is open in another program: $(cat "$out/stderr")"
    expect_same "the file held open" "$out/before.csv" "$folder/GMAILContacts.csv"
    [[ $(ls -A "$folder") == GMAILContacts.csv ]] || fail "files left beside the export: $(ls -A "$folder")"
    ;;

notes-server)
    # The scan and the export through the stand-in Notes server, out of process: each
    # program bitness against a server of each bitness this prefix runs (a 32-bit server
    # registered, as a 32-bit client registers itself, in the registry's 32-bit view only)
    # gives the DXL reader's log and bytes. Then the server failing.
    fixtures=$1 folder=$2
    shift 2
    programs=("$@") # WINE CLI SERVER, for each bitness; the prefix's own first
    out=$(mktemp -d)
    trap '"$wine" "${programs[2]}" /unregister; rm -rf "$out"' EXIT
    nsf='C:\Notes\Data\names.nsf'
    sed "s|@BOOK@|$(sed 's/\\/\\\\/g' <<<"$nsf")|" "$fixtures/sample-book.scan.txt" | crlf >"$out/sample.log"
    bits() { [[ $1 == */i686/* ]] && echo 32 || echo 64; }
    export_to() { # wine cli [book]: into a folder that holds an earlier export only
        rm -rf "$folder"
        mkdir -p "$folder"
        printf 'an older export\r\n' >"$folder/GMAILContacts.csv"
        run_with "$1" "$2" export "${3:-$nsf}" "$(windows_path "$folder")"
    }
    for ((p = 0; p < ${#programs[@]}; p += 3)); do
        for ((s = 0; s < ${#programs[@]}; s += 3)); do
            cli=("${programs[p]}" "${programs[p + 1]}") server=("${programs[s]}" "${programs[s + 2]}")
            cell="$(bits "${cli[1]}")-bit program, $(bits "${server[1]}")-bit server"
            register_notes "${server[@]}" "--book=$(windows_path "$fixtures/sample-book.dxl")"
            run_with "${cli[@]}" scan "$nsf"
            [[ $status == 0 ]] || fail "$cell: scan: exit status $status: $(cat "$out/stderr")"
            expect_same "$cell: log" "$out/sample.log" "$out/stdout"
            expect_server_log 11
            : >"$out/server.log"
            export_to "${cli[@]}"
            [[ $status == 0 ]] || fail "$cell: export: exit status $status: $(cat "$out/stderr")"
            expect_same "$cell: GMAILContacts.csv" "$fixtures/sample-book.all.csv" "$folder/GMAILContacts.csv"
            expect_server_log 9
            # Names in many scripts, some outside the Basic Multilingual Plane, as the DXL
            # reader gives them to the same program.
            scripts=$(windows_path "$fixtures/scripts-book.dxl")
            register_notes "${server[@]}" "--book=$scripts"
            for way in dxl com; do
                [[ $way == dxl ]] && book=$scripts || book=$nsf
                run_with "${cli[@]}" scan "$book"
                grep -v '^Source File' "$out/stdout" >"$out/$way.log"
                export_to "${cli[@]}" "$book"
                cp "$folder/GMAILContacts.csv" "$out/$way.csv"
            done
            expect_same "$cell: log of names in many scripts" "$out/dxl.log" "$out/com.log"
            expect_same "$cell: names in many scripts" "$out/dxl.csv" "$out/com.csv"
            echo "$cell: as the DXL reader"
        done
    done

    # The server failing, at the prefix's own bitness. Each case: the server's switches;
    # the scan's exit status, the sed script that makes its log from the sample's, what its
    # stderr must hold; the export's exit status and what its stderr must hold (an export
    # that fails leaves the earlier file as it was); what the server must have seen. An
    # empty pattern checks nothing.
    cli=("${programs[0]}" "${programs[1]}") server=("${programs[0]}" "${programs[2]}")
    book="--book=$(windows_path "$fixtures/sample-book.dxl")"
    while IFS='|' read -r switches scan_status log scan_says export_status export_says server_saw; do
        read -ra list <<<"${switches//@BOOK@/$book}"
        register_notes "${server[@]}" "${list[@]}"
        run_with "${cli[@]}" scan "$nsf"
        [[ $status == "$scan_status" ]] || fail "$switches: scan: exit status $status: $(cat "$out/stderr")"
        expect_same "$switches: log" <(sed "$log" "$out/sample.log") "$out/stdout"
        grep -qE "$scan_says" "$out/stderr" || fail "$switches: scan: not /$scan_says/: $(cat "$out/stderr")"
        [[ -z $server_saw ]] || grep -qE "$server_saw" "$out/server.log" ||
            fail "$switches: the server saw: $(cat "$out/server.log")"
        export_to "${cli[@]}"
        [[ $status == "$export_status" ]] || fail "$switches: export: exit status $status: $(cat "$out/stderr")"
        [[ -z $export_says ]] || grep -qE "$export_says" "$out/stderr" ||
            fail "$switches: export: not /$export_says/: $(cat "$out/stderr")"
        if [[ $export_status == 0 ]]; then
            expect_same "$switches: GMAILContacts.csv" "$fixtures/sample-book.all.csv" "$folder/GMAILContacts.csv"
        elif [[ $(ls -A "$folder") != GMAILContacts.csv || $(cat "$folder/GMAILContacts.csv") != $'an older export\r' ]]; then
            fail "$switches: export: the earlier file is not as it was: $(ls -A "$folder")"
        fi
        echo "$switches: as expected"
    done <<EOF
@BOOK@ --exit-after=5|0|12q|^Reason: GetNextDocument: the call failed: 0x800706B[AE] |1|contact 6 of the address book: GetNextDocument: the call failed: 0x800706B[AE] |
@BOOK@ --delete=3|0|9q|^Reason: Document: the entry has no document|1|contact 3 of the address book: Document: the entry has no document|
@BOOK@ --reject-ms=2500|0||Scan Completed|0||^session released, 0 objects alive, 11 member ids asked, [1-9][0-9]* calls refused$
@BOOK@ --slow-ms=1500|0||Scan Completed|0||^session released, 0 objects alive
@BOOK@ --categories=5|0|s/^Total Contacts Found : 37/Total Contacts Found : 45/|Scan Completed|0||
@BOOK@ --missing=array|0||Scan Completed|0||
@BOOK@ --missing=empty|0||Scan Completed|0||
@BOOK@ --missing=null|0||Scan Completed|0||
--book=$(windows_path "$fixtures/truncated.dxl")|3|/^Total/d;7q|^Reason: GetView: the call raised an error: .*unclosed token \(line 478\)|3|^Korvane Software: File does not seems|
--book=Z:\\nowhere\\names.dxl|4|3q|^Reason: GetDatabase: Notes cannot open "C:\\\\Notes\\\\Data\\\\names.nsf" \(IsOpen is False\)|4|^Korvane Software: Lotus Notes not configured|
--refuse-start|4|3q|^Reason: Notes.NotesSession: the object cannot be created: 0x8|4|^Reason: Notes.NotesSession: the object cannot be created: 0x8|
EOF
    # A client that would not start still leaves DXL exports to the DXL reader.
    run_with "${cli[@]}" scan "$(windows_path "$fixtures/sample-book.dxl")"
    [[ $status == 0 ]] || fail "a DXL export beside a client that does not start: exit status $status"
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
