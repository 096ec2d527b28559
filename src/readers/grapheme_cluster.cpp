#include "readers/grapheme_cluster.hpp"

#include <algorithm>

#include <unigbrk.h>

#include "base/emoji_sequence.hpp"
#include "base/utf8.hpp"
#include "readers/character_width.hpp"

namespace vedad {

namespace {

// Below U+0300 nothing extends a cluster, and only a Prepend character (none lies below
// U+0600) holds on to what follows it: plain text needs no look at the rules.
bool surely_breaks(char32_t last, char32_t point)
{
    return point < 0x300 && last < 0x600;
}

}  // namespace

void cluster_start(GraphemeCluster& cluster, char32_t point)
{
    cluster.points[0] = point;
    cluster.count = 1;
}

bool cluster_continues(const GraphemeCluster& cluster, char32_t point)
{
    if (cluster.count == 0 || cluster.count == CLUSTER_POINT_LIMIT) return false;
    if (surely_breaks(cluster.points[cluster.count - 1], point)) return false;
    std::array<uint32_t, CLUSTER_POINT_LIMIT + 1> points{};
    std::copy_n(cluster.points.begin(), cluster.count, points.begin());
    points[cluster.count] = point;
    std::array<char, CLUSTER_POINT_LIMIT + 1> breaks{};
    uc_grapheme_breaks(points.data(), cluster.count + 1, breaks.data());
    return breaks[cluster.count] == 0;
}

bool cluster_add(GraphemeCluster& cluster, char32_t point)
{
    if (cluster.count == CLUSTER_POINT_LIMIT) return false;
    cluster.points[cluster.count++] = point;
    return true;
}

int cluster_width(const GraphemeCluster& cluster)
{
    if (cluster.count == 0) return 0;
    const int first = std::max(character_width(cluster.points[0]), 1);
    if (cluster.count == 1 || first == 2) return first;
    if (is_emoji_sequence(cluster.points.data(), cluster.count)) return 2;
    return first;
}

std::string_view first_cluster(std::string_view text, size_t limit, GraphemeCluster& cluster)
{
    if (limit > 0 && begins_with_ascii_cluster(text)) {
        cluster_start(cluster, static_cast<unsigned char>(text[0]));
        return text.substr(0, 1);
    }
    cluster.count = 0;
    size_t end = 0;
    while (end < text.size()) {
        const size_t length = utf8_sequence_length(text.substr(end));
        if (length == 0 || end + length > limit) break;
        const char32_t point = utf8_code_point(text.substr(end), length);
        if (cluster.count == 0) cluster_start(cluster, point);
        else if (!cluster_continues(cluster, point) || !cluster_add(cluster, point)) break;
        end += length;
    }
    return text.substr(0, end);
}

}  // namespace vedad
