#!/usr/bin/env bash
# Installs the programs into a temporary prefix and runs them from there, checks that the manual
# pages render without a single warning, and builds the Debian package and looks inside it.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" > /dev/null

# program, word, status, text
while read -r program word status text; do
  actual_status=0
  "$work/prefix/bin/$program" $word > "$work/out" || actual_status=$?
  [ "$actual_status" = "$status" ] || fail "$program $word: status $actual_status"
  printf '%s\r\n' "$text" | cmp -s - "$work/out" || fail "$program $word: wrong output"
done <<'CASES'
decimal3 12 1 Yes.
binary3 111 0 No.
evena aa 1 Yes.
CASES

export MANPATH="$work/prefix/share/man"
for page in decimal3 binary3 evena; do
  warnings=$(MANWIDTH=80 man --warnings "$page" 2>&1 > "$work/page") || fail "man $page"
  [ -z "$warnings" ] || fail "man $page warns: $warnings"
  grep -q "EXIT STATUS" "$work/page" || fail "man $page: no EXIT STATUS"
done

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" > /dev/null
deb=$(echo "$work"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
for path in usr/bin/decimal3 usr/bin/binary3 usr/bin/evena usr/share/man/man1/decimal3.1 \
            usr/share/man/man1/binary3.1 usr/share/man/man1/evena.1; do
  grep -q " \./$path\$" <<< "$contents" || fail "the package lacks $path"
done
for field in Package Version Maintainer Section Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "the package has no $field"
done
echo "installed, ran, read the manual pages and the package $(basename "$deb")"
