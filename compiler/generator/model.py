"""The automaton every reader makes and every writer reads.

States are numbers, 0 the start state (written S0, S1, ...). The alphabet is a list of columns,
each a set of bytes that the automaton does not tell apart, spelled as the table writes it; no
byte stands in two columns and none is NUL. Each state has, per column, its next state or None
(the word is rejected there). Text is held as str of one character per byte (Latin-1), so that
any bytes pass through unchanged and are never decoded.
"""
from dataclasses import dataclass, field

DEFAULT_MOST_STATES = 16384


class Fault(Exception):
    """Input that makes no automaton: the message names the file (and line) and the cause."""


@dataclass
class Budget:
    """What reading a file may cost, from the most states its automaton may have, each counted
    before the work it bounds: an expression's nodes, the subset construction's states and steps,
    the and lines (each a construction and a product of its own), and the transitions a table
    or an automaton may have (its code is a line or so per transition)."""
    nodes: int
    states: int
    steps: int
    conditions: int
    transitions: int

    @staticmethod
    def of(most_states):
        return Budget(16 * most_states + 4096, 4 * most_states + 1024, 1000 * most_states + 100000,
                      most_states // 16 + 64, 32 * most_states + 4096)


def excerpt(text, most=40):
    """A piece of the user's text as a message may quote it: at most most characters, and no
    control byte that would act on a terminal (each written \\xHH)."""
    shown = text if len(text) <= most else text[:most] + "..."
    return "".join(f"\\x{ord(c):02X}" if ord(c) < 0x20 or ord(c) == 0x7F else c for c in shown)


@dataclass
class Column:
    spelling: str  # how the table writes it: a, \x20, [0-9]
    bytes: tuple  # its bytes, ascending


@dataclass
class Automaton:
    columns: list  # [Column]
    accepting: list  # [bool] per state
    next: list  # per state, [next state or None] per column
    description: list = field(default_factory=list)  # the lines that say what it answers
    warnings: list = field(default_factory=list)  # what is worth saying of the file it came from

    @property
    def size(self):
        return len(self.accepting)

    def transitions(self, state):
        """[(byte, next state)] of a state, in the order the columns are listed, then by byte."""
        return [(byte, target) for column, target in zip(self.columns, self.next[state])
                if target is not None for byte in column.bytes]

    def arrows(self, state):
        """{next state: [the spellings of the columns that lead there]} of a state, as drawn."""
        found = {}
        for column, target in zip(self.columns, self.next[state]):
            if target is not None:
                found.setdefault(target, []).append(column.spelling)
        return found


def name(state):
    return f"S{state}"
