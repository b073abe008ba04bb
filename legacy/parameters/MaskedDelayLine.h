#pragma once

#include <cstdint>
#include <cstring>
#include <memory>

namespace VovezEdeduvo {
namespace Effects {

// A ring of a power-of-two length, indexed through a mask, so any index lands inside it and a
// delay longer than the ring reads as that delay modulo the length.
struct MaskedDelayLine {
    // --- Set-up: may allocate; never on the audio thread ---

    // Allocates a zeroed ring; a length that is not a power of two is rounded up to one.
    explicit MaskedDelayLine(uint32_t requestedLength)
        : length(RoundUpToPowerOfTwo(requestedLength)), mask(length - 1), samples(new float[length]())
    {
    }

    static uint32_t RoundUpToPowerOfTwo(uint32_t value) noexcept
    {
        uint32_t power = 1;
        while (power < value && power < (1u << 31))
            power <<= 1;
        return power;
    }

    // --- Process ---

    // The value D samples back, before this sample's write, interpolated toward the older
    // neighbour: D = 0 is the newest sample. D must be finite, at least 0 and below 2^24.
    float Read(float delay) const noexcept
    {
        const int32_t whole = static_cast<int32_t>(delay);
        const float fraction = delay - static_cast<float>(whole);
        const uint32_t newer = (writeIndex - static_cast<uint32_t>(whole)) & mask;
        const float a = samples[newer];
        const float b = samples[(newer - 1) & mask];
        return a + (b - a) * fraction;
    }

    void Write(float value) noexcept
    {
        writeIndex = (writeIndex + 1) & mask;
        samples[writeIndex] = value;
        NoteWritten(1);
    }

    // Writers that fill the ring themselves, at the positions after writeIndex, report how
    // many they wrote once writeIndex has moved past them.
    void NoteWritten(uint32_t count) noexcept
    {
        written = count >= length - written ? length : written + count;
    }

    // --- Reset ---

    // Zeroes what was written since the last clear: the samples up to and including
    // writeIndex. A ring that has been round once is zeroed whole; one that was barely used
    // costs next to nothing, so a program change soon after another is cheap.
    void Clear() noexcept
    {
        if (written >= length) {
            std::memset(samples.get(), 0, sizeof(float) * length);
        } else if (written > 0) {
            const uint32_t first = (writeIndex - written + 1) & mask;
            if (first <= writeIndex) {
                std::memset(samples.get() + first, 0, sizeof(float) * written);
            } else {
                std::memset(samples.get() + first, 0, sizeof(float) * (length - first));
                std::memset(samples.get(), 0, sizeof(float) * (writeIndex + 1));
            }
        }
        written = 0;
    }

    const uint32_t length;
    uint32_t writeIndex = 0;
    const uint32_t mask;
    std::unique_ptr<float[]> samples;
    // How many of the newest positions may hold something other than zero.
    uint32_t written = 0;
};

} // namespace Effects
} // namespace VovezEdeduvo
