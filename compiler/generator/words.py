"""Words that pin a language down: the shortest word that tells two automata apart, example words
and near misses, and word lists that must hold.

Words are bytes. Searches go breadth first, a state's ways on in byte order, so that the first
word found to reach a place is the shortest, then the first in byte order (shortlex).

A word list is a text file: a line `yes WORD` (the word is in the language) or `no WORD` (it is
not), # lines and blank lines aside. WORD is the rest of the line after the one space, exactly:
\\xHH writes any byte (\\x00, \\x20 at the end, \\x0D) and \\\\ a backslash; any other byte stands
for itself.
"""
import re
from collections import deque

from .construct import byte_classes
from .model import Fault, excerpt

ESCAPE = re.compile(rb"\\(x[0-9A-Fa-f]{2}|\\)")


def accepts(automaton, word):
    """Whether the automaton accepts the word, which ends at its first NUL as a routine's does."""
    step = {b: i for i, column in enumerate(automaton.columns) for b in column.bytes}
    state = 0
    for byte in word.split(b"\0", 1)[0]:
        column = step.get(byte)
        state = None if column is None else automaton.next[state][column]
        if state is None:
            return False
    return automaton.accepting[state]


def shown(word):
    """A word as a message shows it: in quotes, a byte outside printable ASCII (and \\ and ') as
    \\xHH, so that the line says exactly which bytes."""
    return "'" + "".join(chr(b) if 0x20 <= b <= 0x7E and b not in b"\\'" else f"\\x{b:02X}"
                         for b in word) + "'"


def difference(left, right):
    """The shortest word, then the first in byte order, that one automaton accepts and the other
    does not, and which accepts it (0 or 1); None where their languages are one."""
    maps = [{b: i for i, c in enumerate(a.columns) for b in c.bytes} for a in (left, right)]
    classes = byte_classes([frozenset(c.bytes) for a in (left, right) for c in a.columns])
    steps = [(found[0], maps[0].get(found[0]), maps[1].get(found[0])) for found in classes]

    def accepting(automaton, state):
        return state is not None and automaton.accepting[state]

    seen, queue = {(0, 0): b""}, deque([(0, 0)])
    while queue:
        pair = queue.popleft()
        word = seen[pair]
        a, b = accepting(left, pair[0]), accepting(right, pair[1])
        if a != b:
            return word, 0 if a else 1
        for byte, l_column, r_column in steps:
            l_next = None if pair[0] is None or l_column is None else left.next[pair[0]][l_column]
            r_next = None if pair[1] is None or r_column is None else right.next[pair[1]][r_column]
            following = (l_next, r_next)
            if following != (None, None) and following not in seen:
                seen[following] = word + bytes([byte])
                queue.append(following)
    return None


def representative(column):
    """The byte a column is shown by: its first printable one, else its first."""
    return next((b for b in column.bytes if 0x21 <= b <= 0x7E), column.bytes[0])


LONGEST_EXAMPLE = 256  # bytes: an example longer than this is no example a user reads


def examples(automaton, most=8):
    """The shortest words of the language, a byte per column (the column's representative), in
    shortlex order: at most most of them, of up to LONGEST_EXAMPLE bytes; failing any, the one
    shortest word, however long."""
    ways = [sorted((representative(c), t) for c, t in zip(automaton.columns, row)
                   if t is not None and c.bytes) for row in automaton.next]
    found = []
    reach = [automaton.accepting[:]]  # reach[k][s]: some word of exactly k bytes is accepted from s
    for length in range(LONGEST_EXAMPLE + 1):
        while len(reach) <= length:
            reach.append([any(reach[-1][t] for _, t in ways[s]) for s in range(automaton.size)])
        stack = [(0, b"")] if reach[length][0] else []
        while stack and len(found) < most:  # depth first, in byte order
            state, word = stack.pop()
            left = length - len(word)
            if left == 0:
                found.append(word)
                continue
            stack += [(t, word + bytes([b])) for b, t in reversed(ways[state]) if reach[left - 1][t]]
        if len(found) >= most:
            return found
    return found or shortest(automaton, ways)


def shortest(automaton, ways):
    """The shortest word of the language, then the first in byte order, or none: [word] or []."""
    before = [[] for _ in range(automaton.size)]
    for state, row in enumerate(ways):
        for _, target in row:
            before[target].append(state)
    distance = {s: 0 for s in range(automaton.size) if automaton.accepting[s]}
    queue = deque(distance)
    while queue:
        state = queue.popleft()
        for source in before[state]:
            if source not in distance:
                distance[source] = distance[state] + 1
                queue.append(source)
    if 0 not in distance:
        return []
    word, state = bytearray(), 0
    while distance[state]:
        byte, state = next((b, t) for b, t in ways[state] if distance.get(t) == distance[state] - 1)
        word.append(byte)
    return [bytes(word)]


def near_misses(automaton, most=8):
    """Words the language does not hold that one byte changed, added or dropped would make it hold:
    the shortest, from the language's example words, at most most of them."""
    alphabet = sorted({representative(c) for c in automaton.columns if c.bytes} | {0x20})
    found = set()
    for word in examples(automaton, 4 * most):
        for at in range(len(word) + 1):
            found.add(word[:at] + word[at + 1:])
            for byte in alphabet:
                found.add(word[:at] + bytes([byte]) + word[at:])
                if at < len(word):
                    found.add(word[:at] + bytes([byte]) + word[at + 1:])
    return sorted((w for w in found if b"\0" not in w and not accepts(automaton, w)),
                  key=lambda w: (len(w), w))[:most]


def first_words(automaton, longest=40):
    """Per state, how the shortest word (then the first in byte order) that leads there from S0
    is shown: the word, or, past longest bytes, its length."""
    parent, depth, order = {0: None}, {0: 0}, [0]
    for state in order:  # breadth first, a state's ways on in byte order
        for byte, target in sorted(automaton.transitions(state)):
            if target not in parent:
                parent[target], depth[target] = (state, byte), depth[state] + 1
                order.append(target)
    shown_as = {}
    for state in order:
        if depth[state] > longest:
            shown_as[state] = f"a word of {depth[state]} bytes"
            continue
        word, at = bytearray(), state
        while parent[at] is not None:
            at, byte = parent[at]
            word.append(byte)
        shown_as[state] = shown(bytes(reversed(word)))
    return shown_as


def word_list(data, name):
    """[(line number, word, whether it must be in the language)] of a word list's bytes."""
    found = []
    for number, line in enumerate(data.split(b"\n"), 1):
        line = line.removesuffix(b"\r")
        if not line.strip() or line.startswith(b"#"):
            continue
        verdict, space, word = line.partition(b" ")
        if verdict not in (b"yes", b"no") or not space:
            raise Fault(f"{name}:{number}: a line is 'yes WORD' or 'no WORD', not "
                        f"'{excerpt(line.decode('latin-1'))}'")
        found.append((number, ESCAPE.sub(lambda m: b"\\" if m[1] == b"\\" else bytes([int(m[1][1:], 16)]),
                                         word), verdict == b"yes"))
    return found
