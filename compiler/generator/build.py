"""automata build: the program of each table or expression, built by the project's own CMake code
(cmake/automataConfig.cmake, as find_package(automata) reads it) in a private folder, for this
machine or for any configure preset of CMakePresets.json. Every file is read first, so that a
fault is one line and nothing is built; only the programs are left behind."""
import json
import re
import shutil
import subprocess
import tempfile
from pathlib import Path

from .files import read_automaton, write_bytes
from .model import Fault
from .read_regex import expression_automaton
from .write_table import table

PROGRAM_NAME = re.compile(r"[A-Za-z0-9_][A-Za-z0-9_+-]*\Z")


def presets(root):
    try:
        found = json.loads((root / "CMakePresets.json").read_text())["configurePresets"]
    except (OSError, ValueError, KeyError):
        return {}
    return {preset["name"]: preset for preset in found}


def targets(root):
    return [name for name, preset in presets(root).items() if not preset.get("hidden")]


def settings(root, target):
    """(toolchain file or None, {cache variable: value}) of a preset, its parents' first."""
    known = presets(root)
    if target not in known or known[target].get("hidden"):
        raise Fault(f"--target {target}: no such build; the builds are {', '.join(targets(root))}")
    toolchain, cache, chain = None, {}, [target]
    while chain:
        preset = known[chain.pop()]
        parents = preset.get("inherits", [])
        chain += [parents] if isinstance(parents, str) else parents
        toolchain = toolchain or preset.get("toolchainFile")
        cache = {**preset.get("cacheVariables", {}), **cache}
    if toolchain:
        toolchain = toolchain.replace("${sourceDir}", str(root))
    return toolchain, cache


def cmake_fault(said):
    """The first thing CMake's first error says, as one line."""
    lines = said.splitlines()
    for at, line in enumerate(lines):
        if line.startswith("CMake Error"):
            message = []
            for follows in lines[at + 1:]:
                if (not follows.strip() and message) or follows.startswith("Call Stack"):
                    break
                message.append(follows.strip())
            return " ".join(filter(None, message)) or line
    return lines[-1] if lines else "CMake failed"


def run(command, verbose, folder):
    try:
        done = subprocess.run(command, capture_output=not verbose, text=True, cwd=folder)
    except FileNotFoundError:
        raise Fault(f"automata build: {command[0]} is not installed (Debian's {command[0]})")
    return done.returncode, (done.stdout or "") + (done.stderr or "")


def build(root, files, expression, output, target, most_states, verbose=False):
    """Builds the programs; returns their paths."""
    toolchain, cache = settings(root, target)
    windows = bool(toolchain) and "w64" in Path(toolchain).name
    suffix = ".exe" if windows else ""
    with tempfile.TemporaryDirectory(prefix="automata-") as folder:
        folder = Path(folder)
        programs = []  # (name, file)
        if expression is not None:
            name = Path(output).name.removesuffix(".exe")
            automaton = expression_automaton(expression.decode("latin-1"), "-e", "-e", most_states)
            written = folder / f"{name}.table"
            write_bytes(written, table(automaton))
            programs.append((name, written))
        else:
            for file in files:
                read_automaton(file, most_states)
                programs.append((Path(file).name.split(".")[0], Path(file).resolve()))
        names = [name for name, _ in programs]
        for name, file in programs:
            if not PROGRAM_NAME.match(name):
                raise Fault(f"{file}: '{name}' cannot name a program: letters, digits, _, + and - "
                            "only, up to the first dot")
            if names.count(name) > 1:
                raise Fault(f"{file}: another program is named {name} already")
        if expression is not None or (output and len(programs) == 1 and not Path(output).is_dir()):
            places = [Path(output)]
        else:  # into the folder -o names, or here
            places = [Path(output or ".") / name for name in names]
        places = [p if p.name.endswith(suffix) else p.with_name(p.name + suffix) for p in places]

        lines = ["cmake_minimum_required(VERSION 3.25)", "project(programs CXX)",
                 f'find_package(automata REQUIRED CONFIG PATHS "{root / "cmake"}" NO_DEFAULT_PATH',
                 "             NO_CMAKE_FIND_ROOT_PATH)",
                 "set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/out)"]
        lines += [f'automata_add_program({name} "{file}")' for name, file in programs]
        (folder / "CMakeLists.txt").write_text("\n".join(lines) + "\n")
        configure = ["cmake", "-S", str(folder), "-B", str(folder / "build"),
                     f"-DAUTOMATA_MAX_STATES={most_states}"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if toolchain:
            configure.append(f"-DCMAKE_TOOLCHAIN_FILE={toolchain}")
        configure += [f"-D{key}={value}" for key, value in cache.items()]
        failed, said = run(configure, verbose, folder)
        if failed:
            raise Fault(f"automata build --target {target}: {cmake_fault(said)}")
        failed, said = run(["cmake", "--build", str(folder / "build")], verbose, folder)
        if failed:
            raise Fault(f"automata build --target {target}: the build failed: " +
                        " / ".join(said.strip().splitlines()[-3:]))
        for name, place in zip(names, places):
            try:
                place.parent.mkdir(parents=True, exist_ok=True)
                shutil.move(folder / "build" / "out" / f"{name}{suffix}", place)
            except OSError as error:
                raise Fault(f"{place}: cannot be written: {error.strerror}")
    return places
