#!/bin/bash
# The Wine tests' surroundings, one build tree's worth under STATE_FOLDER, in a
# prefix of the build's kind, ARCH win64 or win32:
#   wine.sh ARCH STATE_FOLDER start|stop   a private X server, two joined
#       pseudo-terminals mapped to COM5 and COM6, and a persistent wineserver
#   wine.sh ARCH STATE_FOLDER run [--dpi N] PROGRAM.exe [ARGUMENTS...]
#       unix:/path becomes Z:\path; --dpi sets the prefix's DPI from then on
set -u
arch=$1 state=$2 action=$3
shift 3
case $arch in
  win32) wine=${CORVANE_WINE:-/usr/lib/wine/wine} package=wine32:i386 ;;
  *) wine=${CORVANE_WINE64:-/usr/lib/wine/wine64} package=wine64 ;;
esac
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
    # Wine's 32-bit loader is a 32-bit Linux program: where the kernel runs none,
    # every win32 test skips, as also when CORVANE_TEST_NO_I386=1 is set. One
    # that only exits, static so that it needs no 32-bit library, tells.
    if [ "$arch" = win32 ]; then
      echo '.globl _start; _start: movl $1, %eax; xorl %ebx, %ebx; int $0x80' |
        as --32 -o "$state/i386.o" - && ld -m elf_i386 -o "$state/i386" "$state/i386.o" ||
        fail "the i386 probe was not built (Debian package binutils)"
      [ -n "${CORVANE_TEST_NO_I386:-}" ] && skip_all "CORVANE_TEST_NO_I386 set: i386 taken to fail"
      "$state/i386" 2>> "$log" ||
        skip_all "this kernel runs no 32-bit programs: a static i386 one did not start"
    fi
    # Xvfb picks a free display and names it once it takes connections.
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3> "$state/display" \
      >> "$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    wait_for 30 test -s "$state/display" || fail "no X display could be started"
    export DISPLAY=":$(cat "$state/display")"
    # Made once per build tree: later runs reuse it. Unmanaged windows, else
    # every closed window stalls without a window manager; no crash dialog,
    # else a crash hangs the test.
    if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -f "$state/prefix.ready" ]; then
      rm -rf "$WINEPREFIX"
      "$wine" wineboot --init >> "$log" 2>&1 && "$wineserver" -w &&
        reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N &&
        reg 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 &&
        reg 'HKLM\Software\Wine\Ports' COM5 REG_SZ "$state/ttyCOM5" &&
        reg 'HKLM\Software\Wine\Ports' COM6 REG_SZ "$state/ttyCOM6" && "$wineserver" -w &&
        touch "$state/prefix.ready" || fail "Wine prefix not made, see $log"
    fi
    # The prefix's own COM links point at the host's real ports.
    rm -f "$WINEPREFIX"/dosdevices/com*
    # Without python3 there is no pair, and the badge scenario skips.
    if command -v python3 > /dev/null; then
      python3 "${0%/*}/pty_pair.py" "$state/ttyCOM5" "$state/ttyCOM6" >> "$state/pty.log" 2>&1 &
      echo $! > "$state/pty.pid"
      wait_for 30 test -L "$state/ttyCOM6" || fail "COM5/COM6 pair not started"
    fi
    "$wineserver" -p >> "$log" 2>&1
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
    [ "${1:-}" = --dpi ] && { reg 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$2" &&
      shift 2 || fail "the DPI could not be set to $2"; }
    arguments=()
    for argument; do
      [[ $argument == unix:* ]] && argument=Z:${argument#unix:} && argument=${argument//\//\\}
      arguments+=("$argument")
    done
    # Into a file, not CTest's pipe: Wine's helper processes outlive the
    # program and would hold the pipe open.
    output=$(mktemp "$state/output.XXXXXX")
    trap 'cat "$output"; rm -f "$output"' EXIT
    "$wine" "${arguments[@]}" > "$output" 2>&1 < /dev/null
    ;;
  *) echo "usage: $0 ARCH STATE_FOLDER start|stop|run [--dpi N] [PROGRAM.exe ARGS...]" >&2; exit 2 ;;
esac
