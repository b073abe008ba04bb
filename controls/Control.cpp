#include "controls/Control.h"

namespace Controls {

namespace {

class NoSite final : public ControlSite {
public:
    void Invalidate() override {}
    void CapturePointer() override {}
    void ReleasePointer() override {}
    bool HasPointerCapture() const override { return false; }
    void TrackHover() override {}
    void Notify(Notice) override {}
};

} // namespace

ControlSite& DetachedSite() noexcept
{
    static NoSite site;
    return site;
}

bool Control::OnLeftButtonDown(Point, Modifiers) { return false; }
bool Control::OnLeftButtonUp(Point, Modifiers) { return false; }
bool Control::OnRightButtonDown(Point, Modifiers) { return false; }
bool Control::OnPointerMove(Point, Modifiers, bool) { return false; }
bool Control::OnHover() { return false; }
bool Control::OnLeave() { return false; }
bool Control::OnWheel(short, Modifiers) { return false; }

} // namespace Controls
