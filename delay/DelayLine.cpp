#include "delay/DelayLine.h"

#include <algorithm>
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

void DelayLine::Adopt(std::unique_ptr<float[]>& zeroedSamples, int32_t newLength)
{
    std::swap(samples, zeroedSamples);
    length = newLength;
    writeIndex = 0;
}

void DelayLine::Clear()
{
    std::fill(samples.get(), samples.get() + length, 0.0f);
}
