#!/usr/bin/env python3
"""Every program built from a table, end to end, against its table read as data (never through
the generator; a class in brackets is read by Python's re): every word of a few bytes of each
column up to the length that keeps the count near 300, random words of them, and words with a
byte outside every column. A program built from an expression (.regex) against re.fullmatch (of
each of its and and and not lines, on the word decoded from UTF-8 after (?u)), on the words of
regex_words.py.

Usage: table_programs.py PROGRAM TABLE [PROGRAM TABLE...] -- RUNNER...
RUNNER is how a program is started: nothing (natively), an emulator with its arguments, or
--windows, for the emulated Windows.
"""
import itertools
import random
import re
import subprocess
import sys
from pathlib import Path

import regex_words

BLANKS = bytes(range(1, 0x21))


def column_bytes(cell):
    """The bytes a header cell stands for."""
    if cell.startswith("[") and len(cell) > 1:
        pattern = re.compile(cell.encode("latin-1"))
        return [b for b in range(1, 256) if pattern.fullmatch(bytes([b]))]
    return [int(cell[2:], 16) if cell.startswith("\\x") else ord(cell)]


def read(data):
    """({byte: column}, {state: (accepting, [next state or None])}) from a table file's bytes."""
    text = data.decode("latin-1").removeprefix("\xef\xbb\xbf")
    rows = [re.split(r"[ \t\r]+", line.strip(" \t\r")) for line in text.split("\n")
            if line.strip(" \t\r") and not line.startswith("#")]
    columns = {byte: index for index, cell in enumerate(rows[0][2:]) for byte in column_bytes(cell)}
    return columns, {row[0]: (row[1] == "yes", [None if t == "-" else t for t in row[2:]])
                     for row in rows[1:]}


def accepts(table, word):
    columns, states = table
    state = "S0"
    for byte in word:
        state = states[state][1][columns[byte]] if byte in columns else None
        if state is None:
            return False
    return states[state][0]


def words(columns, count=300):
    """Short words over a few bytes of each column, random longer ones, and words with an
    outsider in them."""
    by_column = {}
    for byte, column in columns.items():
        by_column.setdefault(column, []).append(byte)
    alphabet = sorted({b for found in by_column.values() for b in (found[0], found[len(found) // 2],
                                                                    found[-1])})
    found, length = [b""], 1
    while alphabet and len(found) + len(alphabet) ** length <= count:
        found += [bytes(w) for w in itertools.product(alphabet, repeat=length)]
        length += 1
    pick = random.Random(20261209)
    found += [bytes(pick.choices(alphabet, k=pick.randint(1, 12))) for _ in range(50)] if alphabet else []
    outsiders = [b for b in [0x7A, 0x23, 0x7F, 0xFF, *range(0x21, 0x100)] if b not in columns]
    if outsiders:
        found += [w + bytes([outsiders[0]]) + v for w, v in zip(found[:20], reversed(found[:20]))]
    return found


def main():
    rest = sys.argv[1:]
    pairs, runner = rest[:rest.index("--")], rest[rest.index("--") + 1:]
    if runner == ["--windows"]:
        sys.path.insert(0, str(Path(__file__).parent / "win32"))
        from emulated_windows import Run

        def run(program, word):
            done = Run(Path(program), Path(program).name.encode() + b" " + word)
            return done.output, done.exit_code
    else:
        def run(program, word):
            done = subprocess.run([*runner, program, word], capture_output=True, timeout=60)
            return done.stdout, done.returncode

    failures = 0
    for program, path in zip(pairs[::2], pairs[1::2]):
        name = Path(program).name
        if path.endswith(".regex"):
            conditions = regex_words.conditions_of(Path(path).read_bytes())
            tried = [(w, yes) for w, yes in regex_words.words_of(conditions) if w[:1] not in BLANKS or not w]
        else:
            table = read(Path(path).read_bytes())
            tried = [(w, accepts(table, w.lstrip(BLANKS))) for w in words(table[0])]
        for word, yes in tried:
            if run(program, word) != ((b"Yes.\r\n", 1) if yes else (b"No.\r\n", 0)):
                print(f"FAIL: {name} {word!r}: expected {'Yes.' if yes else 'No.'}")
                failures += 1
        print(f"{name}: {len(tried)} words, {failures} wrong answers so far")
    sys.exit(failures > 0)


if __name__ == "__main__":
    main()
