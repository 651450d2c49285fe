#!/usr/bin/env python3
"""The compiler on hostile input drawn at random from a seed, for a bounded time: expressions and
tables spliced from the pieces users get wrong (groups, classes, counts, escapes, flags, and
lines, bytes of every kind) and from pieces that cost (nested counts, long alternations). Each run
must end with status 0, or 2 and one line on standard error; within SECONDS and 1 GiB; and leave
no output where it failed. A failing case is written to the work folder, named by its seed.

Usage: hostile_fuzz.py SOURCE_DIR WORK_DIR SECONDS [SEED]
"""
import random
import resource
import subprocess
import sys
import time
from pathlib import Path

SOURCE, WORK, BUDGET = Path(sys.argv[1]), Path(sys.argv[2]), float(sys.argv[3])
SEED = int(sys.argv[4]) if len(sys.argv) > 4 else random.randrange(1 << 30)
AUTOMATA = SOURCE / "compiler" / "automata"
SECONDS = 20  # for one run: every hostile input ends within 10 s here, twice that when busy

PIECES = [b"(", b")", b"(?:", b"[", b"]", b"[^", b"{", b"}", b"{2}", b"{0,9}", b"{,3}", b"{999}",
          b"*", b"+", b"?", b"*?", b"++", b"|", b"\\", b"^", b"$", b".", b"-", b"(?i)", b"(?u)",
          b"(?=", b"(?<!", b"\\b", b"\\Z", b"(?P<n>", b"\\1", b"[:alpha:]", b"[[:digit:]]", b"\\x", b"\\x00", b"\\xff",
          b"\\u00e9", b"\\U0010FFFF", b"\\d", b"\\W", b"\\s", b"\\q", b"\\0", b"\\141", b"\n",
          b"\nand ", b"\nand not ", b"#", b"\r\n", b"\0", b"\xc3\xa9", b"\xff", b"a", b"b", b"0"]
COSTLY = [b"(a|b)*a(a|b){12}", b"(.*a.{9}){2}", b"((a{9}){9}){9}", b"|".join(b"w%d" % i for i in range(300)),
          b"(a?){200}", b".{0,30}[0-9]{0,30}"]
CELLS = [b"state", b"accepting", b"yes", b"no", b"-", b"S0", b"S1", b"S2", b"S99999999999", b"a",
         b"[a-z]", b"[^a]", b"[", b"[z-a]", b"\\x00", b"\\xZZ", b"\\x41", b"[[:alpha:]]", b"#", b"\\",
         b"[^\\s\\S]", b"\xef\xbb\xbf", b"\t", b"\r"]


def expression(pick):
    parts = [pick.choice(PIECES) for _ in range(pick.randint(1, 12))]
    if pick.random() < 0.2:
        parts.insert(pick.randint(0, len(parts)), pick.choice(COSTLY))
    return b"".join(parts)


def table(pick):
    rows = []
    for _ in range(pick.randint(1, 6)):
        rows.append(b" ".join(pick.choice(CELLS) for _ in range(pick.randint(1, 8))))
    if pick.random() < 0.7:
        rows.insert(0, b"state accepting " + b" ".join(pick.choice(CELLS[9:]) for _ in range(3)))
    return b"\n".join(rows) + pick.choice([b"\n", b""])


def limited():
    resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))


def main():
    WORK.mkdir(parents=True, exist_ok=True)
    started, runs, failures = time.monotonic(), 0, []
    while time.monotonic() - started < BUDGET:
        seed = SEED + runs
        pick = random.Random(seed)
        is_regex = pick.random() < 0.7
        case = WORK / f"case{'.regex' if is_regex else '.table'}"
        case.write_bytes((b"# hostile\n" + expression(pick)) if is_regex else table(pick))
        out = WORK / "out.c"
        out.unlink(missing_ok=True)
        verb = pick.choice(["source", "minimal", "explain"])
        arguments = {"source": [case, "-o", out], "minimal": [case],
                     "explain": [case, pick.choice(["", "-a", "ab0", "\xe9"])]}[verb]
        try:
            done = subprocess.run([sys.executable, AUTOMATA, verb, *map(str, arguments)],
                                  capture_output=True, timeout=SECONDS, preexec_fn=limited)
            said = done.stderr.decode("latin-1").strip().splitlines()
            wrong = ("a traceback" if "Traceback" in done.stderr.decode("latin-1") else
                     f"status {done.returncode}" if done.returncode not in (0, 1, 2) else
                     f"{len(said)} lines" if done.returncode == 2 and len(said) != 1 else
                     "an output left behind" if done.returncode == 2 and out.exists() else "")
        except subprocess.TimeoutExpired:
            wrong = f"more than {SECONDS} s"
        runs += 1
        if wrong:
            kept = WORK / f"failed-{seed}{case.suffix}"
            kept.write_bytes(case.read_bytes())
            failures.append(f"seed {seed}, automata {verb} {kept}: {wrong}")
    print(f"{runs} hostile inputs from seed {SEED}")
    print("\n".join(failures))
    print(f"{runs - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
