// Every build renders the same bits: the Linux module, the 64-bit DLL and the 32-bit build's
// SSE2 arithmetic all share one engine. A fixed render through the whole plug-in (glides,
// both filters, cross-feedback, tempo sync, a learned controller) is reduced to a hash that
// must be the same number in every build.

#include "delay/MorlentDelayModel.h"
#include "vst2/Controller.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/EventList.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using namespace TestSupport;

uint64_t Fnv1a(uint64_t hash, const float* samples, size_t count)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples);
    for (size_t i = 0; i < count * sizeof(float); ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001B3ull;
    }
    return hash;
}

uint64_t RenderHash()
{
    StandInHost::ResetQuiet();
    AEffect* effect = (new VstToolkit::Controller(StandInHost::Callback, new MorlentDelayModel))->getAeffect();
    Dispatch(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    Dispatch(effect, effMainsChanged, 0, 1);
    const int bindings[12] = {-1, -1, -1, -1, -1, -1, 21, -1, -1, -1, -1, -1};
    SetChunk(effect, BankWithBindings(Chunk(effect, false), bindings), false);

    uint64_t hash = 0xCBF29CE484222325ull;
    std::vector<float> left(300), right(300);
    EventList midi;
    uint32_t noise = 5;
    for (int block = 0; block < 600; ++block) {
        // A change of settings every so often, so glides, filters and sync all take turns.
        switch (block % 100) {
        case 0: effect->setParameter(effect, 1, 0.1f + static_cast<float>(block % 7) * 0.1f); break;
        case 10: effect->setParameter(effect, 7, 1.0f); break;
        case 20: effect->setParameter(effect, 9, block % 200 == 20 ? 1.0f : 0.0f); break;
        case 30: effect->setParameter(effect, 8, 0.37f); break;
        case 40: effect->setParameter(effect, 10, 1.0f); break;
        case 50: effect->setParameter(effect, 3, 1.0f); break;
        case 60: effect->setParameter(effect, 4, 0.9f); break;
        case 70: effect->setParameter(effect, 3, 0.0f); break;
        case 80: effect->setParameter(effect, 11, 0.8f); break;
        case 90: effect->setParameter(effect, 2, 0.05f); break;
        default: break;
        }
        for (size_t i = 0; i < left.size(); ++i) {
            noise = noise * 1664525u + 1013904223u;
            const float click = (block * 300 + static_cast<int>(i)) % 5000 < 40 ? 0.8f : 0.0f;
            left[i] = click + static_cast<float>(static_cast<int32_t>(noise)) / 2.2e10f;
            // A triangle wave: plain arithmetic, where a library sine may differ between systems.
            const int phase = (block * 300 + static_cast<int>(i)) % 200;
            right[i] = static_cast<float>(phase < 100 ? phase - 50 : 150 - phase) * 0.006f;
        }
        midi.Clear();
        midi.Add(150, 0xB0, 21, static_cast<uint8_t>(block * 3 % 128));
        Dispatch(effect, effProcessEvents, 0, 0, midi.Events());
        float* channels[2] = {left.data(), right.data()};
        effect->processReplacing(effect, channels, channels, 300);
        hash = Fnv1a(hash, left.data(), left.size());
        hash = Fnv1a(hash, right.data(), right.size());
    }
    Dispatch(effect, effClose);
    return hash;
}

TEST(BitIdentity, EveryBuildRendersTheSameBits)
{
    EXPECT_EQ(0x54FF6D4275A5C5F4ull, RenderHash());
}

} // namespace
