"""A word run through an automaton as data, a line per step, and why it ends as it does."""
from .model import name
from .spelling import class_spelling


def shown(byte):
    return f"'{chr(byte)}' (0x{byte:02X})" if 0x21 <= byte <= 0x7E else f"0x{byte:02X}"


def leading_on(automaton, state):
    found = sorted(byte for byte, _ in automaton.transitions(state))
    return f"only {class_spelling(found)} leads on from {name(state)}" if found else \
        f"no byte leads on from {name(state)}"


def explain(automaton, word):
    """(lines, verdict): the steps of word from S0, then the answer as the programs give it."""
    step = {}
    for state in range(automaton.size):
        for byte, target in automaton.transitions(state):
            step[state, byte] = target
    state, lines = 0, [f"start in {name(0)}"]
    for at, byte in enumerate(word):
        if byte == 0:
            lines.append(f"byte {at + 1}, 0x00: the word ends at a NUL byte")
            break
        target = step.get((state, byte))
        if target is None:
            lines += [f"byte {at + 1}, {shown(byte)}: no way on from {name(state)}; "
                      f"{leading_on(automaton, state)}", "No."]
            return lines, 0
        lines.append(f"byte {at + 1}, {shown(byte)}: {name(state)} -> {name(target)}")
        state = target
    if automaton.accepting[state]:
        return lines + [f"the word ends in {name(state)}, which accepts", "Yes."], 1
    return lines + [f"the word ends in {name(state)}, which does not accept; "
                    f"{leading_on(automaton, state)}", "No."], 0
