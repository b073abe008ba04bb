#include "editor/MorlentDelayView.h"

#include "editor/Editor.h"
#include "pictures/Graphics.h"
#include "pictures/ImageResource.h"
#include "controls/ImageStrip.h"
#include "controls/IncrementButton.h"
#include "controls/Knob.h"
#include "controls/Multiswitch.h"
#include "controls/StatusControl.h"
#include "controls/WindowClasses.h"
#include "delay/MorlentDelayModel.h"
#include "framework/Model.h"

#include <shellapi.h>

using Pictures::ImageResource;
using WindowsToolkit::ImageStrip;

struct MorlentDelayView::Skin {
    Pictures::ImageResource background;
    Pictures::ImageResource knobImage;
    Pictures::ImageResource switchImage;
    Pictures::ImageResource syncLedImage;
    Pictures::ImageResource syncButtonImage;
    ImageStrip knob{&knobImage, MorlentDelay::kKnobFrames, true};
    ImageStrip toggle{&switchImage, MorlentDelay::kSwitchFrames, true};
    ImageStrip syncLed{&syncLedImage, MorlentDelay::kSyncLedFrames, false};
    ImageStrip syncButton{&syncButtonImage, MorlentDelay::kSyncButtonFrames, true};

    // A picture that does not load stays empty: its controls draw nothing.
    explicit Skin(HINSTANCE instance)
    {
        background.Load(MAKEINTRESOURCEA(MorlentDelay::kBackgroundId), instance);
        knobImage.Load(MAKEINTRESOURCEA(MorlentDelay::kKnobId), instance);
        switchImage.Load(MAKEINTRESOURCEA(MorlentDelay::kSwitchId), instance);
        syncLedImage.Load(MAKEINTRESOURCEA(MorlentDelay::kSyncLedId), instance);
        syncButtonImage.Load(MAKEINTRESOURCEA(MorlentDelay::kSyncButtonId), instance);
    }
};

namespace {

using Parameter = MorlentDelay::Parameter;

enum class Kind { Knob, Toggle, SyncLeds };

struct Placement {
    Kind kind;
    Parameter parameter;
};

// In creation order.
constexpr Placement kPlacements[] = {
    {Kind::Toggle, MorlentDelay::kEnabled},    {Kind::Knob, MorlentDelay::kLeftDelay},
    {Kind::Toggle, MorlentDelay::kSync},       {Kind::Knob, MorlentDelay::kRightDelay},
    {Kind::SyncLeds, MorlentDelay::kLeftSync}, {Kind::SyncLeds, MorlentDelay::kRightSync},
    {Kind::Knob, MorlentDelay::kFeedbackLevel}, {Kind::Toggle, MorlentDelay::kFilter},
    {Kind::Knob, MorlentDelay::kCutoffFrequency}, {Kind::Toggle, MorlentDelay::kFilterType},
    {Kind::Toggle, MorlentDelay::kPan},        {Kind::Knob, MorlentDelay::kWetDryMix},
};

struct ButtonPlacement {
    Parameter target;
    MorlentDelay::Point position;
};

constexpr ButtonPlacement kSyncButtons[] = {
    {MorlentDelay::kLeftSync, MorlentDelay::kLeftSyncButtonPosition},
    {MorlentDelay::kRightSync, MorlentDelay::kRightSyncButtonPosition},
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
    case MorlentDelay::kVisitWebsiteId:
        // The browser opens beside the box, which stays.
        ShellExecuteA(dialog, "open", MorlentDelay::kWebSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
        return TRUE;
    default:
        return FALSE;
    }
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
    return VstToolkit::PngResourceSize(instance, MAKEINTRESOURCEA(MorlentDelay::kBackgroundId));
}

MorlentDelayView::MorlentDelayView(VstToolkit::Model* model, VstToolkit::PluginCore* core,
                                   std::unique_ptr<Skin> loaded)
    : View(model, core, 0, 0, loaded->background.GetWidth(), loaded->background.GetHeight()),
      skin(std::move(loaded))
{
}

MorlentDelayView::~MorlentDelayView() = default;

void MorlentDelayView::CreateControls(HINSTANCE instance)
{
    using namespace WindowsToolkit;
    HWND window = GetHandle();
    const Pictures::ImageResource* background = &skin->background;
    for (const Placement& place : kPlacements) {
        const float value = GetModel()->GetParameterValue(place.parameter);
        const float resetValue = MorlentDelay::kParameters[place.parameter].resetValue;
        const MorlentDelay::Point at = MorlentDelay::kControlPositions[place.parameter];
        ParameterControl* control = nullptr;
        if (place.kind == Kind::Knob)
            control = Knob::Create(background, place.parameter, resetValue, value, &skin->knob, at.x, at.y, window,
                                   instance);
        else
            control = Multiswitch::Create(background, place.parameter, resetValue, value,
                                          place.kind == Kind::Toggle ? &skin->toggle : &skin->syncLed, at.x, at.y,
                                          window, instance);
        AddParameterControl(control);
    }
    for (const ButtonPlacement& place : kSyncButtons) {
        if (IncrementButton* button =
                IncrementButton::Create(background, &skin->syncButton, place.position.x, place.position.y, window,
                                        instance))
            button->SetTarget(GetParameterControl(place.target));
    }
    statusControl = StatusControl::Create(background, kStatusRect, window, instance);
}

int MorlentDelayView::OnPaint()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(GetHandle(), &paint);
    if (dc != nullptr && skin->background.GetBitmap() != nullptr) {
        Pictures::Graphics graphics(dc);
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
    DialogBoxParamA(instance, MorlentDelay::kAboutDialogName, GetHandle(), AboutDialogProc, 0);
}
