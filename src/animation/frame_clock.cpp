#include "animation/frame_clock.hpp"

#include <algorithm>

namespace vedad {

namespace {

// Times closer than this are one time: sums of tenths do not add up exactly.
constexpr double SAME_TIME = 1e-9;
// No animation runs longer than a week: times past it are held there, so that a recording's
// absurd times (or an absurdly slow speed) cannot ask for endless frames.
constexpr double LONGEST_ANIMATION = 7 * 24 * 3600.0;

}  // namespace

FrameClock make_frame_clock(const PlaybackSettings& playback, double recording_idle_limit)
{
    FrameClock clock;
    clock.speed = playback.speed;
    clock.idle_limit = playback.idle_limit_given != 0 || recording_idle_limit <= 0 ? playback.idle_limit
                                                                                  : recording_idle_limit;
    clock.shortest = 1.0 / playback.fps_cap;
    return clock;
}

double clock_advance(FrameClock& clock, double recorded)
{
    double pause = std::max(recorded - clock.recorded, 0.0);
    if (clock.idle_limit > 0) pause = std::min(pause, clock.idle_limit);
    clock.recorded = std::max(recorded, clock.recorded);
    clock.now = std::min(clock.now + pause / clock.speed, LONGEST_ANIMATION);
    return clock.now;
}

bool clock_starts_frame(FrameClock& clock, double time)
{
    const bool after_marker = clock.frame_ended && time > clock.frame_start + SAME_TIME;
    if (!after_marker && time < clock.frame_start + clock.shortest - SAME_TIME) return false;
    clock.frame_start = time;
    clock.frame_ended = false;
    return true;
}

}  // namespace vedad
