#!/usr/bin/python3
"""Checks the include edges between the agent's source folders against the
allowed ones in tools/layering.txt.

A source folder is src/<name>, lib/<name> or lib/spark/<name>. Every
#include of a C or C++ file in such a folder is resolved as the compiler
resolves it (a quoted name first beside the including file, then under the
include roots src/ and lib/); an include that lands in another source folder
is an edge FROM -> TO. Includes that resolve to no file of the tree (the
standard library, Boost) are not edges.

Exit status 0 when every edge is listed, 1 when one is not (each offending
include is printed with its file and line), 2 on a usage error. Listed edges
that no include uses any more are reported, but do not fail the check.

  tools/check_layering.py [--root DIR] [--allowed FILE]
  tools/check_layering.py --print     # today's edges, in the allowed file's format
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp")
INCLUDE_ROOTS = ("src", "lib")


def source_folders(root):
    """The source folders, relative to root: src/*, lib/*, lib/spark/*."""
    folders = []
    for base in ("src", "lib", os.path.join("lib", "spark")):
        path = os.path.join(root, base)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            rel = os.path.join(base, name)
            if os.path.isdir(os.path.join(root, rel)) and rel != os.path.join("lib", "spark"):
                folders.append(rel.replace(os.sep, "/"))
    return folders


def folder_of(rel_path, folders):
    """The source folder holding rel_path (the deepest one), or None."""
    best = None
    for folder in folders:
        if rel_path.startswith(folder + "/") and (best is None or len(folder) > len(best)):
            best = folder
    return best


def resolve(root, including_dir, quote, name):
    """The file an include names, relative to root, or None."""
    candidates = [os.path.join(including_dir, name)] if quote == '"' else []
    candidates += [os.path.join(root, r, name) for r in INCLUDE_ROOTS]
    for c in candidates:
        if os.path.isfile(c):
            return os.path.relpath(os.path.normpath(c), root).replace(os.sep, "/")
    return None


def find_edges(root):
    """{(from, to): [(file, line), ...]} over every source folder."""
    folders = source_folders(root)
    edges = {}
    for folder in folders:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                if folder_of(rel, folders) != folder:
                    continue  # a file of a nested source folder counts there
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = resolve(root, dirpath, m.group(1), m.group(2))
                        to = folder_of(target, folders) if target else None
                        if to and to != folder:
                            edges.setdefault((folder, to), []).append((rel, number))
    return edges


def read_allowed(path):
    """The edges of the allowed file: lines "FROM -> TO", # starts a comment."""
    allowed = set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            parts = [p.strip() for p in line.split("->")]
            if len(parts) != 2 or not all(parts) or any(" " in p for p in parts):
                raise ValueError("%s:%d: not an edge \"FROM -> TO\": %s" % (path, number, line))
            allowed.add(tuple(parts))
    return allowed


def main(argv=None):
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description="Checks the include edges between source folders.")
    ap.add_argument("--root", default=os.path.normpath(os.path.join(here, "..")))
    ap.add_argument("--allowed", help="the allowed edges (default: ROOT/tools/layering.txt)")
    ap.add_argument("--print", action="store_true", help="print today's edges and end")
    args = ap.parse_args(argv)
    root = os.path.abspath(args.root)
    edges = find_edges(root)
    if args.print:
        for a, b in sorted(edges):
            print("%s -> %s" % (a, b))
        return 0
    allowed_path = args.allowed or os.path.join(root, "tools", "layering.txt")
    try:
        allowed = read_allowed(allowed_path)
    except (OSError, ValueError) as e:
        print("layering: %s" % e, file=sys.stderr)
        return 2
    wrong = sorted(set(edges) - allowed)
    for a, b in wrong:
        print("layering: %s -> %s is not an allowed edge (%s):" % (a, b, allowed_path))
        for rel, number in edges[(a, b)]:
            print("  %s:%d" % (rel, number))
    for a, b in sorted(allowed - set(edges)):
        print("layering: note: %s -> %s is allowed but no longer used" % (a, b))
    if wrong:
        return 1
    print("layering: %d include edges between %d source folders, all allowed"
          % (len(edges), len(source_folders(root))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
