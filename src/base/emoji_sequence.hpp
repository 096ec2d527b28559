#pragma once

#include <cstddef>
#include <cstdint>

namespace vedad {

// Whether a grapheme cluster of `count` code points is an emoji sequence, which a terminal
// shows two cells wide and which is drawn from a colour face where one has it: a flag (a
// pair of regional indicators), a ZWJ sequence, a keycap, a skin tone, a tag sequence or a
// VS16 sequence.
bool is_emoji_sequence(const uint32_t* points, size_t count);

}  // namespace vedad
