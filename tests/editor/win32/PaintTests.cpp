// What the controls put on the screen: the right strip frame over the right piece of the
// background, read back from the painted windows.

#include "tests/editor/win32/ToolkitFixture.h"

#include "editor/win32/IncrementButton.h"
#include "editor/win32/Knob.h"
#include "editor/win32/Multiswitch.h"
#include "editor/win32/StatusControl.h"

#include <sstream>

namespace {

using namespace ToolkitTest;
using Pictures::ImageResource;
using Pictures::ImageStrip;

class PaintTest : public ToolkitFixture {
protected:
    // Captures window (placed at left, top in the view) and compares every pixel with frame
    // (at frameX, frameY in picture) laid over the background; returns the mismatches found.
    ::testing::AssertionResult ShowsFrame(HWND window, int left, int top, const Pictures::ImageResource& picture, int frameX,
                                          int frameY)
    {
        int width = 0;
        int height = 0;
        const std::vector<Pixel> pixels = Capture(window, width, height);
        if (pixels.empty())
            return ::testing::AssertionFailure() << "nothing captured";
        int mismatches = 0;
        std::ostringstream first;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const Pixel expected =
                    Over(PicturePixel(picture, frameX + x, frameY + y), PicturePixel(*background, left + x, top + y));
                const Pixel actual = pixels[static_cast<size_t>(y * width + x)];
                if (!Near(expected, actual)) {
                    if (mismatches++ == 0)
                        first << std::hex << "at (" << std::dec << x << ", " << y << ") expected " << std::hex
                              << expected << " got " << actual;
                }
            }
        }
        if (mismatches != 0)
            return ::testing::AssertionFailure() << mismatches << " pixels differ, first " << first.str();
        return ::testing::AssertionSuccess();
    }
    // Whether two frames of a picture differ, so that telling them apart proves something.
    static bool FramesDiffer(const Pictures::ImageResource& picture, POINT a, POINT b, int width, int height)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (PicturePixel(picture, a.x + x, a.y + y) != PicturePixel(picture, b.x + x, b.y + y))
                    return true;
        return false;
    }
};

TEST_F(PaintTest, TheKnobShowsTheFrameOfItsValueOverItsPieceOfTheBackground)
{
    ASSERT_TRUE(FramesDiffer(*knobImage, POINT{0, 45 * 32}, POINT{0, 90 * 32}, 32, 32));
    auto* knob =
        WindowsToolkit::Knob::Create(background, 1, 1.0f, 0.5f, knobStrip.get(), 65, 139, viewWindow, Instance());
    ASSERT_NE(nullptr, knob);
    EXPECT_TRUE(ShowsFrame(knob->GetHandle(), 65, 139, *knobImage, 0, 45 * 32));
    knob->SetValue(1.0f, false);
    EXPECT_TRUE(ShowsFrame(knob->GetHandle(), 65, 139, *knobImage, 0, 90 * 32));
    knob->SetValue(0.0f, false);
    EXPECT_TRUE(ShowsFrame(knob->GetHandle(), 65, 139, *knobImage, 0, 0));
    // The class brush never gets to flash under a control.
    HDC dc = GetDC(knob->GetHandle());
    EXPECT_EQ(1, SendMessageA(knob->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
    ReleaseDC(knob->GetHandle(), dc);
}

TEST_F(PaintTest, SwitchesShowTheFrameOfTheirStateAlongTheirStrip)
{
    auto* leds = WindowsToolkit::Multiswitch::Create(background, 4, 0.5f, 0.75f, syncLedStrip.get(), 144, 221,
                                                     viewWindow, Instance());
    auto* lever = WindowsToolkit::Multiswitch::Create(background, 0, 1.0f, 1.0f, switchStrip.get(), 343, 229,
                                                      viewWindow, Instance());
    ASSERT_NE(nullptr, leds);
    ASSERT_NE(nullptr, lever);
    ASSERT_TRUE(FramesDiffer(*syncLedImage, POINT{420, 0}, POINT{560, 0}, 140, 40));
    EXPECT_TRUE(ShowsFrame(leds->GetHandle(), 144, 221, *syncLedImage, 420, 0)); // 0.75 lights the fourth
    leds->SetIndex(4, false);
    EXPECT_TRUE(ShowsFrame(leds->GetHandle(), 144, 221, *syncLedImage, 560, 0));

    ASSERT_TRUE(FramesDiffer(*switchImage, POINT{0, 0}, POINT{0, 40}, 20, 40));
    EXPECT_TRUE(ShowsFrame(lever->GetHandle(), 343, 229, *switchImage, 0, 40));
    lever->SetValue(0.0f, false);
    EXPECT_TRUE(ShowsFrame(lever->GetHandle(), 343, 229, *switchImage, 0, 0));
}

TEST_F(PaintTest, TheIncrementButtonShowsItsPressedFrameWhileHeld)
{
    auto* button = WindowsToolkit::IncrementButton::Create(background, syncButtonStrip.get(), 116, 227, viewWindow,
                                                           Instance());
    ASSERT_NE(nullptr, button);
    HWND window = button->GetHandle();
    ASSERT_TRUE(FramesDiffer(*syncButtonImage, POINT{0, 0}, POINT{0, 28}, 28, 28));
    EXPECT_TRUE(ShowsFrame(window, 116, 227, *syncButtonImage, 0, 0));
    Send(window, WM_LBUTTONDOWN, MK_LBUTTON, 4, 4);
    EXPECT_TRUE(ShowsFrame(window, 116, 227, *syncButtonImage, 0, 28));
    Send(window, WM_LBUTTONUP, 0, 4, 4);
    EXPECT_TRUE(ShowsFrame(window, 116, 227, *syncButtonImage, 0, 0));
}

class StatusPaintTest : public PaintTest {
protected:
    void SetUp() override
    {
        PaintTest::SetUp();
        status = WindowsToolkit::StatusControl::Create(background, RECT{305, 34, 450, 59}, viewWindow, Instance());
        ASSERT_NE(nullptr, status);
    }
    // Pixels brighter than any in the display window's dark green: the white text.
    int WhiteIn(const std::vector<Pixel>& pixels, int width, int top, int bottom, int left = 0, int right = 145)
    {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                const Pixel p = pixels[static_cast<size_t>(y * width + x)];
                count += (Red(p) > 200 && Green(p) > 200 && Blue(p) > 200) ? 1 : 0;
            }
        return count;
    }

    WindowsToolkit::StatusControl* status = nullptr;
};

TEST_F(StatusPaintTest, AnEmptyLineShowsJustTheBackground)
{
    RECT client{};
    GetClientRect(status->GetHandle(), &client);
    EXPECT_EQ(145, client.right);
    EXPECT_EQ(25, client.bottom);
    EXPECT_TRUE(ShowsFrame(status->GetHandle(), 305, 34, *background, 305, 34)); // the piece under it, twice
}

TEST_F(StatusPaintTest, TextIsWhiteOnOneBottomAlignedLineClippedAtTheRightAndAtTheBuffer)
{
    ASSERT_EQ(0, WhiteIn([&] { int w, h; return Capture(status->GetHandle(), w, h); }(), 145, 0, 25))
        << "the display window must have no white of its own";
    status->SetText("Left Delay: 0.500 Secs and a good deal more text than fits");
    EXPECT_STREQ("Left Delay: 0.500 Secs and a good deal more text than fits", status->GetText());
    int width = 0;
    int height = 0;
    const std::vector<Pixel> pixels = Capture(status->GetHandle(), width, height);
    EXPECT_GT(WhiteIn(pixels, width, 10, 24), 50);
    EXPECT_EQ(0, WhiteIn(pixels, width, 0, 6)) << "one line, at the bottom";
    EXPECT_EQ(0, WhiteIn(pixels, width, 24, 25)) << "the line ends a pixel above the bottom";
    EXPECT_GT(WhiteIn(pixels, width, 10, 24, 125, 145), 0) << "text runs on to the right edge";
    for (int x = 0; x < width; ++x) // the rows above the text stay the background
        EXPECT_TRUE(Near(PicturePixel(*background, 305 + x, 34), pixels[static_cast<size_t>(x)])) << x;

    status->SetText("");
    EXPECT_TRUE(ShowsFrame(status->GetHandle(), 305, 34, *background, 305, 34));
    status->SetText(std::string(700, 'x').c_str());
    EXPECT_EQ(511u, std::string(status->GetText()).size());
}

} // namespace
