"""automata build: the program of each table or expression, built by the project's own CMake code
(cmake/automataConfig.cmake, as find_package(automata) reads it) in a private folder, for this
machine or for any configure preset of CMakePresets.json. Every file is read first, so that a
fault is one line and nothing is built; only the programs are left behind."""
import json
import os
import re
import signal
import shutil
import subprocess
import tempfile
from pathlib import Path

from .files import automaton_of, check_output, read_bytes, write_files
from .model import Fault, excerpt
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
    """(status, what it said) of a command run in a process group of its own, which is ended
    whole if the compiler is interrupted, so that nothing goes on writing into the folder; its
    temporary files (a compiler's, say) go into the folder too, and so are removed with it."""
    scratch = Path(folder) / "tmp"
    scratch.mkdir(exist_ok=True)
    # The signals that end the compiler wait while the child starts (the child takes them again),
    # so that none can come between its start and the kill that would end it: one that came
    # while Python was starting it left it building into a folder being removed.
    ending = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}
    signal.pthread_sigmask(signal.SIG_BLOCK, ending)
    try:
        process = subprocess.Popen(command, cwd=folder, text=True, start_new_session=True,
                                   env={**os.environ, "TMPDIR": str(scratch)},
                                   stdout=None if verbose else subprocess.PIPE,
                                   stderr=None if verbose else subprocess.STDOUT,
                                   preexec_fn=lambda: signal.pthread_sigmask(signal.SIG_UNBLOCK, ending))
    except BaseException as error:
        signal.pthread_sigmask(signal.SIG_UNBLOCK, ending)
        if isinstance(error, FileNotFoundError):
            raise Fault(f"automata build: {command[0]} is not installed (Debian's {command[0]})")
        raise
    try:
        signal.pthread_sigmask(signal.SIG_UNBLOCK, ending)  # one that waited is raised here
        said, _ = process.communicate()
    except BaseException:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        raise
    return process.returncode, said or ""


def build(root, files, expression, output, target, most_states, verbose=False):
    """Builds the programs; returns their paths. Each file is copied into the private folder under
    its program's checked name, so that the CMake code written there holds no text of the user's
    (a path, a name): what it names, it names as data."""
    toolchain, cache = settings(root, target)
    windows = bool(toolchain) and "w64" in Path(toolchain).name
    suffix = ".exe" if windows else ""
    programs = []  # (name, what its file holds, the file's suffix there)
    if expression is not None:
        if Path(output).is_dir():
            raise Fault(f"-o {output}: a folder; -e names its program with -o NAME")
        name = Path(output).name.removesuffix(".exe")
        automaton = expression_automaton(expression.decode("latin-1"), "-e", "-e", most_states)
        programs.append((name, table(automaton).encode("latin-1"), ".table", output))
    else:
        for file in files:
            data = read_bytes(file)
            automaton_of(data, file, most_states)
            kind = ".regex" if str(file).endswith(".regex") else ".table"
            programs.append((Path(file).name.split(".")[0], data, kind, file))
    names = [name for name, *_ in programs]
    for name, *_, file in programs:
        if not PROGRAM_NAME.match(name):
            raise Fault(f"{file}: '{excerpt(name)}' cannot name a program: letters, digits, _, + "
                        "and - only, up to the first dot")
        if names.count(name) > 1:
            raise Fault(f"{file}: another program is named {name} already")
    if expression is not None or (output and len(programs) == 1 and not Path(output).is_dir()):
        places = [Path(output)]
    else:  # into the folder -o names, or here
        places = [Path(output or ".") / name for name in names]
    places = [p if p.name.endswith(suffix) else p.with_name(p.name + suffix) for p in places]
    for place in places:
        check_output(place, files)

    with tempfile.TemporaryDirectory(prefix="automata-") as folder:
        folder = Path(folder)
        lines = ["cmake_minimum_required(VERSION 3.25)", "project(programs CXX)",
                 'find_package(automata REQUIRED CONFIG PATHS "${AUTOMATA_CMAKE_DIR}" NO_DEFAULT_PATH',
                 "             NO_CMAKE_FIND_ROOT_PATH)",
                 'set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/out")']
        for name, data, kind, _ in programs:
            (folder / f"{name}{kind}").write_bytes(data)
            lines.append(f"automata_add_program({name} {name}{kind})")
        (folder / "CMakeLists.txt").write_text("\n".join(lines) + "\n")
        configure = ["cmake", "-S", str(folder), "-B", str(folder / "build"),
                     f"-DAUTOMATA_CMAKE_DIR={root / 'cmake'}", f"-DAUTOMATA_MAX_STATES={most_states}"]
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
        for place in places:
            try:
                place.parent.mkdir(parents=True, exist_ok=True)
            except OSError as error:
                raise Fault(f"{place.parent}: cannot be made: {error.strerror}")
        write_files([(place, folder / "build" / "out" / f"{name}{suffix}")
                     for name, place in zip(names, places)], files)
    return places
