#include "main/split_pages.hpp"

#include <algorithm>
#include <cstring>
#include <sys/types.h>

#include "readers/terminal/ansi_style.hpp"

namespace vedad {

namespace {

bool refill(PageSplitter& splitter)
{
    if (splitter.at < splitter.end) return true;
    if (splitter.input_ended) return false;
    splitter.at = 0;
    splitter.end = std::fread(splitter.buffer.data(), 1, splitter.buffer.size(), splitter.input);
    if (splitter.end == 0) splitter.input_ended = true;
    return splitter.end > 0;
}

// Whether `c` ends a row of the page; <br> ends at its '>'.
bool ends_row(PageSplitter& splitter, char c)
{
    if (splitter.form != InputForm::SPAN_HTML) return c == '\n';
    int& matched = splitter.matched;
    if (matched == 4) {
        if (c != '>') return false;
        matched = 0;
        return true;
    }
    matched = c == '<' ? 1 : (matched == 1 && c == 'b') ? 2 : (matched == 2 && c == 'r') ? 4 : 0;
    return false;
}

ssize_t read_page(void* cookie, char* to, size_t size)
{
    PageSplitter& splitter = *static_cast<PageSplitter*>(cookie);
    size_t given = 0;
    if (splitter.prefix_at < splitter.prefix.size()) {
        given = std::min(size, splitter.prefix.size() - splitter.prefix_at);
        std::memcpy(to, splitter.prefix.data() + splitter.prefix_at, given);
        splitter.prefix_at += given;
        return static_cast<ssize_t>(given);
    }
    if (splitter.page_ended || !refill(splitter)) return 0;
    const char* from = splitter.buffer.data() + splitter.at;
    if (splitter.line_feed_awaited) {
        splitter.line_feed_awaited = false;
        splitter.page_ended = true;
        if (from[0] != '\n') return 0;
        to[0] = '\n';
        ++splitter.at;
        return 1;
    }
    const size_t most = std::min(size, splitter.end - splitter.at);
    while (given < most) {
        const bool row_ended = ends_row(splitter, from[given]);
        ++given;
        if (row_ended && ++splitter.rows_read == splitter.rows) {
            // The span reader reads a page as HTML when it begins with markup.
            if (splitter.form == InputForm::SPAN_HTML) splitter.line_feed_awaited = true;
            else splitter.page_ended = true;
            break;
        }
    }
    std::memcpy(to, from, given);
    splitter.at += given;
    if (splitter.form == InputForm::TERMINAL) ansi_feed(splitter.parser, splitter.styles, std::string_view(to, given));
    return static_cast<ssize_t>(given);
}

}  // namespace

void splitter_init(PageSplitter& splitter, FILE* input, InputForm form, int64_t rows)
{
    splitter.input = input;
    splitter.form = form;
    splitter.rows = rows;
    // Only the style is followed: no cell is kept.
    splitter.styles = make_grid(GridLimits{0, 0}, Rgb{}, Rgb{}, 0);
}

bool splitter_has_more(PageSplitter& splitter)
{
    return refill(splitter);
}

FILE* splitter_open_page(PageSplitter& splitter)
{
    splitter.rows_read = 0;
    splitter.page_ended = false;
    splitter.line_feed_awaited = false;
    splitter.prefix.clear();
    splitter.prefix_at = 0;
    if (splitter.form == InputForm::TERMINAL) {
        splitter.prefix = sgr_sequence(splitter.styles.style);
        if (splitter.parser.line_drawing) splitter.prefix += "\x1b(0";
    }
    cookie_io_functions_t functions{};
    functions.read = read_page;
    return fopencookie(&splitter, "r", functions);
}

}  // namespace vedad
