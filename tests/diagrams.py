#!/usr/bin/env python3
"""The README's state diagrams, drawn from the tables above the recognizers so that they cannot
drift (the regeneration test holds each table to its code).

Usage: diagrams.py SOURCE_DIR [--write]

Draws each recognizer's table as a Mermaid state diagram, by the generator's own reading, and
compares it with the one in README.md between `<!-- diagram NAME -->` and `<!-- end diagram -->`.
--write puts the drawings there instead.
"""
import re
import sys
from pathlib import Path

sys.dont_write_bytecode = True
sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "compiler"))
from generator.read_table import read_table  # noqa: E402
from generator.write_mermaid import mermaid  # noqa: E402
from generator.write_source import comment_table  # noqa: E402



def main():
    source_dir = Path(sys.argv[1])
    readme_path = source_dir / "README.md"
    readme = readme_path.read_text()
    for program in re.findall(r"<!-- diagram (\S+) -->", readme):
        path = source_dir / "recognizers" / f"{program}.cpp"
        drawing = mermaid(read_table(comment_table(path.read_text(), path), path))
        block = re.compile(rf"(<!-- diagram {program} -->\n)(?:(?!<!--).)*(<!-- end diagram -->)", re.S)
        drawn = block.sub(lambda m: m[1] + drawing + "\n" + m[2], readme)
        if drawn != readme and "--write" not in sys.argv:
            raise SystemExit(f"README.md's diagram of {program} is not what its table says; "
                             f"run tests/diagrams.py . --write")
        readme = drawn
    if "--write" in sys.argv:
        readme_path.write_text(readme)
    print("the diagrams in README.md are the recognizers' own")


if __name__ == "__main__":
    main()
