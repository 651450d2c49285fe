#!/usr/bin/env bash
# Prints line and branch coverage of the driver, the recognizers and the POSIX layer after the
# tests have run, and fails unless the driver and the recognizers are covered completely.
set -euo pipefail
source=$1
build=$2
command -v gcovr > /dev/null || exec "$(dirname "$0")/skip.sh" "gcovr is not installed"
# Only the project's own objects, searched for in this build alone (not from the source root, where
# other builds lie, and a Wine prefix whose drive Z: leads back to /), less the compiler
# identification that CMake builds with the same flags, whose notes newer gcovr refuses.
gcovr=(gcovr --root "$source" --object-directory "$build" --exclude-directories '.*/CompilerId'
       --exclude-throw-branches --exclude-unreachable-branches
       --filter "$source/driver/" --filter "$source/recognizers/")
gcovr+=("$build")  # the search path
"${gcovr[@]}" --filter "$source/platform/posix/" --txt - | sed 's/^/lines    /'
"${gcovr[@]}" --filter "$source/platform/posix/" --branches --txt - | sed 's/^/branches /'
# The verdict alone; its report goes nowhere (standard output, not an output file it might replace).
"${gcovr[@]}" --fail-under-line 100 --fail-under-branch 100 --txt - > /dev/null
