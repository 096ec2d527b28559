#include "main/convert_recording.hpp"

#include "main/picture_write.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <utility>

#include "animation/frame_clock.hpp"
#include "animation/paint_screen.hpp"
#include "animation/screen_cells.hpp"
#include "base/contrast.hpp"
#include "base/fail.hpp"
#include "canvas/drawing_record.hpp"
#include "layout/frame.hpp"
#include "layout/window_bar.hpp"
#include "main/fit_page.hpp"
#include "main/picture_write.hpp"
#include "main/render_page.hpp"
#include "output/encode_gif.hpp"
#include "output/encode_svg.hpp"
#include "output/encode_webp_animation.hpp"
#include "output/output_path.hpp"
#include "output/picture_type.hpp"
#include "output/webp_library.hpp"
#include "readers/asciicast/asciicast_file.hpp"
#include "readers/terminal/ansi_parser.hpp"

namespace vedad {

namespace {

// Frame times closer than this are one time.
constexpr double SAME_TIME = 1e-9;
// The most cells a recording's terminal may have: each is kept twice (the screen shown and the
// next), some 50 bytes each; far more than any real terminal, whatever the font's size.
constexpr int64_t MOST_CELLS = int64_t{1} << 20;

// The recording's colours where the command line sets none: its palette unless --theme=
// gives one, its text and background colours unless --theme=, --foreground= or
// --background= do.
Options with_recording_colors(const Options& options, const RecordingHeader& header)
{
    Options page = options;
    if (options.theme != nullptr) return page;
    if (header.palette) page.basic_colors = *header.palette;
    if (header.foreground && options.foreground_text == nullptr) page.foreground = *header.foreground;
    if (header.background && options.background_text == nullptr) page.background = *header.background;
    return page;
}

// Whether the picture is more than the page: padding, a title bar, corners, a shadow or a
// margin. Scale is not among them: a recording's page is drawn at its scale.
bool has_frame(const Options& options)
{
    Options page = options;
    page.scale = 1;
    page.frame.line_numbers = 0;
    return page_is_dressed(page);
}

// Everything a recording's pictures are made from while it plays.
struct Playback {
    const Options* options = nullptr;
    Canvas* canvas = nullptr;
    PictureType type = PictureType::PNG;
    bool animated = false;
    bool framed = false;
    const char* title = "";
    Grid grid;
    AnsiParser parser;
    ScreenPainter painter;
    ScreenCells shown;  // the screen the last frame shows
    ScreenCells next;
    bool any_frame = false;
    // The frame drawn and not yet added: it is added once the time it lasts is known.
    bool pending = false;
    double pending_start = 0.0;
    PixelArea pending_area;
    bool done = false;  // a still picture has the screen it shows
    GifAnimation gif;
    WebpAnimation webp;
    // With a frame: the picture framed, kept from frame to frame, and where the page lies in it.
    gdImagePtr dressed = nullptr;
    int32_t page_x = 0;
    int32_t page_y = 0;
};

// The page on a copy of the canvas, framed.
gdImagePtr dressed_copy(Playback& play)
{
    Canvas& canvas = *play.canvas;
    gdImagePtr page = canvas.image;
    gdImagePtr copy = gdImageCreateTrueColor(gdImageSX(page), gdImageSY(page));
    if (copy == nullptr) fail("could not make a picture of %dx%d pixels", gdImageSX(page), gdImageSY(page));
    gdImageAlphaBlending(copy, 0);
    gdImageCopy(copy, page, 0, 0, 0, 0, gdImageSX(page), gdImageSY(page));
    gdImageAlphaBlending(copy, 1);
    gdImageSaveAlpha(copy, page->saveAlphaFlag);
    canvas.image = copy;
    dress_page(*play.options, canvas, play.title);
    gdImagePtr framed = canvas.image;
    canvas.image = page;
    return framed;
}

// Where the frame puts the page: inside the margin and the padding, under the title bar.
void find_page_in_frame(Playback& play)
{
    const Options& options = *play.options;
    const int32_t scale = options.scale;
    const FrameSettings& frame = options.frame;
    const int32_t bar = frame.window != WindowStyle::NONE ? window_bar_height(play.canvas->line_height, scale) : 0;
    play.page_x = (options.margin + frame.padding_h) * scale;
    play.page_y = (options.margin + frame.padding_v) * scale + bar;
}

// Whether the frame changes the page's pixels in `area`: near the page's corners, which it
// may round, or anywhere on a see-through page, which lies over its shadow.
bool frame_touches(const Playback& play, const PixelArea& area)
{
    if (play.options->transparent != 0) return true;
    const int32_t radius = play.options->frame.radius * play.options->scale;
    if (radius <= 0) return false;
    const int32_t width = gdImageSX(play.canvas->image);
    const int32_t height = gdImageSY(play.canvas->image);
    const bool near_side = area.left < radius || area.right >= width - radius;
    const bool near_end = area.top < radius || area.bottom >= height - radius;
    return near_side && near_end;
}

// The picture of the canvas as it is now, inside its frame when it has one (kept by the
// playback), and the part of it that `changed` on the page may have changed.
std::pair<gdImagePtr, PixelArea> framed_picture(Playback& play, const PixelArea& changed)
{
    Canvas& canvas = *play.canvas;
    if (!play.framed) return {canvas.image, changed};
    if (play.dressed == nullptr || frame_touches(play, changed)) {
        if (play.dressed != nullptr) gdImageDestroy(play.dressed);
        play.dressed = dressed_copy(play);
        return {play.dressed, PixelArea{0, 0, gdImageSX(play.dressed) - 1, gdImageSY(play.dressed) - 1}};
    }
    // Elsewhere the frame only moves the page's pixels.
    for (int32_t y = changed.top; y <= changed.bottom; ++y) {
        std::copy(canvas.image->tpixels[y] + changed.left, canvas.image->tpixels[y] + changed.right + 1,
                  play.dressed->tpixels[play.page_y + y] + play.page_x + changed.left);
    }
    return {play.dressed, PixelArea{changed.left + play.page_x, changed.top + play.page_y,
                                    changed.right + play.page_x, changed.bottom + play.page_y}};
}

int64_t hundredths(double seconds)
{
    return std::llround(seconds * 100);
}

int64_t milliseconds(double seconds)
{
    return std::llround(seconds * 1000);
}

// Adds the frame drawn on the canvas, which lasts until `end`.
void add_pending_frame(Playback& play, double end)
{
    if (!play.pending) return;
    const auto [picture, area] = framed_picture(play, play.pending_area);
    if (play.type == PictureType::GIF) {
        if (!play.any_frame) gif_begin(play.gif, gdImageSX(picture), gdImageSY(picture), play.options->playback.loop);
        // A frame lasts at least a hundredth: GIF has no shorter time.
        const int64_t delay = std::max<int64_t>(hundredths(end) - hundredths(play.pending_start), 1);
        gif_add_frame(play.gif, picture, area.left, area.top, area.right, area.bottom, delay);
    } else {
        if (!play.any_frame)
            webp_animation_begin(play.webp, gdImageSX(picture), gdImageSY(picture), play.options->playback.loop);
        webp_animation_add_frame(play.webp, picture, area.top, area.bottom, milliseconds(play.pending_start));
    }
    play.any_frame = true;
    play.pending = false;
}

// The frame gathered since `start` is complete: the screen as the events left it.
void show_frame(Playback& play, double start)
{
    if (!play.animated) {
        // A still picture shows the last frame that starts by --at=.
        const double at = play.options->playback.at;
        if (at >= 0 && start > at + SAME_TIME) {
            play.done = true;
            return;
        }
        take_screen(play.shown, play.grid);
        return;
    }
    take_screen(play.next, play.grid);
    const bool first = !play.pending && !play.any_frame;
    const CellArea changed = first ? CellArea{} : changed_cells(play.shown, play.next);
    if (!first && changed.empty()) return;
    add_pending_frame(play, start);
    std::swap(play.shown, play.next);
    play.pending_area = paint_screen(play.painter, play.shown, changed);
    play.pending = true;
    play.pending_start = start;
}

void play_event(Playback& play, FrameClock& clock, const RecordingEvent& event)
{
    const double time = clock_advance(clock, event.time);
    if (event.kind == 'm') clock_end_frame(clock);
    if (event.kind != 'o' && event.kind != 'r') return;
    const double gathered_since = clock.frame_start;
    if (clock_starts_frame(clock, time)) show_frame(play, gathered_since);
    if (play.done) return;
    if (event.kind == 'o') ansi_feed(play.parser, play.grid, event.data);
    else grid_resize(play.grid, event.columns, event.rows);
}

// Sets up the page's cell and makes the canvas of the terminal's largest size.
void make_page(const Options& page, Canvas& canvas, int32_t columns, int32_t rows, const char* name)
{
    canvas.settings.fixed_advance = 1;  // every character has a cell of its own
    if (int64_t{columns} * rows > MOST_CELLS)
        fail("the terminal of %s, %dx%d cells, has more than %lld cells", name, columns, rows,
             static_cast<long long>(MOST_CELLS));
    setup_page_cell(canvas, page);
    if (canvas.cell_width < 1 || canvas.line_height < 1)
        fail("the cells of %s would be %dx%d pixels: a recording needs cells of 1 pixel or more", name,
             canvas.cell_width, canvas.line_height);
    const int64_t width = int64_t{columns} * canvas.cell_width;
    const int64_t height = int64_t{rows} * canvas.line_height + canvas.descent + 1;
    if (width > INT32_MAX || height > INT32_MAX || width * height > page.max_pixels) {
        fail("the terminal of %s, %dx%d cells, makes a picture of %lldx%lld pixels, more than --max-pixels=%lld",
             name, columns, rows, static_cast<long long>(width), static_cast<long long>(height),
             static_cast<long long>(page.max_pixels));
    }
    canvas_create(canvas, static_cast<int32_t>(width), static_cast<int32_t>(height));
    if (page.transparent != 0) canvas_set_transparent_background(canvas);
    else canvas_set_background(canvas, page.background);
    canvas_set_foreground(canvas, with_min_contrast(page.foreground, page.background, page.drawing.min_contrast));
    setup_page_cell(canvas, page);
}

EncodedPicture still_picture(Playback& play, DrawingRecord& record)
{
    Canvas& canvas = *play.canvas;
    paint_screen(play.painter, play.shown, CellArea{});
    if (play.type == PictureType::SVG) {
        // The frame is recorded with the page.
        if (play.framed) dress_page(*play.options, canvas, play.title);
        canvas.record = nullptr;
        if (play.options->svg_glyphs != 0) record_outlines(record, canvas);
        return encode_svg(SvgPicture{&record, gdImageSX(canvas.image), gdImageSY(canvas.image), canvas.input_name,
                                     canvas_font_family(canvas)});
    }
    const PixelArea whole{0, 0, gdImageSX(canvas.image) - 1, gdImageSY(canvas.image) - 1};
    return encode_picture(whole_image(framed_picture(play, whole).first), play.type);
}

void read_again(FILE* input, const char* name, off_t start)
{
    std::clearerr(input);
    if (fseeko(input, start, SEEK_SET) != 0) fail("could not read %s again: %s", name, std::strerror(errno));
}

}  // namespace

void convert_recording(const Options& options, Canvas& canvas, FILE* input, const char* operand)
{
    const char* name = canvas.input_name;
    RereadableInput kept = make_rereadable(input, name, -1);
    RecordingReader scan = make_recording_reader(kept.stream, name);
    RecordingHeader header = read_recording_header(scan);
    int32_t columns = header.columns;
    int32_t rows = header.rows;
    find_largest_size(scan, columns, rows);
    read_again(kept.stream, name, kept.start);
    RecordingReader reader = make_recording_reader(kept.stream, name);
    header = read_recording_header(reader);

    const Options page = with_recording_colors(options, header);
    const PictureType type = picture_type(options);
    DrawingRecord record;
    canvas.record = type == PictureType::SVG ? &record : nullptr;
    if (canvas.record != nullptr) record_clear(record);
    make_page(page, canvas, columns, rows, name);

    // --at= asks for one screen, whatever the picture's type.
    const bool animated = (type == PictureType::GIF || type == PictureType::WEBP) && options.playback.at < 0;
    Playback play;
    play.options = &options;
    play.canvas = &canvas;
    play.type = type;
    play.animated = animated;
    play.framed = has_frame(options);
    find_page_in_frame(play);
    play.title = std::strcmp(operand, "-") == 0 ? "" : basename(operand);
    play.grid = make_grid(GridLimits{rows, columns}, page.foreground, page.background, canvas.settings.tab_width,
                          header.columns);
    play.shown = make_screen_cells(columns, rows);
    play.next = make_screen_cells(columns, rows);
    play.grid.height = header.rows;
    play.grid.basic = page.basic_colors;
    painter_init(play.painter, canvas, page.transparent != 0, page.background);

    FrameClock clock = make_frame_clock(options.playback, header.idle_time_limit);
    RecordingEvent event;
    while (!play.done && read_recording_event(reader, event)) play_event(play, clock, event);
    if (!play.done) show_frame(play, clock.frame_start);
    if (kept.copied) std::fclose(kept.stream);

    EncodedPicture picture;
    if (!animated) {
        picture = still_picture(play, record);
    } else {
        const double end = play.pending_start + options.playback.last_frame;
        add_pending_frame(play, end);
        picture = type == PictureType::GIF ? gif_finish(play.gif) : webp_animation_finish(play.webp, milliseconds(end));
    }
    if (play.dressed != nullptr) gdImageDestroy(play.dressed);
    PictureWrite write{&options, operand, 1, std::move(picture), nullptr, nullptr};
    write.failure = type == PictureType::GIF    ? "the GIF could not be encoded"
                    : type == PictureType::WEBP ? webp_failure()
                                                : "the picture could not be encoded";
    write_in_turn(std::move(write));
    canvas_destroy(canvas);
}

}  // namespace vedad
