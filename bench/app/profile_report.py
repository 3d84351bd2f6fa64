#!/usr/bin/env python3
"""Turns program_bench's samples (TRELVO_BENCH_PROFILE) into the functions where each phase spends
its time: the exe's own by its symbols (i686-w64-mingw32-nm), other modules by name.
    bench/app/profile_report.py <samples> <Trelvo.exe> [top, 25]"""
import bisect
import collections
import subprocess
import sys


def main():
    samples, exe = sys.argv[1], sys.argv[2]
    top = int(sys.argv[3]) if len(sys.argv) > 3 else 25
    symbols = []
    for line in subprocess.run(["i686-w64-mingw32-nm", "-C", "--defined-only", exe], capture_output=True,
                               text=True).stdout.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "tT":
            symbols.append((int(parts[0], 16), parts[2]))
    symbols.sort()
    starts = [a for a, _ in symbols]
    modules, phases = [], collections.defaultdict(collections.Counter)
    threads = collections.defaultdict(collections.Counter)
    with open(samples) as f:
        rows = [line.split() for line in f]
    for row in rows:
        if row[0] == "module":
            modules.append((int(row[2], 16), int(row[3], 16), row[1]))
    exe_name = exe.replace("\\", "/").rsplit("/", 1)[-1].lower()

    def place(eip):
        for low, high, name in modules:
            if low <= eip < high:
                if name.lower() != exe_name:
                    return name
                i = bisect.bisect_right(starts, eip) - 1
                return symbols[i][1] if i >= 0 else name
        return "?"

    for row in rows:
        if row[0] == "module" or len(row) != 4:
            continue
        where = place(int(row[2], 16))
        if "(" not in where:
            for caller in row[3].split(","):
                if int(caller, 16):
                    where += " <- " + place(int(caller, 16))
        phases[row[0]][where] += 1
        threads[row[0]][row[1]] += 1
    for phase, counts in phases.items():
        total = sum(counts.values())
        print(f"== {phase}: {total} samples; by thread: " +
              ", ".join(f"{t}:{n}" for t, n in threads[phase].most_common(6)))
        for where, n in counts.most_common(top):
            print(f"  {100.0 * n / total:5.1f}%  {where[:150]}")


main()
