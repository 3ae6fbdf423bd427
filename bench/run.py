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
import signal
import statistics
import sys
import tempfile
import threading
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


def run_once(command, stdin=None, stdout=None, outputs=(), timeout=1800):
    """Seconds of one run of `command`, or None when it fails. The `outputs`
    are deleted first, so that no tool pays for replacing a large file that
    an earlier run left (file systems may write such a file out at once
    rather than later). The program is spawned directly, so no shell or
    timing program adds its own start to the figure, and only the program
    itself is waited for: a helper process it leaves behind (Wine's
    services) cannot hold the harness up."""
    for output in outputs:
        if os.path.exists(output):
            os.remove(output)
    actions = [(os.POSIX_SPAWN_OPEN, 0, stdin or os.devnull, os.O_RDONLY, 0),
               (os.POSIX_SPAWN_OPEN, 1, stdout or os.devnull, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644),
               (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    start = time.perf_counter()
    pid = os.posix_spawnp(command[0], command, os.environ, file_actions=actions)
    watchdog = threading.Timer(timeout, os.kill, (pid, signal.SIGKILL))
    watchdog.start()
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    watchdog.cancel()
    return elapsed if os.waitstatus_to_exitcode(status) == 0 else None


def peak_memory(command, stdin=None, stdout=None, outputs=()):
    """Peak resident memory (KB) of one more run, under GNU time: a process
    spawned straight from this script would inherit the script's own peak."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as peak_file:
        if run_once(["/usr/bin/time", "-o", peak_file.name, "-f", "%M"] + command, stdin, stdout, outputs) is None:
            return None
        return int(peak_file.read().strip().splitlines()[-1])


def summarize(seconds, peak):
    """Median seconds of the runs and the peak; None when a run failed."""
    if not seconds or peak is None or any(s is None for s in seconds):
        return None
    return statistics.median(seconds), peak


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
    parser.add_argument("--warmup", type=int, default=1, help="untimed runs before each timed run")
    parser.add_argument("--samples", action="store_true", help="also print every run's time (ms) to stderr")
    args = parser.parse_args()

    work = os.path.join(args.build, "bench")
    os.makedirs(work, exist_ok=True)
    full = ("[full]\r\n行番号を表示=1\r\nタブを空白に展開=1\r\n空白を &nbsp; に変換=1\r\n")
    program = prismet_folder(work, os.path.join(args.build, "app", "prismet"), full)
    out = os.path.join(work, "out.html")

    # name -> argv, standard input, standard output; "peer" tools only run
    # up to --peer-limit MB.
    def tool(name, argv, kind=None, stdin=None, stdout=None):
        return {"name": name, "argv": argv, "kind": kind, "stdin": stdin, "stdout": stdout}

    tools = [
        tool("prismet", lambda src: [program, src]),
        tool("prismet (numbers, tabs, &nbsp;)", lambda src: [program, "/mode:full", src]),
    ]
    startup_name = None
    if args.wine and args.windows_program:
        exe = prismet_folder(os.path.join(work, "win"), args.windows_program, "")
        wine_command = lambda src: args.wine.split() + [exe, "Z:" + src.replace("/", "\\")]
        tools.append(tool("prismet.exe under Wine", wine_command))
        # Wine takes a fixed time to start any program; a run that finds no
        # file to convert measures it, so the conversion's own speed can be
        # told apart from it. It is not a row of its own.
        startup_name = "Wine start-up"
        tools.append(tool(startup_name, lambda src: wine_command(os.path.join(work, "no-such-file.cpp"))))
    escape = os.path.join(args.build, "bench", "escape_baseline")
    copy = os.path.join(args.build, "bench", "copy_baseline")
    tools += [
        tool("escape-only baseline", lambda src: [escape, src, out]),
        tool("byte-copy baseline", lambda src: [copy, src, out]),
        tool("java2html", lambda src: ["java2html"], "peer", stdin=lambda src: src, stdout=lambda src: out),
        tool("highlight", lambda src: ["highlight", "-i", src, "-o", out, "--syntax=cpp"], "peer"),
        tool("source-highlight", lambda src: ["source-highlight", "-s", "cpp", "-f", "html", "-i", src, "-o", out],
             "peer"),
        tool("pygments", lambda src: ["/usr/bin/pygmentize", "-l", "cpp", "-f", "html", "-o", out, src], "peer"),
    ]

    print(f"| size | tool | MB/s | ratio to prismet | peak RSS |")
    print(f"|---|---|---|---|---|")
    for size in (int(s) for s in args.sizes.split(",")):
        source = make_corpus(work, size)
        page = os.path.splitext(source)[0] + ".htm"
        chosen = [t for t in tools
                  if t["kind"] != "peer" or (size <= args.peer_limit and shutil.which(t["argv"](source)[0]))]
        # The tools take turns, run by run, so that a change in the machine's
        # state (the disk cache, another process) falls on all of them alike.
        samples = {t["name"]: [] for t in chosen}
        runs = args.runs if size < 100 else max(1, args.runs // 2)
        def streams(t):
            return t["argv"](source), t["stdin"] and t["stdin"](source), t["stdout"] and t["stdout"](source)

        for _ in range(runs):
            for t in chosen:
                # An untimed run first: the tool then meets the machine as it
                # left it (files cached, memory handed out and taken back),
                # not as the tool before it left it.
                for _ in range(args.warmup):
                    run_once(*streams(t), (out, page))
                samples[t["name"]].append(run_once(*streams(t), (out, page)))
        if args.samples:
            for name, seconds in samples.items():
                times = " ".join("failed" if x is None else f"{x * 1000:.0f}" for x in seconds)
                print(f"{size} MB {name}: {times}", file=sys.stderr)
        peaks = {t["name"]: peak_memory(*streams(t), (out, page)) for t in chosen}
        results = [(t["name"], summarize(samples[t["name"]], peaks[t["name"]]))
                   for t in chosen if t["name"] != startup_name]
        if startup_name is not None:
            startup = summarize(samples[startup_name], peaks[startup_name])
            wine = dict(results).get("prismet.exe under Wine")
            if startup is not None and wine is not None and wine[0] > startup[0]:
                results.append((f"prismet.exe under Wine, less {startup[0] * 1000:.0f} ms start-up",
                                (wine[0] - startup[0], wine[1])))
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
