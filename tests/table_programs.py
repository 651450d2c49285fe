#!/usr/bin/env python3
"""Every program built from a table, end to end, against its table read as data (never through
the generator): every word of its alphabet up to the length that keeps the count near 300, and
words with a byte outside it.

Usage: table_programs.py BUILD_DIR TABLE... -- RUNNER...
RUNNER is how a program is started: nothing (natively), an emulator with its arguments, or
--windows, for the emulated Windows.
"""
import itertools
import subprocess
import sys
from pathlib import Path

BLANKS = bytes(range(1, 0x21))


def read(path):
    """(alphabet bytes, {state: (accepting, [next state or None])}) from a table file."""
    rows = [line.split() for line in Path(path).read_text().splitlines()
            if line.strip() and not line.startswith("#")]
    alphabet = [int(cell[2:], 16) if cell.startswith("\\x") else ord(cell) for cell in rows[0][2:]]
    return alphabet, {row[0]: (row[1] == "yes", [None if t == "-" else t for t in row[2:]])
                      for row in rows[1:]}


def accepts(table, word):
    alphabet, states = table
    state = "S0"
    for byte in word:
        if byte not in alphabet or states[state][1][alphabet.index(byte)] is None:
            return False
        state = states[state][1][alphabet.index(byte)]
    return states[state][0]


def words(alphabet):
    found, length = [b""], 1
    while alphabet and len(found) + len(alphabet) ** length <= 300:
        found += [bytes(w) for w in itertools.product(alphabet, repeat=length)]
        length += 1
    outsider = next(b for b in [0x7A, 0x23, 0x7F, 0xFF, *range(0x21, 0x100)] if b not in alphabet)
    return found + [w + bytes([outsider]) + v for w, v in zip(found[:20], reversed(found[:20]))]


def main():
    build, rest = Path(sys.argv[1]), sys.argv[2:]
    tables, runner = rest[:rest.index("--")], rest[rest.index("--") + 1:]
    if runner == ["--windows"]:
        sys.path.insert(0, str(Path(__file__).parent / "win32"))
        from emulated_windows import Run

        def run(name, word):
            done = Run(build / f"{name}.exe", f"{name}.exe ".encode() + word)
            return done.output, done.exit_code
    else:
        def run(name, word):
            done = subprocess.run([*runner, build / name, word], capture_output=True, timeout=60)
            return done.stdout, done.returncode

    failures = 0
    for path in tables:
        name, table = Path(path).name.split(".")[0], read(path)
        tried = words(table[0])
        for word in tried:
            yes = accepts(table, word.lstrip(BLANKS))
            if run(name, word) != ((b"Yes.\r\n", 1) if yes else (b"No.\r\n", 0)):
                print(f"FAIL: {name} {word!r}: expected {'Yes.' if yes else 'No.'}")
                failures += 1
        print(f"{name}: {len(tried)} words, {failures} wrong answers so far")
    sys.exit(failures > 0)


if __name__ == "__main__":
    main()
