"""Passes over an automaton: which states the start reaches, which can still accept, and the
minimal automaton of the same language."""
from collections import deque

from .model import Automaton, Column
from .spelling import class_spelling


def reachable(automaton):
    """The states a word can lead to from S0, in the order a breadth-first walk meets them."""
    order, seen = [0], {0}
    for state in order:
        for target in automaton.next[state]:
            if target is not None and target not in seen:
                seen.add(target)
                order.append(target)
    return order


def live(automaton):
    """The states from which some word is accepted."""
    before = [[] for _ in range(automaton.size)]
    for state, targets in enumerate(automaton.next):
        for target in targets:
            if target is not None:
                before[target].append(state)
    found = {state for state in range(automaton.size) if automaton.accepting[state]}
    work = list(found)
    while work:
        for state in before[work.pop()]:
            if state not in found:
                found.add(state)
                work.append(state)
    return found


MOORE_ROUNDS = 8


def equivalence_classes(automaton, states):
    """A block number per state of states, two states in one block exactly when no word tells
    them apart. Every state of states can still accept, so none is like the rejecting sink (a
    missing transition), which is a block of its own that never splits: only the transitions
    there are cost anything, not the states times the columns.

    First a few rounds of Moore's refinement (states apart whose rows of blocks differ), which
    tells most automata apart in a handful of rounds at the cost of their transitions each; where
    that is not yet stable (a long chain needs a round per state), Hopcroft's refinement from the
    blocks found so far, in O(n log n) splits."""
    index = {state: i for i, state in enumerate(states)}
    count = len(states)
    rows = [[(column, index[target]) for column, target in enumerate(automaton.next[source])
             if target is not None] for source in states]
    block_of = [int(automaton.accepting[s]) for s in states]
    blocks_found = len(set(block_of))
    for _ in range(MOORE_ROUNDS):
        signatures = {}
        refined = [signatures.setdefault((block_of[s], tuple((c, block_of[t]) for c, t in rows[s])),
                                         len(signatures)) for s in range(count)]
        if len(signatures) == blocks_found:
            return block_of
        block_of, blocks_found = refined, len(signatures)

    before = [{} for _ in automaton.columns]  # per column, target -> the states that go there
    incoming = [set() for _ in range(count)]  # the columns by which each state is entered
    for state, row in enumerate(rows):
        for column, target in row:
            before[column].setdefault(target, []).append(state)
            incoming[target].add(column)
    blocks = [set() for _ in range(blocks_found)]
    for state, number in enumerate(block_of):
        blocks[number].add(state)

    def entered(block):
        return sorted(set().union(*(incoming[state] for state in block)))

    work = deque((number, column) for number, block in enumerate(blocks) for column in entered(block))
    while work:
        splitter, column = work.popleft()
        touched, into = {}, before[column]
        for target in blocks[splitter]:  # a state goes one way by a column: listed once at most
            for state in into.get(target, ()):
                touched.setdefault(block_of[state], []).append(state)
        for number, inside in touched.items():
            block = blocks[number]
            if len(inside) == len(block):
                continue
            inside = set(inside)
            if 2 * len(inside) <= len(block):  # the larger part stays, the smaller leaves it: a
                smaller = inside  # copy of the larger would cost a long chain its square
                block -= inside
            else:  # what was touched is the larger part, and has paid for the copy already
                smaller = block - inside
                blocks[number] = inside
            blocks.append(smaller)
            new = len(blocks) - 1
            for state in smaller:
                block_of[state] = new
            # Where the block was still to split by, its larger part still is; either way the
            # smaller part is enough to split by from now on, by the columns that enter it.
            work.extend((new, c) for c in entered(smaller))
    return block_of


def minimal(automaton):
    """The minimal automaton of the same language: states no word reaches dropped, states no word
    tells apart merged, a state from which nothing is accepted made a - cell, and the states
    numbered in the order a breadth-first walk from S0 meets them, columns in their order."""
    alive = live(automaton)
    states = [s for s in reachable(automaton) if s in alive]
    if 0 not in states:  # nothing is accepted: one state, and no way out of it
        return Automaton(automaton.columns, [False], [[None] * len(automaton.columns)],
                         automaton.description)
    kept = set(states)
    trimmed = Automaton(automaton.columns, automaton.accepting,
                        [[t if t in kept else None for t in targets] for targets in automaton.next])
    block_of = equivalence_classes(trimmed, states)
    block = dict(zip(states, block_of))
    number, order = {block[0]: 0}, [0]
    for state in order:  # breadth first over the blocks, from S0's
        for target in trimmed.next[state]:
            if target is not None and block[target] not in number:
                number[block[target]] = len(order)
                order.append(target)
    return Automaton(
        automaton.columns, [automaton.accepting[s] for s in order],
        [[None if t is None else number[block[t]] for t in trimmed.next[s]]
         for s in order], automaton.description)


def merge_columns(automaton):
    """The same automaton with columns that every state treats alike made one class, and a column
    that no state leaves by dropped: its bytes are refused either way."""
    merged, where = [], {}
    for index, column in enumerate(automaton.columns):
        key = tuple(targets[index] for targets in automaton.next)
        if all(target is None for target in key):
            continue
        if key in where:
            merged[where[key]][1].extend(column.bytes)
        else:
            where[key] = len(merged)
            merged.append((index, list(column.bytes)))
    columns = [Column(class_spelling(sorted(bytes_)), tuple(sorted(bytes_)))
               for _, bytes_ in merged]
    return Automaton(columns, automaton.accepting,
                     [[targets[index] for index, _ in merged] for targets in automaton.next],
                     automaton.description)
