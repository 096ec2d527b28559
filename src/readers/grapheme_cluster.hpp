#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vedad {

// The code points of a grapheme cluster kept to decide where it ends and how wide it is;
// longer clusters are rare (a family emoji holds seven).
inline constexpr size_t CLUSTER_POINT_LIMIT = 16;

// The bytes of a cluster's text kept to draw it: room for a family of four (25 bytes) or a
// flag of tags (28).
inline constexpr size_t CLUSTER_TEXT_LIMIT = 28;

// A grapheme cluster (a user-perceived character: a base with its marks, an emoji sequence,
// a flag) as it is written, code point by code point.
struct GraphemeCluster {
    std::array<uint32_t, CLUSTER_POINT_LIMIT> points{};
    size_t count = 0;
};

// Begins the cluster anew with `point`.
void cluster_start(GraphemeCluster& cluster, char32_t point);

// True when `point` belongs to the cluster under Unicode's extended grapheme cluster rules;
// false for an empty or full cluster.
bool cluster_continues(const GraphemeCluster& cluster, char32_t point);

// Adds `point`, which continues the cluster; false (and nothing added) when it is full.
bool cluster_add(GraphemeCluster& cluster, char32_t point);

// The cells a terminal shows the cluster in: its first character's width, and 2 for an
// emoji sequence (a flag, a ZWJ sequence, a keycap, a skin tone or a VS16 sequence).
int cluster_width(const GraphemeCluster& cluster);

// Whether `text` begins with an ASCII character that is a cluster of its own: one followed
// by nothing or by another ASCII character (CR LF aside). No look at the rules is needed.
inline bool begins_with_ascii_cluster(std::string_view text)
{
    if (text.empty() || static_cast<unsigned char>(text[0]) >= 0x80) return false;
    return text.size() == 1 || (static_cast<unsigned char>(text[1]) < 0x80 && !(text[0] == '\r' && text[1] == '\n'));
}

// The grapheme cluster `text` begins with, as whole code points of valid UTF-8, up to
// `limit` bytes and CLUSTER_POINT_LIMIT code points; its code points go to `cluster`. Empty
// when the text does not begin with a valid character.
std::string_view first_cluster(std::string_view text, size_t limit, GraphemeCluster& cluster);

}  // namespace vedad
