"""Reads a file of one regular expression: # lines describe the language, then the expression, the
whole of its line. It is matched against the whole word, over bytes, as Python's re.fullmatch
would on bytes; the result is the minimal automaton of its language.

The syntax: a literal byte (any but NUL and \\ . [ ] ( ) * + ? { } | ^ $); \\ before ASCII
punctuation, that byte; \\xHH (0x01-0xFF), \\t \\n \\r \\f \\v, \\d \\w \\s and \\D \\W \\S; . (any byte
but line feed); [abc], [a-z], [^...] (every byte 0x01-0xFF not listed); *, +, ?, {m}, {m,},
{m,n} (counts up to 1,000); ( ), (?: ) and |. Anything else is a fault: FILE:LINE:COLUMN.

Expression -> a Thompson automaton over sets of bytes -> the subset construction over the
classes of bytes that no set tells apart -> the minimal automaton, its like columns merged.
"""
from .model import Automaton, Column, Fault
from .passes import merge_columns, minimal
from .read_table import description_line, lines
from .spelling import class_spelling

SPECIAL = set("\\.[]()*+?{}|^$")
ALL = frozenset(range(1, 256))
DIGIT = frozenset(range(0x30, 0x3A))
WORD = DIGIT | frozenset(range(0x41, 0x5B)) | frozenset(range(0x61, 0x7B)) | {0x5F}
SPACE = frozenset(b" \t\n\r\f\v")
SETS = {"d": DIGIT, "w": WORD, "s": SPACE, "D": ALL - DIGIT, "W": ALL - WORD, "S": ALL - SPACE}
CONTROLS = {"t": 9, "n": 10, "r": 13, "f": 12, "v": 11}
POSIX = {"alpha": frozenset(b"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
         "digit": DIGIT, "upper": frozenset(range(0x41, 0x5B)), "lower": frozenset(range(0x61, 0x7B)),
         "space": SPACE, "blank": frozenset(b" \t"), "print": frozenset(range(0x20, 0x7F)),
         "graph": frozenset(range(0x21, 0x7F)), "cntrl": frozenset([*range(1, 0x20), 0x7F]),
         "xdigit": DIGIT | frozenset(b"ABCDEFabcdef")}
POSIX["alnum"] = POSIX["alpha"] | DIGIT
POSIX["punct"] = POSIX["graph"] - POSIX["alnum"]
MOST_COUNT = 1000
MOST_DEPTH = 100  # groups one inside another
DEFAULT_MOST_STATES = 16384


class Parser:
    """Recursive descent over the expression; the tree is made of ("set", bytes), ("cat", [..]),
    ("alt", [..]) and ("repeat", node, least, most or None)."""

    def __init__(self, text, where):
        self.text, self.at, self.where, self.depth = text, 0, where, 0

    def fault(self, message, at=None):
        raise Fault(f"{self.where}:{(self.at if at is None else at) + 1}: {message}")

    def peek(self):
        return self.text[self.at] if self.at < len(self.text) else None

    def parse(self):
        tree = self.alternatives()
        if self.peek() == ")":
            self.fault("a ) that no ( opened")
        return tree

    def alternatives(self):
        found = [self.sequence()]
        while self.peek() == "|":
            self.at += 1
            found.append(self.sequence())
        return found[0] if len(found) == 1 else ("alt", found)

    def sequence(self):
        """A run of items; at the top, ^ first and $ last, which a whole-word match makes empty."""
        found = []
        if self.depth == 0 and self.peek() == "^":
            self.at += 1
        while self.peek() not in (None, "|", ")"):
            if self.depth == 0 and self.peek() == "$" and self.text[self.at + 1:self.at + 2] in ("", "|"):
                self.at += 1
                break
            found.append(self.quantified())
        return ("cat", found)

    def quantified(self):
        if self.peek() in ("*", "+", "?", "{"):
            self.fault("a quantifier with nothing before it")
        node = self.atom()
        counted = False
        while self.peek() in ("*", "+", "?", "{"):
            if counted:
                what = "a possessive quantifier" if self.peek() == "+" else "a quantifier after a quantifier"
                self.fault(f"{what}: not supported")
            char, counted = self.peek(), True
            self.at += 1
            if char == "{":
                least, most = self.counts()
            else:
                least, most = {"*": (0, None), "+": (1, None), "?": (0, 1)}[char]
            if self.peek() == "?":  # lazy: for a yes or no on the whole word, the same as greedy
                self.at += 1
            node = ("repeat", node, least, most)
        return node

    def number(self):
        """(the digits here, where they start), read on; the digits may be none."""
        start = self.at
        while self.peek() is not None and self.peek() in "0123456789":
            self.at += 1
        return self.text[start:self.at], start

    def counts(self):
        start = self.at - 1
        (least, least_at), (most, most_at) = self.number(), ("", None)
        comma = self.peek() == ","
        if comma:
            self.at += 1
            most, most_at = self.number()
        if self.peek() != "}" or not (least or comma):
            if "}" not in self.text[start:]:
                self.fault("a { that no } closes; write \\{ for the byte {", start)
            self.fault("{ begins a count: {m}, {m,}, {,n} or {m,n}", start)
        self.at += 1
        for digits, at in [(least, least_at), (most, most_at)]:
            if len(digits.lstrip("0")) > len(str(MOST_COUNT)) or (digits and int(digits) > MOST_COUNT):
                shown = digits if len(digits) <= 12 else f"of {len(digits)} digits"
                self.fault(f"the count {shown} is more than {MOST_COUNT}", at)
        least = int(least or "0")
        most = int(most) if most else (None if comma else least)
        if most is not None and least > most:
            self.fault(f"{{{least},{most}}}: the least count is more than the most", start)
        return least, most

    def atom(self):
        char, start = self.peek(), self.at
        self.at += 1
        if char == "(":
            if self.text.startswith("?:", self.at):
                self.at += 2
            elif self.peek() == "?":
                self.fault("(? begins only (?: here: no look-around, flags or named groups")
            self.depth += 1
            if self.depth > MOST_DEPTH:
                self.fault(f"more than {MOST_DEPTH} groups one inside another", start)
            inside = self.alternatives()
            if self.peek() != ")":
                self.fault("a ( that no ) closes", start)
            self.at += 1
            self.depth -= 1
            return inside
        if char == "[":
            return ("set", self.bracket(start))
        if char == ".":
            return ("set", ALL - {0x0A})
        if char == "\\":
            return ("set", self.escape(in_class=False))
        if char in ("^", "$"):
            self.fault(f"{char}: the whole word is always matched; {char} stands only at the "
                       f"{'start' if char == '^' else 'end'} of the expression or of an "
                       "alternative of it", start)
        if char in ("]", "}"):
            self.fault(f"a {char} with no opening {'[' if char == ']' else '{'}; write \\{char}", start)
        return ("set", frozenset([ord(char)]))

    def escape(self, in_class):
        start = self.at - 1
        char = self.peek()
        if char is None:
            self.fault("a \\ at the end of the expression", start)
        self.at += 1
        if char == "x":
            digits = self.text[self.at:self.at + 2]
            if len(digits) < 2 or any(d not in "0123456789abcdefABCDEF" for d in digits):
                self.fault("\\x takes two hexadecimal digits", start)
            self.at += 2
            if int(digits, 16) == 0:
                self.fault("\\x00 is the end of the word, never a byte of it", start)
            return frozenset([int(digits, 16)])
        if char in CONTROLS:
            return frozenset([CONTROLS[char]])
        if char in SETS:
            return SETS[char]
        if char in "01234567" and (char == "0" or all(
                c in "01234567" for c in self.text[self.at:self.at + 2]) and len(self.text) >= self.at + 2):
            self.fault("an octal escape is not supported; write \\xHH", start)
        if char.isdigit() and not in_class:
            self.fault(f"\\{char}: no back-references", start)
        if ord(char) < 0x80 and not char.isalnum() and 0x21 <= ord(char) <= 0x7E:
            return frozenset([ord(char)])
        self.fault(f"\\{char} is no escape here: \\ goes before punctuation, x, t, n, r, f, v, "
                   "d, w, s, D, W or S", start)

    def bracket(self, start):
        negated = self.peek() == "^"
        if negated:
            self.at += 1
        found, first = set(), True
        while True:
            char = self.peek()
            if char is None:
                self.fault("a [ that no ] closes", start)
            if char == "]" and not first:
                self.at += 1
                break
            low = self.class_item()
            first = False
            if self.peek() == "-" and self.text[self.at + 1:self.at + 2] not in ("]", ""):
                dash = self.at
                self.at += 1
                high = self.class_item()
                if len(low) != 1 or len(high) != 1:
                    self.fault("a range runs between two bytes, not classes", dash)
                (low,), (high,) = low, high
                if low > high:
                    self.fault(f"the range from 0x{low:02X} to 0x{high:02X} runs backwards", dash)
                found.update(range(low, high + 1))
            else:
                found.update(low)
        found = ALL - found if negated else frozenset(found)
        if not found:
            self.fault("this class holds no byte", start)
        return frozenset(found)

    def class_item(self):
        char = self.peek()
        self.at += 1
        if char == "\\":
            return self.escape(in_class=True)
        if char == "[" and self.peek() == ":":
            end = self.text.find(":]", self.at + 1)
            name = self.text[self.at + 1:end] if end >= 0 else ""
            if name not in POSIX:
                known = " ".join(sorted(POSIX))
                self.fault(f"[:{name}:] is no class: [:NAME:] takes {known}" if end >= 0 else
                           "[: begins a class [:NAME:] that no :] closes", self.at - 1)
            self.at = end + 2
            return POSIX[name]
        if char == "\0":
            self.fault("a NUL byte is the end of the word, never a byte of it", self.at - 1)
        return frozenset([ord(char)])


class Thompson:
    """The automaton of a tree: states with an edge on a set of bytes, or empty edges."""

    def __init__(self, most_nodes, fault):
        self.edges, self.empty, self.most, self.fault = [], [], most_nodes, fault

    def node(self):
        if len(self.edges) >= self.most:
            self.fault()
        self.edges.append([])
        self.empty.append([])
        return len(self.edges) - 1

    def build(self, tree, start):
        """Edges from start for tree; returns the node where it ends."""
        kind = tree[0]
        if kind == "set":
            end = self.node()
            self.edges[start].append((tree[1], end))
            return end
        if kind == "cat":
            for part in tree[1]:
                start = self.build(part, start)
            return start
        if kind == "alt":
            end = self.node()
            for part in tree[1]:
                begin = self.node()
                self.empty[start].append(begin)
                self.empty[self.build(part, begin)].append(end)
            return end
        _, inner, least, most = tree
        for _ in range(least):
            start = self.build(inner, start)
        if most is None:  # a loop: any number more
            begin, end = self.node(), self.node()
            self.empty[start] += [begin, end]
            self.empty[self.build(inner, begin)] += [begin, end]
            return end
        end = self.node()
        for _ in range(most - least):
            self.empty[start].append(end)
            start = self.build(inner, start)
        self.empty[start].append(end)
        return end


def read_regex(data, name="expression", most_states=DEFAULT_MOST_STATES):
    description, expression, number = [], None, 0
    text = lines(data)
    if text and text[-1] == "":
        text.pop()  # the line end of the last line
    for number, line in enumerate(text, 1):
        if expression is None and line.startswith("#"):
            description.append(description_line(line))
        elif expression is None:
            expression, where = line, number
        elif line.strip():
            raise Fault(f"{name}:{number}: one expression to a file; this line follows it")
    if expression is None:
        raise Fault(f"{name}: no expression: # lines, then the expression on a line of its own "
                    "(one that begins with # is written \\#, as \\#fff)")
    return expression_automaton(expression, f"{name}:{where}", name, most_states, description)


def expression_automaton(expression, where, name, most_states, description=()):
    """The minimal automaton of one expression (str, a character per byte); a fault names where."""
    tree = Parser(expression, where).parse()

    def too_many():
        raise Fault(f"{name}: more than {most_states} states; counted repetition after .* or a "
                    "class that repeats (as in (a|b)*a(a|b){24}) is the usual cause "
                    "(--max-states, AUTOMATA_MAX_STATES)")

    nfa = Thompson(64 * most_states + 1024, too_many)
    start = nfa.node()
    final = nfa.build(tree, start)
    # The classes: bytes that every edge's set treats alike.
    sets = list({frozenset(s) for edges in nfa.edges for s, _ in edges})
    by_signature = {}
    for byte in range(1, 256):
        by_signature.setdefault(tuple(byte in s for s in sets), []).append(byte)
    classes = [tuple(found) for found in by_signature.values()]
    class_of = {byte: index for index, found in enumerate(classes) for byte in found}
    steps = [[[] for _ in classes] for _ in nfa.edges]
    for node, edges in enumerate(nfa.edges):
        for bytes_, target in edges:
            for index in {class_of[b] for b in bytes_}:
                steps[node][index].append(target)

    def closure(nodes):
        found, work = set(nodes), list(nodes)
        while work:
            for target in nfa.empty[work.pop()]:
                if target not in found:
                    found.add(target)
                    work.append(target)
        return frozenset(found)

    first = closure([start])
    number_of, order, next_states = {first: 0}, [first], []
    for current in order:  # the subset construction, breadth first
        row = []
        for index in range(len(classes)):
            targets = closure([t for node in current for t in steps[node][index]])
            if not targets:
                row.append(None)
                continue
            if targets not in number_of:
                if len(order) >= most_states:
                    too_many()
                number_of[targets] = len(order)
                order.append(targets)
            row.append(number_of[targets])
        next_states.append(row)
    columns = [Column(class_spelling(found), found) for found in classes]
    automaton = Automaton(columns, [final in nodes for nodes in order], next_states,
                          list(description) + ([""] if description else []) +
                          [f"The expression, matched against the whole word: {expression}"])
    return merge_columns(minimal(automaton))
