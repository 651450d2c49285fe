"""The syntax of one regular expression, read into a tree.

A set of characters is a tuple of (first, last) ranges, sorted and apart: bytes 0x01-0xFF, or,
after (?u), code points (U+0001-U+10FFFF less the surrogates). The tree is made of ("set",
ranges), ("cat", [..]), ("alt", [..]), ("repeat", node, least, most or None) and ("assert", kind,
node), a look-around or an anchor (assertions.py). The parser
recurses one level a group, and groups nest MOST_DEPTH deep at most, so no expression outruns
Python's stack; a count is refused by its digits before any is converted.
"""
import re

from . import unicode_sets
from .model import Fault, excerpt

BYTES = ((1, 0xFF),)
EMPTY = ("cat", [])
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
MOST_COUNT = 1000  # where no node budget is given; else a count may be as large as it
MOST_DEPTH = 100  # groups one inside another
FLAGS = re.compile(r"\(\?([a-zA-Z]+)\)")  # (?iu), as many as stand at the very start
FLAG_LETTERS = "aimsu"  # ASCII (\w \d \s and (?i), after (?u)), caseless, multi-line, . takes a
# line feed too, and code points in UTF-8
COUNT = re.compile(r"\{[0-9]*(,[0-9]*)?\}")
NAME = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")


FORWARD, BACKWARD = ("ahead", "not ahead", "rest"), ("behind", "not behind", "prefix")


def has_assertion(tree, kinds=FORWARD + BACKWARD):
    """Whether a tree holds a look-around or an anchor (of those kinds)."""
    kind = tree[0]
    if kind == "assert":
        return tree[1] in kinds or has_assertion(tree[2], kinds)
    if kind in ("cat", "alt"):
        return any(has_assertion(part, kinds) for part in tree[1])
    return kind == "repeat" and has_assertion(tree[1], kinds)


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
        self.where, self.depth, self.at, self.items, self.warnings = where, 0, 0, 0, []
        self.most_items, self.too_many = most_items, too_many
        self.text, self.skipped, letters = text, column, ""
        while found := FLAGS.match(self.text, self.at):
            for letter in found[1]:
                if letter not in FLAG_LETTERS:
                    self.fault(f"(?{letter}): {'verbose' if letter == 'x' else 'that'} flag is not "
                               f"supported; the flags are {', '.join(FLAG_LETTERS)}", found.start())
            letters, self.at = letters + found[1], found.end()
        self.text, self.skipped, self.at = self.text[self.at:], column + self.at, 0
        self.caseless, self.utf8, self.dotall = "i" in letters, "u" in letters, "s" in letters
        self.multiline = "m" in letters
        self.unicode = self.utf8 and "a" not in letters  # \w \d \s (?i) as Python's str patterns
        if self.utf8:
            try:
                self.text = self.text.encode("latin-1").decode("utf-8")
            except UnicodeDecodeError as error:
                self.at = len(self.text[:error.start].encode("latin-1").decode("utf-8", "replace"))
                self.fault("after (?u) the expression is UTF-8, and this byte is not")
        self.universe = CODE_POINTS if self.utf8 else BYTES

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

    def counting(self):
        """Whether a quantifier begins here; a { that begins no count, as a{ or {x}, is itself."""
        char = self.peek()
        return char in ("*", "+", "?") or (char == "{" and COUNT.match(self.text, self.at) is not None
                                           and self.text[self.at:self.at + 2] != "{}")

    def quantified(self):
        if self.counting():
            self.fault("a quantifier with nothing before it")
        start = self.at
        node = self.atom()
        if self.counting() and (node[0] == "assert" or self.text[self.at - 2:self.at] in ("\\b", "\\B")):
            self.fault("a quantifier after a look-around or an anchor")
        counted = False
        while self.counting():
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
            if most is None and has_assertion(node):
                self.fault("a look-around or an anchor under *, + or {m,}: not supported; under a "
                           "count with a most, as {0,9}, it is", start)
            node = ("repeat", node, least, most)
        return node

    def number(self):
        """(the digits here, where they start), read on; the digits may be none."""
        start = self.at
        while self.peek() is not None and self.peek() in "0123456789":
            self.at += 1
        return self.text[start:self.at], start

    def counts(self):
        start, limit = self.at - 1, self.most_items or MOST_COUNT
        (least, least_at), (most, most_at) = self.number(), ("", None)
        comma = self.peek() == ","
        if comma:
            self.at += 1
            most, most_at = self.number()
        self.at += 1  # the }, as counting() found it
        for digits, at in [(least, least_at), (most, most_at)]:
            digits = digits.lstrip("0") or digits[:1]  # 007 is 7; 5,000 zeros are 0
            if len(digits) > len(str(limit)) or (digits and int(digits) > limit):
                shown = digits if len(digits) <= 12 else f"of {len(digits)} digits"
                self.fault(f"the count {shown} is more than {limit}, as many nodes as Thompson's "
                           "automaton may have", at)
        least = int(least.lstrip("0") or "0")
        most = int(most.lstrip("0") or "0") if most else (None if comma else least)
        if most is not None and least > most:
            self.fault(f"{{{least},{most}}}: the least count is more than the most", start)
        return least, most

    def chars(self, ranges):
        """A set as the expression means it: in the universe, and with (?i) in either case."""
        found = intersection(normal(ranges), self.universe) if not self.caseless else intersection(
            unicode_sets.folded(normal(ranges)) if self.unicode else folded(ranges), self.universe)
        if ranges and not found and self.utf8:
            self.warnings.append(f"{self.where}{self.at + self.skipped}: this holds no code point "
                                 "(a surrogate is none), so it matches nothing")
        return found

    def atom(self):
        char, start = self.peek(), self.at
        self.at += 1
        self.items += 1
        if self.most_items is not None and self.items > self.most_items:
            self.too_many()
        if char == "(":
            caseless, dotall, unicode = self.caseless, self.dotall, self.unicode
            kind = self.group_kind(start) if self.peek() == "?" else False
            if kind is True:
                return ("cat", [])  # a comment, (?#...)
            self.depth += 1
            if self.depth > MOST_DEPTH:
                self.fault(f"more than {MOST_DEPTH} groups one inside another", start)
            inside = self.alternatives()
            if self.peek() != ")":
                self.fault("a ( that no ) closes", start)
            self.at += 1
            self.depth -= 1
            self.caseless, self.dotall, self.unicode = caseless, dotall, unicode  # a group's flags end with it
            if kind and has_assertion(inside, BACKWARD if kind in FORWARD else FORWARD):
                self.fault("a look-behind or ^ inside a look-ahead (or a look-ahead or $ inside a "
                           "look-behind): not supported", start)
            return ("assert", kind, inside) if kind else inside
        if char == "[":
            return ("set", self.bracket(start))
        if char == ".":
            return ("set", self.universe if self.dotall else complement(of("\n"), self.universe))
        if char == "\\" and self.peek() is not None and self.peek() in "AZzbB":
            self.at += 1
            return self.anchor(self.text[self.at - 1])
        if char == "\\" and self.peek() is not None and self.peek() in "dDwWsSpP":
            return ("set", intersection(self.escape(in_class=False), self.universe))  # never folded
        if char == "\\":
            return ("set", self.chars(self.escape(in_class=False)))
        if char in ("^", "$"):
            return self.anchor(char)
        if char == "\0":
            self.fault("a NUL byte is the end of the word, never a byte of it; write \\x00 "
                       "nowhere", start)
        return ("set", self.chars(of(char)))

    def anchor(self, char):
        """^ $ \\A \\Z \\z \\b \\B as the assertions they are (assertions.py)."""
        anything = ("repeat", ("set", self.universe), 0, None)
        line_feed = ("set", of("\n"))
        if char in "^A":
            return ("assert", "prefix", ("alt", [EMPTY, ("cat", [anything, line_feed])])
                    if self.multiline and char == "^" else EMPTY)
        if char in "Zz":
            return ("assert", "rest", EMPTY)
        if char == "$":
            return ("assert", "rest", ("alt", [EMPTY, ("cat", [line_feed, anything]) if self.multiline
                                               else line_feed]))
        word = ("set", self.named_set("w"))
        after = [("assert", "ahead", word), ("assert", "not ahead", word)]
        before = [("assert", "behind", word), ("assert", "not behind", word)]
        if char == "b":
            return ("alt", [("cat", [before[0], after[1]]), ("cat", [before[1], after[0]])])
        return ("alt", [("cat", [before[0], after[0]]), ("cat", [before[1], after[1]])])

    def group_kind(self, start):
        """After (?: what the group is, read up to its contents: True for a comment, which is
        read whole; a group, named or not, or with flags of its own for its contents; or a fault
        that names what no automaton is made of here."""
        rest = self.text[self.at + 1:self.at + 3]
        if rest[:1] == "#":  # (?#...): nothing
            end = self.text.find(")", self.at)
            if end < 0:
                self.fault("a (?# that no ) closes", start)
            self.at = end + 1
            return True
        if rest[:1] in ("=", "!") or rest in ("<=", "<!"):
            key = rest[:1] if rest[:1] in "=!" else rest
            self.at += 1 + len(key)
            return {"=": "ahead", "!": "not ahead", "<=": "behind", "<!": "not behind"}[key]
        if rest[:2] in ("P<", "P=") or rest[:1] == "<":
            named = NAME.match(self.text, self.at + (3 if rest[:1] == "P" else 2))
            close = ">" if rest != "P=" else ")"
            if not named or self.text[named.end():named.end() + 1] != close:
                self.fault("a group's name is a letter or _, then letters, digits and _, then "
                           f"{close}", start)
            if rest == "P=":
                self.fault(f"(?P={named[0]}): a back-reference, which no finite automaton holds", start)
            self.at = named.end() + 1
            return False
        flags = re.compile(r"\?([a-zA-Z]*)(?:-([a-zA-Z]*))?:").match(self.text, self.at)
        if flags:
            for letter in (flags[1] or "") + (flags[2] or ""):
                if letter not in "ias":
                    self.fault(f"(?{letter}:...): only i, a and s may be set or unset for a group",
                               start)
            for letter, value in [(l, True) for l in flags[1] or ""] + [(l, False) for l in flags[2] or ""]:
                if letter == "i":
                    self.caseless = value
                elif letter == "a":
                    self.unicode = self.utf8 and not value
                elif letter == "s":
                    self.dotall = value
            self.at = flags.end()
            return False
        if FLAGS.match(self.text, self.at - 1):
            self.fault("flags such as (?i) stand only at the very start; (?i:...) sets them for a "
                       "group", start)
        self.fault("(? begins (?:, (?P<name>, (?<name>, (?#, or flags such as (?i) and (?i:",
                   start)

    def named_set(self, letter):
        """\\d, \\w or \\s: ASCII, or after (?u) (but for (?a)) as Python's str patterns mean them."""
        if not self.unicode:
            return SETS[letter]
        return {"d": unicode_sets.digit, "w": unicode_sets.word, "s": unicode_sets.space}[letter]()

    def category(self, char, start):
        """\\p{Lu}, \\pL, \\P{N}: a general category, or every other code point."""
        if not self.utf8:
            self.fault(f"\\{char} names a category of code points, which only an expression after "
                       "(?u) holds", start)
        named = re.compile(r"\{([A-Za-z&]+)\}|([A-Za-z])").match(self.text, self.at)
        name = named and (named[1] or named[2])
        name = {"L&": "LC"}.get(name, name)
        if not name or (name not in unicode_sets.CATEGORIES and name != "LC"):
            self.fault(f"\\{char} takes a general category, as \\p{{L}}, \\p{{Lu}} or \\pN", start)
        self.at = named.end()
        found = union(*(unicode_sets.category(n) for n in ("Lu", "Ll", "Lt"))) if name == "LC" else \
            unicode_sets.category(name)
        return complement(found, self.universe) if char == "P" else found

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
        if char == "a" or (char == "b" and in_class):  # bell; in a class, backspace
            return of("\a" if char == "a" else "\b")

        if char in "pP":
            return self.category(char, start)
        if char.lower() in SETS:
            found = self.named_set(char.lower())
            return complement(found, self.universe) if char.isupper() else found
        octal = re.compile("[0-7]{0,2}" if char == "0" else "[0-7]{2}").match(self.text, self.at)
        if char in "01234567" and octal:  # \0, \01, \012 and \141, as Python reads them
            self.at = octal.end()
            value = int(char + octal[0], 8)
            if value > 0o377:
                self.fault(f"\\{char}{octal[0]}: an octal escape runs to \\377 at most", start)
            if value == 0:
                self.fault(f"\\{char}{octal[0]} is the end of the word, never a byte of it", start)
            return of(chr(value))
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
