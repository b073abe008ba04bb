// What the first-generation editor draws: screenshots for people, and its pixels against the
// 64-bit module's editor, an independent drawing of the same face.

#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "description/EffectDescription.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/PluginModule.h"
#include "tests/support/StandInHost.h"

namespace {

using namespace LegacyEditorTest;
using namespace MorlentDelay;

using LegacyEditorPixels = LegacyEditorFixture;

TEST_F(LegacyEditorPixels, SavesScreenshotsOfTheDefaultASettingAHoverAndTheMenuBanner)
{
    Open();
    SaveScreenshot(View()->GetHandle(), "first-generation-editor.png");
    SendMessageA(Control(kCutoffFrequency)->GetHandle(), WM_MOUSEHOVER, 0, 0);
    Pump();
    SaveScreenshot(View()->GetHandle(), "first-generation-hover.png");
    const std::pair<int, float> settings[] = {{1, 0.6f}, {2, 0.35f}, {3, 1.0f}, {4, 0.7f}, {5, 0.95f}, {6, 0.55f},
                                              {7, 1.0f}, {8, 0.8f}, {9, 1.0f}, {10, 1.0f}, {11, 0.3f}};
    for (const auto& [index, value] : settings)
        record->setParameter(record, index, value);
    Idle();
    Pump();
    SaveScreenshot(View()->GetHandle(), "first-generation-settings.png");
}

TEST_F(LegacyEditorPixels, TextInTheStatusLineIsDrawnWhiteAndClearedAgain)
{
    Open();
    const RECT status{kStatusArea.left, kStatusArea.top, kStatusArea.right, kStatusArea.bottom};
    const Pixels blank = Capture(View()->GetHandle());
    SendMessageA(Control(kWetDryMix)->GetHandle(), WM_MOUSEHOVER, 0, 0);
    Pump();
    const Pixels named = Capture(View()->GetHandle());
    int white = 0;
    for (int y = status.top; y < status.bottom; ++y)
        for (int x = status.left; x < status.right; ++x)
            white += (named.At(x, y) & 0xE0E0E0) == 0xE0E0E0 ? 1 : 0;
    EXPECT_GT(white, 20) << "no text drawn in the status line";
    // Nothing outside the status line changed.
    EXPECT_EQ(0, DifferentPixels(blank, named, RECT{0, 0, kEditorWidth, status.top}));
    SendMessageA(Control(kWetDryMix)->GetHandle(), WM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ(0, DifferentPixels(blank, Capture(View()->GetHandle()), RECT{0, 0, kEditorWidth, kEditorHeight}));
}

TEST_F(LegacyEditorPixels, AClickedSwitchShowsTheFrameOfItsValue)
{
    Open();
    const RECT pan{kControlPositions[kPan].x, kControlPositions[kPan].y, kControlPositions[kPan].x + 20,
                   kControlPositions[kPan].y + 40};
    const Pixels off = Capture(View()->GetHandle());
    Send(Control(kPan)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 21); // 0.475: still frame 0
    Pump();
    EXPECT_EQ(0, DifferentPixels(off, Capture(View()->GetHandle()), pan));
    Send(Control(kPan)->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, 10, 20); // 0.5: frame 1
    Pump();
    const Pixels on = Capture(View()->GetHandle());
    EXPECT_GT(DifferentPixels(off, on, pan), 50);
    // Between the status line and the switch nothing changed.
    EXPECT_EQ(0, DifferentPixels(off, on, RECT{0, kStatusArea.bottom, kEditorWidth, pan.top}));
}

#ifdef MORLENT_CURRENT_MODULE_PATH

// The 64-bit module's editor, opened through its own record in the second host window.
class CurrentEditor {
public:
    CurrentEditor() : module(MORLENT_CURRENT_MODULE_PATH)
    {
        PluginModule::Entry entry = module.Loaded() ? module.Find("VSTPluginMain") : nullptr;
        record = entry != nullptr ? entry(TestSupport::StandInHost::Callback) : nullptr;
    }
    ~CurrentEditor()
    {
        if (record != nullptr) {
            TestSupport::Dispatch(record, effEditClose);
            TestSupport::Dispatch(record, effClose);
        }
    }
    bool Open(HWND parent) { return record != nullptr && TestSupport::Dispatch(record, effEditOpen, 0, 0, parent) == 1; }
    AEffect* record = nullptr;

private:
    PluginModule module;
};

void PumpAll()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

TEST_F(LegacyEditorPixels, AtTheDefaultProgramBothModulesDrawTheSameEditor)
{
    Open();
    CurrentEditor current;
    ASSERT_TRUE(current.Open(SecondHost()));
    PumpAll();
    const Pixels first = Capture(View()->GetHandle());
    const Pixels reference = Capture(GetWindow(SecondHost(), GW_CHILD));
    ASSERT_EQ(kEditorWidth, reference.width);
    ASSERT_EQ(kEditorHeight, reference.height);
    EXPECT_EQ(0, DifferentPixels(first, reference, RECT{0, 0, kEditorWidth, kEditorHeight}));
}

TEST_F(LegacyEditorPixels, TheModulesDifferOnlyInTheKnobFramesTheyChooseForAValue)
{
    // 0.995 is frame 90 of 91 here (floor of value × 91), frame 89 in the 64-bit module
    // (value × 90, truncated); 0.3 is frame 27 in both.
    record->setParameter(record, kLeftDelay, 0.995f);
    record->setParameter(record, kRightDelay, 0.3f);
    Open();
    CurrentEditor current;
    current.record->setParameter(current.record, kLeftDelay, 0.995f);
    current.record->setParameter(current.record, kRightDelay, 0.3f);
    ASSERT_TRUE(current.Open(SecondHost()));
    PumpAll();
    const Pixels first = Capture(View()->GetHandle());
    const Pixels reference = Capture(GetWindow(SecondHost(), GW_CHILD));
    auto knob = [](int parameter) {
        const Point at = kControlPositions[parameter];
        return RECT{at.x, at.y, at.x + 32, at.y + 32};
    };
    EXPECT_GT(DifferentPixels(first, reference, knob(kLeftDelay)), 0);
    EXPECT_EQ(0, DifferentPixels(first, reference, knob(kRightDelay)));
    // Everything outside the left delay knob agrees.
    const RECT left = knob(kLeftDelay);
    EXPECT_EQ(0, DifferentPixels(first, reference, RECT{0, 0, kEditorWidth, left.top}));
    EXPECT_EQ(0, DifferentPixels(first, reference, RECT{0, left.bottom, kEditorWidth, kEditorHeight}));
    EXPECT_EQ(0, DifferentPixels(first, reference, RECT{left.right, left.top, kEditorWidth, left.bottom}));
}

TEST_F(LegacyEditorPixels, TheStatusLinesDifferInTheirFontSize)
{
    Open();
    CurrentEditor current;
    ASSERT_TRUE(current.Open(SecondHost()));
    PumpAll();
    HWND referenceView = GetWindow(SecondHost(), GW_CHILD);
    // Hover tells both views to name the same parameter.
    SendMessageA(Control(kWetDryMix)->GetHandle(), WM_MOUSEHOVER, 0, 0);
    const Point mix = kControlPositions[kWetDryMix];
    HWND referenceKnob = ChildWindowFromPoint(referenceView, POINT{mix.x + 16, mix.y + 16});
    SendMessageA(referenceKnob, WM_MOUSEHOVER, 0, MAKELPARAM(16, 16));
    PumpAll();
    const Pixels first = Capture(View()->GetHandle());
    const Pixels reference = Capture(referenceView);
    const RECT status{kStatusArea.left, kStatusArea.top, kStatusArea.right, kStatusArea.bottom};
    auto textRows = [&](const Pixels& pixels) {
        int top = -1, bottom = -1;
        for (int y = status.top; y < status.bottom; ++y)
            for (int x = status.left; x < status.right; ++x)
                if ((pixels.At(x, y) & 0xC0C0C0) == 0xC0C0C0) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
        return bottom - top + 1;
    };
    // The first generation's 16-pixel Arial stands taller than the 64-bit module's line.
    EXPECT_GT(textRows(first), textRows(reference));
    EXPECT_EQ(0, DifferentPixels(first, reference, RECT{0, 0, kEditorWidth, status.top}));
}

#endif

} // namespace
