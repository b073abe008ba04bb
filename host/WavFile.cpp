#include "host/WavFile.h"

#include <cmath>
#include <cstring>

namespace MorlentHost {

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// RIFF sizes are 32-bit; a data chunk may not grow past what the size fields can say.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 256;
// A writer that was never closed leaves its data size unset; read such data to the end of the file.
constexpr uint32_t kUnsetSize = 0xFFFFFFFFu;
constexpr size_t kConversionFrames = 4096;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
int32_t Le32Of24(const uint8_t* p)
{
    const uint32_t bits = static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                          static_cast<uint32_t>(p[2]) << 24;
    return static_cast<int32_t>(bits) / 256;
}
void PutLe16(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutLe32(uint8_t* p, uint32_t v)
{
    PutLe16(p, v);
    PutLe16(p + 2, v >> 16);
}

uint32_t BytesPerSample(SampleEncoding encoding)
{
    switch (encoding) {
    case SampleEncoding::Pcm16:
        return 2;
    case SampleEncoding::Pcm24:
        return 3;
    default:
        return 4;
    }
}

// The conversion the Linux build's audio library applies, so both builds write equal bytes:
// scale to the full 32-bit range with clipping, round, and keep the top bytes.
int32_t FullScale(float sample)
{
    const double scaled = static_cast<double>(sample) * 2147483648.0;
    if (scaled >= 2147483647.0)
        return 0x7FFFFFFF;
    if (scaled <= -2147483648.0)
        return INT32_MIN;
    return static_cast<int32_t>(std::llrint(scaled));
}

long SkipAmount(uint32_t size) { return static_cast<long>(size) + static_cast<long>(size & 1u); }

} // namespace

WavReader::~WavReader()
{
    if (file_ != nullptr)
        std::fclose(file_);
}

std::unique_ptr<WavReader> WavReader::Open(const std::string& path, std::string& error)
{
    std::unique_ptr<WavReader> reader(new WavReader);
    reader->file_ = std::fopen(path.c_str(), "rb");
    if (reader->file_ == nullptr) {
        error = "cannot open " + path;
        return nullptr;
    }
    std::FILE* file = reader->file_;
    uint8_t riff[12];
    if (std::fread(riff, 1, 12, file) != 12 || std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        error = path + " is not a WAV file (no RIFF/WAVE header)";
        return nullptr;
    }
    bool haveFormat = false;
    uint16_t tag = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    for (;;) {
        uint8_t header[8];
        if (std::fread(header, 1, 8, file) != 8) {
            error = path + (haveFormat ? " has no data chunk" : " has no fmt chunk");
            return nullptr;
        }
        const uint32_t size = Le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            uint8_t fmt[40] = {};
            const uint32_t wanted = size < sizeof fmt ? size : static_cast<uint32_t>(sizeof fmt);
            if (size < 16 || std::fread(fmt, 1, wanted, file) != wanted) {
                error = path + " has a damaged fmt chunk";
                return nullptr;
            }
            tag = Le16(fmt);
            channels = Le16(fmt + 2);
            rate = Le32(fmt + 4);
            bits = Le16(fmt + 14);
            // The extensible form names the real format in the first two bytes of its sub-format GUID.
            if (tag == kFormatExtensible) {
                if (size < 40) {
                    error = path + " has a truncated WAVE_FORMAT_EXTENSIBLE fmt chunk";
                    return nullptr;
                }
                tag = Le16(fmt + 24);
            }
            if (std::fseek(file, SkipAmount(size) - static_cast<long>(wanted), SEEK_CUR) != 0) {
                error = path + " is truncated";
                return nullptr;
            }
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) {
                error = path + " has its data before its fmt chunk";
                return nullptr;
            }
            reader->dataBytes_ = size;
            break;
        } else if (std::fseek(file, SkipAmount(size), SEEK_CUR) != 0) {
            error = path + " is truncated";
            return nullptr;
        }
    }

    AudioFormat& format = reader->format_;
    if (tag == kFormatPcm && bits == 16)
        format.encoding = SampleEncoding::Pcm16;
    else if (tag == kFormatPcm && bits == 24)
        format.encoding = SampleEncoding::Pcm24;
    else if (tag == kFormatFloat && bits == 32)
        format.encoding = SampleEncoding::Float32;
    else {
        error = path + ": unsupported WAV encoding (format " + std::to_string(tag) + ", " + std::to_string(bits) +
                " bits); use 16- or 24-bit PCM or 32-bit float";
        return nullptr;
    }
    if (channels == 0 || rate == 0) {
        error = path + " declares no channels or no sample rate";
        return nullptr;
    }
    format.channels = channels;
    format.sampleRate = static_cast<int>(rate);
    reader->frameBytes_ = BytesPerSample(format.encoding) * channels;

    // Trust the file's length over a data size that is unset or too large.
    const long start = std::ftell(file);
    if (start >= 0 && std::fseek(file, 0, SEEK_END) == 0) {
        const long end = std::ftell(file);
        const uint64_t available = end > start ? static_cast<uint64_t>(end - start) : 0;
        if (reader->dataBytes_ == kUnsetSize || reader->dataBytes_ > available)
            reader->dataBytes_ = available;
        std::fseek(file, start, SEEK_SET);
    }
    reader->dataBytes_ -= reader->dataBytes_ % reader->frameBytes_;
    reader->rawFrames_ = kConversionFrames;
    reader->raw_.reset(new uint8_t[kConversionFrames * reader->frameBytes_]);
    return reader;
}

size_t WavReader::Read(float* interleaved, size_t frames)
{
    size_t done = 0;
    const size_t channels = static_cast<size_t>(format_.channels);
    while (done < frames && consumed_ < dataBytes_) {
        size_t want = frames - done < rawFrames_ ? frames - done : rawFrames_;
        const uint64_t left = (dataBytes_ - consumed_) / frameBytes_;
        if (want > left)
            want = static_cast<size_t>(left);
        const size_t got = std::fread(raw_.get(), frameBytes_, want, file_);
        if (got == 0) {
            consumed_ = dataBytes_;
            break;
        }
        consumed_ += static_cast<uint64_t>(got) * frameBytes_;
        const uint8_t* in = raw_.get();
        float* out = interleaved + done * channels;
        const size_t samples = got * channels;
        switch (format_.encoding) {
        case SampleEncoding::Pcm16:
            for (size_t i = 0; i < samples; ++i, in += 2)
                out[i] = static_cast<float>(static_cast<int16_t>(Le16(in))) * (1.0f / 32768.0f);
            break;
        case SampleEncoding::Pcm24:
            for (size_t i = 0; i < samples; ++i, in += 3) {
                const int32_t value = Le32Of24(in);
                out[i] = static_cast<float>(value) * (1.0f / 8388608.0f);
            }
            break;
        default:
            for (size_t i = 0; i < samples; ++i, in += 4) {
                const uint32_t bits = Le32(in);
                std::memcpy(&out[i], &bits, 4);
            }
            break;
        }
        done += got;
    }
    return done;
}

WavWriter::~WavWriter()
{
    if (file_ != nullptr)
        Close();
}

std::unique_ptr<WavWriter> WavWriter::Create(const std::string& path, const AudioFormat& format, std::string& error)
{
    if (format.encoding == SampleEncoding::Other || format.channels < 1 || format.channels > 64 ||
        format.sampleRate < 1) {
        error = "cannot write a WAV file of that format";
        return nullptr;
    }
    std::unique_ptr<WavWriter> writer(new WavWriter);
    writer->format_ = format;
    writer->sampleBytes_ = BytesPerSample(format.encoding);
    writer->file_ = std::fopen(path.c_str(), "wb");
    if (writer->file_ == nullptr) {
        error = "cannot create " + path;
        return nullptr;
    }
    writer->rawFrames_ = kConversionFrames;
    writer->raw_.reset(new uint8_t[kConversionFrames * writer->sampleBytes_ * static_cast<size_t>(format.channels)]);
    if (!writer->WriteHeader()) {
        error = "cannot write to " + path;
        return nullptr;
    }
    return writer;
}

// Float files carry a fact chunk with the frame count and a PAD chunk, as the Linux build's
// library writes them; PCM files have the plain 44-byte header.
bool WavWriter::WriteHeader()
{
    const bool isFloat = format_.encoding == SampleEncoding::Float32;
    const uint32_t headerBytes = isFloat ? 88 : 44;
    const uint64_t dataBytes = frames_ * sampleBytes_ * static_cast<uint64_t>(format_.channels);
    uint8_t header[88] = {};
    std::memcpy(header, "RIFF", 4);
    PutLe32(header + 4, static_cast<uint32_t>(headerBytes - 8 + dataBytes));
    std::memcpy(header + 8, "WAVEfmt ", 8);
    PutLe32(header + 16, 16);
    PutLe16(header + 20, isFloat ? kFormatFloat : kFormatPcm);
    PutLe16(header + 22, static_cast<uint32_t>(format_.channels));
    PutLe32(header + 24, static_cast<uint32_t>(format_.sampleRate));
    const uint32_t blockAlign = sampleBytes_ * static_cast<uint32_t>(format_.channels);
    PutLe32(header + 28, static_cast<uint32_t>(format_.sampleRate) * blockAlign);
    PutLe16(header + 32, blockAlign);
    PutLe16(header + 34, sampleBytes_ * 8);
    uint8_t* data = header + 36;
    if (isFloat) {
        std::memcpy(header + 36, "fact", 4);
        PutLe32(header + 40, 4);
        PutLe32(header + 44, static_cast<uint32_t>(frames_));
        std::memcpy(header + 48, "PAD ", 4);
        PutLe32(header + 52, 24);
        data = header + 80;
    }
    std::memcpy(data, "data", 4);
    PutLe32(data + 4, static_cast<uint32_t>(dataBytes));
    return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(header, 1, headerBytes, file_) == headerBytes;
}

bool WavWriter::Write(const float* interleaved, size_t frames)
{
    if (file_ == nullptr || failed_)
        return false;
    const size_t channels = static_cast<size_t>(format_.channels);
    while (frames > 0) {
        const size_t chunk = frames < rawFrames_ ? frames : rawFrames_;
        const size_t samples = chunk * channels;
        if ((frames_ + chunk) * sampleBytes_ * channels > kMaxDataBytes) {
            failed_ = true;
            return false;
        }
        uint8_t* out = raw_.get();
        for (size_t i = 0; i < samples; ++i) {
            const float sample = interleaved[i];
            if (format_.encoding == SampleEncoding::Float32) {
                uint32_t bits;
                std::memcpy(&bits, &sample, 4);
                PutLe32(out, bits);
                out += 4;
                continue;
            }
            const uint32_t full = static_cast<uint32_t>(FullScale(sample));
            if (format_.encoding == SampleEncoding::Pcm24)
                *out++ = static_cast<uint8_t>(full >> 8);
            *out++ = static_cast<uint8_t>(full >> 16);
            *out++ = static_cast<uint8_t>(full >> 24);
        }
        const size_t bytes = static_cast<size_t>(out - raw_.get());
        if (std::fwrite(raw_.get(), 1, bytes, file_) != bytes) {
            failed_ = true;
            return false;
        }
        frames_ += chunk;
        interleaved += samples;
        frames -= chunk;
    }
    return true;
}

bool WavWriter::Close()
{
    if (file_ == nullptr)
        return false;
    bool ok = !failed_ && WriteHeader();
    ok = std::fclose(file_) == 0 && ok;
    file_ = nullptr;
    return ok;
}

} // namespace MorlentHost
