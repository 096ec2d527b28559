#pragma once

#include <cstdint>

#include "base/rgb.hpp"
#include "base/theme.hpp"

namespace vedad {

// What each input is read as.
enum class InputForm : uint8_t {
    PLAIN_TEXT,  // lines of text in one colour
    SPAN_HTML,   // --html-input: one span per character, each in its own colours
    TERMINAL,    // --ansi-input: a program's output with its escape sequences
    RECORDING,   // --asciicast: a terminal session recorded with its times (asciicast v2)
};

// The form pictures are written in: by --type=, else by the extension of an --output= name.
enum class PictureType : uint8_t { PNG, WEBP, SVG, GIF };

// Pixel formats that may be asked for; every image is drawn and written in true colour.
enum PixelFormat : int32_t { PIXEL_FORMAT_A8 = 0, PIXEL_FORMAT_RGB24 = 1, PIXEL_FORMAT_ARGB32 = 2 };

// How text is set on a page: the font, its size and the spacing of rows and characters.
struct DrawingSettings {
    int32_t tab_width = 8;
    int32_t fixed_advance = 0;  // every character moves the pen by exactly one cell
    int32_t bold = 0;           // every text is drawn in the bold face
    int32_t line_spacing = 2;
    int32_t char_spacing = 0;
    double font_size = 0.025;
    double size_scale = 280.0;  // the point size is font_size x size_scale
    const char* font_name = "default";  // not owned: a fixed text or a piece of argv
    // Characters the font lacks come from other faces: these (names or paths separated by
    // commas; not owned, a piece of argv) first, then fontconfig's choice. 0: they draw the
    // font's missing-glyph box.
    int32_t fallback = 1;
    // Runs of text in the font are shaped with its ligatures and contextual alternates.
    int32_t ligatures = 0;
    const char* fallback_fonts = "";
    // The faces of bold, italic and bold-italic text, each a name or a path as font_name is
    // (not owned, a piece of argv); "": the font's family's own, or one made from the font.
    const char* bold_font = "";
    const char* italic_font = "";
    const char* bold_italic_font = "";
    int32_t pixel_format = PIXEL_FORMAT_ARGB32;
    // The least contrast, as a ratio from 1 to 21, that a text colour keeps against its
    // background: one with less is moved towards black or white. 1: colours as given.
    double min_contrast = 1.0;
};

// What a window's title bar looks like: none, three round buttons, or a bar alone.
enum class WindowStyle : uint8_t { NONE, MAC, PLAIN };

// How the drawn page is framed for showing: padding, a title bar, rounded corners, a shadow
// and line numbers. Sizes are in pixels of the picture at scale 1.
struct FrameSettings {
    int32_t padding_v = 0;  // above and below the text
    int32_t padding_h = 0;  // left and right of it
    WindowStyle window = WindowStyle::NONE;
    const char* title = nullptr;  // --title= as given, points into argv; null: the input's name
    int32_t radius = 0;
    int32_t shadow = 0;  // a drop shadow is drawn
    int32_t shadow_blur = 20;
    int32_t shadow_offset = 8;
    int32_t line_numbers = 0;  // a gutter of row numbers at the left
    int32_t first_line_number = 1;
};

// How a recording is played (--asciicast): times in seconds of the recording, pauses cut to
// `idle_limit` (0: none; unless given, the recording's own limit when it has one), then played
// `speed` times as fast, with frames at least 1/`fps_cap` s apart; the final screen stays
// `last_frame` s, and the animation plays `loop` times (0: forever). A still picture shows the
// screen at `at` s of the animation, or (below 0) the final one.
struct PlaybackSettings {
    double speed = 1.0;
    double idle_limit = 2.0;
    double last_frame = 3.0;
    double at = -1.0;
    int32_t idle_limit_given = 0;
    int32_t fps_cap = 30;
    int32_t loop = 0;
};
// The most frames a second --fps-cap= allows: a GIF counts time in hundredths.
inline constexpr int32_t MAX_FPS_CAP = 100;

// The most pixels a picture is made of unless --max-pixels= says otherwise: 400 MB of canvas,
// whatever a few bytes of input ask for.
inline constexpr int64_t DEFAULT_MAX_PIXELS = 100'000'000;

// The terminal a command runs in with --execute= unless --columns= and --rows= say otherwise,
// and the seconds it may run unless --timeout= says otherwise.
inline constexpr int32_t DEFAULT_TERMINAL_COLUMNS = 80;
inline constexpr int32_t DEFAULT_TERMINAL_ROWS = 24;
inline constexpr int32_t DEFAULT_COMMAND_TIMEOUT = 30;
inline constexpr const char DEFAULT_PROMPT[] = "$ ";
// The most rows a terminal can tell its programs it has.
inline constexpr int32_t MAX_TERMINAL_ROWS = 65535;

// The settings of a run, as the command line gives them. The defaults describe a plain run:
// plain text, cropped, 640 by 480, white on black.
struct Options {
    const char* output = "";  // file or directory from --output=, points into argv; "" when none
    InputForm input_form = InputForm::PLAIN_TEXT;  // --html-input and --ansi-input: the last one given counts
    int32_t crop = 1;
    int32_t height = 480;
    int32_t overwrite = 0;
    int32_t transparent = 0;
    int32_t width = 640;
    int32_t silent = 0;
    int32_t verbose = 0;
    Rgb background = {0, 0, 0};
    Rgb foreground = {255, 255, 255};
    const char* background_text = nullptr;  // the --background= value as given, points into argv; null when none
    const char* foreground_text = nullptr;  // the --foreground= value likewise
    const char* theme = nullptr;  // the --theme= value as given, points into argv; null when none
    BasicColors basic_colors = XTERM_BASIC_COLORS;  // what terminal output's 16 colours are drawn in
    int32_t size_given = 0;  // --size=, --width= or --height= was given
    int32_t fit = 0;         // the canvas is as large as the text needs, up to the size
    int32_t margin = 0;      // pixels of background around the picture
    int32_t scale = 1;       // the picture is this many times the picture at scale 1, each way
    // The most pixels a picture sized by --fit may have, margin included; with
    // max_pixels_given it bounds a canvas of a given size too.
    int64_t max_pixels = DEFAULT_MAX_PIXELS;
    int32_t max_pixels_given = 0;
    // Rows wrap after this many cells, a wide character counting two, as a terminal of that
    // width wraps them; 0: rows do not wrap.
    int32_t columns = 0;
    // --execute=: the command whose terminal output is drawn (points into argv; null when
    // none), the rows of its terminal, the seconds it may run, the prompt row drawn before it
    // (null for none) and whether only the last screenful is drawn.
    const char* execute = nullptr;
    int32_t rows = DEFAULT_TERMINAL_ROWS;
    int32_t timeout = DEFAULT_COMMAND_TIMEOUT;
    const char* prompt = nullptr;
    int32_t screen = 0;
    // --split=: an input of more rows makes a picture of each this many; 0: one picture.
    int32_t split_rows = 0;
    PictureType picture_type = PictureType::PNG;  // with picture_type_given: --type=
    int32_t picture_type_given = 0;
    // --svg-glyphs: an SVG draws each glyph as its outline rather than as text.
    int32_t svg_glyphs = 0;
    // --jobs=: the threads that convert the files; 0: one per core.
    int32_t jobs = 1;
    DrawingSettings drawing;
    FrameSettings frame;
    PlaybackSettings playback;
};

// The largest canvas side that --fit makes when no size is given: libgd's practical ceiling.
inline constexpr int32_t FIT_LIMIT = 32767;
// The most threads --jobs= takes.
inline constexpr int32_t MAX_JOBS = 1024;
// The largest --scale= accepted.
inline constexpr int32_t MAX_SCALE = 8;
// The largest --padding=, --radius= and --shadow= values accepted: far past any use, small
// enough that the scaled frame stays within a canvas libgd can make.
inline constexpr int32_t MAX_FRAME_PIXELS = 1000;
// The largest number --line-numbers= starts at.
inline constexpr int32_t MAX_FIRST_LINE_NUMBER = 1'000'000'000;
// The font size --pretty draws at unless --font-size= is given: cells of 8 by 16 pixels or
// more in the default font.
inline constexpr double PRETTY_FONT_SIZE = 0.05;
// The contrast ratios --min-contrast= accepts: from none at all to black against white.
inline constexpr double MIN_CONTRAST_LOWEST = 1.0;
inline constexpr double MIN_CONTRAST_HIGHEST = 21.0;

// Puts every setting back to its default.
void set_default_options(Options& options);

// The name of the pixel format asked for, as the verbose output shows it.
const char* pixel_format_name(const DrawingSettings& settings);

}  // namespace vedad
