#pragma once

#include <cstdint>
#include <memory>

namespace VovezEdeduvo {
namespace Effects {

// A ring of a power-of-two length, indexed through a mask, so any index lands inside it and a
// delay longer than the ring reads as that delay modulo the length.
struct MaskedDelayLine {
    // Set-up: allocates a zeroed ring; a length that is not a power of two is rounded up to one.
    explicit MaskedDelayLine(uint32_t requestedLength)
        : length(RoundUpToPowerOfTwo(requestedLength)), mask(length - 1), samples(new float[length]())
    {
    }

    static uint32_t RoundUpToPowerOfTwo(uint32_t value)
    {
        uint32_t power = 1;
        while (power < value && power < (1u << 31))
            power <<= 1;
        return power;
    }

    // The value D samples back, before this sample's write, interpolated toward the older
    // neighbour: D = 0 is the newest sample. D must be finite, at least 0 and below 2^24.
    float Read(float delay) const
    {
        const int32_t whole = static_cast<int32_t>(delay);
        const float fraction = delay - static_cast<float>(whole);
        const uint32_t newer = (writeIndex - static_cast<uint32_t>(whole)) & mask;
        const float a = samples[newer];
        const float b = samples[(newer - 1) & mask];
        return a + (b - a) * fraction;
    }

    void Write(float value)
    {
        writeIndex = (writeIndex + 1) & mask;
        samples[writeIndex] = value;
    }

    void Clear()
    {
        for (uint32_t i = 0; i < length; ++i)
            samples[i] = 0.0f;
    }

    const uint32_t length;
    uint32_t writeIndex = 0;
    const uint32_t mask;
    std::unique_ptr<float[]> samples;
};

} // namespace Effects
} // namespace VovezEdeduvo
