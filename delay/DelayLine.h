#pragma once

#include <cstdint>
#include <memory>

// A ring of samples; writeIndex is the most recently written one. DelayEngine reads and
// writes its samples inside its sample loops and moves the write position after each call.
// Plain single-threaded DSP state: its owner calls every member from one thread at a time.
class DelayLine {
public:
    explicit DelayLine(int32_t length);

    // Set-up, may allocate: a new array only when the length changes; always emptied, index 0.
    void Resize(int32_t length);
    // Allocation-free: takes over a zeroed array of the given length and hands the previous
    // array back through the same pointer, to be freed by the caller.
    void Adopt(std::unique_ptr<float[]>& zeroedSamples, int32_t length);
    // Empties the line; the write position stays.
    void Clear();

    int32_t GetLength() const { return length; }
    int32_t GetWriteIndex() const { return writeIndex; }
    const float* GetSamples() const { return samples.get(); }
    float* GetSamples() { return samples.get(); }
    // The engine keeps the position in a local inside its loops; index lies inside the ring.
    void SetWriteIndex(int32_t index) { writeIndex = index; }

private:
    std::unique_ptr<float[]> samples;
    int32_t length;
    int32_t writeIndex = 0;
};
