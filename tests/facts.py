#!/usr/bin/env python3
"""Facts the project writes in more than one place, each held to the one that decides it: a
fault names the place that differs.

Usage: facts.py SOURCE_DIR
"""
import json
import re
import sys
from pathlib import Path

SOURCE = Path(sys.argv[1])
sys.dont_write_bytecode = True
sys.path.insert(0, str(SOURCE / "compiler"))
from generator.build import PROGRAM_NAME  # noqa: E402
from generator.model import DEFAULT_MOST_STATES  # noqa: E402


def text(path):
    return (SOURCE / path).read_text()


def found(pattern, path):
    match = re.search(pattern, text(path), re.S)
    if not match:
        raise SystemExit(f"{path}: no {pattern!r}")
    return match[1]


presets = [p["name"] for p in json.loads(text("CMakePresets.json"))["configurePresets"]
           if not p.get("hidden")]
readme_presets = re.findall(r"^\| `([a-z0-9]+)` +\| ", text("README.md").split("| preset     | what it "
                                                                             "builds and tests |")[1], re.M)
manual_targets = re.sub(r"\s+", " ", found(r"any configure preset the project lists \(([^)]*)\)",
                                           "man/automata.1")).split(", ")
FACTS = [  # (what, where it is decided, where it is written again)
    ("the default most states", DEFAULT_MOST_STATES,
     int(found(r"set\(AUTOMATA_MAX_STATES (\d+) CACHE", "cmake/Tables.cmake"))),
    ("the program-name rule", PROGRAM_NAME.pattern.removesuffix(r"\Z"),
     found(r'table_OUTPUT_NAME MATCHES "\^([^"]*)\$"', "cmake/Tables.cmake")),
    ("the presets, README's table of builds", presets, readme_presets[:len(presets)]),
    ("the presets other than default, automata(1)", sorted(p for p in presets if p != "default"),
     sorted(manual_targets)),
    ("the three programs, the regeneration test",
     found(r"set\(AUTOMATA_OWN_PROGRAMS ([a-z0-9 ]+)\)", "CMakeLists.txt").split(),
     re.findall(r"recognizers/([a-z0-9]+)\.cpp", found(r"NAME regeneration_test(.*?)\)\n",
                                                       "tests/CMakeLists.txt"))),
]
wrong = [f"{what}: {decided!r}, but written {written!r}" for what, decided, written in FACTS
         if decided != written]
print("\n".join(wrong) or f"{len(FACTS)} facts written again are as decided")
sys.exit(1 if wrong else 0)
