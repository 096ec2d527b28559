/* The floor: the libgd calls that one page needs and nothing else, to measure vedad against.
 *
 *   floor text FONT INPUT OUTPUT    a plain text page: fill, colour, the 67 measurements of
 *                                   the cell sample, one call per line (every line, also those
 *                                   below the image), crop, PNG
 *   floor spans FONT CELLS OUTPUT   a span page from a cell list (one line per row, 13 bytes
 *                                   per cell: the character, then text and background colour
 *                                   as rrggbb): per cell the same calls vedad makes (colour,
 *                                   draw, colour, fill, colour, draw)
 *
 * The canvas is 640 by 480, black, white text, 7 points, line spacing 2, as vedad's defaults.
 * No checks beyond what keeps the program from crashing: the inputs are the benchmark's own. */
#include <gd.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { WIDTH = 640, HEIGHT = 480, LINE_SPACING = 2 };
static const double POINTS = 7.0;
static const char SAMPLE[] = "abcdefghijklmnopqrstuvwyxABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_!*@' ";

static int line_height(char* font)
{
    int tallest = 0;
    for (const char* p = SAMPLE; *p != '\0'; ++p) {
        char glyph[2] = {*p, '\0'};
        int box[8] = {0};
        if (gdImageStringFT(NULL, box, 0, font, POINTS, 0.0, 0, 0, glyph) != NULL) exit(1);
        if (box[3] - box[7] > tallest) tallest = box[3] - box[7];
    }
    return tallest + LINE_SPACING;
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
    char* font = argv[2];
    FILE* in = fopen(argv[3], "rb");
    if (in == NULL) return 1;

    gdImagePtr image = gdImageCreateTrueColor(WIDTH, HEIGHT);
    gdImageFilledRectangle(image, 0, 0, WIDTH, HEIGHT, gdImageColorAllocateAlpha(image, 0, 0, 0, 0));
    int foreground = gdImageColorAllocateAlpha(image, 255, 255, 255, 0);
    const int height = line_height(font);
    int pen_y = height, extent_x = 0, extent_y = 0;
    static char line[10240];
    int box[8];

    if (strcmp(argv[1], "text") == 0) {
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
            for (const char* cell = line; strlen(cell) >= 13; cell += 13) {
                char glyph[2] = {cell[0], '\0'};
                int text = color(image, cell + 1);
                if (gdImageStringFT(image, box, text, font, POINTS, 0.0, pen_x, pen_y, glyph) != NULL) return 1;
                int next_x = pen_x + box[2] - box[0];
                if (next_x > extent_x) extent_x = next_x;
                extent_y = pen_y;
                gdImageFilledRectangle(image, pen_x, pen_y - height, next_x, pen_y, color(image, cell + 7));
                text = color(image, cell + 1);
                if (gdImageStringFT(image, box, text, font, POINTS, 0.0, pen_x, pen_y, glyph) != NULL) return 1;
                pen_x = next_x;
            }
            pen_y += height;
        }
    }
    fclose(in);

    const int crop_width = extent_x < WIDTH ? extent_x : WIDTH;
    const int crop_height = extent_y < HEIGHT ? extent_y : HEIGHT;
    if (crop_width > 0 && crop_height > 0) {
        gdImagePtr cropped = gdImageCreateTrueColor(crop_width, crop_height);
        gdImageCopy(cropped, image, 0, 0, 0, 0, crop_width, crop_height);
        gdImageDestroy(image);
        image = cropped;
    }
    FILE* out = fopen(argv[4], "wb");
    if (out == NULL) return 1;
    gdImagePng(image, out);
    fclose(out);
    gdImageDestroy(image);
    return 0;
}
