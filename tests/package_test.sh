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

# The installed compiler, as a user runs it, natively (its tree is the same in every build), in a
# folder of its own that it must leave holding nothing but what it was asked for.
automata=$work/prefix/bin/automata examples=$work/prefix/share/doc/automata/examples
answers() {  # PROGRAM [WORD STATUS]...
  local program=$1 status
  shift
  while (($#)); do
    status=0
    "$program" "$1" > /dev/null || status=$?
    [ "$status" = "$2" ] || fail "$program '$1': status $status, not $2"
    shift 2
  done
}
if (($# == 0)); then
  mkdir "$work/user" && cd "$work/user"
  "$automata" build -e '[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])' -o isodate > /dev/null
  "$automata" build "$examples/quoted.table" "$examples/ipv4.regex" -o programs > /dev/null
  [ "$(find . | sort | tr '\n' ' ')" = ". ./isodate ./programs ./programs/ipv4 ./programs/quoted " ] ||
    fail "automata build left $(find . | tr '\n' ' ')"
  answers ./isodate 2026-12-10 1 2026-13-10 0
  # A folder named like CMake code is a name, never code; an interrupted build leaves nothing.
  hostile=$work/'x" QUIET)'$'\n''file(WRITE $ENV{HOME}/PWNED "x")'$'\n''#;$ENV{PATH}\'
  mkdir -p "$hostile" && cp "$examples/signed.table" "$hostile/"
  HOME=$work "$automata" build "$hostile/signed.table" -o "$work/signed" > /dev/null
  [ ! -e "$work/PWNED" ] || fail "automata build ran CMake code from a folder's name"
  answers "$work/signed" -12 1 12- 0
  mkdir "$work/tmp" && { TMPDIR=$work/tmp "$automata" build "$examples/quoted.table" -o "$work/q" & }
  sleep 1 && kill -TERM $! && status=0 && { wait $! || status=$?; }
  [ "$status" = 143 ] && [ -z "$(ls -A "$work/tmp")" ] && [ ! -e "$work/q" ] ||
    fail "automata build, ended by SIGTERM: status $status, left $(ls -A "$work/tmp") $(ls "$work/q" 2>&1)"
  answers programs/quoted '"a\"b"' 1 '"a' 0
  answers programs/ipv4 10.0.0.255 1 10.0.0.256 0
  explained=$("$automata" explain "$examples/isodate.regex" 2026-13; echo "status $?")
  grep -q "byte 7, '3' (0x33): no way on from S7; only \[0-2\] leads on" <<< "$explained" &&
    [ "$(tail -2 <<< "$explained")" = $'No.\nstatus 0' ] || fail "automata explain said: $explained"

  # The routine alone, as C and as C++, beside a caller in C, and included in C++.
  "$automata" source "$examples/quoted.table" --function is_quoted -o quoted.c
  printf '%s\n' 'int is_quoted(const char*);' \
    'int main(int c, char** v) { return c > 1 ? is_quoted(v[1]) : 2; }' > caller.c
  printf '%s\n' '#include "quoted.c"' \
    'int main(int c, char** v) { return c > 1 ? is_quoted(v[1]) : 2; }' > including.cpp
  warnings=(-Wall -Wextra -Werror -pedantic)
  gcc -std=c99 "${warnings[@]}" quoted.c caller.c -o from-c || fail "the routine as C"
  g++ "${warnings[@]}" -x c++ -c quoted.c -o quoted.o && gcc -std=c99 -c caller.c &&
    g++ quoted.o caller.o -o from-cpp || fail "the routine as C++, called from C"
  g++ "${warnings[@]}" including.cpp -o including || fail "the routine included in C++"
  for program in ./from-c ./from-cpp ./including; do answers $program '"\\"' 1 '"x"y' 0; done

  # A project of one's own, against the installed package.
  mkdir project && cp caller.c project/
  printf '%s\n' 'cmake_minimum_required(VERSION 3.25)' 'project(user C CXX)' \
    'find_package(automata REQUIRED)' 'enable_testing()' \
    "automata_add_program(mult7 $examples/mult7.table WORDS $examples/mult7.words)" \
    'add_executable(dates caller.c)' \
    "automata_add_recognizer(dates $examples/isodate.regex FUNCTION is_quoted WORDS $examples/isodate.words)" \
    > project/CMakeLists.txt
  generator=()  # Ninja, which tools/setup installs, where it is there: make need not be
  if command -v ninja > /dev/null; then generator=(-G Ninja); fi
  { cmake -S project -B project/build "${generator[@]}" -DCMAKE_PREFIX_PATH="$work/prefix" &&
    cmake --build project/build; } > "$work/said" 2>&1 || fail "a find_package project: $(tail "$work/said")"
  answers project/build/mult7 1234562 1 12 0
  answers project/build/dates 2026-02-31 1 2026-02-3 0
  ctest --test-dir project/build > "$work/said" 2>&1 && grep -q "100% tests passed.* out of 2$" "$work/said" ||
    fail "the project's word lists: $(tail -3 "$work/said")"

  # Another machine's program where its toolchain is here; a toolchain that is not, in one line.
  if command -v x86_64-w64-mingw32-g++ > /dev/null; then
    "$automata" build "$examples/quoted.table" --target win64 -o windows/quoted > /dev/null
    /usr/bin/python3 -c 'import sys
sys.path.insert(0, sys.argv[1])
from emulated_windows import Run
for word, answer in [(b"\"a\"", (b"Yes.\r\n", 1)), (b"\"a", (b"No.\r\n", 0))]:
    done = Run(sys.argv[2], b"quoted.exe " + word)
    assert (done.output, done.exit_code) == answer, (word, done.output, done.exit_code)' \
      "$(dirname "$0")/win32" windows/quoted.exe || fail "quoted.exe in the emulated Windows"
  else
    lacking+=(g++-mingw-w64-x86-64)
  fi
  home=$work/prefix/share/automata
  sed -i 's|"configurePresets": \[|&{"name": "nowhere", "toolchainFile": "${sourceDir}/cmake/nowhere.cmake"},|' \
    "$home/CMakePresets.json"
  printf '%s\n' 'set(automata_triple nowhere-linux-gnu)' \
    'include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)' > "$home/cmake/nowhere.cmake"
  status=0
  "$automata" build "$examples/quoted.table" --target nowhere 2> "$work/said" || status=$?
  [ "$status" = 2 ] && [ "$(wc -l < "$work/said")" = 1 ] &&
    grep -q "nowhere-linux-gnu-g++ is not installed (Debian's g++-nowhere-linux-gnu)" "$work/said" ||
    fail "a missing toolchain: status $status, $(cat "$work/said")"
  cd - > /dev/null
fi

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
            share/doc/automata/examples/identifier.table bin/automata share/man/man1/automata.1.gz \
            share/automata/cmake/automataConfig.cmake share/automata/compiler/automata; do
  grep -q " $root$path\( -> .*\)\?\$" <<< "$contents" || fail "the package lacks $path"
done

if ((${#lacking[@]})); then
  exec "$(dirname "$0")/skip.sh" "not installed: ${lacking[*]} (all else passed)"
fi
echo "installed, ran, read the manual pages and the package $(basename "$package")"
