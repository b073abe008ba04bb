// Audio files on Windows, where the builds carry no audio library: our own WAV code.

#include "host/WavFile.h"

namespace MorlentHost {

std::unique_ptr<AudioReader> OpenAudioReader(const std::string& path, std::string& error)
{
    return WavReader::Open(path, error);
}

std::unique_ptr<AudioWriter> CreateAudioWriter(const std::string& path, const AudioFormat& format, std::string& error)
{
    return WavWriter::Create(path, format, error);
}

} // namespace MorlentHost
