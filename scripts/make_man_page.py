#!/usr/bin/python3
"""Writes the manual page of the command line from its own help texts.

Usage: make_man_page.py <quillmaskerade-cli> <version> <output file>

The program's help and each command's help (the commands as the program's
help lists them under "Befehle:") become one page in section 1: a headline
ending in ":" becomes a sub-heading, an indented block keeps its lines.
"""
import subprocess
import sys


def help_text(program, *command):
    done = subprocess.run([program, *command, "--help"], capture_output=True, text=True, check=True)
    return done.stdout.rstrip("\n").split("\n")


def escaped(line):
    line = line.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + line if line.startswith((".", "'")) else line


def blocks(lines):
    """Splits help lines into (kind, lines): 'usage', 'heading', 'text' or 'indented'."""
    result = []
    for line in lines:
        if not line.strip():
            result.append(("blank", []))
        elif line.startswith("Aufruf: "):
            result.append(("usage", [line[len("Aufruf: "):]]))
        elif line.startswith(" ") and result and result[-1][0] == "usage":
            result[-1][1][0] += " " + line.strip()
        elif line.startswith(" "):
            if result and result[-1][0] == "indented":
                result[-1][1].append(line)
            else:
                result.append(("indented", [line]))
        elif line.endswith(":"):
            result.append(("heading", [line[:-1]]))
        elif result and result[-1][0] == "text":
            result[-1][1].append(line)
        else:
            result.append(("text", [line]))
    return [block for block in result if block[0] != "blank"]


def roff(lines, heading_macro):
    out = []
    for kind, text in blocks(lines):
        if kind == "usage":
            out += [".PP", ".B " + escaped(text[0])]
        elif kind == "heading":
            out += [heading_macro + " " + escaped(text[0])]
        elif kind == "text":
            out += [".PP"] + [escaped(line) for line in text]
        else:
            out += [".RS 2", ".nf"] + [escaped(line[2:]) for line in text] + [".fi", ".RE"]
    return out


def commands(program_help):
    listed, inside = [], False
    for line in program_help:
        if line == "Befehle:":
            inside = True
        elif inside and line.startswith("  "):
            listed.append(line.split()[0])
        elif inside:
            break
    return listed


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_man_page.py <quillmaskerade-cli> <version> <output file>")
    program, version, output = sys.argv[1:]
    program_help = help_text(program)
    names = commands(program_help)
    if not names:
        sys.exit("make_man_page.py: the program's help lists no commands")
    summary = next(kind_text[1][0] for kind_text in blocks(program_help) if kind_text[0] == "text")
    page = [
        '.TH QUILLMASKERADE\\-CLI 1 "" "Quillmaskerade %s" "Benutzerbefehle"' % version,
        # German text: no English hyphenation, no stretched lines.
        ".nh",
        ".ad l",
        ".SH NAME",
        "quillmaskerade\\-cli \\- " + escaped(summary.split(",")[0]),
        ".SH BESCHREIBUNG",
    ]
    page += roff(program_help, ".SS")
    page.append(".SH BEFEHLE")
    for name in names:
        page += [".SS " + escaped(name)] + roff(help_text(program, name), ".TP\n.B")
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(page) + "\n")


if __name__ == "__main__":
    main()
