// The command-line host's readers of files a user hands it: presets (.fxp/.fxb), MIDI scripts
// and WAV files. Arbitrary bytes must give a clean refusal or a consistent result, never a
// crash, a hang or a read out of bounds.

#include "host/MidiScript.h"
#include "host/PresetFile.h"
#include "host/WavFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::vector<uint8_t> bytes(data + 1, data + size);
    std::string error;
    switch (data[0] % 3) {
    case 0: {
        MorlentHost::PresetFile preset;
        if (MorlentHost::PresetFile::Parse(bytes, preset, error)) {
            // Whatever parses writes back to bytes that parse to the same preset.
            MorlentHost::PresetFile again;
            if (!MorlentHost::PresetFile::Parse(preset.Serialize(), again, error) || again.chunk != preset.chunk ||
                again.pluginId != preset.pluginId || again.kind != preset.kind)
                std::abort();
        }
        break;
    }
    case 1: {
        std::vector<MorlentHost::TimedMidi> events;
        MorlentHost::ParseMidiScript(std::string(bytes.begin(), bytes.end()), events, error);
        break;
    }
    default: {
        static const std::string path = "/tmp/morlent-fuzz-" + std::to_string(getpid()) + ".wav";
        if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        if (auto reader = MorlentHost::WavReader::Open(path, error)) {
            const int channels = reader->Format().channels;
            if (channels <= 0 || channels > 65535)
                std::abort(); // the reader promised a format a WAV file cannot have
            std::vector<float> frames(static_cast<size_t>(channels) * 256);
            int64_t total = 0;
            while (size_t got = reader->Read(frames.data(), 256)) {
                total += static_cast<int64_t>(got);
                if (total > reader->Frames() + 256)
                    std::abort(); // more frames than the file holds
            }
        }
        break;
    }
    }
    return 0;
}
