#include "editor/win32/MorlentDelayView.h"

#include "editor/AboutBox.h"
#include "editor/win32/IncrementButton.h"
#include "editor/win32/Knob.h"
#include "editor/win32/Multiswitch.h"
#include "editor/win32/StatusControl.h"
#include "editor/win32/WindowClasses.h"
#include "framework/Model.h"
#include "pictures/ImageStrip.h"
#include "pictures/win32/GdiplusCanvas.h"
#include "pictures/win32/Graphics.h"
#include "pictures/win32/ImageResource.h"

#include <shellapi.h>

using EditorCore::SkinPicture;
using Pictures::ImageResource;
using Pictures::ImageStrip;

struct MorlentDelayView::Skin {
    ImageResource pictures[EditorCore::kSkinPictureCount];
    ImageStrip knob = StripOf(EditorCore::kKnobStrip);
    ImageStrip toggle = StripOf(EditorCore::kSwitchStrip);
    ImageStrip syncLed = StripOf(EditorCore::kSyncLedStrip);
    ImageStrip syncButton = StripOf(EditorCore::kSyncButtonStrip);

    // A picture that does not load stays empty: its controls draw nothing.
    explicit Skin(HINSTANCE instance)
    {
        Picture(SkinPicture::kBackground).Load(MAKEINTRESOURCEA(MorlentDelay::kBackgroundId), instance);
        Picture(SkinPicture::kKnob).Load(MAKEINTRESOURCEA(MorlentDelay::kKnobId), instance);
        Picture(SkinPicture::kSwitch).Load(MAKEINTRESOURCEA(MorlentDelay::kSwitchId), instance);
        Picture(SkinPicture::kSyncLed).Load(MAKEINTRESOURCEA(MorlentDelay::kSyncLedId), instance);
        Picture(SkinPicture::kSyncButton).Load(MAKEINTRESOURCEA(MorlentDelay::kSyncButtonId), instance);
    }
    ImageResource& Picture(SkinPicture which) { return pictures[static_cast<int>(which)]; }
    ImageStrip StripOf(const EditorCore::StripFacts& facts)
    {
        return ImageStrip(&Picture(facts.picture), facts.frameCount, facts.vertical);
    }
    const ImageStrip* StripFor(EditorCore::ControlKind kind) const
    {
        switch (kind) {
        case EditorCore::ControlKind::kKnob:
            return &knob;
        case EditorCore::ControlKind::kToggle:
            return &toggle;
        case EditorCore::ControlKind::kSyncLeds:
            return &syncLed;
        }
        return nullptr;
    }
};

namespace {

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    const int command = LOWORD(wParam);
    switch (EditorCore::AboutCommand(command)) {
    case EditorCore::AboutAction::kClose: // OK, or Escape and the caption's close box
        EndDialog(dialog, command);
        return TRUE;
    case EditorCore::AboutAction::kVisitWebsite:
        // The browser opens beside the box, which stays.
        ShellExecuteA(dialog, "open", MorlentDelay::kWebSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    case EditorCore::AboutAction::kNothing:
        break;
    }
    return FALSE;
}

} // namespace

MorlentDelayView* MorlentDelayView::Create(VstToolkit::Model* model, VstToolkit::PluginCore* core,
                                           HWND parent, HINSTANCE instance)
{
    auto* view = new MorlentDelayView(model, core, std::make_unique<Skin>(instance));
    // On failure the toolkit has deleted the object already.
    if (CreateToolkitWindow(view, WindowsToolkit::kViewClassName, parent, instance) == nullptr)
        return nullptr;
    view->CreateControls(instance);
    return view;
}

SIZE MorlentDelayView::PreferredSize(HINSTANCE instance)
{
    return Pictures::PngResourceSize(instance, MAKEINTRESOURCEA(MorlentDelay::kBackgroundId));
}

MorlentDelayView::MorlentDelayView(VstToolkit::Model* model, VstToolkit::PluginCore* core,
                                   std::unique_ptr<Skin> loaded)
    : View(model, core, 0, 0, loaded->Picture(SkinPicture::kBackground).GetWidth(),
           loaded->Picture(SkinPicture::kBackground).GetHeight()),
      skin(std::move(loaded))
{
}

MorlentDelayView::~MorlentDelayView() = default;

void MorlentDelayView::CreateControls(HINSTANCE instance)
{
    using namespace WindowsToolkit;
    HWND window = GetHandle();
    const ImageResource* background = &skin->Picture(SkinPicture::kBackground);
    for (const EditorCore::ControlPlacement& place : EditorCore::kControlPlacements) {
        const float value = GetModel()->GetParameterValue(place.parameter);
        const float resetValue = MorlentDelay::kParameters[place.parameter].resetValue;
        const Pictures::Point at = EditorCore::PositionOf(place.parameter);
        const ImageStrip* strip = skin->StripFor(place.kind);
        ParameterControl* control = nullptr;
        if (place.kind == EditorCore::ControlKind::kKnob)
            control = Knob::Create(background, place.parameter, resetValue, value, strip, at.x, at.y, window, instance);
        else
            control = Multiswitch::Create(background, place.parameter, resetValue, value, strip, at.x, at.y, window,
                                          instance);
        AddParameterControl(control);
    }
    for (const EditorCore::ButtonPlacement& place : EditorCore::kSyncButtons) {
        if (IncrementButton* button = IncrementButton::Create(background, &skin->syncButton, place.position.x,
                                                              place.position.y, window, instance))
            button->SetTarget(GetParameterControl(place.target));
    }
    statusControl = StatusControl::Create(background, kStatusRect, window, instance);
}

int MorlentDelayView::OnPaint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(GetHandle(), &paint);
    const ImageResource& background = skin->Picture(SkinPicture::kBackground);
    if (dc != nullptr && background.GetBitmap() != nullptr) {
        Pictures::Graphics graphics(dc);
        graphics.DrawImagePart(background.GetBitmap(), 0, 0, 0, 0, background.GetWidth(), background.GetHeight());
    }
    EndPaint(GetHandle(), &paint);
    return 1;
}

int MorlentDelayView::OnEraseBackground(HDC)
{
    return skin->Picture(SkinPicture::kBackground).GetBitmap() != nullptr ? 1 : 0;
}

void MorlentDelayView::ShowStatusText(const char* text)
{
    if (statusControl != nullptr)
        statusControl->SetText(text);
}

void MorlentDelayView::ShowAbout()
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(GetHandle(), GWLP_HINSTANCE));
    DialogBoxParamA(instance, MorlentDelay::kAboutDialogName, GetHandle(), AboutDialogProc, 0);
}
