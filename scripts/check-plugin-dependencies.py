#!/usr/bin/env python3
"""Fails when two files of the plug-in depend on each other, directly or through others.

A plug-in file is a header and its source (overlay/PatchHover.h and .cpp), named by its path
without the extension. One depends on another when it includes the other's header, or when
its object file uses a function or variable that the other's object file defines. The
dependencies must run one way: a reader can take in each file knowing only those below it.

Usage: check-plugin-dependencies.py SOURCE_DIR [OBJECT_FILE ...]
"""

import collections
import os
import re
import subprocess
import sys

FOLDERS = ("plugin", "overlay", "shapeControl", "pins", "vertexWrap", "hoverMarker")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)\.h"')
OBJECT = re.compile(r"\.dir/(.+)\.(?:cpp|cc)\.o(?:bj)?$")


def include_edges(source_dir, edges):
    for folder in FOLDERS:
        for root, _, names in os.walk(os.path.join(source_dir, folder)):
            for name in names:
                stem, ext = os.path.splitext(name)
                if ext not in (".h", ".cpp"):
                    continue
                path = os.path.join(root, name)
                unit = os.path.relpath(os.path.join(root, stem), source_dir).replace(os.sep, "/")
                edges.setdefault(unit, {})
                with open(path, encoding="utf-8") as text:
                    for line in text:
                        match = INCLUDE.match(line)
                        if match and match.group(1) != unit and match.group(1).split("/")[0] in FOLDERS:
                            edges[unit].setdefault(match.group(1), "includes " + match.group(1) + ".h")


def symbols(object_files, *options):
    """(object file, kind, name) for the symbols nm lists, all files read in one run."""
    if not object_files:
        return
    out = subprocess.run(["nm", "-A", *options, *object_files], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        where, _, rest = line.rpartition(".o:")
        fields = rest.split()
        if where and len(fields) >= 2:
            yield where + ".o", fields[-2], fields[-1]


def symbol_edges(object_files, edges):
    unit_of = {}
    for path in object_files:
        match = OBJECT.search(os.path.normpath(path).replace(os.sep, "/"))
        if match and match.group(1).split("/")[0] in FOLDERS:
            unit_of[path] = match.group(1)
    objects = sorted(unit_of)
    # Strong definitions only: inline functions and templates are weak in every user.
    defined_by = {}
    for path, kind, name in symbols(objects, "--defined-only", "--extern-only"):
        if kind in "TDBRG":
            defined_by[name] = unit_of[path]
    for path, _, name in symbols(objects, "--undefined-only"):
        other = defined_by.get(name)
        if other and other != unit_of[path]:
            edges.setdefault(unit_of[path], {}).setdefault(other, name)
    return len(unit_of)


def demangled(name):
    try:
        return subprocess.run(["c++filt", name], check=True, capture_output=True, text=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return name


def circles(edges):
    """Strongly connected groups of more than one file (Tarjan), each as a sorted list."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]
    sys.setrecursionlimit(10000)

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in edges.get(v, {}):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    for v in sorted(edges):
        if v not in index:
            visit(v)
    return found


def path_back(edges, group):
    """One way round a circle: from the group's first file back to itself."""
    start, members = group[0], set(group)
    previous = {start: None}
    queue = collections.deque([start])
    while queue:
        v = queue.popleft()
        for w in sorted(edges.get(v, {})):
            if w == start:
                steps, at = [(v, w)], v
                while previous[at] is not None:
                    steps.append((previous[at], at))
                    at = previous[at]
                return list(reversed(steps))
            if w in members and w not in previous:
                previous[w] = v
                queue.append(w)
    return []


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    edges = {}
    include_edges(argv[1], edges)
    objects = symbol_edges(argv[2:], edges)
    found = circles(edges)
    for group in found:
        print("These plug-in files depend on each other: " + ", ".join(group))
        for a, b in path_back(edges, group):
            how = edges[a][b]
            print("  %s -> %s (%s)" % (a, b, how if how.startswith("includes ") else "uses " + demangled(how)))
    if not found:
        print("%d plug-in files (%d object files read); their dependencies run one way." % (len(edges), objects))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
