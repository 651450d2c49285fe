"""From an expression's tree to an automaton, each construction within a budget:

- Thompson's automaton over sets of bytes (a set of code points becomes the UTF-8 sequences that
  encode it, the usual split of a range by encoded length and leading bytes), at most `nodes`;
- the subset construction over the classes of bytes that no set tells apart, at most `states`
  and `steps` (the NFA nodes its closures visit); a subset is kept whole only until its
  successors are known, then by a digest, so that memory grows with the states, not their sets;
- the product of two automata (`and`, `and not`), at most `states`.

A construction that passes its budget raises Fault naming itself and the budget.
"""
import hashlib
from array import array

from .model import Automaton, Column
from .spelling import class_spelling


def utf8(code_point):
    return chr(code_point).encode("utf-8", "surrogatepass")


def utf8_sequences(first, last, out):
    """The byte ranges, position by position, of the UTF-8 encodings of first..last (no
    surrogates among them): each a list of (first byte, last byte)."""
    for limit in (0x7F, 0x7FF, 0xFFFF):
        if first <= limit < last:
            utf8_sequences(first, limit, out)
            utf8_sequences(limit + 1, last, out)
            return
    for i in range(1, len(utf8(first))):
        mask = (1 << (6 * i)) - 1
        if first & ~mask != last & ~mask:
            if first & mask:
                utf8_sequences(first, first | mask, out)
                utf8_sequences((first | mask) + 1, last, out)
                return
            if last & mask != mask:
                utf8_sequences(first, (last & ~mask) - 1, out)
                utf8_sequences(last & ~mask, last, out)
                return
    out.append(list(zip(utf8(first), utf8(last))))


def simpler(tree):
    """(X{a,b}){c,d} as X{ac,bd} where every count between is reached (a count of zero, as
    (a{0,100}){100}, always), so that nested counts cost their sum of nodes, not their product
    of subset states."""
    if tree[0] in ("cat", "alt"):
        parts = [simpler(part) for part in tree[1]]
        return parts[0] if len(parts) == 1 else (tree[0], parts)
    if tree[0] != "repeat":
        return tree
    _, inner, c, d = tree
    inner = simpler(inner)
    if d == 0:
        return ("cat", [])
    if inner[0] == "repeat":
        _, x, a, b = inner
        # k copies reach every count from ka to kb; the counts of k and k+1 copies meet when
        # (k+1)a <= kb + 1, which holds for every k from c up if it holds for c
        if d == c or (b is None and (c >= 1 or a <= 1)) or (b is not None and (c + 1) * a <= c * b + 1):
            return ("repeat", x, a * c, None if b is None or d is None else b * d)
    return ("repeat", inner, c, d)


def nodes_passed(most):
    return f"Thompson's automaton of the expression passed {most} nodes"


class Thompson:
    """The automaton of a tree: nodes with an edge on a set of bytes, or empty edges."""

    def __init__(self, most_nodes, utf8_sets, fault):
        self.edges, self.empty, self.most, self.utf8, self.fault = [], [], most_nodes, utf8_sets, fault
        self.copies = 0
        self.sequences = {}  # a set of characters: its sequences_of, made once

    def node(self):
        if len(self.edges) >= self.most:
            self.fault(nodes_passed(self.most))
        self.edges.append([])
        self.empty.append([])
        return len(self.edges) - 1

    def sequences_of(self, ranges):
        """A set of characters as sequences of byte sets: in bytes, one sequence of one set;
        after (?u), the UTF-8 encodings of its code points."""
        if not self.utf8:
            return [[frozenset(b for first, last in ranges for b in range(first, last + 1))]]
        found = []
        for first, last in ranges:
            utf8_sequences(first, last, found)
        return [[frozenset(range(low, high + 1)) for low, high in sequence] for sequence in found]

    def chars(self, ranges, start):
        end = self.node()
        if ranges not in self.sequences:
            self.sequences[ranges] = self.sequences_of(ranges)
        for sequence in self.sequences[ranges]:
            at = start
            for index, bytes_ in enumerate(sequence):
                target = end if index == len(sequence) - 1 else self.node()
                self.edges[at].append((bytes_, target))
                at = target
        return end

    def automaton(self, automaton, start):
        nodes = [self.node() for _ in range(automaton.size)]
        end = self.node()
        self.empty[start].append(nodes[0])
        bytes_ = [frozenset(column.bytes) for column in automaton.columns]
        for state, targets in enumerate(automaton.next):
            self.edges[nodes[state]] += [(bytes_[column], nodes[target])
                                         for column, target in enumerate(targets) if target is not None]
            if automaton.accepting[state]:
                self.empty[nodes[state]].append(end)
        return end

    def build(self, tree, start):
        """Edges from start for tree; returns the node where it ends."""
        kind = tree[0]
        if kind == "set":
            return self.chars(tree[1], start)
        if kind == "dfa":  # an automaton made already (assertions.py): a node per state
            return self.automaton(tree[1], start)
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
        self.copies += max(least, most or 0)  # each copy a node at least, even of an empty group
        if self.copies >= self.most:
            self.fault(nodes_passed(self.most))
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


def byte_classes(sets):
    """The bytes 0x01-0xFF grouped by which of the sets hold them: [(bytes...)], in the order of
    their least bytes. Each set splits the classes it cuts, as bit masks, so that the cost is the
    sets' sizes and the classes, not every byte against every set."""
    classes = [(1 << 256) - 2]  # bits 1 to 255
    for mask in {sum(1 << b for b in found) for found in sets}:
        classes = [part for whole in classes for part in (whole & mask, whole & ~mask) if part]
    found = [tuple(b for b in range(1, 256) if whole >> b & 1) for whole in classes]
    return sorted(found)


def digest(nodes):
    return hashlib.blake2b(array("l", sorted(nodes)).tobytes(), digest_size=16).digest()


def determinised(tree, utf8_sets, budget, fault):
    """The deterministic automaton of a tree (not minimal)."""
    nfa = Thompson(budget.nodes, utf8_sets, fault)
    start = nfa.node()
    final = nfa.build(simpler(tree), start)
    classes = byte_classes(list({s for edges in nfa.edges for s, _ in edges}))
    class_of = {byte: index for index, found in enumerate(classes) for byte in found}
    steps = [{} for _ in nfa.edges]
    for node, edges in enumerate(nfa.edges):
        for bytes_, target in edges:
            for index in {class_of[b] for b in bytes_}:
                steps[node].setdefault(index, []).append(target)
    visited = 0

    def closure(nodes):
        nonlocal visited
        found, work = set(nodes), list(nodes)
        while work:
            visited += 1
            for target in nfa.empty[work.pop()]:
                if target not in found:
                    found.add(target)
                    work.append(target)
        if visited > budget.steps:
            fault(f"the subset construction passed {budget.steps} steps")
        return found

    first = closure([start])
    number_of, waiting, accepting, next_states = {digest(first): 0}, [first], [final in first], []
    for current in waiting:  # breadth first; a subset is let go once its row is made
        row = [None] * len(classes)
        moves = {}  # only the classes some node of the subset has an edge on cost anything
        for node in current:
            for index, targets in steps[node].items():
                moves.setdefault(index, []).extend(targets)
        for index in sorted(moves):
            targets = closure(moves[index])
            key = digest(targets)
            if key not in number_of:
                if len(number_of) >= budget.states:
                    fault(f"the subset construction passed {budget.states} states")
                number_of[key] = len(number_of)
                waiting.append(targets)
                accepting.append(final in targets)
            row[index] = number_of[key]
        next_states.append(row)
        waiting[len(next_states) - 1] = None
    columns = [Column(class_spelling(found), found) for found in classes]
    return Automaton(columns, accepting, next_states)


def product(left, right, negated, budget, fault):
    """The automaton of the words left accepts and right accepts too (or, negated, does not)."""
    column_of = [{b: i for i, c in enumerate(a.columns) for b in c.bytes} for a in (left, right)]
    classes = byte_classes([frozenset(c.bytes) for a in (left, right) for c in a.columns])
    pairs = [(column_of[0].get(found[0]), column_of[1].get(found[0])) for found in classes]
    number_of, order, next_states = {(0, 0): 0}, [(0, 0)], []
    for l_state, r_state in order:
        row = []
        for l_column, r_column in pairs:
            l_next = None if l_column is None else left.next[l_state][l_column]
            r_next = None if r_column is None or r_state is None else right.next[r_state][r_column]
            if l_next is None or (r_next is None and not negated):
                row.append(None)
                continue
            if (l_next, r_next) not in number_of:
                if len(order) >= budget.states:
                    fault(f"the product of and {'not ' if negated else ''}passed {budget.states} states")
                number_of[l_next, r_next] = len(order)
                order.append((l_next, r_next))
            row.append(number_of[l_next, r_next])
        next_states.append(row)

    def accepts(l_state, r_state):
        r_accepts = r_state is not None and right.accepting[r_state]
        return left.accepting[l_state] and r_accepts != negated

    columns = [Column(class_spelling(found), found) for found in classes]
    return Automaton(columns, [accepts(*pair) for pair in order], next_states)
