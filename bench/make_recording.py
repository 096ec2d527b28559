#!/usr/bin/env python3
"""Writes an asciicast v2 recording of a made-up session with known times, to standard output.

    make_recording.py [--events N] [--seconds S] [--columns C] [--rows R] [--chunk BYTES]

A shell prompt, typed commands a character at a time, coloured listings, a progress bar
redrawn with carriage returns and a build log that scrolls: N output events spread evenly over
S seconds on a C x R terminal. With --chunk the events are instead BYTES of log each, all
within S seconds (for recordings of much output).
"""
import argparse
import json
import sys


def session_pieces():
    """Pieces of output, forever: what a terminal session prints."""
    colors = [31, 32, 33, 34, 35, 36]
    n = 0
    while True:
        command = f"make -C src/module{n % 7} all"
        yield "\x1b[1;32muser@host\x1b[0m:\x1b[1;34m~/work\x1b[0m$ "
        for ch in command:
            yield ch
        yield "\r\n"
        for step in range(0, 101, 5):
            bar = "#" * (step // 5) + "." * (20 - step // 5)
            yield f"\r\x1b[36m[{bar}]\x1b[0m {step:3d}%"
        yield "\r\n"
        for line in range(12):
            color = colors[(n + line) % len(colors)]
            yield f"\x1b[{color}mcc\x1b[0m -O2 -c file{line}.c -o build/file{line}.o  \x1b[2m# {n}:{line}\x1b[0m\r\n"
        n += 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--events", type=int, default=1000)
    parser.add_argument("--seconds", type=float, default=60.0)
    parser.add_argument("--columns", type=int, default=80)
    parser.add_argument("--rows", type=int, default=24)
    parser.add_argument("--chunk", type=int, default=0)
    args = parser.parse_args()
    out = sys.stdout
    out.write(json.dumps({"version": 2, "width": args.columns, "height": args.rows, "timestamp": 0}) + "\n")
    pieces = session_pieces()
    step = args.seconds / max(args.events, 1)
    for i in range(args.events):
        if args.chunk > 0:
            data = ""
            while len(data) < args.chunk:
                data += next(pieces)
        else:
            data = next(pieces)
        out.write(json.dumps([round((i + 1) * step, 6), "o", data]) + "\n")


if __name__ == "__main__":
    main()
