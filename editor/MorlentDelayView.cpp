#include "MorlentDelayView.h"

#include "Editor.h"
#include "controls/Graphics.h"
#include "controls/ImageResource.h"
#include "controls/ImageStrip.h"
#include "controls/IncrementButton.h"
#include "controls/Knob.h"
#include "controls/Multiswitch.h"
#include "controls/StatusControl.h"
#include "controls/WindowClasses.h"
#include "delay/MorlentDelayModel.h"
#include "framework/Model.h"

#include <shellapi.h>

using WindowsToolkit::ImageResource;
using WindowsToolkit::ImageStrip;

struct MorlentDelayView::Skin {
    ImageResource background;
    ImageResource knobImage;
    ImageResource switchImage;
    ImageResource syncLedImage;
    ImageResource syncButtonImage;
    ImageStrip knob{&knobImage, 91, true};
    ImageStrip toggle{&switchImage, 2, true};
    ImageStrip syncLed{&syncLedImage, 5, false};
    ImageStrip syncButton{&syncButtonImage, 2, true};

    // A picture that does not load stays empty: its controls draw nothing.
    explicit Skin(HINSTANCE instance)
    {
        background.Load(MAKEINTRESOURCEA(kBackgroundId), instance);
        knobImage.Load(MAKEINTRESOURCEA(kKnobId), instance);
        switchImage.Load(MAKEINTRESOURCEA(kSwitchId), instance);
        syncLedImage.Load(MAKEINTRESOURCEA(kSyncLedId), instance);
        syncButtonImage.Load(MAKEINTRESOURCEA(kSyncButtonId), instance);
    }
};

namespace {

using Parameter = MorlentDelayModel::Parameter;

enum class Kind { Knob, Toggle, SyncLeds };

struct Placement {
    Kind kind;
    Parameter parameter;
    int x;
    int y;
    // Ctrl + click restores this, the control's own default. "Sync" resets to on although the
    // parameter's stored default is off.
    float resetValue;
};

// On the marks of the background picture, in creation order.
constexpr Placement kPlacements[] = {
    {Kind::Toggle, MorlentDelayModel::kEnabled, 343, 229, 1.0f},
    {Kind::Knob, MorlentDelayModel::kLeftDelay, 65, 139, 1.0f},
    {Kind::Toggle, MorlentDelayModel::kSync, 79, 229, 0.5f},
    {Kind::Knob, MorlentDelayModel::kRightDelay, 123, 139, 0.5f},
    {Kind::SyncLeds, MorlentDelayModel::kLeftSync, 144, 221, 0.5f},
    {Kind::SyncLeds, MorlentDelayModel::kRightSync, 144, 256, 0.5f},
    {Kind::Knob, MorlentDelayModel::kFeedbackLevel, 179, 139, 0.0f},
    {Kind::Toggle, MorlentDelayModel::kFilter, 343, 109, 0.0f},
    {Kind::Knob, MorlentDelayModel::kCutoffFrequency, 390, 139, 0.5f},
    {Kind::Toggle, MorlentDelayModel::kFilterType, 343, 148, 0.0f},
    {Kind::Toggle, MorlentDelayModel::kPan, 266, 125, 0.0f},
    {Kind::Knob, MorlentDelayModel::kWetDryMix, 390, 241, 0.5f},
};

struct ButtonPlacement {
    Parameter target;
    int x;
    int y;
};

constexpr ButtonPlacement kSyncButtons[] = {
    {MorlentDelayModel::kLeftSync, 116, 227},
    {MorlentDelayModel::kRightSync, 116, 262},
};

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL: // Escape or the caption's close box
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    case MorlentDelayView::kVisitWebsiteCommand:
        // The browser opens beside the box, which stays.
        ShellExecuteA(dialog, "open", MorlentDelayView::kWebSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

MorlentDelayView* MorlentDelayView::Create(VstToolkit::Model* model, VstToolkit::Controller* controller,
                                           HWND parent, HINSTANCE instance)
{
    auto* view = new MorlentDelayView(model, controller, std::make_unique<Skin>(instance));
    // On failure the toolkit has deleted the object already.
    if (CreateToolkitWindow(view, WindowsToolkit::kViewClassName, parent, instance) == nullptr)
        return nullptr;
    view->CreateControls(instance);
    return view;
}

SIZE MorlentDelayView::PreferredSize(HINSTANCE instance)
{
    return VstToolkit::PngResourceSize(instance, MAKEINTRESOURCEA(kBackgroundId));
}

MorlentDelayView::MorlentDelayView(VstToolkit::Model* model, VstToolkit::Controller* controller,
                                   std::unique_ptr<Skin> loaded)
    : View(model, controller, 0, 0, loaded->background.GetWidth(), loaded->background.GetHeight()),
      skin(std::move(loaded))
{
}

MorlentDelayView::~MorlentDelayView() = default;

void MorlentDelayView::CreateControls(HINSTANCE instance)
{
    using namespace WindowsToolkit;
    HWND window = GetHandle();
    const ImageResource* background = &skin->background;
    for (const Placement& place : kPlacements) {
        const float value = GetModel()->GetParameterValue(place.parameter);
        ParameterControl* control = nullptr;
        if (place.kind == Kind::Knob)
            control = Knob::Create(background, place.parameter, place.resetValue, value, &skin->knob, place.x,
                                   place.y, window, instance);
        else
            control = Multiswitch::Create(background, place.parameter, place.resetValue, value,
                                          place.kind == Kind::Toggle ? &skin->toggle : &skin->syncLed, place.x,
                                          place.y, window, instance);
        AddParameterControl(control);
    }
    for (const ButtonPlacement& place : kSyncButtons) {
        if (IncrementButton* button =
                IncrementButton::Create(background, &skin->syncButton, place.x, place.y, window, instance))
            button->SetTarget(GetParameterControl(place.target));
    }
    statusControl = StatusControl::Create(background, kStatusRect, window, instance);
}

int MorlentDelayView::OnPaint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(GetHandle(), &paint);
    if (dc != nullptr && skin->background.GetBitmap() != nullptr) {
        WindowsToolkit::Graphics graphics(dc);
        graphics.DrawImagePart(skin->background.GetBitmap(), 0, 0, 0, 0, skin->background.GetWidth(),
                               skin->background.GetHeight());
    }
    EndPaint(GetHandle(), &paint);
    return 1;
}

int MorlentDelayView::OnEraseBackground(HDC)
{
    return skin->background.GetBitmap() != nullptr ? 1 : 0;
}

void MorlentDelayView::ShowStatusText(const char* text)
{
    if (statusControl != nullptr)
        statusControl->SetText(text);
}

void MorlentDelayView::ShowAbout()
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(GetHandle(), GWLP_HINSTANCE));
    DialogBoxParamA(instance, kAboutDialogName, GetHandle(), AboutDialogProc, 0);
}
