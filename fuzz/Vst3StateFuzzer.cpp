// The VST 3 component's setState with an arbitrary stream: the first byte says how many bytes
// each read hands over (0: all it is asked for), the rest is the stream. Whatever the bytes, the
// effect must not crash, a refused stream must leave its state exactly as it was, and an
// accepted one must read back the same through getState and setState.

#include "vst3/Vst3Effect.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using namespace Vst3;

class FuzzStream final : public IBStream {
public:
    FuzzStream(const uint8_t* data, size_t size, size_t piece) : bytes(data, data + size), piece(piece) {}
    tresult VST3_API queryInterface(const TUID, void** object) override
    {
        if (object != nullptr)
            *object = nullptr;
        return kNoInterface;
    }
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }
    tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        if (buffer == nullptr || numBytes < 0)
            return kInvalidArgument;
        size_t count = bytes.size() - position;
        if (count > static_cast<size_t>(numBytes))
            count = static_cast<size_t>(numBytes);
        if (piece != 0 && count > piece)
            count = piece;
        if (count > 0)
            std::memcpy(buffer, bytes.data() + position, count);
        position += count;
        if (numBytesRead != nullptr)
            *numBytesRead = static_cast<int32>(count);
        return kResultOk;
    }
    tresult VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (buffer == nullptr || numBytes < 0)
            return kInvalidArgument;
        const auto* data = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), data, data + numBytes);
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult VST3_API seek(int64, int32, int64*) override { return kNotImplemented; }
    tresult VST3_API tell(int64* pos) override
    {
        if (pos == nullptr)
            return kInvalidArgument;
        *pos = static_cast<int64>(position);
        return kResultOk;
    }

    std::vector<uint8_t> bytes;
    size_t position = 0;
    size_t piece;
};

std::vector<uint8_t> State(IComponent* component)
{
    FuzzStream out(nullptr, 0, 0);
    if (component->getState(&out) != kResultOk)
        std::abort();
    return out.bytes;
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
    FuzzStream stream(data + 1, size - 1, data[0]);
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
    FuzzStream again(after.data(), after.size(), 0);
    if (component->setState(&again) != kResultOk || State(component) != after)
        std::abort();
    FuzzStream reset(built.data(), built.size(), 0);
    if (component->setState(&reset) != kResultOk)
        std::abort();
    return 0;
}
