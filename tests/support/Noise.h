#pragma once
// Repeatable white noise for tests and benchmarks.

#include <cstddef>
#include <random>
#include <vector>

namespace TestSupport {

// count samples evenly spread over (-level, level), the same for the same seed.
inline std::vector<float> Noise(size_t count, unsigned seed, float level = 1.0f)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> distribution(-level, level);
    std::vector<float> samples(count);
    for (float& sample : samples)
        sample = distribution(random);
    return samples;
}

} // namespace TestSupport
