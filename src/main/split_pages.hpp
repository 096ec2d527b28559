#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "base/options.hpp"
#include "readers/terminal/ansi_grid.hpp"
#include "readers/terminal/ansi_parser.hpp"

namespace vedad {

// --split=ROWS: an input read a page at a time, each page a stream of its own that ends after
// ROWS rows: line feeds, or <br> for span HTML. Only what one page needs is held. Terminal
// output keeps its colours and attributes from page to page: each page after the first
// begins with the SGR sequence (and the character set) in force where the last one ended.
struct PageSplitter {
    FILE* input = nullptr;  // not owned
    InputForm form = InputForm::PLAIN_TEXT;
    int64_t rows = 0;  // a page's rows

    std::array<char, 1 << 16> buffer{};
    size_t at = 0;  // the next byte of `buffer` not yet handed out
    size_t end = 0;
    bool input_ended = false;

    int64_t rows_read = 0;  // of the page being read
    bool page_ended = false;
    bool line_feed_awaited = false;  // a span row's <br> ended the page: a line feed after it goes too
    int matched = 0;  // of "<br", then 4 while its '>' is awaited
    std::string prefix;  // handed out before the page's own bytes
    size_t prefix_at = 0;

    // Terminal output's attributes, followed over every page.
    AnsiParser parser;
    Grid styles;
};

void splitter_init(PageSplitter& splitter, FILE* input, InputForm form, int64_t rows);

// Whether the input has a byte after the pages read so far.
bool splitter_has_more(PageSplitter& splitter);

// The stream of the next page; the caller closes it. Null when it cannot be made.
FILE* splitter_open_page(PageSplitter& splitter);

}  // namespace vedad
