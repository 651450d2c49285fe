#!/usr/bin/env bash
# Installs the programs into a temporary prefix and runs them from there (through the emulator,
# if one is given), checks that the manual pages render without a single warning, and builds the
# Debian package and looks inside it; lintian judges the package of the libc-free programs, the
# ones a release ships. What needs a tool this host lacks (man, dpkg-deb, lintian) is left out,
# and the test then reports skipped, naming it, once the rest has passed.
#   package_test.sh BUILD lintian|no-lintian DEBIAN-ARCHITECTURE|- [EMULATOR ...]
set -euo pipefail
build=$1 judge=$2 architecture=$3
shift 3
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

# Every page installed, and those the build wrote for the examples, which are not installed.
export MANPATH="$work/prefix/share/man"
have man && for page in "$work"/prefix/share/man/man1/*.1.gz "$build"/tables/*.1; do
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > "$work/page") || fail "man $page"
  [ -z "$warnings" ] || fail "man $page warns: $warnings"
  grep -q "EXIT STATUS" "$work/page" || fail "man $page: no EXIT STATUS"
done

# The package the build makes: a Debian package for the architecture the build names, or where
# Debian names none (-), a plain archive of the same tree.
if [ "$architecture" = - ]; then
  cpack --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
  package=$(echo "$work"/package/*.tar.gz)
  contents=$(tar -tvzf "$package") root='[^/]*/'
else
  have dpkg-deb || exec "$(dirname "$0")/skip.sh" "not installed: ${lacking[*]} (the programs ran)"
  cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
  package=$(echo "$work"/package/*.deb)
  contents=$(dpkg-deb -c "$package") root='\./usr/'
  for field in Package Version Maintainer Section Description; do
    [ -n "$(dpkg-deb -f "$package" "$field")" ] || fail "the package has no $field"
  done
  [ "$(dpkg-deb -f "$package" Architecture)" = "$architecture" ] ||
    fail "the package is not for $architecture"
  if [ "$judge" = lintian ] && have lintian; then
    findings=$(lintian --fail-on error,warning "$package" 2>&1) || fail "lintian: $findings"
  fi
fi
for path in bin/decimal3 bin/binary3 bin/evena share/man/man1/decimal3.1.gz \
            share/man/man1/binary3.1.gz share/man/man1/evena.1.gz \
            share/doc/automata/copyright share/doc/automata/changelog.gz \
            share/doc/automata/examples/identifier.table; do
  grep -q " $root$path\( -> .*\)\?\$" <<< "$contents" || fail "the package lacks $path"
done

if ((${#lacking[@]})); then
  exec "$(dirname "$0")/skip.sh" "not installed: ${lacking[*]} (all else passed)"
fi
echo "installed, ran, read the manual pages and the package $(basename "$package")"
