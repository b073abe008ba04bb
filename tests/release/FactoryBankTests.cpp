// The factory bank as a user gets it: the .fxb the build wrote, loaded through the record of
// the 64-bit module and of the first-generation module, every program's name and values as the
// table says, and every program audible, finite and echoing when it should.

#include "description/FactoryPrograms.h"

#include "host/PresetFile.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/HostDriver.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace MorlentDelay;
using FactoryBank::kPrograms;
using TestSupport::Dispatch;

constexpr float kRate = 44100.0f;
constexpr VstInt32 kBlock = 512;
constexpr double kTempo = 120.0; // the stand-in host's

static_assert(std::string_view(MORLENT_PRODUCT_TEXT) == kProductName &&
                  std::string_view(MORLENT_VENDOR_TEXT) == kVendorName,
              "the DLLs' version records name what the plug-in reports");

MorlentHost::PresetFile ReadBank()
{
    std::vector<uint8_t> bytes;
    std::string error;
    MorlentHost::PresetFile bank;
    EXPECT_TRUE(MorlentHost::ReadWholeFile(MORLENT_FACTORY_BANK, bytes, error)) << error;
    EXPECT_TRUE(MorlentHost::PresetFile::Parse(bytes, bank, error)) << error;
    return bank;
}

TEST(FactoryBankTable, NamesFitTheProgramFieldAndAreDistinct)
{
    std::set<std::string> names;
    for (const auto& program : kPrograms) {
        EXPECT_LE(std::strlen(program.name), 23u) << program.name;
        EXPECT_GT(std::strlen(program.name), 0u);
        EXPECT_NE(std::string(program.name), kDefaultProgramName);
        names.insert(program.name);
    }
    EXPECT_EQ(names.size(), static_cast<size_t>(kProgramCount));
}

TEST(FactoryBankTable, SettingsStayWhereBothModulesPlayThemAlike)
{
    for (const auto& program : kPrograms) {
        SCOPED_TRACE(program.name);
        // One second is the 64-bit module's longest delay.
        EXPECT_GE(program.leftSeconds, 0.0f);
        EXPECT_LE(program.leftSeconds, 1.0f);
        EXPECT_GE(program.rightSeconds, 0.0f);
        EXPECT_LE(program.rightSeconds, 1.0f);
        EXPECT_GT(std::max(program.leftSeconds, program.rightSeconds), 0.004f) << "no echo to hear";
        // Sync is one switch for both sides.
        EXPECT_EQ(program.leftNote == FactoryBank::kFree, program.rightNote == FactoryBank::kFree);
        // The first generation has no limiter in its feedback: below 1 its repeats die away.
        EXPECT_GE(program.feedback, 0.0f);
        EXPECT_LT(program.feedback, 0.95f);
        EXPECT_GE(program.cutoffHz, 20.0f);
        EXPECT_LE(program.cutoffHz, 10000.0f);
        EXPECT_GT(program.mix, 0.0f);
        EXPECT_LT(program.mix, 1.0f);
        for (int32_t i = 0; i < kParameterCount; ++i) {
            const float value = FactoryBank::NormalisedValue(program, i);
            EXPECT_GE(value, 0.0f) << kParameters[i].longName;
            EXPECT_LE(value, 1.0f) << kParameters[i].longName;
        }
    }
}

TEST(FactoryBankFile, IsAFirstGenerationBankOfAllPrograms)
{
    const MorlentHost::PresetFile bank = ReadBank();
    EXPECT_EQ(bank.kind, MorlentHost::PresetFile::Kind::Bank);
    EXPECT_EQ(bank.pluginId, kUniqueId);
    EXPECT_EQ(bank.pluginVersion, kFirstGenerationVendorVersion);
    EXPECT_EQ(bank.count, kProgramCount);
    EXPECT_EQ(bank.currentProgram, 0);
    // Header, 32 programs and a controller map with nothing learned.
    ASSERT_EQ(bank.chunk.size(), static_cast<size_t>(kSmallestBankChunkSize));
    int32_t chunkVersion = 0;
    std::memcpy(&chunkVersion, bank.chunk.data() + kChunkHeaderSize - 4, 4);
    EXPECT_EQ(chunkVersion, kFirstGenerationVendorVersion);
    for (int32_t i = kBankProgramsSize; i < kSmallestBankChunkSize; ++i)
        EXPECT_EQ(bank.chunk[static_cast<size_t>(i)], 0) << "controller flag " << i - kBankProgramsSize;
}

struct ModuleCase {
    const char* label;
    const char* path;
    bool firstGeneration;
};
void PrintTo(const ModuleCase& module, std::ostream* out) { *out << module.path; }

class FactoryBankInModule : public ::testing::TestWithParam<ModuleCase> {
protected:
    void SetUp() override
    {
        TestSupport::StandInHost::ResetQuiet();
        module.reset(new TestSupport::HostDriver(GetParam().path));
        ASSERT_TRUE(module->Loaded()) << GetParam().path;
        bank = ReadBank();
    }
    // An instance with the bank loaded, as a host opens the plug-in and then the bank.
    AEffect* OpenWithBank()
    {
        AEffect* effect = module->Open();
        if (effect == nullptr)
            return nullptr;
        TestSupport::Start(effect, kRate, kBlock);
        if (TestSupport::SetChunk(effect, bank.chunk, false) != 1) {
            Close(effect);
            return nullptr;
        }
        return effect;
    }
    static void Close(AEffect* effect)
    {
        Dispatch(effect, effMainsChanged, 0, 0);
        Dispatch(effect, effClose);
    }

    std::unique_ptr<TestSupport::HostDriver> module;
    MorlentHost::PresetFile bank;
};

TEST_P(FactoryBankInModule, EveryProgramHasItsNameAndValues)
{
    AEffect* effect = OpenWithBank();
    ASSERT_NE(effect, nullptr) << "the module refused the factory bank";
    for (int32_t p = 0; p < kProgramCount; ++p) {
        const FactoryBank::Program& program = kPrograms[p];
        SCOPED_TRACE(program.name);
        // A module need not answer the indexed name, but what it answers must be right.
        char indexed[64] = {};
        if (Dispatch(effect, effGetProgramNameIndexed, p, 0, indexed) == 1)
            EXPECT_STREQ(indexed, program.name);
        else
            EXPECT_FALSE(GetParam().firstGeneration) << "the first generation answers indexed names";
        Dispatch(effect, effSetProgram, 0, p);
        EXPECT_EQ(Dispatch(effect, effGetProgram), p);
        EXPECT_EQ(TestSupport::Text(effect, effGetProgramName), program.name);
        for (int32_t i = 0; i < kParameterCount; ++i)
            EXPECT_EQ(effect->getParameter(effect, i), FactoryBank::NormalisedValue(program, i))
                << kParameters[i].longName;
        // The note rows show the notes the table meant, not a neighbour.
        if (FactoryBank::IsSynced(program)) {
            EXPECT_EQ(TestSupport::Text(effect, effGetParamDisplay, kLeftSync), kNoteNames[program.leftNote]);
            EXPECT_EQ(TestSupport::Text(effect, effGetParamDisplay, kRightSync), kNoteNames[program.rightNote]);
        }
    }
    Close(effect);
}

// The first frame at which a channel's output leaves silence after the impulse at frame 0.
int FirstEcho(const std::vector<float>& channel)
{
    for (size_t n = 1; n < channel.size(); ++n)
        if (std::fabs(channel[n]) > 1e-4f)
            return static_cast<int>(n);
    return -1;
}

double Energy(const std::vector<float>& channel, size_t from)
{
    double sum = 0.0;
    for (size_t n = from; n < channel.size(); ++n)
        sum += static_cast<double>(channel[n]) * channel[n];
    return sum;
}

TEST_P(FactoryBankInModule, EveryProgramEchoesAudiblyAndFinitely)
{
    for (int32_t p = 0; p < kProgramCount; ++p) {
        const FactoryBank::Program& program = kPrograms[p];
        SCOPED_TRACE(program.name);
        AEffect* effect = OpenWithBank();
        ASSERT_NE(effect, nullptr);
        Dispatch(effect, effSetProgram, 0, p);
        // The 64-bit module glides its delays to a new program's for a fraction of a second;
        // the echoes measured are the program's own, after the glide.
        std::vector<float> settleLeft(static_cast<size_t>(3.0f * kRate)), settleRight(settleLeft.size());
        TestSupport::Render(effect, settleLeft, settleRight, kBlock);

        // An impulse, then silence for the echoes of the longest delay.
        std::vector<float> left(static_cast<size_t>(1.5f * kRate)), right(left.size());
        left[0] = right[0] = 1.0f;
        TestSupport::Render(effect, left, right, kBlock);
        Close(effect);

        bool finite = true;
        float peak = 0.0f;
        for (size_t n = 0; n < left.size(); ++n) {
            finite = finite && std::isfinite(left[n]) && std::isfinite(right[n]);
            peak = std::max({peak, std::fabs(left[n]), std::fabs(right[n])});
        }
        ASSERT_TRUE(finite);
        EXPECT_LT(peak, 1.5f);
        // The dry impulse is over after frame 0; what follows is the delayed path.
        EXPECT_GT(Energy(left, 1) + Energy(right, 1), 1e-4) << "silent after the impulse";

        // The first echo arrives when the program's delay says (a side with no delay has none).
        const bool synced = FactoryBank::IsSynced(program);
        const double beatsLeft = synced ? 4.0 / (32 >> program.leftNote) : 0.0;
        const double beatsRight = synced ? 4.0 / (32 >> program.rightNote) : 0.0;
        const double leftSeconds = synced ? beatsLeft * 60.0 / kTempo : program.leftSeconds;
        const double rightSeconds = synced ? beatsRight * 60.0 / kTempo : program.rightSeconds;
        if (leftSeconds * kRate >= 8.0) {
            EXPECT_NEAR(FirstEcho(left), leftSeconds * kRate, 2.0) << "left";
        }
        if (rightSeconds * kRate >= 8.0) {
            EXPECT_NEAR(FirstEcho(right), rightSeconds * kRate, 2.0) << "right";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Modules, FactoryBankInModule,
                         ::testing::Values(ModuleCase{"current", MORLENT_CURRENT_MODULE_PATH, false},
                                           ModuleCase{"firstGeneration", MORLENT_FIRST_GENERATION_MODULE_PATH, true}),
                         [](const ::testing::TestParamInfo<ModuleCase>& info) { return info.param.label; });

} // namespace
