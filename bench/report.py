#!/usr/bin/env python3
"""Measures what one run of a program costs, next to the floor, and how fast Recognize is.

Usage: report.py DEFAULT_BUILD HOSTED_BUILD

- time: whole-process wall time of `decimal3 12` (libc-free and hosted), `/bin/true` and the
  floor, by hyperfine in rounds whose order alternates; the median of every run, as a ratio to
  the floor's;
- system calls: counted by strace;
- peak memory: the process's VmHWM at exit (read while ptrace holds it at exit_group);
- file sizes;
- Recognize against a table-driven loop (Google Benchmark), as a ratio of throughputs.
"""
import ctypes
import json
import os
import statistics
import subprocess
import sys
import tempfile

default_build, hosted_build = sys.argv[1], sys.argv[2]
ROUNDS, RUNS = 8, 300

commands = {
    "floor": [f"{default_build}/bench/floor", "12"],
    "decimal3": [f"{default_build}/decimal3", "12"],
    "decimal3 (hosted)": [f"{hosted_build}/decimal3", "12"],
    "/bin/true": ["/bin/true", "12"],
}


def timings():
    times = {name: [] for name in commands}
    names = list(commands)
    for round_ in range(ROUNDS):
        order = names if round_ % 2 == 0 else names[::-1]
        with tempfile.NamedTemporaryFile(suffix=".json") as export:
            subprocess.run(
                ["hyperfine", "-N", "-i", "--style", "none", "--warmup", "50", "--runs", str(RUNS),
                 "--export-json", export.name] + [" ".join(commands[n]) for n in order],
                check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            results = json.load(open(export.name))["results"]
        for name, result in zip(order, results):
            times[name] += result["times"]
    return {name: statistics.median(t) for name, t in times.items()}


def system_calls(argv):
    with tempfile.NamedTemporaryFile() as trace:
        subprocess.run(["strace", "-qq", "-o", trace.name] + argv,
                       stdout=subprocess.DEVNULL, check=False)
        return [line.split("(")[0] for line in open(trace.name) if "(" in line]


libc = ctypes.CDLL(None, use_errno=True)
libc.ptrace.argtypes = [ctypes.c_long, ctypes.c_long, ctypes.c_void_p, ctypes.c_void_p]
PTRACE_TRACEME, PTRACE_CONT, PTRACE_SETOPTIONS, PTRACE_O_TRACEEXIT = 0, 7, 0x4200, 0x40


def peak_memory_kib(argv):
    pid = os.fork()
    if pid == 0:
        libc.ptrace(PTRACE_TRACEME, 0, None, None)
        os.dup2(os.open(os.devnull, os.O_WRONLY), 1)
        os.execv(argv[0], argv)
    os.waitpid(pid, 0)  # stopped after execve
    libc.ptrace(PTRACE_SETOPTIONS, pid, None, ctypes.c_void_p(PTRACE_O_TRACEEXIT))
    libc.ptrace(PTRACE_CONT, pid, None, None)
    os.waitpid(pid, 0)  # stopped in exit_group, the memory still mapped
    with open(f"/proc/{pid}/status") as status:
        fields = dict(line.split(":", 1) for line in status)
    libc.ptrace(PTRACE_CONT, pid, None, None)
    os.waitpid(pid, 0)
    return int(fields["VmHWM"].split()[0])


medians = timings()
floor = medians["floor"]
print(f"Whole process, median of {ROUNDS * RUNS} runs each (hyperfine -N, alternating rounds):")
print(f"  {'command':<20} {'median':>10} {'ratio to floor':>15} {'syscalls':>9} {'peak KiB':>9}")
for name, argv in commands.items():
    peaks = sorted(peak_memory_kib(argv) for _ in range(50))
    calls = system_calls(argv)
    print(f"  {name:<20} {medians[name] * 1e6:>8.1f}us {medians[name] / floor:>15.3f}"
          f" {len(calls):>9} {statistics.median(peaks):>6}/{peaks[-1]}")
print("  (peak memory: median/most of 50 runs)")
print("  system calls of decimal3 12:", ", ".join(system_calls(commands["decimal3"])))
print("File sizes (bytes):")
for program in ["decimal3", "binary3", "evena"]:
    print(f"  {program:<9} {os.path.getsize(f'{default_build}/{program}'):>6}"
          f"   hosted: {os.path.getsize(f'{hosted_build}/{program}')}")
print(f"  {'floor':<9} {os.path.getsize(commands['floor'][0]):>6}")

print("Recognize over 1 MiB words, throughput of the compiled form / a table-driven loop:")
for program in ["decimal3", "binary3", "evena", "identifier"]:
    out = subprocess.run([f"{default_build}/bench/{program}_bench", "--benchmark_format=json",
                          "--benchmark_min_time=0.5"], capture_output=True, check=True, text=True)
    rates = {b["name"]: b["bytes_per_second"] for b in json.loads(out.stdout)["benchmarks"]}
    line = [f"  {program:<9}"]
    for kind in ["random", "predictable"]:
        compiled, table = rates[f"compiled/{kind}"], rates[f"table/{kind}"]
        line.append(f"{kind}: {compiled / 1e6:7.0f} MB/s vs {table / 1e6:5.0f} MB/s"
                    f" = {compiled / table:4.2f}x")
    print("   ".join(line))
