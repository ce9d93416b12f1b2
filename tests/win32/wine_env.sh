# Sourced by the Wine test scripts: the environment of one build tree's Wine
# prefix. Expects CORVANE_WINE_STATE (a folder inside the build tree).
CORVANE_WINE64=${CORVANE_WINE64:-/usr/lib/wine/wine64}
CORVANE_WINESERVER=${CORVANE_WINESERVER:-/usr/lib/wine/wineserver}
CORVANE_SKIP=77

export WINEPREFIX="$CORVANE_WINE_STATE/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export TMPDIR="$CORVANE_WINE_STATE/tmp"
if [ -f "$CORVANE_WINE_STATE/display" ]; then
  DISPLAY=":$(cat "$CORVANE_WINE_STATE/display")"
  export DISPLAY
fi

# Exits with the skip code, saying why, when Wine or Xvfb is not installed.
corvane_require_wine() {
  if [ ! -x "$CORVANE_WINE64" ] || [ ! -x "$CORVANE_WINESERVER" ]; then
    echo "SKIP: $CORVANE_WINE64 not installed (Debian package wine64)"
    exit $CORVANE_SKIP
  fi
  if ! command -v Xvfb > /dev/null; then
    echo "SKIP: Xvfb not installed (Debian package xvfb)"
    exit $CORVANE_SKIP
  fi
}

# Polls `command` until it succeeds or `seconds` have passed.
corvane_wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    if [ $SECONDS -ge $deadline ]; then return 1; fi
    sleep 0.1
  done
}
