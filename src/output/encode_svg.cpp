#include "output/encode_svg.hpp"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <utility>

#include <gd.h>

#include "base/utf8.hpp"
#include "glyphs/glyph.hpp"

namespace vedad {

namespace {

// The text of an attribute or element: the characters XML gives a meaning escaped, and those
// it cannot hold at all (controls, a byte that begins no character) written as U+FFFD.
void append_escaped(std::string& out, std::string_view text)
{
    for (size_t at = 0; at < text.size();) {
        const size_t length = utf8_sequence_length(text.substr(at));
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (length == 0 || (c < 0x20 && c != '\t') || c == 0x7F) {
            out += "\xEF\xBF\xBD";
            at += length == 0 ? 1 : length;
            continue;
        }
        if (length == 3 && (utf8_code_point(text.substr(at), 3) & 0xFFFE) == 0xFFFE) {
            out += "\xEF\xBF\xBD";  // U+FFFE and U+FFFF are no XML characters either
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"') {
            out += "&quot;";
        } else if (c == '\'') {
            out += "&apos;";
        } else {
            out.append(text.substr(at, length));
        }
        at += length;
    }
}

void append_number(std::string& out, int64_t value)
{
    out += std::to_string(value);
}

// A length with at most two decimals, and none when it is whole.
void append_decimal(std::string& out, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text(buffer);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    out += text;
}

bool is_invisible(int32_t color)
{
    return gdTrueColorGetAlpha(color) == gdAlphaTransparent;
}

// fill="#rrggbb", with its opacity when the colour is partly transparent.
void append_fill(std::string& out, int32_t color)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " fill=\"#%02x%02x%02x\"", gdTrueColorGetRed(color),
                  gdTrueColorGetGreen(color), gdTrueColorGetBlue(color));
    out += buffer;
    const int alpha = gdTrueColorGetAlpha(color);
    if (alpha != gdAlphaOpaque) {
        out += " fill-opacity=\"";
        append_decimal(out, (gdAlphaMax - alpha) / static_cast<double>(gdAlphaMax));
        out += '"';
    }
}

// <rect with the shape's place and size, its element left open for more attributes.
void append_rect_start(std::string& out, const RecordedShape& shape)
{
    out += "<rect";
    for (const auto& [name, value] : {std::pair{" x=\"", shape.x}, std::pair{" y=\"", shape.y},
                                      std::pair{" width=\"", shape.width}, std::pair{" height=\"", shape.height}}) {
        out += name;
        append_number(out, value);
        out += '"';
    }
}

void append_shape(std::string& out, const RecordedShape& shape)
{
    if (is_invisible(shape.color) || shape.width <= 0 || shape.height <= 0) return;
    if (shape.round) {
        const double radius = shape.width / 2.0;
        out += "<circle cx=\"";
        append_decimal(out, shape.x + radius);
        out += "\" cy=\"";
        append_decimal(out, shape.y + radius);
        out += "\" r=\"";
        append_decimal(out, radius);
        out += '"';
    } else {
        append_rect_start(out, shape);
    }
    append_fill(out, shape.color);
    out += "/>\n";
}

bool continues_run(const RecordedText& run, const RecordedText& text)
{
    return run.y == text.y && run.color == text.color && run.style == text.style && run.points == text.points &&
           text.xs.front() >= run.xs.back();
}

// The characters of a run drawn as outlines: each a use of its glyph's path at its pen.
void append_outlined(std::string& out, const RecordedText& run)
{
    bool any = false;
    for (size_t i = 0; i < run.outlines.size(); ++i) {
        if (run.outlines[i] < 0) continue;
        if (!any) {
            out += "<g";
            append_fill(out, run.color);
            out += ">";
            any = true;
        }
        out += "<use xlink:href=\"#g";
        append_number(out, run.outlines[i]);
        out += "\" x=\"";
        append_number(out, run.xs[i]);
        out += "\" y=\"";
        append_number(out, run.y);
        out += "\"/>";
    }
    if (any) out += "</g>\n";
}

// Every character is a tspan at its own x: viewers that take only the first of an x list, or
// no textLength, still hold the grid. With outlines, only the characters that have none.
void append_text(std::string& out, const RecordedText& run, double page_points)
{
    const bool outlined = !run.outlines.empty();
    if (outlined) {
        append_outlined(out, run);
        if (std::find(run.outlines.begin(), run.outlines.end(), NO_OUTLINE) == run.outlines.end()) return;
    }
    out += "<text y=\"";
    append_number(out, run.y);
    out += '"';
    append_fill(out, run.color);
    if (run.points != page_points) {
        out += " font-size=\"";
        append_decimal(out, em_in_pixels(run.points));
        out += "px\"";
    }
    if ((run.style & STYLE_BOLD) != 0) out += " font-weight=\"bold\"";
    if ((run.style & STYLE_ITALIC) != 0) out += " font-style=\"italic\"";
    out += " xml:space=\"preserve\">";
    for (size_t i = 0; i < run.xs.size(); ++i) {
        if (outlined && run.outlines[i] != NO_OUTLINE) continue;
        out += "<tspan x=\"";
        append_number(out, run.xs[i]);
        out += "\">";
        append_escaped(out, run.characters[i]);
        out += "</tspan>";
    }
    out += "</text>\n";
}

// Runs of texts: each of equal style in a row is one text element.
void append_texts(std::string& out, const DrawingRecord& record, double page_points)
{
    RecordedText run;
    for (const RecordedText& text : record.texts) {
        if (!run.xs.empty() && continues_run(run, text)) {
            run.xs.insert(run.xs.end(), text.xs.begin(), text.xs.end());
            run.characters.insert(run.characters.end(), text.characters.begin(), text.characters.end());
            run.outlines.insert(run.outlines.end(), text.outlines.begin(), text.outlines.end());
            run.end_x = text.end_x;
            continue;
        }
        if (!run.xs.empty()) append_text(out, run, page_points);
        run = text;
    }
    if (!run.xs.empty()) append_text(out, run, page_points);
}

void append_rounded_rect(std::string& out, const RecordedShape& shape, int32_t radius)
{
    append_rect_start(out, shape);
    out += " rx=\"";
    append_number(out, radius);
    out += '"';
}

}  // namespace

EncodedPicture encode_svg(const SvgPicture& picture)
{
    const DrawingRecord& record = *picture.record;
    std::string out;
    out.reserve(4096 + record.texts.size() * 64 + record.shapes.size() * 64);
    out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"";
    if (record.outlined) out += " xmlns:xlink=\"http://www.w3.org/1999/xlink\"";
    out += " width=\"";
    append_number(out, picture.width);
    out += "\" height=\"";
    append_number(out, picture.height);
    out += "\" viewBox=\"0 0 ";
    append_number(out, picture.width);
    out += ' ';
    append_number(out, picture.height);
    out += "\">\n<title>";
    append_escaped(out, picture.title);
    out += "</title>\n";

    const bool rounded = record.radius > 0;
    if (rounded || record.shadow || !record.outlines.empty()) {
        out += "<defs>\n";
        for (size_t i = 0; i < record.outlines.size(); ++i) {
            char scale[64];
            std::snprintf(scale, sizeof scale, "%.6g", record.outlines[i].scale);
            out += "<path id=\"g";
            append_number(out, static_cast<int64_t>(i));
            out += "\" transform=\"scale(";
            out += scale;
            out += ' ';
            out += '-';
            out += scale;
            out += ")\" d=\"";
            out += record.outlines[i].path;
            out += "\"/>\n";
        }
        if (rounded) {
            out += "<clipPath id=\"corners\">";
            append_rounded_rect(out, record.rounded, record.radius);
            out += "/></clipPath>\n";
        }
        if (record.shadow) {
            // The blur's sigma is half its radius.
            out += "<filter id=\"shadow\" x=\"-50%\" y=\"-50%\" width=\"200%\" height=\"200%\">"
                   "<feGaussianBlur stdDeviation=\"";
            append_decimal(out, record.shadow_blur / 2.0);
            out += "\"/></filter>\n";
        }
        out += "</defs>\n";
    }

    // What lies outside the rounded corners first, then the shadow, then the page itself.
    const size_t outer = rounded ? record.under_after_rounding : 0;
    for (size_t i = 0; i < outer && i < record.under.size(); ++i) append_shape(out, record.under[i]);
    if (record.shadow) {
        append_rounded_rect(out, record.shadow_shape, record.radius);
        out += " fill=\"#000000\" fill-opacity=\"0.45\" filter=\"url(#shadow)\"/>\n";
    }
    if (rounded) out += "<g clip-path=\"url(#corners)\">\n";
    if (!record.page_laid) {
        append_shape(out, RecordedShape{0, 0, picture.width, picture.height, record.page_color, false});
    }
    for (size_t i = outer; i < record.under.size(); ++i) append_shape(out, record.under[i]);
    for (const RecordedShape& shape : record.shapes) append_shape(out, shape);

    const double page_points = record.texts.empty() ? 0.0 : record.texts.front().points;
    out += "<g font-family=\"";
    if (!picture.font_family.empty()) {
        out += '\'';
        append_escaped(out, picture.font_family);
        out += "', ";
    }
    out += "monospace\" font-size=\"";
    append_decimal(out, em_in_pixels(page_points));
    out += "px\">\n";
    append_texts(out, record, page_points);
    out += "</g>\n";
    if (rounded) out += "</g>\n";
    out += "</svg>\n";

    EncodedPicture encoded;
    encoded.bytes.assign(out.begin(), out.end());
    encoded.extension = ".svg";
    return encoded;
}

}  // namespace vedad
