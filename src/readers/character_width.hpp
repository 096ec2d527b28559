#pragma once

namespace vedad {

// The cells a character takes: 0 for one that joins the character before it, 2 for a wide
// one, 1 otherwise; -1 for a control character.
int character_width(char32_t character);

}  // namespace vedad
