"""Words to try an expression's program on, drawn from the expression as Python's own parser reads
it (never through the generator): words it matches, each of them changed by a byte, and words of
its bytes at random. The verdict for each is re.fullmatch's."""
import random
import re

try:
    from re import _parser as parser, _constants as constants
except ImportError:  # Python before 3.11
    import sre_constants as constants
    import sre_parse as parser

CATEGORIES = {constants.CATEGORY_DIGIT: b"0123456789", constants.CATEGORY_SPACE: b" \t\n\r\f\v",
              constants.CATEGORY_WORD: b"azAZ09_"}


def one_of(items, pick):
    """A byte a bracket's items take (or, negated, one they do not)."""
    taken = set()
    for op, value in items:
        if op is constants.LITERAL:
            taken.add(value)
        elif op is constants.RANGE:
            taken.update(range(value[0], value[1] + 1))
        elif op is constants.CATEGORY:
            taken.update(CATEGORIES.get(value, b""))
    if items and items[0][0] is constants.NEGATE:
        taken = set(range(1, 256)) - taken
    return pick.choice(sorted(taken)) if taken else 0x61


def sample(tree, pick):
    word = b""
    for op, value in tree:
        if op is constants.LITERAL:
            word += bytes([value])
        elif op is constants.ANY:
            word += bytes([pick.choice([b for b in range(1, 256) if b != 10])])
        elif op is constants.IN:
            word += bytes([one_of(value, pick)])
        elif op is constants.BRANCH:
            word += sample(pick.choice(value[1]), pick)
        elif op in (constants.MAX_REPEAT, constants.MIN_REPEAT):
            least, most, inner = value
            most = least + 3 if most is constants.MAXREPEAT else min(most, least + 3)
            word += b"".join(sample(inner, pick) for _ in range(pick.randint(least, most)))
        elif op is constants.SUBPATTERN:
            word += sample(value[-1], pick)
    return word


def words(expression, count=300, seed=20261209):
    """(word, whether re.fullmatch matches it) for count words or so."""
    pick = random.Random(seed)
    tree = parser.parse(expression)
    matched = [sample(tree, pick) for _ in range(count // 3)]
    alphabet = sorted(set(b"".join(matched)) | {0x20, 0x7A, 0x80, 0xFF}) if matched else [0x61]
    changed = []
    for word in matched:
        at = pick.randint(0, len(word))
        changed.append(word[:at] + bytes([pick.choice(alphabet)]) + word[at + 1:] if pick.random() < 0.5
                       else word[:at] + word[at + 1:])
    others = [bytes(pick.choices(alphabet, k=pick.randint(0, 8))) for _ in range(count // 3)]
    pattern = re.compile(expression)
    return [(w, pattern.fullmatch(w) is not None) for w in [b""] + matched + changed + others]
