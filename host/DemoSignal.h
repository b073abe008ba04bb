#pragma once
// The built-in input of a render without an input file: a two-bar phrase of plucked notes and
// clicks at 120 BPM, then two seconds of silence for the echoes. Generated with plain
// arithmetic only (no library sine or exponential) so every build produces the same bits.

#include "host/AudioFile.h"

#include <vector>

namespace MorlentHost {

class DemoSignal : public AudioReader {
public:
    static constexpr int kSteps = 16; // eighth notes
    static constexpr int kSilentSeconds = 2;

    explicit DemoSignal(int sampleRate);

    const AudioFormat& Format() const override { return format_; }
    size_t Read(float* interleaved, size_t frames) override;
    int64_t Frames() const override { return totalFrames_; }

    // The first frame of step `step`, where its note or click starts.
    int64_t StepFrame(int step) const { return static_cast<int64_t>(step) * stepFrames_; }

private:
    struct String {
        std::vector<float> line; // one period of the plucked string
        size_t length = 0;
        size_t position = 0;
        float gain = 0.0f;
    };

    void StartStep(int step);
    float NextNoise();

    AudioFormat format_;
    int64_t stepFrames_;
    int64_t totalFrames_;
    int64_t frame_ = 0;
    uint32_t noiseState_ = 0x2545F491u;
    String strings_[2];
    float clickLevel_ = 0.0f;
    float clickDecay_;
};

} // namespace MorlentHost
