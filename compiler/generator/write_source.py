"""A recognizer: the description and the table as the comment above it, then one block per state,
S0 first, a label where a jump lands, a goto per transition. Two forms share the blocks: the
house form, C++ on recognizers/automaton.h, which the programs are built from; and a routine that
stands alone, with no header of ours, that compiles as C99 and as C++ with C linkage in both.

Each block tests the end of the word first. Then, by what the state's transitions are:
- a few single bytes, no two neighbours leading to one state (a range would gain nothing): one
  comparison per byte, in the order the columns are listed (the system's own three are so);
- a few ranges (runs of bytes that lead to one state, merged): the way on that most bytes take,
  printable ASCII counted first, is the fall-through with no test of its own; before it, per
  other next state (or the end of the run), heaviest first, one test of its ranges, each range
  one unsigned comparison, and ranges at both ends one test of the span between them. Inside a
  string or a comment, or along an identifier, the common byte then passes tests it never takes;
- many ranges: a binary search over them, O(log r) comparisons for r ranges.
"""
import re
from typing import NamedTuple

from .model import Fault, name
from .write_table import table_lines

FEW_BYTES = 16  # single bytes compared one after another at most
FEW_RANGES = 8  # ranges tested before the fall-through at most; more are searched
OTHER_BYTES = 0.1  # a control byte's or a byte's from 0x80 up, against a printable one's


def byte_literal(byte):
    """How the code writes a byte it compares with: unsigned, never a signed char."""
    if 0x21 <= byte <= 0x7E:
        return {0x27: "'\\''", 0x5C: "'\\\\'"}.get(byte, f"'{chr(byte)}'")
    return f"0x{byte:02X}"


def comment_text(line):
    """A description line as it can stand in a // comment: a NUL or a CR in it, which would end
    the comment or the line, and a \\ at its end, which would join the next line to it, are
    written \\xHH. Applied again to what it wrote, it changes nothing."""
    line = line.rstrip().replace("\0", "\\x00").replace("\r", "\\x0D")
    return line[:-1] + "\\x5C" if line.endswith("\\") else line


def merged_ranges(transitions):
    """[(first, last, next state or None)] over the bytes 0x01-0xFF, neighbours that lead to one
    state merged."""
    step = dict(transitions)
    found = []
    for byte in range(1, 256):
        target = step.get(byte)
        if found and found[-1][2] == target:
            found[-1] = (found[-1][0], byte, target)
        else:
            found.append((byte, byte, target))
    return found


class Form(NamedTuple):
    """The words a form writes: its verdicts, and whether the byte is in (or out of) first..last,
    in one comparison."""
    accept: str
    reject: str
    within: str
    outside: str

    def span(self, first, last, template):
        return template.format(first=byte_literal(first), last=byte_literal(last), width=last - first)


HOUSE = Form("kAccept", "kReject", "In(*p, {first}, {last})", "!In(*p, {first}, {last})")
ALONE = Form("1", "0", "(unsigned)(*p - {first}) <= {width}u", "(unsigned)(*p - {first}) > {width}u")


def test(first, last, form):
    if first == last:
        return f"*p == {byte_literal(first)}"
    if first == 1:
        return f"*p <= {byte_literal(last)}"
    if last == 0xFF:
        return f"*p >= {byte_literal(first)}"
    return form.span(first, last, form.within)


def jump(target, form):
    return f"return {form.reject};" if target is None else f"{{ ++p; goto {name(target)}; }}"


def search(ranges, indent, form):
    """A binary search over ranges that cover a span of bytes, each a leaf of its own."""
    if len(ranges) == 1:
        return [indent + jump(ranges[0][2], form)]
    middle = len(ranges) // 2
    return ([f"{indent}if (*p < {byte_literal(ranges[middle][0])}) {{"] +
            search(ranges[:middle], indent + "  ", form) + [f"{indent}}}"] +
            search(ranges[middle:], indent, form))


def byte_by_byte(ranges):
    """Whether a state's bytes (its merged ranges) are best compared one after another: a few,
    none a range."""
    leading_on = [r for r in ranges if r[2] is not None]
    return all(first == last for first, last, _ in leading_on) and len(leading_on) <= FEW_BYTES


def weight(first, last):
    """How often bytes first..last may be expected in a word: text is mostly printable ASCII."""
    printable = max(0, min(last, 0x7E) - max(first, 0x20) + 1)
    return printable + (last - first + 1 - printable) * OTHER_BYTES


def block(automaton, state, ranges, labelled, form):
    out = [f"{name(state)}:" if labelled else
           f"  // {name(state)}: {'entered at the start' if state == 0 else 'no jump lands here'}"]
    verdict = form.accept if automaton.accepting[state] else form.reject
    out.append(f"  if (*p == '\\0') return {verdict};")
    if byte_by_byte(ranges):
        return out + [f"  if (*p == {byte_literal(byte)}) {jump(target, form)}"
                      for byte, target in automaton.transitions(state)] + [f"  return {form.reject};"]
    # The way on that most bytes take (or the end of the run) is the fall-through, with no test of
    # its own: the bytes that lead elsewhere are tested first, one test per next state.
    weights = {}
    for first, last, target in ranges:
        weights[target] = weights.get(target, 0) + weight(first, last)
    common = max(weights, key=lambda target: (weights[target], target is None))
    others = [r for r in ranges if r[2] != common]
    if len(others) > FEW_RANGES:
        return out + search(ranges, "  ", form)
    # The heavier targets first; a target's ranges at both ends (below and above all the rest)
    # are one test: the byte is outside the span between them.
    for target in sorted(dict.fromkeys(t for _, _, t in others), key=lambda t: -weights[t]):
        mine = [(f, l) for f, l, t in others if t == target]
        tests = [test(f, l, form) for f, l in mine]
        if len(mine) > 1 and mine[0][0] == 1 and mine[-1][1] == 0xFF:
            tests = [form.span(mine[0][1] + 1, mine[-1][0] - 1, form.outside)] + tests[1:-1]
        out.append(f"  if ({' || '.join(tests)}) {jump(target, form)}")
    return out + [f"  {jump(common, form)}"]


CONTRACT = [
    "{function}: word points to a NUL-terminated string of bytes; the result is 1 when the whole",
    "word is in the language below and 0 when it is not. It reads the word up to its NUL or its",
    "first byte that leads nowhere, and nothing else; it writes nothing, calls nothing, keeps",
    "nothing between calls and may be called from any thread. Declare it, from C or C++, as",
    '  int {function}(const char* word);     /* from C++: extern "C" int ... */',
    "Written by automata source; the table below regenerates it (automata check).",
]


def source(automaton, function="Recognize", alone=False):
    """The recognizer's source, one character per byte: in the house form, or standing alone."""
    form = ALONE if alone else HOUSE
    ranges = [merged_ranges(automaton.transitions(state)) for state in range(automaton.size)]
    entered = {t for targets in automaton.next for t in targets if t is not None}
    out = [] if alone else ['#include "recognizers/automaton.h"', ""]
    if alone:
        out += [f"// {line.format(function=function)}".rstrip() for line in CONTRACT] + ["//"]
    out += [f"// {comment_text(line)}".rstrip() for line in automaton.description]
    out += ["//"] + [f"//   {line}" for line in table_lines(automaton)]
    if alone:
        out += ["#ifdef __cplusplus", 'extern "C"', "#endif",
                f"int {function}(const char* word) {{",
                "  const unsigned char* p = (const unsigned char*)word;", ""]
    else:
        out += [f"int {function}(const char* word) {{", "  using namespace automaton;",
                "  const Byte* p = Bytes(word);", ""]
    out += ["  // One line per transition, in the order the alphabet is listed."
            if all(map(byte_by_byte, ranges)) else
            "  // Each block: the end of the word, then the bytes or ranges of bytes that lead on.",
            "  // clang-format off"]
    for state in range(automaton.size):
        if state:
            out.append("")
        out += block(automaton, state, ranges[state], state in entered, form)
    out += ["  // clang-format on", "}", ""]
    return "\n".join(out)


ROUTINE = re.compile(r"^int ([A-Za-z_][A-Za-z0-9_]*)\(const char\* word\) \{$", re.M)


def routine_name(text):
    routine = ROUTINE.search(text)
    return routine[1] if routine else "Recognize"


def stands_alone(text):
    """Whether a recognizer's source is a routine that stands alone, not the house form."""
    return not text.startswith('#include "recognizers/automaton.h"')


def comment_table(text, name, alone=False):
    """The table file a recognizer's comment holds: its description, then, after the last bare //,
    its table; a routine that stands alone begins with its contract, which is no part of it."""
    routine = ROUTINE.search(text)
    comment = [line for line in text[:routine.start() if routine else 0].split("\n")
               if line.startswith("//")][len(CONTRACT) + 1 if alone else 0:]
    if "//" not in comment:
        raise Fault(f"{name}: no table in the comment above the routine")
    blank = len(comment) - 1 - comment[::-1].index("//")
    return ("\n".join([("# " + line[3:]).rstrip() for line in comment[:blank]] +
                      [line[5:] for line in comment[blank + 1:]]) + "\n").encode("latin-1")
