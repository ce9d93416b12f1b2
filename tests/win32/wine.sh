#!/bin/bash
# The Wine tests' surroundings. start: an X server of its own, COM5 and COM6 joined, COM7 held by
# another program, a persistent wineserver. run: at N DPI; a --line COMn set wrong must read right.
set -u
arch=$1 state=$2 action=$3
shift 3
[ "$arch" = win32 ] && wine=${CORVANE_WINE:-/usr/lib/wine/wine} package=wine32:i386 ||
  wine=${CORVANE_WINE64:-/usr/lib/wine/wine64} package=wine64
wineserver=${CORVANE_WINESERVER:-/usr/lib/wine/wineserver}
log=$state/fixture.log
export WINEPREFIX=$state/prefix WINEARCH=$arch WINEDEBUG=-all TMPDIR=$state/tmp
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -s "$state/display" ] && export DISPLAY=":$(cat "$state/display")"

source "$(dirname "$0")/../support/exit_codes.sh"
skip() { echo "SKIP: $*" && exit "$CORVANE_TEST_SKIPPED"; }
skip_all() { skip "$(tee "$state/skipped" <<< "$*")"; }  # this run and every later one
fail() { echo "FAIL: $*" >&2 && exit 1; }
reg() { "$wine" reg add "$1" /v "$2" /t "$3" /d "$4" /f >> "$log" 2>&1; }
# A pseudo-terminal keeps the line Wine sets but always reads 8 data bits and no parity bit, so
# these can be seen set wrong, and at 19200, then cleared, at 9600: 8N1, raw, no flow control.
wrong_line=(cstopb parodd cmspar inpck crtscts ixon ixoff icanon echo isig icrnl inlcr opost)
right_line=('speed 9600 baud' "${wrong_line[@]/#/-}")
wait_for() {  # polls the command for up to $1 seconds until it succeeds
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do ((SECONDS < deadline)) && sleep 0.1 || return 1; done
}
[ -x "$wine" ] && [ -x "$wineserver" ] || skip "$wine not installed (Debian package $package)"
command -v Xvfb > /dev/null || skip "Xvfb not installed (Debian package xvfb)"
[ "$action" = run ] && [ -f "$state/skipped" ] && skip "$(cat "$state/skipped")"

case $action in
  start)
    mkdir -p "$TMPDIR" && : > "$log"
    "$0" "$arch" "$state" stop > /dev/null 2>&1
    # Wine's 32-bit loader is a Linux program, which not every kernel runs.
    [ "$arch" = win32 ] && [ -n "${CORVANE_TEST_NO_I386:-}" ] && skip_all "CORVANE_TEST_NO_I386 set: i386 taken to fail"
    [ "$arch" = win32 ] && ! "$wine" --version >> "$log" 2>&1 && skip_all "this kernel runs no 32-bit programs: $wine did not start"
    # Xvfb picks a free display and names it once it takes connections.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$state/display" \
      >> "$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    wait_for 30 test -s "$state/display" || fail "no X display could be started"
    export DISPLAY=":$(cat "$state/display")"
    # Unmanaged windows, as no window manager closes them; no crash dialog to hang a test.
    ports=(COM5 COM6 COM7)
    if [ "$(cat "$WINEPREFIX/corvane.ready" 2> /dev/null)" != "${ports[*]}" ]; then
      rm -rf "$WINEPREFIX"
      "$wine" wineboot --init >> "$log" 2>&1 && "$wineserver" -w &&
        reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N &&
        reg 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 &&
        (for port in "${ports[@]}"; do
          reg 'HKLM\Software\Wine\Ports' "$port" REG_SZ "$state/tty$port" || exit; done) &&
        "$wineserver" -w && echo "${ports[*]}" > "$WINEPREFIX/corvane.ready" ||
        fail "Wine prefix not made, see $log"
    fi
    # The prefix's own COM links point at the host's real ports.
    rm -f "$WINEPREFIX"/dosdevices/com*
    # Without python3 there are no COM ports, and the scenarios that need them skip.
    if command -v python3 > /dev/null; then
      python3 "${0%/*}/pty_pair.py" "${ports[@]/#/$state/tty}" >> "$state/pty.log" 2>&1 &
      echo $! > "$state/pty.pid"
      wait_for 30 test -L "$state/tty${ports[-1]}" || fail "${ports[*]} not made"
    fi
    # The server opens the ports: as root it would open even the held one, as no operator can.
    [ "$(id -u)" = 0 ] && unprivileged=(setpriv --bounding-set=-sys_admin --) || unprivileged=()
    "${unprivileged[@]}" "$wineserver" -p >> "$log" 2>&1
    echo "Wine ready on display $DISPLAY, prefix $WINEPREFIX"
    ;;
  stop)
    [ -d "$WINEPREFIX" ] && { "$wineserver" -k; "$wineserver" -w; } > /dev/null 2>&1
    cat "$state/pty.pid" "$state/xvfb.pid" 2> /dev/null | xargs -r kill 2> /dev/null
    rm -f "$state/pty.pid" "$state/xvfb.pid" "$state/display" "$state/skipped" "$state"/ttyCOM?
    echo "Wine stopped"
    ;;
  run)
    [ -s "$state/display" ] || fail "the Wine fixture is not running"
    dpi=96 line=
    [ "${1:-}" = --dpi ] && dpi=$2 && shift 2
    [ "${1:-}" = --line ] && line=$state/tty$2 && shift 2
    # Set for every program, so none sees the one before's; without the port, the scenario skips.
    reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi" || fail "the DPI could not be set to $dpi"
    [ -z "$line" ] || [ ! -e "$line" ] || stty -F "$line" 19200 "${wrong_line[@]}" ||
      fail "$line could not be set wrong"
    # Into a file: Wine's helper processes outlive the program and would hold CTest's pipe.
    output=$(mktemp "$state/output.XXXXXX")
    trap 'cat "$output"; rm -f "$output"' EXIT
    "$wine" "$@" > "$output" 2>&1 < /dev/null
    status=$?
    if [ "$status" -eq 0 ] && [ -n "$line" ]; then
      settings=" $(stty -F "$line" -a | tr ';\n' '  ') " missing=
      for setting in "${right_line[@]}"; do [[ $settings == *" $setting "* ]] || missing+=" $setting"; done
      [ -z "$missing" ] || { echo "FAIL: $line is not$missing:$settings" >&2 && status=1; }
    fi
    exit "$status"
    ;;
  *) echo "usage: $0 ARCH STATE_FOLDER start|stop|run [--dpi N] [--line COMn] [PROGRAM.exe ARGS...]" >&2 && exit 2 ;;
esac
