#!/usr/bin/env bash
# Builds the default and hosted programs and prints what a run costs next to the floor, and how
# fast each Recognize is next to a table-driven loop. Needs hyperfine and strace (Debian packages).
# Reports figures only: nothing here passes or fails on a timing.
set -euo pipefail
cd "$(dirname "$0")/.."
for tool in hyperfine strace; do
  command -v $tool > /dev/null || { echo "bench/run.sh needs $tool: apt-get install $tool" >&2; exit 1; }
done
for preset in default hosted; do
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" > /dev/null
done
python3 bench/report.py build/default build/hosted
