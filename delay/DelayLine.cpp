#include "delay/DelayLine.h"

#include <cstring>
#include <utility>

DelayLine::DelayLine(int32_t length) : samples(new float[length]()), length(length) {}

void DelayLine::Resize(int32_t newLength)
{
    if (newLength != length) {
        samples.reset(new float[newLength]());
        length = newLength;
    } else {
        Clear();
    }
    writeIndex = 0;
}

void DelayLine::Adopt(std::unique_ptr<float[]>& zeroedSamples, int32_t newLength) noexcept
{
    std::swap(samples, zeroedSamples);
    length = newLength;
    writeIndex = 0;
}

void DelayLine::Clear() noexcept
{
    // All bits zero is 0.0f; memset stays one call however the loop would be instrumented.
    std::memset(samples.get(), 0, sizeof(float) * static_cast<size_t>(length));
}
