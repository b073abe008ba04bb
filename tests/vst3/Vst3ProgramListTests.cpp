// The program list a host shows is the instance's own programs, the ones the program change
// parameter selects: a new instance's are all "Blank" (stored states rely on that), and the
// factory programs appear there when the host loads the factory bank as the state.

#include "common/Chunk.h"
#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "description/FactoryPrograms.h"
#include "framework/PluginCore.h"
#include "vst3/MemoryStream.h"
#include "vst3/Vst3Effect.h"

#include <gtest/gtest.h>

#include <string>

using namespace Vst3;
using MorlentVst3::Vst3Effect;

namespace {

class Core : public VstToolkit::PluginCore {
public:
    Core() : PluginCore(new MorlentDelayModel) { AttachToModel(); }
};

std::string Text(const char16* text)
{
    std::string out;
    for (; *text != 0; ++text)
        out.push_back(static_cast<char>(*text));
    return out;
}

// The factory bank as the VST 2 module writes it: every factory program set on one core.
std::vector<uint8_t> FactoryBankChunk()
{
    Core core;
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        const FactoryBank::Program& facts = FactoryBank::kPrograms[program];
        EXPECT_TRUE(core.SelectProgram(program));
        core.SetSelectedProgramName(facts.name);
        for (int32_t parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter)
            core.SetParameterValue(parameter, FactoryBank::NormalisedValue(facts, parameter));
    }
    EXPECT_TRUE(core.SelectProgram(0));
    Morlent::ChunkBuffer buffer;
    core.GetState(buffer, VstToolkit::PluginCore::StateScope::kBank);
    const auto* bytes = static_cast<const uint8_t*>(buffer.Data());
    return std::vector<uint8_t>(bytes, bytes + buffer.Length());
}

class Vst3ProgramListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect = new Vst3Effect;
        component = effect;
        ASSERT_EQ(component->initialize(nullptr), kResultOk);
        units = effect;
        ProgramListInfo list{};
        ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
        listId = list.id;
    }
    void TearDown() override
    {
        component->terminate();
        component->release();
    }

    std::string ListedName(int32 program)
    {
        String128 name{};
        EXPECT_EQ(units->getProgramName(listId, program, name), kResultOk);
        return Text(name);
    }

    Vst3Effect* effect = nullptr;
    IComponent* component = nullptr;
    IUnitInfo* units = nullptr;
    ProgramListID listId = 0;
};

} // namespace

TEST_F(Vst3ProgramListTest, ANewInstanceListsBlankProgramsAsEveryFormatStartsWith)
{
    for (int32 program = 0; program < MorlentDelay::kProgramCount; ++program)
        EXPECT_EQ(ListedName(program), "Blank") << program;
    // The program change parameter names the same programs.
    String128 text{};
    ASSERT_EQ(effect->getParamStringByValue(MorlentVst3::kProgramParamId, 1.0, text), kResultOk);
    EXPECT_EQ(Text(text), "Blank");
}

TEST_F(Vst3ProgramListTest, TheFactoryBankAsStateListsTheFactoryProgramsAndEachSelectsItsSettings)
{
    MemoryStream state(FactoryBankChunk());
    ASSERT_EQ(component->setState(&state), kResultOk);
    for (int32 program = 0; program < MorlentDelay::kProgramCount; ++program)
        EXPECT_EQ(ListedName(program), FactoryBank::kPrograms[program].name) << program;

    // Selecting a listed program through the program change parameter plays that program.
    constexpr int32 kDubEcho = 14;
    ASSERT_EQ(std::string(FactoryBank::kPrograms[kDubEcho].name), "Dub Echo");
    ASSERT_EQ(effect->setParamNormalized(MorlentVst3::kProgramParamId,
                                         static_cast<double>(kDubEcho) / (MorlentDelay::kProgramCount - 1)),
              kResultOk);
    for (int32 parameter = 0; parameter < MorlentDelay::kParameterCount; ++parameter)
        EXPECT_FLOAT_EQ(static_cast<float>(effect->getParamNormalized(static_cast<ParamID>(parameter))),
                        FactoryBank::NormalisedValue(FactoryBank::kPrograms[kDubEcho], parameter))
            << parameter;
    String128 text{};
    ASSERT_EQ(effect->getParamStringByValue(MorlentVst3::kProgramParamId,
                                            static_cast<double>(kDubEcho) / (MorlentDelay::kProgramCount - 1), text),
              kResultOk);
    EXPECT_EQ(Text(text), "Dub Echo");
}
