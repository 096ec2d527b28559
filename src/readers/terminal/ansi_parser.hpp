#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "base/utf8.hpp"
#include "readers/grapheme_cluster.hpp"
#include "readers/terminal/ansi_grid.hpp"

namespace vedad {

// Parameters kept of one control sequence; more are read and ignored.
inline constexpr size_t SEQUENCE_PARAMETER_LIMIT = 32;
// A parameter's value is held here: no count or position needs more.
inline constexpr int32_t SEQUENCE_VALUE_LIMIT = 1 << 30;

// The grapheme cluster last written, which the next character may continue: its code points,
// its text, the column of its cell and the cells it takes. Anything but text or a change of
// style in between ends it (an empty cluster).
struct OpenCluster {
    GraphemeCluster cluster;
    std::array<char, CLUSTER_TEXT_LIMIT> text{};
    size_t length = 0;
    int32_t column = 0;
    int cells = 0;
};

// Where the parser stands between two bytes: text (with a UTF-8 character perhaps begun),
// or inside an escape, a control sequence or a string.
struct AnsiParser {
    enum State : uint8_t { TEXT, ESCAPE, ESCAPE_INTERMEDIATE, SEQUENCE, STRING, STRING_ESCAPE };
    State state = TEXT;

    Utf8Reader pending;  // a UTF-8 character begun
    OpenCluster open;

    std::array<SequenceParameter, SEQUENCE_PARAMETER_LIMIT> parameters{};
    size_t parameter_count = 0;  // parameters begun, up to the limit
    bool parameter_overflow = false;
    bool sequence_ignored = false;  // an intermediate, or a private marker other than '?': no meaning here
    bool private_sequence = false;  // begun with '?', as the DEC modes are
    unsigned char intermediate = 0;  // of an escape, such as '(' before a character set
    bool line_drawing = false;       // the DEC line-drawing set stands in for ASCII 0x5f to 0x7e
};

// Feeds bytes of terminal output to the grid, as a terminal would show them. Sequences may
// be split between calls; what is unfinished when the input ends is simply never finished.
void ansi_feed(AnsiParser& parser, Grid& grid, std::string_view bytes);

// Feeds a whole stream to the grid, to its end or a read error.
void ansi_read(Grid& grid, FILE* stream);


}  // namespace vedad
