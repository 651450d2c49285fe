#!/usr/bin/env python3
"""Per byte, the routine `automata source` writes against its peers, in one benchmark binary: the
code re2c generates for the same language (default options, -O2; left out, with the reason, where
re2c is not installed) and a loop over a 256-column table of the same minimal automaton (-O2).
Ours is built as the project builds a table's source: -Os (-Oz with Clang), no jump tables, GCC's
redundancy passes and reassociation off (cmake/Tables.cmake). Before timing, each of the three
answers 5,000 random words as re.fullmatch (or the table's arithmetic) does. Reports MB/s (medians
of interleaved rounds) and ratios; it asserts nothing about time.

Usage: bench/peers.py [COMPILER] [ROUNDS]      (default: c++ 15)
"""
import random
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "compiler"))
from generator.files import read_automaton  # noqa: E402
from generator.passes import minimal  # noqa: E402

COMPILER = sys.argv[1] if len(sys.argv) > 1 else "c++"
ROUNDS = int(sys.argv[2]) if len(sys.argv) > 2 else 15
MIB = 1 << 20
# Every routine starts on a cache line of its own, so that how big one is moves no other's loops
# across a fetch boundary: without it, re2c's identifier ran 1,700 or 2,300 MB/s by what came first.
ALIGNED = "-falign-functions=64"
DIGIT_SUM = b"state accepting [0369] [147] [258]\nS0 yes S0 S1 S2\nS1 no S1 S2 S0\nS2 no S2 S0 S1\n"


def text(pick, n, alphabet):
    return bytes(pick.choice(alphabet) for _ in range(n))


PRINTABLE = bytes(range(0x20, 0x7F))
PLAIN = bytes(b for b in PRINTABLE if b not in b'"\\*/')
IDENTIFIER = b"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"


def quoted_text(pick):
    body = bytearray()
    while len(body) < MIB:
        body += b"\\" + bytes([pick.choice(PRINTABLE)]) if pick.random() < 0.03 else \
            bytes([pick.choice(PLAIN)])
    return [b'"' + bytes(body) + b'"']


def comment_text(pick):
    body = bytearray()
    while len(body) < MIB:
        body += b"**x" if pick.random() < 0.02 else bytes([pick.choice(PLAIN)])
    return [b"/*" + bytes(body) + b"*/"]


def dates(pick):
    return [b"%04d-%02d-%02d" % (pick.randrange(10000), pick.randint(1, 12), pick.randint(1, 31))
            for _ in range(MIB // 11)]


# (name, our file (a .regex line or a table), re2c's spelling, the words timed, the oracle)
LANGUAGES = [
    ("quoted string", b'"([^"\\\\]|\\\\.)*"', r'["] ([^"\\\x00] | [\\][^\x00\n])* ["]',
     "text, 3 % escapes", quoted_text, None),
    # the table's language by state elimination: Z, O, T are the digits that leave 0, 1, 2
    ("digit sum mod 3", DIGIT_SUM, "([0369] | [258][0369]*[147] | ([147] | [258][0369]*[258]) "
     "([0369] | [147][0369]*[258])* ([258] | [147][0369]*[147]))*", "random digits",
     lambda pick: [text(pick, MIB, b"0123456789")], lambda w: w.isdigit() and sum(w) % 3 == 0 or w == b""),
    ("JSON number", b"-?(0|[1-9][0-9]*)(\\.[0-9]+)?([eE][+-]?[0-9]+)?",
     r'"-"? ("0" | [1-9][0-9]*) ("." [0-9]+)? ([eE] [+-]? [0-9]+)?', "a long run of digits",
     lambda pick: [b"1" + text(pick, MIB, b"0123456789")], None),
    ("C identifier", b"[A-Za-z_][A-Za-z0-9_]*", "[A-Za-z_][A-Za-z0-9_]*", "random identifier bytes",
     lambda pick: [b"x" + text(pick, MIB, IDENTIFIER)], None),
    ("C identifier ", b"[A-Za-z_][A-Za-z0-9_]*", "[A-Za-z_][A-Za-z0-9_]*", "one byte repeated",
     lambda pick: [b"x" * MIB], None),
    ("C comment", b"/\\*([^*]|\\*+[^*/])*\\*+/", r'"/*" ([^*\x00] | [*]+[^*/\x00])* [*]+ "/"', "text",
     comment_text, None),
    ("ISO date", b"[0-9]{4}-(0[1-9]|1[0-2])-(0[1-9]|[12][0-9]|3[01])",
     r'[0-9]{4} "-" ("0"[1-9] | "1"[0-2]) "-" ("0"[1-9] | [12][0-9] | "3"[01])', "dates", dates, None),
]

def re2c_source(index, spelling):
    return (f"extern \"C\" int re2c_{index}(const char* word) {{\n"
            "  const unsigned char* YYCURSOR = (const unsigned char*)word;\n"
            "  const unsigned char* YYMARKER;\n  (void)YYMARKER;\n"
            "  /*!re2c\n    re2c:define:YYCTYPE = \"unsigned char\";\n    re2c:yyfill:enable = 0;\n"
            f"    ({spelling}) [\\x00] {{ return 1; }}\n    * {{ return 0; }}\n  */\n}}\n")


def table_source(index, automaton):
    rows = []
    for state in range(automaton.size):
        row = [-1] * 256
        for byte, target in automaton.transitions(state):
            row[byte] = target
        rows.append("{" + ",".join(map(str, row)) + "}")
    accepting = ",".join(str(int(a)) for a in automaton.accepting)
    return (f"static const short kTable{index}[][256] = {{{','.join(rows)}}};\n"
            f"static const char kAccepting{index}[] = {{{accepting}}};\n"
            f"extern \"C\" int table_{index}(const char* word) {{\n  int state = 0;\n"
            "  for (const unsigned char* p = (const unsigned char*)word; *p; ++p)\n"
            f"    if ((state = kTable{index}[state][*p]) < 0) return 0;\n"
            f"  return kAccepting{index}[state];\n}}\n")


HARNESS = r"""
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
using Routine = int (*)(const char*);
%(declarations)s
static const Routine kRoutines[][3] = {%(routines)s};
static const char* const kWordsFiles[] = {%(files)s};

static std::vector<std::string> Words(const char* path) {
  std::vector<std::string> words;
  FILE* file = std::fopen(path, "rb");
  std::string word;
  for (int c; (c = std::fgetc(file)) != EOF;)
    if (c == '\n') { words.push_back(word); word.clear(); } else word += char(c);
  std::fclose(file);
  return words;
}

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "check") == 0) {  // lines: language hex
    int language;
    static char hex[1 << 16];
    while (std::scanf("%%d %%65535s", &language, hex) == 2) {
      std::string word;
      for (size_t i = 0; hex[i] && hex[i + 1] && hex[0] != '-'; i += 2) {
        unsigned value;
        std::sscanf(hex + i, "%%2x", &value);
        word += char(value);
      }
      for (Routine routine : kRoutines[language])
        std::printf("%%d ", routine ? routine(word.c_str()) : -1);
      std::printf("\n");
    }
    return 0;
  }
  int rounds = std::atoi(argv[1]);
  for (size_t language = 0; language < sizeof kWordsFiles / sizeof *kWordsFiles; ++language) {
    std::vector<std::string> words = Words(kWordsFiles[language]);
    double bytes = 0;
    for (const std::string& word : words) bytes += word.size();
    std::vector<double> seconds[3];
    volatile int sink = 0;
    for (int round = 0; round < rounds; ++round)
      for (int which = 0; which < 3; ++which) {
        Routine routine = kRoutines[language][which];
        if (!routine) continue;
        auto start = std::chrono::steady_clock::now();
        for (const std::string& word : words) sink = sink + routine(word.c_str());
        seconds[which].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
      }
    std::printf("%%zu", language);
    for (auto& taken : seconds) {
      std::sort(taken.begin(), taken.end());
      std::printf(" %%.1f", taken.empty() ? 0.0 : bytes / taken[taken.size() / 2] / 1e6);
    }
    std::printf("\n");
  }
}
"""


def main():
    re2c = shutil.which("re2c")
    clang = "clang" in subprocess.run([COMPILER, "--version"], capture_output=True, text=True).stdout
    ours_flags = ["-Oz" if clang else "-Os", "-fno-jump-tables"] + \
        ([] if clang else ["-fno-tree-fre", "-fno-tree-pre", "-fno-code-hoisting", "-fno-tree-reassoc"])
    pick = random.Random(20261210)
    with tempfile.TemporaryDirectory() as folder:
        folder = Path(folder)
        objects, files, checks = [], [], []
        for index, (name, ours, spelling, _, make_words, oracle) in enumerate(LANGUAGES):
            path = folder / (f"l{index}.table" if ours.startswith(b"state") else f"l{index}.regex")
            path.write_bytes(ours + b"\n")
            source = folder / f"ours{index}.cpp"
            subprocess.run([sys.executable, ROOT / "compiler" / "automata", "source", path,
                            "--function", f"ours_{index}", "-o", source], check=True)
            (folder / f"table{index}.cpp").write_text(table_source(index, minimal(read_automaton(path, 16384))))
            compiles = [(source, ours_flags), (folder / f"table{index}.cpp", ["-O2"])]
            if re2c:
                (folder / f"re2c{index}.re").write_text(re2c_source(index, spelling))
                subprocess.run([re2c, folder / f"re2c{index}.re", "-o", folder / f"re2c{index}.cpp"],
                               check=True)
                compiles.append((folder / f"re2c{index}.cpp", ["-O2"]))
            for source, flags in compiles:
                objects.append(source.with_suffix(".o"))
                subprocess.run([COMPILER, "-c", *flags, ALIGNED, "-x", "c++", source, "-o", objects[-1]],
                               check=True)
            words = make_words(pick)
            files.append(folder / f"words{index}")
            files[-1].write_bytes(b"".join(w + b"\n" for w in words))
            pattern = None if oracle else re.compile(ours)
            for _ in range(5000):
                word = pick.choice(words)[:pick.randint(0, 24)] if pick.random() < 0.5 else \
                    bytes(pick.choice(b'"\\*/-.eE+019aZ_x\x80\n') for _ in range(pick.randint(0, 12)))
                if pick.random() < 0.3 and word:
                    word = word[:-1] + bytes([pick.choice(b'"/*\\0-9x')])
                checks.append((index, word, oracle(word) if oracle else bool(pattern.fullmatch(word))))
        n = len(LANGUAGES)
        declarations = "".join(f'extern "C" int {kind}_{i}(const char*);\n' for i in range(n)
                               for kind in ["ours", "table"] + (["re2c"] if re2c else []))
        routines = ", ".join("{" + f"ours_{i}, {'re2c_%d' % i if re2c else 'nullptr'}, table_{i}" + "}"
                             for i in range(n))
        (folder / "harness.cpp").write_text(HARNESS % {
            "declarations": declarations, "routines": routines,
            "files": ", ".join(f'"{f}"' for f in files)})
        program = folder / "peers"
        subprocess.run([COMPILER, "-O2", folder / "harness.cpp", *objects, "-o", program], check=True)
        answers = subprocess.run([program, "check"], input="".join(
            f"{i} {w.hex() or '-'}\n" for i, w, _ in checks), capture_output=True, text=True,
            check=True).stdout.splitlines()
        for (index, word, expected), line in zip(checks, answers):
            got = [int(v) for v in line.split()]
            if any(v not in (-1, int(expected)) for v in got):
                sys.exit(f"{LANGUAGES[index][0]}: {word!r}: expected {int(expected)}, got "
                         f"{got} (ours, re2c, table)")
        print(f"each of ours, {'re2c, ' if re2c else ''}the table loop agree with the oracle on "
              f"{len(checks)} words; {COMPILER}, {ROUNDS} rounds")
        if not re2c:
            print("re2c: left out, not installed (Debian's re2c)")
        result = subprocess.run([program, str(ROUNDS)], capture_output=True, text=True, check=True)
        print(f"| {'language':<17} | {'input':<24} | ours MB/s | re2c MB/s | table loop | ours / re2c "
              "| ours / table |")
        print("|---|---|---:|---:|---:|---:|---:|")
        for line in result.stdout.splitlines():
            index, ours, theirs, table = line.split()
            ours, theirs, table = float(ours), float(theirs), float(table)
            ratio = f"{ours / theirs:.2f}" if theirs else "—"
            print(f"| {LANGUAGES[int(index)][0]:<17} | {LANGUAGES[int(index)][3]:<24} | {ours:8.0f} | "
                  f"{theirs:9.0f} | {table:10.0f} | {ratio:>11} | {ours / table:12.2f} |")


if __name__ == "__main__":
    main()
