#!/usr/bin/env python3
"""Fails when a source folder includes a folder that it may not depend on.

The arrows below are the only place the allowed dependencies are written down; a folder may include
itself and every folder reachable along the arrows. Only project includes ("folder/File.h") are read;
system headers in angle brackets are the SDK and never checked.

  check_includes.py [ROOT]     check the tree at ROOT (default: the work tree holding this script)
"""
import pathlib
import re
import sys

# Who may include whom directly; the check allows the transitive closure.
ARROWS = {
    "app": ["pages", "resources"],
    "pages": ["bridge", "formdb", "export", "grid", "common", "resources"],
    "bridge": ["viewer", "common"],
    "formdb": ["common"],
    "export": ["xml", "common"],
    "common": ["framework"],
    "grid": ["framework"],
    "viewer": ["framework"],
    "xml": ["charset"],
    "charset": ["kit"],
    "kit": [],
    "framework": [],
    "resources": [],
    # Build-time generators: they reuse the charset tables and nothing of the program.
    "tools": ["charset"],
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([A-Za-z0-9_]+)/')
SOURCE_SUFFIXES = {".h", ".hpp", ".c", ".cpp", ".rc", ".inl"}


def reachable(folder):
    seen, todo = set(), [folder]
    while todo:
        current = todo.pop()
        if current in seen:
            continue
        seen.add(current)
        todo.extend(ARROWS.get(current, []))
    return seen


def violations(root):
    found = []
    for folder in sorted(ARROWS):
        allowed = reachable(folder)
        base = root / folder
        if not base.is_dir():
            continue
        for path in sorted(base.rglob("*")):
            if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for number, line in enumerate(text.splitlines(), 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = match.group(1)
                # Includes of something that is not a source folder (a generated header's folder)
                # are not arrows.
                if target not in ARROWS or target in allowed:
                    continue
                found.append(f"{path.relative_to(root)}:{number}: {folder}/ may not include {target}/")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    missing = [folder for folder in ARROWS if not (root / folder).is_dir()]
    if missing:
        print(f"check_includes: no folder {', '.join(missing)} under {root}", file=sys.stderr)
        return 1
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print(f"check_includes: {len(found)} include(s) against the dependency arrows", file=sys.stderr)
        return 1
    print("check_includes: every include follows the dependency arrows")
    return 0


if __name__ == "__main__":
    sys.exit(main())
