#pragma once

#include <atomic>
#include <cstdint>

namespace VovezEdeduvo {
namespace Midi {

// The MIDI controller map: which controller drives which parameters. A parameter answers to at
// most one controller; a controller may drive several parameters, in the order they were bound.
//
// The map lives in fixed storage, one entry per parameter, so learning a controller on the
// audio thread allocates nothing. Entries are atomics: the model changes them under its lock,
// while the editor reads them without it to build its menu.
class ControllerMapper {
public:
    static constexpr int32_t kMaxParameters = 128;
    // Controller numbers are a MIDI data byte: 0..127.
    static constexpr int32_t kControllerCount = 128;

    ControllerMapper() { Clear(); }
    virtual ~ControllerMapper() = default;

    // Binds the parameter to the controller, dropping its earlier binding; it comes last in the
    // controller's order, also when it was bound to that controller already.
    void Map(uint8_t controller, int32_t parameter);
    void Unmap(int32_t parameter);
    void Clear();
    bool IsMapped(int32_t parameter) const;
    // The parameter's controller; 0 for a parameter that is not bound (ask IsMapped first).
    uint8_t GetController(int32_t parameter) const;

    // Sets every parameter the controller drives to value, oldest binding first: the model's
    // SetParameterValue (parameter, value), then NotifyParameterChanged (no one excluded).
    template <typename Model> void Apply(uint8_t controller, Model& model, float value)
    {
        int32_t bound[kMaxParameters];
        const int32_t count = BoundInOrder(controller, bound);
        for (int32_t i = 0; i < count; ++i) {
            model.SetParameterValue(bound[i], value);
            model.NotifyParameterChanged(nullptr, bound[i]);
        }
    }

    // The parameters the controller drives, oldest binding first; answers their count.
    int32_t BoundInOrder(uint8_t controller, int32_t (&parameters)[kMaxParameters]) const;

private:
    static constexpr int16_t kUnbound = -1;
    static bool IsIndex(int32_t parameter) { return parameter >= 0 && parameter < kMaxParameters; }

    std::atomic<int16_t> controllers[kMaxParameters];
    // When each binding was made, for the order within one controller.
    std::atomic<uint32_t> bindingOrder[kMaxParameters];
    std::atomic<uint32_t> nextOrder{0};
};

} // namespace Midi
} // namespace VovezEdeduvo
