#!/bin/bash
# Starts or ends what the Wine tests run in: a private X server, two joined
# pseudo-terminals mapped to COM5 and COM6, and a persistent wineserver.
#   wine_fixture.sh start|stop STATE_FOLDER PTY_HELPER
set -u
action=$1
export CORVANE_WINE_STATE=$2
pty_helper=$3
source "$(dirname "$0")/wine_env.sh"
corvane_require_wine

state=$CORVANE_WINE_STATE
log=$state/fixture.log

kill_recorded() {  # the process whose pid the file holds, if it still runs
  local pid_file=$1
  if [ -f "$pid_file" ]; then
    kill "$(cat "$pid_file")" 2> /dev/null
    rm -f "$pid_file"
  fi
}

start_x_server() {
  local display
  for display in $(seq 70 99); do
    if [ ! -e "/tmp/.X11-unix/X$display" ] && [ ! -e "/tmp/.X$display-lock" ]; then
      Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >> "$state/xvfb.log" 2>&1 &
      echo $! > "$state/xvfb.pid"
      echo "$display" > "$state/display"
      if corvane_wait_for 30 test -S "/tmp/.X11-unix/X$display"; then
        export DISPLAY=":$display"
        return 0
      fi
      kill_recorded "$state/xvfb.pid"
    fi
  done
  echo "FAIL: no X display could be started" >&2
  return 1
}

# Made once per build tree: later runs reuse it.
make_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && [ -f "$state/prefix.ready" ] && return 0
  rm -rf "$WINEPREFIX"
  "$CORVANE_WINE64" wineboot --init >> "$log" 2>&1 || return 1
  "$CORVANE_WINESERVER" -w
  local key
  for key in \
    'HKCU\Software\Wine\X11 Driver|Managed|REG_SZ|N' \
    'HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0' \
    "HKLM\\Software\\Wine\\Ports|COM5|REG_SZ|$state/ttyCOM5" \
    "HKLM\\Software\\Wine\\Ports|COM6|REG_SZ|$state/ttyCOM6"; do
    IFS='|' read -r path name type value <<< "$key"
    "$CORVANE_WINE64" reg add "$path" /v "$name" /t "$type" /d "$value" /f >> "$log" 2>&1 || return 1
  done
  "$CORVANE_WINESERVER" -w
  touch "$state/prefix.ready"
}

start_serial_pair() {
  if ! command -v python3 > /dev/null; then
    echo "python3 missing: no COM5/COM6 pair" >> "$log"
    return 0
  fi
  rm -f "$state/pty.pid"
  python3 "$pty_helper" --links "$state/ttyCOM5" "$state/ttyCOM6" --pid-file "$state/pty.pid" \
    >> "$state/pty.log" 2>&1 &
  corvane_wait_for 30 test -f "$state/pty.pid"
}

case $action in
  start)
    mkdir -p "$state" "$TMPDIR"
    : > "$log"
    "$0" stop "$state" "$pty_helper" > /dev/null 2>&1
    start_x_server || exit 1
    make_prefix || { echo "FAIL: Wine prefix not made, see $log" >&2; exit 1; }
    # The prefix's own COM links point at the host's real ports.
    rm -f "$WINEPREFIX"/dosdevices/com*
    start_serial_pair || { echo "FAIL: COM5/COM6 pair not started" >&2; exit 1; }
    "$CORVANE_WINESERVER" -p >> "$log" 2>&1
    echo "Wine ready on display $DISPLAY, prefix $WINEPREFIX"
    ;;
  stop)
    if [ -d "$WINEPREFIX" ]; then
      "$CORVANE_WINESERVER" -k > /dev/null 2>&1
      "$CORVANE_WINESERVER" -w > /dev/null 2>&1
    fi
    kill_recorded "$state/pty.pid"
    kill_recorded "$state/xvfb.pid"
    rm -f "$state/display"
    echo "Wine stopped"
    ;;
  *)
    echo "usage: $0 start|stop STATE_FOLDER PTY_HELPER" >&2
    exit 2
    ;;
esac
