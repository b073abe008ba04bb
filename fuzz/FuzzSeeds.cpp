// Writes valid chunks into a corpus folder: programs and banks as this module writes them, and
// as the first-generation module wrote them (version 2600, and early banks without a controller
// map). The first byte of each seed selects program (odd) or bank (even), as the fuzzer reads it.

#include "fuzz/FuzzHost.h"
#include "fuzz/LegacyFuzzHost.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Write(const std::string& folder, const char* name, bool preset, std::vector<uint8_t> chunk)
{
    chunk.insert(chunk.begin(), preset ? 1 : 0);
    const std::string path = folder + "/" + name;
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(chunk.data(), 1, chunk.size(), file);
        std::fclose(file);
    }
}

void SetVersion(std::vector<uint8_t>& chunk, int32_t version)
{
    for (int i = 0; i < 4; ++i)
        chunk[160 + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(version) >> (8 * i));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_DIR\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    FuzzEffect effect;
    Write(folder, "program-fresh", true, effect.Chunk(true));
    Write(folder, "bank-fresh", false, effect.Chunk(false));

    for (VstInt32 index = 0; index < 12; ++index)
        effect.record->setParameter(effect.record, index, static_cast<float>(index) / 11.0f);
    char name[24] = "Seeded";
    effect.Dispatch(effSetProgramName, 0, 0, name);
    std::vector<uint8_t> bank = effect.Chunk(false);
    // Bind controllers 7 and 64 the way a learned bank stores them.
    std::vector<uint8_t> mapped(bank.begin(), bank.begin() + 2468);
    const uint8_t map[] = {1, 7, 0, 0, 0, 0, 1, 64, 0, 0, 0, 0, 0, 0};
    mapped.insert(mapped.end(), map, map + sizeof map);
    Write(folder, "program-values", true, effect.Chunk(true));
    Write(folder, "bank-mapped", false, mapped);

    std::vector<uint8_t> legacyProgram = effect.Chunk(true);
    SetVersion(legacyProgram, 2600);
    Write(folder, "program-first-generation", true, legacyProgram);
    std::vector<uint8_t> legacyBank = mapped;
    SetVersion(legacyBank, 2600);
    Write(folder, "bank-first-generation", false, legacyBank);
    std::vector<uint8_t> earlyBank(bank.begin(), bank.begin() + 2468);
    SetVersion(earlyBank, 2110);
    Write(folder, "bank-without-map", false, earlyBank);
    std::vector<uint8_t> firstMappedBank = mapped;
    SetVersion(firstMappedBank, MorlentDelay::kLastVersionWithoutControllerMap + 1);
    Write(folder, "bank-2111", false, firstMappedBank);

    // The first-generation module's own chunks, as it writes them.
    AEffect* legacy = FuzzSupport::FirstGeneration().make();
    Write(folder, "first-generation-program-fresh", true, TestSupport::Chunk(legacy, true));
    Write(folder, "first-generation-bank-fresh", false, TestSupport::Chunk(legacy, false));
    for (VstInt32 index = 0; index < 12; ++index)
        legacy->setParameter(legacy, index, static_cast<float>(11 - index) / 11.0f);
    TestSupport::Dispatch(legacy, effSetProgramName, 0, 0, name);
    const std::vector<uint8_t> legacyValues = TestSupport::Chunk(legacy, false);
    Write(folder, "first-generation-program-values", true, TestSupport::Chunk(legacy, true));
    std::vector<uint8_t> legacyMapped(legacyValues.begin(), legacyValues.begin() + MorlentDelay::kBankProgramsSize);
    legacyMapped.insert(legacyMapped.end(), map, map + sizeof map);
    Write(folder, "first-generation-bank-mapped", false, legacyMapped);
    std::vector<uint8_t> legacy2110(legacyValues.begin(), legacyValues.begin() + MorlentDelay::kBankProgramsSize);
    SetVersion(legacy2110, MorlentDelay::kLastVersionWithoutControllerMap);
    Write(folder, "first-generation-bank-2110", false, legacy2110);
    SetVersion(legacyMapped, MorlentDelay::kLastVersionWithoutControllerMap + 1);
    Write(folder, "first-generation-bank-2111", false, legacyMapped);
    FuzzSupport::Close(legacy);
    return 0;
}
