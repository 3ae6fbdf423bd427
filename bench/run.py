#!/usr/bin/env python3
"""Throughput of prismet against the converters Debian packages and two
baselines of our own, on C++ corpora of about 1, 10 and 100 MB made from the
libstdc++ headers on this machine, and on those headers as a tree of files
named in one command.

Usage: bench/run.py BUILD_DIR [--dir DIR] [--sizes 1,10,100] [--runs 5]
                    [--vocabulary-keywords 1000000] [--settings-sizes 5,20,200]
                    [--wine CMD --windows-program EXE --windows-label TEXT]

The tools take turns, run by run. Each tool's speed is the median of its
runs; its ratio to prismet is the median of the ratios taken run by run
(the tool's run against prismet's run of the same round), with the lowest
and highest of them, so that a change in the machine's state between rounds
falls on both sides of every ratio."""
import argparse
import glob
import os
import shlex
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

from engine_rows import engine_rows

MB = 1000 * 1000
PRISMET = "prismet"
FULL = "prismet (numbers, tabs, &nbsp;)"
WINE_STARTUP = "Wine start-up"
# Reads the source in large blocks and writes as many bytes as prismet's page.
FLOOR = "I/O floor"


def headers_root():
    roots = sorted(glob.glob("/usr/include/c++/*"))
    if not roots:
        sys.exit("no C++ headers under /usr/include/c++")
    return roots[-1]


def header_files(root):
    return sorted(os.path.join(d, f) for d, _, files in os.walk(root) for f in files)


def make_corpus(folder, megabytes):
    path = os.path.join(folder, f"corpus-{megabytes}mb.cpp")
    if os.path.exists(path) and os.path.getsize(path) == megabytes * MB:
        return path
    chunk = b"".join(open(h, "rb").read() for h in header_files(headers_root()))
    with open(path, "wb") as out:
        left = megabytes * MB
        while left > 0:
            piece = chunk[:left]
            out.write(piece)
            left -= len(piece)
    return path


def make_tree(folder):
    """A copy of the libstdc++ headers as they lie (pages are written beside
    their sources, so the tree must be ours); returns the folder and the
    files, relative to it, in a fixed order. Of sources that would share a
    page (`bits/random.h` and `bits/random.tcc` both make `bits/random.htm`)
    only the first is named: prismet refuses the second, so every tool
    converts the same files and prismet's run ends with success."""
    tree = os.path.join(folder, "tree")
    if not os.path.isdir(tree):
        shutil.copytree(headers_root(), tree + ".partial")
        os.rename(tree + ".partial", tree)
    files, pages = [], set()
    for path in sorted(os.path.relpath(p, tree) for p in header_files(tree) if not p.endswith((".htm", ".html"))):
        page = os.path.splitext(path)[0]
        if page not in pages:
            pages.add(page)
            files.append(path)
    return tree, files


def clear_tree(tree, extra_folders):
    for path in header_files(tree):
        if path.endswith((".htm", ".html")):
            os.remove(path)
    for folder in extra_folders:
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)


def spawn_once(command, stdin, stdout, timeout):
    """Seconds of one run of `command`, spawned directly (no shell or timing
    program adds its own start), or None when it fails. Only the program
    itself is waited for: a helper process it leaves behind (Wine's
    services) cannot hold the harness up."""
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


def spawn_in(command, cwd, timeout):
    """The same for a command run in folder `cwd` (the tree's tools name
    their files relative to it, so that a command line of hundreds of files
    stays within Windows' 32,767 characters)."""
    start = time.perf_counter()
    with subprocess.Popen(command, cwd=cwd, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL) as process:
        try:
            status = process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            return None
    elapsed = time.perf_counter() - start
    return elapsed if status == 0 else None


class Tool:
    """One row: how to run the tool on a corpus file or on the tree's files.
    `slow` tools (minutes per 100 MB) run only up to --peer-limit MB."""

    def __init__(self, name, single=None, tree=None, stdin=False, stdout=False, slow=False, extra_out=None):
        self.name, self.single, self.tree = name, single, tree
        self.stdin, self.stdout, self.slow = stdin, stdout, slow
        self.extra_out = extra_out  # a folder the tool writes the tree's pages into

    def run(self, source, out, timeout=1800):
        argv = self.single(source, out)
        return spawn_once(argv, source if self.stdin else None, out if self.stdout else None, timeout)

    def run_tree(self, tree, files, timeout=1800):
        return spawn_in(self.tree(files), tree, timeout)


def peak_kb(command, cwd=None, stdin=None, stdout=None):
    """Peak resident memory (KB) of one more run, under GNU time: a process
    spawned straight from this script would inherit the script's own peak."""
    with tempfile.NamedTemporaryFile(mode="r", suffix=".rss") as peak_file:
        argv = ["/usr/bin/time", "-o", peak_file.name, "-f", "%M"] + command
        with open(stdin or os.devnull, "rb") as i, open(stdout or os.devnull, "wb") as o:
            if subprocess.run(argv, cwd=cwd, stdin=i, stdout=o, stderr=subprocess.DEVNULL).returncode != 0:
                return None
        return int(peak_file.read().strip().splitlines()[-1])


def keyword_lines(count):
    """`count` keywords "foo0", "foo1", ...: those of one length share their
    first two bytes, and a hundred at a time their last two, so a keyword
    index that hashes only a word's ends and length puts them on a few long
    probe chains."""
    return "".join(f"foo{i}\n" for i in range(count)).encode("ascii")


def make_vocabularies(folder, count):
    """Two vocabulary files of `count` such keywords: one adds them, the other
    adds them and then removes them again, one line each."""
    words = keyword_lines(count)
    paths = {}
    for name, body in (("shared-ends", b"[+keyword]\n" + words),
                       ("added-and-removed", b"[+keyword]\n" + words + b"[-keyword]\n" + words)):
        path = os.path.join(folder, f"vocabulary-{count}-{name}.txt")
        content = b"#version 00000000\n" + body
        if not os.path.exists(path) or os.path.getsize(path) != len(content):
            with open(path + ".partial", "wb") as out:
                out.write(content)
            os.rename(path + ".partial", path)
        paths[name] = path
    return paths


def prismet_folder(work, name, program, mode_lines, keys=""):
    """A copy of the program with its own settings file beside it (which
    wins over the user's), no dialog; `keys` ("KEY=VALUE,...") go into its
    default mode."""
    folder = os.path.join(work, name)
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, os.path.basename(program))
    shutil.copy(program, target)
    base = os.path.splitext(target)[0] if target.endswith(".exe") else target
    with open(base + ".ini", "wb") as ini:
        ini.write("[prismet]\r\nダイアログを表示=0\r\n".encode("cp932"))
        ini.write("".join(f"{key}\r\n" for key in keys.split(",") if key).encode("cp932"))
        ini.write(mode_lines.encode("cp932"))
    return target


def median_range(values):
    values = [v for v in values if v is not None]
    if not values:
        return None
    return statistics.median(values), min(values), max(values)


def ratio_text(stats):
    if stats is None:
        return "failed"
    median, low, high = stats
    return f"{median:.2f} ({low:.2f}–{high:.2f})"


def take_turns(tools, run, runs, warmup, before_each):
    """Seconds per tool and round; the tools take turns, each timed run after
    `warmup` untimed ones of the same tool, so the tool meets the machine as
    it left it (files cached, memory handed out and taken back), not as the
    tool before it left it."""
    seconds = {t.name: [] for t in tools}
    for _ in range(runs):
        for t in tools:
            for _ in range(warmup):
                before_each(t)
                run(t)
            before_each(t)
            seconds[t.name].append(run(t))
    return seconds


def print_samples(label, seconds):
    """Every run's time in ms, a line per tool, on standard error."""
    for name, times in seconds.items():
        print(f"{label} {name}: " + " ".join("failed" if x is None else f"{x * 1000:.0f}" for x in times),
              file=sys.stderr)


def pair_ratios(seconds, name, base=PRISMET):
    """The tool's speed over prismet's, round by round."""
    return [b / s if s and b else None for s, b in zip(seconds[name], seconds[base])]


def less_startup(seconds, wine_name):
    """The Windows program's rounds less the Wine start-up of the same round."""
    return [w - s if w and s and w > s else None for w, s in zip(seconds[wine_name], seconds[WINE_STARTUP])]


def print_rows(label, tools, seconds, megabytes, peaks, per_file=None):
    for t in tools:
        if t.name == WINE_STARTUP:
            continue
        times = [s for s in seconds[t.name] if s]
        if len(times) < len(seconds[t.name]) or not times:
            print(f"| {label} | {t.name} | failed | | |" + (" |" if per_file else ""))
            continue
        speed = megabytes / statistics.median(times)
        ratio = ratio_text(median_range(pair_ratios(seconds, t.name)))
        peak = f"{peaks[t.name] / 1024:.1f} MB" if peaks.get(t.name) else "?"
        files = f" {statistics.median(times) * 1000 / per_file:.2f} |" if per_file else ""
        print(f"| {label} | {t.name} | {speed:.1f} | {ratio} |{files} {peak} |")
    wine = next((t.name for t in tools if t.name.startswith("prismet.exe")), None)
    if wine and WINE_STARTUP in seconds:
        net = less_startup(seconds, wine)
        start = statistics.median([s for s in seconds[WINE_STARTUP] if s] or [0])
        if all(net):
            speed = megabytes / statistics.median(net)
            ratios = [b / n for n, b in zip(net, seconds[PRISMET]) if b]
            files = f" {statistics.median(net) * 1000 / per_file:.2f} |" if per_file else ""
            print(f"| {label} | {wine}, less {start * 1000:.0f} ms start-up | {speed:.1f} | "
                  f"{ratio_text(median_range(ratios))} |{files} |")


def print_seconds_table(first_column, tools, seconds, source, clear):
    """A table of each tool's seconds on one source, median (min–max), with
    its peak memory from one more run."""
    print(f"| {first_column} | seconds, median (min–max) | peak RSS |")
    print("|---|---|---|")
    for t in tools:
        times = [x for x in seconds[t.name] if x]
        clear(None)
        peak = peak_kb(t.single(source, None))
        peak_text = f"{peak / 1024:.1f} MB" if peak else "?"
        if len(times) < len(seconds[t.name]) or not times:
            print(f"| {t.name} | failed | {peak_text} |")
            continue
        print(f"| {t.name} | {statistics.median(times):.3f} ({min(times):.3f}–{max(times):.3f}) | {peak_text} |")
    sys.stdout.flush()


def vocabulary_rows(work, program, vocabularies, args):
    """Load and conversion with a large vocabulary file: prismet on a 2 MB
    corpus with the built-in vocabulary, with the file that adds the keywords
    foo0, foo1, ..., and with the file that adds and then removes them (which
    leaves the built-in vocabulary, so its extra time is the file's)."""
    count = args.vocabulary_keywords
    source = make_corpus(work, 2)
    page = os.path.splitext(source)[0] + ".htm"
    tools = [Tool(PRISMET, lambda s, o: [program, s])]
    labels = {"shared-ends": f"prismet, {count:,} keywords foo0, foo1, ...",
              "added-and-removed": f"prismet, {count:,} keywords added and removed"}
    for mode in vocabularies:
        tools.append(Tool(labels[mode], lambda s, o, mode=mode: [program, f"/mode:{mode}", s]))

    def clear(_):
        if os.path.exists(page):
            os.remove(page)

    seconds = take_turns(tools, lambda t: t.run(source, None, timeout=7200), args.runs, args.warmup, clear)
    if args.samples:
        print_samples("vocabulary", seconds)
    print()
    print(f"A 2 MB corpus with the vocabulary files of {count:,} keywords "
          f"({', '.join(os.path.basename(p) for p in vocabularies.values())}):")
    print()
    print_seconds_table("tool", tools, seconds, source, clear)


# The html5 mode of the packages as the benchmark runs it: automatic
# encoding, UTF-8 pages, the C++26 vocabulary, classes; without the header
# and footer, and with the default's extension, so both modes write one page.
HTML5 = "prismet, html5 mode"
HTML5_TAGS = [("<全体>", '<pre class="prismet">'), ("</全体>", "</pre>"), ("<ｺﾒﾝﾄ>", '<span class="comment">'),
              ("</ｺﾒﾝﾄ>", "</span>"), ("<ｷｰﾜｰﾄﾞ>", '<span class="keyword">'), ("</ｷｰﾜｰﾄﾞ>", "</span>"),
              ("<文字列>", '<span class="string">'), ("</文字列>", "</span>"), ("<文字定数>", '<span class="char">'),
              ("</文字定数>", "</span>"), ("<定数>", '<span class="number">'), ("</定数>", "</span>")]


def html5_mode_lines():
    vocabulary = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res", "share", "prismet-cpp26.voc")
    lines = ["[html5]", "文字コード=自動", f"語彙ファイル={os.path.abspath(vocabulary)}", "前に挿入=", "後に挿入=",
             "行のアンカー=1"]
    lines += [f"{key}={value}" for key, value in HTML5_TAGS]
    return "\r\n".join(lines) + "\r\n"


def japanese_corpus(work, megabytes, encoding):
    """The corpus with a Japanese comment and string every tenth line, in
    UTF-8 or Shift_JIS."""
    path = os.path.join(work, f"corpus-{megabytes}mb-{encoding}.cpp")
    if not os.path.exists(path):
        text = open(make_corpus(work, megabytes), "rb").read().decode("latin-1").split("\n")
        japanese = '// 日本語のコメント: 文字列 "あいう" を数える。 auto s = u8"漢字かな";'
        lines = []
        for number, line in enumerate(text):
            lines.append(line.encode("latin-1"))
            if number % 10 == 9:
                lines.append(japanese.encode(encoding))
        with open(path + ".tmp", "wb") as out:
            out.write(b"\n".join(lines))
        os.rename(path + ".tmp", path)
    return path


def html5_rows(work, program, args):
    """The html5 mode against the default, pair by pair, on a UTF-8 and a
    Shift_JIS corpus of 10 MB: each mode's MB/s of source, and its output
    bytes per second over the default's."""
    tools = [Tool(PRISMET, lambda s, o: [program, s]), Tool(HTML5, lambda s, o: [program, "/mode:html5", s])]
    print()
    print("The html5 mode (automatic encoding, UTF-8 pages, the C++26 vocabulary, classes) on 10 MB corpora "
          "with Japanese text every tenth line:")
    print()
    print("| corpus | default, MB/s | html5, MB/s | page, default | page, html5 | output bytes/s of html5 over the "
          "default's, median of pairs (min–max) |")
    print("|---|---|---|---|---|---|")
    for encoding, label in (("utf-8", "UTF-8"), ("cp932", "Shift_JIS")):
        source = japanese_corpus(work, 10, encoding)
        page = os.path.splitext(source)[0] + ".htm"

        def clear(_):
            if os.path.exists(page):
                os.remove(page)

        seconds = take_turns(tools, lambda t: t.run(source, None), args.runs, args.warmup, clear)
        if args.samples:
            print_samples(f"html5 {label}", seconds)
        sizes = {}
        for t in tools:
            clear(None)
            t.run(source, None)
            sizes[t.name] = os.path.getsize(page) if os.path.exists(page) else 0
        megabytes = os.path.getsize(source) / MB
        speed = {name: megabytes / statistics.median(times) if all(times) else 0 for name, times in seconds.items()}
        ratios = [sizes[HTML5] / h / (sizes[PRISMET] / d) if h and d and sizes[PRISMET] else None
                  for h, d in zip(seconds[HTML5], seconds[PRISMET])]
        print(f"| {label} | {speed[PRISMET]:.1f} | {speed[HTML5]:.1f} | {sizes[PRISMET] / MB:.1f} MB | "
              f"{sizes[HTML5] / MB:.1f} MB | {ratio_text(median_range(ratios))} |")
        sys.stdout.flush()


def settings_rows(work, build, sizes, args):
    """One small source converted by a copy of the program whose settings file
    beside it has grown to each size with sections it does not use: the cost
    of reading the settings once and writing them back once."""
    source = os.path.join(work, "settings-row.cpp")
    with open(source, "wb") as out:
        out.write(b"int x;\n")
    page = os.path.splitext(source)[0] + ".htm"
    tools = []
    for size in sizes:
        program = prismet_folder(work, f"prismet-settings-{size}mb", os.path.join(build, "app", "prismet"), "")
        ini = program + ".ini"
        line = b"padding=" + b"x" * 90 + b"\r\n"
        with open(ini, "ab") as out:
            written = 0
            section = 0
            while written < size * MB:
                block = f"[unused{section}]\r\n".encode("ascii") + line * 1000
                out.write(block)
                written += len(block)
                section += 1
        tools.append(Tool(f"prismet, settings file of {size} MB", lambda s, o, p=program: [p, s]))

    def clear(_):
        if os.path.exists(page):
            os.remove(page)

    seconds = take_turns(tools, lambda t: t.run(source, None, timeout=600), args.runs, args.warmup, clear)
    print()
    print("One 7-byte source, with a settings file of each size beside the program:")
    print()
    print_seconds_table("settings file", tools, seconds, source, clear)


def make_synthetic_tree(folder, folders=1000, files_per_folder=100):
    """`folders` folders (ten above ten above ten) of `files_per_folder`
    small sources each."""
    tree = os.path.join(folder, f"synthetic-{folders * files_per_folder}")
    if os.path.isdir(tree):
        return tree
    partial = tree + ".partial"
    shutil.rmtree(partial, ignore_errors=True)
    body = b"// a small source\n#include <vector>\nint f(int x) { return x * 2; }  /* twice */\n" * 3
    for n in range(folders):
        leaf = os.path.join(partial, f"d{n // 100}", f"d{n // 10 % 10}", f"d{n % 10}")
        os.makedirs(leaf, exist_ok=True)
        for i in range(files_per_folder):
            with open(os.path.join(leaf, f"f{i}.cpp"), "wb") as out:
                out.write(body)
    os.rename(partial, tree)
    return tree


def headers_with_extensions(folder):
    """The libstdc++ headers with ".h" behind every name without an
    extension, so that a folder argument takes them all."""
    tree = os.path.join(folder, "headers-tree")
    if not os.path.isdir(tree):
        shutil.copytree(headers_root(), tree + ".partial")
        for path in header_files(tree + ".partial"):
            if "." not in os.path.basename(path):
                os.rename(path, path + ".h")
        os.rename(tree + ".partial", tree)
    sources = (".c", ".cc", ".cpp", ".cxx", ".c++", ".h", ".hh", ".hpp", ".hxx", ".h++", ".inl", ".ipp", ".tcc",
               ".ixx", ".cppm")
    return tree, sorted(os.path.relpath(p, tree) for p in header_files(tree) if p.endswith(sources))


def whole_tree_rows(work, program, copy, args):
    """Folders named on the command line: a synthetic tree of 100,000 small
    files on one and two workers, the libstdc++ headers against a baseline
    that only opens, reads, creates, writes and renames, and a second run
    over an unchanged tree."""
    synthetic = make_synthetic_tree(work)
    site = os.path.join(work, "site")

    def clear(_):
        shutil.rmtree(site, ignore_errors=True)

    def jobs(n):
        return Tool(f"prismet -j {n}", lambda s, o: [program, "-q", "-j", str(n), "-o", site, synthetic])

    tools = [jobs(1), jobs(2)]
    runs = max(3, args.runs // 2)
    seconds = take_turns(tools, lambda t: t.run(None, None), runs, 0, clear)
    peaks = {}
    for t in tools:
        clear(None)
        peaks[t.name] = peak_kb(t.single(None, None))
    print()
    print(f"Whole trees ({os.cpu_count()} cores): a synthetic tree of 100,000 sources (210 bytes each) in 1,000 "
          "folders into an output folder:")
    print()
    print("| tool | files/s | speed over -j 1, median of pairs (min–max) | peak RSS |")
    print("|---|---|---|---|")
    for t in tools:
        times = seconds[t.name]
        rate = 100000 / statistics.median(times) if all(times) else 0
        ratios = [a / b if a and b else None for a, b in zip(seconds[tools[0].name], times)]
        peak = f"{peaks[t.name] / 1024:.1f} MB" if peaks[t.name] else "?"
        print(f"| {t.name} | {rate:,.0f} | {ratio_text(median_range(ratios))} | {peak} |")

    # The second run: nothing changed since the first; on one thread, and
    # on the default one per processor (the command a user types).
    print()
    print("| second run over the unchanged tree | first run | second run | second over first, median of "
          "pairs (min–max) |")
    print("|---|---|---|---|")
    for label, threads in (("-j 1", ["-j", "1"]), ("default -j", [])):
        first, again = [], []
        for _ in range(runs):
            clear(None)
            first.append(spawn_once([program, "-q"] + threads + ["-o", site, synthetic], None, None, 1800))
            again.append(spawn_once([program, "-q"] + threads + ["-o", site, synthetic], None, None, 1800))
        ratios = [b / a if a and b else None for a, b in zip(first, again)]
        print(f"| 100,000 files, {label} | {statistics.median([x for x in first if x]):.2f} s | "
              f"{statistics.median([x for x in again if x]):.2f} s | {ratio_text(median_range(ratios))} |")
    clear(None)

    tree, files = headers_with_extensions(work)

    def clear_pages(_):
        clear_tree(tree, [])

    baseline = Tool("open, read, create, write, rename", lambda s, o: [copy, "--replace"] +
                    [os.path.join(tree, f) for f in files])
    # On one thread, and on the default one per processor (what `prismet
    # FOLDER` does).
    base = [Tool("prismet -j 1 --force FOLDER", lambda s, o: [program, "-q", "-j", "1", "--force", tree]),
            Tool("prismet --force FOLDER", lambda s, o: [program, "-q", "--force", tree]), baseline]
    seconds = take_turns(base, lambda t: t.run(None, None), args.runs, args.warmup, clear_pages)
    clear_pages(None)
    megabytes = sum(os.path.getsize(os.path.join(tree, f)) for f in files) / MB
    print()
    print(f"| libstdc++ headers as a folder ({len(files)} files, {megabytes:.1f} MB, {file_system_of(work)}) | "
          "prismet | baseline | prismet's speed over the baseline's, median of pairs (min–max) |")
    print("|---|---|---|---|")
    for t in base[:2]:
        ratios = [b / a if a and b else None for a, b in zip(seconds[t.name], seconds[baseline.name])]
        print(f"| {t.name} | {statistics.median([x for x in seconds[t.name] if x]) * 1000:.0f} ms "
              f"| {statistics.median([x for x in seconds[baseline.name] if x]) * 1000:.0f} ms | "
              f"{ratio_text(median_range(ratios))} |")

    # The headers' second run: every page still current.
    first, again = [], []
    for _ in range(args.runs):
        first.append(spawn_once([program, "-q", "-j", "1", "--force", tree], None, None, 1800))
        again.append(spawn_once([program, "-q", "-j", "1", tree], None, None, 1800))
    clear_pages(None)
    ratios = [b / a if a and b else None for a, b in zip(first, again)]
    print()
    print("| second run over the unchanged headers (-j 1) | first run | second run | second over first, median of "
          "pairs (min–max) |")
    print("|---|---|---|---|")
    print(f"| {len(files)} files | {statistics.median([x for x in first if x]) * 1000:.0f} ms | "
          f"{statistics.median([x for x in again if x]) * 1000:.0f} ms | {ratio_text(median_range(ratios))} |")
    sys.stdout.flush()


def paired_mode_runs(program, modes, folder, output, runs, clear):
    """Each mode's first run (after `clear`) and second run of `folder`,
    one thread, the modes taking turns round by round: two dicts of the
    seconds of each mode's runs."""
    first = {mode: [] for mode in modes}
    again = {mode: [] for mode in modes}
    for _ in range(runs):
        for mode in modes:
            clear()
            command = [program, "-q", "-j", "1"] + (["-m", mode] if mode else []) + output + [folder]
            first[mode].append(spawn_once(command, None, None, 1800))
            again[mode].append(spawn_once(command, None, None, 1800))
    return first, again


def include_link_rows(work, program, args):
    """The tree rows with include links and line numbers on (the mode
    "links") beside the same rows with the built-in settings and with line
    numbers alone (the mode "numbers"): the synthetic tree and the libstdc++
    headers, first run and second run, one thread, round by round."""
    synthetic = make_synthetic_tree(work)
    site = os.path.join(work, "site")
    tree, files = headers_with_extensions(work)
    runs = max(3, args.runs // 2)
    print()
    print("| include links and line numbers (-j 1) | built-in settings | -m numbers | -m links | links over "
          "built-in, median of pairs (min–max) | links over numbers | per file, built-in → links |")
    print("|---|---|---|---|---|---|---|")
    modes = ("", "numbers", "links")
    for label, count, folder, output in (("100,000 files", 100000, synthetic, ["-o", site]),
                                         (f"libstdc++ headers ({len(files)} files)", len(files), tree, [])):
        def clear():
            shutil.rmtree(site, ignore_errors=True)
            clear_tree(tree, [])
        first, again = paired_mode_runs(program, modes, folder, output, runs, clear)
        for run_label, times in (("first run", first), ("second run", again)):
            ratios = [b / a if a and b else None for a, b in zip(times[""], times["links"])]
            over_numbers = [b / a if a and b else None for a, b in zip(times["numbers"], times["links"])]
            base, numbers, links = (statistics.median([x for x in times[mode] if x]) for mode in modes)
            print(f"| {label}, {run_label} | {base * 1000:.0f} ms | {numbers * 1000:.0f} ms | {links * 1000:.0f} ms | "
                  f"{ratio_text(median_range(ratios))} | {ratio_text(median_range(over_numbers))} | "
                  f"{base / count * 1e6:.1f} → {links / count * 1e6:.1f} µs |")
    shutil.rmtree(site, ignore_errors=True)
    clear_tree(tree, [])
    sys.stdout.flush()


def cross_reference_rows(work, program, args):
    """The tree rows with cross-references (the mode "xref": the mode "links"
    and 相互参照=1) beside the built-in settings and the mode "links": the
    synthetic tree and the libstdc++ headers into an output folder, first run
    and second run, one thread, round by round."""
    synthetic = make_synthetic_tree(work)
    site = os.path.join(work, "site")
    tree, files = headers_with_extensions(work)
    runs = max(3, args.runs // 2)
    print()
    print("| cross-references (-j 1, -o) | built-in settings | -m links | -m xref | xref over built-in, median of "
          "pairs (min–max) | xref over links | per file, built-in → links → xref |")
    print("|---|---|---|---|---|---|---|")
    modes = ("", "links", "xref")
    for label, count, folder in (("100,000 files", 100000, synthetic),
                                 (f"libstdc++ headers ({len(files)} files)", len(files), tree)):
        first, again = paired_mode_runs(program, modes, folder, ["-o", site], runs,
                                        lambda: shutil.rmtree(site, ignore_errors=True))
        for run_label, times in (("first run", first), ("second run", again)):
            ratios = [b / a if a and b else None for a, b in zip(times[""], times["xref"])]
            over_links = [b / a if a and b else None for a, b in zip(times["links"], times["xref"])]
            base, links, xref = (statistics.median([x for x in times[mode] if x]) for mode in modes)
            print(f"| {label}, {run_label} | {base * 1000:.0f} ms | {links * 1000:.0f} ms | {xref * 1000:.0f} ms | "
                  f"{ratio_text(median_range(ratios))} | {ratio_text(median_range(over_links))} | "
                  f"{base / count * 1e6:.1f} → {links / count * 1e6:.1f} → {xref / count * 1e6:.1f} µs |")
    shutil.rmtree(site, ignore_errors=True)
    sys.stdout.flush()


def cross_reference_peer_rows(work, program, args):
    """The headers made into a browsable site with cross-references: prismet
    (-m xref, every core) beside GNU global's gtags + htags (-s -a -n: the
    source pages with every name linked, the symbol lists and line
    numbers), each on its own copy of the tree, pair by pair: first runs
    into emptied outputs, then prismet's second run."""
    if not (shutil.which("gtags") and shutil.which("htags")):
        print("\n(no gtags/htags: the cross-reference peers' row is left out; Debian's package global)")
        return
    tree, files = headers_with_extensions(work)
    peer_tree = os.path.join(work, "headers-tree-global")
    if not os.path.isdir(peer_tree):
        shutil.copytree(tree, peer_tree, ignore=shutil.ignore_patterns("*.htm", "*.html", "index.*"))
    site = os.path.join(work, "xref-site")
    ours, again, theirs = [], [], []
    for _ in range(max(3, args.runs // 2)):
        shutil.rmtree(site, ignore_errors=True)
        ours.append(spawn_once([program, "-q", "-m", "xref", "-o", site, tree], None, None, 1800))
        again.append(spawn_once([program, "-q", "-m", "xref", "-o", site, tree], None, None, 1800))
        for name in ("GTAGS", "GRTAGS", "GPATH"):
            if os.path.exists(os.path.join(peer_tree, name)):
                os.unlink(os.path.join(peer_tree, name))
        shutil.rmtree(os.path.join(peer_tree, "HTML"), ignore_errors=True)
        index = spawn_in(["gtags"], peer_tree, 1800)
        pages = spawn_in(["htags", "-s", "-a", "-n"], peer_tree, 1800)
        theirs.append(index + pages if index and pages else None)
    ratios = [b / a if a and b else None for a, b in zip(ours, theirs)]
    print()
    print(f"The libstdc++ headers ({len(files)} files) as a site with cross-references, pair by pair:")
    print()
    print("| tool | first run | second run | gtags + htags over prismet, median of pairs (min–max) |")
    print("|---|---|---|---|")
    median = lambda xs: statistics.median([x for x in xs if x]) if any(xs) else float("nan")
    print(f"| prismet -m xref -o SITE | {median(ours) * 1000:.0f} ms | {median(again) * 1000:.0f} ms | |")
    print(f"| gtags + htags -s -a -n | {median(theirs) * 1000:.0f} ms | | {ratio_text(median_range(ratios))} |")
    shutil.rmtree(site, ignore_errors=True)
    sys.stdout.flush()


def file_stamps(folder):
    """Each file below `folder` by its path, with what a rewrite changes."""
    stamps = {}
    for root, _, names in os.walk(folder):
        for name in names:
            info = os.stat(os.path.join(root, name))
            stamps[os.path.join(root, name)] = (info.st_ino, info.st_mtime_ns, info.st_ctime_ns, info.st_size)
    return stamps


def cross_reference_edit_rows(work, program, args):
    """The second run of a site with cross-references (-m xref, every core)
    after one file is edited, against the first run: nothing edited; a line
    added at the end of a header many others include (no definition moves);
    a line added at its top (each of its definitions moves a line down, and
    every page that links one is made again); a line added to a leaf
    source. Every edit is undone, and the site brought back by an untimed
    run, before the next."""
    synthetic = make_synthetic_tree(work)
    tree, files = headers_with_extensions(work)
    hub = "bits/stl_algobase.h" if "bits/stl_algobase.h" in files else files[len(files) // 3]
    leaf = files[len(files) // 2]
    site = os.path.join(work, "edit-site")
    append = lambda text: text + b"// edited\n"
    prepend = lambda text: b"// edited\n" + text
    trees = (("100,000 files", synthetic, (("d5/d5/d5/f50.cpp", "a line at the end of a source", append),
                                           ("d5/d5/d5/f50.cpp", "a line at the top of a source", prepend))),
             (f"libstdc++ headers ({len(files)} files)", tree,
              ((hub, f"a line at the end of {hub}", append), (hub, f"a line at the top of {hub}", prepend),
               (leaf, f"a line at the end of {leaf}", append))))
    print()
    print("A site with cross-references (-m xref -o SITE, every core) made again after one edit, round by round:")
    print()
    print("| tree, edit | first run | second run | second over first, median (min–max) | pages and indexes "
          "rewritten | symbol files rewritten |")
    print("|---|---|---|---|---|---|")
    command = lambda folder: [program, "-q", "-m", "xref", "-o", site, folder]
    for label, folder, edits in trees:
        cases = [(None, "nothing edited", None)] + list(edits)
        first, again, rewritten = [], {i: [] for i in range(len(cases))}, {}
        for _ in range(max(3, args.runs // 2)):
            shutil.rmtree(site, ignore_errors=True)
            first.append(spawn_once(command(folder), None, None, 1800))
            for i, (name, _, edit) in enumerate(cases):
                original = None
                if name is not None:
                    path = os.path.join(folder, name)
                    with open(path, "rb") as source:
                        original = source.read()
                    with open(path, "wb") as source:
                        source.write(edit(original))
                before = file_stamps(site)
                again[i].append(spawn_once(command(folder), None, None, 1800))
                after = file_stamps(site)
                rewritten[i] = (sum(1 for p, stamp in after.items() if before.get(p) != stamp and "prismet-symbols" not in p),
                                sum(1 for p, stamp in after.items() if before.get(p) != stamp and "prismet-symbols" in p))
                if original is not None:
                    with open(path, "wb") as source:
                        source.write(original)
                    spawn_once(command(folder), None, None, 1800)
        base = statistics.median([x for x in first if x])
        print(f"| {label}, first run | {base * 1000:.0f} ms | | | | |")
        for i, (_, what, _) in enumerate(cases):
            ratios = [b / a if a and b else None for a, b in zip(first, again[i])]
            second = statistics.median([x for x in again[i] if x])
            stats = median_range(ratios)
            print(f"| {label}, {what} | | {second * 1000:.0f} ms | {stats[0] * 100:.1f}% "
                  f"({stats[1] * 100:.1f}–{stats[2] * 100:.1f}%) | {rewritten[i][0]} | {rewritten[i][1]} |")
    shutil.rmtree(site, ignore_errors=True)
    sys.stdout.flush()


def file_system_of(folder):
    return subprocess.run(["df", "--output=fstype", folder], capture_output=True, text=True).stdout.split()[-1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--dir", help="folder for the corpora, the tree and every output (a RAM file system "
                        "takes the disk's noise out); default BUILD/bench")
    parser.add_argument("--tree-dir", help="folder for the tree and its pages when they belong on another file "
                        "system than the corpora (the tree on the disk, the corpora in RAM); default --dir")
    parser.add_argument("--sizes", default="1,10,100")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--tree", action=argparse.BooleanOptionalAction, default=True,
                        help="also the headers as a tree of files in one command")
    parser.add_argument("--wine", default="", help="command prefix that runs a Windows program")
    parser.add_argument("--windows-program", default="")
    parser.add_argument("--windows-label", default="prismet.exe under Wine")
    parser.add_argument("--peer-limit", type=int, default=12, help="largest size (MB) the slow peers run on")
    parser.add_argument("--warmup", type=int, default=1, help="untimed runs before each timed run")
    parser.add_argument("--samples", action="store_true", help="also print every run's time (ms) to stderr")
    parser.add_argument("--whole-trees", action=argparse.BooleanOptionalAction, default=True,
                        help="the rows of folders named on the command line (a 100,000-file tree)")
    parser.add_argument("--include-links", action=argparse.BooleanOptionalAction, default=True,
                        help="the tree rows with include links and line numbers beside the built-in settings")
    parser.add_argument("--cross-references", action=argparse.BooleanOptionalAction, default=True,
                        help="the tree rows with cross-references (-m xref) beside -m links and the built-in "
                        "settings, into an output folder")
    parser.add_argument("--html5", action=argparse.BooleanOptionalAction, default=True,
                        help="also the html5 mode against the default on UTF-8 and Shift_JIS corpora")
    parser.add_argument("--engine", action=argparse.BooleanOptionalAction, default=True,
                        help="also the engine alone, memory to memory, on the 10 MB corpora (bytes per second; "
                        "instructions and branches per byte when valgrind is installed)")
    parser.add_argument("--settings-sizes", default="5,20,200",
                        help="sizes (MB) of the settings files of the settings rows; empty: no such rows")
    parser.add_argument("--vocabulary-keywords", type=int, default=1000000,
                        help="keywords of the vocabulary rows (a 2 MB corpus with a vocabulary file of that many "
                        "keywords foo0, foo1, ..., and with one that adds and removes them); 0 for none")
    parser.add_argument("--prismet-keys", default="",
                        help="KEY=VALUE,... added to the default mode prismet runs in (such as "
                        "サイトのナビゲーション=1,行番号を表示=1,行のアンカー=1)")
    args = parser.parse_args()

    args.build = os.path.abspath(args.build)
    work = os.path.abspath(args.dir or os.path.join(args.build, "bench"))
    os.makedirs(work, exist_ok=True)
    full = "[full]\r\n行番号を表示=1\r\nタブを空白に展開=1\r\n空白を &nbsp; に変換=1\r\n" + html5_mode_lines()
    full += "[numbers]\r\n行番号を表示=1\r\n行のアンカー=1\r\n"
    full += "[links]\r\n行番号を表示=1\r\n行のアンカー=1\r\nインクルードのリンク=1\r\n"
    full += "[xref]\r\n行番号を表示=1\r\n行のアンカー=1\r\nインクルードのリンク=1\r\n相互参照=1\r\n"
    vocabularies = make_vocabularies(work, args.vocabulary_keywords) if args.vocabulary_keywords else {}
    for mode, path in vocabularies.items():
        full += f"[{mode}]\r\n語彙ファイル={path}\r\n"
    program = prismet_folder(work, "prismet-bin", os.path.join(args.build, "app", "prismet"), full,
                             args.prismet_keys)
    escape = os.path.join(args.build, "bench", "escape_baseline")
    copy = os.path.join(args.build, "bench", "copy_baseline")
    floor = os.path.join(args.build, "bench", "io_floor")
    out = os.path.join(work, "out.html")
    highlight_out = os.path.join(work, "highlight-pages")

    tools = [
        Tool(PRISMET, lambda s, o: [program, s], lambda f: [program] + f),
        Tool(FULL, lambda s, o: [program, "/mode:full", s], lambda f: [program, "/mode:full"] + f),
    ]
    if args.wine and args.windows_program:
        exe = prismet_folder(work, "prismet-win", args.windows_program, "")
        wine = shlex.split(args.wine)
        windows = lambda path: path.replace("/", "\\")
        tools.append(Tool(args.windows_label, lambda s, o: wine + [exe, "Z:" + windows(s)],
                          lambda f: wine + [exe] + [windows(p) for p in f]))
        # Wine takes a fixed time to start any program; a run that finds no
        # file to convert measures it, so the conversion's own speed can be
        # told apart from it. It is not a row of its own.
        none = os.path.join(work, "no-such-file.cpp")
        tools.append(Tool(WINE_STARTUP, lambda s, o: wine + [exe, "Z:" + windows(none)],
                          lambda f: wine + [exe, "Z:" + windows(none)]))
    tools += [
        Tool("escape-only baseline", lambda s, o: [escape, s, o], lambda f: [escape, "--each"] + f),
        Tool("byte-copy baseline", lambda s, o: [copy, s, o], lambda f: [copy, "--each"] + f),
        Tool("java2html", lambda s, o: ["java2html"], lambda f: ["java2html"] + f, stdin=True, stdout=True),
        Tool("highlight", lambda s, o: ["highlight", "-i", s, "-o", o, "--syntax=cpp"],
             lambda f: ["highlight", "-O", "html", "-S", "cpp", "-d", highlight_out] + f, slow=True),
        Tool("source-highlight", lambda s, o: ["source-highlight", "-s", "cpp", "-f", "html", "-i", s, "-o", o],
             lambda f: ["source-highlight", "-s", "cpp", "-f", "html"] + f, slow=True),
        Tool("pygments", lambda s, o: ["/usr/bin/pygmentize", "-l", "cpp", "-f", "html", "-o", o, s], slow=True),
    ]
    available = [t for t in tools if shutil.which(t.single("x", "y")[0])]

    command = os.environ.get("PRISMET_BENCH_COMMAND") or " ".join(shlex.quote(a) for a in sys.argv)
    file_system = file_system_of(work)
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")),
                 "?")
    print(f"`{command}`: files in {work} ({file_system}); {os.cpu_count()} cores ({model}), "
          f"load average {os.getloadavg()[0]:.1f} at the start")
    sizes_wanted = [int(s) for s in args.sizes.split(",") if s]
    if sizes_wanted:
        print()
        print("| size | tool | MB/s | ratio to prismet, median of pairs (min–max) | peak RSS |")
        print("|---|---|---|---|---|")
    full_rows = []
    floor_rows = []
    for size in sizes_wanted:
        source = make_corpus(work, size)
        page = os.path.splitext(source)[0] + ".htm"
        chosen = [t for t in available if not t.slow or size <= args.peer_limit]

        def clear(_):
            for path in (out, page):
                if os.path.exists(path):
                    os.remove(path)

        # The I/O floor writes as many bytes as prismet's page of this source.
        floor_bytes = None
        if os.path.exists(floor):
            clear(None)
            chosen[0].run(source, out)
            floor_bytes = os.path.getsize(page) if os.path.exists(page) else None
        if floor_bytes is not None:
            chosen.append(Tool(FLOOR, lambda s, o, n=floor_bytes: [floor, s, o, str(n)]))
        runs = args.runs if size < 100 else max(1, args.runs // 2)
        seconds = take_turns(chosen, lambda t: t.run(source, out), runs, args.warmup, clear)
        if args.samples:
            print_samples(f"{size} MB", seconds)
        peaks = {}
        for t in chosen:
            clear(t)
            peaks[t.name] = peak_kb(t.single(source, out), stdin=source if t.stdin else None,
                                    stdout=out if t.stdout else None)
        # The pages' sizes, for the full mode's bytes per second.
        sizes = {}
        for name in (PRISMET, FULL):
            clear(None)
            next(t for t in chosen if t.name == name).run(source, out)
            sizes[name] = os.path.getsize(page) if os.path.exists(page) else 0
        print_rows(f"{size} MB", chosen, seconds, size, peaks)
        if sizes[PRISMET] and sizes[FULL]:
            ratios = [sizes[FULL] / f / (sizes[PRISMET] / d) if f and d else None
                      for f, d in zip(seconds[FULL], seconds[PRISMET])]
            full_rows.append(f"| {size} MB | {sizes[PRISMET] / MB:.1f} MB | {sizes[FULL] / MB:.1f} MB | "
                             f"{ratio_text(median_range(ratios))} |")
        if FLOOR in seconds and all(seconds[FLOOR]) and all(seconds[PRISMET]):
            ratios = [f / p for f, p in zip(seconds[FLOOR], seconds[PRISMET])]
            floor_rows.append(f"| {size} MB | {floor_bytes / MB:.1f} MB | "
                              f"{statistics.median(seconds[PRISMET]) * 1000:.1f} ms | "
                              f"{statistics.median(seconds[FLOOR]) * 1000:.1f} ms | "
                              f"{ratio_text(median_range(ratios))} |")
        sys.stdout.flush()

    if full_rows:
        print()
        print("| size | page, default | page, numbers, tabs, &nbsp; | output bytes/s of the full mode over the "
              "default's, median of pairs (min–max) |")
        print("|---|---|---|---|")
        print("\n".join(full_rows))

    if floor_rows:
        print()
        print("| size | page, default | prismet | I/O floor | prismet's speed over the floor's, median of pairs "
              "(min–max) |")
        print("|---|---|---|---|---|")
        print("\n".join(floor_rows))

    if args.html5:
        html5_rows(work, program, args)

    if args.engine:
        engine_rows(os.path.join(args.build, "bench", "engine_timing"),
                    [make_corpus(work, 10), japanese_corpus(work, 10, "utf-8")], max(args.runs, 5))
    if args.whole_trees:
        whole_tree_rows(work, program, copy, args)
    if args.include_links:
        include_link_rows(work, program, args)
    if args.cross_references:
        cross_reference_rows(work, program, args)
        cross_reference_edit_rows(work, program, args)
        cross_reference_peer_rows(work, program, args)

    if vocabularies:
        vocabulary_rows(work, program, vocabularies, args)

    if args.settings_sizes:
        settings_rows(work, args.build, [int(x) for x in args.settings_sizes.split(",")], args)

    if args.tree:
        tree_work = os.path.abspath(args.tree_dir or work)
        os.makedirs(tree_work, exist_ok=True)
        tree, files = make_tree(tree_work)
        megabytes = sum(os.path.getsize(os.path.join(tree, f)) for f in files) / MB
        chosen = [t for t in available if t.tree and (not t.slow or megabytes <= args.peer_limit)]
        extra = [highlight_out]
        seconds = take_turns(chosen, lambda t: t.run_tree(tree, files), args.runs, args.warmup,
                             lambda t: clear_tree(tree, extra))
        if args.samples:
            print_samples("tree", seconds)
        peaks = {}
        for t in chosen:
            clear_tree(tree, extra)
            peaks[t.name] = peak_kb(t.tree(files), cwd=tree)
        clear_tree(tree, extra)
        print()
        print(f"The libstdc++ headers as a tree ({len(files)} files, {megabytes:.1f} MB) in {tree_work} "
              f"({file_system_of(tree_work)}) named in one command:")
        print()
        print("| files | tool | MB/s | ratio to prismet, median of pairs (min–max) | ms per file | peak RSS |")
        print("|---|---|---|---|---|---|")
        print_rows(f"{len(files)}", chosen, seconds, megabytes, peaks, per_file=len(files))


if __name__ == "__main__":
    main()
