#!/usr/bin/env python3
"""The README's state diagrams, drawn from the recognizers' own code so that they cannot drift.

Usage: diagrams.py SOURCE_DIR [--write]

Reads each recognizer's state blocks (a label, the end test, one `goto` line per transition, the
reject), draws a Mermaid state diagram of it, and compares it with the one in README.md between
`<!-- diagram NAME -->` and `<!-- end diagram -->`. --write puts the drawings there instead.
"""
import re
import sys
from pathlib import Path

PROGRAMS = ["decimal3", "binary3", "evena"]
LABEL = re.compile(r"^(S\d+):$")
END = re.compile(r"^if \(\*p == '\\0'\) return (kAccept|kReject);$")
EDGE = re.compile(r"^if \(\*p == '(.)'\) \{ \+\+p; goto (S\d+); \}$")
REJECT = "return kReject;"


def automaton(source):
    """{state: (accepting, [(byte, next state), ...])}, in the order of the code."""
    states, state = {}, None
    body = source.split("// clang-format off", 1)[1].split("// clang-format on", 1)[0]
    for line in (line.strip() for line in body.splitlines()):
        if not line or line == REJECT:
            continue
        if match := LABEL.match(line):
            state = match[1]
            states[state] = [None, []]
        elif match := END.match(line):
            states[state][0] = match[1] == "kAccept"
        elif match := EDGE.match(line):
            states[state][1].append((match[1], match[2]))
        else:
            raise SystemExit(f"not a line of a state block: {line!r}")
    return states


def mermaid(states):
    lines = ["```mermaid", "stateDiagram-v2", "    direction LR", "    [*] --> S0"]
    for state, (accepting, edges) in states.items():
        targets = {}
        for byte, target in edges:
            targets.setdefault(target, []).append(byte)
        for target, bytes_ in targets.items():
            lines.append(f"    {state} --> {target}: {' '.join(bytes_)}")
        if accepting:
            lines.append(f"    {state} --> [*]: end of word")
    lines.append("```")
    return "\n".join(lines)


def main():
    source_dir = Path(sys.argv[1])
    readme_path = source_dir / "README.md"
    readme = readme_path.read_text()
    for program in PROGRAMS:
        states = automaton((source_dir / "recognizers" / f"{program}.cpp").read_text())
        block = re.compile(rf"(<!-- diagram {program} -->\n)(?:(?!<!--).)*(<!-- end diagram -->)", re.S)
        if not block.search(readme):
            raise SystemExit(f"README.md has no diagram of {program}")
        drawn = block.sub(lambda m: m[1] + mermaid(states) + "\n" + m[2], readme)
        if drawn != readme and "--write" not in sys.argv:
            raise SystemExit(f"README.md's diagram of {program} is not what the code says; "
                             f"run tests/diagrams.py . --write")
        readme = drawn
    if "--write" in sys.argv:
        readme_path.write_text(readme)
    print("the diagrams in README.md are the recognizers' own")


if __name__ == "__main__":
    main()
