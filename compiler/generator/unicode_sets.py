"""Sets of code points as Python's str patterns mean them, made from Python's own data, each once
and only when an expression asks for it (a walk over the 1,114,112 code points):

- \\w: str.isalnum(), and _; \\d: str.isdecimal(); \\s: str.isspace();
- \\p{NAME}: the code points of a general category by unicodedata (Lu; or L, every L.);
- (?i): a character matches where its lower case (Python's engine's simple mapping) is that of a
  member's, or one of the few that Python's compiler adds to it (s and U+017F, k and U+212A, ...).
"""
import functools
import unicodedata

import _sre

try:
    from re._casefix import _EXTRA_CASES as EXTRA_CASES
except ImportError:  # Python before 3.11
    from sre_compile import _ignorecase_fixes as EXTRA_CASES

TOP = 0x10FFFF
CATEGORIES = {"L", "Lu", "Ll", "Lt", "Lm", "Lo", "M", "Mn", "Mc", "Me", "N", "Nd", "Nl", "No", "P",
              "Pc", "Pd", "Ps", "Pe", "Pi", "Pf", "Po", "S", "Sm", "Sc", "Sk", "So", "Z", "Zs",
              "Zl", "Zp", "C", "Cc", "Cf", "Cs", "Co", "Cn"}


def ranges_where(holds):
    found, start = [], None
    for code in range(TOP + 2):
        if code <= TOP and holds(code):
            if start is None:
                start = code
        elif start is not None:
            found.append((start, code - 1))
            start = None
    return tuple(found)


@functools.lru_cache(maxsize=None)
def word():
    return ranges_where(lambda c: chr(c).isalnum() or c == 0x5F)


@functools.lru_cache(maxsize=None)
def digit():
    return ranges_where(lambda c: chr(c).isdecimal())


@functools.lru_cache(maxsize=None)
def space():
    return ranges_where(lambda c: chr(c).isspace())


@functools.lru_cache(maxsize=None)
def category(name):
    return ranges_where(lambda c: unicodedata.category(chr(c)).startswith(name))


@functools.lru_cache(maxsize=None)
def lower_cases():
    """(each code point's lower case, the code points of each lower case)."""
    lower = [_sre.unicode_tolower(c) for c in range(TOP + 1)]
    having = {}
    for code, lowered in enumerate(lower):
        if lowered != code:
            having.setdefault(lowered, [lowered]).append(code)
    return lower, having


@functools.lru_cache(maxsize=256)
def folded(ranges):
    """The code points that match a set of them under (?i), as Python's engine matches them."""
    lower, having = lower_cases()
    lowered = set()
    for first, last in ranges:
        for code in range(first, last + 1):
            low = lower[code]
            lowered.add(low)
            lowered.update(EXTRA_CASES.get(low, ()))
    members = sorted({code for low in lowered for code in having.get(low, (low,))})
    found = []
    for code in members:
        if found and found[-1][1] == code - 1:
            found[-1] = (found[-1][0], code)
        else:
            found.append((code, code))
    return tuple(found)
