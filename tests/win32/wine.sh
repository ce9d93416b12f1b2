#!/bin/bash
# The Wine tests' surroundings, one build tree's worth under STATE_FOLDER:
#   wine.sh start|stop STATE_FOLDER   a private X server, two joined
#                                     pseudo-terminals mapped to COM5 and COM6,
#                                     and a persistent wineserver
#   wine.sh run STATE_FOLDER PROGRAM.exe [ARGUMENTS...]   (unix:/path -> Z:\path)
set -u
action=$1
state=$2
shift 2
wine64=${CORVANE_WINE64:-/usr/lib/wine/wine64}
wineserver=${CORVANE_WINESERVER:-/usr/lib/wine/wineserver}
log=$state/fixture.log
export WINEPREFIX=$state/prefix WINEARCH=${CORVANE_WINEARCH:-win64} WINEDEBUG=-all TMPDIR=$state/tmp
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
[ -f "$state/display" ] && export DISPLAY=":$(cat "$state/display")"

if [ ! -x "$wine64" ] || [ ! -x "$wineserver" ]; then
  echo "SKIP: $wine64 not installed (Debian package wine64)"
  exit 77
fi
if ! command -v Xvfb > /dev/null; then
  echo "SKIP: Xvfb not installed (Debian package xvfb)"
  exit 77
fi

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
  "$wine64" wineboot --init >> "$log" 2>&1 || return 1
  "$wineserver" -w
  local key
  for key in 'HKCU\Software\Wine\X11 Driver|Managed|REG_SZ|N' \
    'HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0' \
    "HKLM\\Software\\Wine\\Ports|COM5|REG_SZ|$state/ttyCOM5" \
    "HKLM\\Software\\Wine\\Ports|COM6|REG_SZ|$state/ttyCOM6"; do
    IFS='|' read -r path name type value <<< "$key"
    "$wine64" reg add "$path" /v "$name" /t "$type" /d "$value" /f >> "$log" 2>&1 || return 1
  done
  "$wineserver" -w
  touch "$state/prefix.ready"
}

start_serial_pair() {
  if ! command -v python3 > /dev/null; then
    echo "python3 missing: no COM5/COM6 pair" >> "$log"
    return 0
  fi
  rm -f "$state/pty.pid"
  python3 "$(dirname "$0")/pty_pair.py" "$state/ttyCOM5" "$state/ttyCOM6" "$state/pty.pid" \
    >> "$state/pty.log" 2>&1 &
  wait_for 30 test -f "$state/pty.pid"
}

case $action in
  start)
    mkdir -p "$state" "$TMPDIR"
    : > "$log"
    "$0" stop "$state" > /dev/null 2>&1
    start_x_server || exit 1
    make_prefix || { echo "FAIL: Wine prefix not made, see $log" >&2; exit 1; }
    # The prefix's own COM links point at the host's real ports.
    rm -f "$WINEPREFIX"/dosdevices/com*
    start_serial_pair || { echo "FAIL: COM5/COM6 pair not started" >&2; exit 1; }
    "$wineserver" -p >> "$log" 2>&1
    echo "Wine ready on display $DISPLAY, prefix $WINEPREFIX"
    ;;
  stop)
    if [ -d "$WINEPREFIX" ]; then
      "$wineserver" -k > /dev/null 2>&1
      "$wineserver" -w > /dev/null 2>&1
    fi
    kill_recorded "$state/pty.pid"
    kill_recorded "$state/xvfb.pid"
    rm -f "$state/display"
    echo "Wine stopped"
    ;;
  run)
    if [ ! -f "$state/display" ]; then
      echo "FAIL: the Wine fixture is not running (no display recorded)"
      exit 1
    fi
    arguments=()
    for argument in "$@"; do
      [[ $argument == unix:* ]] && argument=${argument#unix:} && argument="Z:${argument//\//\\}"
      arguments+=("$argument")
    done
    # Into a file, not CTest's pipe: Wine's helper processes outlive the
    # program and would hold the pipe open.
    output=$(mktemp "$state/output.XXXXXX")
    "$wine64" "${arguments[@]}" > "$output" 2>&1 < /dev/null
    status=$?
    cat "$output"
    rm -f "$output"
    exit $status
    ;;
  *)
    echo "usage: $0 start|stop|run STATE_FOLDER [PROGRAM.exe ARGUMENTS...]" >&2
    exit 2
    ;;
esac
