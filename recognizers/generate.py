#!/usr/bin/env python3
"""Writes a recognizer in the house form from a transition table, and reads one back.

Usage:
  generate.py TABLE --source FILE.cpp [--manual FILE.1 --name NAME]   a table file made a program
  generate.py --check SOURCE...        each source is what its own comment regenerates, byte for byte
  generate.py --mermaid TABLE          the table's state diagram

A table file:

  # Decimal numerals that are multiples of four.      lines starting with # describe the language
  state  accepting  0  1  2  3  4  5  6  7  8  9      the header: one column per symbol
  S0     yes        S0 S1 S2 S3 S0 S1 S2 S3 S0 S1      a row per state, S0 (the start state) first
  S1     no         S2 S3 S0 S1 S2 S3 S0 S1 S2 S3      the next state per symbol, or - for none
  ...

A symbol is one printable ASCII byte other than # and \\, or \\xHH for any byte from 0x01 to 0xFF.
Columns are separated by blanks. A fault is reported as FILE:LINE: what is wrong.
"""
import re
import sys
from pathlib import Path

STATE = re.compile(r"S(0|[1-9][0-9]*)")


class TableError(Exception):
    """A table that makes no automaton: the message names the file and the line."""


class Automaton:
    def __init__(self, description, spellings, rows):
        self.description = description  # the text of the # lines
        self.spellings = spellings  # each symbol as the table writes it
        self.symbols = [symbol_byte(spelling) for spelling in spellings]
        self.rows = rows  # [(state, accepting, [next state or None per symbol])], as written

    def states(self):
        """The rows in state order, S0 first."""
        return sorted(self.rows, key=lambda row: int(row[0][1:]))


def symbol_byte(spelling):
    """The byte a header cell stands for, or None if it stands for none."""
    if re.fullmatch(r"\\x[0-9A-Fa-f]{2}", spelling):
        return int(spelling[2:], 16) or None
    if len(spelling) == 1 and 0x21 <= ord(spelling) <= 0x7E and spelling not in "#\\":
        return ord(spelling)
    return None


def read_table(text, name="table"):
    """The automaton a table file describes; TableError at the first fault."""
    description, header, rows, seen = [], None, [], {}
    for number, line in enumerate(text.splitlines(), 1):
        def fault(message):
            raise TableError(f"{name}:{number}: {message}")

        if line.startswith("#"):
            description.append(line[2:] if line.startswith("# ") else line[1:])
            continue
        cells = line.split()
        if not cells:
            continue
        if header is None:
            if cells[:2] != ["state", "accepting"]:
                fault("the header must begin with 'state accepting', then one column per symbol")
            header = cells[2:]
            for spelling in header:
                if symbol_byte(spelling) is None:
                    fault(f"'{spelling}' is not a symbol: one printable byte other than # and \\, "
                          "or \\xHH from \\x01 to \\xFF")
                if symbol_byte(spelling) in seen:
                    fault(f"the symbol '{spelling}' is repeated")
                seen[symbol_byte(spelling)] = spelling
            continue
        if len(cells) != len(header) + 2:
            fault(f"{len(cells)} cells, but the header has {len(header) + 2} columns")
        state, accepting, targets = cells[0], cells[1], cells[2:]
        if not STATE.fullmatch(state):
            fault(f"'{state}' is not a state name: S0, S1, S2 and so on")
        if any(state == row[0] for row in rows):
            fault(f"the state {state} is repeated")
        if accepting not in ("yes", "no"):
            fault(f"accepting is 'yes' or 'no', not '{accepting}'")
        rows.append((state, accepting == "yes", targets, number))
    if header is None or not rows:
        raise TableError(f"{name}: no states: a header, then a row per state")
    names = {row[0] for row in rows}
    if "S0" not in names:
        raise TableError(f"{name}: no S0, the start state")
    if rows[0][0] != "S0":
        raise TableError(f"{name}:{rows[0][3]}: the first row is the start state, S0")
    for state, _, targets, number in rows:
        if int(state[1:]) >= len(rows):
            raise TableError(f"{name}:{number}: {state}, but with {len(rows)} states the names "
                             f"run S0 to S{len(rows) - 1}")
        for target in targets:
            if target != "-" and target not in names:
                raise TableError(f"{name}:{number}: {state} goes to {target}, which has no row")
    return Automaton(description, header,
                     [(state, accepting, [None if t == "-" else t for t in targets])
                      for state, accepting, targets, _ in rows])


def byte_literal(byte):
    """How the code compares a read byte with an alphabet byte: unsigned, never a signed char."""
    if 0x21 <= byte <= 0x7E:
        return "'\\''" if byte == 0x27 else f"'{chr(byte)}'"
    return f"0x{byte:02X}"


def table_lines(automaton):
    """The table as it stands in the comment: aligned columns, one row per state."""
    first = max(len("state"), *(len(row[0]) for row in automaton.rows)) + 3
    cells = [[t or "-" for t in targets] for _, _, targets in automaton.rows]
    widths = [max(len(spelling), *(len(row[i]) for row in cells))
              for i, spelling in enumerate(automaton.spellings)]

    def line(state, accepting, columns):
        text = state.ljust(first) + accepting.ljust(len("accepting") + 3)
        return (text + " ".join(c.ljust(w) for c, w in zip(columns, widths))).rstrip()

    return [line("state", "accepting", automaton.spellings)] + [
        line(state, "yes" if accepting else "no", row)
        for (state, accepting, _), row in zip(automaton.rows, cells)]


def source(automaton):
    """The recognizer: the description and the table as its comment, one block per state."""
    out = ['#include "recognizers/automaton.h"', ""]
    out += [f"// {line}".rstrip() for line in automaton.description]
    out += ["//"] + [f"//   {line}" for line in table_lines(automaton)]
    out += ["int Recognize(const char* word) {", "  using namespace automaton;",
            "  const Byte* p = Bytes(word);", "",
            "  // One line per transition, in the order the alphabet is listed.",
            "  // clang-format off"]
    for index, (state, accepting, targets) in enumerate(automaton.states()):
        if index:
            out.append("")
        out += [f"{state}:", f"  if (*p == '\\0') return {'kAccept' if accepting else 'kReject'};"]
        out += [f"  if (*p == {byte_literal(byte)}) {{ ++p; goto {target}; }}"
                for byte, target in zip(automaton.symbols, targets) if target]
        out.append("  return kReject;")
    out += ["  // clang-format on", "}", ""]
    return "\n".join(out)


def mermaid(automaton):
    """The state diagram: an arrow per pair of states, labelled with its symbols."""
    lines = ["```mermaid", "stateDiagram-v2", "    direction LR", "    [*] --> S0"]
    for state, accepting, targets in automaton.states():
        arrows = {}
        for spelling, target in zip(automaton.spellings, targets):
            if target:
                arrows.setdefault(target, []).append(spelling)
        lines += [f"    {state} --> {target}: {' '.join(labels)}" for target, labels in arrows.items()]
        if accepting:
            lines.append(f"    {state} --> [*]: end of word")
    lines.append("```")
    return "\n".join(lines)


def roff(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text[:1] in (".", "'") else text


def manual(automaton, name, version):
    """A manual page: the description says what the program answers."""
    what = [roff(line) for line in automaton.description if line.strip()] or [
        "Whether the word is in the language of the automaton it was built from."]
    symbols = ", ".join(roff(s) for s in automaton.spellings) or "none"
    return "\n".join([
        f'.TH {name.upper()} 1 "" "automata {version}" "User Commands"',
        ".SH NAME", f"{roff(name)} \\- answer one yes-or-no question about a word",
        ".SH SYNOPSIS", f".B {roff(name)}", ".RI [ word ]",
        ".SH DESCRIPTION",
        f".B {roff(name)}",
        "takes one word from its command line, runs it through a deterministic finite",
        "automaton fixed when it was built, and writes \\fBYes.\\fR or \\fBNo.\\fR followed by a",
        "carriage return and a line feed to standard output. It answers \\fBYes.\\fR when:",
        ".PP", *what,
        ".PP",
        "The word is everything on the command line after the program name and the blanks",
        "that follow it (bytes 0x01 to 0x20), up to the end; the arguments are joined back,",
        f"each after a single space. Its alphabet is: {symbols}.",
        "Any other byte makes the answer \\fBNo.\\fR; it is never an error.",
        ".SH EXIT STATUS",
        ".TP", ".B 1", "after the answer \\fBYes.\\fR", ".TP", ".B 0", "after the answer \\fBNo.\\fR",
        ".SH SEE ALSO", ".BR decimal3 (1)", ""])


def comment_table(text, name):
    """The table file that a recognizer's comment holds: its description, then its table."""
    lines = text.split("int Recognize(", 1)[0].splitlines()
    comment = [line for line in lines if line.startswith("//")]
    if "//" not in comment:
        raise TableError(f"{name}: no table in the comment above Recognize")
    blank = comment.index("//")
    return "\n".join([("# " + line[3:]).rstrip() for line in comment[:blank]] +
                     [line[5:] for line in comment[blank + 1:]]) + "\n"


def main(argv):
    try:
        if argv[:1] == ["--check"]:
            for path in map(Path, argv[1:]):
                text = path.read_text()
                if source(read_table(comment_table(text, path), path)) != text:
                    sys.exit(f"{path}: not what its comment's table regenerates; the code and "
                             "the table disagree")
            print(f"{len(argv) - 1} recognizers are what their tables say")
        elif argv[:1] == ["--mermaid"]:
            print(mermaid(read_table(Path(argv[1]).read_text(), argv[1])))
        else:
            table, options = argv[0], dict(zip(argv[1::2], argv[2::2]))
            automaton = read_table(Path(table).read_text(), table)
            Path(options["--source"]).write_text(source(automaton))
            if "--manual" in options:
                Path(options["--manual"]).write_text(
                    manual(automaton, options["--name"], options.get("--version", "")))
    except TableError as error:
        sys.exit(str(error))


if __name__ == "__main__":
    main(sys.argv[1:])
