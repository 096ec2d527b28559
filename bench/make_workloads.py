#!/usr/bin/env python3
"""Writes the benchmark's inputs into a directory, the same bytes on every run.

  page.txt          40 lines of 78 columns
  page.html         the same page as span HTML, every cell in its own colours
  page.cells        the same cells for the floor program (character, rrggbb, rrggbb)
  page.pango        the same cells as Pango markup, one span per cell
  log.txt           20,000 lines of 10 to 120 characters
  narrow.txt        20,000 lines that all fit inside the 640-pixel canvas (10 to 70 characters)
  log-N.txt         the first N lines of log.txt, for the time-against-size plot
  small/NNN.txt     500 small files of 4 to 12 lines

The text avoids '%', '@', '\\', quotes, '&', '<' and '>' so that every tool reads it as plain
characters (ImageMagick would expand some of them, markup others)."""
import os
import random
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


def write(path, text):
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)


def main(directory):
    os.makedirs(os.path.join(directory, "small"), exist_ok=True)
    rng = random.Random(20240607)

    page = page_lines(rng)
    write(os.path.join(directory, "page.txt"), "\n".join(page) + "\n")

    cells = coloured_cells(page, rng)
    html, floor, pango = [], [], []
    for row in cells:
        h, f, p = [], [], []
        for c, fg, bg in row:
            shown = "&nbsp;" if c == " " else c
            h.append(f"<span style='color:#{fg}; background-color:#{bg}'>{shown}</span>")
            f.append(f"{c}{fg}{bg}")
            p.append(f'<span foreground="#{fg}" background="#{bg}">{c}</span>')
        html.append("".join(h) + "<br/>")
        floor.append("".join(f))
        pango.append("".join(p))
    write(os.path.join(directory, "page.html"), "\n".join(html) + "\n")
    write(os.path.join(directory, "page.cells"), "\n".join(floor) + "\n")
    write(os.path.join(directory, "page.pango"), "\n".join(pango))

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
