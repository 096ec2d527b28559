#include "animation/frame_clock.hpp"

#include <vector>

#include <gtest/gtest.h>

using namespace vedad;

namespace {

struct Step {
    double recorded;  // the event's time in the recording
    bool marker;
    double time;      // its time in the animation
    bool starts_frame;
};

void expect_steps(FrameClock clock, const std::vector<Step>& steps)
{
    for (const Step& step : steps) {
        SCOPED_TRACE(step.recorded);
        const double time = clock_advance(clock, step.recorded);
        EXPECT_NEAR(time, step.time, 1e-9);
        if (step.marker) {
            clock_end_frame(clock);
            continue;
        }
        EXPECT_EQ(clock_starts_frame(clock, time), step.starts_frame);
    }
}

}  // namespace

TEST(FrameClock, PausesAreCutThenPlayedAtTheSpeed)
{
    PlaybackSettings playback;
    playback.speed = 2;
    playback.idle_limit = 1;
    playback.idle_limit_given = 1;
    expect_steps(make_frame_clock(playback, 0.0), {
        {0.5, false, 0.25, true},
        {4.5, false, 0.75, true},   // 4 s cut to 1, at twice the speed
        {4.0, false, 0.75, false},  // out of order: as the one before
        {5.0, false, 1.0, true},
    });
}

TEST(FrameClock, TheRecordingsOwnIdleLimitCountsUnlessOneIsGiven)
{
    PlaybackSettings playback;  // 2 s unless given
    EXPECT_DOUBLE_EQ(make_frame_clock(playback, 0.5).idle_limit, 0.5);
    EXPECT_DOUBLE_EQ(make_frame_clock(playback, 0.0).idle_limit, 2.0);
    playback.idle_limit_given = 1;
    playback.idle_limit = 0;  // none: pauses stay
    FrameClock clock = make_frame_clock(playback, 0.5);
    EXPECT_DOUBLE_EQ(clock_advance(clock, 100.0), 100.0);
    // An absurd time is held to a week.
    EXPECT_DOUBLE_EQ(clock_advance(clock, 1e300), 7 * 24 * 3600.0);
}

TEST(FrameClock, EventsCloserThanAFrameGatherUnlessAMarkerEndsIt)
{
    PlaybackSettings playback;
    playback.fps_cap = 10;
    expect_steps(make_frame_clock(playback, 0.0), {
        {0.05, false, 0.05, false},  // within the first frame, which starts at 0
        {0.1, false, 0.1, true},
        {0.15, false, 0.15, false},
        {0.17, true, 0.17, false},   // a marker
        {0.17, false, 0.17, true},   // ends the frame: the next change starts one
        {0.2, false, 0.2, false},
        {0.3, false, 0.3, true},
    });
}
