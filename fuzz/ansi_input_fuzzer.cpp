// Feeds the whole input to the terminal output reader, drawing on a real (small) canvas, once
// leaving out what cannot reach the image (and keeping only the cells that can) and once
// rendering everything; the two pictures must be the same.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/terminal/ansi_reader.hpp"

namespace {

void read(vedad::Canvas& canvas, FILE* input, const vedad_fuzz::PageSettings& settings,
          vedad::TextExtent& extent)
{
    vedad::read_ansi(canvas, input, settings.options, extent);
}

}  // namespace

VEDAD_PAGE_FUZZER(read)
