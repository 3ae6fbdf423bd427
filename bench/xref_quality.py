#!/usr/bin/env python3
"""The quality of prismet's cross-references, measured against
universal-ctags on real trees: the libstdc++ headers (as bench/run.py
copies them), nlohmann-json, fmt and Boost.Mp11.

Usage: bench/xref_quality.py BUILD_DIR [--dir DIR | --tree TREE] [--site SITE [--page-extension .html]]
                             [--no-install] [--misses KIND] [--predict]

(a) Makes the tree DIR/tree (default BUILD_DIR/xref-quality), installing
    Debian's nlohmann-json3-dev, libfmt-dev, libboost-dev and
    universal-ctags when they are missing.
(b) Runs ctags (every file as C++, default kinds, --fields=+nKZ) and
    BUILD_DIR/bench/definition_dump over the tree and prints the share of
    ctags' names (distinct, and per kind) that prismet finds, and the share
    of ctags' (file, line, name) definitions that prismet finds at the same
    line.
(c) With --site SITE, a site made from the same tree with cross-references
    (SITE holds the pages; PAGE.html mirrors FILE), reads the identifier
    links of its pages and prints: of the uses of names that ctags finds
    defined exactly once, the share that link to that definition's line;
    and the share of identifier links that land on a line defining their
    name (by ctags or by the dump).
"""
import argparse
import collections
import glob
import html
import json
import os
import re
import urllib.parse
import shutil
import subprocess
import sys

PACKAGES = ["nlohmann-json3-dev", "libfmt-dev", "libboost-dev", "universal-ctags"]
SYMBOL_FOLDER = "prismet-symbols"


def headers_root():
    roots = sorted(glob.glob("/usr/include/c++/*"))
    if not roots:
        sys.exit("no C++ headers under /usr/include/c++")
    return roots[-1]


def install_missing():
    missing = []
    for package in PACKAGES:
        status = subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True, text=True)
        if "ok installed" not in status.stdout:
            missing.append(package)
    if missing:
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing, env=env,
                       check=True, stdout=subprocess.DEVNULL)


def make_tree(work):
    """The four libraries side by side below work/tree; returns it."""
    tree = os.path.join(work, "tree")
    if os.path.isdir(tree):
        return tree
    partial = tree + ".partial"
    shutil.rmtree(partial, ignore_errors=True)
    shutil.copytree(headers_root(), os.path.join(partial, "libstdc++"))
    shutil.copytree("/usr/include/nlohmann", os.path.join(partial, "nlohmann"))
    shutil.copytree("/usr/include/fmt", os.path.join(partial, "fmt"))
    shutil.copytree("/usr/include/boost/mp11", os.path.join(partial, "boost", "mp11"))
    shutil.copy("/usr/include/boost/mp11.hpp", os.path.join(partial, "boost", "mp11.hpp"))
    os.rename(partial, tree)
    return tree


def tree_files(tree):
    return sorted(os.path.relpath(os.path.join(d, f), tree) for d, _, files in os.walk(tree) for f in files)


def ctags_definitions(tree):
    """(file, line, name, kind) of every tag ctags makes with its default kinds."""
    command = ["ctags", "-R", "--language-force=C++", "--fields=+nKZ", "--output-format=json", "-f", "-", "."]
    result = subprocess.run(command, cwd=tree, capture_output=True, text=True, errors="replace", check=True)
    tags = []
    for line in result.stdout.splitlines():
        try:
            tag = json.loads(line)
        except json.JSONDecodeError:
            continue
        if tag.get("_type") != "tag" or tag.get("kind") == "header":
            continue
        name = tag["name"]
        if name.startswith("__anon"):
            continue
        tags.append((os.path.normpath(tag["path"]), int(tag.get("line", 0)), name, tag.get("kind", "?")))
    return tags


def dump_definitions(build, tree, files):
    """(file, line, name, kind, declaration_only, scope) of every definition prismet finds."""
    dump = os.path.join(build, "bench", "definition_dump")
    listing = os.path.join(os.path.dirname(tree), "files.txt")
    with open(listing, "w") as out:
        out.write("\n".join(files) + "\n")
    result = subprocess.run([dump, "--list", listing], cwd=tree, capture_output=True, text=True,
                            errors="replace")
    pattern = re.compile(r"^(.*):(\d+) (\S+) (\S+) (.+?)( decl)?$")
    found = []
    for line in result.stdout.splitlines():
        match = pattern.match(line)
        if match:
            scope = "" if match[4] == "-" else match[4]
            found.append((os.path.normpath(match[1]), int(match[2]), match[5], match[3], bool(match[6]), scope))
    return found


def normal_name(name):
    """Operators as both tools may spell them: "operator ==" and "operator==" alike."""
    return re.sub(r"\s+", "", name) if name.startswith("operator") else name


def share(part, whole):
    return f"{100.0 * part / whole:.1f}% ({part} of {whole})" if whole else "n/a (none)"


def name_figures(tags, found):
    ours = {normal_name(f[2]) for f in found}
    theirs = {normal_name(t[2]) for t in tags}
    print(f"ctags' distinct names prismet finds: {share(len(theirs & ours), len(theirs))}")
    by_kind = collections.defaultdict(set)
    for tag in tags:
        by_kind[tag[3]].add(normal_name(tag[2]))
    for kind in sorted(by_kind):
        names = by_kind[kind]
        print(f"  {kind:<12} {share(len(names & ours), len(names))}")
    places = {(f[0], f[1], normal_name(f[2])) for f in found}
    same_line = sum(1 for t in tags if (t[0], t[1], normal_name(t[2])) in places)
    print(f"ctags' (file, line, name) definitions prismet finds at the same line: {share(same_line, len(tags))}")
    return ours, theirs


def misses(tags, found, kind, limit=40):
    ours = {normal_name(f[2]) for f in found}
    missed = [t for t in tags if t[3] == kind and normal_name(t[2]) not in ours]
    for tag in missed[:limit]:
        print(f"  missed {tag[3]} {tag[2]} at {tag[0]}:{tag[1]}")


LINK = re.compile(r'<a\b([^>]*)>([A-Za-z_][A-Za-z_0-9]*)</a>')
HREF = re.compile(r'\bhref="([^"]*)"')
ANCHOR = re.compile(r'\bid="L(\d+)"')


def page_links(site, page_extension=".html"):
    """Per page (its source's path relative to the site: the page's path
    without the page extension), its identifier links: (line of the link,
    name, target source or None, target line or None). A link to a symbol
    page or to a definition's list of uses has no target source. A line is
    known by the page's line anchor (id="LNN") at its start, else by
    counting the lines of the page's <pre>."""
    links = {}
    for folder, _, files in os.walk(site):
        if SYMBOL_FOLDER in os.path.relpath(folder, site).split(os.sep):
            continue
        for name in files:
            if not name.endswith(page_extension) or name.startswith("index."):
                continue
            path = os.path.join(folder, name)
            source = os.path.relpath(path, site)[: -len(page_extension)]
            links[source] = list(read_page_links(site, path, page_extension))
    return links


def read_page_links(site, path, page_extension):
    with open(path, encoding="utf-8", errors="replace") as page:
        text = page.read()
    start = text.find("<pre")
    if start < 0:
        return
    for number, row in enumerate(text[start:].split("\n"), 1):
        anchor = ANCHOR.search(row)
        line = int(anchor[1]) if anchor else number
        for match in LINK.finditer(row):
            href = HREF.search(match[1])
            if not href:
                continue
            target, _, fragment = html.unescape(href[1]).partition("#")
            target = urllib.parse.unquote(target)  # the site percent-encodes names ("libstdc%2B%2B")
            word = match[2]
            if SYMBOL_FOLDER in target.split("/") or not fragment.startswith("L"):
                yield line, word, None, None
                continue
            page = os.path.normpath(os.path.join(os.path.dirname(path), target)) if target else path
            source = os.path.relpath(page, site)
            if source.endswith(page_extension):
                source = source[: -len(page_extension)]
            yield line, word, source, int(fragment[1:]) if fragment[1:].isdigit() else None


def uses_of(tree, source, names):
    """(line, name) of each identifier of `names` in code of `source` (rough:
    comments, literals and directive lines left out by a small scanner)."""
    with open(os.path.join(tree, source), encoding="utf-8", errors="replace") as file:
        text = file.read()
    code = re.sub(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'',
                  lambda m: re.sub(r"[^\n]", " ", m[0]), text, flags=re.S)
    for number, row in enumerate(code.split("\n"), 1):
        if row.lstrip().startswith("#"):
            continue
        for match in re.finditer(r"[A-Za-z_][A-Za-z_0-9]*", row):
            if match[0] in names:
                yield number, match[0]


def link_figures(tree, site, tags, found, page_extension=".html"):
    """Prints and returns (linked, uses, landing, links): the uses of names
    ctags defines exactly once and how many of them link to that line; the
    links to a line and how many of them land on a line defining their
    name by ctags or by the dump."""
    links = page_links(site, page_extension)
    places = collections.defaultdict(list)
    for tag in tags:
        places[tag[2]].append(tag)
    once = {name: found_at[0] for name, found_at in places.items() if len(found_at) == 1}
    defining = {(t[0], t[1], t[2]) for t in tags} | {(f[0], f[1], f[2]) for f in found}
    uses = linked = 0
    for source, page in sorted(links.items()):
        if not os.path.isfile(os.path.join(tree, source)):
            continue
        by_place = collections.defaultdict(list)
        for line, word, target, target_line in page:
            by_place[(line, word)].append((target, target_line))
        for line, word in uses_of(tree, source, once):
            # The links of a line are taken in their order, as the uses are.
            in_line = by_place.get((line, word))
            target = in_line.pop(0) if in_line else None
            definition = once[word]
            if (source, line) == (definition[0], definition[1]):
                continue  # the definition itself
            uses += 1
            if target == (definition[0], definition[1]):
                linked += 1
    print(f"uses of names ctags defines once that link to that line: {share(linked, uses)}")
    straight = [(target, line, word) for page in links.values() for _, word, target, line in page if target]
    landing = sum(1 for link in straight if link in defining)
    print(f"identifier links to a line that land on a line defining their name: {share(landing, len(straight))}")
    return linked, uses, landing, len(straight)


def predicted_figures(tree, files, tags, found):
    """The first link figure as the links' rules would make it from the dump
    alone, before any site: a use links straight to a name's one definition
    (its declarations count only when it has none; a class's constructors
    are no definitions of its name)."""
    places = collections.defaultdict(list)
    for tag in tags:
        places[tag[2]].append(tag)
    once = {name: found_at[0] for name, found_at in places.items() if len(found_at) == 1}
    definitions, declarations = collections.defaultdict(set), collections.defaultdict(set)
    types = {f[2] for f in found if f[3] in ("class", "struct", "union") and not f[4]}
    for f in found:
        # A constructor is named as its class, whose name's uses mean the class.
        if f[3] == "function" and f[2] in types and f[5].rsplit("::", 1)[-1] == f[2]:
            continue
        (declarations if f[4] else definitions)[f[2]].add((f[0], f[1]))
    uses = linked = 0
    for source in files:
        for line, word in uses_of(tree, source, once):
            definition = once[word]
            if (source, line) == (definition[0], definition[1]):
                continue
            uses += 1
            targets = definitions.get(word) or declarations.get(word) or set()
            if targets == {(definition[0], definition[1])}:
                linked += 1
    print(f"predicted from the dump: uses of names ctags defines once that would link to that line: "
          f"{share(linked, uses)}")
    return linked, uses


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--dir", help="folder for the tree (default BUILD/xref-quality)")
    parser.add_argument("--site", help="a site made from DIR/tree with cross-references")
    parser.add_argument("--tree", help="measure this tree instead of making one (a site's sources)")
    parser.add_argument("--page-extension", default=".html")
    parser.add_argument("--no-install", action="store_true", help="install nothing, even when missing")
    parser.add_argument("--misses", default="", help="list ctags' names of this kind that prismet misses")
    parser.add_argument("--predict", action="store_true",
                        help="also the first link figure as the links' rules would make it from the dump alone")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    if args.tree:
        tree = os.path.abspath(args.tree)
    else:
        if not args.no_install:
            install_missing()
        work = os.path.abspath(args.dir or os.path.join(build, "xref-quality"))
        os.makedirs(work, exist_ok=True)
        tree = make_tree(work)
    files = tree_files(tree)
    tags = ctags_definitions(tree)
    found = dump_definitions(build, tree, files)
    print(f"{len(files)} files; ctags: {len(tags)} tags; prismet: {len(found)} definitions")
    name_figures(tags, found)
    if args.misses:
        misses(tags, found, args.misses)
    if args.predict:
        predicted_figures(tree, files, tags, found)
    if args.site:
        link_figures(tree, os.path.abspath(args.site), tags, found, args.page_extension)


if __name__ == "__main__":
    main()
