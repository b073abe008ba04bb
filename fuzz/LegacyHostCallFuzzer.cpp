// Host call streams against the first-generation plug-in: blocks up to 40000 frames, longer
// than its 16384-frame pieces.

#include "fuzz/HostCallStream.h"
#include "fuzz/LegacyFuzzHost.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ReusedInstance instance(FuzzSupport::FirstGeneration());
    instance.RunOne([&](AEffect* record, FuzzSupport::Digest& digest) {
        FuzzSupport::Input in(data, size);
        FuzzSupport::HostCallStream<40000>(record, digest, MorlentDelay::kParameterCount).Play(in, 64);
    });
    return 0;
}
