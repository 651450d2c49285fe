"""Reads a file of regular expressions: # lines describe the language, then the expression, the
whole of its line, then any number of lines `and EXPR` (the word must match this too) and
`and not EXPR` (the word must not match this), in any order. The whole word is matched, as
Python's re.fullmatch would on bytes; after (?u), over UTF-8 (parse_regex.py has the syntax). The
result is the minimal automaton of the language: each expression's automaton (construct.py), their
product in turn, minimised, its like columns merged. A fault is FILE:LINE:COLUMN: what, and a
construction that passes its budget names itself.
"""
from .assertions import compiled
from .construct import nodes_passed, product
from .model import DEFAULT_MOST_STATES, Budget, Fault
from .parse_regex import Parser
from .passes import merge_columns, minimal
from .read_table import description_line, lines

MOST_LINE = 1 << 20  # bytes in one expression


def read_regex(data, name="expression", most_states=DEFAULT_MOST_STATES):
    description, expressions = [], []  # (text, FILE:LINE, "" or "and" or "and not", its column)
    text = lines(data)
    if text and text[-1] == "":
        text.pop()  # the line end of the last line
    for number, line in enumerate(text, 1):
        if len(line) > MOST_LINE:
            raise Fault(f"{name}:{number}: a line of more than {MOST_LINE} bytes")
        if not expressions and line.startswith("#"):
            description.append(description_line(line))
        elif not expressions:
            expressions.append((line, f"{name}:{number}:", "", 0))
        elif line.startswith(("and not ", "and ")) or line.rstrip() in ("and", "and not"):
            keyword = "and not" if line.startswith("and not") else "and"
            expression = line[len(keyword) + 1:]
            if not expression:
                raise Fault(f"{name}:{number}:{len(keyword) + 1}: {keyword}: an expression follows it")
            if len(expressions) > Budget.of(most_states).conditions:
                raise Fault(f"{name}:{number}: more than {Budget.of(most_states).conditions} and "
                            f"lines, their budget at --max-states {most_states}")
            expressions.append((expression, f"{name}:{number}:", keyword, len(keyword) + 1))
        elif line.strip():
            raise Fault(f"{name}:{number}:1: after the expression, a line is 'and EXPR' or "
                        "'and not EXPR'")
    if not expressions:
        raise Fault(f"{name}: no expression: # lines, then the expression on a line of its own "
                    "(one that begins with # is written \\#, as \\#fff)")
    said = [f"The expression, matched against the whole word: {expressions[0][0]}"]
    said += [f"{keyword}: {expression}" for expression, _, keyword, _ in expressions[1:]]
    return language(expressions, name, most_states, description + ([""] if description else []) + said)


def expression_automaton(expression, where, name, most_states, description=()):
    """The minimal automaton of one expression (str, a character per byte), typed on a command line
    (-e): a fault names its column."""
    if "\n" in expression:
        raise Fault(f"{where}: column {expression.index(chr(10)) + 1}: a line end; an expression is "
                    "one line (and and and not lines go in a .regex file)")
    return language([(expression, f"{where}: column ", "", 0)], name, most_states, list(description) + [
        f"The expression, matched against the whole word: {expression}"])


def language(expressions, name, most_states, description):
    budget = Budget.of(most_states)

    def fault(what):
        raise Fault(f"{name}: {what}, its budget at --max-states {most_states} (counted repetition "
                    "after .* or a class that repeats is the usual cause)")

    found, warned = None, []
    for expression, where, keyword, column in expressions:
        parser = Parser(expression, where, budget.nodes, lambda: fault(nodes_passed(budget.nodes)),
                        column)  # an and line's columns count from the line's start
        automaton = compiled(parser.parse(), parser.universe, parser.utf8, budget, fault)
        warned += parser.warnings
        found = automaton if found is None else minimal(
            product(found, automaton, keyword == "and not", budget, fault))
    found = merge_columns(found)
    transitions = sum(t is not None for targets in found.next for t in targets)
    if transitions > budget.transitions:
        raise Fault(f"{name}: the minimal automaton has {transitions} transitions, more than "
                    f"{budget.transitions}, their budget at --max-states {most_states}")
    if found.size > most_states:
        raise Fault(f"{name}: the minimal automaton has {found.size} states, more than --max-states "
                    f"{most_states} (AUTOMATA_MAX_STATES)")
    found.description, found.warnings = description, warned
    return found
