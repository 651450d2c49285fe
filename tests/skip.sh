#!/bin/sh
# A test that cannot run on this host for want of a tool: reported skipped with the reason (exit 77,
# which CTest counts as skipped), or failed where CI has installed every tool the tests use
# (AUTOMATA_REQUIRE_TOOLS is set).
#   skip.sh REASON
if [ -n "${AUTOMATA_REQUIRE_TOOLS:-}" ]; then
  echo "FAIL: $1, though CI installs every tool the tests use" >&2
  exit 1
fi
echo "SKIP: $1"
exit 77
