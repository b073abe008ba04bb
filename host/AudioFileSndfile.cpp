// Audio files on Linux through libsndfile, which reads every common format.

#include "host/AudioFile.h"

#include <sndfile.h>

namespace MorlentHost {

namespace {

SampleEncoding EncodingOf(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_16:
        return SampleEncoding::Pcm16;
    case SF_FORMAT_PCM_24:
        return SampleEncoding::Pcm24;
    case SF_FORMAT_FLOAT:
        return SampleEncoding::Float32;
    default:
        return SampleEncoding::Other;
    }
}

int NativeOf(const AudioFormat& format)
{
    if (format.nativeFormat != 0)
        return format.nativeFormat;
    switch (format.encoding) {
    case SampleEncoding::Pcm16:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    case SampleEncoding::Pcm24:
        return SF_FORMAT_WAV | SF_FORMAT_PCM_24;
    default:
        return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    }
}

class SndfileReader : public AudioReader {
public:
    SndfileReader(SNDFILE* file, const SF_INFO& info) : file_(file), frames_(info.frames)
    {
        format_.channels = info.channels;
        format_.sampleRate = info.samplerate;
        format_.encoding = EncodingOf(info.format);
        format_.nativeFormat = info.format;
    }
    ~SndfileReader() override { sf_close(file_); }
    const AudioFormat& Format() const override { return format_; }
    size_t Read(float* interleaved, size_t frames) override
    {
        const sf_count_t got = sf_readf_float(file_, interleaved, static_cast<sf_count_t>(frames));
        return got > 0 ? static_cast<size_t>(got) : 0;
    }
    int64_t Frames() const override { return frames_; }

private:
    SNDFILE* file_;
    AudioFormat format_;
    int64_t frames_;
};

class SndfileWriter : public AudioWriter {
public:
    explicit SndfileWriter(SNDFILE* file) : file_(file) {}
    ~SndfileWriter() override { Close(); }
    bool Write(const float* interleaved, size_t frames) override
    {
        return file_ != nullptr &&
               sf_writef_float(file_, interleaved, static_cast<sf_count_t>(frames)) == static_cast<sf_count_t>(frames);
    }
    bool Close() override
    {
        if (file_ == nullptr)
            return false;
        const bool ok = sf_close(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    SNDFILE* file_;
};

} // namespace

std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        error = "cannot read " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    return std::unique_ptr<AudioReader>(new SndfileReader(file, info));
}

std::unique_ptr<AudioWriter> CreateAudioWriter(const std::string& path, const AudioFormat& format, std::string& error)
{
    SF_INFO info{};
    info.channels = format.channels;
    info.samplerate = format.sampleRate;
    info.format = NativeOf(format);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = "cannot create " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    // Clip instead of wrapping around, and no PEAK chunk: the Windows build writes none, and the
    // two builds' renders must compare byte for byte.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
    return std::unique_ptr<AudioWriter>(new SndfileWriter(file));
}

} // namespace MorlentHost
