"""Words to try an expression's program on, drawn from the expression as Python's own parser reads
it (never through the compiler): words it matches, each of them changed by a byte, every word of
one or two of its characters, and words of them at random. The verdict for each is
re.fullmatch's: on bytes for a bytes pattern; for a str pattern (an expression after (?u), less
that flag) on the word decoded as UTF-8, as Python's str patterns are (Unicode, but for (?a)), and
"No." where it does not decode, as for the invalid UTF-8 among the words."""
import itertools
import random
import re

try:
    from re import _parser as parser, _constants as constants
except ImportError:  # Python before 3.11
    import sre_constants as constants
    import sre_parse as parser

CATEGORIES = {constants.CATEGORY_DIGIT: b"0123456789", constants.CATEGORY_SPACE: b" \t\n\r\f\v",
              constants.CATEGORY_WORD: b"azAZ09_"}


TOP = 0x10FFFF
INVALID_UTF8 = [b"\xff", b"\xc0\x80", b"\xe0\x80\x80", b"\xed\xa0\x80", b"\xf4\x90\x80\x80", b"\xd0"]


def one_of(items, pick, top):
    """A character a bracket's items take (or, negated, one they do not), top the largest."""
    taken = set()
    for op, value in items:
        if op is constants.LITERAL:
            taken.add(value)
        elif op is constants.RANGE:
            taken.update(range(value[0], value[1] + 1))
        elif op is constants.CATEGORY:
            taken.update(CATEGORIES.get(value, b""))
    if items and items[0][0] is constants.NEGATE:
        outside = [c for c in [*range(1, 256), 0x3B1, 0x416, 0x4E2D, 0x1F600] if c <= top and c not in taken]
        return pick.choice(outside) if outside else 0x61
    return pick.choice(sorted(taken)) if taken else 0x61


def sample(tree, pick, top):
    """A word the tree matches, as a list of characters."""
    word = []
    for op, value in tree:
        if op is constants.LITERAL:
            word.append(value)
        elif op is constants.NOT_LITERAL:
            word.append(one_of([(constants.NEGATE, None), (constants.LITERAL, value)], pick, top))
        elif op is constants.ANY:
            word.append(pick.choice([c for c in [*range(1, 256), 0x416, 0x1F600] if c != 10 and c <= top]))
        elif op is constants.IN:
            word.append(one_of(value, pick, top))
        elif op is constants.BRANCH:
            word += sample(pick.choice(value[1]), pick, top)
        elif op in (constants.MAX_REPEAT, constants.MIN_REPEAT):
            least, most, inner = value
            most = least + 3 if most is constants.MAXREPEAT else min(most, least + 3)
            for _ in range(pick.randint(least, most)):
                word += sample(inner, pick, top)
        elif op is constants.SUBPATTERN:
            word += sample(value[-1], pick, top)
    return word


def verdict(pattern, word):
    """Whether re.fullmatch matches the word (bytes): on bytes, or decoded from UTF-8; or, where
    Python's re has no such syntax, what a function of the decoded word says."""
    if callable(pattern):
        try:
            return pattern(word.decode("utf-8"))
        except UnicodeDecodeError:
            return False
    if isinstance(pattern, bytes):
        return re.fullmatch(pattern, word) is not None
    try:
        return re.fullmatch(pattern, word.decode("utf-8")) is not None
    except UnicodeDecodeError:
        return False


def words(expression, count=300, seed=20261209, verdicts=None):
    """(word, verdict) for count words or so and the short ones; the verdict is verdicts(word), or
    re.fullmatch's for the expression."""
    pick = random.Random(seed)
    text = isinstance(expression, str)
    top, encode = (TOP, lambda w: "".join(map(chr, w)).encode("utf-8")) if text else (0xFF, bytes)
    tree = parser.parse(expression, re.ASCII if text else 0)
    matched = [sample(tree, pick, top) for _ in range(count // 3)]
    alphabet = sorted(set(c for w in matched for c in w) | {0x20, 0x7A, 0x80, 0xFF})
    changed = []
    for word in matched:
        at = pick.randint(0, len(word))
        changed.append(word[:at] + [pick.choice(alphabet)] + word[at + 1:] if pick.random() < 0.5
                       else word[:at] + word[at + 1:])
    others = [pick.choices(alphabet, k=pick.randint(0, 8)) for _ in range(count // 3)]
    short = [list(w) for n in (1, 2) for w in itertools.product(alphabet[:24], repeat=n)]
    found = [encode(w) for w in [[]] + matched + changed + others + short]
    if text:
        found += [w + bad for w in found[1:20] for bad in INVALID_UTF8[:2]] + INVALID_UTF8
    verdicts = verdicts or (lambda word: verdict(expression, word))
    return [(w, verdicts(w)) for w in dict.fromkeys(found)]


def words_of(conditions, count=300, seed=20261209):
    """(word, verdict) drawn from each of [(pattern, whether the word must match it)]; the verdict
    is whether the word meets them all."""
    def verdicts(word):
        return all(verdict(pattern, word) == want for pattern, want in conditions)
    found = {}
    for pattern, _ in conditions:
        if not callable(pattern):  # a function draws no words; the patterns beside it do
            found.update(words(pattern, max(count // len(conditions), 60), seed, verdicts))
    return list(found.items())


def conditions_of(data):
    """A .regex file's lines as [(Python's pattern, whether the word must match it)]: the
    expression, then its and and and not lines; after (?u), a str pattern, its other flags kept."""
    def python(expression):
        found = re.match(rb"(\(\?[a-zA-Z]+\))+", expression)
        letters = re.sub(rb"[()?]", b"", found[0]) if found else b""
        if b"u" not in letters:
            return expression
        rest = expression[found.end():].decode("utf-8")
        kept = letters.replace(b"u", b"").decode()
        return (f"(?{kept})" if kept else "") + rest
    found = []
    for line in data.split(b"\n"):
        line = line.removesuffix(b"\r")
        if not found and not line.startswith(b"#"):
            found.append((python(line), True))
        elif found and line.startswith((b"and not ", b"and ")):
            negated = line.startswith(b"and not ")
            found.append((python(line[8 if negated else 4:]), not negated))
    return found
