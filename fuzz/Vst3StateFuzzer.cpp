// The VST 3 component's setState with an arbitrary stream: the first byte says how many bytes
// each read hands over (0: all it is asked for), the rest is the stream. Whatever the bytes, the
// effect must not crash, a refused stream must leave its state exactly as it was, and an
// accepted one must read back the same through getState and setState.

#include "vst3/MemoryStream.h"
#include "vst3/Vst3Effect.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using namespace Vst3;

std::vector<uint8_t> State(IComponent* component)
{
    MemoryStream out;
    if (component->getState(&out) != kResultOk)
        std::abort();
    return out.data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // One instance for the whole run, brought back to its built state after every accepted stream.
    static MorlentVst3::Vst3Effect* effect = [] {
        auto* created = new MorlentVst3::Vst3Effect;
        static_cast<IComponent*>(created)->initialize(nullptr);
        return created;
    }();
    IComponent* component = effect;
    IEditController* controller = effect;
    static const std::vector<uint8_t> built = State(component);
    MemoryStream stream(std::vector<uint8_t>(data + 1, data + size), data[0]);
    const tresult result = component->setState(&stream);
    const std::vector<uint8_t> after = State(component);
    if (result != kResultOk) {
        if (after != built)
            std::abort(); // a refused stream changed the effect
        return 0;
    }
    for (ParamID id = 0; id < 12; ++id) {
        const ParamValue value = controller->getParamNormalized(id);
        if (!(value >= 0.0 && value <= 1.0))
            std::abort();
    }
    MemoryStream again(after);
    if (component->setState(&again) != kResultOk || State(component) != after)
        std::abort();
    MemoryStream reset(built);
    if (component->setState(&reset) != kResultOk)
        std::abort();
    return 0;
}
