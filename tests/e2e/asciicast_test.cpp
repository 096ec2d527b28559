// --asciicast: recordings played on a terminal of their size and written as animated GIF and
// WebP pictures whose frames are the still pictures of the same screens.

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "support/animation_frames.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

// A session of known times: coloured and italic text in the recording's own palette, a
// check mark and two wide characters from other faces, a progress line
// redrawn after carriage returns (twice within a frame), a long pause, input, a line that
// wraps at the width, rows that scroll past the height, a marker between two outputs a
// hundredth apart, a resize, and a cleared screen.
const char* const RECORDING =
    R"({"version": 2, "width": 20, "height": 5, "theme": {"fg": "#d0d0d0", "bg": "#102030", )"
    R"("palette": "#000000:#ff5555:#55ff55:#ffff55:#5555ff:#ff55ff:#55ffff:#ffffff"}})"
    "\n"
    R"([0.5, "o", "$ \u001b[32mls\u001b[0m \u001b[41mred\u001b[0m \u001b[3mitalic\u001b[0m\r\n"])"
    "\n"
    R"([1.0, "o", "progress 10%"])"
    "\n"
    R"([1.1, "o", "\rprogress 50%"])"
    "\n"
    R"([1.12, "o", "\rprogress 90%"])"
    "\n"
    R"([1.5, "o", "\rprogress done \u2713 \u65e5\u672c\r\n"])"
    "\n"
    R"([5.5, "i", "q"])"
    "\n\n"
    R"([6.0, "o", "abcdefghijklmnopqrstuvwxyz\r\n"])"
    "\n"
    R"([6.5, "o", "1\r\n"])"
    "\n"
    R"([6.51, "m", "here"])"
    "\n"
    R"([6.52, "o", "2\r\n3\r\n"])"
    "\n"
    R"([7.0, "r", "24x6"])"
    "\n"
    R"([7.01, "o", "\u001b[1mwider than twenty cells"])"
    "\n"
    R"([7.5, "o", "\u001b[2J\u001b[Hclear"])"
    "\n";

// The output events up to (and including) the event at `last_time` seconds of the recording,
// as the terminal received them, and whether the terminal was resized by then.
std::string output_until(double last_time)
{
    struct Output {
        double time;
        const char* bytes;
    };
    const Output outputs[] = {
        {0.5, "$ \x1b[32mls\x1b[0m \x1b[41mred\x1b[0m \x1b[3mitalic\x1b[0m\r\n"}, {1.0, "progress 10%"},
        {1.1, "\rprogress 50%"}, {1.12, "\rprogress 90%"}, {1.5, "\rprogress done \u2713 \u65e5\u672c\r\n"},
        {6.0, "abcdefghijklmnopqrstuvwxyz\r\n"},
        {6.5, "1\r\n"}, {6.52, "2\r\n3\r\n"},
    };
    std::string bytes;
    for (const Output& output : outputs) {
        if (output.time <= last_time) bytes += output.bytes;
    }
    return bytes;
}

struct Timing {
    std::vector<std::string> options;
    std::vector<int> delays;  // hundredths of a second, frame by frame
};

std::vector<int> delays_of(const Animation& animation)
{
    std::vector<int> delays;
    for (const Frame& frame : animation.frames) delays.push_back(frame.duration);
    return delays;
}

std::string seconds_text(int hundredths)
{
    std::ostringstream text;
    text << hundredths / 100 << "." << (hundredths % 100 < 10 ? "0" : "") << hundredths % 100;
    return text.str();
}

}  // namespace

TEST(Asciicast, FramesAndTheirDelaysFollowSpeedIdleLimitFrameCapAndMarkers)
{
    TempDir dir;
    write_file(dir / "session.cast", RECORDING);
    const Timing timings[] = {
        // Frames start at 0 (the empty screen), 0.5, 1.0, 1.1 (both progress lines), 1.5,
        // 4.0 (the pause of 4 s cut to 2), 4.5, 4.52 (after the marker), 5.0 and 5.5.
        {{}, {50, 50, 10, 40, 250, 50, 2, 48, 50, 300}},
        {{"--speed=2"}, {25, 25, 5, 20, 125, 25, 1, 24, 25, 300}},
        {{"--idle-limit=0.5"}, {50, 50, 10, 40, 100, 50, 2, 48, 50, 300}},
        {{"--idle-limit=0"}, {50, 50, 10, 40, 450, 50, 2, 48, 50, 300}},
        // Frames a quarter apart at most: 1.1 joins 1.0; the marker still ends its frame.
        {{"--fps-cap=4"}, {50, 50, 50, 250, 50, 2, 48, 50, 300}},
        // At half speed the two progress lines are far enough apart for frames of their own.
        {{"--last-frame=0.25", "--speed=0.5"}, {100, 100, 20, 4, 76, 500, 100, 4, 96, 100, 25}},
    };
    for (const Timing& timing : timings) {
        std::vector<std::string> arguments = {"--asciicast", "--output=out.gif", "--overwrite", "session.cast"};
        arguments.insert(arguments.begin(), timing.options.begin(), timing.options.end());
        const RunResult run = run_vedad(dir.path(), arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "writing out.gif\n");
        const Animation gif = read_gif(dir / "out.gif");
        EXPECT_EQ(delays_of(gif), timing.delays) << timing.options.size();
        EXPECT_EQ(gif.loops, 0);  // for ever
    }
}

TEST(Asciicast, EveryFrameIsTheStillPictureOfItsScreenInGifAndWebp)
{
    TempDir dir;
    write_file(dir / "session.cast", RECORDING);
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "session.cast", "--output=s.gif"}).status, 0);
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "session.cast", "--output=s.webp", "--loop=2"}).status, 0);
    const Animation gif = read_gif(dir / "s.gif");
    const Animation webp = read_animated_webp(dir / "s.webp");
    ASSERT_EQ(gif.frames.size(), 10u);
    ASSERT_EQ(webp.frames.size(), gif.frames.size());
    EXPECT_EQ(webp.loops, 2);
    int start = 0;
    for (size_t i = 0; i < gif.frames.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(i) + " at " + seconds_text(start));
        const RunResult still = run_vedad(dir.path(), {"--asciicast", "--at=" + seconds_text(start), "--overwrite",
                                                        "--output=still.png", "session.cast"});
        ASSERT_EQ(still.status, 0) << still.err;
        const Image png = read_png(dir / "still.png");
        EXPECT_TRUE(same_pixels(gif.frames[i].image, png));
        EXPECT_TRUE(same_pixels(webp.frames[i].image, png));
        EXPECT_EQ(webp.frames[i].duration, gif.frames[i].duration * 10);
        start += gif.frames[i].duration;
    }
    // Frames differ: the first is the empty page in the recording's background, the last
    // the cleared screen.
    EXPECT_FALSE(same_pixels(gif.frames[0].image, gif.frames[1].image));
    EXPECT_EQ(pixel(gif.frames[0].image, 0, 0) & 0xffffff, rgb(0x10, 0x20, 0x30));

    // A time inside a frame gives that frame's screen; one past the end, the final screen,
    // as does no --at= at all.
    const std::pair<const char*, size_t> inside[] = {{"--at=1.2", 3}, {"--at=4.51", 6}, {"--at=100", 9}, {"--at=0", 0}};
    for (const auto& [at, frame] : inside) {
        const RunResult run = run_vedad(dir.path(), {"--asciicast", at, "--overwrite", "--output=at.png", "session.cast"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(same_pixels(gif.frames[frame].image, read_png(dir / "at.png"))) << at;
    }
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "--output=final.png", "session.cast"}).status, 0);
    EXPECT_TRUE(same_pixels(gif.frames[9].image, read_png(dir / "final.png")));
    // With --at=, a GIF is that screen alone.
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "--at=1.2", "--output=at.gif", "session.cast"}).status, 0);
    const Animation still = read_gif(dir / "at.gif");
    ASSERT_EQ(still.frames.size(), 1u);
    EXPECT_TRUE(same_pixels(still.frames[0].image, gif.frames[3].image));
}

TEST(Asciicast, AFrameIsWhatTheTerminalReaderDrawsOfTheSameOutput)
{
    // Before the resize, the screen is the last screenful of terminal output of the
    // recording's size, drawn by --ansi-input on a page as large as the animation's. A theme
    // given on the command line counts over the recording's.
    TempDir dir;
    write_file(dir / "session.cast", RECORDING);
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "--theme=tango", "session.cast", "--output=s.gif"}).status, 0);
    const Animation gif = read_gif(dir / "s.gif");
    ASSERT_EQ(gif.frames.size(), 10u);
    const int width = gdImageSX(gif.frames[0].image.get());
    const int height = gdImageSY(gif.frames[0].image.get());
    const std::pair<double, size_t> cases[] = {{1.12, 3}, {6.0, 5}, {6.52, 7}};
    for (const auto& [time, frame] : cases) {
        write_file(dir / "output.txt", output_until(time));
        const RunResult still = run_vedad(
            dir.path(), {"--ansi-input", "--columns=20", "--rows=5", "--screen", "--no-crop", "--overwrite",
                         "--size=" + std::to_string(width) + "x" + std::to_string(height), "--theme=tango",
                         "--output=terminal.png", "output.txt"});
        ASSERT_EQ(still.status, 0) << still.err;
        EXPECT_TRUE(same_pixels(gif.frames[frame].image, read_png(dir / "terminal.png"))) << time;
    }
}

TEST(Asciicast, ABrokenRecordingFailsNamingTheLine)
{
    struct Broken {
        const char* contents;
        const char* message;  // what standard error begins with
    };
    const Broken cases[] = {
        {"", "error: recording r.cast, line 1: empty, where an asciicast v2 header belongs\n"},
        {"[0.5, \"o\", \"text\"]\n",
         "error: recording r.cast, line 1: no asciicast v2 header (a JSON object with \"version\": 2)\n"},
        {"{\n  \"version\": 1,\n  \"width\": 80,\n  \"height\": 24,\n  \"stdout\": []\n}\n",
         "error: recording r.cast, line 1: a JSON object over many lines, as an asciicast version 1 file is; only "
         "version 2 is read\n"},
        {"{\"version\": 1, \"width\": 80, \"height\": 24, \"stdout\": [[0.5, \"a\"]]}\n",
         "error: recording r.cast, line 1: an asciicast header of version 1; only version 2 is read\n"},
        {"{\"version\": 2, \"width\": 0, \"height\": 24}\n",
         "error: recording r.cast, line 1: the header's width and height are not whole numbers from 1 to 65535\n"},
        {"{\"version\": 2, \"width\": 8, \"height\": 2}\n[0.1, \"o\", \"a\"]\n[0.2, \"o\", \"b\n",
         "error: recording r.cast, line 3: not JSON, where an event [time, code, data] belongs: "},
        {"{\"version\": 2, \"width\": 8, \"height\": 2}\n[0.1, \"o\"]\n",
         "error: recording r.cast, line 2: not an event [time, code, data]\n"},
        {"{\"version\": 2, \"width\": 8, \"height\": 2}\n\n[-1, \"o\", \"a\"]\n",
         "error: recording r.cast, line 3: an event's time is no number of seconds from 0\n"},
        {"{\"version\": 2, \"width\": 8, \"height\": 2}\n[1, \"r\", \"80 by 24\"]\n",
         "error: recording r.cast, line 2: a resize to \"80 by 24\", not to COLUMNSxROWS from 1 to 65535\n"},
        {"{\"version\": 2, \"width\": 8, \"height\": 2, \"theme\": {\"fg\": \"white\"}}\n",
         "error: recording r.cast, line 1: the theme's fg is no colour \"#rrggbb\"\n"},
    };
    for (const Broken& broken : cases) {
        TempDir dir;
        write_file(dir / "r.cast", broken.contents);
        for (const char* output : {"r.gif", "r.png"}) {
            const RunResult run = run_vedad(dir.path(), {"--asciicast", "--output", output, "r.cast"});
            EXPECT_EQ(run.status, 1) << broken.contents;
            EXPECT_TRUE(run.err.starts_with(broken.message)) << run.err;
            EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"r.cast"});
        }
    }
    // Standard input is named as such.
    TempDir dir;
    const RunResult run = run_vedad(dir.path(), {"--asciicast", "-"}, "{\"version\": 3}\n");
    EXPECT_EQ(run.err, "error: recording standard input, line 1: an asciicast header of version 3; only version 2 is "
                       "read\n");
}

TEST(Asciicast, StandardInputAndDefaultNames)
{
    TempDir dir;
    write_file(dir / "session.cast", RECORDING);
    const RunResult from_file = run_vedad(dir.path(), {"--asciicast", "--type=gif", "session.cast"});
    EXPECT_EQ(from_file.err, "writing session.gif\n");
    const RunResult piped = run_vedad(dir.path(), {"--asciicast", "--type=webp", "-"}, RECORDING);
    ASSERT_EQ(piped.status, 0) << piped.err;
    const RunResult webp = run_vedad(dir.path(), {"--asciicast", "--output=file.webp", "session.cast"});
    ASSERT_EQ(webp.status, 0) << webp.err;
    EXPECT_EQ(read_file(dir / "stdin.webp"), read_file(dir / "file.webp"));
    // A terminal larger than --max-pixels= allows, or of more than a million cells, is refused
    // before anything is drawn.
    write_file(dir / "huge.cast", "{\"version\": 2, \"width\": 65535, \"height\": 15}\n");
    const RunResult huge = run_vedad(dir.path(), {"--asciicast", "--max-pixels=1000000", "huge.cast"});
    EXPECT_EQ(huge.status, 1);
    EXPECT_TRUE(huge.err.starts_with("error: the terminal of huge.cast, 65535x15 cells, makes a picture of "))
        << huge.err;
    write_file(dir / "many.cast", "{\"version\": 2, \"width\": 2000, \"height\": 1000}\n");
    const RunResult many = run_vedad(dir.path(), {"--asciicast", "many.cast"});
    EXPECT_EQ(many.err, "error: the terminal of many.cast, 2000x1000 cells, has more than 1048576 cells\n");
}

TEST(Asciicast, AbsurdTimesAndSpeedsAreHeldToAWeek)
{
    TempDir dir;
    write_file(dir / "late.cast", "{\"version\": 2, \"width\": 4, \"height\": 1}\n[1e15, \"o\", \"a\"]\n[1e300, \"o\", \"b\"]\n");
    for (const char* speed : {"--speed=1", "--speed=1e-300"}) {
        const RunResult run = run_vedad(dir.path(), {"--asciicast", "--idle-limit=0", speed, "--output=late.gif",
                                                     "--overwrite", "late.cast"});
        ASSERT_EQ(run.status, 0) << run.err;
        const Animation gif = read_gif(dir / "late.gif");
        long total = 0;
        for (const Frame& frame : gif.frames) total += frame.duration;
        // The empty screen until a week, then "a" (its last screen, "b" in the same place),
        // for the last frame's 3 s.
        EXPECT_EQ(total, 7 * 24 * 3600 * 100L + 300) << speed;
        EXPECT_LT(gif.frames.size(), 1000u);
    }
}

TEST(Asciicast, FramedRecordingsKeepEveryFrameExact)
{
    // The frame is made once; each frame's change is copied into it, and the corners framed
    // again where a change reaches them.
    TempDir dir;
    write_file(dir / "session.cast", RECORDING);
    const std::vector<std::string> frame = {"--padding=3,5", "--window=plain", "--margin=4", "--radius=4", "--scale=2"};
    std::vector<std::string> arguments = {"--asciicast", "--output=s.webp", "session.cast"};
    arguments.insert(arguments.begin(), frame.begin(), frame.end());
    ASSERT_EQ(run_vedad(dir.path(), arguments).status, 0);
    const Animation webp = read_animated_webp(dir / "s.webp");
    ASSERT_EQ(webp.frames.size(), 10u);
    int start = 0;
    for (size_t i = 0; i < webp.frames.size(); ++i) {
        std::vector<std::string> still = {"--asciicast", "--at=" + seconds_text(start / 10), "--overwrite",
                                          "--output=still.png", "session.cast"};
        still.insert(still.begin(), frame.begin(), frame.end());
        ASSERT_EQ(run_vedad(dir.path(), still).status, 0);
        EXPECT_TRUE(same_pixels(webp.frames[i].image, read_png(dir / "still.png"))) << "frame " << i;
        start += webp.frames[i].duration;
    }
}

// Clusters too long for a cell's own room (a family joined by ZWJs) keep their text in every
// frame: each frame, drawn again only where cells changed, is the terminal reader's still of
// the same output.
TEST(Asciicast, LongClustersKeepTheirTextFromFrameToFrame)
{
    TempDir dir;
    const std::string family = "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7";
    const std::string flag = "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7";
    const std::string first = family + " " + flag + " a\\r\\n";
    const std::string second = "x " + family + "\\r\\n";
    write_file(dir / "c.cast", "{\"version\": 2, \"width\": 12, \"height\": 3}\n[0.5, \"o\", \"" + first +
                                   "\"]\n[1.0, \"o\", \"" + second + "\"]\n");
    ASSERT_EQ(run_vedad(dir.path(), {"--asciicast", "c.cast", "--output=c.webp"}).status, 0);
    const Animation webp = read_animated_webp(dir / "c.webp");
    ASSERT_EQ(webp.frames.size(), 3u);
    const int width = gdImageSX(webp.frames[0].image.get());
    const int height = gdImageSY(webp.frames[0].image.get());
    const std::pair<std::string, size_t> cases[] = {{first, 1}, {first + second, 2}};
    for (const auto& [output, frame] : cases) {
        std::string bytes;
        for (size_t i = 0; i < output.size(); ++i) {
            if (output.compare(i, 2, "\\r") == 0) bytes += '\r', ++i;
            else if (output.compare(i, 2, "\\n") == 0) bytes += '\n', ++i;
            else bytes += output[i];
        }
        write_file(dir / "output.txt", bytes);
        const RunResult still = run_vedad(
            dir.path(), {"--ansi-input", "--columns=12", "--rows=3", "--screen", "--no-crop", "--overwrite",
                         "--size=" + std::to_string(width) + "x" + std::to_string(height), "--output=terminal.png",
                         "output.txt"});
        ASSERT_EQ(still.status, 0) << still.err;
        EXPECT_TRUE(same_pixels(webp.frames[frame].image, read_png(dir / "terminal.png"))) << frame;
    }
}
