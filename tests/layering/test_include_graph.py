#!/usr/bin/env python3
"""Checks every #include of src/ against the graph of rooms declared in CMakeLists.txt.

The graph is the list of orvalis_room(<folder> <target> ... USES <folder>...) calls of the
top CMakeLists.txt. A file belongs to the declared room whose folder is the longest prefix
of its path. A quoted include "<folder>/X.h" is allowed when <folder> is the file's own
room or a room reachable through USES; anything else (a header of a room above, beside,
or of no room) is reported. Also reported: a circle in the declared graph, a circle
between the folders as the includes draw them, a source folder that belongs to no room,
and a core (a folder ending in "/core", or shell/base) that includes a wx or GTK header.

    test_include_graph.py <source root>      exit 0 when clean, 1 with the faults listed
"""
import os
import re
import sys

KEYWORDS = {"PROGRAM", "WX", "USES", "LIBS"}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def read_rooms(cmake_file):
    """{folder: [used folders]} in declaration order, from the orvalis_room calls."""
    text = open(cmake_file, encoding="utf-8").read()
    text = "\n".join(line.split("#", 1)[0] for line in text.splitlines())
    rooms = {}
    for call in re.finditer(r"\borvalis_room\s*\(([^)]*)\)", text):
        words = call.group(1).split()
        if len(words) < 2:
            continue
        folder, uses, mode = words[0], [], None
        for w in words[2:]:
            if w in KEYWORDS:
                mode = w
            elif mode == "USES":
                uses.append(w)
        rooms[folder] = uses
    return rooms


def find_cycle(graph):
    """A list of nodes forming a circle in {node: [nodes]}, or None."""
    state, stack = {}, []

    def visit(n):
        state[n] = 1
        stack.append(n)
        for m in sorted(graph.get(n, ())):
            if state.get(m) == 1:
                return stack[stack.index(m):] + [m]
            if not state.get(m):
                found = visit(m)
                if found:
                    return found
        stack.pop()
        state[n] = 2
        return None

    for n in sorted(graph):
        if not state.get(n):
            found = visit(n)
            if found:
                return found
    return None


def closure(rooms):
    below = {}
    for folder in rooms:
        seen, todo = set(), list(rooms[folder])
        while todo:
            r = todo.pop()
            if r not in seen:
                seen.add(r)
                todo.extend(rooms.get(r, ()))
        below[folder] = seen
    return below


def room_of(path, rooms):
    """The declared room holding `path` (relative to src/, '/' separated), or None."""
    best = None
    for folder in rooms:
        if path == folder or path.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def is_core(folder):
    return folder.endswith("/core") or folder == "shell/base"


def check(root):
    src = os.path.join(root, "src")
    rooms = read_rooms(os.path.join(root, "CMakeLists.txt"))
    faults = []
    if not rooms:
        return ["no orvalis_room(...) call found in CMakeLists.txt"]
    for folder, uses in rooms.items():
        for u in uses:
            if u not in rooms:
                faults.append(f"room {folder} uses {u}, which is not declared")
    cycle = find_cycle(rooms)
    if cycle:
        faults.append("the declared rooms go round in a circle: " + " -> ".join(cycle))
    below = closure(rooms)

    drawn = {folder: set() for folder in rooms}
    for dirpath, dirnames, filenames in os.walk(src):
        dirnames.sort()
        for name in sorted(filenames):
            if not name.endswith((".h", ".hpp", ".cpp", ".c")):
                continue
            full = os.path.join(dirpath, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            own = room_of(rel, rooms)
            if own is None:
                faults.append(f"src/{rel}: its folder belongs to no room of CMakeLists.txt")
                continue
            with open(full, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE.match(line)
                    if not m:
                        continue
                    kind, target = m.groups()
                    where = f"src/{rel}:{number}"
                    if kind == "<":
                        if is_core(own) and target.split("/")[0] in ("wx", "gtk", "gdk", "atk"):
                            faults.append(f"{where}: the core room {own} includes <{target}>")
                        continue
                    if os.path.isfile(os.path.join(dirpath, target)) and "/" not in target:
                        continue  # a header beside the file, same room
                    used = room_of(target, rooms)
                    if used is None:
                        faults.append(f'{where}: "{target}" is in no room')
                    elif used != own and used not in below[own]:
                        faults.append(f'{where}: {own} may not include "{target}" '
                                      f"({used} is not below it)")
                    else:
                        if used != own:
                            drawn[own].add(used)
                        if not os.path.isfile(os.path.join(src, target)):
                            faults.append(f'{where}: "{target}" does not exist')
    cycle = find_cycle(drawn)
    if cycle:
        faults.append("the includes draw a circle between folders: " + " -> ".join(cycle))
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")
    faults = check(os.path.abspath(root))
    for f in faults:
        print(f)
    if faults:
        print(f"{len(faults)} include(s) against the graph of rooms")
        return 1
    print("every include follows the graph of rooms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
