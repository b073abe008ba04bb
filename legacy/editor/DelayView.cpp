#include "legacy/editor/DelayView.h"

#include "pictures/win32/Graphics.h"
#include "description/EffectDescription.h"
#include "legacy/controls/ToolkitClasses.h"

#include <shellapi.h>

namespace VovezEdeduvo {

namespace {

using MorlentDelay::Parameter;
using WindowToolkit::Switch;

enum class Kind { Knob, LedRow, Toggle, LeftButton, RightButton, Label };

struct Placement {
    Kind kind;
    Parameter parameter;
};

// In creation order; the places come from the shared face description.
constexpr Placement kPlacements[DelayView::kControlCount] = {
    {Kind::Knob, MorlentDelay::kLeftDelay},       {Kind::Knob, MorlentDelay::kRightDelay},
    {Kind::Knob, MorlentDelay::kFeedbackLevel},   {Kind::Knob, MorlentDelay::kCutoffFrequency},
    {Kind::Knob, MorlentDelay::kWetDryMix},       {Kind::LedRow, MorlentDelay::kLeftSync},
    {Kind::LedRow, MorlentDelay::kRightSync},     {Kind::Toggle, MorlentDelay::kPan},
    {Kind::LeftButton, MorlentDelay::kLeftSync},  {Kind::RightButton, MorlentDelay::kRightSync},
    {Kind::Toggle, MorlentDelay::kFilter},        {Kind::Toggle, MorlentDelay::kFilterType},
    {Kind::Toggle, MorlentDelay::kSync},          {Kind::Toggle, MorlentDelay::kEnabled},
    {Kind::Label, MorlentDelay::kEnabled},
};

constexpr const char kFontFace[] = "Arial";
// Marks, on the dialog, that the "Visit Website" button itself is being clicked.
constexpr const char kClickingProperty[] = "VisitWebsiteClicking";
constexpr const char kButtonProcedureProperty[] = "VisitWebsiteProcedure";

} // namespace

DelayView* DelayView::Create(const Pictures& pictures, Model* model, HINSTANCE instance, HWND parent)
{
    auto* view = new DelayView(pictures, model);
    const int width = pictures.background != nullptr ? pictures.background->GetWidth() : 0;
    const int height = pictures.background != nullptr ? pictures.background->GetHeight() : 0;
    if (WindowToolkit::CreateToolkitWindow(view, WindowToolkit::kViewClassName, 0, 0, width, height, parent, nullptr,
                                           instance) == nullptr)
        return nullptr;
    return view;
}

DelayView::DelayView(const Pictures& pictures, Model* model)
    : View(model), pictures(pictures),
      font(CreateFontA(kStatusFontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, kFontFace))
{
}

DelayView::~DelayView()
{
    if (font != nullptr)
        DeleteObject(font);
}

int DelayView::OnCreate(CREATESTRUCTA* create)
{
    HINSTANCE instance = create->hInstance;
    HWND window = GetHandle();
    for (const Placement& place : kPlacements) {
        const MorlentDelay::Point at = MorlentDelay::kControlPositions[place.parameter];
        const float reset = MorlentDelay::kParameters[place.parameter].firstGenerationResetValue;
        WindowToolkit::ValueControl* control = nullptr;
        switch (place.kind) {
        case Kind::Knob:
            control = WindowToolkit::Knob::Create(place.parameter, pictures.knob, pictures.background, true,
                                                  MorlentDelay::kKnobFrames, reset, at.x, at.y, window, instance);
            break;
        case Kind::LedRow:
            control = Switch::Create(place.parameter, Switch::Hit::Horizontal, pictures.syncLed, pictures.background,
                                     false, MorlentDelay::kSyncLedFrames, reset, at.x, at.y, window, instance);
            break;
        case Kind::Toggle:
            control = Switch::Create(place.parameter, Switch::Hit::Vertical, pictures.toggle, pictures.background, true,
                                     MorlentDelay::kSwitchFrames, reset, at.x, at.y, window, instance);
            break;
        case Kind::LeftButton:
        case Kind::RightButton: {
            const int which = place.kind == Kind::LeftButton ? 0 : 1;
            const MorlentDelay::Point button =
                which == 0 ? MorlentDelay::kLeftSyncButtonPosition : MorlentDelay::kRightSyncButtonPosition;
            buttons[which] = WindowToolkit::SelectorButton::Create(pictures.syncButton, pictures.background, true,
                                                                   MorlentDelay::kNoteCount, button.x, button.y,
                                                                   window, instance);
            if (buttons[which] == nullptr)
                return -1;
            buttons[which]->SetTarget(GetControl(place.parameter));
            continue;
        }
        case Kind::Label: {
            const MorlentDelay::Area area = MorlentDelay::kStatusArea;
            label = WindowToolkit::Label::Create(pictures.background, font, area.left, area.top,
                                                 area.right - area.left, area.bottom - area.top, window, instance);
            if (label == nullptr)
                return -1;
            continue;
        }
        }
        if (control == nullptr)
            return -1;
        AddControl(control);
        control->SetValue(GetModel()->GetParameterValue(place.parameter));
    }
    return 0;
}

int DelayView::OnPaint(HDC dc)
{
    if (dc != nullptr && pictures.background != nullptr) {
        ::Pictures::Graphics graphics(dc);
        graphics.DrawImage(pictures.background->GetBitmap(), 0, 0);
    }
    return 1;
}

RECT DelayView::GetMenuRect() const
{
    const MorlentDelay::Area area = MorlentDelay::kMenuArea;
    return RECT{area.left, area.top, area.right, area.bottom};
}

void DelayView::SetStatusText(const char* text)
{
    if (label != nullptr)
        label->SetText(text);
}

void DelayView::ShowAbout()
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(GetHandle(), GWLP_HINSTANCE));
    DialogBoxParamA(instance, MorlentDelay::kAboutDialogName, GetHandle(), AboutDialogProc, 0);
}

namespace {

// The button's own input (a mouse click, Space, BM_CLICK) reaches its procedure before the
// dialog hears of the click; Escape reaches the dialog alone, with the same identifier.
LRESULT CALLBACK VisitWebsiteButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND dialog = GetParent(button);
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(button, kButtonProcedureProperty));
    if (previous == nullptr)
        return DefWindowProcA(button, message, wParam, lParam);
    const bool ownInput = message == WM_LBUTTONUP || message == BM_CLICK ||
                          (message == WM_KEYUP && wParam == VK_SPACE) || (message == WM_CHAR && wParam == ' ');
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(button, kButtonProcedureProperty);
        return CallWindowProcA(previous, button, message, wParam, lParam);
    }
    if (!ownInput)
        return CallWindowProcA(previous, button, message, wParam, lParam);
    const HANDLE outer = GetPropA(dialog, kClickingProperty);
    SetPropA(dialog, kClickingProperty, reinterpret_cast<HANDLE>(1));
    const LRESULT result = CallWindowProcA(previous, button, message, wParam, lParam);
    if (outer == nullptr)
        RemovePropA(dialog, kClickingProperty);
    return result;
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        if (HWND button = GetDlgItem(dialog, MorlentDelay::kFirstGenerationVisitWebsiteId)) {
            const LONG_PTR previous = GetWindowLongPtrA(button, GWLP_WNDPROC);
            SetPropA(button, kButtonProcedureProperty, reinterpret_cast<HANDLE>(previous));
            SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VisitWebsiteButtonProc));
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == MorlentDelay::kFirstGenerationVisitWebsiteId) {
            if (GetPropA(dialog, kClickingProperty) == nullptr) {
                // Escape, which the dialog manager reports under the button's identifier.
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            // The browser opens beside the box, which stays.
            ShellExecuteA(dialog, "open", MorlentDelay::kWebSiteAddress, nullptr, nullptr, SW_SHOWNORMAL);
            return FALSE;
        }
        return FALSE;
    case WM_DESTROY:
        RemovePropA(dialog, kClickingProperty);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace VovezEdeduvo
