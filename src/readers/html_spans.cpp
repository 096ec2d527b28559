#include "readers/html_spans.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "canvas/draw.hpp"
#include "base/hex_color.hpp"
#include "base/clamp.hpp"
#include "base/messages.hpp"
#include "base/utf8.hpp"
#include "base/utf8.hpp"
#include "readers/character_width.hpp"
#include "readers/grapheme_cluster.hpp"
#include "readers/plain_text.hpp"

namespace vedad {

namespace {

constexpr std::string_view TEXT_COLOR_PREFIX = "style='color:#";
constexpr std::string_view BACKGROUND_COLOR_PREFIX = "background-color:#";
constexpr std::string_view SPAN_END_PREFIX = "/span";

struct Entity {
    std::string_view token;
    char character;
};

constexpr std::array<Entity, 6> ENTITIES = {{
    {"&apos;", '\''},
    {"&quot;", '"'},
    {"&nbsp;", ' '},
    {"&amp;", '&'},
    {"&lt;", '<'},
    {"&gt;", '>'},
}};

bool is_separator(int c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ' || c == '<' || c == '>';
}

// The code point of a numeric character reference that is the whole token, "&#" and decimal
// digits or "&#x" (or "&#X") and hexadecimal digits, then ";". Values past U+10FFFF are held
// just above it: they name no character either way.
std::optional<char32_t> numeric_reference(std::string_view token)
{
    if (!token.starts_with("&#") || !token.ends_with(';')) return std::nullopt;
    std::string_view digits = token.substr(2, token.size() - 3);
    const bool hexadecimal = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
    if (hexadecimal) digits.remove_prefix(1);
    if (digits.empty()) return std::nullopt;
    char32_t value = 0;
    for (const char c : digits) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (hexadecimal && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (hexadecimal && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * (hexadecimal ? 16 : 10) + static_cast<char32_t>(digit);
        if (value > 0x10FFFF) value = 0x110000;
    }
    return value;
}

// Whether a token inside a span is an entity or a numeric reference.
bool is_reference(std::string_view token)
{
    for (const Entity& entity : ENTITIES) {
        if (token == entity.token) return true;
    }
    return numeric_reference(token).has_value();
}

// The character a token inside a span stands for: an entity's, a numeric reference's, else
// the token's first whole character, or its first byte when that begins none.
Character token_character(std::string_view token)
{
    for (const Entity& entity : ENTITIES) {
        if (token == entity.token) return first_character(std::string_view(&entity.character, 1));
    }
    if (const std::optional<char32_t> code_point = numeric_reference(token))
        return character_of_code_point(*code_point);
    return first_character(token);  // a token may begin with a NUL byte: the empty character
}

// Whether a token inside a span stands for one character: an entity, a numeric reference, one
// whole grapheme cluster, or text with one byte that is no UTF-8 continuation byte, so that a
// sequence cut short or malformed counts as one, as it is drawn.
bool is_one_character(std::string_view token)
{
    if (is_reference(token)) return true;
    GraphemeCluster cluster;
    if (!begins_with_ascii_cluster(token) && !token.empty() &&
        first_cluster(token, CLUSTER_TEXT_LIMIT, cluster).size() == token.size()) {
        return true;
    }
    return std::count_if(token.begin(), token.end(), [](char c) {
               return !utf8_is_continuation(static_cast<unsigned char>(c));
           }) <= 1;
}

// Tells span HTML from the HTML of converters that wrap a run of characters in one element:
// a style attribute in double quotes, a class attribute, a <pre> element, or several
// characters in one span.
struct ForeignHtml {
    bool found = false;
    int32_t characters_in_span = 0;
};

void look_for_foreign_html(ForeignHtml& foreign, std::string_view token, bool inside_span)
{
    if (foreign.found) return;
    if (!inside_span) {
        if (token == "span") foreign.characters_in_span = 0;
        foreign.found = token == "pre" || token.starts_with("class=");
        return;
    }
    // A span inside a span draws its "s" in the outer one, and counts there.
    if (token.starts_with("style=\"") || token.starts_with("class=")) {
        foreign.found = true;
    } else if (!token.starts_with(SPAN_END_PREFIX) && !token.starts_with(TEXT_COLOR_PREFIX) &&
               !token.starts_with(BACKGROUND_COLOR_PREFIX)) {
        foreign.characters_in_span += is_one_character(token) ? 1 : 2;
        foreign.found = foreign.characters_in_span > 1;
    }
}

// The terminal cells a span's character takes: two for a wide one, one for any other.
int cell_count(const Character& character)
{
    const std::string_view text(character.text.data());
    const size_t length = utf8_sequence_length(text);
    if (length == 0) return 1;
    return character_width(utf8_code_point(text, length)) == 2 ? 2 : 1;
}

// A token's character, or the cluster of several code points it begins with (`cluster`,
// when not null), drawn in its cell.
void draw_token_cell(Canvas& canvas, const CellColors& colors, const Character& character, const char* cluster,
                     bool transparent, GlyphReach& reach, TextExtent& extent)
{
    if (cluster != nullptr) canvas_draw_text_cell(canvas, colors, cluster, transparent, extent);
    else canvas_draw_cell(canvas, colors, character, transparent, reach, extent);
}

// A wide character in fixed cells takes two: the second is filled first, so that the glyph
// drawn over the first keeps the part that reaches into the second.
void draw_wide_cell(Canvas& canvas, const CellColors& colors, const Character& character, const char* cluster,
                    bool transparent, GlyphReach& reach, TextExtent& extent)
{
    auto [x0, y0] = canvas_position(canvas);
    canvas_move_to(canvas, add_clamped(x0, canvas.cell_width), y0);
    canvas_draw_cell(canvas, colors, first_character(" "), transparent, reach, extent);
    const int32_t x2 = canvas.pen_x;
    canvas_move_to(canvas, x0, y0);
    draw_token_cell(canvas, colors, character, cluster, transparent, reach, extent);
    canvas_move_to(canvas, x2, y0);
}

}  // namespace

int read_token(FILE* stream, char* buffer, size_t size)
{
    int c;
    do {
        c = std::fgetc(stream);
        if (c == EOF) {
            buffer[0] = '\0';
            return 0;
        }
    } while (is_separator(c));

    size_t length = 0;
    for (;;) {
        if (length == size - 1) {  // at the limit the character just read is dropped
            buffer[length] = '\0';
            return 1;
        }
        buffer[length++] = static_cast<char>(c);
        c = std::fgetc(stream);
        if (c == EOF || is_separator(c)) {
            buffer[length] = '\0';
            return c == EOF ? 0 : 1;
        }
    }
}

void read_html_spans(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent)
{
    int first = std::fgetc(stream);
    // An unreadable stream is not text that "does not look like HTML": say nothing and let
    // the caller, which sees the stream's error, report it.
    if (first == EOF && std::ferror(stream)) return;
    if (first != '<') {
        if (canvas.measuring == 0)
            std::fprintf(messages(), "vedad warning: file does not look like HTML, parsing as text\n");
        read_plain_text(canvas, stream, extent, first == EOF ? 0 : first, options.columns);
        return;
    }

    std::array<char, HTML_TOKEN_BUFFER_SIZE> buffer;
    CellColors colors{options.foreground, options.background};
    GlyphReach reach;
    bool inside_span = false;
    int64_t cells = 0;  // the cells of the row so far, for --columns
    ForeignHtml foreign;
    canvas_note_line(canvas);
    while (read_token(stream, buffer.data(), buffer.size()) != 0) {
        const std::string_view token(buffer.data());
        look_for_foreign_html(foreign, token, inside_span);
        if (!inside_span) {
            if (token == "span") {
                colors = CellColors{options.foreground, options.background};
                inside_span = true;
            } else if (token == "br/") {
                canvas_line_break(canvas);
                canvas_note_line(canvas);
                cells = 0;
            }
        } else if (token.starts_with(TEXT_COLOR_PREFIX)) {
            // Read from the prefix's '#', so that the six characters after it are the digits.
            parse_hex_color(buffer.data() + TEXT_COLOR_PREFIX.size() - 1, colors.text);
        } else if (token.starts_with(BACKGROUND_COLOR_PREFIX)) {
            parse_hex_color(buffer.data() + BACKGROUND_COLOR_PREFIX.size() - 1, colors.background);
        } else if (token.starts_with(SPAN_END_PREFIX)) {
            inside_span = false;
        } else {
            const Character character = token_character(token);
            // A token stands for its first whole grapheme cluster; one of several code points
            // is drawn as a text.
            GraphemeCluster cluster;
            std::array<char, CLUSTER_TEXT_LIMIT + 1> cluster_text{};
            // Most tokens are one ASCII character: no cluster of several code points.
            if (!begins_with_ascii_cluster(token) && !is_reference(token)) {
                const std::string_view whole = first_cluster(token, CLUSTER_TEXT_LIMIT, cluster);
                std::copy(whole.begin(), whole.end(), cluster_text.begin());
            }
            const char* cluster_drawn = cluster.count > 1 ? cluster_text.data() : nullptr;
            const bool fixed = canvas.settings.fixed_advance != 0;
            const int width = !(fixed || options.columns > 0) ? 1
                              : cluster_drawn != nullptr   ? cluster_width(cluster)
                                                           : cell_count(character);
            if (options.columns > 0) {
                // A row wraps where the next cell would pass the last column.
                if (cells > 0 && cells + width > options.columns) {
                    canvas_line_break(canvas);
                    cells = 0;
                }
                cells += width;
            }
            if (fixed && width == 2) {
                draw_wide_cell(canvas, colors, character, cluster_drawn, options.transparent != 0, reach, extent);
            } else {
                draw_token_cell(canvas, colors, character, cluster_drawn, options.transparent != 0, reach, extent);
            }
        }
    }
    if (foreign.found && canvas.measuring == 0) {
        std::fprintf(messages(),
                     "warning: %s is not one span per character; to draw a terminal's output, give it raw with "
                     "--ansi-input\n",
                     canvas.input_name);
    }
}

}  // namespace vedad
