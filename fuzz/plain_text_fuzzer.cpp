// Feeds the whole input to the plain text reader, drawing on a real (small) canvas, once
// leaving out what cannot reach the image and once rendering everything; the two pictures
// must be the same. Some settings hand the first byte back, as the span HTML reader does for
// input it does not take.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/plain_text.hpp"

namespace {

void read(vedad::Canvas& canvas, FILE* input, const vedad_fuzz::PageSettings& settings,
          vedad::TextExtent& extent)
{
    int first = 0;
    if (settings.handed_back != 0) {
        first = std::fgetc(input);
        if (first == EOF) first = 0;
    }
    vedad::read_plain_text(canvas, input, extent, first);
}

}  // namespace

VEDAD_PAGE_FUZZER(read)
