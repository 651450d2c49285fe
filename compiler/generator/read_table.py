"""Reads a table file: # lines describe the language, a header names the columns, a row per state.

  # Decimal numerals that are multiples of four.
  state  accepting  0  1  2  3  4  5  6  7  8  9
  S0     yes        S0 S1 S2 S3 S0 S1 S2 S3 S0 S1
  ...

A column is one printable ASCII byte other than # and \\, \\xHH (any byte 0x01-0xFF), or a class
in brackets as an expression writes one: [0-9], [A-Za-z_], [^"] (^ first: every byte 0x01-0xFF
not listed), [[:alpha:]_], with \\xHH for any byte and \\ before punctuation for that byte. The
file is read as bytes: a UTF-8 byte-order mark, CRLF line ends and tabs are all taken as they
come.
"""
import re

from .model import DEFAULT_MOST_STATES, Automaton, Budget, Column, Fault, excerpt
from .parse_regex import Parser

STATE = re.compile(r"S(0|[1-9][0-9]{0,8})")
BLANKS = re.compile(r"[ \t\f\v\r]+")
HEX = re.compile(r"\\x([0-9A-Fa-f]{2})")


def lines(data):
    """The lines of a file's bytes, one character per byte, with any byte-order mark and CR gone."""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    return [line[:-1] if line.endswith("\r") else line for line in data.decode("latin-1").split("\n")]


def description_line(line):
    return line[2:] if line.startswith("# ") else line[1:]


def symbol_byte(spelling):
    """The byte a cell outside brackets stands for, or None."""
    if HEX.fullmatch(spelling):
        return int(spelling[2:], 16) or None
    if len(spelling) == 1 and 0x21 <= ord(spelling) <= 0x7E and spelling not in "#\\":
        return ord(spelling)
    return None


def class_bytes(spelling, fault):
    """The bytes of a class in brackets, read as an expression reads one; fault(message) on a
    malformed one."""
    parser = Parser(spelling, "class:")
    parser.at = 1
    try:
        found = parser.bracket(0)
    except Fault as error:
        fault(f"'{excerpt(spelling)}': {str(error).split(': ', 1)[1]}")
    if parser.at != len(spelling):
        fault(f"'{excerpt(spelling)}' is not a class: [ then bytes or ranges, then ], and nothing after")
    return tuple(b for first, last in found for b in range(first, last + 1))


def column(spelling, fault):
    if spelling.startswith("[") and len(spelling) > 1:
        return Column(spelling, class_bytes(spelling, fault))
    byte = symbol_byte(spelling)
    if byte is None:
        fault(f"'{excerpt(spelling)}' is not a symbol: one printable byte other than # and \\, "
              "\\xHH from \\x01 to \\xFF, or a class such as [a-z]")
    return Column(spelling, (byte,))


def read_table(data, name="table", most_states=DEFAULT_MOST_STATES):
    """The automaton a table file's bytes describe; Fault at the first fault."""
    description, columns, rows = [], None, {}
    most_transitions, transitions = Budget.of(most_states).transitions, 0
    first_row = None
    for number, line in enumerate(lines(data), 1):
        def fault(message):
            raise Fault(f"{name}:{number}: {message}")

        if line.startswith("#"):
            description.append(description_line(line))
            continue
        cells = [cell for cell in BLANKS.split(line) if cell]
        if not cells:
            continue
        if columns is None:
            if cells[:2] != ["state", "accepting"]:
                fault("the header must begin with 'state accepting', then one column per symbol")
            columns, owner = [], {}
            if len(cells) - 2 > 255:
                fault(f"{len(cells) - 2} columns, more than the 255 bytes a column may take")
            for spelling in cells[2:]:
                columns.append(column(spelling, fault))
                for byte in columns[-1].bytes:
                    if byte in owner:
                        other = owner[byte]
                        fault(f"the byte 0x{byte:02X} stands in two columns, '{excerpt(other)}' and "
                              f"'{excerpt(spelling)}'" if other != spelling else
                              f"the symbol '{excerpt(spelling)}' is repeated")
                    owner[byte] = spelling
            continue
        if len(cells) != len(columns) + 2:
            fault(f"{len(cells)} cells, but the header has {len(columns) + 2} columns")
        state, accepting, targets = cells[0], cells[1], cells[2:]
        if not STATE.fullmatch(state):
            fault(f"'{excerpt(state, 20)}' is not a state name: S0, S1, S2 and so on")
        if state in rows:
            fault(f"the state {state} is repeated")
        if accepting not in ("yes", "no"):
            fault(f"accepting is 'yes' or 'no', not '{excerpt(accepting)}'")
        rows[state] = (accepting == "yes", targets, number)
        if len(rows) > most_states:
            fault(f"more than {most_states} states (--max-states, AUTOMATA_MAX_STATES)")
        transitions += len(targets) - targets.count("-")
        if transitions > most_transitions:
            fault(f"more than {most_transitions} transitions, their budget at --max-states {most_states}")
        first_row = first_row or state
    if columns is None or not rows:
        raise Fault(f"{name}: no states: a header, then a row per state")
    if "S0" not in rows:
        raise Fault(f"{name}: no S0, the start state")
    if first_row != "S0":
        raise Fault(f"{name}:{rows[first_row][2]}: the first row is the start state, S0")
    accepting, next_states = [], []
    for state in sorted(rows, key=lambda state: int(state[1:])):
        yes, targets, number = rows[state]
        if int(state[1:]) != len(accepting):
            raise Fault(f"{name}:{number}: {state}, but with {len(rows)} states the names "
                        f"run S0 to S{len(rows) - 1}")
        for target in targets:
            if target != "-" and target not in rows:
                raise Fault(f"{name}:{number}: {state} goes to {excerpt(target, 20)}, which has no row")
        accepting.append(yes)
        next_states.append([None if target == "-" else int(target[1:]) for target in targets])
    return Automaton(columns, accepting, next_states, description)
