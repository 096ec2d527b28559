#include "readers/asciicast/asciicast_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string_view>

#include <nlohmann/json.hpp>

#include "base/fail.hpp"
#include "themes/theme_colors.hpp"

namespace vedad {

namespace {

using nlohmann::json;

constexpr size_t READ_SIZE = size_t{1} << 16;
// A header or event is a flat record; anything nested deeper is neither.
constexpr int DEEPEST = 4;

struct TooDeep {};

[[noreturn]] void fail_at_line(const RecordingReader& reader, const std::string& problem)
{
    fail("recording %s, line %lld: %s", reader.name, static_cast<long long>(reader.line), problem.c_str());
}

// Takes the next line into reader.text, without its line feed (and a carriage return before
// it); false at the end of the input.
bool next_line(RecordingReader& reader)
{
    reader.text.clear();
    bool any = false;
    for (;;) {
        if (reader.start == reader.end) {
            reader.start = 0;
            reader.end = std::fread(reader.buffer.data(), 1, reader.buffer.size(), reader.stream);
            if (reader.end == 0) {
                if (std::ferror(reader.stream)) fail("could not read %s: %s", reader.name, std::strerror(errno));
                if (!any) return false;
                break;
            }
        }
        any = true;
        const char* from = reader.buffer.data() + reader.start;
        const size_t left = reader.end - reader.start;
        const auto* feed = static_cast<const char*>(std::memchr(from, '\n', left));
        const size_t taken = feed == nullptr ? left : static_cast<size_t>(feed - from);
        if (reader.text.size() + taken > RECORDING_LINE_LIMIT) {
            ++reader.line;
            fail_at_line(reader, "longer than " + std::to_string(RECORDING_LINE_LIMIT >> 20) + " MiB");
        }
        reader.text.append(from, taken);
        reader.start += taken;
        if (feed != nullptr) {
            ++reader.start;
            break;
        }
    }
    ++reader.line;
    if (!reader.text.empty() && reader.text.back() == '\r') reader.text.pop_back();
    return true;
}

bool is_blank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// What the JSON reader says is wrong, without its own prefix.
std::string json_problem(const char* what)
{
    const std::string_view text = what;
    const size_t end = text.starts_with('[') ? text.find("] ") : std::string_view::npos;
    return std::string(end == std::string_view::npos ? text : text.substr(end + 2));
}

json parse_line(const RecordingReader& reader, const char* expected)
{
    try {
        const json::parser_callback_t depth_check = [](int depth, json::parse_event_t, json&) {
            if (depth > DEEPEST) throw TooDeep{};
            return true;
        };
        return json::parse(reader.text, depth_check);
    } catch (const json::exception& error) {
        fail_at_line(reader, std::string("not JSON, where ") + expected + " belongs: " + json_problem(error.what()));
    } catch (const TooDeep&) {
        fail_at_line(reader, std::string("nested too deep for ") + expected);
    }
}

// A whole number from 1 to RECORDING_SIZE_LIMIT, or 0.
int32_t terminal_side(const json& value)
{
    if (!value.is_number()) return 0;
    const double side = value.get<double>();
    if (!(side >= 1 && side <= RECORDING_SIZE_LIMIT) || side != std::floor(side)) return 0;
    return static_cast<int32_t>(side);
}

Rgb theme_color(const RecordingReader& reader, const json& value, const char* what)
{
    std::optional<Rgb> rgb;
    if (value.is_string()) rgb = read_theme_color(value.get_ref<const std::string&>());
    if (!rgb) fail_at_line(reader, std::string("the theme's ") + what + " is no colour \"#rrggbb\"");
    return *rgb;
}

// Eight or sixteen colours "#rrggbb" separated by colons.
BasicColors theme_palette(const RecordingReader& reader, const json& value)
{
    std::vector<Rgb> colors;
    if (value.is_string()) {
        std::string_view text = value.get_ref<const std::string&>();
        for (;;) {
            const size_t colon = text.find(':');
            const std::optional<Rgb> rgb = read_theme_color(text.substr(0, colon));
            if (!rgb) colors.clear();
            if (!rgb || colon == std::string_view::npos) {
                if (rgb) colors.push_back(*rgb);
                break;
            }
            colors.push_back(*rgb);
            text.remove_prefix(colon + 1);
        }
    }
    if (colors.size() != 8 && colors.size() != 16)
        fail_at_line(reader, "the theme's palette is not 8 or 16 colours \"#rrggbb\" separated by colons");
    BasicColors palette{};
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = colors[i % colors.size()];
    return palette;
}

void read_theme(const RecordingReader& reader, const json& theme, RecordingHeader& header)
{
    if (theme.is_null()) return;
    if (!theme.is_object()) fail_at_line(reader, "the header's theme is no JSON object");
    if (const auto fg = theme.find("fg"); fg != theme.end()) header.foreground = theme_color(reader, *fg, "fg");
    if (const auto bg = theme.find("bg"); bg != theme.end()) header.background = theme_color(reader, *bg, "bg");
    if (const auto palette = theme.find("palette"); palette != theme.end())
        header.palette = theme_palette(reader, *palette);
}

// "COLSxROWS", each a whole number from 1 to the limit.
bool read_size(std::string_view text, int32_t& columns, int32_t& rows)
{
    const size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    auto side = [](std::string_view digits, int32_t& value) {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string_view::npos)
            return false;
        value = static_cast<int32_t>(std::stol(std::string(digits)));
        return value >= 1 && value <= RECORDING_SIZE_LIMIT;
    };
    return side(text.substr(0, x), columns) && side(text.substr(x + 1), rows);
}

void read_event_line(RecordingReader& reader, RecordingEvent& event)
{
    json line = parse_line(reader, "an event [time, code, data]");
    if (!line.is_array() || line.size() != 3 || !line[0].is_number() || !line[1].is_string() || !line[2].is_string())
        fail_at_line(reader, "not an event [time, code, data]");
    const double time = line[0].get<double>();
    if (!(time >= 0) || !std::isfinite(time)) fail_at_line(reader, "an event's time is no number of seconds from 0");
    // Times never go back: an event out of order is played when the one before it is.
    event.time = std::max(time, reader.last_time);
    reader.last_time = event.time;
    const std::string& code = line[1].get_ref<const std::string&>();
    event.kind = code.size() == 1 ? code[0] : '?';
    event.data = std::move(line[2].get_ref<std::string&>());
    if (event.kind == 'r' && !read_size(event.data, event.columns, event.rows)) {
        fail_at_line(reader, "a resize to \"" + event.data.substr(0, 40) + "\", not to COLUMNSxROWS from 1 to " +
                                 std::to_string(RECORDING_SIZE_LIMIT));
    }
}

// Whether an event line is a resize, told from its code alone: "[time, "r", ...".
bool looks_like_resize(std::string_view text)
{
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    const size_t code = text.find_first_not_of(" \t", comma + 1);
    return code != std::string_view::npos && text.substr(code).starts_with("\"r\"");
}

}  // namespace

RecordingReader make_recording_reader(FILE* stream, const char* name)
{
    RecordingReader reader;
    reader.stream = stream;
    reader.name = name;
    reader.buffer.resize(READ_SIZE);
    return reader;
}

RecordingHeader read_recording_header(RecordingReader& reader)
{
    if (!next_line(reader)) {
        reader.line = 1;
        fail_at_line(reader, "empty, where an asciicast v2 header belongs");
    }
    std::string_view text = reader.text;
    if (text.starts_with("\xef\xbb\xbf")) reader.text.erase(0, 3);  // a byte order mark, as editors leave
    if (reader.text.find_first_not_of(" \t") != std::string::npos && reader.text.back() == '{' &&
        reader.text.find_first_not_of(" \t{") == std::string::npos) {
        fail_at_line(reader,
                     "a JSON object over many lines, as an asciicast version 1 file is; only version 2 is read");
    }
    const json header = parse_line(reader, "the asciicast v2 header");
    if (!header.is_object()) fail_at_line(reader, "no asciicast v2 header (a JSON object with \"version\": 2)");
    const auto version = header.find("version");
    if (version == header.end() || !version->is_number() || version->get<double>() != 2) {
        const std::string given = version == header.end() ? "no version" : "version " + version->dump();
        fail_at_line(reader, "an asciicast header of " + given + "; only version 2 is read");
    }
    RecordingHeader read;
    const auto width = header.find("width");
    const auto height = header.find("height");
    read.columns = width == header.end() ? 0 : terminal_side(*width);
    read.rows = height == header.end() ? 0 : terminal_side(*height);
    if (read.columns == 0 || read.rows == 0) {
        fail_at_line(reader, "the header's width and height are not whole numbers from 1 to " +
                                 std::to_string(RECORDING_SIZE_LIMIT));
    }
    if (const auto theme = header.find("theme"); theme != header.end()) read_theme(reader, *theme, read);
    if (const auto idle = header.find("idle_time_limit"); idle != header.end() && idle->is_number()) {
        const double limit = idle->get<double>();
        if (limit > 0 && std::isfinite(limit)) read.idle_time_limit = limit;
    }
    return read;
}

bool read_recording_event(RecordingReader& reader, RecordingEvent& event)
{
    while (next_line(reader)) {
        if (is_blank(reader.text)) continue;
        read_event_line(reader, event);
        return true;
    }
    return false;
}

void find_largest_size(RecordingReader& reader, int32_t& columns, int32_t& rows)
{
    RecordingEvent event;
    while (next_line(reader)) {
        if (!looks_like_resize(reader.text)) continue;
        read_event_line(reader, event);
        columns = std::max(columns, event.columns);
        rows = std::max(rows, event.rows);
    }
}

}  // namespace vedad
