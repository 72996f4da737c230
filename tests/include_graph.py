#!/usr/bin/env python3
"""Checks the folders' include graph: every #include "folder/..." of a source
folder names a folder it may use, so that the arrows run one way (the front
ends and the entry point on top, the core and the platform below) and no
folder's arrows come back to it. Prints each include that breaks it."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# What each folder may include besides itself; the platform sees only the
# interfaces it implements (by their bare names) and its own headers.
MAY_USE = {
    "core": set(),
    "platform": set(),
    "system": {"core", "platform"},
    "ui": {"core", "system", "platform"},
    "cli": {"core", "system"},
    "app": {"ui"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.MULTILINE)


def includes(folder):
    for base, _, names in os.walk(os.path.join(ROOT, folder)):
        for name in names:
            if name.endswith((".cpp", ".h", ".rc")):
                path = os.path.join(base, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for used in INCLUDE.findall(f.read()):
                        yield os.path.relpath(path, ROOT), used


def cycles(graph):
    """Folders that reach themselves through the allowed arrows."""
    found = []
    for start in graph:
        seen, todo = set(), list(graph[start])
        while todo:
            node = todo.pop()
            if node == start:
                found.append(start)
                break
            if node not in seen:
                seen.add(node)
                todo.extend(graph.get(node, ()))
    return found


def main():
    broken = []
    for folder, allowed in MAY_USE.items():
        for path, used in includes(folder):
            if used != folder and used not in allowed and not (folder == "platform" and used in ("win32", "posix")):
                broken.append(f"{path}: includes {used}/, which {folder}/ may not use")
    broken += [f"{folder}/ reaches itself" for folder in cycles(MAY_USE)]
    for line in broken:
        print(line)
    print(f"include graph: {len(broken)} problems")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
