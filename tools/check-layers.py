#!/usr/bin/env python3
"""Checks that the layers run one way: check-layers.py [ROOT]

Every quoted #include of the product's folders must name a file of its own folder or of a
folder the table below lets it use, and no two units (a header with its source file)
may include each other through any chain. Tests, benchmarks, fuzz targets, examples and
tools may use every product folder, but nothing of the product uses them. Prints each
violation and exits 1 when there is one."""
import os
import re
import sys

# Folder -> the folders its files may include (besides their own). A file belongs to the
# longest folder of this table that holds it.
LAYERS = {
    'toolkit': set(),
    'toolkit/headless': {'toolkit'},
    'toolkit/win32': {'toolkit'},
    'engine': {'toolkit'},
    'engine/effects': {'engine', 'toolkit'},
    'settings': {'engine', 'toolkit'},
    'colorpicker': {'toolkit', 'toolkit/win32'},
    'demo': {'colorpicker', 'engine', 'settings', 'toolkit', 'toolkit/win32'},
    'activex/com': {'toolkit', 'toolkit/win32'},
    'activex': {'activex/com', 'colorpicker', 'engine', 'settings', 'toolkit', 'toolkit/win32'},
    'cli': {'engine', 'settings', 'toolkit'},
    'web': {'engine', 'settings', 'toolkit', 'toolkit/headless'},
    'deploy': {'activex', 'engine'},
}
OUTSIDE = ('tests', 'bench', 'fuzz', 'examples', 'tools')

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    best = None
    for folder in LAYERS:
        if path.startswith(folder + '/') and (best is None or len(folder) > len(best)):
            best = folder
    return best


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else '.')
    files = {}
    for folder, dirs, names in os.walk(root):
        rel = os.path.relpath(folder, root)
        dirs[:] = [d for d in dirs if not (rel == '.' and (d == 'build' or d.startswith('.')))]
        for name in names:
            if name.endswith(('.h', '.hpp', '.cpp', '.cc', '.c')):
                path = os.path.normpath(os.path.join(rel, name))
                files[path] = os.path.join(folder, name)

    problems = []
    units = {}  # unit -> units it includes
    for path, full in sorted(files.items()):
        unit = os.path.splitext(path)[0]
        with open(full, errors='replace') as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1)
                target = next((c for c in (os.path.normpath(os.path.join(os.path.dirname(path), name)),
                                           os.path.normpath(name)) if c in files), None)
                if target is None:
                    continue
                target_unit = os.path.splitext(target)[0]
                if target_unit != unit:
                    units.setdefault(unit, set()).add(target_unit)
                mine, theirs = layer_of(path), layer_of(target)
                if mine is None:
                    continue
                where = '%s:%d: includes %s' % (path, number, target)
                if target.split('/')[0] in OUTSIDE:
                    problems.append(where + ' (the product never uses %s/)' % target.split('/')[0])
                elif theirs not in (None, mine) and theirs not in LAYERS[mine]:
                    problems.append(where + ' (%s/ may not use %s/)' % (mine, theirs))

    # Circles among units: a depth-first search that reports each back edge's circle once.
    state, stack, circles = {}, [], set()

    def visit(unit):
        state[unit] = 1
        stack.append(unit)
        for nxt in sorted(units.get(unit, ())):
            if state.get(nxt) == 1:
                circle = stack[stack.index(nxt):]
                start = circle.index(min(circle))
                circles.add(tuple(circle[start:] + circle[:start]))
            elif nxt not in state:
                visit(nxt)
        stack.pop()
        state[unit] = 2

    sys.setrecursionlimit(10000)
    for unit in sorted(units):
        if unit not in state:
            visit(unit)
    for circle in sorted(circles):
        problems.append('include circle: ' + ' -> '.join(circle + (circle[0],)))

    for problem in problems:
        print(problem)
    print('%d problem(s) among %d files' % (len(problems), len(files)))
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())
