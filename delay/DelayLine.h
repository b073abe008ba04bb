#pragma once

#include <cstdint>
#include <memory>

// A ring of samples; writeIndex is the most recently written one. DelayEngine reads and
// writes its samples inside its sample loops and moves the write position after each call.
// Plain single-threaded DSP state: its owner calls every member from one thread at a time.
class DelayLine {
public:
    // --- Set-up: may allocate; never on the audio thread ---

    explicit DelayLine(int32_t length);
    // A new array only when the length changes; always emptied, index 0.
    void Resize(int32_t length);

    // --- Settings: allocation-free ---

    // Takes over a zeroed array of the given length and hands the previous array back through
    // the same pointer, to be freed by the caller.
    void Adopt(std::unique_ptr<float[]>& zeroedSamples, int32_t length) noexcept;

    // --- Reset ---

    // Empties the line; the write position stays.
    void Clear() noexcept;

    // --- Process: the engine's loops read and write the samples ---

    int32_t GetLength() const noexcept { return length; }
    int32_t GetWriteIndex() const noexcept { return writeIndex; }
    const float* GetSamples() const noexcept { return samples.get(); }
    float* GetSamples() noexcept { return samples.get(); }
    // The engine keeps the position in a local inside its loops; index lies inside the ring.
    void SetWriteIndex(int32_t index) noexcept { writeIndex = index; }

private:
    std::unique_ptr<float[]> samples;
    int32_t length;
    int32_t writeIndex = 0;
};
