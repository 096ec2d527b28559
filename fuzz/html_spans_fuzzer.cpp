// Feeds the whole input to the span HTML reader, drawing on a real (small) canvas, once
// leaving out what cannot reach the image and once rendering everything; the two pictures
// must be the same.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/html_spans.hpp"

namespace {

void read(vedad::Canvas& canvas, FILE* input, const vedad_fuzz::PageSettings& settings,
          vedad::TextExtent& extent)
{
    vedad::read_html_spans(canvas, input, settings.options, extent);
}

}  // namespace

VEDAD_PAGE_FUZZER(read)
