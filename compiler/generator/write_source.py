"""A recognizer: the description and the table as the comment above it, then one block per state,
S0 first, a label where a jump lands, a goto per transition. Two forms share the blocks: the
house form, C++ on recognizers/automaton.h, which the programs are built from; and a routine that
stands alone, with no header of ours, that compiles as C99 and as C++ with C linkage in both.

Each block tests the end of the word first; where the end rejects as well, in the reject's own
condition, before its comparisons, and the compiler makes the two one. Then, by what the state's
transitions are:
- a table of single bytes, a few leading on, no two neighbours to one state: one comparison per
  byte, in the order the columns are listed (the system's own three are so);
- otherwise, per next state, the runs of bytes that lead there (merged) are one condition: each
  run one unsigned comparison, a run and its other-case twin (A-Z, a-z) one comparison of the
  byte with 0x20 set, runs at both ends one test of the span between them; joined by |, so the
  bytes of one next state, however mixed, cost one branch that the processor predicts (a
  reject's by ||: it is taken but once). One next state falls through with no test of its own;
  the others are tested in the order that costs a byte the fewest comparisons, text being mostly
  printable ASCII. A reject ends the word, so its bytes weigh nothing; its tests come first,
  where they are the same in many states and the compiler shares them;
- many runs: a binary search over them, O(log r) comparisons for r runs.
"""
import re
from typing import NamedTuple

from .model import Fault, name
from .passes import live, minimal
from .words import first_words
from .write_table import table_lines

FEW_BYTES = 16  # single bytes compared one after another at most
FEW_RANGES = 8  # ranges tested before the fall-through at most; more are searched
OTHER_BYTES = 0.1  # a control byte's or a byte's from 0x80 up, against a printable one's


def literal(byte):
    """How the code writes a byte it compares with: unsigned, never a signed char."""
    if 0x21 <= byte <= 0x7E:
        return {0x27: "'\\''", 0x5C: "'\\\\'"}.get(byte, f"'{chr(byte)}'")
    return f"0x{byte:02X}"


byte_literal = [literal(byte) for byte in range(256)].__getitem__


def comment_text(line):
    """A description line as it can stand in a // comment: a NUL or a CR in it, which would end
    the comment or the line, and a \\ at its end (or ??/, which C99 reads as one), which would join
    the next line to it, are written \\xHH. Applied again to what it wrote, it changes nothing."""
    line = line.rstrip().replace("\0", "\\x00").replace("\r", "\\x0D")
    if line.endswith("??/"):
        return line[:-1] + "\\x2F"
    return line[:-1] + "\\x5C" if line.endswith("\\") else line


def merged_ranges(transitions, low=1):
    """[(first, last, next state or None)] over the bytes low-0xFF (from 0x01 where NUL ends the
    word), neighbours that lead to one state merged."""
    step = dict(transitions)
    found = []
    for byte in range(low, 256):
        target = step.get(byte)
        if found and found[-1][2] == target:
            found[-1] = (found[-1][0], byte, target)
        else:
            found.append((byte, byte, target))
    return found


class Form(NamedTuple):
    """The words a form writes: its verdicts, and whether the byte is in first..last (one
    comparison), out of it, or, with 0x20 set, in it."""
    accept: str
    reject: str
    within: str
    outside: str
    twins: str  # the byte with 0x20 set in first..last

    def span(self, first, last, template):
        return template.format(first=byte_literal(first), last=byte_literal(last), width=last - first)


# Outside first..last is written as two comparisons, which the compiler makes one, and with the
# end before them, one as well: it sees them where In would hide them until inlined.
HOUSE = Form("kAccept", "kReject", "In(*p, {first}, {last})", "*p < {first} || *p > {last}",
             "In(*p | 0x20, {first}, {last})")
ALONE = Form("1", "0", "(unsigned char)(*p - {first}) <= {width}",
             "*p < {first} || *p > {last}", "(unsigned char)((*p | 0x20) - {first}) <= {width}")


class Test(NamedTuple):
    """One comparison of the byte, as every language writes it: is (== first), isnt (!= first),
    upto (<= last), from (>= first), within first..last, outside it, and, of the byte with 0x20
    set, twin (== first) and twins (within first..last)."""
    kind: str
    first: int = 0
    last: int = 0


def test(first, last, low=1):
    if first == last:
        return Test("is", first)
    if first == low:
        return Test("upto", last=last)
    if last == 0xFF:
        return Test("from", first)
    return Test("within", first, last)


def c_test(test, form):
    """A test in C: the byte is *p, unsigned."""
    if test.kind in ("within", "outside", "twins"):
        return form.span(test.first, test.last, getattr(form, test.kind))
    return {"is": "*p == {}", "isnt": "*p != {}", "twin": "(*p | 0x20) == {}", "upto": "*p <= {}",
            "from": "*p >= {}"}[test.kind].format(byte_literal(test.last if test.kind == "upto" else test.first))


def jump(target, form, shape):
    return shape.rejected.format(reject=form.reject) if target is None else \
        f"{{ ++p; goto {name(target)}; }}"


def search(ranges, indent, form, shape, out=None):
    """A binary search over ranges that cover a span of bytes, each a leaf of its own."""
    out = [] if out is None else out
    while len(ranges) > 1:
        middle = len(ranges) // 2
        out.append(f"{indent}if (*p < {byte_literal(ranges[middle][0])}) {{")
        search(ranges[:middle], indent + "  ", form, shape, out)
        out.append(f"{indent}}}")
        ranges = ranges[middle:]
    out.append(indent + jump(ranges[0][2], form, shape))
    return out


def byte_by_byte(ranges):
    """Whether a state of a table of single bytes is compared one byte after another, as the
    table lists them: a few bytes lead on, none a range."""
    leading_on = [r for r in ranges if r[2] is not None]
    return len(leading_on) <= FEW_BYTES and all(r[0] == r[1] for r in leading_on)


def weight(first, last):
    """How often bytes first..last may be expected in a word: text is mostly printable ASCII."""
    printable = max(0, min(last, 0x7E) - max(first, 0x20) + 1)
    return printable + (last - first + 1 - printable) * OTHER_BYTES


def range_tests(spans, low=1):
    """The tests of one next state's runs of bytes: a run and its other-case twin (the same bytes
    but for 0x20, as A-Z and a-z) one test of the byte with 0x20 set; runs at both ends (below and
    above all the rest) one test that the byte is outside the span between them."""
    tests = []
    if len(spans) > 1 and spans[0][0] == low and spans[-1][1] == 0xFF:
        first, last = spans[0][1] + 1, spans[-1][0] - 1
        tests.append(Test("isnt", first) if first == last else Test("outside", first, last))
        spans = spans[1:-1]
    lower = {(first, last) for first, last in spans if first >> 5 == last >> 5 and not first & 0x20
             and (first | 0x20, last | 0x20) in spans}
    for first, last in spans:
        if (first, last) in lower:
            tests.append(Test("twin", first | 0x20) if first == last else
                         Test("twins", first | 0x20, last | 0x20))
        elif (first & ~0x20, last & ~0x20) not in lower:
            tests.append(test(first, last, low))
    return tests


def cheapest_order(weights, costs):
    """Which next state is the fall-through, and in what order the others are tested, for the
    fewest comparisons a byte passes: a byte costs the tests up to its own next state's, or all
    of them where that is the fall-through; a rejected byte ends the word, so it weighs nothing.
    None where every choice would test more than a few ranges."""
    best, every = None, sum(costs.values())
    if every - max(costs.values()) > FEW_RANGES:
        return None
    for fall_through in sorted(weights, key=lambda t: (t is not None, t or 0)):
        if every - costs[fall_through] > FEW_RANGES:
            continue
        order = sorted((t for t in weights if t != fall_through),
                       key=lambda t: (t is not None, -weights[t] / max(costs[t], 1), t or 0))
        spent = total = 0
        for target in order:
            spent += costs[target]
            total += weights[target] * spent
        total += weights[fall_through] * spent
        if best is None or total < best[0]:
            best = (total, order, fall_through)
    return best and best[1:]


class Shape(NamedTuple):
    """A form of the routine: what it is called with, where the word ends, and what a block does
    there and where a byte leads nowhere. {verdict} is the state's answer at the end, {state} its
    number, {reject} the form's no."""
    flag: str  # --form NAME
    signature: str
    opening: tuple  # the lines before S0's block
    end: str  # the test that the bytes are over
    low: int  # the least byte of a word: 0x01 where NUL ends it
    ended: str
    rejected: str
    joins_end: bool  # whether the end, where it rejects, may be tested in the reject's condition
    could: str  # the answer at the end where a word may yet be, or None: there it is the reject
    contract: tuple


# The word, NUL-terminated: the form the programs are built from.
WORD = Shape("word", "int {function}(const char* word)",
             ("const unsigned char* p = (const unsigned char*)word;",), "*p == '\\0'", 1,
             "return {verdict};", "return {reject};", True, None, (
    "{function}: word points to a NUL-terminated string of bytes; the result is 1 when the whole",
    "word is in the language below and 0 when it is not. It reads the word up to its NUL or its",
    "first byte that leads nowhere, and nothing else; it writes nothing, calls nothing, keeps",
    "nothing between calls and may be called from any thread. Declare it, from C or C++, as",
    '  int {function}(const char* word);     /* from C++: extern "C" int ... */',
    "Written by automata source; the table below regenerates it (automata check)."))
BOUNDED = ("const unsigned char* p = (const unsigned char*)data;",
           "const unsigned char* const end = p + size;")
LENGTH = Shape("length", "int {function}(const char* data, size_t size)", BOUNDED, "p == end", 0,
               "return {verdict};", "return {reject};", True, None, (
    "{function}: data points to size bytes, a NUL among them a byte like any other; the result",
    "is 1 when they are a word of the language below and 0 when they are not. It reads no byte",
    "past size, and none after the first that leads nowhere; it writes nothing, calls nothing,",
    "keeps nothing between calls and may be called from any thread. Declare it, from C or C++, as",
    '  int {function}(const char* data, size_t size);  /* <stddef.h>; from C++: extern "C" */',
    "Written by automata source --form length; the table below regenerates it (automata check)."))
PREFIX = Shape("prefix", "int {function}(const char* data, size_t size)", BOUNDED, "p == end", 0,
               "return {verdict};", "return {reject};", True, "2", (
    "{function}: data points to size bytes, a word so far (as a field is typed); the result is 1",
    "when it is in the language below, 2 when it is not but a word it begins is, and 0 when no",
    "word that begins with it is (whatever follows, the answer stays 0). It reads no byte past",
    "size, writes nothing, calls nothing, keeps nothing between calls and may be called from any",
    "thread. Declare it, from C or C++, as",
    '  int {function}(const char* data, size_t size);  /* <stddef.h>; from C++: extern "C" */',
    "Written by automata source --form prefix; the table below regenerates it (automata check)."))
PIECES = Shape("pieces", "int {function}(int* state, const char* data, size_t size)",
               BOUNDED, "p == end", 0, "{{ *state = {state}; return {verdict}; }}",
               "{{ *state = -1; return {reject}; }}", False, "2", (
    "{function}: a word that arrives in pieces, one call a piece of size bytes at data, NUL a byte",
    "like any other; *state is 0 before the first piece, and the caller keeps it between calls",
    "(one per word). Each call answers for the word so far, however it was split: 1 when it is in",
    "the language below, 2 when it is not but a word it begins is, and 0 when no word that begins",
    "with it is (from then on). A call of size 0 answers without reading. It reads no byte past",
    "size, writes *state alone, calls nothing and may be called from any thread. Declare it as",
    '  int {function}(int* state, const char* data, size_t size);  /* from C++: extern "C" */',
    "Written by automata source --form pieces; the table below regenerates it (automata check)."))
SHAPES = {shape.flag: shape for shape in (WORD, LENGTH, PREFIX, PIECES)}


class Plan(NamedTuple):
    """A state's code, chosen once and rendered by each language's writer: its verdict where the
    word ends (accept, reject, or could: a word it begins is in the language); then either the
    transitions compared one after another (listed), a binary search over the runs of bytes
    (search), or branches, each [Test] that take the byte to a next state (None: the reject),
    in the order tested, and the fall-through. with_end: the end is tested in the reject's
    branch, first, rather than on its own before the rest."""
    state: int
    labelled: bool
    reached: str
    verdict: str
    listed: list = None
    search: list = None
    branches: list = ()
    fall_through: object = None
    with_end: bool = False


def plan(automaton, state, ranges, labelled, listed, shape, alive, reached=None):
    verdict = "accept" if automaton.accepting[state] else \
        "could" if state in alive and shape.could else "reject"
    here = Plan(state, labelled, reached if state else None, verdict)
    if listed:
        return here._replace(listed=automaton.transitions(state))
    spans, weights = {}, {}
    for first, last, target in ranges:
        spans.setdefault(target, []).append((first, last))
        weights[target] = 0 if target is None else weights.get(target, 0) + weight(first, last)
    tests = {target: range_tests(mine, shape.low) for target, mine in spans.items()}
    costs = {target: len(tests[target]) for target in tests}
    # Where the end rejects as well, and a reject's first test takes in the least bytes, the end
    # is tested first in that same condition, which, where NUL ends the word, the compiler makes
    # one comparison.
    with_end = verdict == "reject" and shape.joins_end and None in spans and spans[None][0][0] == shape.low
    if with_end:
        costs[None] -= 1
    chosen = cheapest_order(weights, costs)
    if chosen is None:
        return here._replace(search=ranges)
    order, fall_through = chosen
    return here._replace(branches=[(target, tests[target]) for target in order],
                         fall_through=fall_through, with_end=with_end and None in order)


def block(here, form, shape):
    """A state's block in C."""
    out = [f"{name(here.state)}:" if here.labelled else
           f"  // {name(here.state)}: {'entered at the start' if here.state == 0 else 'no jump lands here'}"]
    if here.reached:
        out[0] += f"  // first reached by {here.reached}"
    verdict = {"accept": form.accept, "reject": form.reject, "could": shape.could}[here.verdict]
    end = shape.end
    ended = shape.ended.format(verdict=verdict, state=here.state)
    if here.listed is not None:
        return out + [f"  if ({end}) {ended}"] + [
            f"  if (*p == {byte_literal(byte)}) {jump(target, form, shape)}"
            for byte, target in here.listed] + [f"  {jump(None, form, shape)}"]
    if here.search is not None:
        return out + [f"  if ({end}) {ended}"] + search(here.search, "  ", form, shape)
    if not here.with_end:
        out.append(f"  if ({end}) {ended}")
    # A next state's tests are one condition of | (not ||), so one branch, however the bytes that
    # lead there are mixed; a reject's are joined by ||, each a branch never taken but once.
    for target, tests in here.branches:
        mine = [end] * (here.with_end and target is None) + [c_test(t, form) for t in tests]
        condition = " || ".join(mine) if target is None or len(mine) == 1 else " | ".join(
            t if t.startswith("In(") else f"({t})" for t in mine)
        out.append(f"  if ({condition}) {jump(target, form, shape)}")
    return out + [f"  {jump(here.fall_through, form, shape)}"]


def entry(states, indent="  ", out=None):
    """Where a piece begins: the state the caller kept, found by a binary search over the state
    numbers (comparisons, no jump table); any other number answers no, as after a dead end."""
    out = [f"{indent}if (*state < 0 || *state >= {len(states)}) return 0;"] if out is None else out
    while len(states) > 1:
        middle = len(states) // 2
        out.append(f"{indent}if (*state < {states[middle]}) {{")
        entry(states[:middle], indent + "  ", out)
        out.append(f"{indent}}}")
        states = states[middle:]
    out.append(f"{indent}goto {name(states[0])};")
    return out


def plans(automaton, shape, reached=True):
    """(the automaton written, a Plan per state) in a shape; a shape that says 2 (a word may yet
    be) is written from the minimal automaton, where a state that leads to no word is a dead end.
    reached: each state's comment gives the first word that reaches it."""
    if shape.could:
        automaton = minimal(automaton)
    ranges = [merged_ranges(automaton.transitions(state), shape.low) for state in range(automaton.size)]
    entered = {t for targets in automaton.next for t in targets if t is not None}
    if shape is PIECES:
        entered = set(range(automaton.size))
    alive = live(automaton)
    single_bytes = all(len(column.bytes) == 1 for column in automaton.columns)
    listed = [single_bytes and byte_by_byte(r) for r in ranges]
    words = first_words(automaton) if reached else {}
    return automaton, [plan(automaton, state, ranges[state], state in entered, listed[state], shape,
                            alive, words.get(state)) for state in range(automaton.size)]


def source(automaton, function="Recognize", alone=False, shape=WORD):
    """The recognizer's source, one character per byte: in the house form, or standing alone in
    one of the shapes."""
    form = ALONE if alone else HOUSE
    automaton, planned = plans(automaton, shape, alone)
    out = [] if alone else ['#include "recognizers/automaton.h"', ""]
    if alone:
        out += [f"// {line.format(function=function)}".rstrip() for line in shape.contract] + ["//"]
    out += [f"// {comment_text(line)}".rstrip() for line in automaton.description]
    out += ["//"] + [f"//   {line}" for line in table_lines(automaton)]
    signature = shape.signature.format(function=function)
    if alone:
        out += ["#include <stddef.h>"] * (shape is not WORD)
        out += ["#ifdef __cplusplus", 'extern "C"', "#endif", f"{signature} {{"]
        out += [f"  {line}" for line in shape.opening] + [""]
    else:
        out += [f"{signature} {{", "  using namespace automaton;", "  const Byte* p = Bytes(word);", ""]
    out += ["  // One line per transition, in the order the alphabet is listed."
            if all(here.listed is not None for here in planned) else
            "  // Each block: the end of the word, then the bytes or ranges of bytes that lead on.",
            "  // clang-format off"]
    if shape is PIECES:
        out += entry(list(range(automaton.size))) + [""]
    for here in planned:
        if here.state:
            out.append("")
        out += block(here, form, shape)
    out += ["  // clang-format on", "}", ""]
    return "\n".join(out)


ROUTINE = re.compile(r"^int ([A-Za-z_][A-Za-z0-9_]*)\((?:const char\* word|const char\* data, "
                     r"size_t size|int\* state, const char\* data, size_t size)\) \{$", re.M)


def routine_name(text):
    routine = ROUTINE.search(text)
    return routine[1] if routine else "Recognize"


def stands_alone(text):
    """Whether a recognizer's source is a routine that stands alone, not the house form."""
    return not text.startswith('#include "recognizers/automaton.h"')


def shape_of(text):
    """The shape of a routine that stands alone, by the first line of its contract."""
    function = routine_name(text)
    return next((shape for shape in SHAPES.values()
                 if text.startswith(f"// {shape.contract[0].format(function=function)}\n")), WORD)


def comment_table(text, name, alone=False):
    """The table file a recognizer's comment holds: its description, then, after the last bare //,
    its table; a routine that stands alone begins with its contract, which is no part of it."""
    routine = ROUTINE.search(text)
    skipped = len(shape_of(text).contract) + 1 if alone else 0
    comment = [line for line in text[:routine.start() if routine else 0].split("\n")
               if line.startswith("//")][skipped:]
    if "//" not in comment:
        raise Fault(f"{name}: no table in the comment above the routine")
    blank = len(comment) - 1 - comment[::-1].index("//")
    return ("\n".join([("# " + line[3:]).rstrip() for line in comment[:blank]] +
                      [line[5:] for line in comment[blank + 1:]]) + "\n").encode("latin-1")
