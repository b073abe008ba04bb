// Writes the CLAP state fuzzer's seeds into a corpus folder: bank chunks as the plug-in saves
// them (a new instance's, one with values moved on two programs, one with a learned controller),
// each behind the two bytes the fuzzer reads first, for whole reads, byte-sized reads, odd-sized
// reads and a stream that fails part way.

#include "delay/MorlentDelayModel.h"
#include "framework/PluginCore.h"
#include "tests/support/EffectCalls.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

class Core : public VstToolkit::PluginCore {
public:
    Core() : PluginCore(new MorlentDelayModel) { AttachToModel(); }
    std::vector<uint8_t> Bank()
    {
        Morlent::ChunkBuffer buffer;
        GetState(buffer, StateScope::kBank);
        return std::vector<uint8_t>(buffer.Data(), buffer.Data() + buffer.Length());
    }
};

void Write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bank)
{
    const uint8_t prefixes[][2] = {{0, 0}, {1, 0}, {7, 0}, {64, 3}};
    for (const auto& prefix : prefixes) {
        const std::string path = folder + "/" + name + "-" + std::to_string(prefix[0]) + "-" + std::to_string(prefix[1]);
        if (FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(prefix, 1, 2, file);
            std::fwrite(bank.data(), 1, bank.size(), file);
            std::fclose(file);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    Core fresh;
    Write(folder, "bank-fresh", fresh.Bank());
    Core moved;
    moved.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.8f);
    moved.SelectProgram(5);
    moved.SetParameterValue(MorlentDelay::kCutoffFrequency, 0.3f);
    moved.SetSelectedProgramName("Seed");
    Write(folder, "bank-moved", moved.Bank());
    int bindings[MorlentDelay::kParameterCount];
    for (int& binding : bindings)
        binding = -1;
    bindings[MorlentDelay::kWetDryMix] = 7;
    Write(folder, "bank-learned", TestSupport::BankWithBindings(fresh.Bank(), bindings));
    return 0;
}
