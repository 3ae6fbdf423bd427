#!/usr/bin/env python3
"""Throughput of prismet against the converters Debian packages and two
baselines, on C++ corpora of about 1, 10 and 100 MB made from the libstdc++
headers on this machine. Prints, per size, each tool's MB/s (median of the
runs), its ratio to prismet and its peak resident memory.

Usage: bench/run.py BUILD_DIR [--sizes 1,10,100] [--runs 5] [--wine CMD]
Ratios from one run are the figures that count: the machine is shared."""
import argparse
import glob
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

MB = 1000 * 1000


def make_corpus(folder, megabytes):
    path = os.path.join(folder, f"corpus-{megabytes}mb.cpp")
    if os.path.exists(path) and os.path.getsize(path) == megabytes * MB:
        return path
    headers = sorted(f for f in glob.glob("/usr/include/c++/*/**", recursive=True) if os.path.isfile(f))
    if not headers:
        sys.exit("no C++ headers under /usr/include/c++")
    chunk = b"".join(open(h, "rb").read() for h in headers)
    with open(path, "wb") as out:
        left = megabytes * MB
        while left > 0:
            piece = chunk[:left]
            out.write(piece)
            left -= len(piece)
    return path


def measure(command, runs, timeout, outputs=()):
    """Median seconds and peak RSS (KB) of `command` over `runs` runs. The
    `outputs` are deleted before each run, so that no tool pays for
    replacing a large file that an earlier run left (file systems may write
    such a file out at once rather than later)."""
    seconds, peaks = [], []
    for _ in range(runs):
        for output in outputs:
            if os.path.exists(output):
                os.remove(output)
        # GNU time writes the peak to a file of its own: a helper process that
        # a program leaves behind (Wine's services) may hold the standard
        # streams open long after the program ended.
        with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as peak_file:
            start = time.perf_counter()
            done = subprocess.run(["/usr/bin/time", "-o", peak_file.name, "-f", "%M"] + command,
                                  stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                  stderr=subprocess.DEVNULL, timeout=timeout)
            elapsed = time.perf_counter() - start
            if done.returncode != 0:
                return None
            seconds.append(elapsed)
            peaks.append(int(peak_file.read().strip().splitlines()[-1]))
    return statistics.median(seconds), max(peaks)


def prismet_folder(work, program, mode_lines):
    """A copy of the program with its own settings file (no dialog)."""
    folder = os.path.join(work, "prismet-bin")
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, os.path.basename(program))
    shutil.copy(program, target)
    base = os.path.splitext(target)[0] if target.endswith(".exe") else target
    with open(base + ".ini", "wb") as ini:
        ini.write("[prismet]\r\nダイアログを表示=0\r\n".encode("cp932"))
        ini.write(mode_lines.encode("cp932"))
    return target


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--sizes", default="1,10,100")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--wine", default="", help="command prefix that runs a Windows program")
    parser.add_argument("--windows-program", default="")
    parser.add_argument("--peer-limit", type=int, default=10, help="largest size (MB) the peers run on")
    args = parser.parse_args()

    work = os.path.join(args.build, "bench")
    os.makedirs(work, exist_ok=True)
    full = ("[full]\r\n行番号を表示=1\r\nタブを空白に展開=1\r\n空白を &nbsp; に変換=1\r\n")
    program = prismet_folder(work, os.path.join(args.build, "app", "prismet"), full)
    out = os.path.join(work, "out.html")

    tools = [
        ("prismet", lambda src: [program, src], None),
        ("prismet (numbers, tabs, &nbsp;)", lambda src: [program, "/mode:full", src], None),
    ]
    wine_startup = None
    if args.wine and args.windows_program:
        exe = prismet_folder(os.path.join(work, "win"), args.windows_program, "")
        wine_command = lambda src: args.wine.split() + [exe, "Z:" + src.replace("/", "\\")]
        tools.append(("prismet.exe under Wine", wine_command, None))
        # Wine takes a fixed time to start any program; a run that finds no
        # file to convert measures it, so the conversion's own speed can be
        # told apart from it.
        wine_startup = measure(wine_command(os.path.join(work, "no-such-file.cpp")), args.runs, 600)
    tools += [
        ("escape-only baseline", lambda src: [os.path.join(args.build, "bench", "escape_baseline"), src, out], None),
        ("byte-copy baseline", lambda src: [os.path.join(args.build, "bench", "copy_baseline"), src, out], None),
        ("java2html", lambda src: ["sh", "-c", f"java2html < '{src}' > '{out}'"], "peer"),
        ("highlight", lambda src: ["highlight", "-i", src, "-o", out, "--syntax=cpp"], "peer"),
        ("source-highlight", lambda src: ["source-highlight", "-s", "cpp", "-f", "html", "-i", src, "-o", out],
         "peer"),
        ("pygments", lambda src: ["/usr/bin/pygmentize", "-l", "cpp", "-f", "html", "-o", out, src], "peer"),
    ]

    print(f"| size | tool | MB/s | ratio to prismet | peak RSS |")
    print(f"|---|---|---|---|---|")
    for size in (int(s) for s in args.sizes.split(",")):
        source = make_corpus(work, size)
        results = []
        for name, command, kind in tools:
            if kind == "peer" and size > args.peer_limit:
                continue
            if kind == "peer" and shutil.which(command(source)[0] if command(source)[0] != "sh" else name) is None:
                continue
            page = os.path.splitext(source)[0] + ".htm"
            measured = measure(command(source), args.runs if size < 100 else max(1, args.runs // 2), 1800,
                               (out, page))
            results.append((name, measured))
        if wine_startup is not None:
            wine = dict(results).get("prismet.exe under Wine")
            if wine is not None and wine[0] > wine_startup[0]:
                results.append((f"prismet.exe under Wine, less {wine_startup[0] * 1000:.0f} ms start-up",
                                (wine[0] - wine_startup[0], wine[1])))
        base = dict(results)["prismet"]
        for name, measured in results:
            if measured is None:
                print(f"| {size} MB | {name} | failed | | |")
                continue
            seconds, peak = measured
            speed = size / seconds
            ratio = base[0] / seconds if base else float("nan")
            print(f"| {size} MB | {name} | {speed:.1f} | {ratio:.2f} | {peak / 1024:.1f} MB |")
        sys.stdout.flush()


if __name__ == "__main__":
    main()
