#!/usr/bin/env python3
"""Writes a manual page (roff) from a program's own --help and --version output.

usage: make_man.py PROGRAM NAME "SHORT DESCRIPTION" OUTPUT
"""
import subprocess
import sys


def roff(text):
    """Escapes a line for roff: backslashes, and a leading dot or quote."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    if text.startswith((".", "'")):
        text = "\\&" + text
    return text


def main():
    program, name, summary, output = sys.argv[1:5]
    help_text = subprocess.run([program, "--help"], check=True, capture_output=True, text=True,
                               timeout=60).stdout
    version = subprocess.run([program, "--version"], check=True, capture_output=True, text=True,
                             timeout=60).stdout.split()[-1]
    lines = [
        f'.TH {name.upper()} 1 "" "{name} {version}" "User Commands"',
        ".SH NAME",
        f"{roff(name)} \\- {roff(summary)}",
        ".SH DESCRIPTION",
        ".nf",
    ]
    lines += [roff(line) for line in help_text.rstrip("\n").split("\n")]
    lines += [".fi", ".SH SEE ALSO", "tellurix(1), tellurix\\-cli(1), feedgrab(1)", ""]
    with open(output, "w", encoding="utf-8") as out:
        out.write("\n".join(lines))


if __name__ == "__main__":
    main()
