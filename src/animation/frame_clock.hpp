#pragma once

#include "base/options.hpp"

namespace vedad {

// The time of an animation made from a recording: each event's time in the recording becomes
// a time in the animation, pauses cut to the idle limit and then played at the speed. Events
// closer together than a frame's shortest time are gathered into one frame, which shows the
// screen as they leave it; a marker ends the frame it falls in.
struct FrameClock {
    double speed = 1.0;
    double idle_limit = 0.0;  // seconds of the recording; 0: pauses stay as they are
    double shortest = 0.0;    // seconds of the animation a frame lasts at least
    double recorded = 0.0;    // the recording's time of the last event
    double now = 0.0;         // the animation's time of the last event
    double frame_start = 0.0;  // when the frame being gathered starts
    bool frame_ended = false;  // a marker ended it: the next change starts another
};

// `idle_limit` is the one the recording asks for when none is given (0 for none).
FrameClock make_frame_clock(const PlaybackSettings& playback, double recording_idle_limit);

// Moves the clock on to an event at `recorded` seconds of the recording; returns its time in
// the animation, which is held to a week.
double clock_advance(FrameClock& clock, double recorded);

// Whether a change at the animation's time `time` starts a new frame; when it does, the
// frame gathered until now is complete, and the new one starts at `time`.
bool clock_starts_frame(FrameClock& clock, double time);

inline void clock_end_frame(FrameClock& clock)
{
    clock.frame_ended = true;
}

}  // namespace vedad
