#!/usr/bin/env python3
"""Checks that the program's sources depend one way.

Reads every `#include "folder/file.h"` of the program's folders, builds the
graph of files and the graph of folders, and fails when a folder includes one
above it in LAYERS or when the files' includes form a circle. A header and
its .cpp count as one unit, so "a.cpp includes b.h, b.cpp includes a.h" is a
circle although no header includes itself.

  tools/check-layers.py [source-dir] [--graph]
"""
import os
import re
import sys

# Bottom up: a folder may include its own files and those of folders before it.
# Folders on the same line are one layer: they may include each other, but
# their files still may not form a circle.
LAYERS = [
    ["platform"],
    ["resources"],
    ["core"],
    ["settings"],
    ["history"],
    ["window"],
    ["board"],
    ["trainer"],
    ["about", "interchange"],
    ["app"],
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)
SOURCE_SUFFIXES = (".h", ".cpp")


def layer_of(folder):
    for index, layer in enumerate(LAYERS):
        if folder in layer:
            return index
    return None


def folder_of(path):
    return path.split("/", 1)[0]


def unit_of(path):
    return os.path.splitext(path)[0]


def read_includes(root):
    """Maps each source file (relative path) to the program files it includes."""
    includes = {}
    for layer in LAYERS:
        for folder in layer:
            for directory, _, files in os.walk(os.path.join(root, folder)):
                for name in files:
                    if not name.endswith(SOURCE_SUFFIXES):
                        continue
                    path = os.path.relpath(os.path.join(directory, name), root)
                    with open(os.path.join(root, path), encoding="utf-8") as source:
                        targets = INCLUDE.findall(source.read())
                    includes[path] = [t for t in targets if os.path.exists(os.path.join(root, t))]
    return includes


def unit_graph(includes):
    graph = {}
    for path, targets in includes.items():
        edges = graph.setdefault(unit_of(path), set())
        for target in targets:
            if unit_of(target) != unit_of(path):
                edges.add(unit_of(target))
    return graph


def circles(graph):
    """The strongly connected components with more than one unit (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        for successor in sorted(graph.get(node, ())):
            if successor not in index:
                visit(successor)
                low[node] = min(low[node], low[successor])
            elif successor in on_stack:
                low[node] = min(low[node], index[successor])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    sys.setrecursionlimit(10000)
    for node in sorted(graph):
        if node not in index:
            visit(node)
    return found


def upward_edges(includes):
    found = []
    for path, targets in sorted(includes.items()):
        for target in targets:
            source_layer, target_layer = layer_of(folder_of(path)), layer_of(folder_of(target))
            if target_layer is None or target_layer > source_layer:
                found.append((path, target))
    return found


def folder_graph(includes):
    graph = {}
    for path, targets in includes.items():
        for target in targets:
            if folder_of(target) != folder_of(path):
                graph.setdefault(folder_of(path), set()).add(folder_of(target))
    return graph


def main(argv):
    root = next((a for a in argv[1:] if not a.startswith("--")), os.path.join(os.path.dirname(__file__), ".."))
    includes = read_includes(root)
    if "--graph" in argv:
        for folder, targets in sorted(folder_graph(includes).items()):
            print(f"{folder} -> {', '.join(sorted(targets))}")
    problems = 0
    for path, target in upward_edges(includes):
        print(f"upward include: {path} -> {target}")
        problems += 1
    for component in circles(unit_graph(includes)):
        print("circle: " + " <-> ".join(component))
        problems += 1
    print(f"{len(includes)} files, {problems} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
