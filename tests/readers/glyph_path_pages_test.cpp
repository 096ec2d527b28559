// Whole pages drawn from the glyph cache come out as when libgd draws every text: the same
// PNG bytes, messages and exit status, for both readers.

#include <string>
#include <utility>
#include <vector>

#include "glyphs/glyph_path.hpp"
#include "support/child_conversion.hpp"
#include "support/test_support.hpp"

using namespace vedad;
using namespace vedad_test;

namespace {

// Converts `input` like the program does with `arguments`, as the only file or as each of
// `pages` files of one run; with `libgd_only` every text goes to libgd. One output a page.
ChildConversion convert(const std::vector<std::string>& arguments, const std::string& input, int pages,
                        bool libgd_only)
{
    std::vector<std::string> words = arguments;
    std::vector<std::pair<std::string, std::string>> inputs;
    std::vector<std::string> pngs;
    for (int page = 1; page <= pages; ++page) {
        const std::string name = "page" + std::to_string(page);
        inputs.emplace_back(name + ".txt", input);
        words.push_back(name + ".txt");
        pngs.push_back(name + ".png");
    }
    return convert_in_child(words, inputs, pngs,
                            [libgd_only](Canvas& canvas) {
                                // Clusters drawn code point by code point, as libgd draws them.
                                canvas.glyphs->seams.libgd_only = libgd_only;
                                canvas.glyphs->seams.unshaped = true;
                            });
}

struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::string input;
    bool all_from_cache;  // no text needs libgd
    int pages = 1;        // files in the run, each holding the input
};

}  // namespace

TEST(GlyphPathPages, PagesComeOutAsWhenLibgdDrawsEveryText)
{
    const std::string rows =
        "plain row with gjpqy and |@_\n"
        "\tcaf\xc3\xa9, na\xc3\xafve, \xc7\xba \xe2\x88\xab \xe2\x94\x8c\xe2\x94\x80\xe2\x94\x90 \xe2\x96\x88 "
        "\xe6\xbc\xa2\xe5\xad\x97\n"
        "Latin-1 bytes: caf\xe9 \xfc\xdf, cut short: \xe2\x94 \xf0\x9f\x98\n"
        "line with CR\r\n"
        "AVATAR To Wa, kerned where the face kerns\n";
    const std::string references = "&amp; &#9608; &lt;x&gt;\n";
    std::string long_page;
    for (int i = 0; i < 60; ++i) long_page += rows;
    // Characters of one to three bytes, references, and bytes that begin no character (one of
    // four bytes is drawn as libgd cannot: see the fonts tests).
    const std::string spans = span_page({"gjpqy|@_ AVATAR", "i j l d b k W M",
                                         "caf\xc3\xa9 \xe2\x94\x80 \xe6\xbc\xa2 \xe2\x98\xba \xe2\x94 \xff",
                                         "&#233; &#x2500; &#0; &#x263A;"});
    const std::string terminal = "\x1b[31mred\x1b[0m \x1b[44mcaf\xc3\xa9 \xe6\xbc\xa2\xe5\xad\x97 "
                                 "\xe2\x98\xba\x1b[0m e\xcc\x81 g\x1b[4mjpqy\x1b[0m\n\tend\n";
    // Tabs far apart: rows grow to the longest a row may be.
    const std::string tabs = "a\tb\tc\n" + std::string(200, '\t') + "x\n\t\xc3\xa9\tz\n";
    const std::vector<Case> cases = {
        {"plain text", {"-v"}, rows, true},
        {"plain text below and right of a small image", {"-v", "--size=150x40"}, long_page, true},
        {"character references, left to libgd", {"-v"}, rows + references, false},
        {"transparent", {"--transparent", "--size=200x60"}, rows, true},
        {"large glyphs over each other", {"--font-size=0.12", "--linespacing=-30", "--size=300x200"}, rows, true},
        {"a proportional face with kerning", {"--font=DejaVuSans.ttf", "--size=320x120"}, rows, true},
        {"an OpenType CFF face", {"--font=NimbusMonoPS-Regular.otf", "--size=320x120"}, rows, true},
        {"a Type 1 face, left to libgd", {"--font=NimbusMonoPS-Regular.t1", "--size=320x120"}, rows, false},
        {"a font that is not found", {"--font=NoSuchFont"}, rows, false},
        {"span cells", {"-v", "--html-input", "--size=200x60"}, spans, true},
        {"fixed span cells", {"--html-input", "--fixed", "--size=200x60"}, spans, true},
        {"transparent span cells", {"--html-input", "--transparent", "--size=200x60"}, spans, true},
        {"terminal output", {"-v", "--ansi-input", "--size=200x60"}, terminal, true},
        {"transparent terminal output", {"--ansi-input", "--transparent", "--size=200x60"}, terminal, true},
        {"tab stops far apart", {"-v", "--tab=1000", "--size=200x60"}, tabs, true},
        {"pages of one run", {"-v"}, rows, true, 2},
        {"span pages of one run", {"-v", "--html-input", "--size=200x60"}, spans, true, 2},
    };
    for (const Case& c : cases) {
        // Characters the font lacks draw its missing-glyph box, as libgd draws them.
        std::vector<std::string> arguments = c.arguments;
        arguments.insert(arguments.begin(), "--no-fallback");
        const ChildConversion libgd = convert(arguments, c.input, c.pages, true);
        const ChildConversion cached = convert(arguments, c.input, c.pages, false);
        EXPECT_EQ(cached.status, libgd.status) << c.name;
        EXPECT_EQ(cached.err, libgd.err) << c.name;
        EXPECT_TRUE(cached.outputs == libgd.outputs) << c.name << ": a PNG differs";
        // The cell set-up measured by the first page serves the later ones whole.
        for (const std::string& png : cached.outputs) {
            EXPECT_TRUE(png == cached.outputs[0]) << c.name;
            EXPECT_TRUE(cached.status != 0 || !png.empty()) << c.name << ": no PNG";
        }
        if (c.all_from_cache) EXPECT_EQ(cached.texts_to_libgd, 0u) << c.name;
        else EXPECT_GT(cached.texts_to_libgd, 0u) << c.name;
    }
}
