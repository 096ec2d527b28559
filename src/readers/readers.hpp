#pragma once

#include <cstdio>

#include "base/options.hpp"
#include "canvas/canvas.hpp"
#include "canvas/text_extent.hpp"

namespace vedad {

// Draws one input onto a page whose font and cell are set up and whose pen stands on the
// first baseline, raising the text extent as it goes.
using ReadPage = void (*)(Canvas& canvas, FILE* stream, const Options& options, TextExtent& extent);

// The reader of each input form. A new form is one reader file, its row in this table and
// the option that chooses it.
struct Reader {
    InputForm form;
    ReadPage read;
};

const Reader& reader_for(InputForm form);

}  // namespace vedad
