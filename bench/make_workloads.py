#!/usr/bin/env python3
"""Writes the benchmark's inputs into a directory, the same bytes on every run.

  page.txt          40 lines of 78 columns
  line.txt          one line, where start-up is nearly the whole run
  page.html         the same page as span HTML, every cell in its own colours
  page.cells        the same cells for the floor program (character, rrggbb, rrggbb)
  page.pango        the same cells as Pango markup, one span per cell
  terminal.ansi     40 lines of coloured terminal output, as `ls -l --color` and `grep --color`
                    write it (SGR colours, bold, resets, erase to end of line)
  terminal.cells    the same screen for the floor program, colours resolved as a terminal would,
                    bold cells marked for the bold face
  terminal.txt      the same text without the escape sequences
  log.txt           20,000 lines of 10 to 120 characters
  narrow.txt        20,000 lines that all fit inside the 640-pixel canvas (10 to 70 characters)
  log-N.txt         the first N lines of log.txt, for the time-against-size plot
  small/NNN.txt     500 small files of 4 to 12 lines

The text avoids '%', '@', '\\', quotes, '&', '<' and '>' so that every tool reads it as plain
characters (ImageMagick would expand some of them, markup others)."""
import os
import random
import re
import sys

WORDS = """request handler session timeout retry server client cache worker queue
index commit branch merge build test deploy config value result error warning info debug
GET POST PUT /api/v1/items /var/log/app 200 201 404 500 0x7f3a9c 42 1024 3.14 12ms 250ms
latency=12ms status=ok user=alice user=bob id=77 (pending) [done] {ready} += :: ;
int main return if else for while struct class void auto const static""".split()

PALETTE = ["d4d4d4", "569cd6", "ce9178", "6a9955", "c586c0", "dcdcaa", "4ec9b0", "f44747",
           "9cdcfe", "b5cea8", "ffd700", "808080"]
BACKGROUNDS = ["1e1e1e", "1e1e1e", "1e1e1e", "264f78", "3a3d41", "1e1e1e", "2d2d2d", "5a1d1d"]


def line(rng, shortest, longest):
    length = rng.randint(shortest, longest)
    text = ""
    while len(text) < length:
        text += rng.choice(WORDS) + " "
    return text[:length].rstrip() or "x"


def page_lines(rng):
    return [line(rng, 78, 78).ljust(78, ".") for _ in range(40)]


def coloured_cells(rows, rng):
    """Per row a list of (character, text colour, background colour); colours change per word."""
    out = []
    for row in rows:
        cells = []
        fg, bg = PALETTE[0], BACKGROUNDS[0]
        for i, c in enumerate(row):
            if i == 0 or row[i - 1] == " ":
                fg, bg = rng.choice(PALETTE), rng.choice(BACKGROUNDS)
            cells.append((c, fg, bg))
        out.append(cells)
    return out


# The terminal's sixteen colours, as vedad resolves SGR 30-37 and 90-97 (bold brightens 30-37).
TERMINAL_COLORS = ["000000", "cd0000", "00cd00", "cdcd00", "0000ee", "cd00cd", "00cdcd", "e5e5e5",
                   "7f7f7f", "ff0000", "00ff00", "ffff00", "5c5cff", "ff00ff", "00ffff", "ffffff"]
ESC = "\x1b"
# What `ls --color` gives some kinds of file: directories, programs, links, archives, pictures,
# and a directory others may write to (black on green).
LS_KINDS = [("drwxr-xr-x", "01;34", ""), ("-rwxr-xr-x", "01;32", ""), ("lrwxrwxrwx", "01;36", ""),
            ("-rw-r--r--", "01;31", ".tar.gz"), ("-rw-r--r--", "01;35", ".png"), ("drwxrwxrwx", "30;42", ""),
            ("-rw-r--r--", "", ".txt"), ("-rw-r--r--", "", ".cpp"), ("-rw-r--r--", "", "")]
NAMES = "src build docs tests main server client cache worker queue index config notes report".split()
MATCHES = ["error", "timeout", "retry", "TODO"]


def terminal_lines(rng):
    """Lines of `ls -l` and `grep -n` output with the escape sequences those tools write."""
    lines = []
    for i in range(40):
        if i < 20:
            mode, sgr, suffix = rng.choice(LS_KINDS)
            name = rng.choice(NAMES) + ("_" + rng.choice(NAMES) if rng.random() < 0.5 else "") + suffix
            shown = f"{ESC}[{sgr}m{name}{ESC}[0m" if sgr else name
            lines.append(f"{mode} {rng.randint(1, 9)} alice staff "
                         f"{rng.randint(10, 999999):7d} Jun {rng.randint(1, 30):2d} {rng.randint(0, 23):02d}:"
                         f"{rng.randint(0, 59):02d} {shown}")
        else:
            colour = lambda code, text: f"{ESC}[{code}m{ESC}[K{text}{ESC}[m{ESC}[K"  # noqa: E731
            match = rng.choice(MATCHES)
            before, after = line(rng, 10, 30), line(rng, 5, 25)
            lines.append(colour("35", f"src/{rng.choice(NAMES)}/{rng.choice(NAMES)}.cpp") + colour("36", ":") +
                         colour("32", str(rng.randint(1, 2000))) + colour("36", ":") +
                         f"    {before} " + colour("01;31", match) + f" {after}")
    return lines


def terminal_cells(lines):
    """The characters of the terminal lines with their resolved colours (text, background)."""
    rows = []
    for text in lines:
        fg, bg, bold, cells = None, None, False, []
        for piece in re.split(f"({re.escape(ESC)}\\[[0-9;]*[A-Za-z])", text):
            if not piece.startswith(ESC):
                for c in piece:
                    shown = TERMINAL_COLORS[fg + (8 if bold and fg < 8 else 0)] if fg is not None else "ffffff"
                    cells.append((c, shown, TERMINAL_COLORS[bg] if bg is not None else "000000", "b" if bold else "r"))
                continue
            if piece[-1] != "m":
                continue
            for code in [int(p) for p in piece[2:-1].split(";") if p] or [0]:
                if code == 0:
                    fg, bg, bold = None, None, False
                elif code == 1:
                    bold = True
                elif 30 <= code <= 37:
                    fg = code - 30
                elif 40 <= code <= 47:
                    bg = code - 40
        rows.append(cells)
    return rows


def write(path, text):
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def main(directory):
    os.makedirs(os.path.join(directory, "small"), exist_ok=True)
    rng = random.Random(20240607)

    page = page_lines(rng)
    write(os.path.join(directory, "page.txt"), "\n".join(page) + "\n")

    write(os.path.join(directory, "line.txt"), page[0] + "\n")

    cells = coloured_cells(page, rng)
    html, floor, pango = [], [], []
    for row in cells:
        h, f, p = [], [], []
        for c, fg, bg in row:
            shown = "&nbsp;" if c == " " else c
            h.append(f"<span style='color:#{fg}; background-color:#{bg}'>{shown}</span>")
            f.append(f"{c}{fg}{bg}r")
            p.append(f'<span foreground="#{fg}" background="#{bg}">{c}</span>')
        html.append("".join(h) + "<br/>")
        floor.append("".join(f))
        pango.append("".join(p))
    write(os.path.join(directory, "page.html"), "\n".join(html) + "\n")
    write(os.path.join(directory, "page.cells"), "\n".join(floor) + "\n")
    write(os.path.join(directory, "page.pango"), "\n".join(pango))

    # A generator of its own, so that the other workloads stay the bytes they were.
    terminal = terminal_lines(random.Random(20240608))
    write(os.path.join(directory, "terminal.ansi"), "\n".join(terminal) + "\n")
    write(os.path.join(directory, "terminal.cells"),
          "\n".join("".join(f"{c}{fg}{bg}{face}" for c, fg, bg, face in row) for row in terminal_cells(terminal)) + "\n")
    write(os.path.join(directory, "terminal.txt"), re.sub(f"{re.escape(ESC)}\\[[0-9;]*[A-Za-z]", "", "\n".join(terminal)) + "\n")

    log = [line(rng, 10, 120) for _ in range(20000)]
    write(os.path.join(directory, "log.txt"), "\n".join(log) + "\n")
    for count in (40, 500, 2000, 5000, 10000, 20000):
        write(os.path.join(directory, f"log-{count}.txt"), "\n".join(log[:count]) + "\n")

    narrow = [line(rng, 10, 70) for _ in range(20000)]
    write(os.path.join(directory, "narrow.txt"), "\n".join(narrow) + "\n")

    for n in range(500):
        lines = [line(rng, 20, 70) for _ in range(rng.randint(4, 12))]
        write(os.path.join(directory, "small", f"{n:03d}.txt"), "\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
