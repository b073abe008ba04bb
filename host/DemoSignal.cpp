#include "host/DemoSignal.h"

namespace MorlentHost {

namespace {

// String periods for a pentatonic phrase, in hundredths of a hertz so the period in frames is
// integer arithmetic: A3, C4, D4, E4, G4, A4. Zero is a rest.
constexpr int kPitches[] = {22000, 26163, 29366, 32963, 39200, 44000};
constexpr int kPhrase[DemoSignal::kSteps] = {1, 0, 3, 0, 4, 2, 0, 5, 6, 0, 5, 4, 0, 3, 2, 0};
constexpr float kStringDamping = 0.4985f; // half of a loss just under one per round trip
constexpr int kLowestPitch = 22000;

} // namespace

DemoSignal::DemoSignal(int sampleRate)
{
    format_.channels = 2;
    format_.sampleRate = sampleRate;
    format_.encoding = SampleEncoding::Float32;
    stepFrames_ = sampleRate / 4; // an eighth at 120 BPM
    totalFrames_ = stepFrames_ * kSteps + static_cast<int64_t>(kSilentSeconds) * sampleRate;
    // A click falls by about 60 dB in 30 ms: (1 - 1/k)^n ~ 1/1000 with n = 0.03 R gives k = 0.0043 R.
    clickDecay_ = 1.0f - 1.0f / (0.0043f * static_cast<float>(sampleRate));
    const size_t longest = static_cast<size_t>(static_cast<int64_t>(sampleRate) * 100 / kLowestPitch) + 2;
    for (String& string : strings_)
        string.line.assign(longest, 0.0f);
}

float DemoSignal::NextNoise()
{
    noiseState_ = noiseState_ * 1664525u + 1013904223u;
    return static_cast<float>(noiseState_ >> 8) * (1.0f / 16777216.0f) - 0.5f;
}

void DemoSignal::StartStep(int step)
{
    const int pitch = kPhrase[step];
    if (pitch != 0) {
        String& string = strings_[step % 2];
        string.length = static_cast<size_t>(static_cast<int64_t>(format_.sampleRate) * 100 / kPitches[pitch - 1]);
        string.position = 0;
        string.gain = 0.8f;
        for (size_t i = 0; i < string.length; ++i)
            string.line[i] = NextNoise();
    }
    if (step % 2 == 0)
        clickLevel_ = step % 8 == 0 ? 0.7f : 0.35f;
}

size_t DemoSignal::Read(float* interleaved, size_t frames)
{
    size_t done = 0;
    for (; done < frames && frame_ < totalFrames_; ++done, ++frame_) {
        if (frame_ % stepFrames_ == 0 && frame_ / stepFrames_ < kSteps)
            StartStep(static_cast<int>(frame_ / stepFrames_));
        float voices[2] = {0.0f, 0.0f};
        for (int v = 0; v < 2; ++v) {
            String& string = strings_[v];
            if (string.length == 0)
                continue;
            const size_t next = string.position + 1 == string.length ? 0 : string.position + 1;
            const float out = string.line[string.position];
            string.line[string.position] = kStringDamping * (out + string.line[next]);
            string.position = next;
            voices[v] = out * string.gain;
        }
        const float click = clickLevel_ * NextNoise();
        // Stop the decay before it reaches denormal numbers, which are slow on some processors.
        clickLevel_ = clickLevel_ > 1e-6f ? clickLevel_ * clickDecay_ : 0.0f;
        // The two strings sit left and right of centre; the click is in the middle.
        interleaved[2 * done] = 0.75f * voices[0] + 0.35f * voices[1] + click;
        interleaved[2 * done + 1] = 0.35f * voices[0] + 0.75f * voices[1] + click;
    }
    return done;
}

} // namespace MorlentHost
