#include "canvas/character.hpp"

#include <algorithm>

namespace vedad {

Character first_character(std::string_view bytes)
{
    Character character;
    const size_t length = std::max<size_t>(utf8_sequence_length(bytes), bytes.empty() ? 0 : 1);
    std::copy_n(bytes.begin(), length, character.text.begin());
    return character;
}

Character character_of_code_point(char32_t code_point)
{
    Character character;
    encode_utf8(code_point == 0 ? REPLACEMENT_CHARACTER : code_point, character.text.data());
    return character;
}

}  // namespace vedad
