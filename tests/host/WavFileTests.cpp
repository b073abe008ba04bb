#include "host/WavFile.h"
#include "host/PresetFile.h"

#include <gtest/gtest.h>

#include <cstring>

namespace MorlentHost {
namespace {

std::vector<float> ReadAll(AudioReader& reader, size_t piece)
{
    std::vector<float> all;
    std::vector<float> buffer(piece * static_cast<size_t>(reader.Format().channels));
    size_t got;
    while ((got = reader.Read(buffer.data(), piece)) > 0)
        all.insert(all.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(got * reader.Format().channels));
    return all;
}

void WriteFile(const std::string& path, const std::vector<float>& samples, SampleEncoding encoding, int channels)
{
    AudioFormat format;
    format.channels = channels;
    format.sampleRate = 44100;
    format.encoding = encoding;
    std::string error;
    auto writer = WavWriter::Create(path, format, error);
    ASSERT_TRUE(writer) << error;
    ASSERT_TRUE(writer->Write(samples.data(), samples.size() / static_cast<size_t>(channels)));
    ASSERT_TRUE(writer->Close());
}

// A ramp long enough to cross the reader's conversion buffer, plus full-scale and clipped values.
std::vector<float> TestSignal(size_t samples)
{
    std::vector<float> signal(samples);
    for (size_t i = 0; i < samples; ++i)
        signal[i] = static_cast<float>(static_cast<int>(i % 2001) - 1000) / 1000.0f;
    signal[3] = 1.0f;
    signal[4] = -1.0f;
    signal[5] = 1.75f;
    signal[6] = -3.0f;
    return signal;
}

TEST(WavFile, RoundTripsEachEncodingStreamedInOddPieces)
{
    const struct {
        SampleEncoding encoding;
        float step; // one quantisation step
        uint32_t fileBytes;
    } cases[] = {{SampleEncoding::Pcm16, 1.0f / 32768, 44 + 2 * 20000},
                 {SampleEncoding::Pcm24, 1.0f / 8388608, 44 + 3 * 20000},
                 {SampleEncoding::Float32, 0.0f, 88 + 4 * 20000}};
    const std::vector<float> signal = TestSignal(20000);
    for (const auto& c : cases) {
        for (int channels : {1, 2}) {
            const std::string path = "wav_round_trip.wav";
            WriteFile(path, signal, c.encoding, channels);
            std::vector<uint8_t> bytes;
            std::string error;
            ASSERT_TRUE(ReadWholeFile(path, bytes, error));
            EXPECT_EQ(c.fileBytes, bytes.size());

            auto reader = WavReader::Open(path, error);
            ASSERT_TRUE(reader) << error;
            EXPECT_EQ(c.encoding, reader->Format().encoding);
            EXPECT_EQ(channels, reader->Format().channels);
            EXPECT_EQ(44100, reader->Format().sampleRate);
            EXPECT_EQ(static_cast<int64_t>(20000 / channels), reader->Frames());
            const std::vector<float> back = ReadAll(*reader, 777);
            ASSERT_EQ(signal.size(), back.size());
            for (size_t i = 0; i < signal.size(); ++i) {
                const float expected = c.step == 0.0f ? signal[i] : std::max(-1.0f, std::min(1.0f, signal[i]));
                ASSERT_NEAR(expected, back[i], c.step) << i;
            }
            if (c.step != 0.0f) {
                EXPECT_EQ(1.0f - c.step, back[3]); // full scale is one step below 1
                EXPECT_EQ(1.0f - c.step, back[5]); // clipped, not wrapped around
                EXPECT_EQ(-1.0f, back[6]);
            }
        }
    }
}

// Builds a WAV file chunk by chunk, as other programs lay them out.
struct RiffBuilder {
    RiffBuilder()
    {
        static const char header[] = "RIFF\0\0\0\0WAVE";
        bytes.assign(header, header + 12);
    }
    std::vector<uint8_t> bytes;
    void Le(uint32_t value, int width)
    {
        for (int i = 0; i < width; ++i)
            bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void Chunk(const char* id, const std::vector<uint8_t>& body, uint32_t declared = 0)
    {
        bytes.insert(bytes.end(), id, id + 4);
        Le(declared != 0 ? declared : static_cast<uint32_t>(body.size()), 4);
        bytes.insert(bytes.end(), body.begin(), body.end());
        if (body.size() % 2 == 1)
            bytes.push_back(0);
    }
    static std::vector<uint8_t> Format(uint16_t tag, uint16_t channels, uint16_t bits, bool extensible)
    {
        RiffBuilder body;
        body.bytes.clear();
        body.Le(extensible ? 0xFFFE : tag, 2);
        body.Le(channels, 2);
        body.Le(48000, 4);
        body.Le(48000u * channels * bits / 8, 4);
        body.Le(channels * bits / 8u, 2);
        body.Le(bits, 2);
        if (extensible) {
            body.Le(22, 2);
            body.Le(bits, 2);
            body.Le(3, 4); // channel mask
            body.Le(tag, 2);
            const uint8_t guidTail[14] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
            body.bytes.insert(body.bytes.end(), guidTail, guidTail + 14);
        }
        return body.bytes;
    }
    bool Save(const std::string& path)
    {
        const uint32_t size = static_cast<uint32_t>(bytes.size() - 8);
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        std::string error;
        return WriteWholeFile(path, bytes, error);
    }
};

TEST(WavFile, ReadsFilesOtherProgramsWrite)
{
    // Odd-sized extra chunks before and between fmt and data, an extensible 24-bit format.
    RiffBuilder odd;
    odd.Chunk("LIST", {'I', 'N', 'F', 'O', 'x'});
    odd.Chunk("fmt ", RiffBuilder::Format(1, 2, 24, true));
    odd.Chunk("junk", {1, 2, 3});
    odd.Chunk("data", {0x00, 0x00, 0x40, 0x00, 0x00, 0xC0, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80});
    odd.Chunk("cue ", {9, 9});
    ASSERT_TRUE(odd.Save("wav_odd.wav"));
    std::string error;
    auto reader = WavReader::Open("wav_odd.wav", error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(SampleEncoding::Pcm24, reader->Format().encoding);
    EXPECT_EQ(48000, reader->Format().sampleRate);
    EXPECT_EQ(2, reader->Frames());
    EXPECT_EQ((std::vector<float>{0.5f, -0.5f, 8388607.0f / 8388608, -1.0f}), ReadAll(*reader, 1));

    // A streaming writer that never came back to fill in the data size; the last frame is cut.
    RiffBuilder unset;
    unset.Chunk("fmt ", RiffBuilder::Format(3, 1, 32, true));
    std::vector<uint8_t> data(4 * 3 + 2, 0);
    const float values[3] = {0.25f, -0.125f, 2.0f};
    std::memcpy(data.data(), values, sizeof values);
    unset.Chunk("data", data, 0xFFFFFFFFu);
    ASSERT_TRUE(unset.Save("wav_unset.wav"));
    reader = WavReader::Open("wav_unset.wav", error);
    ASSERT_TRUE(reader) << error;
    EXPECT_EQ(SampleEncoding::Float32, reader->Format().encoding);
    EXPECT_EQ((std::vector<float>{0.25f, -0.125f, 2.0f}), ReadAll(*reader, 64));
}

TEST(WavFile, RejectsWhatItCannotRead)
{
    RiffBuilder eightBit;
    eightBit.Chunk("fmt ", RiffBuilder::Format(1, 1, 8, false));
    eightBit.Chunk("data", {128, 128});
    ASSERT_TRUE(eightBit.Save("wav_8bit.wav"));
    RiffBuilder noData;
    noData.Chunk("fmt ", RiffBuilder::Format(1, 1, 16, false));
    ASSERT_TRUE(noData.Save("wav_nodata.wav"));
    RiffBuilder dataFirst;
    dataFirst.Chunk("data", {0, 0});
    dataFirst.Chunk("fmt ", RiffBuilder::Format(1, 1, 16, false));
    ASSERT_TRUE(dataFirst.Save("wav_datafirst.wav"));
    std::string error;
    ASSERT_TRUE(WriteWholeFile("wav_text.wav", {'h', 'e', 'l', 'l', 'o'}, error));

    const struct {
        const char* path;
        const char* reason;
    } cases[] = {{"wav_missing.wav", "cannot open"},
                 {"wav_text.wav", "not a WAV file"},
                 {"wav_8bit.wav", "unsupported WAV encoding"},
                 {"wav_nodata.wav", "no data chunk"},
                 {"wav_datafirst.wav", "data before its fmt"}};
    for (const auto& c : cases) {
        error.clear();
        EXPECT_FALSE(WavReader::Open(c.path, error)) << c.path;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << c.path << ": " << error;
    }
}

#ifndef _WIN32
// The Linux build writes through libsndfile, the Windows build through WavWriter: for the two
// builds' renders to compare byte for byte, the files must be laid out identically.
TEST(WavFile, WritesTheSameBytesAsTheLinuxAudioLibrary)
{
    std::vector<float> signal = TestSignal(6000);
    signal[7] = 1e-12f;
    signal[8] = -1e-12f;
    signal[9] = -0.6f;
    for (SampleEncoding encoding : {SampleEncoding::Pcm16, SampleEncoding::Pcm24, SampleEncoding::Float32}) {
        AudioFormat format;
        format.channels = 2;
        format.sampleRate = 48000;
        format.encoding = encoding;
        std::string error;
        auto library = CreateAudioWriter("wav_library.wav", format, error);
        ASSERT_TRUE(library) << error;
        ASSERT_TRUE(library->Write(signal.data(), signal.size() / 2));
        ASSERT_TRUE(library->Close());
        WriteFile("wav_own.wav", signal, encoding, 2);
        std::vector<uint8_t> own, theirs;
        ASSERT_TRUE(ReadWholeFile("wav_own.wav", own, error));
        ASSERT_TRUE(ReadWholeFile("wav_library.wav", theirs, error));
        // WriteFile writes 44.1 kHz; patch the rate fields to compare everything else.
        auto reader = WavReader::Open("wav_library.wav", error);
        ASSERT_TRUE(reader) << error;
        EXPECT_EQ(encoding, reader->Format().encoding);
        ASSERT_EQ(theirs.size(), own.size());
        std::memcpy(&own[24], &theirs[24], 8);
        EXPECT_TRUE(own == theirs) << "encoding " << static_cast<int>(encoding);
    }
}
#endif

} // namespace
} // namespace MorlentHost
