// Writes the factory bank: the programs of description/FactoryPrograms.h set on a
// first-generation plug-in and saved as its bank chunk in an .fxb. The first generation writes
// version 2600 chunks, which both modules load; the 64-bit module's own chunks are newer than the
// 32-bit one reads.
//
//     make_factory_bank OUT.fxb

#include "description/FactoryPrograms.h"

#include "host/PresetFile.h"
#include "description/EffectDescription.h"
#include "legacy/framework/DelayModel.h"
#include "legacy/framework/Plugin.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

int Fail(const std::string& message)
{
    std::fprintf(stderr, "make_factory_bank: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace MorlentDelay;
    if (argc != 2)
        return Fail("usage: make_factory_bank OUT.fxb");

    // As the first generation's entry point makes it, without a host: nothing here asks one.
    auto* model = new VovezEdeduvo::DelayModel(kInputCount, kOutputCount, kProgramCount);
    std::unique_ptr<VovezEdeduvo::Vst::Plugin> plugin(new VovezEdeduvo::Vst::Plugin(
        nullptr, kEffectName, kVendorName, kProductName, kFirstGenerationVendorVersion, kUniqueId, kCategory, model));

    for (int32_t p = 0; p < kProgramCount; ++p) {
        const FactoryBank::Program& program = FactoryBank::kPrograms[p];
        if (std::strlen(program.name) >= static_cast<size_t>(kProgramNameSize))
            return Fail(std::string("program name too long: ") + program.name);
        plugin->setProgram(p);
        char name[kProgramNameSize] = {};
        std::strncpy(name, program.name, sizeof name - 1);
        plugin->setProgramName(name);
        for (int32_t i = 0; i < kParameterCount; ++i)
            plugin->setParameter(i, FactoryBank::NormalisedValue(program, i));
    }
    // A host that loads the bank starts on its first program.
    plugin->setProgram(0);

    void* data = nullptr;
    const int32_t size = plugin->getChunk(&data, false);
    if (size <= 0 || data == nullptr)
        return Fail("the plug-in wrote no bank chunk");

    MorlentHost::PresetFile bank;
    bank.kind = MorlentHost::PresetFile::Kind::Bank;
    bank.formatVersion = 2;
    bank.pluginId = kUniqueId;
    bank.pluginVersion = plugin->getVendorVersion();
    bank.count = kProgramCount;
    bank.currentProgram = 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    bank.chunk.assign(bytes, bytes + size);

    std::string error;
    if (!MorlentHost::WriteWholeFile(argv[1], bank.Serialize(), error))
        return Fail(error);
    return 0;
}
