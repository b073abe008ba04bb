#include "editor/DelayControls.h"

#include "controls/Knob.h"
#include "controls/Multiswitch.h"
#include "editor/EditTarget.h"

namespace EditorCore {

namespace {
Pictures::ImageStrip StripFrom(const SkinPictures& skin, const StripFacts& facts)
{
    return Pictures::ImageStrip(skin.Of(facts.picture), facts.frameCount, facts.vertical);
}
} // namespace

DelayControls::DelayControls(const SkinPictures& skin, const EditTarget& target)
    : knobStrip(StripFrom(skin, kKnobStrip)), switchStrip(StripFrom(skin, kSwitchStrip)),
      syncLedStrip(StripFrom(skin, kSyncLedStrip)), syncButtonStrip(StripFrom(skin, kSyncButtonStrip))
{
    for (const ControlPlacement& place : kControlPlacements) {
        const float resetValue = MorlentDelay::kParameters[place.parameter].resetValue;
        const Pictures::Point at = PositionOf(place.parameter);
        std::unique_ptr<Controls::ParameterControl> control;
        if (place.kind == ControlKind::kKnob)
            control = std::make_unique<Controls::Knob>(&knobStrip, place.parameter, resetValue, at);
        else
            control = std::make_unique<Controls::Multiswitch>(
                place.kind == ControlKind::kToggle ? &switchStrip : &syncLedStrip, place.parameter, resetValue, at);
        control->SetValue(target.GetValue(place.parameter), false);
        byParameter[place.parameter] = control.get();
        controls.push_back(std::move(control));
    }
    for (const ButtonPlacement& place : kSyncButtons) {
        auto button = std::make_unique<Controls::IncrementButton>(&syncButtonStrip, place.position);
        button->SetTarget(byParameter[place.target]);
        controls.push_back(std::move(button));
    }
    auto line = std::make_unique<Controls::StatusText>(kStatusRect);
    status = line.get();
    controls.push_back(std::move(line));
}

int DelayControls::IndexAt(Pictures::Point point) const noexcept
{
    for (size_t i = 0; i < controls.size(); ++i)
        if (controls[i]->GetBounds().Contains(point))
            return static_cast<int>(i);
    return -1;
}

Controls::ParameterControl* DelayControls::AsParameterControl(int index) const noexcept
{
    if (index < 0 || index >= MorlentDelay::kParameterCount)
        return nullptr;
    return static_cast<Controls::ParameterControl*>(controls[static_cast<size_t>(index)].get());
}

Controls::ParameterControl* DelayControls::ControlOf(int parameter) const noexcept
{
    if (parameter < 0 || parameter >= MorlentDelay::kParameterCount)
        return nullptr;
    return byParameter[parameter];
}

} // namespace EditorCore
