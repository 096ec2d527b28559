// Feeds the whole input to the terminal output reader, drawing on a real (small) canvas, once
// leaving out what cannot reach the image (and keeping only the cells that can) and once
// rendering everything; the two pictures must be the same.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.hpp"
#include "readers/ansi_reader.hpp"

namespace {

void read(vedad::Canvas& canvas, FILE* input, const vedad_fuzz::PageSettings& settings,
          vedad::TextExtent& extent)
{
    vedad::read_ansi(canvas, input, settings.options, extent);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    vedad_fuzz::initialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vedad_fuzz::draw_page_both_ways(data, size, read);
    return 0;
}
