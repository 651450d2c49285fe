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


def equivalence_classes(automaton, states):
    """Hopcroft's refinement: a block number per state of states (every target among them, or
    None), two states in one block exactly when no word tells them apart."""
    index = {state: i for i, state in enumerate(states)}
    count, columns = len(states), len(automaton.columns)
    # None is a state of its own here: the rejecting sink, never accepting.
    sink = count
    step = [[sink if t is None else index[t] for t in automaton.next[s]] for s in states]
    step.append([sink] * columns)
    before = [[[] for _ in range(count + 1)] for _ in range(columns)]
    for state, targets in enumerate(step):
        for column, target in enumerate(targets):
            before[column][target].append(state)
    accepting = [automaton.accepting[s] for s in states] + [False]
    blocks = [set(s for s in range(count + 1) if accepting[s]),
              set(s for s in range(count + 1) if not accepting[s])]
    blocks = [block for block in blocks if block]
    block_of = [0] * (count + 1)
    for number, block in enumerate(blocks):
        for state in block:
            block_of[state] = number
    work = deque((number, column) for number in range(len(blocks)) for column in range(columns))
    queued = set(work)
    while work:
        splitter, column = work.popleft()
        queued.discard((splitter, column))
        touched = {}
        for target in blocks[splitter]:
            for state in before[column][target]:
                touched.setdefault(block_of[state], set()).add(state)
        for number, inside in touched.items():
            block = blocks[number]
            if len(inside) == len(block):
                continue
            outside = block - inside
            smaller, larger = (inside, outside) if len(inside) <= len(outside) else (outside, inside)
            blocks[number] = larger
            blocks.append(smaller)
            new = len(blocks) - 1
            for state in smaller:
                block_of[state] = new
            # Where the block was still to split by, its larger part still is; either way the
            # smaller part is enough to split by from now on.
            for c in range(columns):
                work.append((new, c))
                queued.add((new, c))
    return block_of[:count], block_of[sink]


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
    block_of, dead = equivalence_classes(trimmed, states)
    block = dict(zip(states, block_of))
    number, order = {block[0]: 0}, [0]
    for state in order:  # breadth first over the blocks, from S0's
        for target in trimmed.next[state]:
            if target is not None and block[target] not in number:
                number[block[target]] = len(order)
                order.append(target)
    return Automaton(
        automaton.columns, [automaton.accepting[s] for s in order],
        [[None if t is None or block[t] == dead else number[block[t]] for t in trimmed.next[s]]
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
