#!/bin/bash
# The Wine tests' surroundings, one build tree's worth under STATE_FOLDER, in a
# prefix of the build's kind, ARCH win64 or win32:
#   wine.sh ARCH STATE_FOLDER start|stop   a private X server, two joined
#       pseudo-terminals mapped to COM5 and COM6, and a persistent wineserver
#   wine.sh ARCH STATE_FOLDER run [--dpi N] PROGRAM.exe [ARGUMENTS...]
#       unix:/path becomes Z:\path; --dpi sets the prefix's DPI from then on
# Where the kernel runs no 32-bit programs, neither does 32-bit Wine: there
# every win32 test is skipped, as also when CORVANE_TEST_NO_I386=1 is set.
set -u
arch=$1
state=$2
action=$3
shift 3
case $arch in
  win32) wine=${CORVANE_WINE:-/usr/lib/wine/wine} package=wine32:i386 ;;
  *) wine=${CORVANE_WINE64:-/usr/lib/wine/wine64} package=wine64 ;;
esac
wineserver=${CORVANE_WINESERVER:-/usr/lib/wine/wineserver}
log=$state/fixture.log
export WINEPREFIX=$state/prefix WINEARCH=$arch WINEDEBUG=-all TMPDIR=$state/tmp
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -f "$state/display" ] && export DISPLAY=":$(cat "$state/display")"

skip() { echo "SKIP: $*" && exit 77; }
[ -x "$wine" ] && [ -x "$wineserver" ] || skip "$wine not installed (Debian package $package)"
command -v Xvfb > /dev/null || skip "Xvfb not installed (Debian package xvfb)"
[ "$action" = run ] && [ -f "$state/skipped" ] && skip "$(cat "$state/skipped")"

wait_for() {  # polls the command until it succeeds or SECONDS pass
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

kill_recorded() {  # the process whose pid the file holds, if it still runs
  [ -f "$1" ] && kill "$(cat "$1")" 2> /dev/null
  rm -f "$1"
}

start_x_server() {
  local display
  for display in $(seq 70 99); do
    [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ] && continue
    Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >> "$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    echo "$display" > "$state/display"
    export DISPLAY=":$display"
    wait_for 30 test -S "/tmp/.X11-unix/X$display" && return 0
    kill_recorded "$state/xvfb.pid"
  done
  echo "FAIL: no X display could be started" >&2
  return 1
}

# Made once per build tree: later runs reuse it. Unmanaged windows, else every
# closed window stalls without a window manager; no crash dialog, else a crash
# hangs the test.
make_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$state/prefix.ready" ] && return 0
  rm -rf "$WINEPREFIX"
  "$wine" wineboot --init >> "$log" 2>&1 || return 1
  "$wineserver" -w
  local key
  for key in 'HKCU\Software\Wine\X11 Driver|Managed|REG_SZ|N' \
    'HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0' \
    "HKLM\\Software\\Wine\\Ports|COM5|REG_SZ|$state/ttyCOM5" \
    "HKLM\\Software\\Wine\\Ports|COM6|REG_SZ|$state/ttyCOM6"; do
    IFS='|' read -r path name type value <<< "$key"
    "$wine" reg add "$path" /v "$name" /t "$type" /d "$value" /f >> "$log" 2>&1 || return 1
  done
  "$wineserver" -w
  touch "$state/prefix.ready"
}

# Wine's 32-bit loader is itself a 32-bit Linux program. A static one of a few
# instructions, which needs no 32-bit library installed, shows whether this
# kernel runs them.
i386_programs_run() {
  as --32 -o "$state/i386.o" - << 'EOF' && ld -m elf_i386 -o "$state/i386" "$state/i386.o" ||
  .globl _start
_start:
  movl $1, %eax    # exit
  xorl %ebx, %ebx  # with status 0
  int $0x80
EOF
    { echo "FAIL: the i386 probe was not built (Debian package binutils)" >&2; exit 1; }
  [ -z "${CORVANE_TEST_NO_I386:-}" ] && "$state/i386" 2>> "$log"
}

start_serial_pair() {
  command -v python3 > /dev/null || { echo "no python3: no COM5/COM6 pair" >> "$log"; return 0; }
  rm -f "$state/pty.pid"
  python3 "$(dirname "$0")/pty_pair.py" "$state/ttyCOM5" "$state/ttyCOM6" "$state/pty.pid" \
    >> "$state/pty.log" 2>&1 &
  wait_for 30 test -f "$state/pty.pid"
}

case $action in
  start)
    mkdir -p "$state" "$TMPDIR"
    : > "$log"
    "$0" "$arch" "$state" stop > /dev/null 2>&1
    rm -f "$state/skipped"
    why="this kernel runs no 32-bit programs: a static i386 one did not start"
    [ -n "${CORVANE_TEST_NO_I386:-}" ] && why="CORVANE_TEST_NO_I386 is set: i386 taken to fail"
    [ "$arch" = win32 ] && ! i386_programs_run && skip "$(tee "$state/skipped" <<< "$why")"
    start_x_server || exit 1
    make_prefix || { echo "FAIL: Wine prefix not made, see $log" >&2; exit 1; }
    # The prefix's own COM links point at the host's real ports.
    rm -f "$WINEPREFIX"/dosdevices/com*
    start_serial_pair || { echo "FAIL: COM5/COM6 pair not started" >&2; exit 1; }
    "$wineserver" -p >> "$log" 2>&1
    echo "Wine ready on display $DISPLAY, prefix $WINEPREFIX"
    ;;
  stop)
    [ -d "$WINEPREFIX" ] && { "$wineserver" -k; "$wineserver" -w; } > /dev/null 2>&1
    kill_recorded "$state/pty.pid"
    kill_recorded "$state/xvfb.pid"
    rm -f "$state/display"
    echo "Wine stopped"
    ;;
  run)
    [ -f "$state/display" ] || { echo "FAIL: the Wine fixture is not running"; exit 1; }
    if [ "${1:-}" = --dpi ]; then
      "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f \
        >> "$log" 2>&1 || { echo "FAIL: the DPI could not be set to $2"; exit 1; }
      shift 2
    fi
    arguments=()
    for argument in "$@"; do
      [[ $argument == unix:* ]] && argument=${argument#unix:} && argument="Z:${argument//\//\\}"
      arguments+=("$argument")
    done
    # Into a file, not CTest's pipe: Wine's helper processes outlive the
    # program and would hold the pipe open.
    output=$(mktemp "$state/output.XXXXXX")
    "$wine" "${arguments[@]}" > "$output" 2>&1 < /dev/null
    status=$?
    cat "$output"
    rm -f "$output"
    exit $status
    ;;
  *)
    echo "usage: $0 win32|win64 STATE_FOLDER start|stop|run [--dpi N] [PROGRAM.exe ARGS...]" >&2
    exit 2
    ;;
esac
