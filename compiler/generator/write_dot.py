"""The state diagram in Graphviz's dot: an edge per pair of states, labelled with its columns; an
accepting state drawn with a double circle."""
from .model import name


def quoted(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def dot(automaton):
    lines = ["digraph automaton {", "  rankdir=LR;", "  node [shape=circle];",
             '  start [shape=point, label=""];', "  start -> S0;"]
    for state in range(automaton.size):
        if automaton.accepting[state]:
            lines.append(f"  {name(state)} [shape=doublecircle];")
    for state in range(automaton.size):
        lines += [f"  {name(state)} -> {name(target)} [label={quoted(' '.join(labels))}];"
                  for target, labels in automaton.arrows(state).items()]
    return "\n".join(lines + ["}", ""])
