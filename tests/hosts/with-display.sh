#!/usr/bin/env bash
# Runs a program on a private virtual display of the session harness, started for it and stopped
# after it, and ends with the program's status.
#   with-display.sh PROGRAM [ARGUMENT...]
set -uo pipefail
. "$(dirname "$0")/session.sh"
session_begin with-display || exit 1
session_start_display || exit 1
"$@"
