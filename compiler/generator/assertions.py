"""Look-around and anchors, compiled into the same minimal automaton, with no backtracking.

Within whole-word matching an assertion at a place of the word asks something of the rest of the
word from there, or of the word so far (Σ is any character, B the assertion's expression):

  (?=B)  the rest is in BΣ*          (?!B)  it is not
  (?<=B) the word so far is in Σ*B   (?<!B) it is not
  ^, \\A  the word so far is empty (after (?m), or ends in a line feed)
  $      the rest is empty or one line feed (after (?m), or begins with one); \\Z the rest is empty
  \\b, \\B one character either side: (?<=\\w)(?!\\w)|(?<!\\w)(?=\\w), and the opposite

So with P what comes before an assertion in a branch and R what follows it, P(?=B)R is
P.(R and BΣ*) and P(?<=B)R is (P and Σ*B).R: products of automata (construct.product), each
minimised, then concatenated again. An assertion inside a group is first brought to the top of
its branch by distributing ((X|Y)Z is XZ|YZ, a count {m,n} unrolled), within the budget of and
lines, for branches and for the products they make.
Inside a look-ahead, B's own forward assertions ($, (?=, (?!) ask of the same rest of the word, so
BΣ* is compiled as it is; likewise a look-behind's backward ones. The parser refuses the rest
(an assertion under * or +, a look-behind inside a look-ahead) in a line with its column.
"""
from .construct import determinised, product
from .passes import minimal

from .parse_regex import has_assertion


def branches(tree, most, fault):
    """The tree as branches, each a list of items of which only the assertions' own trees hold an
    assertion: [[item, ...], ...]."""
    if not has_assertion(tree):
        return [[tree]]
    kind = tree[0]
    if kind == "assert":
        return [[tree]]
    if kind == "alt":
        found = [branch for part in tree[1] for branch in branches(part, most, fault)]
    elif kind == "cat":
        found = [[]]
        for part in tree[1]:
            found = [head + tail for head in found for tail in branches(part, most, fault)]
            if len(found) > most:
                break
    else:  # a count with a most: the parser refuses one without
        _, inner, least, most_count = tree
        found = []
        for count in range(least, most_count + 1):
            found += branches(("cat", [inner] * count), most, fault)
            if len(found) > most:
                break
    if len(found) > most:
        fault(f"bringing look-arounds and anchors to the top made more than {most} branches")
    return found


def compiled(tree, universe, utf8, budget, fault):
    """The minimal automaton of a tree, with or without assertions."""
    def automaton(tree):
        if has_assertion(tree):
            return compiled(tree, universe, utf8, budget, fault)
        return minimal(determinised(tree, utf8, budget, fault))

    if not has_assertion(tree):
        return automaton(tree)
    anything = ("repeat", ("set", universe), 0, None)

    def joined(*automata):
        return automaton(("cat", [("dfa", found) for found in automata]))

    def branch(items):
        at = next((i for i, item in enumerate(items) if item[0] == "assert"), None)
        if at is None:
            return automaton(("cat", items))
        _, kind, inner = items[at]
        before, after = ("cat", items[:at]), items[at + 1:]
        if kind in ("ahead", "not ahead", "rest"):
            condition = automaton(inner if kind == "rest" else ("cat", [inner, anything]))
            rest = minimal(product(branch(after), condition, kind == "not ahead", budget, fault))
            return joined(automaton(before), rest)
        condition = automaton(inner if kind == "prefix" else ("cat", [anything, inner]))
        so_far = minimal(product(automaton(before), condition, kind == "not behind", budget, fault))
        return joined(so_far, branch(after))

    found = branches(tree, budget.conditions, fault)
    products = sum(item[0] == "assert" for items in found for item in items)
    if products > budget.conditions:  # each a product of its own, as an and line is
        fault(f"look-arounds and anchors brought to the top made {products} products, more than "
              f"{budget.conditions}")
    found = [branch(items) for items in found]
    return found[0] if len(found) == 1 else automaton(("alt", [("dfa", f) for f in found]))
