#!/usr/bin/env python3
"""The layering check: every dependency of the program points down the layer order.

The order is the TESSAREL_LAYERS list of the root CMakeLists.txt, lowest first. A file belongs to
the layer whose folder is the longest prefix of its path (so "cardstore/document" is a layer of
its own above "cardstore"). The check fails when
  - a file includes a header ("layer/...") of a layer above its own, or
  - a library links a library of a layer above its own, or two libraries link each other
    (directly or round a longer cycle).

    check-layers.py [--root DIR]           the check; exit status 1 on a fault
    check-layers.py --edges [--root DIR]   the include edges between layers, counted per pair
"""
import argparse
import os
import re
import sys
from collections import Counter, defaultdict

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def strip_cmake_comments(text):
    return "\n".join(line.split("#", 1)[0] for line in text.splitlines())


def read_layers(root):
    with open(os.path.join(root, "CMakeLists.txt"), encoding="utf-8") as f:
        text = strip_cmake_comments(f.read())
    m = re.search(r"set\(\s*TESSAREL_LAYERS\s+([^)]*)\)", text)
    if not m:
        sys.exit("check-layers: no set(TESSAREL_LAYERS ...) in the root CMakeLists.txt")
    layers = m.group(1).split()
    if len(set(layers)) != len(layers):
        sys.exit("check-layers: a layer is named twice in TESSAREL_LAYERS")
    return layers


def layer_of(path, layers):
    """The layer of a path relative to the root: the longest layer folder that holds it."""
    best = None
    for layer in layers:
        if path == layer or path.startswith(layer + "/"):
            if best is None or len(layer) > len(best):
                best = layer
    return best


def source_files(root, layers):
    tops = sorted({layer.split("/")[0] for layer in layers})
    for top in tops:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, top)):
            dirnames.sort()
            for name in sorted(filenames):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(dirpath, name), root)


def include_edges(root, layers):
    """(file, line number, included path, file's layer, included file's layer) for every include
    of another file of the tree."""
    for path in source_files(root, layers):
        own = layer_of(path, layers)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = m.group(1)
                # A name beside the including file is its own folder's (the compiler looks there
                # first); otherwise the name is relative to the top of the tree.
                beside = os.path.normpath(os.path.join(os.path.dirname(path), target))
                if os.path.exists(os.path.join(root, beside)):
                    resolved = beside
                elif os.path.exists(os.path.join(root, target)):
                    resolved = target
                else:
                    continue  # a generated or system header
                theirs = layer_of(resolved, layers)
                if theirs is not None:
                    yield path, number, resolved, own, theirs


COMMAND = re.compile(r"\b(add_library|add_executable|target_link_libraries)\s*\(([^)]*)\)", re.S)
LINK_KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE", "LINK_INTERFACE_LIBRARIES"}


def cmake_targets(root, layers):
    """The targets defined in the layers' CMake lists with their layers, and the links between
    them (target -> set of targets)."""
    defined = {}
    links = defaultdict(set)
    raw_links = []
    # The root's own targets (the warnings interface) come first: they belong to no layer.
    folders = [root]
    for top in sorted({layer.split("/")[0] for layer in layers}):
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, top)):
            dirnames.sort()
            folders.append(dirpath)
    for dirpath in folders:
        lists = os.path.join(dirpath, "CMakeLists.txt")
        if not os.path.exists(lists):
            continue
        folder = os.path.relpath(dirpath, root)
        with open(lists, encoding="utf-8") as f:
            text = strip_cmake_comments(f.read())
        for kind, body in COMMAND.findall(text):
            words = body.split()
            if not words:
                continue
            if kind == "target_link_libraries":
                raw_links.append((words[0], [w for w in words[1:] if w not in LINK_KEYWORDS]))
            elif words[0] not in defined and "IMPORTED" not in words and "ALIAS" not in words:
                defined[words[0]] = None if folder == "." else layer_of(folder, layers)
    for target, used in raw_links:
        if target in defined:
            links[target].update(u for u in used if u in defined)
    return defined, links


def cycles(links):
    """Each cycle of the link graph once, as a list of targets."""
    found, seen = [], set()

    def walk(node, stack, on_stack):
        for nxt in sorted(links.get(node, ())):
            if nxt in on_stack:
                cycle = stack[stack.index(nxt):]
                key = frozenset(cycle)
                if key not in seen:
                    seen.add(key)
                    found.append(cycle + [nxt])
            elif len(stack) < 64:
                walk(nxt, stack + [nxt], on_stack | {nxt})

    for start in sorted(links):
        walk(start, [start], {start})
    return found


def check(root):
    layers = read_layers(root)
    rank = {layer: i for i, layer in enumerate(layers)}
    faults = []
    for path, number, resolved, own, theirs in include_edges(root, layers):
        if own is not None and rank[theirs] > rank[own]:
            faults.append(f"{path}:{number}: includes {resolved} of layer '{theirs}', above its own layer '{own}'")
    defined, links = cmake_targets(root, layers)
    for target in sorted(links):
        own = defined[target]
        for used in sorted(links[target]):
            theirs = defined[used]
            if own is not None and theirs is not None and rank[theirs] > rank[own]:
                faults.append(f"library {target} (layer '{own}') links {used} of layer '{theirs}', above its own")
    for cycle in cycles(links):
        faults.append("libraries link each other: " + " -> ".join(cycle))
    for fault in faults:
        print(fault)
    if faults:
        print(f"check-layers: {len(faults)} fault(s); the order, lowest first: {' '.join(layers)}")
        return 1
    print(f"check-layers: every include and link points down the order: {' '.join(layers)}")
    return 0


def edges(root):
    layers = read_layers(root)
    counts = Counter((own, theirs) for _, _, _, own, theirs in include_edges(root, layers) if own != theirs)
    print("| from layer | to layer | includes |")
    print("|---|---|---|")
    rank = {layer: i for i, layer in enumerate(layers)}
    for (own, theirs), n in sorted(counts.items(), key=lambda kv: (rank[kv[0][0]], rank[kv[0][1]])):
        arrow = " (UP)" if rank[theirs] > rank[own] else ""
        print(f"| {own} | {theirs}{arrow} | {n} |")
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--root", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    parser.add_argument("--edges", action="store_true", help="print the include edges between layers")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    return edges(root) if args.edges else check(root)


if __name__ == "__main__":
    sys.exit(main())
