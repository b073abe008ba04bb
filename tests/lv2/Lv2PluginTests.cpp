// The built LV2 module driven as LV2 hosts drive it, held to the VST 2 module's sound: the
// same settings, given in each format's own terms, render the same bits.

#include "tests/lv2/Lv2Host.h"

#include "delay/MorlentDelayModel.h"
#include "framework/PluginCore.h"
#include "lv2/FactoryPresets.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/HostDriver.h"
#include "tests/support/Noise.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace Lv2Testing;
using MorlentLv2::kControlPortCount;

constexpr double kRate = 48000.0;

enum Port : uint32_t { kEnabled, kLeftDelay, kRightDelay, kSync, kLeftSync, kRightSync, kFeedback, kFilter, kCutoff,
                       kFilterType, kPan, kMix };

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
    bool operator==(const Stereo& other) const
    {
        // Bit for bit: a NaN or a signed zero counts too.
        return left.size() == other.left.size() &&
               std::memcmp(left.data(), other.left.data(), left.size() * sizeof(float)) == 0 &&
               std::memcmp(right.data(), other.right.data(), right.size() * sizeof(float)) == 0;
    }
};

Stereo NoiseInput(double seconds)
{
    const auto frames = static_cast<size_t>(seconds * kRate);
    return {TestSupport::Noise(frames, 11, 0.5f), TestSupport::Noise(frames, 12, 0.5f)};
}

Stereo ImpulseAfter(double silentSeconds, double seconds)
{
    Stereo input{std::vector<float>(static_cast<size_t>(seconds * kRate)),
                 std::vector<float>(static_cast<size_t>(seconds * kRate))};
    input.left[static_cast<size_t>(silentSeconds * kRate)] = 1.0f;
    input.right[static_cast<size_t>(silentSeconds * kRate)] = 1.0f;
    return input;
}

// Seconds from the impulse to the loudest echo after it.
double EchoDelay(const std::vector<float>& channel, double impulseSeconds)
{
    const auto start = static_cast<size_t>(impulseSeconds * kRate) + 1;
    size_t loudest = start;
    for (size_t i = start; i < channel.size(); ++i)
        if (std::fabs(channel[i]) > std::fabs(channel[loudest]))
            loudest = i;
    return static_cast<double>(loudest - start + 1) / kRate;
}

class Lv2Plugin : public ::testing::Test {
protected:
    // The port values given, the others at their defaults, set before activation; then the
    // input in blocks, with what `beforeBlock` does ahead of each block.
    Stereo RenderLv2(const std::vector<std::pair<uint32_t, float>>& settings, Stereo audio, size_t block = 64,
                     const std::function<void(Instance&, size_t)>& beforeBlock = nullptr)
    {
        Instance instance(module.Descriptor(), kRate, features);
        EXPECT_TRUE(instance.Valid());
        if (!instance.Valid())
            return {};
        for (const auto& setting : settings)
            instance.controls[setting.first] = setting.second;
        instance.Activate();
        for (size_t at = 0; at < audio.left.size(); at += block) {
            if (beforeBlock)
                beforeBlock(instance, at);
            const size_t frames = std::min(block, audio.left.size() - at);
            std::vector<float> left(audio.left.begin() + at, audio.left.begin() + at + frames);
            std::vector<float> right(audio.right.begin() + at, audio.right.begin() + at + frames);
            instance.Render(left, right, frames);
            std::copy(left.begin(), left.end(), audio.left.begin() + at);
            std::copy(right.begin(), right.end(), audio.right.begin() + at);
        }
        return audio;
    }

    // The VST 2 module with normalised values, set before it resumes as a host's are.
    Stereo RenderVst2(const std::vector<std::pair<int32_t, float>>& settings, Stereo audio, int32_t block = 64,
                      const std::function<void(size_t)>& beforeBlock = nullptr)
    {
        TestSupport::StandInHost::ResetQuiet();
        AEffect* effect = vst2.Open();
        EXPECT_NE(nullptr, effect);
        if (effect == nullptr)
            return {};
        for (const auto& setting : settings)
            effect->setParameter(effect, setting.first, setting.second);
        TestSupport::Start(effect, static_cast<float>(kRate), block);
        for (size_t at = 0; at < audio.left.size(); at += static_cast<size_t>(block)) {
            if (beforeBlock)
                beforeBlock(at);
            const auto frames = std::min(static_cast<size_t>(block), audio.left.size() - at);
            float* channels[2] = {audio.left.data() + at, audio.right.data() + at};
            effect->processReplacing(effect, channels, channels, static_cast<VstInt32>(frames));
        }
        TestSupport::Dispatch(effect, effMainsChanged, 0, 0);
        TestSupport::Dispatch(effect, effClose);
        return audio;
    }

    Module module{MORLENT_LV2_MODULE_PATH};
    TestSupport::HostDriver vst2{MORLENT_VST2_MODULE_PATH};
    Features features;
};

TEST_F(Lv2Plugin, OneDescriptorUnderTheStableUriWithTheStateInterface)
{
    const LV2_Descriptor* descriptor = module.Descriptor();
    ASSERT_NE(nullptr, descriptor);
    EXPECT_STREQ("https://www.example.com/lv2/morlent-delay", descriptor->URI);
    EXPECT_EQ(nullptr, module.Descriptor(1));
    EXPECT_NE(nullptr, descriptor->extension_data(LV2_STATE__interface));
    EXPECT_EQ(nullptr, descriptor->extension_data("http://lv2plug.in/ns/ext/worker#interface"));
    EXPECT_EQ(nullptr, descriptor->extension_data(nullptr));
}

TEST_F(Lv2Plugin, RunsAtEveryRateFrom8To384KilohertzAndRefusesOthersOnTheLog)
{
    for (double rate : {8000.0, 44100.0, 384000.0}) {
        // The barest host: no features at all, no time port.
        Instance instance(module.Descriptor(), rate, features, false, false);
        ASSERT_TRUE(instance.Valid()) << rate;
        instance.Activate();
        std::vector<float> left(static_cast<size_t>(rate * 0.3)), right(left.size());
        left[0] = right[0] = 1.0f;
        instance.Render(left, right, 1000);
        // The right delay's default, a quarter second, at this rate.
        size_t echo = 1;
        for (size_t i = 1; i < right.size(); ++i)
            if (std::fabs(right[i]) > std::fabs(right[echo]))
                echo = i;
        EXPECT_NEAR(0.25 * rate, static_cast<double>(echo), 1.0) << rate;
    }
    for (double rate : {0.0, -48000.0, 500.0, 1e7, std::nan(""), HUGE_VAL}) {
        Instance instance(module.Descriptor(), rate, features);
        EXPECT_FALSE(instance.Valid()) << rate;
    }
    EXPECT_EQ(6u, features.log.messages.size());
}

TEST_F(Lv2Plugin, PortsInDisplayUnitsSoundAsTheVst2ModulesNormalisedValues)
{
    // Normalised values whose squares are exact, so both formats hand the core the same value.
    struct Case {
        std::vector<std::pair<uint32_t, float>> ports;
        std::vector<std::pair<int32_t, float>> parameters;
    };
    const Case cases[] = {
        {{}, {}},
        {{{kLeftDelay, 0.25f}, {kRightDelay, 0.5625f}, {kFeedback, 0.5625f}, {kMix, 50.0f}},
         {{1, 0.5f}, {2, 0.75f}, {6, 0.75f}, {11, 0.75f}}},
        {{{kFilter, 1.0f}, {kCutoff, 643.75f}, {kFilterType, 1.0f}, {kPan, 1.0f}, {kFeedback, 0.25f}},
         {{7, 1.0f}, {8, 0.25f}, {9, 1.0f}, {10, 1.0f}, {6, 0.5f}}},
        {{{kFilter, 1.0f}, {kCutoff, 2515.0f}, {kFeedback, 1.0f}, {kMix, -50.0f}},
         {{7, 1.0f}, {8, 0.5f}, {6, 1.0f}, {11, 0.25f}}},
        {{{kSync, 1.0f}, {kLeftSync, 0.0f}, {kRightSync, 4.0f}, {kFeedback, 0.25f}},
         {{3, 1.0f}, {4, 0.1f}, {5, 0.9f}, {6, 0.5f}}},
        {{{kEnabled, 0.0f}, {kFeedback, 0.25f}}, {{0, 0.0f}, {6, 0.5f}}},
    };
    const Stereo input = NoiseInput(0.6);
    for (const Case& c : cases) {
        for (size_t block : {size_t{1}, size_t{64}, size_t{4096}}) {
            const Stereo lv2 = RenderLv2(c.ports, input, block);
            EXPECT_TRUE(lv2 == RenderVst2(c.parameters, input, static_cast<VstInt32>(block)))
                << "case " << (&c - cases) << ", block " << block;
        }
    }
    // One run of any length: the whole input at once.
    const Stereo whole = RenderLv2(cases[1].ports, input, input.left.size());
    EXPECT_TRUE(whole == RenderVst2(cases[1].parameters, input, static_cast<VstInt32>(input.left.size())));
}

TEST_F(Lv2Plugin, PortValuesOutOfRangeAreClampedAndNaNsChangeNothingAsInVst2)
{
    const Stereo input = NoiseInput(0.4);
    const float nan = std::nanf("");
    using Ports = std::vector<std::pair<uint32_t, float>>;
    const auto same = [&](const Ports& given, const Ports& meant) {
        return RenderLv2(given, input) == RenderLv2(meant, input);
    };
    EXPECT_TRUE(same({{kLeftDelay, 5.0f}, {kRightDelay, -3.0f}}, {{kLeftDelay, 1.0f}, {kRightDelay, 0.0f}}));
    EXPECT_TRUE(same({{kCutoff, 1e9f}, {kFilter, 0.3f}, {kMix, -HUGE_VALF}},
                     {{kCutoff, 10000.0f}, {kFilter, 1.0f}, {kMix, -100.0f}}));
    EXPECT_TRUE(same({{kSync, 1.0f}, {kLeftSync, 7.6f}, {kRightSync, -2.0f}},
                     {{kSync, 1.0f}, {kLeftSync, 4.0f}, {kRightSync, 0.0f}}));
    EXPECT_TRUE(same({{kFeedback, nan}, {kEnabled, nan}}, {}));
    EXPECT_FALSE(same({{kRightDelay, 5.0f}}, {}));

    // A NaN after a value leaves the value in force.
    const auto nanLater = [&](Instance& instance, size_t at) {
        instance.controls[kFeedback] = at < input.left.size() / 2 ? 0.5625f : nan;
    };
    EXPECT_TRUE(RenderLv2({{kFeedback, 0.5625f}}, input, 64, nanLater) == RenderLv2({{kFeedback, 0.5625f}}, input));
}

TEST_F(Lv2Plugin, PortsAreTheEditorsUnitsAndEveryEntryKeepsItsStep)
{
    // The core's own display texts of a value and the port value that stands for it agree.
    VstToolkit::PluginCore core(new MorlentDelayModel);
    char display[MorlentDelay::kDisplaySize];
    char expected[32];
    for (uint32_t port = 0; port < kControlPortCount; ++port) {
        const MorlentDelay::ParameterFacts& facts = MorlentDelay::kParameters[port];
        for (int step = 0; step <= 40; ++step) {
            const float value = static_cast<float>(step) / 40.0f;
            const float portValue = MorlentLv2::ToPortValue(port, value);
            core.FormatParameterValue(static_cast<int32_t>(port), value, display);
            if (facts.entryCount > 0)
                std::snprintf(expected, sizeof expected, "%s", facts.entries[static_cast<int>(portValue)]);
            else if (MorlentLv2::kControlPorts[port].scale == MorlentLv2::Scale::kMix)
                // The display shows whole percent.
                std::snprintf(expected, sizeof expected, "%s",
                              std::fabs(std::atof(display) - portValue) < 1.0f ? display : "?");
            else
                VstToolkit::Model::FormatFloat(portValue, expected);
            EXPECT_STREQ(expected, display) << MorlentLv2::kControlPorts[port].symbol << " at " << value;
            // Back to the core: the same value, or for switches and choices the same step.
            char again[MorlentDelay::kDisplaySize];
            core.FormatParameterValue(static_cast<int32_t>(port), MorlentLv2::ToParameterValue(port, portValue), again);
            EXPECT_STREQ(display, again) << MorlentLv2::kControlPorts[port].symbol << " at " << value;
        }
    }
}

TEST_F(Lv2Plugin, FactoryPresetsSoundAsTheFactoryBanksPrograms)
{
    const Stereo input = NoiseInput(0.3);
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        std::vector<std::pair<uint32_t, float>> ports;
        std::vector<std::pair<int32_t, float>> parameters;
        for (uint32_t port = 0; port < kControlPortCount; ++port) {
            ports.emplace_back(port, MorlentLv2::PresetPortValue(program, port));
            const auto parameter = static_cast<int32_t>(port);
            parameters.emplace_back(parameter,
                                    FactoryBank::NormalisedValue(FactoryBank::kPrograms[program], parameter));
            // Continuous values reach the core exactly as the bank holds them.
            if (MorlentDelay::kParameters[port].entryCount == 0) {
                EXPECT_EQ(parameters.back().second, MorlentLv2::ToParameterValue(port, ports.back().second))
                    << FactoryBank::kPrograms[program].name << ", " << MorlentLv2::kControlPorts[port].symbol;
            }
        }
        EXPECT_TRUE(RenderLv2(ports, input, 256) == RenderVst2(parameters, input, 256))
            << FactoryBank::kPrograms[program].name;
    }
}

// --- time from the host ---

TEST_F(Lv2Plugin, SyncFollowsTheHostsTempoWithTheOneSecondCapAndKeepsItWhenNoneComes)
{
    struct Case {
        double bpm;
        double left;  // 1/8
        double right; // 1/4
    };
    for (const Case& c : {Case{120.0, 0.25, 0.5}, Case{60.0, 0.5, 1.0}, Case{20.0, 1.0, 1.0}}) {
        const auto tempoOnce = [&](Instance& instance, size_t at) {
            if (at == 0)
                instance.sequence.AddPosition({{LV2_TIME__beatsPerMinute, {Number::kFloat, c.bpm}},
                                               {LV2_TIME__speed, {Number::kFloat, 1.0}}});
        };
        // The impulse comes once the delays have glided to the new tempo's lengths.
        const Stereo out = RenderLv2({{kSync, 1.0f}, {kLeftSync, 2.0f}, {kRightSync, 3.0f}, {kMix, 100.0f}},
                                     ImpulseAfter(3.0, 4.5), 256, tempoOnce);
        EXPECT_NEAR(c.left, EchoDelay(out.left, 3.0), 1.5 / kRate) << c.bpm;
        EXPECT_NEAR(c.right, EchoDelay(out.right, 3.0), 1.5 / kRate) << c.bpm;
    }
}

TEST_F(Lv2Plugin, TempoAndTransportActAsTheVst2ModulesTimeInformation)
{
    // 90 BPM after half a second, the transport stopped at one second and started again at 1.5.
    const Stereo input = NoiseInput(2.5);
    const size_t half = static_cast<size_t>(kRate / 2);
    const auto lv2Time = [&](Instance& instance, size_t at) {
        using P = std::pair<const char*, Number>;
        if (at == 0)
            instance.sequence.AddPosition({P{LV2_TIME__beatsPerMinute, {Number::kDouble, 120.0}},
                                           P{LV2_TIME__speed, {Number::kFloat, 1.0}}});
        else if (at == half)
            instance.sequence.AddPosition({P{LV2_TIME__beatsPerMinute, {Number::kFloat, 90.0}},
                                           P{LV2_TIME__bar, {Number::kLong, 3.0}},
                                           P{LV2_TIME__barBeat, {Number::kFloat, 1.0}},
                                           P{LV2_TIME__beatsPerBar, {Number::kFloat, 4.0}},
                                           P{LV2_TIME__beatUnit, {Number::kInt, 4.0}}});
        else if (at == 2 * half)
            instance.sequence.AddPosition({P{LV2_TIME__speed, {Number::kFloat, 0.0}}});
        else if (at == 3 * half)
            instance.sequence.AddPosition({P{LV2_TIME__speed, {Number::kFloat, 1.0}},
                                           P{LV2_TIME__beatsPerMinute, {Number::kFloat, 90.0}}});
    };
    TestSupport::StandInHost& host = TestSupport::StandInHost::Instance();
    const auto vst2Time = [&](size_t at) {
        if (at == half)
            host.time.tempo = 90.0;
        else if (at == 2 * half)
            host.time.flags &= ~kVstTransportPlaying;
        else if (at == 3 * half)
            host.time.flags |= kVstTransportPlaying;
    };
    const std::vector<std::pair<uint32_t, float>> ports = {{kSync, 1.0f}, {kFeedback, 0.5625f}};
    const Stereo lv2 = RenderLv2(ports, input, 480, lv2Time);
    EXPECT_TRUE(lv2 == RenderVst2({{3, 1.0f}, {6, 0.75f}}, input, 480, vst2Time));
    // Without the stop the lines keep their echoes: the stop did something.
    EXPECT_FALSE(lv2 == RenderLv2(ports, input, 480, [&](Instance& instance, size_t at) {
                     if (at != 2 * half && at != 3 * half)
                         lv2Time(instance, at);
                 }));
}

TEST_F(Lv2Plugin, DamagedTimeEventsAndHostsWithoutAMapLeaveTheTempoAlone)
{
    const std::vector<std::pair<uint32_t, float>> ports = {{kSync, 1.0f}, {kLeftSync, 2.0f}, {kMix, 100.0f}};
    const Stereo input = ImpulseAfter(0.5, 1.0);
    const Stereo untouched = RenderLv2(ports, input, 256);
    UridMap& map = features.map;
    const auto damaged = [&](Instance& instance, size_t at) {
        if (at != 0)
            return;
        Sequence& sequence = instance.sequence;
        // A tempo of no number, an event longer than the sequence, a property longer than its
        // object, values of types that are no numbers, objects of other kinds.
        sequence.AddPosition({{LV2_TIME__beatsPerMinute, {Number::kFloat, std::nan("")}}});
        std::vector<uint8_t> position(sizeof(LV2_Atom_Object_Body) + sizeof(LV2_Atom_Property_Body) + 8);
        LV2_Atom_Object_Body head{0, map.Map(LV2_TIME__Position)};
        LV2_Atom_Property_Body tempo{map.Map(LV2_TIME__beatsPerMinute), 0, {4000, map.Map(LV2_ATOM__Float)}};
        std::memcpy(position.data(), &head, sizeof head);
        std::memcpy(position.data() + sizeof head, &tempo, sizeof tempo);
        sequence.AddEvent(map.Map(LV2_ATOM__Object), position);
        tempo.value = {4, map.Map(LV2_ATOM__String)};
        std::memcpy(position.data() + sizeof head, &tempo, sizeof tempo);
        sequence.AddEvent(map.Map(LV2_ATOM__Object), position);
        head.otype = map.Map(LV2_TIME__Rate);
        std::memcpy(position.data(), &head, sizeof head);
        sequence.AddEvent(map.Map(LV2_ATOM__Object), position);
        sequence.AddEvent(map.Map(LV2_ATOM__Object), std::vector<uint8_t>(4));
        sequence.AddEvent(map.Map(LV2_ATOM__Object), position, 1u << 30);
    };
    EXPECT_TRUE(untouched == RenderLv2(ports, input, 256, damaged));

    // Without a map the port's events cannot be read: a connected sequence changes nothing.
    Instance bare(module.Descriptor(), kRate, features, false, false);
    ASSERT_TRUE(bare.Valid());
    Sequence sequence(map);
    bare.Connect(MorlentLv2::kEventsInPort, sequence.Atom());
    for (const auto& setting : ports)
        bare.controls[setting.first] = setting.second;
    bare.Activate();
    Stereo out = input;
    sequence.AddPosition({{LV2_TIME__beatsPerMinute, {Number::kFloat, 60.0}}});
    bare.Render(out.left, out.right, 256);
    EXPECT_TRUE(untouched == out);
}

// --- state ---

class Lv2State : public Lv2Plugin {
protected:
    std::vector<uint8_t>& Bank(State& state) { return state.properties.begin()->second.value; }
    std::vector<uint8_t> SavedBank(Instance& instance)
    {
        State state;
        EXPECT_EQ(LV2_STATE_SUCCESS, instance.Save(state));
        return state.properties.empty() ? std::vector<uint8_t>() : Bank(state);
    }
    std::vector<uint8_t> NewInstanceBank()
    {
        Instance fresh(module.Descriptor(), kRate, features);
        return SavedBank(fresh);
    }
};

TEST_F(Lv2State, TheBankSurvivesASaveAndRestoreAndItsPortsWin)
{
    Instance first(module.Descriptor(), kRate, features);
    first.controls[kFeedback] = 0.5625f;
    first.controls[kRightDelay] = 0.0625f;
    first.controls[kMix] = 100.0f;
    first.Activate();
    Stereo audio = NoiseInput(0.1);
    first.Render(audio.left, audio.right, 64);
    State state;
    ASSERT_EQ(LV2_STATE_SUCCESS, first.Save(state));
    ASSERT_EQ(1u, state.properties.size());
    const State::Property& property = state.properties.begin()->second;
    EXPECT_EQ(features.map.Map(MorlentLv2::kBankKeyUri), state.properties.begin()->first);
    EXPECT_EQ(features.map.Map(MorlentLv2::kBankTypeUri), property.type);
    EXPECT_EQ(static_cast<uint32_t>(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE), property.flags);
    EXPECT_NE(NewInstanceBank(), property.value);

    // A new instance, its ports restored by the host as hosts do, then the state.
    Instance second(module.Descriptor(), kRate, features);
    std::memcpy(second.controls, first.controls, sizeof first.controls);
    ASSERT_EQ(LV2_STATE_SUCCESS, second.Restore(state));
    EXPECT_EQ(property.value, SavedBank(second));

    // An instance already running with other port values takes the bank, but its ports have the
    // last word: it goes on as one that never restored anything.
    Instance running(module.Descriptor(), kRate, features), reference(module.Descriptor(), kRate, features);
    for (Instance* instance : {&running, &reference}) {
        instance->controls[kMix] = 50.0f;
        instance->Activate();
        Stereo opening = NoiseInput(0.1);
        instance->Render(opening.left, opening.right, 64);
    }
    ASSERT_EQ(LV2_STATE_SUCCESS, running.Restore(state));
    Stereo after = NoiseInput(0.2), expected = NoiseInput(0.2);
    running.Render(after.left, after.right, 64);
    reference.Render(expected.left, expected.right, 64);
    EXPECT_TRUE(expected == after);
}

TEST_F(Lv2State, ForeignDamagedAndNewerStatesAreRefusedOnTheLogAndChangeNothing)
{
    Instance instance(module.Descriptor(), kRate, features);
    instance.controls[kFeedback] = 0.5625f;
    instance.Activate();
    Stereo audio = NoiseInput(0.05);
    instance.Render(audio.left, audio.right, 64);
    State saved;
    ASSERT_EQ(LV2_STATE_SUCCESS, instance.Save(saved));
    const std::vector<uint8_t> before = Bank(saved);

    const auto refused = [&](const std::function<void(State&)>& spoil, LV2_State_Status status) {
        State state = saved;
        spoil(state);
        const size_t messages = features.log.messages.size();
        EXPECT_EQ(status, instance.Restore(state));
        EXPECT_EQ(messages + 1, features.log.messages.size());
        EXPECT_EQ(before, SavedBank(instance));
    };
    refused([&](State& s) { s.properties.begin()->second.type = features.map.Map(LV2_ATOM__Chunk); },
            LV2_STATE_ERR_BAD_TYPE);
    refused([&](State& s) { Bank(s).resize(100); }, LV2_STATE_ERR_UNKNOWN);
    refused([&](State& s) { Bank(s)[3] ^= 0x20; }, LV2_STATE_ERR_UNKNOWN); // another effect's name
    refused([&](State& s) { TestSupport::SetChunkVersion(Bank(s), MorlentDelay::kVendorVersion + 1); },
            LV2_STATE_ERR_UNKNOWN);
    refused([&](State& s) { Bank(s).assign(2u << 20, 0); }, LV2_STATE_ERR_UNKNOWN);
    EXPECT_NE(std::string::npos, features.log.messages.back().find("nothing was changed"));

    // A state without our property is LV2's way to reset: a new instance's bank.
    State empty;
    EXPECT_EQ(LV2_STATE_SUCCESS, instance.Restore(empty));
    EXPECT_EQ(NewInstanceBank(), SavedBank(instance));
}

TEST_F(Lv2State, SavesWhileTheAudioThreadRunsGiveWholeBanks)
{
    // LV2 lets a host save while run goes on; every bank saved must be one a new instance takes.
    Instance instance(module.Descriptor(), kRate, features);
    instance.Activate();
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        Stereo audio = NoiseInput(0.01);
        for (long block = 0; !stop.load(); ++block) {
            instance.controls[kFeedback] = static_cast<float>(block % 10) / 10.0f;
            instance.controls[kMix] = static_cast<float>(block % 200) - 100.0f;
            instance.Render(audio.left, audio.right, 240);
        }
    });
    Instance reader(module.Descriptor(), kRate, features);
    for (int save = 0; save < 200; ++save) {
        State state;
        ASSERT_EQ(LV2_STATE_SUCCESS, instance.Save(state));
        EXPECT_EQ(LV2_STATE_SUCCESS, reader.Restore(state));
    }
    stop.store(true);
    audio.join();
}

TEST_F(Lv2State, HostsWithoutAMapHaveNoStateButNoFailure)
{
    Instance bare(module.Descriptor(), kRate, features, false, false);
    ASSERT_TRUE(bare.Valid());
    State state;
    EXPECT_EQ(LV2_STATE_ERR_NO_FEATURE, bare.Save(state));
    EXPECT_TRUE(state.properties.empty());
    EXPECT_EQ(LV2_STATE_ERR_NO_FEATURE, bare.Restore(state));
    EXPECT_EQ(LV2_STATE_ERR_UNKNOWN,
              bare.StateInterface()->restore(nullptr, State::Retrieve, &state, 0, nullptr));
}

} // namespace
