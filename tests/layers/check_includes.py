#!/usr/bin/env python3
"""Fails when a source folder includes a folder it may not use.

The folders are layered: each may include the folders listed after it in
LAYERS (and itself), never one before it, so no two folders include each
other. The command-line program uses the core only. A folder that is not
listed here fails too: a new folder must be given its place.
"""
import pathlib
import re
import sys

CORE = ["remote", "sftp", "ftp", "remote_folder", "net", "runs", "encoding", "engine", "addresses", "html", "settings", "files", "text"]
LAYERS = ["app", "info", "widgets"] + CORE
MAY_USE = {folder: set(LAYERS[index:]) for index, folder in enumerate(LAYERS)}
MAY_USE["cli"] = {"cli", *CORE}

# A source's include, or a form's custom-widget header.
INCLUDE = re.compile(r'^\s*#\s*include\s*"(([^"/]+)/[^"]*)"|<header>(([^</]+)/[^<]*)</header>')
SOURCES = {".cpp", ".hpp", ".h", ".ui"}


def violations(src):
    for path in sorted(src.rglob("*")):
        if path.suffix not in SOURCES or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in MAY_USE:
            yield f"{path.relative_to(src.parent)}: folder '{folder}' has no place in the layers"
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8", errors="replace").splitlines(), 1):
            match = INCLUDE.search(line)
            if match is None:
                continue
            header, used = (match.group(1), match.group(2)) if match.group(1) else (match.group(3), match.group(4))
            if used in MAY_USE and used not in MAY_USE[folder]:
                allowed = ", ".join(f for f in LAYERS if f in MAY_USE[folder] and f != folder)
                yield (f"{path.relative_to(src.parent)}:{number}: {folder} includes {used} ({header}); "
                       f"{folder} may include " + (f"only {allowed}" if allowed else "no other folder"))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_includes.py <src folder>")
    src = pathlib.Path(sys.argv[1]).resolve()
    found = list(violations(src))
    for message in found:
        print(message)
    if found:
        print(f"{len(found)} include(s) against the layers")
        sys.exit(1)
    print("includes follow the layers: " + " -> ".join(LAYERS) + "; cli -> " + ", ".join(CORE))


if __name__ == "__main__":
    main()
