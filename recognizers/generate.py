#!/usr/bin/env python3
"""Writes a recognizer in the house form from a transition table, and reads one back.

A table file:

  # Decimal numerals that are multiples of four.      lines starting with # describe the language
  state  accepting  0  1  2  3  4  5  6  7  8  9      the header: one column per symbol or class
  S0     yes        S0 S1 S2 S3 S0 S1 S2 S3 S0 S1      a row per state, S0 (the start state) first
  S1     no         S2 S3 S0 S1 S2 S3 S0 S1 S2 S3      the next state per column, or - for none
  ...

A column is one printable ASCII byte other than # and \\, \\xHH for any byte from 0x01 to 0xFF, or
a class such as [0-9], [A-Za-z_] or [^"]. Columns are separated by blanks. A fault is reported in
one line, FILE:LINE: what is wrong.
"""
import argparse
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # nothing of ours is written into the sources
sys.path.insert(0, str(Path(__file__).resolve().parent))
from generator.model import Fault  # noqa: E402
from generator.passes import live, minimal, reachable  # noqa: E402
from generator.read_regex import DEFAULT_MOST_STATES, read_regex  # noqa: E402
from generator.read_table import read_table  # noqa: E402
from generator.write_manual import manual  # noqa: E402
from generator.write_mermaid import mermaid  # noqa: E402
from generator.write_source import comment_table, routine_name, source  # noqa: E402
from generator.write_table import table  # noqa: E402


def read_bytes(path):
    try:
        return Path(path).read_bytes()
    except IsADirectoryError:
        raise Fault(f"{path}: a folder, not a table file")
    except OSError as error:
        raise Fault(f"{path}: cannot be read: {error.strerror}")


def write_bytes(path, text):
    try:
        Path(path).write_bytes(text.encode("latin-1"))
    except OSError as error:
        raise Fault(f"{path}: cannot be written: {error.strerror}")


def read_automaton(path, most_states):
    """A table file's automaton, or a .regex file's minimal one."""
    if str(path).endswith(".regex"):
        return read_regex(read_bytes(path), path, most_states)
    return read_table(read_bytes(path), path)


def warnings(automaton, path):
    """What is worth saying about a table that builds as written: states no word reaches, and
    states that fewer would do the work of."""
    reached = set(reachable(automaton))
    unreached = [f"S{s}" for s in range(automaton.size) if s not in reached]
    if unreached:
        yield f"{path}: no word reaches {', '.join(unreached)}"
    needed = minimal(automaton).size
    if needed < automaton.size and not (needed == 1 and not live(automaton)):
        yield (f"{path}: {automaton.size} states, {needed} suffice; generate.py --minimal "
               "shows them")


def arguments(argv):
    parser = argparse.ArgumentParser(
        prog="generate.py", description=__doc__.split("\n\n")[0],
        formatter_class=argparse.RawDescriptionHelpFormatter,
        epilog="\n\n".join(__doc__.split("\n\n")[1:]))
    parser.add_argument("files", nargs="+", metavar="FILE", help="a table file (with --check: sources)")
    what = parser.add_mutually_exclusive_group()
    what.add_argument("--check", action="store_true",
                      help="each source is what the table in its comment regenerates, byte for byte")
    what.add_argument("--mermaid", action="store_true", help="print the state diagram")
    what.add_argument("--minimal", action="store_true",
                      help="print the minimal table of the same language")
    what.add_argument("--source", metavar="OUT.cpp", help="write the recognizer")
    parser.add_argument("--max-states", type=int, default=DEFAULT_MOST_STATES, metavar="N",
                        help="the most states an expression's automaton may have "
                        f"(default: {DEFAULT_MOST_STATES})")
    parser.add_argument("--function", default="Recognize", metavar="NAME",
                        help="the routine's name (default: Recognize)")
    parser.add_argument("--manual", metavar="OUT.1", help="with --source: write a manual page too")
    parser.add_argument("--name", help="the program's name, for the manual page")
    parser.add_argument("--version", default="", help="the version, for the manual page")
    options = parser.parse_args(argv)
    if not options.check and len(options.files) != 1:
        parser.error("one table file at a time")
    if not (options.check or options.mermaid or options.minimal or options.source):
        parser.error("say what to do: --source, --check, --mermaid or --minimal")
    if options.manual and not (options.source and options.name):
        parser.error("--manual goes with --source and --name")
    if options.max_states < 1:
        parser.error("--max-states takes a whole number from 1 up")
    if not options.function.isidentifier():
        parser.error(f"--function {options.function}: not a C++ name")
    return options


def main(argv):
    options = arguments(argv)
    try:
        if options.check:
            for path in options.files:
                text = read_bytes(path).decode("latin-1")
                written = source(read_table(comment_table(text, path), path), routine_name(text))
                if written != text:
                    raise Fault(f"{path}: not what its comment's table regenerates; the code and "
                                "the table disagree")
            print(f"{len(options.files)} recognizers are what their tables say")
            return
        path = options.files[0]
        automaton = read_automaton(path, options.max_states)
        if options.mermaid:
            print(mermaid(automaton))
        elif options.minimal:
            sys.stdout.buffer.write(table(minimal(automaton)).encode("latin-1"))
        else:
            for warning in warnings(automaton, path):
                print(warning, file=sys.stderr)
            write_bytes(options.source, source(automaton, options.function))
            if options.manual:
                write_bytes(options.manual, manual(automaton, options.name, options.version))
    except Fault as fault:
        sys.exit(str(fault))


if __name__ == "__main__":
    main(sys.argv[1:])
