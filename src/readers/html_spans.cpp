#include "readers/html_spans.hpp"

#include <array>
#include <cstring>
#include <optional>
#include <string_view>

#include "canvas/draw.hpp"
#include "base/hex_color.hpp"
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
            std::fprintf(stderr, "vedad warning: file does not look like HTML, parsing as text\n");
        read_plain_text(canvas, stream, extent, first == EOF ? 0 : first);
        return;
    }

    std::array<char, HTML_TOKEN_BUFFER_SIZE> buffer;
    CellColors colors{options.foreground, options.background};
    GlyphReach reach;
    bool inside_span = false;
    while (read_token(stream, buffer.data(), buffer.size()) != 0) {
        const std::string_view token(buffer.data());
        if (!inside_span) {
            if (token == "span") {
                colors = CellColors{options.foreground, options.background};
                inside_span = true;
            } else if (token == "br/") {
                canvas_line_break(canvas);
            }
        } else if (token.starts_with(TEXT_COLOR_PREFIX)) {
            // Read from the prefix's '#', so that the six characters after it are the digits.
            parse_hex_color(buffer.data() + TEXT_COLOR_PREFIX.size() - 1, colors.text);
        } else if (token.starts_with(BACKGROUND_COLOR_PREFIX)) {
            parse_hex_color(buffer.data() + BACKGROUND_COLOR_PREFIX.size() - 1, colors.background);
        } else if (token.starts_with(SPAN_END_PREFIX)) {
            inside_span = false;
        } else {
            canvas_draw_cell(canvas, colors, token_character(token), options.transparent != 0, reach, extent);
        }
    }
}

}  // namespace vedad
