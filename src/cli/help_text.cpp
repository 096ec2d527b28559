#include "cli/help_text.hpp"

#include <cstdio>

namespace vedad {

namespace {

constexpr const char PROGRAM_NAME[] = "vedad";
constexpr const char VERSION[] = VEDAD_VERSION;
constexpr const char OWNERSHIP_NOTICE[] = "Copyright (C) 2026 the vedad developers";
constexpr const char LICENSE_LINE[] = "Free software under the MIT License; see the LICENSE file for details.";
constexpr const char HOME_PAGE[] = "https://vedad.example.org/";
constexpr const char BUG_REPORT_ADDRESS[] = "bugs@vedad.example.org";

// Kept byte for byte, also where it differs from what the program does (the default font,
// the options it leaves out).
constexpr const char USAGE_TEXT[] = R"USAGE(
Usage: vedad [ option(s) ] [ file(s) ]

Converts ASCII text to PNG bitmap images.

OPTIONS
    -                read text from standard input
    --               end of options: every argument after it is a file
    --ansi-input     read terminal output with colour escape sequences
    --background=... set background color in RGB hex values, default is 000000
    --bold           use bold font
    --bold-font=...  draw bold text in this font file or name
    --bold-italic-font=... draw bold italic text in this font file or name
    --charspacing=.. set spacing between characters in pixels, default is 0
    --columns=...    wrap rows after this many cells, as a terminal that wide
                     you can use negative values
    --execute=CMD    run CMD in a terminal of its own and draw what it printed,
                     the picture named after its first word; no files
    --fallback-font=LIST draw characters the font lacks from these fonts first
    --fit            make the picture as large as the text, --size= is the limit
    --fixed          use fixed font advancement, regardless of font metrics
    --font=...       set font family, default is 'Fixed'
    --font-size=...  set font size (badly implemented), default is 0.025
    --foreground=... set foreground color in RGB hex values, default is ffffff
    --format=...     set image pixel format, values can be: argb32, rgb24, a8
                     default is argb32, a8 is 8 bpp alpha values
    --height=...     set image height in pixels, default is 480
    --html-input     read rizi --html-raw output
-h, --help           print help
    --ligatures      draw the font's ligatures, such as -> in Fira Code
    --line-numbers[=N] number each line in a gutter at the left, from N or 1
    --italic-font=.. draw italic text in this font file or name
    --jobs=N         convert N files at once on N threads, 0 for one per core,
                     default is 1; pictures and messages as with one
    --linespacing=.. set extra line spacing in pixels, default is 2
                     you can use negative values
    --list-fonts     list the monospace fonts that --font= takes, and exit
    --list-fonts=all list every installed font, and exit
    --margin=...     add pixels of background around the picture, default is 0
    --max-pixels=... make no picture of more pixels, default is 100000000 for --fit
    --min-contrast=R keep text at least R:1 in contrast to its background (1-21)
    --no-crop        do not crop output image
    --no-fallback    draw characters the font lacks as its missing-glyph box
    --output=...     set output filename or directory
-o FILE              same as --output=FILE
                     --output=DIR/ is a directory, made when missing
    --overwrite      overwrite output files if they exist, default is to add
                     number suffix
    --padding=V[,H]  add pixels of background around the text, inside the frame
    --pretty         a picture ready to publish: --window --padding=16,20
                     --radius=8 --shadow --margin=32 --fit --scale=2, larger text
    --radius=...     round the page's corners by this many pixels
    --shadow[=B[,O]] drop a shadow blurred B pixels, O pixels down, default 20,8
    --prompt[=TEXT]  with --execute=, draw TEXT and the command first,
                     default TEXT is '$ '
    --rows=...       set the rows of the --execute= terminal, default is 24
                     (its columns are --columns=, default 80)
-v, --verbose        verbose output
    --type=png|webp  write PNG or lossless WebP pictures, default is what the
                     --output= name ends in, else png
    --type=svg       write SVG pictures of the same layout, text kept as text
    --svg-glyphs     with --type=svg, draw each glyph as its outline instead
    --asciicast      read asciicast v2 recordings; .gif or .webp: animated
    --type=gif       write GIF pictures; --at=S: still of the screen at S s
    --speed=F --idle-limit=S --fps-cap=N --last-frame=S --loop=N  how a
                     recording plays, default 1, 2, 30, 3, 0 (for ever)
    --width=...      set image width in pixels, default is 640
-V, --version        print version
    --scale=...      draw at 1 to 8 times the size and density, default is 1
    --screen         draw only the last screenful of terminal output, --rows=
-s, --silent         do not print anything when running
    --size=WxH       set image width and height, default is 640x480
    --split=ROWS     make a picture of every ROWS rows of an input: NAME.png,
                     NAME-2.png, ...
    --tab=...        set number of spaces for tab chars,
                     the default in the known universe is 8
    --theme=NAME|FILE set the 16 terminal colours and the default colours,
                     --theme=list lists the built-in themes, default is xterm
    --title=...      the title bar's text, default is the input's file name
    --window[=STYLE] put a title bar above the page: mac (default), plain, none
    --timeout=...    end the --execute= command after this many seconds,
                     default is 30

    A value follows its option after = or as the next argument: --width=800
    or --width 800. Options apply to every file wherever they stand.

EXAMPLES

    Convert files to 800x600 pixels:     vedad --size=800x600 file1 file2
    Convert text from standard input:    vedad --size=800x600 -
    Convert file with yellow background: vedad --background=ffff00 somefile.txt

)USAGE";

void print_identity()
{
    std::fprintf(stderr, "%s %s\n", PROGRAM_NAME, VERSION);
    std::fprintf(stderr, "%s\n", OWNERSHIP_NOTICE);
    std::fprintf(stderr, "%s\n", LICENSE_LINE);
}

}  // namespace

const char* usage_text()
{
    return USAGE_TEXT;
}

void print_usage()
{
    print_identity();
    std::fputs(USAGE_TEXT, stderr);
    std::fprintf(stderr, "Project homepage on %s\n", HOME_PAGE);
    std::fprintf(stderr, "Report bugs to <%s>\n", BUG_REPORT_ADDRESS);
}

void print_version()
{
    print_identity();
    std::fprintf(stderr, "%s\n", gd_version_text());
}

const char* gd_version_text()
{
    static char buffer[256];
    std::snprintf(buffer, sizeof buffer, "gd version: %d\n", VEDAD_GD_MAJOR);
    return buffer;
}

}  // namespace vedad
