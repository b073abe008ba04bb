#pragma once
// The delay editor's control tree: which control shows each parameter, from which film strip,
// where on the background, in the order every backend creates them; the two buttons that step
// the note rows; the status line; the click area of the view menu.

#include "description/EffectDescription.h"
#include "pictures/Geometry.h"

namespace EditorCore {

// The skin's pictures, by what they show.
enum class SkinPicture { kBackground, kKnob, kSwitch, kSyncLed, kSyncButton };
constexpr int kSkinPictureCount = 5;

struct StripFacts {
    SkinPicture picture;
    unsigned frameCount;
    bool vertical;
};
constexpr StripFacts kKnobStrip{SkinPicture::kKnob, MorlentDelay::kKnobFrames, true};
constexpr StripFacts kSwitchStrip{SkinPicture::kSwitch, MorlentDelay::kSwitchFrames, true};
constexpr StripFacts kSyncLedStrip{SkinPicture::kSyncLed, MorlentDelay::kSyncLedFrames, false};
constexpr StripFacts kSyncButtonStrip{SkinPicture::kSyncButton, MorlentDelay::kSyncButtonFrames, true};

enum class ControlKind { kKnob, kToggle, kSyncLeds };

struct ControlPlacement {
    ControlKind kind;
    MorlentDelay::Parameter parameter;
};

// In creation order.
constexpr ControlPlacement kControlPlacements[] = {
    {ControlKind::kToggle, MorlentDelay::kEnabled},         {ControlKind::kKnob, MorlentDelay::kLeftDelay},
    {ControlKind::kToggle, MorlentDelay::kSync},            {ControlKind::kKnob, MorlentDelay::kRightDelay},
    {ControlKind::kSyncLeds, MorlentDelay::kLeftSync},      {ControlKind::kSyncLeds, MorlentDelay::kRightSync},
    {ControlKind::kKnob, MorlentDelay::kFeedbackLevel},     {ControlKind::kToggle, MorlentDelay::kFilter},
    {ControlKind::kKnob, MorlentDelay::kCutoffFrequency},   {ControlKind::kToggle, MorlentDelay::kFilterType},
    {ControlKind::kToggle, MorlentDelay::kPan},             {ControlKind::kKnob, MorlentDelay::kWetDryMix},
};
static_assert(sizeof kControlPlacements / sizeof kControlPlacements[0] == MorlentDelay::kParameterCount,
              "a control for every parameter");

constexpr StripFacts StripOf(ControlKind kind)
{
    return kind == ControlKind::kKnob ? kKnobStrip : kind == ControlKind::kToggle ? kSwitchStrip : kSyncLedStrip;
}

constexpr Pictures::Point PositionOf(MorlentDelay::Parameter parameter)
{
    return Pictures::Point{MorlentDelay::kControlPositions[parameter].x, MorlentDelay::kControlPositions[parameter].y};
}

struct ButtonPlacement {
    MorlentDelay::Parameter target;
    Pictures::Point position;
};

// After the parameter controls.
constexpr ButtonPlacement kSyncButtons[] = {
    {MorlentDelay::kLeftSync, {MorlentDelay::kLeftSyncButtonPosition.x, MorlentDelay::kLeftSyncButtonPosition.y}},
    {MorlentDelay::kRightSync, {MorlentDelay::kRightSyncButtonPosition.x, MorlentDelay::kRightSyncButtonPosition.y}},
};

// The title banner and the display window, as the background picture draws them.
constexpr Pictures::Rect kMenuRect{MorlentDelay::kMenuArea.left, MorlentDelay::kMenuArea.top,
                                   MorlentDelay::kMenuArea.right, MorlentDelay::kMenuArea.bottom};
constexpr Pictures::Rect kStatusRect{MorlentDelay::kStatusArea.left, MorlentDelay::kStatusArea.top,
                                     MorlentDelay::kStatusArea.right, MorlentDelay::kStatusArea.bottom};

constexpr Pictures::Size kEditorSize{MorlentDelay::kEditorWidth, MorlentDelay::kEditorHeight};

} // namespace EditorCore
