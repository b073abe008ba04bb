#include "legacy/framework/ControllerMapper.h"

namespace VovezEdeduvo {
namespace Midi {

namespace {

// Serial-number order, so it survives the counter wrapping round.
bool IsLater(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b) > 0;
}

} // namespace

void ControllerMapper::Map(uint8_t controller, int32_t parameter)
{
    if (!IsIndex(parameter))
        return;
    bindingOrder[parameter].store(nextOrder.fetch_add(1, std::memory_order_relaxed), std::memory_order_relaxed);
    controllers[parameter].store(controller, std::memory_order_relaxed);
}

void ControllerMapper::Unmap(int32_t parameter)
{
    if (IsIndex(parameter))
        controllers[parameter].store(kUnbound, std::memory_order_relaxed);
}

void ControllerMapper::Clear()
{
    for (int32_t parameter = 0; parameter < kMaxParameters; ++parameter) {
        controllers[parameter].store(kUnbound, std::memory_order_relaxed);
        bindingOrder[parameter].store(0, std::memory_order_relaxed);
    }
}

bool ControllerMapper::IsMapped(int32_t parameter) const
{
    return IsIndex(parameter) && controllers[parameter].load(std::memory_order_relaxed) != kUnbound;
}

uint8_t ControllerMapper::GetController(int32_t parameter) const
{
    const int16_t controller = IsIndex(parameter) ? controllers[parameter].load(std::memory_order_relaxed) : kUnbound;
    return controller == kUnbound ? 0 : static_cast<uint8_t>(controller);
}

int32_t ControllerMapper::BoundInOrder(uint8_t controller, int32_t (&parameters)[kMaxParameters]) const
{
    int32_t count = 0;
    for (int32_t parameter = 0; parameter < kMaxParameters; ++parameter) {
        if (controllers[parameter].load(std::memory_order_relaxed) != controller)
            continue;
        // Insertion by binding time: a handful of bindings at most.
        const uint32_t order = bindingOrder[parameter].load(std::memory_order_relaxed);
        int32_t at = count++;
        while (at > 0 && IsLater(bindingOrder[parameters[at - 1]].load(std::memory_order_relaxed), order)) {
            parameters[at] = parameters[at - 1];
            --at;
        }
        parameters[at] = parameter;
    }
    return count;
}

} // namespace Midi
} // namespace VovezEdeduvo
