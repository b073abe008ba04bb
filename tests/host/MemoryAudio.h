#pragma once
// In-memory audio for tests of the render loop.

#include "host/AudioFile.h"

#include <algorithm>
#include <vector>

namespace MorlentHost {

class MemoryReader : public AudioReader {
public:
    MemoryReader(std::vector<float> interleaved, int channels, int rate) : samples_(std::move(interleaved))
    {
        format_.channels = channels;
        format_.sampleRate = rate;
    }
    const AudioFormat& Format() const override { return format_; }
    size_t Read(float* interleaved, size_t frames) override
    {
        const size_t channels = static_cast<size_t>(format_.channels);
        const size_t count = std::min(frames, samples_.size() / channels - position_);
        std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(position_ * channels), count * channels, interleaved);
        position_ += count;
        return count;
    }
    int64_t Frames() const override { return static_cast<int64_t>(samples_.size()) / format_.channels; }

private:
    std::vector<float> samples_;
    AudioFormat format_;
    size_t position_ = 0;
};

class MemoryWriter : public AudioWriter {
public:
    explicit MemoryWriter(int channels) : channels_(static_cast<size_t>(channels)) {}
    bool Write(const float* interleaved, size_t frames) override
    {
        samples.insert(samples.end(), interleaved, interleaved + frames * channels_);
        return true;
    }
    bool Close() override { return true; }
    float At(size_t frame, size_t channel) const { return samples[frame * channels_ + channel]; }
    size_t Frames() const { return samples.size() / channels_; }

    std::vector<float> samples;

private:
    size_t channels_;
};

} // namespace MorlentHost
