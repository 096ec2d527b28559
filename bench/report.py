#!/usr/bin/env python3
"""Turns the results of bench/run.sh into docs/performance.md and the plot's data file.

usage: report.py RESULTS_DIR MARKDOWN_OUT PLOT_DATA_OUT"""
import json
import os
import statistics
import sys


def read_pairs(path):
    values = {}
    with open(path) as f:
        for line in f:
            if "=" in line:
                key, value = line.rstrip("\n").split("=", 1)
                values.setdefault(key, []).append(value)
    return values


def times(results, name):
    """Per command: median, fastest and mean CPU time over the runs of one or more rounds."""
    paths = [os.path.join(results, f"time-{name}.json")]
    if not os.path.exists(paths[0]):
        paths = [os.path.join(results, f"time-{name}-{r}.json") for r in (1, 2, 3)]
    runs = {}
    for path in paths:
        with open(path) as f:
            for r in json.load(f)["results"]:
                entry = runs.setdefault(r["command"], {"times": [], "cpu": []})
                entry["times"] += r["times"]
                entry["cpu"].append((r["user"] + r["system"], len(r["times"])))
    return {command: {"median": statistics.median(e["times"]), "min": min(e["times"]),
                      "cpu": sum(c * n for c, n in e["cpu"]) / sum(n for _, n in e["cpu"]), "runs": len(e["times"])}
            for command, e in runs.items()}


def ms(r):
    return f"{r['median'] * 1000:.1f} ({r['min'] * 1000:.1f})"


def sec(r):
    return f"{r['median']:.2f} ({r['min']:.2f})"


def cpu(r):
    return f"{r['cpu'] * 1000:.1f}"


def verdict(ok):
    return "met" if ok else "**missed**"


def main(results, markdown, plot_data):
    machine = {k: v[0] for k, v in read_pairs(os.path.join(results, "machine.txt")).items()}
    instr = {k: int(v[0]) for k, v in read_pairs(os.path.join(results, "instructions.txt")).items()}
    peaks = {k: min(int(x) for x in v) for k, v in read_pairs(os.path.join(results, "peak.txt")).items()}
    page, span = times(results, "page"), times(results, "span")
    log, narrow, files = times(results, "log"), times(results, "narrow"), times(results, "files")
    sizes = {n: times(results, f"size-{n}") for n in (40, 500, 2000, 5000, 10000)}
    sizes[20000] = log
    per_file = []
    with open(os.path.join(results, "per-file.txt")) as f:
        per_file = [int(line) for line in f if line.strip()]

    with open(plot_data, "w") as f:
        for n in sorted(sizes):
            f.write(f"{n} {sizes[n]['vedad']['median'] * 1000:.3f} {sizes[n]['floor, every row']['median'] * 1000:.3f}\n")

    mi = lambda k: f"{instr[k] / 1e6:.1f}"  # noqa: E731
    mb = lambda k: f"{peaks[k] / 1024:.1f}"  # noqa: E731

    page_instr_ratio = instr["page_vedad"] / instr["page_floor"]
    page_vs_pango = page["vedad"]["median"] / page["pango-view"]["median"]
    page_vs_magick = page["vedad"]["median"] / page["ImageMagick"]["median"]
    log_ratio = log["vedad"]["median"] / log["floor, every row"]["median"]
    narrow_ratio = narrow["vedad"]["median"] / narrow["floor, every row"]["median"]
    span_instr_ratio = instr["span_vedad"] / instr["span_floor"]
    span_time_ratio = span["vedad"]["median"] / span["floor"]["median"]
    span_floor_vs_pango = span["floor"]["median"] / span["pango-view --markup"]["median"]
    first, last = sum(per_file[:100]), sum(per_file[-100:])
    files_vs_magick = files["ImageMagick, 500 runs"]["median"] / files["vedad, one run"]["median"]
    page_cpu = lambda key: page[key]["cpu"]  # noqa: E731
    memory_over = (peaks["page_vedad"] - peaks["page_floor"]) / 1024

    out = []
    w = out.append
    w("# Performance\n")
    w("How fast vedad turns text into a PNG, measured side by side with ImageMagick, pango-view and")
    w("the *floor*: a minimal program of our own, [bench/floor.c](../bench/floor.c), that makes exactly")
    w("the libgd calls one page needs (fill, colours, the 67 measurements of the cell sample, one")
    w("drawing call per line or two per span cell, crop, PNG) and nothing else. Its pictures are")
    w("byte for byte vedad's, which the benchmark checks before it measures. Every figure on this page")
    w("comes from one run of\n")
    w("    bash bench/run.sh\n")
    w("which installs its tools from Debian if they are missing, builds a release vedad (libgd linked")
    w("statically, the default, and for comparison dynamically) and both floors in `build-bench/`,")
    w("writes the workloads with [bench/make_workloads.py](../bench/make_workloads.py) (the same bytes")
    w("every run), and measures wall time with hyperfine, instructions with `valgrind --tool=callgrind`")
    w("and peak memory with `/usr/bin/time` (the smallest of three runs). Ratios are taken within the")
    w("run; absolute times depend on the machine and its load. Wall times are given as the median of")
    w("the runs, with the fastest run in brackets; ratios of wall times are ratios of medians. CPU time")
    w("is user plus system time, the mean over the runs. On a loaded machine the wall times of")
    w("programs that do the same work can differ by half (compare vedad and the floor); the")
    w("instruction counts do not move.\n")
    w("Every tool draws with the same font file, FreeMono at 7 points and 96 dots per inch:")
    w(f"vedad, the floors and ImageMagick get `/usr/share/fonts/truetype/freefont/FreeMono.ttf` by path;")
    w(f"pango-view asks fontconfig for \"FreeMono 7\", which gives `{machine['pango_font_file']}`")
    w("(FreeMono, or a link to it). ImageMagick draws onto a 640x480 canvas and trims it (`-annotate`,")
    w("`-trim`); pango-view renders the text with no margin.\n")

    w("## Machine and conditions\n")
    w(f"- {machine['cpu']}, {machine['cores']} cores, {machine['memory']}; Linux {machine['kernel']}, Debian {machine['debian']}; {machine['gcc']}")
    w(f"- libgd {machine['pkg_libgd3']}, FreeType {machine['pkg_libfreetype6']}, libpng {machine['pkg_libpng16-16']}; "
      f"ImageMagick {machine['pkg_imagemagick-6.q16']}; pango-view {machine['pkg_pango1.0-tools']} "
      f"(Pango {machine['pkg_libpango-1.0-0']}, cairo {machine['pkg_libcairo2']}); hyperfine {machine['pkg_hyperfine']}, valgrind {machine['pkg_valgrind']}")
    w(f"- load average (1, 5, 15 min) at the start {machine['load_start']}, at the end {machine['load_end']}: "
      "another developer's fuzzers may share the machine, so the decisions were taken on instruction counts, which load does not change")
    w(f"- hyperfine: {3 * int(machine['runs'])} runs for the pages (three rounds of {machine['runs']}), {machine['big_runs']} for the large inputs, one warm-up each, "
      f"at {'the raised priority `' + machine['priority'] + '`' if machine['priority'] != 'normal' else 'normal priority'}\n")

    w("## Targets\n")
    w("| target | measured | |")
    w("|---|---|---|")
    w(f"| page: instructions at most 1.03 × the floor's | {page_instr_ratio:.3f} × | {verdict(page_instr_ratio <= 1.03)} |")
    w(f"| page: wall time below pango-view's | {page_vs_pango:.2f} × (CPU time {page_cpu('vedad') / page_cpu('pango-view'):.2f} ×) | {verdict(page_vs_pango < 1)} |")
    w(f"| page: wall time at most 1/3 of ImageMagick's | {page_vs_magick:.2f} × (CPU time {page_cpu('vedad') / page_cpu('ImageMagick'):.2f} ×) | {verdict(page_vs_magick <= 1 / 3)} |")
    w(f"| 20,000-line log: at most 0.1 × the time of drawing every row | {log_ratio:.3f} × | {verdict(log_ratio <= 0.1)} |")
    w(f"| 20,000 narrow lines: at most 0.5 × | {narrow_ratio:.3f} × | {verdict(narrow_ratio <= 0.5)} |")
    w(f"| span page: at most 1.05 × the floor making the same calls (instructions) | {span_instr_ratio:.3f} × | {verdict(span_instr_ratio <= 1.05)} |")
    w(f"| span page: the same in wall time | {span_time_ratio:.3f} × | {verdict(span_time_ratio <= 1.05)} |")
    w(f"| 500 files in one run: last hundred no dearer than the first hundred (instructions) | {last / first:.4f} × | {verdict(last <= first)} |")
    w(f"| 500 files: at least 3 × faster than 500 ImageMagick runs | {files_vs_magick:.1f} × faster | {verdict(files_vs_magick >= 3)} |")
    w(f"| peak memory of a page at most the floor's + 1 MB | +{memory_over:.2f} MB | {verdict(memory_over <= 1)} |")
    w("")

    w("## A page of text (40 lines of 78 columns)\n")
    w("| program | wall time (ms) | CPU time (ms) | instructions (M) | peak memory (MB) |")
    w("|---|---:|---:|---:|---:|")
    rows = [("vedad", "vedad", "page_vedad"), ("vedad, shared libgd", "vedad, shared libgd", "page_vedad_shared"),
            ("floor", "floor", "page_floor"), ("floor, shared libgd", "floor, shared libgd", "page_floor_shared"),
            ("pango-view", "pango-view", "page_pango"), ("ImageMagick `convert`", "ImageMagick", "page_magick")]
    for label, key, k in rows:
        w(f"| {label} | {ms(page[key])} | {cpu(page[key])} | {mi(k)} | {mb(k)} |")
    w("")
    w(f"vedad links libgd's static archive when libgd-dev provides it, and the C++ runtime, and so loads")
    w(f"{int(machine['libraries_static']) - 2} shared libraries where the shared libgd makes it load {int(machine['libraries_shared']) - 2} (`ldd` lists")
    w(f"{machine['libraries_static']} lines against {machine['libraries_shared']}): the shared libgd brings every image format it was built")
    w("with, and their start-up code (a video decoder's among them) runs before `main`. The pictures")
    w("are the same, libgd's code being the same. `-DVEDAD_STATIC_GD=OFF` links the shared libgd,")
    w("`-DVEDAD_STATIC_CXX_RUNTIME=OFF` the shared C++ runtime, which costs about a megabyte of memory")
    w("more per run. The floor is a C program and never loads the C++ runtime.\n")

    w("## The span HTML page (the same page, every cell in its own colours)\n")
    w("| program | wall time (ms) | CPU time (ms) | instructions (M) | peak memory (MB) |")
    w("|---|---:|---:|---:|---:|")
    for label, key, k in [("vedad `--html-input`", "vedad", "span_vedad"), ("floor, same per-cell calls", "floor", "span_floor"),
                          ("pango-view `--markup`, one span per cell", "pango-view --markup", "span_pango")]:
        w(f"| {label} | {ms(span[key])} | {cpu(span[key])} | {mi(k)} | {mb(k) if k in peaks else '–'} |")
    w("")
    w(f"The floor itself takes {span_floor_vs_pango:.2f} times as long as pango-view on the same cells. The")
    w("program draws every character twice (once to find its cell, again over the filled cell) with one")
    w("`gdImageStringFT` call each, and libgd pays its whole set-up on every call: it looks the font up")
    w("in its cache, sets the character size, scans the character maps, lays the text out and only then")
    w("loads and renders the one glyph. Pango shapes a whole line once and renders each glyph from a")
    w("cache. What could close the gap without changing a pixel:\n")
    w("- Measure instead of the first drawing where it is hidden: the first drawing of a glyph whose ink")
    w("  lies wholly inside the cell filled after it is painted over, so a measuring call (for one")
    w("  character about half a drawing call, the set-up being most of both) would do. libgd's box is")
    w("  no exact bound of the ink, though (see below), so only glyphs seen to stay well inside their")
    w("  cells could take that path.")
    w("- Render each distinct glyph once per page and copy its coverage: what libgd draws for a glyph at")
    w("  an integer pen depends only on the glyph, the colour and the pixels under it, so a cache of")
    w("  coverage bitmaps blended with libgd's own rule would give the same pixels at a fraction of the")
    w("  cost. It means reproducing libgd's blending outside libgd, which this program does not do.")
    w("- Neither removes libgd's set-up on each call, which is most of the cost of one character;")
    w("  only fewer calls would.\n")

    w("## Large inputs: cost follows what is visible\n")
    w("| workload | vedad (s) | floor, every row (s) | ratio | vedad instructions (M) |")
    w("|---|---:|---:|---:|---:|")
    w(f"| 20,000-line log, lines of 10 to 120 characters | {sec(log['vedad'])} | {sec(log['floor, every row'])} | {log_ratio:.3f} | {mi('log_vedad')} |")
    w(f"| 20,000 lines that fit the width (10 to 70 characters) | {sec(narrow['vedad'])} | {sec(narrow['floor, every row'])} | {narrow_ratio:.3f} | {mi('narrow_vedad')} |")
    w(f"\nPeak memory on the log: vedad {mb('log_vedad')} MB, floor {mb('log_floor')} MB.\n")
    w("![Wall time against the number of input lines](performance-time.png)\n")
    w("| lines | vedad (ms) | floor, every row (ms) |")
    w("|---:|---:|---:|")
    for n in sorted(sizes):
        w(f"| {n} | {ms(sizes[n]['vedad'])} | {ms(sizes[n]['floor, every row'])} |")
    w("")
    w("A row that lies wholly above or below the image changes no pixel, but libgd renders every glyph")
    w("of it all the same. vedad renders a row (or a span cell) only when it may reach the image, and")
    w("otherwise measures it with no image, which gives the same box and so the same advance and text")
    w("extent at about 40 % of the cost. Once the extent covers the image's width, a row that cannot")
    w("reach the image cannot change the crop either, and is not even measured: it is read, and its")
    w("line break counts. The 20,000 narrow lines never cover the width, so each of their rows below")
    w("the image is still measured: that is the 0.4 of their ratio.\n")
    w("Only glyphs already rendered on the page are ever left out, so a glyph that fails to load or")
    w("render still fails the run where it did (FreeType gives the same result for a glyph every time),")
    w("and what those glyphs were seen to reach bounds where their ink can fall. libgd's box is no exact")
    w("bound of the ink: over every glyph of the Basic Multilingual Plane in the FreeFont, DejaVu and")
    w("Droid faces, ink fell up to three quarters of an em outside the box, so text counts as out of")
    w("reach only when it stays two ems and two pixels further away. Tests convert the same inputs")
    w("with everything drawn and compare PNG bytes, messages and exit status.\n")

    w("## 500 small files\n")
    w("| program | wall time (s) |")
    w("|---|---:|")
    for key in ("vedad, one run", "vedad, 500 runs", "pango-view, 500 runs", "ImageMagick, 500 runs"):
        w(f"| {key} | {sec(files[key])} |")
    w("")
    mean_first, mean_last = first / 100, last / 100
    w(f"Instructions per conversion within the one run (start-up left out): first hundred files {mean_first / 1e6:.2f} M")
    w(f"on average, last hundred {mean_last / 1e6:.2f} M. Nothing grows from file to file: every page measures")
    w("its cell again and allocates its image anew, and libgd keeps the face loaded.\n")
    with open(markdown, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main(*sys.argv[1:4])
