"""The syntax of one regular expression, read into a tree.

A set of characters is a tuple of (first, last) ranges, sorted and apart: bytes 0x01-0xFF, or,
after (?u), code points (U+0001-U+10FFFF less the surrogates). The tree is made of ("set",
ranges), ("cat", [..]), ("alt", [..]) and ("repeat", node, least, most or None). The parser
recurses one level a group, and groups nest MOST_DEPTH deep at most, so no expression outruns
Python's stack; a count is refused by its digits before any is converted.
"""
from .model import Fault, excerpt

BYTES = ((1, 0xFF),)
CODE_POINTS = ((1, 0xD7FF), (0xE000, 0x10FFFF))  # what UTF-8 can encode, less NUL


def normal(ranges):
    """Ranges sorted, those that overlap or touch joined."""
    out = []
    for first, last in sorted(ranges):
        if out and first <= out[-1][1] + 1:
            out[-1] = (out[-1][0], max(out[-1][1], last))
        else:
            out.append((first, last))
    return tuple(out)


def union(*sets):
    return normal([r for ranges in sets for r in ranges])


def intersection(a, b):
    out, i, j = [], 0, 0
    while i < len(a) and j < len(b):
        first, last = max(a[i][0], b[j][0]), min(a[i][1], b[j][1])
        if first <= last:
            out.append((first, last))
        if a[i][1] < b[j][1]:
            i += 1
        else:
            j += 1
    return tuple(out)


def complement(ranges, universe):
    out, at = [], 1
    for first, last in normal(ranges):
        if first > at:
            out.append((at, first - 1))
        at = max(at, last + 1)
    out.append((at, 0x10FFFF))
    return intersection(tuple(out), universe)


def of(text):
    return normal((ord(c), ord(c)) for c in text)


UPPER, LOWER = ((0x41, 0x5A),), ((0x61, 0x7A),)
DIGIT = ((0x30, 0x39),)
WORD = union(DIGIT, UPPER, LOWER, of("_"))
SPACE = of(" \t\n\r\f\v")
SETS = {"d": DIGIT, "w": WORD, "s": SPACE}
CONTROLS = {"t": 9, "n": 10, "r": 13, "f": 12, "v": 11}
POSIX = {"alpha": union(UPPER, LOWER), "digit": DIGIT, "upper": UPPER, "lower": LOWER,
         "space": SPACE, "blank": of(" \t"), "print": ((0x20, 0x7E),), "graph": ((0x21, 0x7E),),
         "cntrl": ((1, 0x1F), (0x7F, 0x7F)), "xdigit": union(DIGIT, of("ABCDEFabcdef"))}
POSIX["alnum"] = union(POSIX["alpha"], DIGIT)
POSIX["punct"] = complement(POSIX["alnum"], POSIX["graph"])
MOST_COUNT = 1000
MOST_DEPTH = 100  # groups one inside another
FLAGS = {"(?i)": "i", "(?u)": "u", "(?iu)": "iu", "(?ui)": "iu"}


def folded(ranges):
    """The set with each ASCII letter's other case added; ranges in any order, as a class lists
    them."""
    ranges = normal(ranges)
    return union(ranges, tuple((f + 32, l + 32) for f, l in intersection(ranges, UPPER)),
                 tuple((f - 32, l - 32) for f, l in intersection(ranges, LOWER)))


class Parser:
    """Recursive descent over one expression, a character per byte (or, after (?u), per code
    point); a fault is WHERE then its column (FILE:LINE: then 5, or -e: column then 5): what."""

    def __init__(self, text, where, most_items=None, too_many=None, column=0):
        """most_items: the most items (characters, classes, groups) before too_many() is called,
        as each is a node of the automaton at least; column: where in its line the text begins."""
        self.where, self.depth, self.at, self.items = where, 0, 0, 0
        self.most_items, self.too_many = most_items, too_many
        flags = next((f for f in FLAGS if text.startswith(f)), "")
        self.caseless, self.utf8 = "i" in FLAGS.get(flags, ""), "u" in FLAGS.get(flags, "")
        self.text, self.skipped = text[len(flags):], column + len(flags)
        if self.utf8:
            try:
                self.text = self.text.encode("latin-1").decode("utf-8")
            except UnicodeDecodeError as error:
                self.at = len(self.text[:error.start].encode("latin-1").decode("utf-8", "replace"))
                self.fault("after (?u) the expression is UTF-8, and this byte is not")
        self.universe = CODE_POINTS if self.utf8 else BYTES
        self.dot = complement(of("\n"), self.universe)

    def fault(self, message, at=None):
        raise Fault(f"{self.where}{(self.at if at is None else at) + self.skipped + 1}: {message}")

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
            digits = digits.lstrip("0") or digits[:1]  # 007 is 7; 5,000 zeros are 0
            if len(digits) > len(str(MOST_COUNT)) or (digits and int(digits) > MOST_COUNT):
                shown = digits if len(digits) <= 12 else f"of {len(digits)} digits"
                self.fault(f"the count {shown} is more than {MOST_COUNT}", at)
        least = int(least.lstrip("0") or "0")
        most = int(most.lstrip("0") or "0") if most else (None if comma else least)
        if most is not None and least > most:
            self.fault(f"{{{least},{most}}}: the least count is more than the most", start)
        return least, most

    def chars(self, ranges):
        """A set as the expression means it: in the universe, and with (?i) in either case."""
        return intersection(folded(ranges) if self.caseless else normal(ranges), self.universe)

    def atom(self):
        char, start = self.peek(), self.at
        self.at += 1
        self.items += 1
        if self.most_items is not None and self.items > self.most_items:
            self.too_many()
        if char == "(":
            if self.text.startswith("?:", self.at):
                self.at += 2
            elif self.peek() == "?":
                self.fault("(? begins only (?: here, or (?i), (?u) and (?iu) at the very start: "
                           "no look-around or named groups")
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
            return ("set", self.dot)
        if char == "\\":
            return ("set", self.chars(self.escape(in_class=False)))
        if char in ("^", "$"):
            self.fault(f"{char}: the whole word is always matched; {char} stands only at the "
                       f"{'start' if char == '^' else 'end'} of the expression or of an "
                       "alternative of it", start)
        if char in ("]", "}"):
            self.fault(f"a {char} with no opening {'[' if char == ']' else '{'}; write \\{char}", start)
        if char == "\0":
            self.fault("a NUL byte is the end of the word, never a byte of it; write \\x00 "
                       "nowhere", start)
        return ("set", self.chars(of(char)))

    def hexadecimal(self, digits, start, what):
        text = self.text[self.at:self.at + digits]
        if len(text) < digits or any(d not in "0123456789abcdefABCDEF" for d in text):
            self.fault(f"{what} takes {digits} hexadecimal digits", start)
        self.at += digits
        value = int(text, 16)
        if value == 0:
            self.fault(f"{what}{text} is the end of the word, never a byte of it", start)
        if value > 0x10FFFF:
            self.fault(f"{what}{text} is past U+10FFFF", start)
        return value

    def escape(self, in_class):
        start = self.at - 1
        char = self.peek()
        if char is None:
            self.fault("a \\ at the end of the expression", start)
        self.at += 1
        if char == "x":
            return of(chr(self.hexadecimal(2, start, "\\x")))
        if char in "uU" and self.utf8:
            return of(chr(self.hexadecimal(4 if char == "u" else 8, start, "\\" + char)))
        if char in "uU":
            self.fault(f"\\{char} writes a code point, which only an expression after (?u) holds", start)
        if char in CONTROLS:
            return of(chr(CONTROLS[char]))
        if char.lower() in SETS:
            found = SETS[char.lower()]
            return complement(found, self.universe) if char.isupper() else found
        if char in "01234567" and (char == "0" or all(
                c in "01234567" for c in self.text[self.at:self.at + 2]) and len(self.text) >= self.at + 2):
            self.fault("an octal escape is not supported; write \\xHH", start)
        if char.isdigit() and not in_class:
            self.fault(f"\\{char}: no back-references", start)
        if 0x21 <= ord(char) <= 0x7E and not char.isalnum():
            return of(char)
        self.fault(f"\\{char} is no escape here: \\ goes before punctuation, x, t, n, r, f, v, "
                   "d, w, s, D, W or S", start)

    def bracket(self, start):
        """A class, [ already read; an empty one, as [^\\s\\S], matches nothing."""
        negated = self.peek() == "^"
        if negated:
            self.at += 1
        found, first = [], True
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
                if len(low) != 1 or len(high) != 1 or low[0][0] != low[0][1] or high[0][0] != high[0][1]:
                    self.fault("a range runs between two characters, not classes", dash)
                low, high = low[0][0], high[0][0]
                if low > high:
                    self.fault(f"the range from 0x{low:02X} to 0x{high:02X} runs backwards", dash)
                found.append((low, high))
            else:
                found += low
        found = self.chars(found)
        return complement(found, self.universe) if negated else found

    def class_item(self):
        char = self.peek()
        self.at += 1
        if char == "\\":
            return self.escape(in_class=True)
        if char == "[" and self.peek() == ":":  # [:NAME:], NAME in ASCII letters, read letter by
            end = self.at + 1  # letter: a long class costs its length, not its square
            while end < len(self.text) and self.text[end].isascii() and self.text[end].isalpha():
                end += 1
            name = self.text[self.at + 1:end]
            if name and self.text.startswith(":]", end):
                if name not in POSIX:
                    self.fault(f"[:{excerpt(name, 20)}:] is no class: [:NAME:] takes {' '.join(sorted(POSIX))}",
                               self.at - 1)
                self.at = end + 2
                return POSIX[name]
        if char == "\0":
            self.fault("a NUL byte is the end of the word, never a byte of it", self.at - 1)
        return of(char)
