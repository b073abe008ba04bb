#pragma once
// A real window tree for the controls: a top-level host window, a toolkit window standing in
// for the view (it records every registered message the controls post to it), and helpers to
// drive controls with mouse messages and to read back the pixels they painted.

#include "pictures/win32/Graphics.h"
#include "pictures/win32/ImageResource.h"
#include "pictures/ImageStrip.h"
#include "editor/win32/Messages.h"
#include "editor/win32/Window.h"
#include "editor/win32/WindowClasses.h"
#include "description/EffectDescription.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace ToolkitTest {

// Picture identifiers of the module's skin, and one resource that is no picture at all.
using MorlentDelay::kBackgroundId;
using MorlentDelay::kKnobId;
using MorlentDelay::kSwitchId;
using MorlentDelay::kSyncButtonId;
using MorlentDelay::kSyncLedId;
constexpr int kNotAPictureId = 950;

HINSTANCE Instance();

struct Posted {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The view stand-in: a toolkit window of the view's class that keeps what it receives.
class RecordingView : public WindowsToolkit::Window {
public:
    RecordingView() : Window(0, 0, 496, 344) {}
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::vector<Posted> received;
};

// Pixels as 0xAARRGGBB.
using Pixel = uint32_t;
inline int Red(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int Green(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int Blue(Pixel p) { return static_cast<int>(p & 0xFF); }
// Source-over of an ARGB picture pixel on an opaque one, as the off-screen paint composes it.
Pixel Over(Pixel top, Pixel below);
// Channels apart by at most tolerance.
bool Near(Pixel a, Pixel b, int tolerance = 3);

// Reads a pixel of a decoded picture.
Pixel PicturePixel(const Pictures::ImageResource& image, int x, int y);

class ToolkitFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Dispatches everything queued for this thread, waiting up to milliseconds for more.
    void Pump(DWORD milliseconds = 0);
    // The registered messages the view received since the last call (pumping first).
    std::vector<Posted> TakePosted(DWORD milliseconds = 0);
    // How many of posted are message.
    static int Count(const std::vector<Posted>& posted, UINT message);

    LRESULT Send(HWND window, UINT message, UINT keys, int x, int y);
    LRESULT Wheel(HWND window, UINT keys, short delta);
    // Paints window now and copies its client area; pixels row by row, top-down.
    std::vector<Pixel> Capture(HWND window, int& width, int& height);

    HWND host = nullptr;
    RecordingView* view = nullptr;
    HWND viewWindow = nullptr;

    // The module's pictures, with the strips the view cuts from them.
    static Pictures::ImageResource* background;
    static Pictures::ImageResource* knobImage;
    static Pictures::ImageResource* switchImage;
    static Pictures::ImageResource* syncButtonImage;
    static Pictures::ImageResource* syncLedImage;
    static std::unique_ptr<Pictures::ImageStrip> knobStrip;
    static std::unique_ptr<Pictures::ImageStrip> switchStrip;
    static std::unique_ptr<Pictures::ImageStrip> syncButtonStrip;
    static std::unique_ptr<Pictures::ImageStrip> syncLedStrip;
    static void SetUpTestSuite();
    static void TearDownTestSuite();
};

} // namespace ToolkitTest
