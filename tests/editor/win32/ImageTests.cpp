// Pictures from module resources, strips cut from them, and controls over missing pictures.

#include "tests/editor/win32/ToolkitFixture.h"

#include "editor/win32/Knob.h"
#include "editor/win32/Multiswitch.h"

namespace {

using namespace ToolkitTest;
using Pictures::ImageResource;
using Pictures::ImageStrip;

using ImageTest = ToolkitFixture;

TEST_F(ImageTest, PicturesLoadByIdentifierWithTheirSizes)
{
    EXPECT_EQ(496, background->GetWidth());
    EXPECT_EQ(344, background->GetHeight());
    EXPECT_EQ(32, knobStrip->GetFrameWidth());
    EXPECT_EQ(32, knobStrip->GetFrameHeight());
    EXPECT_EQ(20, switchStrip->GetFrameWidth());
    EXPECT_EQ(40, switchStrip->GetFrameHeight());
    EXPECT_EQ(28, syncButtonStrip->GetFrameWidth());
    EXPECT_EQ(28, syncButtonStrip->GetFrameHeight());
    EXPECT_EQ(140, syncLedStrip->GetFrameWidth());
    EXPECT_EQ(40, syncLedStrip->GetFrameHeight());
}

TEST_F(ImageTest, AFailedLoadKeepsWhatTheHolderHadAndUnloadEmptiesIt)
{
    Pictures::ImageResource image;
    image.Unload(); // nothing held: harmless
    EXPECT_FALSE(image.Load(MAKEINTRESOURCEA(4711), Instance()));
    EXPECT_FALSE(image.Load(MAKEINTRESOURCEA(kNotAPictureId), Instance()));
    EXPECT_EQ(nullptr, image.GetBitmap());
    EXPECT_EQ(0, image.GetWidth());

    ASSERT_TRUE(image.Load(MAKEINTRESOURCEA(kSwitchId), Instance()));
    EXPECT_FALSE(image.Load(MAKEINTRESOURCEA(kNotAPictureId), Instance()));
    EXPECT_EQ(20, image.GetWidth());
    ASSERT_TRUE(image.Load(MAKEINTRESOURCEA(kSyncLedId), Instance())); // replaces the switch
    EXPECT_EQ(700, image.GetWidth());
    EXPECT_EQ(40, image.GetHeight());
    // The copy of the PNG bytes stays readable: GDI+ may decode from it any time later.
    EXPECT_EQ(PicturePixel(*syncLedImage, 600, 20), PicturePixel(image, 600, 20));
    image.Unload();
    EXPECT_EQ(nullptr, image.GetBitmap());
    EXPECT_EQ(0, image.GetHeight());
    image.Unload();
}

TEST_F(ImageTest, ControlsOverAMissingPictureHaveNoSizeButKeepTheirValues)
{
    Pictures::ImageResource missing;
    missing.Load(MAKEINTRESOURCEA(4711), Instance());
    ImageStrip empty(&missing, 91, true);
    EXPECT_EQ(0, empty.GetFrameWidth());
    EXPECT_EQ(0, empty.GetFrameHeight());
    ImageStrip noFrames(knobImage, 0, true);

    auto* knob = WindowsToolkit::Knob::Create(background, 2, 0.5f, 0.3f, &empty, 10, 10, viewWindow, Instance());
    ASSERT_NE(nullptr, knob);
    RECT client{1, 1, 1, 1};
    GetClientRect(knob->GetHandle(), &client);
    EXPECT_EQ(0, client.right);
    EXPECT_EQ(0, client.bottom);
    UpdateWindow(knob->GetHandle()); // paints nothing, fails nothing

    // A knob whose strip has no frames keeps its frame but still stores, repaints and reports.
    auto* frameless = WindowsToolkit::Knob::Create(background, 2, 0.5f, 0.3f, &noFrames, 10, 10, viewWindow, Instance());
    ASSERT_NE(nullptr, frameless);
    frameless->SetValue(0.8f, true);
    EXPECT_FLOAT_EQ(0.8f, frameless->GetValue());
    EXPECT_EQ(0, frameless->GetIndex());
    EXPECT_EQ(1, Count(TakePosted(), WindowsToolkit::UWM_PC_VALUE_CHANGED));

    // A switch without frames ignores values altogether.
    auto* control =
        WindowsToolkit::Multiswitch::Create(background, 3, 0.5f, 1.0f, &noFrames, 10, 10, viewWindow, Instance());
    ASSERT_NE(nullptr, control);
    control->SetValue(1.0f, true);
    EXPECT_EQ(0, control->GetIndex());
    EXPECT_FLOAT_EQ(0.0f, control->GetValue());
    EXPECT_TRUE(TakePosted().empty());
}

} // namespace
