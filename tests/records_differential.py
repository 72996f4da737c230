#!/usr/bin/env python3
"""quorvel-cli's --rows reading against Python's csv module on generated
Shift_JIS files: every field of every record, byte for byte.

    records_differential.py QUORVEL-CLI WORKDIR [FILES]

Python's csv reads the text decoded from code page 932 (so a second byte is
never a comma, a quote or a line break), with newline='' so that line
breaks inside quoted values stay as the file has them; it skips empty
lines. The tool's `show --rows` prints each cell with bytes outside
0x21-0x7E, and "\\" and ",", as \\xHH."""
import csv
import io
import os
import random
import re
import subprocess
import sys

PIECES = ["a", "b", "x y", " lead", "trail ", "東京", "ソ", "表示", "ｶﾀｶﾅ", "品番", "1", "23", "",
          "tab\tin", "ー", "＃", "~", "!", "a'b", "\\"]


def random_field(rng):
    text = "".join(rng.choice(PIECES) for _ in range(rng.randint(0, 3)))
    kind = rng.random()
    if kind < 0.25:  # quoted, with what only quotes may hold
        inner = text + rng.choice(["", ",", '""', "\r\n", "\n", "\r", ", ,", '"x"'])
        return '"' + inner.replace('"', '""') + '"'
    if kind < 0.35:
        return text + '"' + rng.choice(PIECES)  # a quote inside an unquoted value
    return text.replace('"', "")


def random_file(rng):
    records = []
    width = rng.randint(1, 6)
    for _ in range(rng.randint(0, 30)):
        fields = [random_field(rng) for _ in range(rng.randint(1, width))]
        records.append(",".join(fields))
    breaks = [rng.choice(["\r\n", "\n", "\r"]) for _ in records]
    text = "".join(r + b for r, b in zip(records, breaks))
    if records and rng.random() < 0.3:
        text = text[: -len(breaks[-1])]  # no line break after the last record
    return text


UNESCAPE = re.compile(rb"\\x([0-9A-F]{2})")


def tool_records(cli, path):
    out = subprocess.run([cli, "show", path, "--rows", "--codepage", "932"], check=True,
                         capture_output=True).stdout
    rows = []
    for line in out.split(b"\n")[:-1]:
        rows.append([UNESCAPE.sub(lambda m: bytes([int(m.group(1), 16)]), cell) for cell in line.split(b",")])
    return rows


def python_records(text):
    rows = [r for r in csv.reader(io.StringIO(text, newline="")) if r]
    width = max((len(r) for r in rows), default=1)
    return [[f.encode("cp932") for f in r] + [b""] * (width - len(r)) for r in rows]


def main():
    cli, work = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 2000
    os.makedirs(work, exist_ok=True)
    rng = random.Random(932)
    differ = 0
    for i in range(count):
        text = random_file(rng)
        path = os.path.join(work, "gen.csv")
        with open(path, "wb") as f:
            f.write(text.encode("cp932"))
        # A table has at least one row: no records show as one empty row.
        expected = python_records(text) or [[b""]]
        got = tool_records(cli, path)
        if got != expected:
            differ += 1
            if differ <= 3:
                print(f"file {i} differs:\n  text   {text!r}\n  python {expected!r}\n  tool   {got!r}")
    print(f"{count} generated files: {count - differ} equal, {differ} differ")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
