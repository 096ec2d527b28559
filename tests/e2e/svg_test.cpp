// --type=svg and .svg names: the page written as rectangles and text, in the PNG's layout.

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <expat.h>
#include <png.h>

#include "support/test_support.hpp"

using namespace vedad_test;

namespace {

constexpr char SVG_NAMESPACE[] = "http://www.w3.org/2000/svg";

struct Element {
    std::string name;  // with its namespace before a space
    std::map<std::string, std::string> attributes;
    std::string text;  // the characters inside it
};

struct Document {
    bool well_formed = false;
    std::vector<Element> elements;  // in document order
    std::vector<size_t> open;       // elements not yet closed

    std::vector<const Element*> named(const std::string& local) const
    {
        std::vector<const Element*> found;
        for (const Element& element : elements)
            if (element.name == std::string(SVG_NAMESPACE) + " " + local) found.push_back(&element);
        return found;
    }
};

Document parse_xml(const std::string& bytes)
{
    Document document;
    XML_Parser parser = XML_ParserCreateNS(nullptr, ' ');
    XML_SetUserData(parser, &document);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto& doc = *static_cast<Document*>(data);
            Element element{name, {}, {}};
            for (size_t i = 0; attributes[i] != nullptr; i += 2) element.attributes[attributes[i]] = attributes[i + 1];
            doc.open.push_back(doc.elements.size());
            doc.elements.push_back(std::move(element));
        },
        [](void* data, const XML_Char*) { static_cast<Document*>(data)->open.pop_back(); });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        auto& doc = *static_cast<Document*>(data);
        for (const size_t open : doc.open) doc.elements[open].text.append(text, static_cast<size_t>(length));
    });
    document.well_formed = XML_Parse(parser, bytes.data(), static_cast<int>(bytes.size()), 1) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return document;
}

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

Pixels decode_png(const std::string& bytes)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Pixels pixels;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return pixels;
    image.format = PNG_FORMAT_RGBA;
    pixels.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.rgba.data(), 0, nullptr)) return Pixels{};
    pixels.width = static_cast<int>(image.width);
    pixels.height = static_cast<int>(image.height);
    return pixels;
}

// Span HTML of `text`, a span for each character, all in `style`.
std::string spans(const std::string& text, const std::string& style)
{
    std::string html;
    for (const char c : text) html += "<span style='" + style + "'>" + (c == ' ' ? "&nbsp;" : std::string(1, c)) + "</span>";
    return html;
}

bool is_svg(const std::string& bytes)
{
    return bytes.starts_with("<?xml") && bytes.find("<svg xmlns=\"http://www.w3.org/2000/svg\"") != std::string::npos;
}

std::string all_text(const Document& document)
{
    std::string text;
    for (const Element* element : document.named("text")) text += element->text + "\n";
    return text;
}

std::string all_fills(const Document& document)
{
    std::string fills;
    for (const Element& element : document.elements) {
        const auto fill = element.attributes.find("fill");
        if (fill != element.attributes.end()) fills += fill->second + " ";
    }
    return fills;
}

// Each character of a text stands at an x of its own.
bool every_character_placed(const Document& document)
{
    for (const Element* element : document.named("tspan")) {
        size_t characters = 0;
        for (const unsigned char c : element->text) characters += (c & 0xC0) != 0x80;
        if (characters != 1 || !element->attributes.contains("x")) return false;
    }
    return !document.named("tspan").empty();
}

}  // namespace

TEST(Svg, HoldsTheCharactersColoursAndSizeOfTheInput)
{
    const struct {
        std::vector<std::string> options;
        std::string input;
        std::vector<std::string> texts;  // each within one text element
        std::vector<std::string> fills;
        std::vector<std::string> elements;  // one of each at least
    } cases[] = {
        {{"--foreground=123456", "--background=fedcba"},
         "plain <text> & \"quotes\"\n  second row\x01\n",
         {"plain <text> & \"quotes\"", "  second row\xEF\xBF\xBD"},
         {"#123456", "#fedcba"},
         {"rect", "text"}},
        {{"--html-input"},
         spans("red on green", "color:#ff0000; background-color:#00ff00") + spans("blue", "color:#0000ff; background-color:#000000") + "<br/>\n",
         {"red on green", "blue"},
         {"#ff0000", "#00ff00", "#0000ff"},
         {"rect", "text"}},
        {{"--ansi-input"},
         "\x1b[1;31mbold red\x1b[0m \x1b[3;44mitalic on blue\x1b[0m \x1b[4munderlined\x1b[0m\n",
         {"bold red", "italic on blue", "underlined"},
         {"#ff0000", "#0000ee"},  // bold red is drawn bright
         {"rect", "text"}},
        {{"--window=mac", "--padding=10", "--radius=6", "--shadow", "--margin=20", "--line-numbers"},
         "framed, and wide enough for its title to show\n",
         {"framed, and wide enough", "1", "a.txt"},
         {"#ff5f57", "#000000"},
         {"circle", "clipPath", "feGaussianBlur"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        write_file(dir / "a.txt", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("a.txt");
        ASSERT_EQ(launch(dir.path(), arguments).status, 0);
        arguments.insert(arguments.begin(), "--type=svg");
        const Outcome outcome = launch(dir.path(), arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(outcome.err, "writing a.svg\n");

        const Document svg = parse_xml(read_file(dir / "a.svg"));
        ASSERT_TRUE(svg.well_formed);
        ASSERT_EQ(svg.elements.front().name, std::string(SVG_NAMESPACE) + " svg");
        const Pixels png = decode_png(read_file(dir / "a.png"));
        EXPECT_EQ(svg.elements.front().attributes.at("width"), std::to_string(png.width));
        EXPECT_EQ(svg.elements.front().attributes.at("height"), std::to_string(png.height));
        ASSERT_EQ(svg.named("title").size(), 1u);
        EXPECT_EQ(svg.named("title")[0]->text, "a.txt");

        const std::string texts = all_text(svg);
        for (const std::string& text : c.texts) EXPECT_NE(texts.find(text), std::string::npos) << text << " in\n" << texts;
        const std::string fills = all_fills(svg);
        for (const std::string& fill : c.fills) EXPECT_NE(fills.find(fill), std::string::npos) << fill << " in " << fills;
        for (const std::string& element : c.elements) EXPECT_FALSE(svg.named(element).empty()) << element;
        EXPECT_TRUE(every_character_placed(svg));
    }
}

TEST(Svg, StylesBecomeWeightStyleAndLines)
{
    TempDir dir;
    write_file(dir / "a.txt", "\x1b[1mbold\x1b[0m \x1b[3mitalic\x1b[0m \x1b[4munder\x1b[0m \x1b[9mstruck\x1b[0m\n");
    ASSERT_EQ(launch(dir.path(), {"--type=svg", "--ansi-input", "a.txt"}).status, 0);
    const Document svg = parse_xml(read_file(dir / "a.svg"));
    ASSERT_TRUE(svg.well_formed);
    std::map<std::string, const Element*> by_text;
    for (const Element* element : svg.named("text")) by_text[element->text] = element;
    ASSERT_TRUE(by_text.count("bold") && by_text.count("italic"));
    EXPECT_EQ(by_text["bold"]->attributes.count("font-style"), 0u);
    EXPECT_EQ(by_text["bold"]->attributes.at("font-weight"), "bold");
    EXPECT_EQ(by_text["italic"]->attributes.at("font-style"), "italic");
    EXPECT_EQ(by_text["italic"]->attributes.count("font-weight"), 0u);
    // The underline and the strike: rectangles in the text's colour, flatter than a row.
    int lines = 0;
    for (const Element* rect : svg.named("rect")) lines += std::stoi(rect->attributes.at("height")) <= 2;
    EXPECT_GE(lines, 2);
    // Equal cells make one rectangle: the page's background and runs, not a rectangle a cell.
    EXPECT_LT(svg.named("rect").size(), 10u);
}

TEST(Svg, TheTypeOrTheOutputNameChoosesTheForm)
{
    const struct {
        std::vector<std::string> arguments;
        std::string written;  // the file, as the "writing" line names it
        bool svg;
    } cases[] = {
        {{"--type=svg", "a.txt"}, "a.svg", true},
        {{"--type=SVG", "--output=out/", "a.txt"}, "out/a.svg", true},
        {{"--output=picture.svg", "a.txt"}, "picture.svg", true},
        {{"--output=picture.Svg", "a.txt"}, "picture.Svg", true},
        {{"--output=picture.png", "--type=svg", "a.txt"}, "picture.png", true},
        {{"--output=other.svg", "--type=png", "a.txt"}, "other.svg", false},
        {{"--output=other.svg", "--type=webp", "a.txt"}, "other.svg", false},
        {{"--type=svg", "taken.txt"}, "taken2.svg", true},
        {{"--type=svg", "--split=1", "two.txt"}, "two.svg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TempDir dir;
        write_file(dir / "a.txt", "a\n");
        write_file(dir / "two.txt", "first\nsecond\n");
        write_file(dir / "taken.txt", "t\n");
        write_file(dir / "taken.svg", "kept");
        const Outcome outcome = launch(dir.path(), c.arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_TRUE(outcome.err.starts_with("writing " + c.written + "\n")) << outcome.err;
        const std::string bytes = read_file(dir / c.written);
        EXPECT_EQ(is_svg(bytes), c.svg);
        EXPECT_EQ(read_file(dir / "taken.svg"), "kept");
    }
    // Split pages are numbered in the type's extension too.
    TempDir split;
    write_file(split / "two.txt", "first\nsecond\n");
    ASSERT_EQ(launch(split.path(), {"--type=svg", "--split=1", "two.txt"}).status, 0);
    EXPECT_NE(all_text(parse_xml(read_file(split / "two-2.svg"))).find("second"), std::string::npos);

    TempDir dir;
    Launch capturing;
    capturing.capture_out = true;
    capturing.input = "from standard input\n";
    const Outcome to_standard_output = launch(dir.path(), {"--type=svg", "--output=-", "-"}, capturing);
    EXPECT_EQ(to_standard_output.status, 0);
    ASSERT_TRUE(is_svg(to_standard_output.out));
    const Document svg = parse_xml(to_standard_output.out);
    EXPECT_TRUE(svg.well_formed);
    EXPECT_NE(all_text(svg).find("from standard input"), std::string::npos);
    EXPECT_EQ(list_directory(dir.path()), std::vector<std::string>{});
}

TEST(Svg, GlyphsAsOutlinesDefinedOnce)
{
    TempDir dir;
    write_file(dir / "a.txt", "abba \x1b[1mbold\x1b[0m\n\xE4\xB8\xAD\n");
    ASSERT_EQ(launch(dir.path(), {"--type=svg", "--svg-glyphs", "--ansi-input", "a.txt"}).status, 0);
    const Document svg = parse_xml(read_file(dir / "a.svg"));
    ASSERT_TRUE(svg.well_formed);
    // a, b, and the bold face's b, o, l, d: one path each, however often used.
    EXPECT_EQ(svg.named("path").size(), 6u);
    EXPECT_EQ(svg.named("use").size(), 8u);
    for (const Element* use : svg.named("use")) {
        const std::string target = use->attributes.at("http://www.w3.org/1999/xlink href");
        bool defined = false;
        for (const Element* path : svg.named("path")) defined |= "#" + path->attributes.at("id") == target;
        EXPECT_TRUE(defined) << target;
    }
    // A character the font lacks comes from another face: it stays text.
    EXPECT_EQ(all_text(svg), "\xE4\xB8\xAD\n");
}

// A grapheme cluster of several code points is one character of the SVG, in every reader, so
// that what draws it shapes it whole as the picture did; with outlines it stays text.
TEST(Svg, AClusterIsWrittenWhole)
{
    const std::string clusters = "e\xCC\x81 \xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD \xF0\x9F\x87\xAB\xF0\x9F\x87\xB7";
    const std::string html = "<span style='color:#ff0000'>e\xCC\x81</span><span style='color:#ff0000'>&nbsp;</span>"
                             "<span style='color:#ff0000'>\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD</span><br/>\n";
    const struct {
        std::vector<std::string> options;
        std::string input;
        std::vector<std::string> whole;
    } cases[] = {
        {{}, clusters + "\n", {"e\xCC\x81", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"}},
        {{"--ansi-input"}, "\x1b[1m" + clusters + "\x1b[0m\n", {"e\xCC\x81", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"}},
        {{"--ansi-input", "--svg-glyphs"}, clusters + "\n", {"e\xCC\x81", "\xF0\x9F\x87\xAB\xF0\x9F\x87\xB7"}},
        {{"--html-input"}, html, {"e\xCC\x81", "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        TempDir dir;
        write_file(dir / "a.txt", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), {"--type=svg", "a.txt"});
        const Outcome outcome = launch(dir.path(), arguments);
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const Document svg = parse_xml(read_file(dir / "a.svg"));
        ASSERT_TRUE(svg.well_formed);
        for (const std::string& cluster : c.whole) {
            bool found = false;
            for (const Element* tspan : svg.named("tspan")) found |= tspan->text == cluster;
            EXPECT_TRUE(found) << cluster << " in\n" << all_text(svg);
        }
    }
}

// A real rasteriser draws the SVG close to the PNG: the same backgrounds in the same places,
// the text in the same font at the same size and places.
TEST(Svg, RendersCloseToThePng)
{
    if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "rsvg-convert is not installed";
    const struct {
        std::vector<std::string> options;
        std::string input;
    } cases[] = {
        {{"--foreground=000000", "--background=ffffff"}, "Plain text, a row of it,\nand a second row: 0123456789\n"},
        {{"--ansi-input", "--size=800x300"},
         "\x1b[41;97m white on red \x1b[0m \x1b[42;30m black on green \x1b[0m\n\x1b[1mbold\x1b[0m and \x1b[34mblue\x1b[0m\n"},
        {{"--html-input", "--padding=8", "--margin=6"},
         spans("yellow on navy", "color:#ffff00; background-color:#000080") + "<br/>" +
             spans("green", "color:#00ff00; background-color:#000000") + "<br/>\n"},
    };
    // The mean difference of a channel per pixel, out of 255 (these pages measure 0.4 to 2.3,
    // as text or as outlines). The rasterisers smooth and hint the same outlines differently
    // along each stem; a cell or a row out of place costs far more.
    constexpr double MOST_MEAN_DIFFERENCE = 4.0;
    for (const bool outlines : {false, true})
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input + (outlines ? " as outlines" : ""));
        TempDir dir;
        write_file(dir / "a.txt", c.input);
        std::vector<std::string> arguments = c.options;
        arguments.push_back("a.txt");
        ASSERT_EQ(launch(dir.path(), arguments).status, 0);
        arguments.insert(arguments.begin(), "--type=svg");
        if (outlines) arguments.insert(arguments.begin(), "--svg-glyphs");
        ASSERT_EQ(launch(dir.path(), arguments).status, 0);
        const std::string command = "rsvg-convert -o '" + (dir / "drawn.png").string() + "' '" +
                                    (dir / "a.svg").string() + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const Pixels png = decode_png(read_file(dir / "a.png"));
        const Pixels drawn = decode_png(read_file(dir / "drawn.png"));
        ASSERT_EQ(drawn.width, png.width);
        ASSERT_EQ(drawn.height, png.height);
        double difference = 0.0;
        for (size_t i = 0; i < png.rgba.size(); ++i) difference += std::abs(png.rgba[i] - drawn.rgba[i]);
        const double mean = difference / static_cast<double>(png.rgba.size());
        EXPECT_LT(mean, MOST_MEAN_DIFFERENCE);
    }
}
