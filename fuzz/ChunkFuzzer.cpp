// setChunk with arbitrary bytes, as a program (first byte odd) or a bank. Whatever the bytes,
// the plug-in must not crash, and a chunk it refuses must leave its state exactly as it was.

#include "fuzz/FuzzHost.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

void Run(FuzzSupport::EffectOnRecord& effect, FuzzSupport::Digest& digest, const uint8_t* data, size_t size)
{
    const bool preset = (data[0] & 1) != 0;
    std::vector<uint8_t> chunk(data + 1, data + size);
    const std::vector<uint8_t>& before = *digest.builtBank;
    const VstIntPtr accepted = effect.Dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(chunk.size()),
                                               chunk.empty() ? nullptr : chunk.data());
    const std::vector<uint8_t> after = effect.Chunk(false);
    digest.Add(accepted);
    digest.Add(after.data(), after.size());
    if (accepted == 0 && before != after)
        std::abort(); // a refused chunk changed the plug-in
    if (accepted == 0) {
        digest.NoteBank(after);
    } else {
        // Whatever was accepted is stored in range and round-trips through the plug-in itself.
        for (VstInt32 index = 0; index < 12; ++index) {
            const float value = effect.record->getParameter(effect.record, index);
            if (!(value >= 0.0f && value <= 1.0f))
                std::abort();
        }
        std::vector<uint8_t> again = after;
        if (effect.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(again.size()), again.data()) != 1)
            std::abort();
        again = effect.Chunk(false);
        if (again != after)
            std::abort();
        digest.NoteBank(again);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static FuzzSupport::ReusedInstance instance(FuzzSupport::SixtyFourBit());
    instance.RunOne([&](AEffect* record, FuzzSupport::Digest& digest) {
        FuzzSupport::EffectOnRecord effect(record);
        Run(effect, digest, data, size);
    });
    return 0;
}
