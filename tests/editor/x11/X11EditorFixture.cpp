#include "tests/editor/x11/X11EditorFixture.h"

#include "editor/DelayLayout.h"
#include "pictures/cairo/PngWriter.h"
#include "tests/support/DrawingLibraries.h"
#include "tests/support/VirtualDisplay.h"

#include <poll.h>

#include <algorithm>
#include <functional>

namespace X11EditorTest {

namespace {
const ::testing::Environment* const kDisplay = ::testing::AddGlobalTestEnvironment(new TestSupport::VirtualDisplay);
const ::testing::Environment* const kLibraries =
    ::testing::AddGlobalTestEnvironment(new TestSupport::DrawingLibraries);
} // namespace

void X11EditorFixture::SetUp()
{
    host = std::make_unique<TestSupport::X11HostWindow>();
    ASSERT_TRUE(host->IsOpen());
    core = std::make_unique<RecordingCore>();
    model = core->GetModel();
    target = std::make_unique<EditorCore::CoreEditTarget>(*model, *core);
}

void X11EditorFixture::TearDown()
{
    Close();
    core.reset();
    host.reset();
}

void X11EditorFixture::Open()
{
    std::string error;
    editor = X11Toolkit::X11Editor::Open(host->Handle(), *target, error);
    ASSERT_NE(nullptr, editor) << error;
    core->SetView(editor->GetParameterView());
    // Mapped and painted once: the first expose has been answered.
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixels() == FacePixels(); }));
}

void X11EditorFixture::Close()
{
    if (editor == nullptr)
        return;
    core->SetView(nullptr);
    editor.reset();
}

void X11EditorFixture::Pump()
{
    pollfd waiting{editor->GetEventSource(), POLLIN, 0};
    poll(&waiting, 1, 5);
    editor->DispatchEvents();
}

bool X11EditorFixture::PumpUntil(const std::function<bool()>& done)
{
    return TestSupport::Await([&] { Pump(); }, done);
}

std::string X11EditorFixture::StatusText()
{
    return editor != nullptr ? editor->GetStatusText() : std::string();
}

std::vector<uint32_t> X11EditorFixture::ScreenPixels()
{
    const Pictures::Size size = EditorCore::kEditorSize;
    return host->Capture(editor->GetWindow(), 0, 0, size.width, size.height);
}

std::vector<uint32_t> X11EditorFixture::FacePixels()
{
    cairo_surface_t* face = editor->GetFace();
    cairo_surface_flush(face);
    const int width = cairo_image_surface_get_width(face);
    const int height = cairo_image_surface_get_height(face);
    const int stride = cairo_image_surface_get_stride(face);
    const uint8_t* data = cairo_image_surface_get_data(face);
    std::vector<uint32_t> pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride)[x] & 0xFFFFFF);
    return pixels;
}

void X11EditorFixture::SaveScreenshot(const char* name)
{
    const Pictures::Size size = EditorCore::kEditorSize;
    const std::vector<uint32_t> pixels = ScreenPixels();
    EXPECT_TRUE(Pictures::SaveRgbAsPng(pixels.data(), size.width, size.height, size.width,
                                       std::string(MORLENT_SCREENSHOT_DIR) + "/" + name));
}

void X11EditorFixture::SavePopupScreenshot(const char* name)
{
    const Window popup = editor->GetPopupWindow();
    XWindowAttributes attributes{};
    ASSERT_NE(popup, 0u);
    ASSERT_TRUE(host->Attributes(popup, attributes));
    // The popup draws when the server has shown it: pumped until it is more than one colour.
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(PumpUntil([&] {
        pixels = host->Capture(popup, 0, 0, attributes.width, attributes.height);
        return std::adjacent_find(pixels.begin(), pixels.end(), std::not_equal_to<uint32_t>()) != pixels.end();
    })) << name << ": the popup was never drawn";
    EXPECT_TRUE(Pictures::SaveRgbAsPng(pixels.data(), attributes.width, attributes.height, attributes.width,
                                       std::string(MORLENT_SCREENSHOT_DIR) + "/" + name));
}

Pictures::Point X11EditorFixture::CentreOf(int parameter)
{
    for (const EditorCore::ControlPlacement& place : EditorCore::kControlPlacements) {
        if (place.parameter != parameter)
            continue;
        const Pictures::Point at = EditorCore::PositionOf(place.parameter);
        // The strips' frame sizes: knobs 32 × 32, switches 20 × 40, note rows 140 × 40.
        const bool knob = place.kind == EditorCore::ControlKind::kKnob;
        const int width = knob ? 32 : place.kind == EditorCore::ControlKind::kToggle ? 20 : 140;
        const int height = knob ? 32 : 40;
        return Pictures::Point{at.x + width / 2, at.y + height / 2};
    }
    return Pictures::Point{0, 0};
}

} // namespace X11EditorTest
