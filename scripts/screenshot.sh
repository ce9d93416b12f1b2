#!/usr/bin/env bash
# The README's picture of the window, taken from the real program: under a
# private Xvfb, a plugin of this script's own (screenshot/auto_answer_plugin.cpp)
# picks SIM and clicks Start, and once the window has painted a badge, with the
# batch and serial numbers filled and the status "Lettura OK", the window is
# photographed. The plugin reports each paint, and what the window then shows
# through its labels; a picture taken while the window painted again (the next
# simulated badge) is taken again. When the window never shows a badge, the
# script fails and the picture stays as it was.
#   scripts/screenshot.sh                  builds, then build/default's program -> docs/window.png
#   scripts/screenshot.sh PROGRAM PICTURE  that program (built already) -> PICTURE
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

plugins=$top/build/default/scripts/screenshot/plugins
# One private X server at 96 DPI, so the picture depends on nothing of the
# caller's desktop.
if [[ ${1:-} != --inside-xvfb ]]; then
  if [[ $# -eq 0 ]]; then
    (cd "$top" && scripts/install-deps.sh test && cmake --workflow --preset screenshot >/dev/null)
    set -- "$top/build/default/bin/corvane" "$top/docs/window.png"
  fi
  [[ -f $plugins/generic/libcorvane_auto_answer.so ]] ||
    { echo "screenshot: no plugin in $plugins: build the default preset" >&2; exit 1; }
  exec xvfb-run --auto-servernum --server-args="-screen 0 640x400x24 -dpi 96 -nolisten tcp" \
    "$0" --inside-xvfb "$1" "$2"
fi
program=$2
picture=$3

work=$(mktemp -d)
log=$work/stderr
pid=
finish() {
  [[ -n $pid ]] && kill "$pid" 2>/dev/null
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "screenshot: $*; what the program said:" >&2
  cat "$log" >&2
  exit 1
}

# A badge: the batch's 3 digits, the serial's 10 and the status after a read.
shows_badge() {
  local field
  for field in 'Batch n\.=[0-9]{3}' 'S\.N\.=[0-9]{10}' 'Status:=Lettura OK'; do
    [[ "$1;" =~ "; "$field";" ]] || return 1
  done
}
mkdir -p "$work/runtime" && chmod 700 "$work/runtime"
XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=xcb QT_PLUGIN_PATH=$plugins \
  QT_QPA_GENERIC_PLUGINS=corvaneautoanswer:SIM "$program" 2>"$log" &
pid=$!
# The last line the plugin wrote, when it is what the window has painted.
painted() { tail -n 1 "$log" | sed -n 's/^state: //p'; }
for attempt in 1 2 3; do
  deadline=$((SECONDS + 30))
  until state=$(painted) && shows_badge "$state"; do
    process=$(ps -o stat= -p "$pid") && [[ $process != Z* ]] || fail "the program ended"
    ((SECONDS < deadline)) || fail "no badge painted within 30 s"
    sleep 0.05
  done
  lines=$(wc -l <"$log")
  window=${state%%;*}
  timeout 30 import -window "${window#window=}" -strip -define png:exclude-chunks=date,time \
    "$work/window.png" || fail "no picture taken within 30 s"
  [[ $(wc -l <"$log") == "$lines" ]] && break # nothing painted meanwhile
  ((attempt < 3)) || fail "the window painted again during each of $attempt pictures"
  echo "screenshot: the window painted again while photographed; once more" >&2
done
grep -q '^answered: ' "$log" && fail "a message box was shown"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[[ $(kill -l "$status") == TERM ]] || fail "ended by SIGTERM with status $status"
mkdir -p "$(dirname "$picture")"
mv "$work/window.png" "$picture"
echo "screenshot: ${state#*; } -> $picture"
