#pragma once
// Streaming audio file access for the host: a reader and a writer that move interleaved float
// frames a block at a time, so a render keeps the same memory however long the file is.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace MorlentHost {

enum class SampleEncoding { Pcm16, Pcm24, Float32, Other };

struct AudioFormat {
    int channels = 2;
    int sampleRate = 48000;
    SampleEncoding encoding = SampleEncoding::Float32;
    // The container and encoding as the Linux audio library names them, so an output can copy an
    // input's format exactly (a FLAC input gives a FLAC output). Zero means a WAV of `encoding`.
    int nativeFormat = 0;
};

class AudioReader {
public:
    virtual ~AudioReader() = default;
    virtual const AudioFormat& Format() const = 0;
    // Reads up to `frames` interleaved frames; fewer only at the end of the file.
    virtual size_t Read(float* interleaved, size_t frames) = 0;
    // The number of frames, or -1 when the file does not say.
    virtual int64_t Frames() const = 0;
};

class AudioWriter {
public:
    virtual ~AudioWriter() = default;
    virtual bool Write(const float* interleaved, size_t frames) = 0;
    // Completes the file; the writer is unusable afterwards.
    virtual bool Close() = 0;
};

// Both answer null and describe the fault in `error` when the file cannot be used.
std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error);
std::unique_ptr<AudioWriter> CreateAudioWriter(const std::string& path, const AudioFormat& format,
                                               std::string& error);

} // namespace MorlentHost
