"""The automaton as a table file again: aligned columns, one row per state, S0 first."""
from .model import name


def table_lines(automaton):
    cells = [[name(t) if t is not None else "-" for t in targets] for targets in automaton.next]
    first = max(len("state"), len(name(automaton.size - 1))) + 3
    widths = [max(len(column.spelling), *(len(row[i]) for row in cells))
              for i, column in enumerate(automaton.columns)]

    def line(state, accepting, row):
        text = state.ljust(first) + accepting.ljust(len("accepting") + 3)
        return (text + " ".join(cell.ljust(width) for cell, width in zip(row, widths))).rstrip()

    return [line("state", "accepting", [column.spelling for column in automaton.columns])] + [
        line(name(state), "yes" if accepting else "no", row)
        for state, (accepting, row) in enumerate(zip(automaton.accepting, cells))]


def table(automaton):
    """A table file: the description as # lines, then the table."""
    return "".join(f"# {line}".rstrip() + "\n" for line in automaton.description) + \
        "".join(line + "\n" for line in table_lines(automaton))
