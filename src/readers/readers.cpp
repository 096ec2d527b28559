#include "readers/readers.hpp"

#include <array>

#include "readers/html_spans.hpp"
#include "readers/plain_text.hpp"
#include "readers/terminal/ansi_reader.hpp"

namespace vedad {

namespace {

constexpr std::array<Reader, 3> READERS = {{
    {InputForm::PLAIN_TEXT, read_plain_page},
    {InputForm::SPAN_HTML, read_html_spans},
    {InputForm::TERMINAL, read_ansi},
}};

}  // namespace

const Reader& reader_for(InputForm form)
{
    for (const Reader& reader : READERS) {
        if (reader.form == form) return reader;
    }
    return READERS[0];
}

}  // namespace vedad
