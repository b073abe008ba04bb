// The controls as they decide, without any window system: a recording site stands in for the
// window, a recording canvas for the surface.

#include "controls/IncrementButton.h"
#include "controls/Knob.h"
#include "controls/Multiswitch.h"
#include "controls/StatusText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Controls;

class RecordingSite final : public ControlSite {
public:
    void Invalidate() override { ++invalidations; }
    void CapturePointer() override { captured = true; }
    void ReleasePointer() override { captured = false; }
    bool HasPointerCapture() const override { return captured; }
    void TrackHover() override { ++hoverRequests; }
    void Notify(Notice notice) override { notices.push_back(notice); }

    int Count(Notice notice) const
    {
        int count = 0;
        for (Notice each : notices)
            count += each == notice ? 1 : 0;
        return count;
    }

    bool captured = false;
    int invalidations = 0;
    int hoverRequests = 0;
    std::vector<Notice> notices;
};

class SizedPicture final : public Pictures::Picture {
public:
    SizedPicture(int width, int height) : size{width, height} {}
    Size GetSize() const noexcept override { return size; }

private:
    Size size;
};

struct Drawn {
    Pictures::Rect source;
    Pictures::Point at;
};

class RecordingCanvas final : public Pictures::Canvas {
public:
    void DrawPicture(const Pictures::Picture&, Rect source, Point at) override { pictures.push_back({source, at}); }
    void DrawTextLine(const char* text, Rect area, const Pictures::TextStyle& style) override
    {
        texts.push_back(text);
        textArea = area;
        textStyle = style;
    }
    std::vector<Drawn> pictures;
    std::vector<std::string> texts;
    Rect textArea{};
    Pictures::TextStyle textStyle{};
};

const Modifiers kNoKeys{};
Modifiers Shift()
{
    Modifiers keys;
    keys.shift = true;
    return keys;
}
Modifiers Control()
{
    Modifiers keys;
    keys.control = true;
    return keys;
}

class ControlTest : public ::testing::Test {
protected:
    SizedPicture knobPicture{32, 2912};
    SizedPicture switchPicture{20, 80};
    SizedPicture ledPicture{700, 40};
    SizedPicture buttonPicture{28, 56};
    Pictures::ImageStrip knobStrip{&knobPicture, 91, true};
    Pictures::ImageStrip switchStrip{&switchPicture, 2, true};
    Pictures::ImageStrip ledStrip{&ledPicture, 5, false};
    Pictures::ImageStrip buttonStrip{&buttonPicture, 2, true};
    RecordingSite site;
};

TEST_F(ControlTest, AKnobTakesItsStripsFrameSizeAndDrawsTheFrameOfItsValue)
{
    Knob knob(&knobStrip, 6, 0.25f, Point{65, 139});
    knob.SetSite(site);
    EXPECT_EQ(65, knob.GetBounds().left);
    EXPECT_EQ(171, knob.GetBounds().bottom);
    knob.SetValue(0.5f, false);
    EXPECT_TRUE(site.notices.empty());
    EXPECT_EQ(1, site.invalidations);
    RecordingCanvas canvas;
    knob.Draw(canvas);
    ASSERT_EQ(1u, canvas.pictures.size());
    EXPECT_EQ(45 * 32, canvas.pictures[0].source.top);
    EXPECT_EQ(32, canvas.pictures[0].source.Height());
    EXPECT_EQ(0, canvas.pictures[0].at.x);
}

TEST_F(ControlTest, AKnobDragsOnlyWhileItHoldsTheCaptureAndReportsEveryStep)
{
    Knob knob(&knobStrip, 6, 0.25f, Point{0, 0});
    knob.SetSite(site);
    knob.SetValue(0.8f, false);
    knob.OnLeftButtonDown(Point{16, 50}, kNoKeys);
    EXPECT_TRUE(site.captured);
    knob.OnPointerMove(Point{16, 20}, kNoKeys, true); // 30 up from 80: clamped at 100
    EXPECT_FLOAT_EQ(1.0f, knob.GetValue());
    EXPECT_EQ(90, knob.GetIndex());
    knob.OnPointerMove(Point{16, 10}, kNoKeys, true); // at the top already: still reported
    EXPECT_EQ(2, site.Count(Notice::kValueChanged));
    knob.OnPointerMove(Point{16, 30}, Shift(), true); // fine: 20 pixels are two percent
    EXPECT_NEAR(0.98f, knob.GetValue(), 1e-6f);
    knob.OnLeftButtonUp(Point{16, 30}, kNoKeys);
    EXPECT_FALSE(site.captured);

    const int hoverRequests = site.hoverRequests;
    knob.OnPointerMove(Point{16, 200}, kNoKeys, true); // no capture: no drag step
    EXPECT_NEAR(0.98f, knob.GetValue(), 1e-6f);
    EXPECT_EQ(hoverRequests + 1, site.hoverRequests);
}

TEST_F(ControlTest, AKnobsWheelStepsOncePerEventAndIsDeclinedAfterTheLeave)
{
    Knob knob(&knobStrip, 6, 0.25f, Point{0, 0});
    knob.SetSite(site);
    knob.SetValue(0.5f, false);
    EXPECT_TRUE(knob.OnWheel(-360, kNoKeys));
    EXPECT_FLOAT_EQ(0.49f, knob.GetValue());
    EXPECT_TRUE(knob.OnWheel(1, Shift()));
    EXPECT_NEAR(0.491f, knob.GetValue(), 1e-6f);
    EXPECT_TRUE(knob.OnLeave());
    EXPECT_FALSE(knob.OnWheel(120, kNoKeys));
    EXPECT_NEAR(0.491f, knob.GetValue(), 1e-6f);
    EXPECT_TRUE(knob.OnHover());
    EXPECT_TRUE(knob.OnWheel(120, kNoKeys));
    EXPECT_EQ((std::vector<Notice>{Notice::kValueChanged, Notice::kValueChanged, Notice::kLeave, Notice::kHover,
                                   Notice::kValueChanged}),
              site.notices);
}

TEST_F(ControlTest, ControlClickResetsAKnobToItsOwnDefault)
{
    Knob knob(&knobStrip, 6, 0.25f, Point{0, 0});
    knob.SetSite(site);
    knob.SetValue(0.9f, false);
    knob.OnLeftButtonDown(Point{5, 5}, Control());
    EXPECT_FLOAT_EQ(0.25f, knob.GetValue());
    EXPECT_EQ(22, knob.GetIndex());
    EXPECT_EQ(1, site.Count(Notice::kValueChanged));
    EXPECT_TRUE(site.captured);
}

TEST_F(ControlTest, ASwitchSelectsTheBandUnderThePointerAndReportsOnlyChanges)
{
    Multiswitch lever(&switchStrip, 3, 0.5f, Point{79, 229});
    lever.SetSite(site);
    EXPECT_EQ(40, lever.GetSize().height);
    lever.OnLeftButtonDown(Point{10, 5}, kNoKeys); // upper half: state 1
    EXPECT_EQ(1, lever.GetIndex());
    lever.OnPointerMove(Point{10, 41}, kNoKeys, true); // below the switch: nothing
    EXPECT_EQ(1, lever.GetIndex());
    lever.OnPointerMove(Point{10, 30}, kNoKeys, true);
    EXPECT_EQ(0, lever.GetIndex());
    lever.OnPointerMove(Point{10, 31}, kNoKeys, true); // the same band again: no report
    lever.OnLeftButtonUp(Point{10, 31}, kNoKeys);
    EXPECT_EQ(2, site.Count(Notice::kValueChanged));
    lever.SetValue(0.2f, true); // already state 0: nothing at all
    EXPECT_EQ(2, site.Count(Notice::kValueChanged));
    lever.OnLeftButtonDown(Point{10, 30}, Control()); // its reset value selects state 1
    EXPECT_FLOAT_EQ(1.0f, lever.GetValue());
    EXPECT_EQ(3, site.Count(Notice::kValueChanged));
}

TEST_F(ControlTest, AnLedRowsWheelStopsAtItsEndsAndItsButtonWraps)
{
    Multiswitch leds(&ledStrip, 5, 0.5f, Point{144, 256});
    leds.SetSite(site);
    EXPECT_EQ(3, leds.StateAt(Point{3 * 28 + 27, 20}));
    EXPECT_EQ(-1, leds.StateAt(Point{140, 20}));
    leds.SetValue(1.0f, false);
    EXPECT_TRUE(leds.OnWheel(120, kNoKeys)); // already the last state
    EXPECT_EQ(0, site.Count(Notice::kValueChanged));
    leds.OnWheel(-120, kNoKeys);
    EXPECT_EQ(3, leds.GetIndex());
    RecordingCanvas canvas;
    leds.Draw(canvas);
    ASSERT_EQ(1u, canvas.pictures.size());
    EXPECT_EQ(3 * 140, canvas.pictures[0].source.left);

    RecordingSite buttonSite;
    IncrementButton button(&buttonStrip, Point{116, 262});
    button.SetSite(buttonSite);
    button.SetTarget(&leds);
    std::vector<int> states;
    for (int click = 0; click < 3; ++click) {
        button.OnLeftButtonDown(Point{5, 5}, kNoKeys);
        EXPECT_TRUE(button.IsPressed());
        button.OnLeftButtonUp(Point{500, 500}, kNoKeys); // released anywhere: it still steps
        states.push_back(leds.GetIndex());
    }
    EXPECT_EQ((std::vector<int>{4, 0, 1}), states);
    EXPECT_EQ(4, site.Count(Notice::kValueChanged));
    EXPECT_FALSE(buttonSite.captured);
}

TEST_F(ControlTest, TheStatusLineKeepsAsMuchTextAsItHoldsAndDrawsItAboveItsBottomEdge)
{
    StatusText status(Rect{305, 34, 450, 59});
    status.SetSite(site);
    status.SetText(std::string(600, 'x').c_str());
    EXPECT_EQ(static_cast<size_t>(StatusText::kTextCapacity - 1), std::string(status.GetText()).size());
    status.SetText(nullptr);
    EXPECT_STREQ("", status.GetText());
    EXPECT_EQ(2, site.invalidations);
    status.SetText("Left Delay: 0.250 Secs");
    RecordingCanvas canvas;
    status.Draw(canvas);
    ASSERT_EQ(1u, canvas.texts.size());
    EXPECT_EQ("Left Delay: 0.250 Secs", canvas.texts[0]);
    EXPECT_EQ(24, canvas.textArea.bottom);
    EXPECT_EQ(145, canvas.textArea.right);
    EXPECT_STREQ("Arial", canvas.textStyle.face);
    EXPECT_EQ(15, canvas.textStyle.cellHeight);
}

TEST_F(ControlTest, AControlWithoutAPictureHasNoSizeAndDrawsNothing)
{
    Knob knob(nullptr, 1, 0.5f, Point{10, 10});
    knob.SetValue(0.7f, true); // no site yet: nobody hears it
    EXPECT_TRUE(knob.GetBounds().IsEmpty());
    EXPECT_FLOAT_EQ(0.7f, knob.GetValue());
    RecordingCanvas canvas;
    knob.Draw(canvas);
    Multiswitch empty(nullptr, 3, 0.5f, Point{0, 0});
    empty.SetValue(1.0f, true);
    EXPECT_EQ(0, empty.GetIndex());
    empty.Draw(canvas);
    EXPECT_TRUE(canvas.pictures.empty());
}

} // namespace
