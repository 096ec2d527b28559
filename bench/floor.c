/* The floor: the libgd calls that one page needs and nothing else, to measure vedad against.
 *
 *   floor text FONT INPUT OUTPUT    a plain text page: fill, colour, the 67 measurements of
 *                                   the cell sample, one call per line (every line, also those
 *                                   below the image), crop, PNG
 *   floor spans FONT CELLS OUTPUT   a span page from a cell list (one line per row, 14 bytes
 *                                   per cell: the character, text and background colour as
 *                                   rrggbb, then b for bold or r): per cell a measuring call for
 *                                   the cell's end, colour, fill, colour, drawing call
 *   floor cells FONT CELLS OUTPUT   terminal output from the same kind of cell list: every
 *                                   cell one cell width wide, so per cell colour, fill,
 *                                   colour, drawing call; a bold cell drawn in the font's bold
 *                                   face (FONT with Bold before .ttf)
 *
 * The canvas is 640 by 480, black, white text, 7 points, line spacing 2, as vedad's defaults.
 * A cell takes the columns from its pen up to the one before the next cell's, and the
 * line-height rows that end at its baseline plus the sample's descent; the picture is cropped
 * to the widest row and to the lowest baseline plus that descent. No checks beyond what keeps
 * the program from crashing: the inputs are the benchmark's own. */
#include <gd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { WIDTH = 640, HEIGHT = 480, LINE_SPACING = 2, CELL_BYTES = 14 };
static const double POINTS = 7.0;
static const char SAMPLE[] = "abcdefghijklmnopqrstuvwyxABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_!*@' ";

struct Cell {
    int width, height, descent;
};

/* The largest width, height and descent (never below 0) of the sample's characters. */
static struct Cell measure_sample(char* font)
{
    struct Cell largest = {0, 0, 0};
    for (const char* p = SAMPLE; *p != '\0'; ++p) {
        char glyph[2] = {*p, '\0'};
        int box[8] = {0};
        if (gdImageStringFT(NULL, box, 0, font, POINTS, 0.0, 0, 0, glyph) != NULL) exit(1);
        if (box[2] - box[0] > largest.width) largest.width = box[2] - box[0];
        if (box[3] - box[7] > largest.height) largest.height = box[3] - box[7];
        if (box[1] > largest.descent) largest.descent = box[1];
    }
    return largest;
}

static int hex2(const char* p)
{
    int value = 0;
    for (int i = 0; i < 2; ++i) {
        char c = p[i];
        value = value * 16 + (c >= 'a' ? c - 'a' + 10 : c - '0');
    }
    return value;
}

static int color(gdImagePtr image, const char* rrggbb)
{
    return gdImageColorAllocateAlpha(image, hex2(rrggbb), hex2(rrggbb + 2), hex2(rrggbb + 4), 0);
}

int main(int argc, char** argv)
{
    if (argc != 5) return 2;
    const int spans = strcmp(argv[1], "spans") == 0, cells = strcmp(argv[1], "cells") == 0;
    char* font = argv[2];
    static char bold_font[4096];
    const size_t stem = strlen(font) > 4 ? strlen(font) - 4 : 0;
    snprintf(bold_font, sizeof bold_font, "%.*sBold%s", (int)stem, font, font + stem);
    FILE* in = fopen(argv[3], "rb");
    if (in == NULL) return 1;

    gdImagePtr image = gdImageCreateTrueColor(WIDTH, HEIGHT);
    gdImageFilledRectangle(image, 0, 0, WIDTH, HEIGHT, gdImageColorAllocateAlpha(image, 0, 0, 0, 0));
    int foreground = gdImageColorAllocateAlpha(image, 255, 255, 255, 0);
    const struct Cell sample = measure_sample(font);
    const int height = sample.height + LINE_SPACING, descent = sample.descent;
    int pen_y = height, extent_x = 0, extent_y = 0;
    static char line[10240];
    int box[8];

    if (!spans && !cells) {
        while (fgets(line, sizeof line - 1, in) != NULL) {
            line[strcspn(line, "\n")] = '\0';
            if (gdImageStringFT(image, box, foreground, font, POINTS, 0.0, 0, pen_y, line) != NULL) return 1;
            if (box[2] - box[0] > extent_x) extent_x = box[2] - box[0];
            extent_y = pen_y;
            pen_y += height;
        }
    } else {
        while (fgets(line, sizeof line - 1, in) != NULL) {
            int pen_x = 0;
            for (const char* cell = line; strlen(cell) >= CELL_BYTES; cell += CELL_BYTES) {
                char glyph[2] = {cell[0], '\0'};
                int next_x = pen_x + sample.width;
                if (spans) {
                    if (gdImageStringFT(NULL, box, 0, font, POINTS, 0.0, pen_x, pen_y, glyph) != NULL) return 1;
                    next_x = pen_x + box[2] - box[0];
                }
                if (next_x > pen_x) {
                    gdImageFilledRectangle(image, pen_x, pen_y + descent + 1 - height, next_x - 1, pen_y + descent,
                                           color(image, cell + 7));
                }
                char* face = cell[13] == 'b' ? bold_font : font;
                if (gdImageStringFT(image, box, color(image, cell + 1), face, POINTS, 0.0, pen_x, pen_y, glyph) != NULL)
                    return 1;
                pen_x = next_x;
                if (pen_x > extent_x) extent_x = pen_x;
                extent_y = pen_y;
            }
            pen_y += height;
        }
    }
    fclose(in);

    const int crop_width = extent_x < WIDTH ? extent_x : WIDTH;
    int crop_height = extent_y > 0 ? extent_y + descent + 1 : extent_y;
    if (crop_height > HEIGHT) crop_height = HEIGHT;
    if (crop_width > 0 && crop_height > 0) {
        gdImagePtr cropped = gdImageCreateTrueColor(crop_width, crop_height);
        gdImageAlphaBlending(cropped, 0);
        gdImageCopy(cropped, image, 0, 0, 0, 0, crop_width, crop_height);
        gdImageAlphaBlending(cropped, 1);
        gdImageDestroy(image);
        image = cropped;
    }
    int size = 0;
    void* png = gdImagePngPtr(image, &size);
    FILE* out = fopen(argv[4], "wb");
    if (png == NULL || out == NULL || fwrite(png, 1, (size_t)size, out) != (size_t)size) return 1;
    fclose(out);
    gdFree(png);
    gdImageDestroy(image);
    return 0;
}
