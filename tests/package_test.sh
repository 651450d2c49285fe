#!/usr/bin/env bash
# Installs the programs into a temporary prefix and runs them from there (through the emulator,
# if one is given), checks that the manual pages render without a single warning, and builds the
# Debian package and looks inside it; lintian judges the package of the libc-free programs, the
# ones a release ships. What needs a tool this host lacks (man, dpkg-deb, lintian) is left out,
# and the test then reports skipped, naming it, once the rest has passed.
#   package_test.sh BUILD lintian|no-lintian [EMULATOR ...]
set -euo pipefail
build=$1 judge=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
lacking=()
have() { command -v "$1" > /dev/null || { lacking+=("$1"); false; }; }

cmake --install "$build" --prefix "$work/prefix" > /dev/null

# program, word, status, text
while read -r program word status text; do
  actual_status=0
  "$@" "$work/prefix/bin/$program" $word > "$work/out" || actual_status=$?
  [ "$actual_status" = "$status" ] || fail "$program $word: status $actual_status"
  printf '%s\r\n' "$text" | cmp -s - "$work/out" || fail "$program $word: wrong output"
done <<'CASES'
decimal3 12 1 Yes.
binary3 111 0 No.
evena aa 1 Yes.
CASES

export MANPATH="$work/prefix/share/man"
have man && for page in decimal3 binary3 evena; do
  warnings=$(MANWIDTH=80 man --warnings "$page" 2>&1 > "$work/page") || fail "man $page"
  [ -z "$warnings" ] || fail "man $page warns: $warnings"
  grep -q "EXIT STATUS" "$work/page" || fail "man $page: no EXIT STATUS"
done

if ! have dpkg-deb; then
  exec "$(dirname "$0")/skip.sh" "not installed: ${lacking[*]} (the programs ran)"
fi
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
deb=$(echo "$work"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/decimal3 usr/bin/binary3 usr/bin/evena usr/share/man/man1/decimal3.1.gz \
            usr/share/man/man1/binary3.1.gz usr/share/man/man1/evena.1.gz \
            usr/share/doc/automata/copyright usr/share/doc/automata/changelog.gz; do
  grep -q " \./$path\( -> .*\)\?\$" <<< "$contents" || fail "the package lacks $path"
done
for field in Package Version Maintainer Section Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "the package has no $field"
done
# The package's architecture is that of the machine its programs are for.
case $(readelf -h "$work/prefix/bin/decimal3" | sed -n 's/^ *Machine: *//p') in
  *X86-64) machine=amd64 ;;
  AArch64) machine=arm64 ;;
  RISC-V) machine=riscv64 ;;
  ARM) machine=armhf ;;
  *80386) machine=i386 ;;
  *) fail "no Debian architecture for the programs' machine" ;;
esac
[ "$(dpkg-deb -f "$deb" Architecture)" = "$machine" ] || fail "the package is not for $machine"
if [ "$judge" = lintian ] && have lintian; then
  findings=$(lintian --fail-on error,warning "$deb" 2>&1) || fail "lintian: $findings"
fi

if ((${#lacking[@]})); then
  exec "$(dirname "$0")/skip.sh" "not installed: ${lacking[*]} (all else passed)"
fi
echo "installed, ran, read the manual pages and the package $(basename "$deb")"
