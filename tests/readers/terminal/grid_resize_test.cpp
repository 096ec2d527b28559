#include "readers/terminal/ansi_grid.hpp"
#include "readers/terminal/ansi_parser.hpp"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace vedad;

namespace {

std::vector<std::string> rows_of(const Grid& grid)
{
    std::vector<std::string> rows;
    for (const Row& row : grid.rows) {
        std::string text;
        for (const Cell& cell : row.cells)
            text += (cell.flags & Cell::WIDE_TAIL) != 0 ? "»" : std::string(cell_text(row, cell));
        rows.push_back(text);
    }
    return rows;
}

}  // namespace

TEST(GridResize, ShorterKeepsTheCursorsRowNarrowerCutsAndNothingWrapsAgain)
{
    struct Case {
        const char* name;
        const char* before;  // written on a terminal of 6x4
        int32_t width, height;
        const char* after;  // written once resized
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"shorter: the rows above the cursor scroll away", "a\r\nb\r\nc\r\nd", 6, 2, "!", {"c", "d!"}},
        {"shorter below the cursor: nothing moves", "a\r\nb", 6, 2, "", {"a", "b"}},
        {"narrower: rows are cut, the cursor held", "abcdef\r\nxy", 3, 4, "\x1b[1;6HZ", {"abZ", "xy"}},
        {"a wide character cut in half leaves a space", "ab\xe4\xb8\x80", 3, 4, "", {"ab "}},
        {"wider: rows stay, text wraps at the new width", "abc", 8, 4, "defghij", {"abcdefgh", "ij"}},
        {"taller: the cursor may go lower", "a", 6, 6, "\x1b[6;1Hz", {"a", "", "", "", "", "z"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Grid grid = make_grid(GridLimits{8, 8}, rgb_of_hex(0xffffff), rgb_of_hex(0), 8, 6);
        grid.height = 4;
        AnsiParser parser;
        ansi_feed(parser, grid, c.before);
        grid_resize(grid, c.width, c.height);
        ansi_feed(parser, grid, c.after);
        grid_settle(grid);
        EXPECT_EQ(rows_of(grid), c.rows);
        EXPECT_LT(grid.row, c.height);
        EXPECT_LT(grid.column, c.width);
    }
}
