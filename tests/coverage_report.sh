#!/usr/bin/env bash
# Prints line and branch coverage of the driver, the recognizers and the POSIX layer after the
# tests have run, and fails unless the driver and the recognizers are covered completely.
set -euo pipefail
source=$1
build=$2
gcovr=(gcovr --root "$source" --object-directory "$build" --exclude-throw-branches
       --exclude-unreachable-branches --filter "$source/driver/" --filter "$source/recognizers/")
"${gcovr[@]}" --filter "$source/platform/posix/" --txt - | sed 's/^/lines    /'
"${gcovr[@]}" --filter "$source/platform/posix/" --branches --txt - | sed 's/^/branches /'
"${gcovr[@]}" --fail-under-line 100 --fail-under-branch 100 --txt /dev/null
