#!/usr/bin/env python3
"""The engine alone, memory to memory: bench/engine_timing's rows as source
bytes per second (the median of its runs, in thread CPU time), and, when
valgrind is installed, instructions, branches and mispredicted branches per
source byte from cachegrind's simulation (this machine's processor counters
may not be readable in a virtual machine). The counts are those of one
conversion: a run with two conversions less a run with one, so that reading
the file into memory does not count.

    python3 bench/engine_rows.py build/native/bench/engine_timing FILE... [--runs N] [--no-counts]
"""
import argparse
import os
import re
import shutil
import subprocess

ROWS = ["default", "full", "utf8", "automatic"]


def median_ms(engine_timing, row, path, runs):
    out = subprocess.run([engine_timing, "--row", row, path, str(runs)], capture_output=True, text=True,
                         check=True).stdout
    match = re.search(r"median ([0-9.]+) ms", out)
    return float(match.group(1)) if match else None


def counts(engine_timing, row, path):
    """Instructions, branches and mispredicted branches of one conversion."""
    def run(conversions):
        err = subprocess.run(["valgrind", "--tool=cachegrind", "--cache-sim=no", "--branch-sim=yes",
                              "--cachegrind-out-file=/dev/null", engine_timing, "--row", row, path,
                              str(conversions)], capture_output=True, text=True).stderr
        found = {}
        for key, label in (("ir", r"I\s+refs"), ("branches", r"Branches"), ("mispredicts", r"Mispredicts")):
            match = re.search(label + r":\s+([0-9,]+)", err)
            found[key] = int(match.group(1).replace(",", "")) if match else None
        return found
    one, two = run(1), run(2)
    if None in one.values() or None in two.values():
        return None
    return {key: two[key] - one[key] for key in one}


def engine_rows(engine_timing, paths, runs=11, with_counts=True):
    with_counts = with_counts and shutil.which("valgrind") is not None
    print()
    print("The engine alone, memory to memory (`bench/engine_timing`, thread CPU time, median of "
          f"{runs} runs" + ("; counts from cachegrind's simulation of one conversion" if with_counts else "") + "):")
    print()
    print("| source | row | MB/s | instructions/byte | branches/byte | mispredicted/byte |")
    print("|---|---|---|---|---|---|")
    for path in paths:
        size = os.path.getsize(path)
        for row in ROWS:
            ms = median_ms(engine_timing, row, path, runs)
            rate = f"{size / 1e6 / (ms / 1e3):.0f}" if ms else "?"
            c = counts(engine_timing, row, path) if with_counts else None
            cells = [f"{c[k] / size:.2f}" if c else "" for k in ("ir", "branches")]
            cells.append(f"{c['mispredicts'] / size:.3f}" if c else "")
            print(f"| {os.path.basename(path)} ({size / 1e6:.0f} MB) | {row} | {rate} | " + " | ".join(cells) + " |")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("engine_timing")
    parser.add_argument("files", nargs="+")
    parser.add_argument("--runs", type=int, default=11)
    parser.add_argument("--counts", action=argparse.BooleanOptionalAction, default=True)
    args = parser.parse_args()
    engine_rows(args.engine_timing, args.files, args.runs, args.counts)


if __name__ == "__main__":
    main()
