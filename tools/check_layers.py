#!/usr/bin/env python3
"""Checks that the includes of src/ follow its layer table.

The table is the one in src/README.md (read from there, so the documented rule and the
enforced rule cannot drift apart): each row names a tier, a folder and the sibling folders
of the same tier it may include. A file may include its own folder, any folder of a lower
tier, and the siblings its row names; nothing else. A file in a sub-folder (src/ui/commands/)
follows its top folder's row, and an include names the top folder first ("ui/commands/..."). Only `#include "folder/..."` lines are
looked at; includes without a folder (generated headers, third-party ones) are not ours.

Usage: check_layers.py [SRC_DIR]    (default: the src/ beside this tool's folder)
Prints one line per broken rule and exits 1; prints a summary and exits 0 when all hold.
"""
import re
import sys
from pathlib import Path

ROW = re.compile(r"^\|\s*(\d+)\s*\|\s*`?([a-z_]+)`?\s*\|([^|]*)\|")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')
SOURCE_SUFFIXES = {".h", ".cpp", ".in"}


class TableError(Exception):
    pass


def read_table(readme):
    """{folder: (tier, {siblings})} from the README's rows "| tier | folder | siblings | ... |"."""
    if not readme.is_file():
        raise TableError(f"{readme}: missing (it holds the layer table)")
    table = {}
    for line in readme.read_text(encoding="utf-8").splitlines():
        match = ROW.match(line)
        if not match:
            continue
        tier, folder, siblings = int(match.group(1)), match.group(2), match.group(3)
        names = {name.strip(" `") for name in siblings.split(",") if name.strip(" `-—")}
        if folder in table:
            raise TableError(f"{readme}: folder {folder} has two rows")
        table[folder] = (tier, names)
    if not table:
        raise TableError(f"{readme}: no layer table rows found")
    check_siblings(table, readme)
    return table


def check_siblings(table, readme):
    for folder, (tier, siblings) in table.items():
        for sibling in siblings:
            if sibling not in table:
                raise TableError(f"{readme}: {folder} names an unknown sibling {sibling}")
            if table[sibling][0] != tier:
                raise TableError(f"{readme}: {folder} names {sibling} as a sibling, but it is in another tier")
    # Sibling edges must form no cycle, or the tier would not be layered at all.
    state = {}

    def visit(folder, path):
        if state.get(folder) == "done":
            return
        if state.get(folder) == "open":
            raise TableError(f"{readme}: siblings include each other in a circle: {' -> '.join(path + [folder])}")
        state[folder] = "open"
        for sibling in sorted(table[folder][1]):
            visit(sibling, path + [folder])
        state[folder] = "done"

    for folder in sorted(table):
        visit(folder, [])


def allowed(table, source, target):
    if source == target:
        return True
    source_tier, siblings = table[source]
    target_tier = table[target][0]
    return target_tier < source_tier or target in siblings


def check(src):
    """Returns the list of broken rules (empty when the tree follows its table)."""
    try:
        table = read_table(src / "README.md")
    except TableError as error:
        return [str(error)]
    problems = []
    for folder in sorted(p for p in src.iterdir() if p.is_dir()):
        if folder.name not in table:
            problems.append(f"{folder}: folder is not in the layer table of {src / 'README.md'}")
            continue
        for path in sorted(folder.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                where = f"{path}:{number}: {folder.name} includes {target}/"
                if target not in table:
                    problems.append(f"{where}: {target} is not a folder of the layer table")
                elif not allowed(table, folder.name, target):
                    source_tier, target_tier = table[folder.name][0], table[target][0]
                    kind = "an upward include" if target_tier > source_tier else "a sibling the table does not allow"
                    problems.append(f"{where}: {kind} (tier {source_tier} -> tier {target_tier})")
    return problems


def main(argv):
    src = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parents[1] / "src"
    problems = check(src)
    for problem in problems:
        print(problem)
    if problems:
        print(f"check_layers: {len(problems)} include(s) break the layer table of {src / 'README.md'}")
        return 1
    print(f"check_layers: every include of {src} follows its layer table")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
