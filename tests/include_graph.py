#!/usr/bin/env python3
"""Checks the include graph: every #include "folder/..." of a source folder
names a folder it may use, and every #include "core/room/..." of a room of
the table core names a room it may use, so that the arrows run one way (the
front ends and the entry point on top, the core and the platform below;
inside the core, the split above the readers above the table above the
text) and nothing's arrows come back to it. Prints each include that breaks
it; with a path as argument, checks that tree instead of this one."""
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

# The rooms of core/ and what each may include besides itself. "." is what
# lies at core/ itself (the errors and the table's limits), which every room
# uses; "interface" is what the core asks of the system.
ROOM_MAY_USE = {
    ".": set(),
    "interface": set(),
    "text": {".", "interface"},
    "table": {".", "interface", "text"},
    "read": {".", "interface", "text", "table"},
    "split": {".", "interface", "text", "table", "read"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def sources(root, folder):
    for base, _, names in os.walk(os.path.join(root, folder)):
        for name in sorted(names):
            if name.endswith((".cpp", ".h", ".rc")):
                path = os.path.join(base, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for used in INCLUDE.findall(f.read()):
                        yield os.path.relpath(path, root), used


def room_of(core_path):
    """The room of a path under core/: its first folder, or "." for a file
    at core/ itself."""
    parts = core_path.split("/")
    return parts[1] if len(parts) > 2 else "."


def room_name(room):
    return "core/" if room == "." else f"core/{room}/"


def cycles(graph):
    """Nodes that reach themselves through the allowed arrows."""
    found = []
    for start in graph:
        seen, todo = set(), [n for n in graph[start] if n != start]
        while todo:
            node = todo.pop()
            if node == start:
                found.append(start)
                break
            if node not in seen:
                seen.add(node)
                todo.extend(graph.get(node, ()))
    return found


def folder_problems(root):
    broken = []
    for folder, allowed in MAY_USE.items():
        for path, used in sources(root, folder):
            if "/" not in used:
                continue  # a header beside the file
            top = used.split("/")[0]
            if top == folder or top in allowed:
                continue
            if folder == "platform" and top in ("win32", "posix"):
                continue
            broken.append(f"{path}: includes {top}/, which {folder}/ may not use")
    return broken


def room_problems(root):
    broken = []
    for base, _, names in os.walk(os.path.join(root, "core")):
        for name in sorted(names):
            path = os.path.relpath(os.path.join(base, name), root)
            if room_of(path) not in ROOM_MAY_USE:
                broken.append(f"{path}: lies in core/{room_of(path)}/, which is no room of the core")
    for path, used in sources(root, "core"):
        here = room_of(path)
        if here not in ROOM_MAY_USE or not used.startswith("core/"):
            continue
        there = room_of(used)
        if there == here or there in ROOM_MAY_USE[here]:
            continue
        broken.append(f"{path}: includes {room_name(there)}, which {room_name(here)} may not use")
    return broken


def main():
    root = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else ROOT
    broken = folder_problems(root) + room_problems(root)
    broken += [f"{folder}/ reaches itself" for folder in cycles(MAY_USE)]
    broken += [f"{room_name(room)} reaches itself" for room in cycles(ROOM_MAY_USE)]
    for line in broken:
        print(line)
    print(f"include graph: {len(broken)} problems")
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
