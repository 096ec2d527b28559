// Hostile inputs, command lines, files and environments, and injected faults (resource limits,
// full devices, missing permissions). Every run must end with status 0 or 1 and no signal,
// leave a whole PNG or none, and keep the pictures of earlier operands. Where the program's
// rules say what happens, the exact messages are checked too.

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "support/launch.hpp"
#include "support/messages.hpp"
#include "support/test_support.hpp"

using namespace vedad_test;
namespace fs = std::filesystem;

namespace {

Launch with_environment(const std::string& name, const std::string& value)
{
    Launch how;
    how.environment = {{name, value}};
    return how;
}

Launch with_closed(int descriptor)
{
    Launch how;
    how.closed = {descriptor};
    return how;
}


// What holds for any run, whatever it was given.
void expect_sound(const Outcome& outcome)
{
    EXPECT_EQ(outcome.signal, 0) << outcome.err.substr(0, 500);
    EXPECT_TRUE(outcome.status == 0 || outcome.status == 1) << outcome.status;
}

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Size& size)
{
    return out << size.width << "x" << size.height;
}

// The size of a PNG file; 0x0 when the file is missing or does not decode.
Size png_size(const fs::path& path)
{
    Image image = read_png(path);
    if (image == nullptr) return {};
    return {gdImageSX(image.get()), gdImageSY(image.get())};
}

// A PNG that decodes, `expected` wide and high where those are not 0.
void expect_png_of_size(const fs::path& path, const Size& expected)
{
    const Size size = png_size(path);
    EXPECT_GT(size.width, 0);
    if (expected.width != 0) {
        EXPECT_EQ(size.width, expected.width);
    }
    if (expected.height != 0) {
        EXPECT_EQ(size.height, expected.height);
    }
}

std::string junk(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() & 0xff);
    return bytes;
}

std::string repeat(const std::string& text, size_t count)
{
    std::string all;
    all.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i) all += text;
    return all;
}

// The size of the picture of `input` alone, drawn with `options`, as a reference.
Size reference_size(const std::vector<std::string>& options, const std::string& input)
{
    TempDir dir;
    write_file(dir / "in", input);
    std::vector<std::string> arguments = options;
    arguments.push_back("in");
    RunResult result = run_vedad(dir.path(), arguments);
    EXPECT_EQ(result.status, 0) << result.err;
    return png_size(dir / "in.png");
}

const Size FULL_PAGE{640, 480};

}  // namespace

// Inputs no writer of text would make. Each is drawn by the rules for what it holds.
TEST(Hostile, JunkInputsGiveAPicture)
{
    const Size one_row = reference_size({}, "ab\n");
    const Size five_rows = reference_size({}, "a\nb\nc\nd\ne\n");
    const Size six_rows = reference_size({}, "a\nb\nc\nd\ne\nf\n");
    const Size one_html_row = reference_size({"--html-input"}, "<span>a</span>");
    std::string junk_not_html = junk(200000, 7);
    junk_not_html[0] = 'j';
    // Pieces of 10238 bytes, each a short text hidden by NUL bytes after it: 10 MB, no line feed.
    const std::string hidden_piece = "ab" + std::string(10236, '\0');
    const struct {
        const char* name;
        std::vector<std::string> options;
        std::string input;
        std::string warning;
        Size size;  // 0x0: any size, as long as the PNG decodes
    } cases[] = {
        {"binary junk", {}, junk(200000, 3), cut_text_warnings(23, 53, 709), {}},
        {"binary junk as HTML", {"--html-input"}, junk_not_html, NOT_HTML_WARNING + cut_text_warnings(17, 53, 748), {}},
        {"only NUL bytes draw empty rows", {}, std::string(1000000, '\0'), cut_text_warnings(0, 0, 45), FULL_PAGE},
        {"only NUL bytes as HTML", {"--html-input"}, std::string(1000000, '\0'),
         NOT_HTML_WARNING + cut_text_warnings(0, 0, 45), FULL_PAGE},
        {"10 MB without line feed in rows of 10238", {}, repeat(hidden_piece, 1000), cut_text_warnings(0, 0, 947),
         {one_row.width, 480}},
        {"10 MB HTML without line feed or span", {"--html-input"}, std::string("<") + std::string(10000000, 'x'), "",
         FULL_PAGE},
        {"a million '<'", {"--html-input"}, std::string(1000000, '<'), "", FULL_PAGE},
        {"a million '>' after one '<'", {"--html-input"}, std::string("<") + std::string(1000000, '>'), "", FULL_PAGE},
        {"invalid UTF-8 and bytes above 127 in spans", {"--html-input"},
         "<span>\xff</span><span>\xc3</span><span>\xe2\x82</span><span>\xed\xa0\x80</span>"
         "<span>\xf4\x90\x80\x80</span><span>\xc0\xaf</span><span>\x80</span><span>\x01</span>",
         "", {0, one_html_row.height}},
        {"invalid UTF-8 in lines", {}, "\xff\xfe\n\xc3\n\xe2\x82\n\xed\xa0\x80\xf4\x90\x80\x80\n\xc0\xaf\x80\n", "",
         {0, five_rows.height}},
        {"unfinished entities in lines", {}, "&\n&#\n&#x\n&#99999999999;\n&#x7fffffff;\n&amp\n", "",
         {0, six_rows.height}},
        // Every nested span is a token inside a span: it draws its s, all on one row.
        {"spans opened and never closed", {"--html-input"}, repeat("<span>", 20000),
         "warning: in is not one span per character; to draw a terminal's output, give it raw with --ansi-input\n" +
             cut_text_warnings(1, 1, 0),
         {640, one_html_row.height}},
        {"spans closed and never opened", {"--html-input"}, repeat("</span>", 100000) + repeat("<br/>", 1000), "",
         FULL_PAGE},
        {"a span cut in its style", {"--html-input"}, "<span style='color:#12", "", FULL_PAGE},
        {"colours cut short and out of range", {"--html-input"},
         "<span style='color:#ZZ background-color:#\xff\xff\xff\xff\xff\xff style='color:#>x</span>", "",
         one_html_row},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "in", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("in");
        const Outcome outcome = launch(dir.path(), arguments);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, c.warning + "writing in.png\n");
        expect_png_of_size(dir / "in.png", c.size);
    }
}

// A token keeps at most 1023 characters; the 1024th is dropped and the 1025th starts a new
// token, which inside a span draws a cell of its own. With fixed cells the cropped width
// counts the cells.
TEST(Hostile, TokensAroundTheBufferLimitDrawOneCellPerToken)
{
    const std::vector<std::string> options = {"--html-input", "--fixed"};
    const int cell = reference_size(options, "<span>a</span>").width;
    ASSERT_GT(cell, 0);
    const struct {
        size_t length;
        int cells;
    } cases[] = {{1022, 1}, {1023, 1}, {1024, 1}, {1025, 2}, {2047, 2}, {2048, 2}, {2049, 3}, {100000, 98}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const std::string token(c.length, 'W');
        // Closed, or left open with the token ended by a line feed: the same cells.
        EXPECT_EQ(reference_size(options, "<span>" + token + "</span>").width, c.cells * cell);
        EXPECT_EQ(reference_size(options, "<span>" + token + "\n").width, c.cells * cell);
        // Between spans no token draws, however long.
        EXPECT_EQ(reference_size(options, "<" + token + "><span>a</span>").width, cell);
    }
}

// Numbers at and past the edges of their types. Spacings are held to 32 bits; sizes libgd or
// FreeType cannot take end the run with their message.
TEST(Hostile, ExtremeNumbersGiveAPictureOrAClearError)
{
    const std::string cannot_size = metrics_error("Courier", "Could not set character size");
    const std::string text = "ab\ncd\n";
    const std::string html = "<span>a</span><span>b</span><br/><span>c</span>";
    const Size plain = reference_size({}, text);
    const Size cells = reference_size({"--html-input"}, html);
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;  // with status 0, what comes before "writing in.png\n": the warnings about cut text
        Size size;        // 0x0 with status 0: any size
    } cases[] = {
        {{"--font-size=1e300"}, 1, cannot_size, {}},
        {{"--font-size=inf"}, 1, cannot_size, {}},
        {{"--font-size=nan"}, 1, cannot_size, {}},
        {{"--font-size=-nan"}, 1, cannot_size, {}},
        {{"--font-size=1e12"}, 1, cannot_size, {}},
        {{"--font-size=-inf"}, 1, "error: too small font size -inf\n", {}},
        {{"--font-size=1e-300"}, 1, "error: too small font size 0.000000\n", {}},
        {{"--font-size=0.0001"}, 0, "", {}},
        // Every baseline above the top edge: nothing counts as drawn, the page stays whole.
        {{"--linespacing=-2147483648"}, 0, "", FULL_PAGE},
        {{"--linespacing=-2147483648", "--html-input"}, 0, "", FULL_PAGE},
        {{"--linespacing=2147483647"}, 0, cut_text_warnings(0, 0, 1), {plain.width, 480}},
        {{"--linespacing=99999999999999999999"}, 0, cut_text_warnings(0, 0, 1), {plain.width, 480}},
        {{"--linespacing=2147483647", "--html-input"}, 0, cut_text_warnings(0, 0, 1), {cells.width, 480}},
        // Character spacing reaches only fixed cells, never whole lines.
        {{"--charspacing=2147483647", "--fixed"}, 0, "", plain},
        {{"--charspacing=-2147483648", "--fixed"}, 0, "", plain},
        {{"--charspacing=2147483647", "--fixed", "--html-input"}, 0, cut_text_warnings(2, 2, 0), {640, cells.height}},
        {{"--charspacing=-2147483648", "--fixed", "--html-input"}, 0, "", FULL_PAGE},
        {{"--tab=2147483647"}, 0, "", plain},
        {{"--tab=-2147483648"}, 0, "", plain},
        {{"--size=1x1"}, 0, cut_text_warnings(0, 0, 2), {1, 1}},
        {{"--size=1x1", "--html-input"}, 0, cut_text_warnings(0, 0, 2), {1, 1}},
        {{"--size=1x1", "--no-crop", "--transparent"}, 0, cut_text_warnings(0, 0, 2), {1, 1}},
        {{"--width=2147483647", "--height=1"}, 1, "error: could not create an image of 2147483647x1 pixels\n", {}},
        {{"--size=99999999999x99999999999"}, 1,
         "error: could not create an image of 2147483647x2147483647 pixels\n", {}},
        {{"--size=-99999999999x1"}, 1, "error: invalid output dimensions\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        TempDir dir;
        const bool is_html = std::find(c.arguments.begin(), c.arguments.end(), "--html-input") != c.arguments.end();
        write_file(dir / "in", is_html ? html : text);
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back("in");
        const Outcome outcome = launch(dir.path(), arguments);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, c.status);
        if (c.status == 0) {
            EXPECT_EQ(outcome.err, c.err + "writing in.png\n");
            expect_png_of_size(dir / "in.png", c.size);
        } else {
            // libgd may say why it refused an image in a line of its own first; where the font
            // was found may follow the error.
            EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
            EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"in"});
        }
    }
}

// Operands that are no regular file. Each ends the run at that operand or is drawn like a
// file; the picture of the operand before it stays as it was written.
TEST(Hostile, SpecialFilesAsOperandsKeepEarlierPictures)
{
    TempDir reference;
    write_file(reference / "a.txt", "alpha\n");
    ASSERT_EQ(run_vedad(reference.path(), {"a.txt"}).status, 0);
    const std::string a_png = read_file(reference / "a.png");
    ASSERT_FALSE(a_png.empty());

    const std::string long_name(5000, 'n');
    const struct {
        const char* name;
        std::string operand;
        int status;
        std::string err;
        std::vector<std::string> files;  // the directory afterwards, the special file included
    } cases[] = {
        {"a directory", "d", 1, "writing a.png\nerror: could not read d: Is a directory\n", {"a.png", "a.txt", "d"}},
        {"a symbolic link loop", "loop", 1,
         "writing a.png\nerror: couldn't open file: Too many levels of symbolic links\n", {"a.png", "a.txt", "loop"}},
        {"a dangling link", "dangling", 1, "writing a.png\n" + MISSING_INPUT_ERROR,
         {"a.png", "a.txt", "dangling"}},
        {"a name longer than the system takes", long_name, 1,
         "writing a.png\nerror: couldn't open file: File name too long\n", {"a.png", "a.txt"}},
        {"the null device", "/dev/null", 0, "writing a.png\nwriting null.png\n", {"a.png", "a.txt", "null.png"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        fs::create_directory(dir / "d");
        fs::create_symlink("loop", dir / "loop");
        fs::create_symlink("missing", dir / "dangling");
        const Outcome outcome = launch(dir.path(), {"a.txt", c.operand});
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(read_file(dir / "a.png"), a_png);
        std::vector<std::string> expected = c.files;
        for (const char* fixture : {"d", "loop", "dangling"})
            if (std::find(expected.begin(), expected.end(), fixture) == expected.end()) expected.push_back(fixture);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(list_directory(dir.path()), expected);
    }
    // An empty input is a whole empty page.
    TempDir dir;
    ASSERT_EQ(launch(dir.path(), {"/dev/null"}).status, 0);
    EXPECT_EQ(png_size(dir / "null.png"), FULL_PAGE);
}

namespace {

// Opening a FIFO blocks until its other end is opened. These helpers open their end without
// blocking for ever, so that a run that never opens the FIFO cannot hang the test.

// Writes `text` into the FIFO as soon as a reader has opened it, for at most 30 seconds.
void feed_fifo(const fs::path& fifo, const std::string& text)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int fd = -1;
    while ((fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 && errno == ENXIO &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (fd < 0) return;
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size())) ADD_FAILURE() << "short write";
    close(fd);
}

// Reads the FIFO to its end once a writer has opened it. `stop` releases a reader whose
// writer never came.
void drain_fifo(const fs::path& fifo, std::string& contents)
{
    const int fd = open(fifo.c_str(), O_RDONLY);
    if (fd < 0) return;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) contents.append(buffer, static_cast<size_t>(n));
    close(fd);
}

void release_reader(const fs::path& fifo)
{
    const int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) close(fd);
}

}  // namespace

// A FIFO is read and written like any file once its other end is open; a run waits for
// that, as any program that opens a FIFO does.
TEST(Hostile, FifosAreReadAndWrittenOnceTheirOtherEndIsOpen)
{
    {
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
        std::thread writer(feed_fifo, dir / "pipe", "through a fifo\n");
        const Outcome outcome = launch(dir.path(), {"a.txt", "pipe"});
        writer.join();
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "writing a.png\nwriting pipe.png\n");
        EXPECT_GT(png_size(dir / "pipe.png").width, 0);
    }
    {
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        ASSERT_EQ(mkfifo((dir / "out").c_str(), 0600), 0);
        std::string png;
        std::thread reader(drain_fifo, dir / "out", std::ref(png));
        const Outcome outcome = launch(dir.path(), {"--output=out", "a.txt"});
        release_reader(dir / "out");
        reader.join();
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "writing out\n");
        Image image(gdImageCreateFromPngPtr(static_cast<int>(png.size()), png.data()));
        EXPECT_NE(image, nullptr);
    }
}

// Outputs that take no data: the run ends at the first file and names why.
TEST(Hostile, AFullDeviceStopsTheRunAtItsFirstFile)
{
    TempDir dir;
    write_file(dir / "a.txt", "alpha\n");
    write_file(dir / "b.txt", "beta\n");
    const Outcome outcome = launch(dir.path(), {"--output=/dev/full", "a.txt", "b.txt"});
    expect_sound(outcome);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "writing /dev/full\nerror: could not write /dev/full: No space left on device\n");
}

namespace {

// A tmpfs of its own with few inodes or little room, mounted below `directory` as long as the
// object lives; `mounted` is false where mounting is not permitted.

// Makes empty files in `directory` until the file system takes no more.
void use_up_inodes(const fs::path& directory)
{
    for (int i = 0; i < 100000; ++i) {
        const int fd = open((directory / ("filler" + std::to_string(i))).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd < 0) return;
        close(fd);
    }
}

// Writes into a file in `directory` until the file system is full.
void use_up_space(const fs::path& directory)
{
    const int fd = open((directory / "filler").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    const std::string block(4096, 'f');
    while (write(fd, block.data(), block.size()) > 0) {
    }
    close(fd);
}

}  // namespace

// An existing picture is replaced whole or not at all. The new one is written beside it and
// renamed over it once complete; where it must be written in place (other hard links, a
// directory that takes no new file) room for all of it is reserved first. Either way a file
// size limit, a full disk or a file system without a free inode leave the old picture as it
// was, under every name.
TEST(Hostile, ReplacingAFileIsAllOrNothing)
{
    const std::string old_picture = "old picture, not to be touched";
    const struct {
        const char* name;
        rlim_t size_limit;         // 0: none
        const char* tmpfs;         // mount options of a small tmpfs to write into; null: none
        bool fill_inodes;          // use up the tmpfs's inodes first
        bool fill_space;           // use up its room first
        bool hard_link;            // the picture has a second name
        std::string err;
    } cases[] = {
        {"a file size limit", 200, nullptr, false, false, false,
         "writing out/a.png\nerror: could not write out/a.png: File too large\n"},
        {"a file size limit, hard-linked", 200, nullptr, false, false, true,
         "writing out/a.png\nerror: could not write out/a.png: File too large\n"},
        {"no free inode", 0, "size=1m,nr_inodes=8", true, false, false,
         "writing out/a.png\ncould not open file for writing: No space left on device\n"},
        {"no free inode, hard-linked: room is reserved", 0, "size=64k,nr_inodes=8", true, true, true,
         "writing out/a.png\nerror: could not write out/a.png: No space left on device\n"},
        {"a full disk, hard-linked", 0, "size=64k", false, true, true,
         "writing out/a.png\nerror: could not write out/a.png: No space left on device\n"},
    };
    // Text enough for a picture larger than the blocks the old one holds, and than the whole
    // 64 KB file system.
    std::string text;
    std::mt19937 random(11);
    for (int row = 0; row < 80; ++row) {
        for (int column = 0; column < 160; ++column) text += static_cast<char>('!' + random() % 94);
        text += '\n';
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", text);
        std::unique_ptr<Tmpfs> tmpfs;
        fs::path out = dir / "out";
        if (c.tmpfs != nullptr) {
            tmpfs = std::make_unique<Tmpfs>(dir.path(), c.tmpfs);
            if (!tmpfs->mounted) {
                std::printf("skipped: mounting a tmpfs is not permitted here\n");
                continue;
            }
            fs::create_symlink(tmpfs->point, out);
        } else {
            fs::create_directory(out);
        }
        write_file(out / "a.png", old_picture);
        if (c.hard_link) fs::create_hard_link(out / "a.png", out / "copy.png");
        if (c.fill_inodes) use_up_inodes(out);
        if (c.fill_space) use_up_space(out);
        const std::vector<std::string> before = list_directory(out);
        Launch how;
        if (c.size_limit != 0) how.limits = {{RLIMIT_FSIZE, c.size_limit}};
        const Outcome outcome = launch(dir.path(), {"--size=1280x960", "--no-crop", "--overwrite", "--output=out/a.png", "a.txt"}, how);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_TRUE(read_file(out / "a.png") == old_picture);
        if (c.hard_link) {
            EXPECT_TRUE(read_file(out / "copy.png") == old_picture);
        }
        EXPECT_EQ(list_directory(out), before);
    }
}

namespace {

// A file bind-mounted over another, as long as the object lives; `mounted` is false where
// mounting is not permitted.
struct BoundFile {
    fs::path point;
    bool mounted = false;
    BoundFile(const fs::path& source, const fs::path& target) : point(target)
    {
        mounted = mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0;
    }
    ~BoundFile()
    {
        if (mounted) umount2(point.c_str(), MNT_DETACH);
    }
};

}  // namespace

// A replacement that fails after its temporary file was given a name, here because the
// picture's name is a mount point that no rename may replace, removes that file: no hidden
// .vedad- entry is left beside the picture.
TEST(Hostile, AFailedReplacementLeavesNoTemporaryFile)
{
    TempDir dir;
    write_file(dir / "a.txt", "alpha\n");
    write_file(dir / "a.png", "old");
    write_file(dir / "mounted", "mounted");
    Outcome outcome;
    {
        const BoundFile bound(dir / "mounted", dir / "a.png");
        if (!bound.mounted) GTEST_SKIP() << "bind mounts are not permitted here";
        outcome = launch(dir.path(), {"--overwrite", "--output=a.png", "a.txt"});
    }
    expect_sound(outcome);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "writing a.png\ncould not open file for writing: Device or resource busy\n");
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "mounted"}));
    EXPECT_EQ(read_file(dir / "a.png"), "old");
    EXPECT_EQ(read_file(dir / "mounted"), "mounted");
}

// What --overwrite replaces and how: a symbolic link is replaced, never written through; a
// picture with other hard links, or in a directory that takes no new file, is written in
// place, so that the names and the owner stay.
TEST(Hostile, OverwriteReplacesTheNamedEntry)
{
    {
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        fs::create_directory(dir / "pictures");
        write_file(dir / "pictures/real.png", "old");
        fs::create_symlink("pictures/real.png", dir / "link.png");
        fs::create_symlink("nowhere/missing.png", dir / "dangling.png");
        for (const char* link : {"link.png", "dangling.png"}) {
            SCOPED_TRACE(link);
            const Outcome outcome = launch(dir.path(), {"--overwrite", std::string("--output=") + link, "a.txt"});
            expect_sound(outcome);
            EXPECT_EQ(outcome.status, 0);
            EXPECT_FALSE(fs::is_symlink(dir / link));
            EXPECT_GT(png_size(dir / link).width, 0);
        }
        EXPECT_EQ(read_file(dir / "pictures/real.png"), "old");
        EXPECT_FALSE(fs::exists(dir / "nowhere"));
        EXPECT_EQ(list_directory(dir.path()),
                  (std::vector<std::string>{"a.txt", "dangling.png", "link.png", "pictures"}));
    }
    {
        // A directory that takes no new file: a writable picture in it is written in place.
        TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        write_file(dir / "a.txt", "alpha\n");
        fs::create_directory(dir / "ro");
        write_file(dir / "ro/a.png", "old");
        fs::permissions(dir / "ro/a.png", fs::perms::all & ~(fs::perms::owner_exec | fs::perms::group_exec |
                                                               fs::perms::others_exec));
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        Launch how;
        how.as_nobody = true;
        const Outcome outcome = launch(dir.path(), {"--overwrite", "--output=ro/a.png", "a.txt"}, how);
        if (outcome.could_not_start) GTEST_SKIP() << "the unprivileged user cannot run " << VEDAD_BINARY;
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_GT(png_size(dir / "ro/a.png").width, 0);
        EXPECT_EQ(list_directory(dir / "ro"), std::vector<std::string>{"a.png"});
    }
    {
        // A picture with a second hard link is written in place, so both names show it. The
        // old one was longer: none of its bytes stay after the new picture.
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        ASSERT_EQ(launch(dir.path(), {"--output=fresh.png", "a.txt"}).status, 0);
        write_file(dir / "a.png", "old, and longer than the picture will be: " + std::string(5000, 'x'));
        fs::create_hard_link(dir / "a.png", dir / "copy.png");
        const Outcome outcome = launch(dir.path(), {"--overwrite", "--output=a.png", "a.txt"});
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_GT(png_size(dir / "copy.png").width, 0);
        EXPECT_EQ(fs::file_size(dir / "a.png"), fs::file_size(dir / "fresh.png"));
        EXPECT_TRUE(read_file(dir / "a.png") == read_file(dir / "fresh.png"));
        EXPECT_EQ(read_file(dir / "copy.png"), read_file(dir / "a.png"));
        EXPECT_EQ(fs::hard_link_count(dir / "a.png"), 2u);
    }
}

namespace {

struct Ownership {
    uid_t owner;
    gid_t group;
    mode_t mode;
    bool operator==(const Ownership&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ownership& o)
{
    return out << o.owner << ":" << o.group << " " << std::oct << o.mode << std::dec;
}

Ownership ownership(const fs::path& path)
{
    struct stat info {};
    lstat(path.c_str(), &info);
    return {info.st_uid, info.st_gid, info.st_mode & 07777};
}

}  // namespace

// --overwrite keeps the owner, group, mode and extended attributes of the picture it
// replaces: given to the new file where the writer may (root), kept by writing in place where
// it may not. Needs root, to hand files to other users.
TEST(Hostile, OverwriteKeepsOwnerGroupModeAndAttributes)
{
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    const uid_t nobody = 65534;
    const gid_t nogroup = 65534;
    const uid_t daemon = 1;
    const gid_t daemon_group = 1;
    const struct {
        const char* name;
        Ownership before;
        bool as_nobody;
    } cases[] = {
        {"root replaces nobody:daemon 0640", {nobody, daemon_group, 0640}, false},
        {"root replaces daemon:daemon 0604", {daemon, daemon_group, 0604}, false},
        {"nobody replaces its own file 0600", {nobody, nogroup, 0600}, true},
        {"nobody writes daemon:daemon 0666 in place", {daemon, daemon_group, 0666}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        write_file(dir / "a.txt", "alpha\n");
        write_file(dir / "a.png", "old");
        ASSERT_EQ(chown((dir / "a.png").c_str(), c.before.owner, c.before.group), 0);
        ASSERT_EQ(chmod((dir / "a.png").c_str(), c.before.mode), 0);
        const bool has_attribute = setxattr((dir / "a.png").c_str(), "user.origin", "test", 4, 0) == 0;
        Launch how;
        how.as_nobody = c.as_nobody;
        const Outcome outcome = launch(dir.path(), {"--overwrite", "a.txt"}, how);
        if (outcome.could_not_start) GTEST_SKIP() << "the unprivileged user cannot run " << VEDAD_BINARY;
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "writing a.png\n");
        EXPECT_GT(png_size(dir / "a.png").width, 0);
        EXPECT_EQ(ownership(dir / "a.png"), c.before);
        if (has_attribute) {
            char value[16] = {};
            EXPECT_EQ(getxattr((dir / "a.png").c_str(), "user.origin", value, sizeof value), 4);
            EXPECT_STREQ(value, "test");
        }
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt"}));
    }
}

// Runs started together on inputs of one base name, into one directory: each gets a name of
// its own and its own picture there, and says so.
TEST(Hostile, ParallelRunsEachKeepTheirOwnPicture)
{
    constexpr int RUNS = 10;
    constexpr int ROUNDS = 20;
    TempDir dir;
    std::vector<std::string> pictures;  // of each input, written alone
    for (int i = 0; i < RUNS; ++i) {
        const fs::path input = dir / ("in" + std::to_string(i));
        fs::create_directory(input);
        write_file(input / "a.txt", "run " + std::to_string(i) + "\n");
        ASSERT_EQ(launch(input, {"a.txt"}).status, 0);
        pictures.push_back(read_file(input / "a.png"));
    }
    for (int round = 0; round < ROUNDS; ++round) {
        SCOPED_TRACE(round);
        const fs::path out = dir / ("out" + std::to_string(round));
        fs::create_directory(out);
        std::vector<Started> runs;
        for (int i = 0; i < RUNS; ++i)
            runs.push_back(start(dir.path(), {"--output=" + out.filename().string(), "in" + std::to_string(i) + "/a.txt"}));
        std::vector<std::string> named;
        for (int i = 0; i < RUNS; ++i) {
            const Outcome outcome = finish(runs[static_cast<size_t>(i)]);
            expect_sound(outcome);
            ASSERT_EQ(outcome.status, 0) << outcome.err;
            ASSERT_TRUE(outcome.err.starts_with("writing ") && outcome.err.ends_with("\n")) << outcome.err;
            const std::string path = outcome.err.substr(8, outcome.err.size() - 9);
            named.push_back(fs::path(path).filename().string());
            // The file the run names holds the picture of its own input.
            EXPECT_TRUE(read_file(dir / path) == pictures[static_cast<size_t>(i)]) << path;
        }
        std::sort(named.begin(), named.end());
        EXPECT_EQ(std::adjacent_find(named.begin(), named.end()), named.end());
        EXPECT_EQ(list_directory(out), named);
    }
}

// A default name that some entry other than a regular file has is taken all the same: the
// entry is left as it was and the picture is numbered. Nothing is written through a link.
TEST(Hostile, DefaultNamesTakenByAnyEntryAreLeftUntouched)
{
    const struct {
        const char* name;
        void (*make)(const fs::path& dir);
    } cases[] = {
        {"a dangling link", [](const fs::path& dir) { fs::create_symlink(dir / "private/secret.png", dir / "a.png"); }},
        {"a link to a file elsewhere",
         [](const fs::path& dir) {
             write_file(dir / "private/kept.png", "kept");
             fs::create_symlink(dir / "private/kept.png", dir / "a.png");
         }},
        {"a FIFO", [](const fs::path& dir) { ASSERT_EQ(mkfifo((dir / "a.png").c_str(), 0600), 0); }},
        {"a link to the null device", [](const fs::path& dir) { fs::create_symlink("/dev/null", dir / "a.png"); }},
        {"a directory", [](const fs::path& dir) { fs::create_directory(dir / "a.png"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        fs::create_directory(dir / "private");
        c.make(dir.path());
        const fs::file_status before = fs::symlink_status(dir / "a.png");
        const std::vector<std::string> private_before = list_directory(dir / "private");
        const Outcome outcome = launch(dir.path(), {"--verbose", "a.txt"});
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_TRUE(outcome.err.ends_with("warning: a.png exists, consider using --overwrite\nwriting a2.png\n"))
            << outcome.err;
        EXPECT_GT(png_size(dir / "a2.png").width, 0);
        EXPECT_EQ(fs::symlink_status(dir / "a.png").type(), before.type());
        EXPECT_EQ(list_directory(dir / "private"), private_before);
        if (fs::exists(dir / "private/kept.png")) {
            EXPECT_EQ(read_file(dir / "private/kept.png"), "kept");
        }
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "a2.png", "private"}));
    }
}

namespace {

// Whether the run has a file open in `directory` (by its path as /proc shows it): the
// moment its output first appears, unnamed or not.
bool has_file_open_in(pid_t pid, const fs::path& directory)
{
    const fs::path fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fds, error)) {
        std::error_code ignored;
        const fs::path target = fs::read_symlink(entry.path(), ignored);
        if (target.parent_path() == directory) return true;
    }
    return false;
}

}  // namespace

// A run ended by a signal while its picture is being written leaves no name holding part of
// one: the names hold the old picture or the whole new one. On SIGTERM it removes what it
// made and ends by the signal; after SIGKILL at most an unnamed file (freed by the system) or
// one hidden temporary file can remain.
TEST(Hostile, SignalsWhileWritingLeaveNoPartialPicture)
{
    constexpr int REPEATS = 20;
    TempDir reference;
    std::string text;
    std::mt19937 random(5);
    for (int row = 0; row < 30; ++row) {
        for (int column = 0; column < 100; ++column) text += static_cast<char>('!' + random() % 94);
        text += '\n';
    }
    const std::vector<std::string> options = {"--size=900x900", "--no-crop"};
    write_file(reference / "a.txt", text);
    std::vector<std::string> arguments = options;
    arguments.push_back("a.txt");
    ASSERT_EQ(launch(reference.path(), arguments).status, 0);
    const std::string picture = read_file(reference / "a.png");
    arguments.insert(arguments.begin(), "--overwrite");

    for (const int signal : {SIGTERM, SIGKILL}) {
        int caught_writing = 0;
        for (int repeat = 0; repeat < REPEATS; ++repeat) {
            SCOPED_TRACE(testing::Message() << strsignal(signal) << ", run " << repeat);
            TempDir dir;
            const fs::path canonical = fs::canonical(dir.path());
            write_file(dir / "a.txt", text);
            // Every other run replaces an old picture.
            const bool replacing = repeat % 2 == 1;
            if (replacing) write_file(dir / "a.png", "old");
            Started run = start(dir.path(), replacing ? arguments : std::vector<std::string>(arguments.begin() + 1, arguments.end()));
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!has_file_open_in(run.pid, canonical) && !fs::exists(dir / (replacing ? "a2.png" : "a.png")) &&
                   std::chrono::steady_clock::now() < deadline) {
            }
            kill(run.pid, signal);
            const Outcome outcome = finish(run);
            if (outcome.signal == signal) ++caught_writing;
            int hidden = 0;
            for (const std::string& name : list_directory(dir.path())) {
                if (name == "a.txt") continue;
                if (name.starts_with(".vedad-")) {
                    ++hidden;
                    continue;
                }
                ASSERT_EQ(name, "a.png");
                const std::string contents = read_file(dir / name);
                EXPECT_TRUE(contents == picture || (replacing && contents == "old")) << contents.size() << " bytes";
            }
            if (replacing) {
                EXPECT_TRUE(fs::exists(dir / "a.png"));
            }
            EXPECT_LE(hidden, signal == SIGKILL ? 1 : 0);
        }
        // Most runs are caught before they end, so the test sees what a signal leaves.
        EXPECT_GT(caught_writing, REPEATS / 2);
    }
}

// /dev/stdout names whatever standard output is: a pipe gets the PNG, and so does a file
// standard output is redirected to; nothing is made beside it.
TEST(Hostile, DevStdoutIsWrittenAsItIs)
{
    TempDir dir;
    write_file(dir / "a.txt", "alpha\n");
    ASSERT_EQ(launch(dir.path(), {"a.txt"}).status, 0);
    const std::string picture = read_file(dir / "a.png");
    Launch piped;
    piped.capture_out = true;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--output=/dev/stdout", "a.txt"},
          std::vector<std::string>{"--output=/dev/stdout", "--overwrite", "a.txt"}}) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        const Outcome outcome = launch(dir.path(), arguments, piped);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "writing /dev/stdout\n");
        EXPECT_TRUE(outcome.out == picture) << outcome.out.size() << " bytes";
    }
    const std::string command = "cd '" + dir.path().string() + "' && '" VEDAD_BINARY "' --output=/dev/stdout a.txt > out.png 2>err";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(read_file(dir / "out.png") == picture);
    EXPECT_EQ(read_file(dir / "err"), "writing /dev/stdout\n");
    EXPECT_FALSE(fs::exists("/dev/stdout2.png"));
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "err", "out.png"}));
}

// Files and directories the user may not read or write. Root may do anything, so a run as
// root drops to the unprivileged user first.
TEST(Hostile, WithoutPermissionNothingIsWrittenAndEarlierPicturesStay)
{
    const struct {
        const char* name;
        std::string working_directory;  // below the test directory
        std::vector<std::string> arguments;
        std::string err;
        std::vector<std::string> files;  // of the test directory afterwards
    } cases[] = {
        {"an unreadable input after a readable one", "", {"a.txt", "secret.txt"},
         "writing a.png\nerror: couldn't open file: Permission denied\n", {"a.png", "a.txt", "old.png", "ro", "secret.txt"}},
        {"an output directory without write permission", "", {"--output=ro/", "a.txt"},
         "writing ro/a.png\ncould not open file for writing: Permission denied\n",
         {"a.txt", "old.png", "ro", "secret.txt"}},
        {"a working directory without write permission", "ro", {"../a.txt"},
         "writing a.png\ncould not open file for writing: Permission denied\n",
         {"a.txt", "old.png", "ro", "secret.txt"}},
        // The user's file is neither emptied nor removed when it cannot be replaced.
        {"a read-only file to overwrite", "", {"--overwrite", "--output=old.png", "a.txt"},
         "writing old.png\ncould not open file for writing: Permission denied\n",
         {"a.txt", "old.png", "ro", "secret.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        fs::permissions(dir.path(), fs::perms::all);
        write_file(dir / "a.txt", "alpha\n");
        write_file(dir / "secret.txt", "secret\n");
        write_file(dir / "old.png", "old");
        fs::create_directory(dir / "ro");
        fs::permissions(dir / "a.txt", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::permissions(dir / "secret.txt", fs::perms::none);
        fs::permissions(dir / "old.png", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        fs::permissions(dir / "ro", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        Launch how;
        how.as_nobody = true;
        const Outcome outcome = launch(dir / c.working_directory, c.arguments, how);
        if (outcome.could_not_start) GTEST_SKIP() << "the unprivileged user cannot run " << VEDAD_BINARY;
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, c.err);
        EXPECT_EQ(list_directory(dir.path()), c.files);
        EXPECT_TRUE(list_directory(dir / "ro").empty());
        EXPECT_EQ(read_file(dir / "old.png"), "old");
        if (std::find(c.files.begin(), c.files.end(), "a.png") != c.files.end()) {
            EXPECT_GT(png_size(dir / "a.png").width, 0);
        }
    }
}

// Each file is closed and its image freed before the next one: 2000 operands run under a
// limit of a few descriptors, and take no more memory at their peak than 200 do.
TEST(Hostile, ManyOperandsUseNoMoreDescriptorsOrMemoryPerFile)
{
    TempDir dir;
    std::vector<std::string> operands;
    for (int i = 0; i < 2000; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%04d.txt", i);
        write_file(dir / name, "line " + std::to_string(i) + "\n");
        operands.push_back(name);
    }
    Launch how;
    how.limits = {{RLIMIT_NOFILE, 12}};
    const std::vector<std::string> few(operands.begin(), operands.begin() + 200);
    const Outcome with_few = launch(dir.path(), few, how);
    expect_sound(with_few);
    ASSERT_EQ(with_few.status, 0) << with_few.err.substr(0, 500);
    for (const char* name : {"f0000.png", "f0199.png"}) fs::remove(dir / name);
    for (int i = 1; i < 199; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "f%04d.png", i);
        fs::remove(dir / name);
    }

    const Outcome with_many = launch(dir.path(), operands, how);
    expect_sound(with_many);
    ASSERT_EQ(with_many.status, 0) << with_many.err.substr(0, 500);
    EXPECT_EQ(std::count(with_many.err.begin(), with_many.err.end(), '\n'), 2000);
    EXPECT_EQ(list_directory(dir.path()).size(), 4000u);
    EXPECT_GT(png_size(dir / "f1999.png").width, 0);
    // The address sanitizer keeps freed memory aside for a while; its leak check covers this there.
    if (!UNDER_ASAN) {
        EXPECT_LT(with_many.peak_rss_kb - with_few.peak_rss_kb, 2048) << with_few.peak_rss_kb;
    }
}

// What the environment and the start of the process can hand over: font search paths and
// names that find nothing, and standard descriptors closed at start.
TEST(Hostile, HostileEnvironmentGivesAPictureOrTheFontError)
{
    std::string missing_directories;
    // Near the system's limit of 128 KiB for one environment string.
    for (int i = 0; i < 5000; ++i) missing_directories += "/nonexistent/fonts" + std::to_string(i) + ":";
    const std::string long_name(100000, 'F');
    std::string deep_name;
    for (int i = 0; i < 30000; ++i) deep_name += "a/";
    const std::string not_found = "Could not find/open font";
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        Launch how;
        int status;
        std::string err;
    } cases[] = {
        // Where libgd finds no Courier, fontconfig finds the default font.
        {"an empty font path", {"a.txt"}, with_environment("GDFONTPATH", ""), 0, "writing a.png\n"},
        {"a font path of separators", {"a.txt"}, with_environment("GDFONTPATH", ":::"), 0, "writing a.png\n"},
        {"a font path of 5000 missing directories", {"a.txt"}, with_environment("GDFONTPATH", missing_directories),
         0, "writing a.png\n"},
        {"the font after 5000 missing directories", {"a.txt"},
         with_environment("GDFONTPATH", missing_directories + VEDAD_TEST_FONT_DIR), 0, "writing a.png\n"},
        {"a font name of 100000 characters", {"--font=" + long_name, "a.txt"}, {}, 1, metrics_error(long_name, not_found)},
        {"a font path 30000 directories deep", {"--font=" + deep_name, "a.txt"}, {}, 1,
         metrics_error(deep_name, not_found)},
        {"a font that is a device", {"--font=/dev/zero", "a.txt"}, {}, 1,
         "error: font file /dev/zero is not a regular file\n"},
        {"a font that is a directory", {"--font=.", "a.txt"}, {}, 1,
         "error: font file " VEDAD_TEST_FONT_DIR "/. is not a regular file\n"},
        // FreeType would wait on a FIFO for ever.
        {"a font that is a FIFO", {"--font=./fifo.ttf", "a.txt"}, {}, 1,
         "error: font file ./fifo.ttf is not a regular file\n"},
        {"a font found as a FIFO in the font path", {"a.txt"}, with_environment("GDFONTPATH", "fifo-fonts"), 1,
         "error: font file fifo-fonts/Courier.ttf is not a regular file\n"},
        {"standard input closed at start", {"-"}, with_closed(0), 0, "writing stdin.png\n"},
        {"standard output closed at start", {"a.txt"}, with_closed(1), 0, "writing a.png\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        ASSERT_EQ(mkfifo((dir / "fifo.ttf").c_str(), 0600), 0);
        fs::create_directory(dir / "fifo-fonts");
        ASSERT_EQ(mkfifo((dir / "fifo-fonts/Courier.ttf").c_str(), 0600), 0);
        Launch how = c.how;
        how.time_limit = 30;  // a FIFO opened as a font would hold the run for ever
        const Outcome outcome = launch(dir.path(), c.arguments, how);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(first_line(outcome.err), c.err);
        const std::vector<std::string> files = list_directory(dir.path());
        EXPECT_EQ(files.size(), c.status == 0 ? 4u : 3u);
        for (const std::string& name : files) {
            if (name.ends_with(".png")) {
                EXPECT_GT(png_size(dir / name).width, 0) << name;
            }
        }
    }
    // With standard error a pipe nobody reads any more, the messages are lost but the run
    // goes on: no signal ends it before its pictures are written.
    {
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        write_file(dir / "b.txt", "beta\n");
        Launch unread;
        unread.unread_stderr = true;
        const Outcome outcome = launch(dir.path(), {"a.txt", "b.txt", "--verbose"}, unread);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt", "b.png", "b.txt"}));
        EXPECT_GT(png_size(dir / "b.png").width, 0);
    }
    // With standard error closed the run still draws, and no file receives its messages.
    TempDir dir;
    write_file(dir / "a.txt", "alpha\n");
    Launch closed_err;
    closed_err.closed = {2};
    const Outcome outcome = launch(dir.path(), {"a.txt", "--verbose"}, closed_err);
    expect_sound(outcome);
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"a.png", "a.txt"}));
    EXPECT_GT(png_size(dir / "a.png").width, 0);
}

// A fallback font that is a FIFO is refused as the font is, once a character the font lacks
// asks for it: the run ends at once, with no picture, instead of waiting on the FIFO.
TEST(Hostile, AFallbackFontThatIsAFifoEndsTheRunAtOnce)
{
    TempDir dir;
    write_file(dir / "c.txt", "\xe6\xbc\xa2\n");  // U+6F22, which FreeMono lacks
    ASSERT_EQ(mkfifo((dir / "f.ttf").c_str(), 0600), 0);
    const std::string fifo = (dir / "f.ttf").string();
    Launch how;
    how.time_limit = 30;
    const Outcome outcome = launch(dir.path(), {"--fallback-font=" + fifo, "c.txt"}, how);
    expect_sound(outcome);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.err, "error: font file " + fifo + " is not a regular file\n");
    EXPECT_EQ(list_directory(dir.path()), (std::vector<std::string>{"c.txt", "f.ttf"}));
}

// Resources that run out half way: descriptors for the font, room for the file.
TEST(Hostile, ExhaustedDescriptorsOrFileSizeEndTheRunWithAMessage)
{
    {
        // Room for the input but not for the font file (three standard descriptors and one more).
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        Launch how;
        how.limits = {{RLIMIT_NOFILE, 4}};
        // The leak check at exit needs a descriptor of its own.
        if (UNDER_ASAN) how.environment = {{"ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1"}};
        const Outcome outcome = launch(dir.path(), {"a.txt"}, how);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 1);
        // fontconfig, asked next, may say first that it cannot read its configuration.
        EXPECT_NE(outcome.err.find(metrics_error("Courier", "Could not read font")), std::string::npos) << outcome.err;
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
    {
        // A file size limit met half way through a picture: the write fails and the part
        // written is removed, rather than the process being killed with it on disk.
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        Launch how;
        how.limits = {{RLIMIT_FSIZE, 200}};
        const Outcome outcome = launch(dir.path(), {"--no-crop", "a.txt"}, how);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, 1);
        EXPECT_EQ(outcome.err, "writing a.png\nerror: could not write a.png: File too large\n");
        EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
    }
}

// Memory that runs out: for the image, or for encoding it (libgd's encoder copies all rows
// of a 256 MB image, 192 MB more, which a limit of 350 MB leaves no room for). No file is
// touched either way.
TEST(Hostile, ExhaustedMemoryEndsTheRunWithAMessage)
{
    if (UNDER_ASAN) GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
    const struct {
        std::vector<std::string> arguments;
        rlim_t limit_mb;
        int status;
        std::string last_line;
    } cases[] = {
        {{"--size=20000x20000", "a.txt"}, 512, 1, "error: could not create an image of 20000x20000 pixels\n"},
        // The encoder needs little beside the canvas (256 MB here): the picture is made.
        {{"--size=8000x8000", "--no-crop", "a.txt"}, 350, 0, "writing a.png\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        TempDir dir;
        write_file(dir / "a.txt", "alpha\n");
        Launch how;
        how.limits = {{RLIMIT_AS, c.limit_mb << 20}};
        const Outcome outcome = launch(dir.path(), c.arguments, how);
        expect_sound(outcome);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_TRUE(outcome.err.ends_with(c.last_line)) << outcome.err;
        if (c.status != 0) {
            EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{"a.txt"});
        }
    }
}

// Terminal output of any length is held in memory that follows what can reach the page: a
// 100 MB log of coloured lines, cursor moves, erases and strings draws the same picture as its
// first thousand lines, in about the same memory.
TEST(Hostile, EndlessTerminalOutputRunsInBoundedMemory)
{
    const std::string line = "\x1b[38;5;196m\x1b[48;2;1;2;3mERROR\x1b[0m \x1b]8;;http://example.org/\x1b\\link\x1b]8;;\x1b\\"
                             " \x1b[1;32mok\x1b[m\x1b[K\r\x1b[2C\x1b[A\x1b[B\x1b[7mX\x1b[27m\t|\n";
    const size_t lines = (UNDER_ASAN ? 10u : 100u) * 1000 * 1000 / line.size();
    TempDir dir;
    write_file(dir / "short.txt", repeat(line, 1000));
    write_file(dir / "long.txt", repeat(line, lines));
    const Outcome short_run = launch(dir.path(), {"--ansi-input", "short.txt"});
    const Outcome long_run = launch(dir.path(), {"--ansi-input", "long.txt"});
    expect_sound(long_run);
    ASSERT_EQ(short_run.status, 0) << short_run.err;
    ASSERT_EQ(long_run.status, 0) << long_run.err;
    EXPECT_EQ(png_size(dir / "long.png").height, FULL_PAGE.height);
    EXPECT_EQ(read_file(dir / "long.png"), read_file(dir / "short.png"));
    if (!UNDER_ASAN) {
        EXPECT_LT(long_run.peak_rss_kb - short_run.peak_rss_kb, 2048) << short_run.peak_rss_kb;
    }
}

// A command that prints 100 MB of coloured rows, each wrapping at its terminal's edge, is read
// as it prints: the picture is that of its first megabyte, made in about the same memory.
TEST(Hostile, EndlessCommandOutputRunsInBoundedMemory)
{
    const std::string row = "\\033[1;31mERROR\\033[0m a row long enough to wrap at the edge of the terminal, with "
                            "numbers 0123456789 and \\033[48;5;22mcolours\\033[m";
    auto printing = [&](const char* size) {
        return "--execute=yes \"$(printf '" + row + "')\" | head -c " + size;
    };
    TempDir dir;
    Launch how;
    how.time_limit = 120;
    const Outcome short_run = launch(dir.path(), {printing("1M"), "--output=short.png"}, how);
    const Outcome long_run = launch(dir.path(), {printing(UNDER_ASAN ? "10M" : "100M"), "--output=long.png"}, how);
    expect_sound(long_run);
    ASSERT_EQ(short_run.status, 0) << short_run.err;
    ASSERT_EQ(long_run.status, 0) << long_run.err;
    EXPECT_EQ(png_size(dir / "long.png").height, FULL_PAGE.height);
    EXPECT_EQ(read_file(dir / "long.png"), read_file(dir / "short.png"));
    if (!UNDER_ASAN) {
        EXPECT_LT(long_run.peak_rss_kb - short_run.peak_rss_kb, 2048) << short_run.peak_rss_kb;
    }
}

// Cursor moves to huge positions are held, never allocated; what they reach counts for the
// crop as it would for cells written that far out.
TEST(Hostile, HugeCursorMovesAreHeldAndAllocateNothing)
{
    const std::vector<std::string> options = {"--ansi-input"};
    const Size one_row = reference_size(options, "x");
    const struct {
        const char* name;
        std::string input;
        Size size;
    } cases[] = {
        {"far down and right", "x\x1b[99999999;99999999Hy", FULL_PAGE},
        {"far right", "x\x1b[99999999999999Cy", {640, one_row.height}},
        {"far down, then home", "\x1b[99999999Bx\x1b[Hy", {one_row.width, 480}},
        {"moved far, nothing written", "x\x1b[99999999;99999999H\x1b[2J\x1b[K", one_row},
        {"a tab at the end of the line", "x\x1b[99999999999C\t\ty", {640, one_row.height}},
        {"many jumps", repeat("\x1b[99999999;99999999Hx\x1b[H\x1b[9999999999999999999999C\x1b[2Jy\r", 100000),
         FULL_PAGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        write_file(dir / "in", c.input);
        Launch how;
        how.limits = {{RLIMIT_AS, rlim_t{512} << 20}};
        const Outcome outcome = launch(dir.path(), {"--ansi-input", "in"}, UNDER_ASAN ? Launch{} : how);
        expect_sound(outcome);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(png_size(dir / "in.png"), c.size);
    }
}

// --fit on an input far taller than the limit: the canvas stops at the limit, the rows below
// it are only read, and memory follows the canvas, not the input.
TEST(Hostile, FitOnAHugeInputIsBoundedByTheLimit)
{
    const std::string line = "a log line of some length, with numbers 0123456789 and words\n";
    TempDir dir;
    write_file(dir / "short.txt", repeat(line, 2000));
    write_file(dir / "long.txt", repeat(line, (UNDER_ASAN ? 20u : 200u) * 1000));
    const Outcome short_run = launch(dir.path(), {"--fit", "--size=800x2000", "short.txt"});
    const Outcome long_run = launch(dir.path(), {"--fit", "--size=800x2000", "long.txt"});
    expect_sound(long_run);
    ASSERT_EQ(short_run.status, 0) << short_run.err;
    ASSERT_EQ(long_run.status, 0) << long_run.err;
    EXPECT_EQ(read_file(dir / "long.png"), read_file(dir / "short.png"));
    if (!UNDER_ASAN) {
        EXPECT_LT(long_run.peak_rss_kb - short_run.peak_rss_kb, 2048) << short_run.peak_rss_kb;
    }
}

// The largest scale multiplies the picture eight times each way; a canvas past what libgd makes
// is a clear error, no picture.
TEST(Hostile, ScaleAtItsBounds)
{
    TempDir dir;
    write_file(dir / "a.txt", "scaled\n");
    const Outcome largest = launch(dir.path(), {"--scale=8", "--size=200x100", "a.txt"});
    expect_sound(largest);
    EXPECT_EQ(largest.status, 0) << largest.err;
    EXPECT_EQ(png_size(dir / "a.png").height, 8 * reference_size({"--size=200x100"}, "scaled").height);
    const Size one = reference_size({"--size=200x100"}, "scaled");
    const Outcome too_large = launch(dir.path(), {"--scale=8", "--size=200x100", "--margin=300000", "--overwrite", "a.txt"});
    expect_sound(too_large);
    EXPECT_EQ(too_large.status, 1);
    // In the program's own words alone: libgd's warning is not passed on.
    EXPECT_EQ(too_large.err, "error: could not create an image of " + std::to_string(8 * one.width + 4800000) + "x" +
                                 std::to_string(8 * one.height + 4800000) + " pixels\n");
}

namespace {

// Writes an asciicast v2 recording of an 80x24 terminal to `path` a line at a time: `events`
// output events of `bytes` bytes each (coloured log lines that scroll), all within two seconds.
void write_recording(const fs::path& path, size_t events, size_t bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    ASSERT_TRUE(file);
    std::fputs("{\"version\": 2, \"width\": 80, \"height\": 24}\n", file.get());
    const std::string line = "\\u001b[3%dmcc -c file%zu.c\\u001b[0m \\u001b[1mok\\u001b[m\\r\\n";
    std::string data;
    for (size_t i = 0; i < events; ++i) {
        data.clear();
        while (data.size() < bytes) {
            char piece[64];
            std::snprintf(piece, sizeof piece, line.c_str(), static_cast<int>((i + data.size()) % 7 + 1), i);
            data += piece;
        }
        std::fprintf(file.get(), "[%.6f, \"o\", \"%s\"]\n", 2.0 * static_cast<double>(i + 1) / static_cast<double>(events),
                     data.c_str());
    }
    ASSERT_EQ(std::fflush(file.get()), 0);
}

}  // namespace

// A recording of any length is played in memory that follows its screen: a million events,
// and 100 MB of output in events of 64 KiB (bench/asciicast_hostile.sh plays 1 GB), animate
// in about the memory of a thousand events of the same screen and time.
TEST(Hostile, LongRecordingsAnimateInBoundedMemory)
{
    TempDir dir;
    const size_t scale = UNDER_ASAN ? 10 : 1;
    write_recording(dir / "short.cast", 1000, 40);
    write_recording(dir / "events.cast", 1000 * 1000 / scale, 40);
    write_recording(dir / "output.cast", 1600 / scale, 64 * 1024);
    Launch how;
    how.time_limit = 300;
    const Outcome short_run = launch(dir.path(), {"--asciicast", "--output=short.gif", "short.cast"}, how);
    ASSERT_EQ(short_run.status, 0) << short_run.err;
    for (const char* name : {"events", "output"}) {
        const std::string gif = std::string(name) + ".gif";
        const Outcome long_run = launch(dir.path(), {"--asciicast", "--output=" + gif, std::string(name) + ".cast"}, how);
        expect_sound(long_run);
        ASSERT_EQ(long_run.status, 0) << long_run.err;
        EXPECT_EQ(long_run.err, "writing " + gif + "\n");
        EXPECT_GT(fs::file_size(dir / gif), 1000u);
        if (!UNDER_ASAN) {
            EXPECT_LT(long_run.peak_rss_kb - short_run.peak_rss_kb, 4096) << name << " " << short_run.peak_rss_kb;
        }
    }
}
