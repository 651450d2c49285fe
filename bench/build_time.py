#!/usr/bin/env python3
"""How a program's build time and size grow with its automaton: numerals mod n over two symbols
(binary, n states), n from 256 to 16,384, each built as a table of one's own would be, with the
preset's own compiler and options; and the generator's own time on expressions whose minimal
automata have some 10,000 states. Reports figures only.

Usage: bench/build_time.py [PRESET] [STATES...]     (default: default 256 1024 4096 16384)
"""
import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
preset = sys.argv[1] if len(sys.argv) > 1 else "default"
sizes = [int(n) for n in sys.argv[2:]] or [256, 1024, 4096, 16384]
build = ROOT / "build" / f"build-time-{preset}"

EXPRESSIONS = [rb"(a|b)*a(a|b){12}", rb"(x{1000}){10}", rb"[0-9a-f]{1000}(-[0-9a-f]{1000}){9}",
               rb"(a{0,100}){100}", rb"(a|b)*|(a|b)*a(a|b){13}"]
# Hostile expressions, each refused with its line: (what it is, the expression).
HOSTILE = [("250 nested groups", b"(" * 250 + b"a" + b")" * 250),
           ("a count of 5,000 digits", b"a{" + b"9" * 5000 + b"}"),
           ("(a{0,1000}){1000}", rb"(a{0,1000}){1000}"), ("(a|b)*a(a|b){24}", rb"(a|b)*a(a|b){24}"),
           ("1 MiB of .", b"." * (1 << 20)), ("1 MiB of a?", b"a?" * (1 << 19)),
           ("100,000 alternatives", b"|".join(b"a%d" % i for i in range(100000))),
           ("many byte classes", rb"(a|b)*a(a|b){20}|0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
           ("(\U0010FFFF{1000}){16}", rb"(?u)(\U0010FFFF{1000}){16}"),
           ("20,000 and not lines", b"x.*" + b"".join(b"\nand not .*%d.*" % i for i in range(20000))),
           # valid, and built: the line is empty
           ("16,000 random bytes", b"".join(b"\\x%02x" % (i * 7919 % 255 + 1) for i in range(16000))),
           ("10,000 alternatives of 3", b"|".join(b"\\x%02x\\x%02x\\x%02x" % (i % 255 + 1, i // 255 + 1, i * 31 % 255 + 1)
                                                for i in range(10000)))]

with tempfile.TemporaryDirectory() as folder:
    print("the generator alone, an expression to its minimal table:")
    for expression in EXPRESSIONS:
        path = Path(folder) / "e.regex"
        path.write_bytes(expression + b"\n")
        started = time.monotonic()
        done = subprocess.run([sys.executable, ROOT / "compiler" / "automata", "minimal", path],
                              check=True, capture_output=True)
        states = done.stdout.count(b"\nS")
        print(f"  {expression.decode():<40} {states:>6} states {time.monotonic() - started:6.1f} s")
    print("hostile expressions, to the line that refuses each (none: built):")
    for what, expression in HOSTILE:
        path.write_bytes(expression + b"\n")
        started = time.monotonic()
        run = subprocess.Popen([sys.executable, ROOT / "compiler" / "automata", "minimal", path],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        said = run.stderr.read().decode(errors="replace")
        _, _, usage = os.wait4(run.pid, 0)
        print(f"  {what:<28} {time.monotonic() - started:5.1f} s {usage.ru_maxrss >> 10:>5} MiB  "
              f"{said[:70]}")
    tables = []
    for n in sizes:
        table = Path(folder) / f"mod{n}.table"
        rows = [f"S{r} {'yes' if r == 0 else 'no'} S{2 * r % n} S{(2 * r + 1) % n}" for r in range(n)]
        table.write_text(f"# Binary numerals that are multiples of {n}.\n"
                         "state accepting 0 1\n" + "\n".join(rows) + "\n")
        tables.append(table)
    started = time.monotonic()
    subprocess.run(["cmake", "--preset", preset, "-B", build, "-DBUILD_TESTING=OFF",
                    "-DAUTOMATA_BENCH=OFF", "-DAUTOMATA_TABLES=" + ";".join(map(str, tables))],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    print(f"configure, {len(sizes)} tables generated: {time.monotonic() - started:.1f} s")
    subprocess.run(["cmake", "--build", build, "--target", "decimal3"], check=True,
                   stdout=subprocess.DEVNULL)  # the driver and the platform layer, once
    print(f"{'states':>7} {'build s':>9} {'bytes':>9} {'bytes/state':>12} {'s per 1000 states':>18}")
    for n in sizes:
        started = time.monotonic()
        subprocess.run(["cmake", "--build", build, "--target", f"mod{n}"], check=True,
                       stdout=subprocess.DEVNULL)
        took = time.monotonic() - started
        program = next(p for p in [build / f"mod{n}", build / f"mod{n}.exe"] if p.exists())
        size = program.stat().st_size
        print(f"{n:>7} {took:>9.1f} {size:>9} {size / n:>12.1f} {took / n * 1000:>18.2f}")
