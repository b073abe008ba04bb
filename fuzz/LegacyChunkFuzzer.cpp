// The first generation's chunk reader through setChunk, with arbitrary bytes as a program (first
// byte odd) or a bank. A refused chunk changes no byte of the bank and leaves the controller map
// as it was; an accepted one holds only values in 0..1 and what the plug-in then writes comes
// back byte for byte.

#include "fuzz/LegacyFuzzHost.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using FuzzSupport::Digest;
using VovezEdeduvo::Model;

// Every entry of the map, the ones beyond the effect's parameters included.
std::vector<int> ControllerMap(const Model& model)
{
    std::vector<int> map;
    for (int32_t parameter = 0; parameter < Model::kMaxParameters; ++parameter)
        map.push_back(model.IsMapped(parameter) ? model.GetController(parameter) : -1);
    return map;
}

void Run(AEffect* record, Digest& digest, const uint8_t* data, size_t size)
{
    Model& model = *FuzzSupport::LegacyPlugin(record)->GetModel();
    const bool preset = (data[0] & 1) != 0;
    std::vector<uint8_t> chunk(data + 1, data + size);
    const std::vector<uint8_t>& before = *digest.builtBank;
    const std::vector<int> mapBefore = ControllerMap(model);
    const VstIntPtr accepted = TestSupport::Dispatch(record, effSetChunk, preset ? 1 : 0,
                                                     static_cast<VstIntPtr>(chunk.size()),
                                                     chunk.empty() ? nullptr : chunk.data());
    const std::vector<uint8_t> after = TestSupport::Chunk(record, false);
    digest.Add(accepted);
    digest.Add(after.data(), after.size());
    if (accepted == 0) {
        if (before != after || mapBefore != ControllerMap(model))
            std::abort(); // a refused chunk changed the plug-in
        digest.NoteBank(after);
        return;
    }
    for (int32_t program = 0; program < model.GetProgramCount(); ++program)
        for (int32_t index = 0; index < model.GetParameterCount(); ++index) {
            const float value = model.GetProgramParameterValue(program, index);
            if (!(value >= 0.0f && value <= 1.0f))
                std::abort();
        }
    // Nothing changed the bank since it was read.
    const std::vector<uint8_t> written = preset ? TestSupport::Chunk(record, true) : after;
    const std::vector<uint8_t> again = TestSupport::SetChunk(record, written, preset) == 1
                                           ? TestSupport::Chunk(record, preset)
                                           : std::vector<uint8_t>{};
    if (again != written)
        std::abort();
    if (!preset)
        digest.NoteBank(again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static FuzzSupport::ReusedInstance instance(FuzzSupport::FirstGeneration());
    instance.RunOne([&](AEffect* record, Digest& digest) { Run(record, digest, data, size); });
    return 0;
}
