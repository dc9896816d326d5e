#!/usr/bin/env python3
"""Fails when a source file includes from a higher layer, or when files need each other.

Layers, bottom up (a folder may include from its own layer and the ones below):
  0  framework, common
  1  skin, net, settings
  2  login, update
  3  gamewnd, hotkeys, extras
  4  app
  5  main.cpp
A file's header and source count as one unit; a cycle among units is refused whatever the
layers (two files that need each other, or a longer ring).
Usage: check-layers.py [src folder]
"""
import os
import re
import sys

LAYERS = {
    "framework": 0, "common": 0,
    "skin": 1, "net": 1, "settings": 1,
    "login": 2, "update": 2,
    "gamewnd": 3, "hotkeys": 3, "extras": 3,
    "app": 4,
}
MAIN_LAYER = 5
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)


def layer_of(unit):
    folder = unit.split("/", 1)[0] if "/" in unit else None
    if folder is None:
        return MAIN_LAYER if unit == "main" else None
    return LAYERS.get(folder)


def main():
    src = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src"))
    problems = []
    graph = {}
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            rel = os.path.relpath(path, src).replace(os.sep, "/")
            unit = os.path.splitext(rel)[0]
            own = layer_of(unit)
            if own is None:
                problems.append(f"{rel}: folder has no layer (add it to scripts/check-layers.py)")
                continue
            graph.setdefault(unit, set())
            with open(path, encoding="utf-8") as f:
                text = f.read()
            for target in INCLUDE.findall(text):
                if "/" not in target:
                    continue  # generated headers and resource ids, below every layer
                tunit = os.path.splitext(target)[0]
                if not os.path.exists(os.path.join(src, target)):
                    problems.append(f"{rel}: includes \"{target}\", which is not under src/")
                    continue
                tl = layer_of(tunit)
                if tl is None:
                    problems.append(f"{rel}: includes \"{target}\" from a folder with no layer")
                    continue
                if tl > own:
                    problems.append(f"{rel} (layer {own}) includes \"{target}\" (layer {tl}): an include may not point up")
                if tunit != unit:
                    graph[unit].add(tunit)

    # Cycles among units (Tarjan's strongly connected components).
    index, low, stack, on_stack, comps = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            comp = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                comp.append(w)
                if w == v:
                    break
            if len(comp) > 1:
                comps.append(sorted(comp))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    for comp in comps:
        problems.append("include cycle: these files need each other: " + ", ".join(comp))

    if problems:
        print("layer check FAILED:")
        for p in problems:
            print("  " + p)
        return 1
    print(f"layer check: {len(graph)} units, every include points down or sideways, no cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
