"""The routine in Go, from the same plans as C's: a label per state that a jump lands on and a goto
per transition, which Go keeps as they are. A slice holds its length, so a NUL is a byte like any
other and the word form is C's form with a length. Written as gofmt writes it."""
import unicodedata

from .model import name
from .write_source import LENGTH, PIECES, PREFIX, byte_literal as literal, comment_text
from .write_table import table_lines

# (the signature, the answers at the end: accept, reject, could, and the contract) per form
FORMS = {
    "word": ("func {function}(word []byte) bool", "true", "false", None, (
        "{function} reports whether word is in the language below. It reads word up to its first",
        "byte that leads nowhere, writes nothing, keeps nothing between calls, and may be called",
        "from any goroutine.")),
    "prefix": ("func {function}(word []byte) int", "1", "0", "2", (
        "{function} says of word, a word so far (as a field is typed), 1 when it is in the",
        "language below, 2 when it is not but a word it begins is, and 0 when no word that begins",
        "with it is (whatever follows, the answer stays 0). It keeps nothing between calls.")),
    "pieces": ("func {function}(state *int, piece []byte) int", "1", "0", "2", (
        "{function} takes a word that arrives in pieces, one call a piece; *state is 0 before the",
        "first, and the caller keeps it between calls (one per word). Each call says of the word so",
        "far, however it was split: 1 when it is in the language below, 2 when it is not but a",
        "word it begins is, and 0 when no word that begins with it is (from then on). A call with",
        "an empty piece answers without reading.")),
}
SHAPES = {"word": LENGTH, "prefix": PREFIX, "pieces": PIECES}


def unicode_comment(line):
    """A description line as a comment of a language whose source is UTF-8: the bytes that are no
    UTF-8, and control, format and line-separating characters (a bidirectional override among
    them), written \\xHH or \\u{HHHH}; as the writers hold text, a character per byte."""
    text = comment_text(line).encode("latin-1").decode("utf-8", "surrogateescape")
    def shown(c):
        if 0xDC80 <= ord(c) <= 0xDCFF:
            return f"\\x{ord(c) - 0xDC00:02X}"
        if unicodedata.category(c) in ("Cc", "Cf", "Zl", "Zp", "Cs", "Co", "Cn") and c != "\t":
            return f"\\u{{{ord(c):04X}}}"
        return c
    return "".join(map(shown, text)).replace("\t", " ").encode("utf-8").decode("latin-1")


def comments(automaton):
    """The description, then the table, as comment lines, no two blank ones together."""
    described = [f"// {unicode_comment(line)}".rstrip() for line in automaton.description]
    return described + ["//"] * bool(described) + [f"//   {line}" for line in table_lines(automaton)]


def bisect(items, below, leaf, indent, step="\t"):
    """A binary search over sorted items: below(item) the test that an item is before it, and
    leaf(item, indent) the lines where the search ends at one."""
    out = []
    while len(items) > 1:
        middle = len(items) // 2
        out += [f"{indent}if {below(items[middle])} {{",
                *bisect(items[:middle], below, leaf, indent + step, step), f"{indent}}}"]
        items = items[middle:]
    return out + leaf(items[0], indent)


def go_test(test):
    """A test in Go, of the byte c; a byte's arithmetic wraps, so c-first <= width is one
    comparison for first..last."""
    first, width = literal(test.first), test.last - test.first
    return {"is": f"c == {first}", "isnt": f"c != {first}", "twin": f"c|0x20 == {first}",
            "upto": f"c <= {literal(test.last)}", "from": f"c >= {first}",
            "within": f"c-{first} <= {width}", "outside": f"c-{first} > {width}",
            "twins": f"c|0x20-{first} <= {width}"}[test.kind]


def code(automaton, plans, form, function, package):
    signature, accept, reject, could, contract = FORMS[form]
    pieces = form == "pieces"
    word = "piece" if pieces else "word"
    reads = any(automaton.transitions(state) for state in range(automaton.size))

    def ends(lines, indent, state=None):
        """Where a byte leads nowhere (state None), or where the bytes end in a state."""
        if state is None:
            return lines + [f"{indent}*state = -1"] * pieces + [f"{indent}return {reject}"]
        answer = {"accept": accept, "reject": reject, "could": could}[plans[state].verdict]
        return lines + [f"{indent}*state = {state}"] * pieces + [f"{indent}return {answer}"]

    def leads(target, indent):
        # i++ on each jump, as C's ++p: after the read, once for all, Go 1.19's tighten pass moves
        # it wrongly where the blocks' jumps make a loop with two ways in (a wrong answer, or an
        # index far out of range), which the generator's test found.
        return ends([], indent) if target is None else [f"{indent}i++", f"{indent}goto {name(target)}"]

    def branch(condition, target, indent="\t"):
        return [f"{indent}if {condition} {{", *leads(target, indent + "\t"), f"{indent}}}"]

    def search(ranges, indent):
        return bisect(ranges, lambda r: f"c < {literal(r[0])}", lambda r, at: leads(r[2], at), indent)

    def enter(states, indent):
        return bisect(states, lambda s: f"*state < {s}", lambda s, at: [f"{at}goto {name(s)}"], indent)

    out = ["// Code generated by automata source --language go; DO NOT EDIT.", "",
           f"package {package}", "", *comments(automaton), "",
           *(f"// {line.format(function=function)}".rstrip() for line in contract),
           signature.format(function=function) + " {", "\ti := 0"]
    if reads:
        out.append("\tvar c byte")
    if pieces:
        out += [f"\tif *state < 0 || *state >= {automaton.size} {{", "\t\treturn 0", "\t}",
                *enter(list(range(automaton.size)), "\t")]
    for here in plans:
        if not here.labelled and here.state:
            out.append(f"\t// {name(here.state)}: no jump lands here")
            continue
        out.append(f"{name(here.state)}:" if here.labelled else "\t// S0: entered at the start")
        if here.reached:
            out[-1] += f" // first reached by {here.reached}"
        out += [f"\tif i == len({word}) {{", *ends([], "\t\t", here.state), "\t}"]
        if not automaton.transitions(here.state):
            out += ends([], "\t")
            continue
        out.append(f"\tc = {word}[i]")
        if here.listed is not None:
            for byte, target in here.listed:
                out += branch(f"c == {literal(byte)}", target)
            out += ends([], "\t")
        elif here.search is not None:
            out += search(here.search, "\t")
        else:
            for target, tests in here.branches:
                out += branch(" || ".join(go_test(t) for t in tests), target)
            out += leads(here.fall_through, "\t")
    return "\n".join(out + ["}", ""])
