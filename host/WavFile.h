#pragma once
// Our own WAV reader and writer: 16- and 24-bit PCM and 32-bit float, any channel count.
// The reader accepts what real files carry: extra chunks, odd chunk sizes with their pad byte,
// WAVE_FORMAT_EXTENSIBLE, and a data size left unset by a streaming writer. The writer lays
// files out byte for byte as the Linux build's audio library does, so renders from the two
// builds compare equal.

#include "host/AudioFile.h"

#include <cstdio>

namespace MorlentHost {

class WavReader : public AudioReader {
public:
    ~WavReader() override;
    // Null with the reason in `error` for a missing, unreadable or unsupported file.
    static std::unique_ptr<WavReader> Open(const std::string& path, std::string& error);

    const AudioFormat& Format() const override { return format_; }
    size_t Read(float* interleaved, size_t frames) override;
    int64_t Frames() const override { return static_cast<int64_t>(dataBytes_ / frameBytes_); }

private:
    WavReader() = default;

    std::FILE* file_ = nullptr;
    AudioFormat format_;
    uint32_t frameBytes_ = 0;
    uint64_t dataBytes_ = 0;
    uint64_t consumed_ = 0;
    std::unique_ptr<uint8_t[]> raw_;
    size_t rawFrames_ = 0;
};

class WavWriter : public AudioWriter {
public:
    ~WavWriter() override;
    static std::unique_ptr<WavWriter> Create(const std::string& path, const AudioFormat& format, std::string& error);

    bool Write(const float* interleaved, size_t frames) override;
    bool Close() override;

private:
    WavWriter() = default;
    bool WriteHeader();

    std::FILE* file_ = nullptr;
    AudioFormat format_;
    uint32_t sampleBytes_ = 0;
    uint64_t frames_ = 0;
    bool failed_ = false;
    std::unique_ptr<uint8_t[]> raw_;
    size_t rawFrames_ = 0;
};

} // namespace MorlentHost
