// The controls' arithmetic without a window, where the window tests cannot reach every case.

#include "pictures/ControlMath.h"

#include <gtest/gtest.h>

namespace {

TEST(StripArithmetic, FramesAreCutByIntegerDivisionAlongTheStrip)
{
    EXPECT_EQ(32, Pictures::StripFrameSize(32, 2912, 91, true).width);
    EXPECT_EQ(32, Pictures::StripFrameSize(32, 2912, 91, true).height);
    EXPECT_EQ(140, Pictures::StripFrameSize(700, 40, 5, false).width);
    EXPECT_EQ(40, Pictures::StripFrameSize(700, 40, 5, false).height);
    EXPECT_EQ(233, Pictures::StripFrameSize(700, 40, 3, false).width); // the remainder is never shown
    EXPECT_EQ(0, Pictures::StripFrameSize(700, 40, 0, false).width);
    EXPECT_EQ(0, Pictures::StripFrameSize(0, 0, 2, true).height); // nothing loaded

    // The last knob frame covers rows 2880..2911; the last LED frame starts at x 560.
    EXPECT_EQ(2880, Pictures::StripFrameOrigin(Pictures::FrameSize{32, 32}, 90, true).y);
    EXPECT_EQ(0, Pictures::StripFrameOrigin(Pictures::FrameSize{32, 32}, 90, true).x);
    EXPECT_EQ(560, Pictures::StripFrameOrigin(Pictures::FrameSize{140, 40}, 4, false).x);
    EXPECT_EQ(0, Pictures::StripFrameOrigin(Pictures::FrameSize{140, 40}, 4, false).y);
}

TEST(KnobArithmetic, FrameIsTheTruncatedShareOfTheLastFrame)
{
    EXPECT_EQ(0, Pictures::KnobFrameIndex(91, 0.0f));
    EXPECT_EQ(45, Pictures::KnobFrameIndex(91, 0.5f));
    EXPECT_EQ(90, Pictures::KnobFrameIndex(91, 1.0f));
    EXPECT_EQ(89, Pictures::KnobFrameIndex(91, 0.999f));
    EXPECT_EQ(1, Pictures::KnobFrameIndex(91, 0.0112f));
    EXPECT_EQ(0, Pictures::KnobFrameIndex(91, 0.0111f));
    EXPECT_EQ(0, Pictures::KnobFrameIndex(1, 0.7f));
    // Host values outside 0..1 show an end frame rather than a frame beyond the picture.
    EXPECT_EQ(90, Pictures::KnobFrameIndex(91, 1.5f));
    EXPECT_EQ(0, Pictures::KnobFrameIndex(91, -0.5f));
}

TEST(MultiswitchArithmetic, ValuesSelectEqualBandsAndStatesMapBack)
{
    EXPECT_EQ(0, Pictures::MultiswitchIndexForValue(2, 0.0f));
    EXPECT_EQ(0, Pictures::MultiswitchIndexForValue(2, 0.4999f));
    EXPECT_EQ(1, Pictures::MultiswitchIndexForValue(2, 0.5f));
    EXPECT_EQ(1, Pictures::MultiswitchIndexForValue(2, 1.0f));
    const float bounds[] = {0.2f, 0.4f, 0.6f, 0.8f};
    for (int state = 1; state <= 4; ++state) {
        EXPECT_EQ(state, Pictures::MultiswitchIndexForValue(5, bounds[state - 1])) << bounds[state - 1];
        EXPECT_EQ(state - 1, Pictures::MultiswitchIndexForValue(5, bounds[state - 1] - 0.001f)) << bounds[state - 1];
    }
    EXPECT_EQ(4, Pictures::MultiswitchIndexForValue(5, 1.0f));
    EXPECT_EQ(3, Pictures::MultiswitchIndexForValue(5, 0.79f));
    EXPECT_EQ(4, Pictures::MultiswitchIndexForValue(5, 7.0f));
    EXPECT_EQ(0, Pictures::MultiswitchIndexForValue(5, -0.3f));

    EXPECT_FLOAT_EQ(0.75f, Pictures::MultiswitchValue(5, 3));
    EXPECT_FLOAT_EQ(1.0f, Pictures::MultiswitchValue(2, 1));
    EXPECT_FLOAT_EQ(0.0f, Pictures::MultiswitchValue(1, 0));
    EXPECT_FLOAT_EQ(0.0f, Pictures::MultiswitchValue(0, 3));
    // Every state survives the round trip through its value.
    for (int state = 0; state < 5; ++state)
        EXPECT_EQ(state, Pictures::MultiswitchIndexForValue(5, Pictures::MultiswitchValue(5, state)));
}

TEST(MultiswitchArithmetic, BandsSplitTheFrameEvenlyAndDropTheRemainder)
{
    const std::vector<Pictures::Rect> leds = Pictures::MultiswitchHitRectangles(Pictures::FrameSize{140, 40}, 5, false);
    ASSERT_EQ(5u, leds.size());
    for (int state = 0; state < 5; ++state) {
        EXPECT_EQ(state * 28, leds[state].left);
        EXPECT_EQ((state + 1) * 28, leds[state].right);
        EXPECT_EQ(state, Pictures::MultiswitchHitTest(leds, Pictures::Point{state * 28, 39}));
        EXPECT_EQ(state, Pictures::MultiswitchHitTest(leds, Pictures::Point{state * 28 + 27, 0}));
    }
    EXPECT_EQ(-1, Pictures::MultiswitchHitTest(leds, Pictures::Point{140, 10}));

    // Three states in 40 pixels: bands of 13, the bottom pixel row belongs to none.
    const std::vector<Pictures::Rect> three = Pictures::MultiswitchHitRectangles(Pictures::FrameSize{20, 40}, 3, true);
    EXPECT_EQ(26, three[0].top);
    EXPECT_EQ(39, three[0].bottom);
    EXPECT_EQ(-1, Pictures::MultiswitchHitTest(three, Pictures::Point{5, 39}));
    EXPECT_TRUE(Pictures::MultiswitchHitRectangles(Pictures::FrameSize{20, 40}, 0, true).empty());
}

} // namespace
