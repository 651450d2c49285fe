"""The state diagram, in Mermaid: an arrow per pair of states, labelled with its columns."""
from .model import name


def mermaid(automaton):
    lines = ["```mermaid", "stateDiagram-v2", "    direction LR", "    [*] --> S0"]
    for state in range(automaton.size):
        lines += [f"    {name(state)} --> {name(target)}: {' '.join(labels)}"
                  for target, labels in automaton.arrows(state).items()]
        if automaton.accepting[state]:
            lines.append(f"    {name(state)} --> [*]: end of word")
    lines.append("```")
    return "\n".join(lines)
