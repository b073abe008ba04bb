// Host call streams against the 64-bit plug-in (HostCallStream.h): blocks up to 4096 frames.
// One instance serves the whole run, reset between inputs (FuzzInstance.h).

#include "fuzz/FuzzHost.h"
#include "fuzz/HostCallStream.h"
#include "description/EffectDescription.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ReusedInstance instance(FuzzSupport::SixtyFourBit());
    instance.RunOne([&](AEffect* record, FuzzSupport::Digest& digest) {
        FuzzSupport::Input in(data, size);
        FuzzSupport::HostCallStream<4096>(record, digest, MorlentDelay::kParameterCount).Play(in, 64);
    });
    return 0;
}
