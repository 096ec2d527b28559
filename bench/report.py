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


def against_section(results, w):
    """The instructions of a fully covered page now and at an earlier revision (bench/against.sh)."""
    path = os.path.join(results, "against.txt")
    if not os.path.exists(path):
        return None
    v = {k: x[0] for k, x in read_pairs(path).items()}
    ratios = {n: int(v[f"{n}_new"]) / int(v[f"{n}_old"]) for n in ("page", "span", "terminal")}
    w(f"## Fallback fonts: a page the font fully covers\n")
    w(f"A page whose every character the main font has should cost no more than it did before")
    w(f"fallback fonts were added. [bench/against.sh](../bench/against.sh) builds revision {v['rev']}")
    w(f"(\"{v['rev_subject']}\"{', the last before fonts were found by name and fallback faces came in' if v['rev'] == '80d3626' else ''})")
    w(f"from `git archive` and this tree (the program as of {v['now']}), both as the release build")
    w("above, and counts the instructions of each on the same workloads, FreeMono given by path")
    w("with `--font=`:\n")
    w(f"    bash bench/against.sh {v['rev']}        # or: bash bench/run.sh --against={v['rev']}\n")
    w(f"| workload | {v['rev']} (M) | now (M) | ratio | same picture |")
    w("|---|---:|---:|---:|---|")
    labels = {"page": "page of text", "span": "span HTML page", "terminal": "terminal output"}
    for n in ("page", "span", "terminal"):
        w(f"| {labels[n]} | {int(v[f'{n}_old']) / 1e6:.2f} | {int(v[f'{n}_new']) / 1e6:.2f} | {ratios[n]:.4f} | {v[f'{n}_same_picture']} |")
    w("")
    worst = max(ratios.values())
    differing = [labels[n] for n in ("page", "span", "terminal") if v[f"{n}_same_picture"] != "yes"]
    if differing:
        w(f"The pictures of the {' and the '.join(differing)} now differ from the earlier ones on purpose: bold")
        w("terminal text is drawn in the font's bold face, and the floor draws it so too.")
    if worst <= 1:
        w("None of the three costs more than before. Instruction")
        w("counts repeat from run to run to within some tens of thousands (the working directory and")
        w("the environment move them a little), well below these differences.")
    else:
        w(f"So the claim holds only nearly: the pictures are the same bytes, but the pages take "
          f"{(ratios['page'] - 1) * 100:.2f} % (page), {(ratios['span'] - 1) * 100:.2f} % (span page) and "
          f"{(ratios['terminal'] - 1) * 100:.2f} % (terminal) more instructions than before. Instruction counts repeat")
        w("from run to run to within some tens of thousands (the working directory and the environment")
        w("move them a little), well below these differences: they are real, if small.")
    loads = [n for n in ("page", "span", "terminal") if v[f"{n}_loads_fontconfig"] != "no"]
    w(f"fontconfig {'loads its configuration (`FcInitLoadConfigAndFonts`) on the ' + ', '.join(loads) if loads else 'does no work on any of them: `FcInitLoadConfigAndFonts` is never called'},"
      f" and the instructions spent in libfontconfig are {v['page_fontconfig_new']} now against {v['page_fontconfig_old']}"
      " before (its library's own start-up, the same in both). Where the difference goes, by function (own instructions, now minus before):\n")
    for n in ("page", "span"):
        with open(os.path.join(results, f"against-{n}.txt")) as f:
            rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
        w(f"| {labels[n]}: function | before | now | difference |")
        w("|---|---:|---:|---:|")
        for change, old, new, name in rows[:6]:
            if name.startswith((".", "/")):  # a C library routine: its source file says nothing
                name = name.rsplit(":", 1)[-1]
            w(f"| `{name}` | {int(old):,} | {int(new):,} | {int(change):+,} |")
        w("")
    calls, cost = int(v["span_libgd_font_calls"]), int(v["span_libgd_font_inclusive"])
    if calls == 0:
        return ratios
    w(f"The largest share on the span page is `canvas_libgd_font` (src/canvas/canvas.cpp), which names the")
    w(f"font file for each text drawn or measured and compares the chosen font's name with the asked")
    w(f"one (a `std::string` with a C string, so `strlen` and `memcmp` of the whole path) on every call:")
    w(f"{calls:,} calls and {cost:,} instructions on the span page ({cost / calls:.0f} a call),")
    w(f"{int(v['terminal_libgd_font_calls']):,} calls and {int(v['terminal_libgd_font_inclusive']):,} instructions on the terminal page,")
    w(f"{int(v['page_libgd_font_calls']):,} and {int(v['page_libgd_font_inclusive']):,} on the page of text. The rest is mostly in")
    w("`glyph_path_string` itself, which holds the blending of glyph pixels into the image (since")
    w("colour glyphs came in, it chooses for every pixel between a glyph's own colours and the text")
    w("colour), and in the UTF-8 decoding that now knows four-byte characters (`read_character`,")
    w("`decode_text`). None of it is work done once per run: it grows with the texts drawn and")
    w("measured and with the pixels they ink.\n")
    return ratios


def main(results, markdown, plot_data):
    machine = {k: v[0] for k, v in read_pairs(os.path.join(results, "machine.txt")).items()}
    instr = {k: int(v[0]) for k, v in read_pairs(os.path.join(results, "instructions.txt")).items()}
    peaks = {k: min(int(x) for x in v) for k, v in read_pairs(os.path.join(results, "peak.txt")).items()}
    page, span, terminal = times(results, "page"), times(results, "span"), times(results, "terminal")
    line = times(results, "line")
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

    sizes_file = {k: [int(x) for x in v[0].split()] for k, v in read_pairs(os.path.join(results, "sizes.txt")).items()}
    page_instr_ratio = instr["page_vedad"] / instr["page_floor"]
    terminal_instr_ratio = instr["terminal_vedad"] / instr["terminal_floor"]
    span_cpu_vs_pango = span["vedad"]["cpu"] / span["pango-view --markup"]["cpu"]
    page_cpu_vs_pango = page["vedad"]["cpu"] / page["pango-view"]["cpu"]
    files_new = times(results, "files-new")
    files_per_second = 500 / files_new["vedad, one run into a new folder"]["median"]
    files_per_second_memory = 500 / files_new["vedad, one run into a new folder in memory"]["median"]
    files_per_second_replacing = 500 / files["vedad, one run"]["median"]
    jobs = times(results, "jobs")
    jobs_speedup = jobs["one thread"]["median"] / jobs["two threads, --jobs=2"]["median"]
    jobs_speedup_memory = jobs["one thread, in memory"]["median"] / jobs["two threads, --jobs=2, in memory"]["median"]
    halves = jobs.get("two processes over halves, in memory")
    processes_speedup = jobs["one thread, in memory"]["median"] / halves["median"] if halves else None
    package_ratio = instr["line_package"] / instr["line_vedad"]
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
    against_lines = []
    against = against_section(results, against_lines.append)

    out = []
    w = out.append
    w("# Performance\n")
    w("How fast vedad turns text into a PNG, measured side by side with ImageMagick, pango-view and")
    w("the *floor*: a minimal program of our own, [bench/floor.c](../bench/floor.c), that makes exactly")
    w("the libgd calls one page would need if libgd drew all of its text (fill, colours, the 67")
    w("measurements of the cell sample, one drawing call per line, or per span cell a measuring call,")
    w("a fill and a drawing call, crop, PNG) and nothing else. vedad draws the same text from a cache")
    w("of glyphs rendered once, with libgd's layout and blending, so its pictures hold the floor's")
    w("pixels (in fewer bytes: vedad writes its own PNG), which the benchmark checks before it")
    w("measures. Every figure on this page comes")
    w("from one run of\n")
    w("    bash bench/run.sh\n")
    w(f"(on the program as of commit {machine['commit']}, the last to change its source),")
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
    w(f"pango-view asks fontconfig for \"FreeMono 7\", which gives `{machine['pango_font_file']}`.")
    w("The pages are all in characters FreeMono has, so vedad never looks for a fallback face.")
    w("ImageMagick draws onto a 640x480 canvas and trims it (`-annotate`,")
    w("`-trim`); pango-view renders the text with no margin.\n")

    w("## Machine and conditions\n")
    w(f"- {machine['cpu']}, {machine['cores']} cores, {machine['memory']}; Linux {machine['kernel']}, Debian {machine['debian']}; {machine['gcc']}")
    w(f"- libgd {machine['pkg_libgd3']}, FreeType {machine['pkg_libfreetype6']}, libpng {machine['pkg_libpng16-16']}; "
      f"ImageMagick {machine['pkg_imagemagick-6.q16']}; pango-view {machine['pkg_pango1.0-tools']} "
      f"(Pango {machine['pkg_libpango-1.0-0']}, cairo {machine['pkg_libcairo2']}); hyperfine {machine['pkg_hyperfine']}, valgrind {machine['pkg_valgrind']}")
    w(f"- load average (1, 5, 15 min) at the start {machine['load_start']}, at the end {machine['load_end']}: "
      "another developer's fuzzers may share the machine, so the decisions were taken on instruction counts, which load does not change")
    w(f"- hyperfine: {3 * int(machine['runs'])} runs for the pages (three rounds of {machine['runs']}), {machine['big_runs']} for the large inputs, one warm-up each, "
      f"at {'the raised priority `' + machine['priority'] + '`' if machine['priority'] != 'normal' else 'normal priority'}; "
      f"niceness {machine['niceness']}\n")

    w("## Targets\n")
    w("| target | measured | |")
    w("|---|---|---|")
    w(f"| page: instructions at most 0.25 × the floor's | {page_instr_ratio:.3f} × | {verdict(page_instr_ratio <= 0.25)} |")
    w(f"| span page: instructions at most 0.10 × the floor's | {span_instr_ratio:.3f} × | {verdict(span_instr_ratio <= 0.10)} |")
    w(f"| terminal page: instructions at most 0.10 × the floor's | {terminal_instr_ratio:.3f} × | {verdict(terminal_instr_ratio <= 0.10)} |")
    w(f"| page: CPU time at most 0.3 × pango-view's | {page_cpu_vs_pango:.2f} × | {verdict(page_cpu_vs_pango <= 0.3)} |")
    w(f"| span page: CPU time at most 0.3 × pango-view's | {span_cpu_vs_pango:.2f} × | {verdict(span_cpu_vs_pango <= 0.3)} |")
    w(f"| small files: at least 5,000 a second on one core, in one run (into a new folder) | {files_per_second:,.0f} a second "
      f"(in memory {files_per_second_memory:,.0f}, replacing {files_per_second_replacing:,.0f}) | {verdict(files_per_second >= 5000)} |")
    w(f"| `--split=100` over the 10,000-line log: peak memory under 64 MB | {mb('split_vedad')} MB ({sizes_file['split_pictures'][0]} pictures) | {verdict(peaks['split_vedad'] < 64 * 1024)} |")
    w(f"| `--jobs=2`: at least 1.8 × one thread on 2,000 small files, pictures the same (in memory; on the disk) | "
      f"{jobs_speedup_memory:.2f} × ({jobs_speedup:.2f} × on the disk; {machine['jobs_pictures']} pictures, byte for byte"
      + (f"; two processes over halves of the list: {processes_speedup:.2f} ×" if processes_speedup else "") + ") | "
      f"{verdict(jobs_speedup_memory >= 1.8 and jobs_speedup >= 1.8)} |")
    w(f"| package: one-line run within 1.2 × the source build's instructions | {package_ratio:.3f} × | {verdict(package_ratio <= 1.2)} |")
    for name in ("page", "span", "terminal"):
        ours, libgds = sizes_file[name]
        w(f"| {name} PNG: no larger than libgd's writer makes of the same pixels | {ours:,} bytes against {libgds:,} | {verdict(ours <= libgds)} |")
    w(f"| page: wall time below pango-view's | {page_vs_pango:.2f} × (CPU time {page_cpu('vedad') / page_cpu('pango-view'):.2f} ×) | {verdict(page_vs_pango < 1)} |")
    w(f"| page: wall time at most 1/3 of ImageMagick's | {page_vs_magick:.2f} × (CPU time {page_cpu('vedad') / page_cpu('ImageMagick'):.2f} ×) | {verdict(page_vs_magick <= 1 / 3)} |")
    w(f"| 20,000-line log: at most 0.1 × the time of drawing every row | {log_ratio:.3f} × | {verdict(log_ratio <= 0.1)} |")
    w(f"| 20,000 narrow lines: at most 0.5 × | {narrow_ratio:.3f} × | {verdict(narrow_ratio <= 0.5)} |")
    w(f"| span page: at most 1.05 × the floor making the same calls (instructions) | {span_instr_ratio:.3f} × | {verdict(span_instr_ratio <= 1.05)} |")
    w(f"| span page: the same in wall time | {span_time_ratio:.3f} × | {verdict(span_time_ratio <= 1.05)} |")
    w(f"| 500 files in one run: last hundred no dearer than the first hundred (instructions) | {last / first:.4f} × | {verdict(last <= first)} |")
    w(f"| 500 files: at least 3 × faster than 500 ImageMagick runs | {files_vs_magick:.1f} × faster | {verdict(files_vs_magick >= 3)} |")
    w(f"| peak memory of a page at most the floor's + 1 MB | +{memory_over:.2f} MB | {verdict(memory_over <= 1)} |")
    if against is not None:
        w(f"| a page the font fully covers: instructions no more than before fallback fonts | "
          f"{against['page']:.4f} × (span page {against['span']:.4f} ×, terminal {against['terminal']:.4f} ×) | "
          f"{verdict(max(against.values()) <= 1)} |")
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
    w(f"The floor itself takes {span_floor_vs_pango:.2f} times as long as pango-view on the same cells")
    w(f"({instr['span_floor'] / instr['span_pango']:.2f} times the instructions): it")
    w("makes a `gdImageStringFT` call to measure each character's cell and another to draw it, and")
    w("libgd pays its whole set-up on every call (it looks the font up in its cache, sets the")
    w("character size, scans the character maps, lays the text out and only then loads and renders")
    w("the one glyph). vedad renders each glyph once per face and size and keeps it: measuring a")
    w("character is then a look-up, and drawing it blends the kept coverage into the image with")
    w("libgd's own rule, which gives libgd's pixels at a fraction of the cost. What libgd still does")
    w("per page is the fill, the crop and the PNG encoding, which is now most of a run.\n")

    w("## Terminal output (40 lines of `ls -l` and `grep` output with colour sequences)\n")
    w("| program | wall time (ms) | CPU time (ms) | instructions (M) | peak memory (MB) |")
    w("|---|---:|---:|---:|---:|")
    for label, key, k in [("vedad `--ansi-input`", "vedad", "terminal_vedad"),
                          ("floor, same per-cell calls", "floor", "terminal_floor"),
                          ("vedad, the same text without the sequences", "vedad, the text alone", "terminal_text_vedad")]:
        w(f"| {label} | {ms(terminal[key])} | {cpu(terminal[key])} | {mi(k)} | {mb(k) if k in peaks else '–'} |")
    w("")
    w("Every character has a cell of one cell width, so the floor makes no measuring call: per cell")
    w("it fills the cell in its background and draws the character over it. vedad reads the escape")
    w("sequences into a grid of the cells that can reach the image and then draws them the same way.")
    w(f"The colours cost {(instr['terminal_vedad'] / instr['terminal_text_vedad'] - 1) * 100:.1f} % more instructions than the plain text, which")
    w("draws each line with one call.\n")

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
    w("extent from the glyphs already kept. Once the extent covers the image's width, a row that cannot")
    w("reach the image cannot change the crop either, and is not even measured: it is read, and its")
    w("line break counts. The 20,000 narrow lines never cover the width, so each of their rows below")
    w(f"the image is still measured, from the kept glyphs: that is why they take more instructions than")
    w(f"the log ({mi('narrow_vedad')} M against {mi('log_vedad')} M).\n")
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
    for key in ("vedad, one run into a new folder", "vedad, one run into a new folder in memory"):
        w(f"| {key} | {sec(files_new[key])} |")
    for key in ("vedad, one run", "vedad, 500 runs", "pango-view, 500 runs", "ImageMagick, 500 runs"):
        w(f"| {key} | {sec(files[key])} |")
    w("")
    disk, memory = files_new["vedad, one run into a new folder"], files_new["vedad, one run into a new folder in memory"]
    w(f"\nInto a new folder the one run takes {disk['cpu'] * 2000:.0f} µs of CPU a file on the disk and")
    w(f"{memory['cpu'] * 2000:.0f} µs in memory (tmpfs); the difference is the disk's file system making each file")
    w("(an inode and its directory entry, in the kernel), and it changes from run to run with what the disk")
    w("went through before. The figures in memory are what the program's own work allows.\n")
    mean_first, mean_last = first / 100, last / 100
    w(f"Instructions per conversion within the one run (start-up left out): first hundred files {mean_first / 1e6:.2f} M")
    w(f"on average, last hundred {mean_last / 1e6:.2f} M. Nothing grows from file to file: every page draws")
    w("on the memory of the page before it, the cell sample is measured once per run, and the face and")
    w("its rendered glyphs are kept from the first file on.\n")

    w("## Start-up: one line of text\n")
    w("| program | wall time (ms) | CPU time (ms) | instructions (M) | peak memory (MB) |")
    w("|---|---:|---:|---:|---:|")
    for label, key, k in [("vedad", "vedad", "line_vedad"), ("vedad, shared libgd", "vedad, shared libgd", "line_vedad_shared")]:
        w(f"| {label} | {ms(line[key])} | {cpu(line[key])} | {mi(k)} | {mb(k)} |")
    w("")
    w(f"On one line start-up is nearly the whole run; {3 * int(machine['runs'])} runs each. The Debian package links libgd's")
    w("static archive as this build does, and so does not pay the shared libgd's start-up;")
    w("`bash bench/package.sh` compares its one-line run with this build's.\n")
    out += against_lines
    with open(markdown, "w") as f:
        f.write("\n".join(out))


if __name__ == "__main__":
    main(*sys.argv[1:4])
