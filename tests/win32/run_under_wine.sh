#!/bin/bash
# Runs one Windows program under the fixture's Wine and reports its output.
#   run_under_wine.sh STATE_FOLDER PROGRAM.exe [ARGUMENTS...]
# The output goes to a file, not to CTest's pipe: Wine's helper processes
# outlive the program and would hold the pipe open.
set -u
export CORVANE_WINE_STATE=$1
shift
source "$(dirname "$0")/wine_env.sh"
corvane_require_wine
if [ ! -f "$CORVANE_WINE_STATE/display" ]; then
  echo "FAIL: the Wine fixture is not running (no display recorded)"
  exit 1
fi

# An argument unix:/path becomes the Windows path Z:\path.
arguments=()
for argument in "$@"; do
  if [[ $argument == unix:* ]]; then
    argument=${argument#unix:}
    argument="Z:${argument//\//\\}"
  fi
  arguments+=("$argument")
done

output=$(mktemp "$CORVANE_WINE_STATE/output.XXXXXX")
"$CORVANE_WINE64" "${arguments[@]}" > "$output" 2>&1 < /dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
