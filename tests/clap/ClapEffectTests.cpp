// The CLAP adapter through its records, as a host drives it: the entry and its factories, the
// plug-in's lifecycle with the hosts that get it wrong, parameters, processing, state, presets.

#include "clap/ClapEffect.h"
#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "framework/DisplayUnits.h"
#include "framework/PluginCore.h"
#include "tests/clap/ClapTestHost.h"
#include "tests/support/EffectCalls.h"
#include "description/FactoryPrograms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

extern "C" const Clap::PluginEntry clap_entry;

namespace {

using namespace ClapTest;

constexpr double kRate = 48000.0;

// The VST 2 module's core with the same model, for comparing what both formats produce.
class ReferenceCore : public VstToolkit::PluginCore {
public:
    ReferenceCore() : PluginCore(new MorlentDelayModel)
    {
        AttachToModel();
        SetSampleRate(static_cast<float>(kRate));
        SetMaxBlockSize(512);
    }
};

template <typename Extension> const Extension* Ext(const Clap::Plugin* plugin, const char* id)
{
    return static_cast<const Extension*>(plugin->getExtension(plugin, id));
}

void Noise(StereoBlock& block, uint32_t seed)
{
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < block.inLeft.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        block.inLeft[i] = static_cast<float>(static_cast<int32_t>(state) >> 8) / 8388608.0f * 0.5f;
        block.inRight[i] = block.inLeft[i] * -0.75f;
    }
}

class ClapEffectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(clap_entry.init("/test/MorlentDelay.clap"));
        factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
        ASSERT_NE(factory, nullptr);
        plugin = factory->createPlugin(factory, &host.host, MorlentClap::EffectId());
        ASSERT_NE(plugin, nullptr);
        ASSERT_TRUE(plugin->init(plugin));
        params = Ext<Clap::PluginParams>(plugin, Clap::kExtParams);
        state = Ext<Clap::PluginState>(plugin, Clap::kExtState);
        ASSERT_NE(params, nullptr);
        ASSERT_NE(state, nullptr);
    }
    void TearDown() override
    {
        if (plugin != nullptr)
            plugin->destroy(plugin);
        clap_entry.deinit();
        EXPECT_EQ(host.wrongThreadCalls, 0);
    }
    void Start(uint32_t maxFrames = 512)
    {
        ASSERT_TRUE(plugin->activate(plugin, kRate, 1, maxFrames));
        ASSERT_TRUE(plugin->startProcessing(plugin));
    }
    double Value(Clap::Id id)
    {
        double value = -1.0;
        EXPECT_TRUE(params->getValue(plugin, id, &value));
        return value;
    }
    std::string Text(Clap::Id id, double value)
    {
        char text[64] = {};
        return params->valueToText(plugin, id, value, text, sizeof text) ? text : "(refused)";
    }
    // Parameter values outside processing, as a host hands them over.
    void Flush(const std::vector<std::pair<Clap::Id, double>>& values)
    {
        EventList in, out;
        for (const auto& value : values)
            in.AddValue(0, value.first, value.second);
        params->flush(plugin, &in.in, &out.out);
    }
    std::vector<uint8_t> Saved()
    {
        TestStream stream;
        const Clap::OutputStream out = stream.Output();
        EXPECT_TRUE(state->save(plugin, &out));
        return stream.bytes;
    }
    bool Load(const std::vector<uint8_t>& bytes, uint64_t piece = 0)
    {
        TestStream stream;
        stream.bytes = bytes;
        stream.piece = piece;
        const Clap::InputStream in = stream.Input();
        return state->load(plugin, &in);
    }

    RecordingHost host;
    const Clap::PluginFactory* factory = nullptr;
    const Clap::Plugin* plugin = nullptr;
    const Clap::PluginParams* params = nullptr;
    const Clap::PluginState* state = nullptr;
};

// ---- The entry, the factory and the descriptor -------------------------------------------------

TEST(ClapEntry, DescribesTheEffectFromItsDescriptionAndOffersOnlyItsFactories)
{
    EXPECT_EQ(clap_entry.version.major, 1u);
    // Before init nothing is handed out.
    EXPECT_EQ(clap_entry.getFactory(Clap::kPluginFactoryId), nullptr);
    ASSERT_TRUE(clap_entry.init("/x/MorlentDelay.clap"));
    ASSERT_TRUE(clap_entry.init("/x/MorlentDelay.clap")); // a second user of the module
    auto* factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(clap_entry.getFactory("clap.unknown-factory"), nullptr);
    EXPECT_EQ(clap_entry.getFactory(nullptr), nullptr);
    EXPECT_NE(clap_entry.getFactory(Clap::kPresetDiscoveryFactoryId), nullptr);
    EXPECT_NE(clap_entry.getFactory(Clap::kPresetDiscoveryFactoryDraftId), nullptr);

    ASSERT_EQ(factory->getPluginCount(factory), 1u);
    EXPECT_EQ(factory->getPluginDescriptor(factory, 1), nullptr);
    const Clap::PluginDescriptor* descriptor = factory->getPluginDescriptor(factory, 0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->id, "com.example.morlent-delay");
    EXPECT_STREQ(descriptor->name, "Morlent Delay");
    EXPECT_STREQ(descriptor->vendor, "Morlent Sound Design");
    EXPECT_STREQ(descriptor->versionText, "2.7.50");
    EXPECT_STREQ(descriptor->url, MorlentDelay::kWebSiteAddress);
    std::vector<std::string> features;
    for (const char* const* feature = descriptor->features; *feature != nullptr; ++feature)
        features.emplace_back(*feature);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "delay", "stereo"}));

    clap_entry.deinit();
    EXPECT_NE(clap_entry.getFactory(Clap::kPluginFactoryId), nullptr); // one user is left
    clap_entry.deinit();
    EXPECT_EQ(clap_entry.getFactory(Clap::kPluginFactoryId), nullptr);
    clap_entry.deinit(); // one too many changes nothing
}

TEST(ClapEntry, CreatingCallsNothingOfTheHostsAndRefusesOtherIdsAndBadHosts)
{
    ASSERT_TRUE(clap_entry.init("/x/MorlentDelay.clap"));
    auto* factory = static_cast<const Clap::PluginFactory*>(clap_entry.getFactory(Clap::kPluginFactoryId));
    RecordingHost host;
    EXPECT_EQ(factory->createPlugin(factory, &host.host, "com.example.other"), nullptr);
    EXPECT_EQ(factory->createPlugin(factory, &host.host, nullptr), nullptr);
    EXPECT_EQ(factory->createPlugin(factory, nullptr, MorlentClap::EffectId()), nullptr);
    Clap::Host old = host.host;
    old.version = Clap::Version{0, 9, 0};
    EXPECT_EQ(factory->createPlugin(factory, &old, MorlentClap::EffectId()), nullptr);

    const Clap::Plugin* plugin = factory->createPlugin(factory, &host.host, MorlentClap::EffectId());
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(host.Calls(), 0); // only init may ask the host for anything
    EXPECT_EQ(plugin->descriptor, factory->getPluginDescriptor(factory, 0));
    ASSERT_TRUE(plugin->init(plugin));
    EXPECT_GT(host.extensionQueries, 0);
    plugin->destroy(plugin);
    clap_entry.deinit();
}

// ---- Lifecycle and the hosts that get it wrong -------------------------------------------------

TEST_F(ClapEffectTest, ProcessBeforeActivateIsRefusedAndStillWritesSilence)
{
    StereoBlock block(64);
    Noise(block, 1);
    std::fill(block.outLeft.begin(), block.outLeft.end(), 7.0f);
    std::fill(block.outRight.begin(), block.outRight.end(), 7.0f);
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessError);
    for (uint32_t i = 0; i < 64; ++i)
        ASSERT_TRUE(block.outLeft[i] == 0.0f && block.outRight[i] == 0.0f);
    EXPECT_FALSE(plugin->startProcessing(plugin));
    EXPECT_EQ(plugin->process(plugin, nullptr), Clap::kProcessError);
}

TEST_F(ClapEffectTest, ActivateTwiceOrWithNoUsableSetUpIsRefused)
{
    EXPECT_FALSE(plugin->activate(plugin, 10.0, 1, 512));
    EXPECT_FALSE(plugin->activate(plugin, std::nan(""), 1, 512));
    EXPECT_FALSE(plugin->activate(plugin, kRate, 1, 0));
    EXPECT_FALSE(plugin->activate(plugin, kRate, 600, 512));
    ASSERT_TRUE(plugin->activate(plugin, kRate, 1, 512));
    EXPECT_FALSE(plugin->activate(plugin, 96000.0, 1, 512));
    plugin->deactivate(plugin);
    EXPECT_TRUE(plugin->activate(plugin, 96000.0, 1, 512));
}

TEST_F(ClapEffectTest, MissingOrOneChannelBuffersAreSilencedOrHeardAsSilence)
{
    Start();
    // One output channel: refused, that channel silenced.
    StereoBlock block(128);
    std::fill(block.outLeft.begin(), block.outLeft.end(), 3.0f);
    block.outPort.channelCount = 1;
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessError);
    EXPECT_EQ(block.outLeft[127], 0.0f);
    // No output port at all, or no channel pointers: refused without a crash.
    block.outPort.channelCount = 2;
    block.process.audioOutputsCount = 0;
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessError);
    block.process.audioOutputsCount = 1;
    block.outPort.data32 = nullptr;
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessError);
    block.outPort.data32 = block.outputs;
    // No input: the effect hears silence, with the dry mix at half, and writes every sample.
    block.process.audioInputsCount = 0;
    std::fill(block.outLeft.begin(), block.outLeft.end(), 3.0f);
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    for (uint32_t i = 0; i < 128; ++i)
        ASSERT_EQ(block.outLeft[i], 0.0f);
    // A zero-frame block renders nothing and still takes its events.
    StereoBlock empty(0);
    empty.in.AddValue(5, MorlentDelay::kWetDryMix, 100.0);
    EXPECT_EQ(plugin->process(plugin, &empty.process), Clap::kProcessContinue);
    EXPECT_EQ(Value(MorlentDelay::kWetDryMix), 100.0);
}

TEST_F(ClapEffectTest, DestroyedWhileActiveAndProcessingEndsCleanly)
{
    Start();
    StereoBlock block(64);
    EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    plugin->destroy(plugin);
    plugin = nullptr;
}

TEST_F(ClapEffectTest, PortsLatencyAndTailAreAsDocumented)
{
    auto* audio = Ext<Clap::PluginAudioPorts>(plugin, Clap::kExtAudioPorts);
    ASSERT_NE(audio, nullptr);
    ASSERT_EQ(audio->count(plugin, true), 1u);
    ASSERT_EQ(audio->count(plugin, false), 1u);
    Clap::AudioPortInfo port{};
    ASSERT_TRUE(audio->get(plugin, 0, false, &port));
    EXPECT_EQ(port.channelCount, 2u);
    EXPECT_STREQ(port.portType, Clap::kPortStereo);
    EXPECT_EQ(port.flags, Clap::kAudioPortIsMain);
    EXPECT_EQ(port.inPlacePair, port.id);
    EXPECT_FALSE(audio->get(plugin, 1, true, &port));
    EXPECT_FALSE(audio->get(plugin, 0, true, nullptr));

    auto* notes = Ext<Clap::PluginNotePorts>(plugin, Clap::kExtNotePorts);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(notes->count(plugin, true), 1u);
    EXPECT_EQ(notes->count(plugin, false), 0u);
    Clap::NotePortInfo note{};
    ASSERT_TRUE(notes->get(plugin, 0, true, &note));
    EXPECT_EQ(note.supportedDialects, Clap::kNoteDialectMidi);
    EXPECT_EQ(note.preferredDialect, Clap::kNoteDialectMidi);
    EXPECT_FALSE(notes->get(plugin, 0, false, &note));

    Start();
    EXPECT_EQ(Ext<Clap::PluginLatency>(plugin, Clap::kExtLatency)->get(plugin), 0u);
    EXPECT_GE(Ext<Clap::PluginTail>(plugin, Clap::kExtTail)->get(plugin), 0x7FFFFFFFu); // never ends
    EXPECT_NE(plugin->getExtension(plugin, Clap::kExtGui), nullptr);
    EXPECT_EQ(plugin->getExtension(plugin, "clap.unknown"), nullptr);
    EXPECT_EQ(plugin->getExtension(plugin, nullptr), nullptr);
}

// ---- Parameters ---------------------------------------------------------------------------------

TEST_F(ClapEffectTest, ParametersAreTheTwelveInDisplayUnitsWithSteppedEntries)
{
    ASSERT_EQ(params->count(plugin), 12u);
    for (uint32_t index = 0; index < 12; ++index) {
        Clap::ParamInfo info{};
        ASSERT_TRUE(params->getInfo(plugin, index, &info));
        const MorlentDelay::ParameterFacts& facts = MorlentDelay::kParameters[index];
        EXPECT_EQ(info.id, index);
        EXPECT_STREQ(info.name, facts.longName);
        EXPECT_TRUE(info.flags & Clap::kParamIsAutomatable);
        const bool stepped = facts.entryCount > 0;
        EXPECT_EQ((info.flags & Clap::kParamIsStepped) != 0, stepped) << facts.longName;
        EXPECT_EQ((info.flags & Clap::kParamIsEnum) != 0, stepped) << facts.longName;
        if (stepped) {
            EXPECT_EQ(info.minValue, 0.0);
            EXPECT_EQ(info.maxValue, facts.entryCount - 1.0);
        }
        // The default reaches the core exactly as the description has it.
        EXPECT_EQ(VstToolkit::FromDisplayValue(static_cast<int32_t>(index), static_cast<float>(info.defaultValue)),
                  stepped ? VstToolkit::FromDisplayValue(static_cast<int32_t>(index),
                                                         VstToolkit::ToDisplayValue(static_cast<int32_t>(index),
                                                                                    facts.defaultValue))
                          : facts.defaultValue)
            << facts.longName;
        EXPECT_EQ(Value(index), info.defaultValue) << facts.longName;
    }
    Clap::ParamInfo info{};
    EXPECT_FALSE(params->getInfo(plugin, 12, &info));
    EXPECT_FALSE(params->getInfo(plugin, 0, nullptr));
    Clap::ParamInfo cutoff{};
    ASSERT_TRUE(params->getInfo(plugin, MorlentDelay::kCutoffFrequency, &cutoff));
    EXPECT_EQ(cutoff.minValue, 20.0);
    EXPECT_EQ(cutoff.maxValue, 10000.0);
    Clap::ParamInfo mix{};
    ASSERT_TRUE(params->getInfo(plugin, MorlentDelay::kWetDryMix, &mix));
    EXPECT_EQ(mix.minValue, -100.0);
    EXPECT_EQ(mix.maxValue, 100.0);
}

TEST_F(ClapEffectTest, TextsAreTheOtherFormatsDisplayWithItsLabelAndReadBack)
{
    ReferenceCore reference;
    char display[MorlentDelay::kDisplaySize];
    for (int32_t index = 0; index < 12; ++index) {
        for (int step = 0; step <= 20; ++step) {
            const float normalised = static_cast<float>(step) / 20.0f;
            const double value = VstToolkit::ToDisplayValue(index, normalised);
            reference.FormatParameterValue(index, VstToolkit::FromDisplayValue(index, static_cast<float>(value)), display);
            const std::string label = MorlentDelay::kParameters[index].label;
            const std::string text = Text(static_cast<Clap::Id>(index), value);
            EXPECT_EQ(text, label.empty() ? std::string(display) : std::string(display) + " " + label);
            double back = -1.0;
            ASSERT_TRUE(params->textToValue(plugin, static_cast<Clap::Id>(index), text.c_str(), &back)) << text;
            EXPECT_EQ(Text(static_cast<Clap::Id>(index), back), text);
        }
    }
    double value = 0.0;
    EXPECT_TRUE(params->textToValue(plugin, MorlentDelay::kFilterType, "high", &value));
    EXPECT_EQ(value, 1.0);
    EXPECT_TRUE(params->textToValue(plugin, MorlentDelay::kCutoffFrequency, " 99999 Hz", &value));
    EXPECT_EQ(value, 10000.0);
    EXPECT_FALSE(params->textToValue(plugin, MorlentDelay::kFilterType, "Band", &value));
    EXPECT_FALSE(params->textToValue(plugin, MorlentDelay::kLeftDelay, "soon", &value));
    EXPECT_FALSE(params->textToValue(plugin, MorlentDelay::kLeftDelay, "nan", &value));
    EXPECT_FALSE(params->textToValue(plugin, 12, "1", &value));
    EXPECT_FALSE(params->textToValue(plugin, 0, nullptr, &value));
    char text[4];
    EXPECT_FALSE(params->valueToText(plugin, 12, 0.0, text, sizeof text));
    EXPECT_FALSE(params->valueToText(plugin, 1, std::nan(""), text, sizeof text));
    EXPECT_FALSE(params->valueToText(plugin, 1, 0.5, text, 0));
    ASSERT_TRUE(params->valueToText(plugin, MorlentDelay::kLeftDelay, 0.5, text, sizeof text));
    EXPECT_STREQ(text, "0.5"); // cut to the host's room, terminated
}

TEST_F(ClapEffectTest, FlushAppliesValuesWithBadOnesClampedOrIgnored)
{
    Flush({{MorlentDelay::kFeedbackLevel, 0.25}, {MorlentDelay::kCutoffFrequency, 1e9},
           {MorlentDelay::kWetDryMix, -1e300}, {MorlentDelay::kLeftDelay, std::nan("")}, {99, 1.0}});
    EXPECT_EQ(Value(MorlentDelay::kFeedbackLevel), 0.25);
    EXPECT_EQ(Value(MorlentDelay::kCutoffFrequency), 10000.0);
    EXPECT_EQ(Value(MorlentDelay::kWetDryMix), -100.0);
    EXPECT_EQ(Value(MorlentDelay::kLeftDelay), 1.0); // the NaN changed nothing
    double value = 0.0;
    EXPECT_FALSE(params->getValue(plugin, 99, &value));
    EXPECT_FALSE(params->getValue(plugin, 0, nullptr));
    params->flush(plugin, nullptr, nullptr);
    // Stepped values at whole steps; between them the nearer step.
    Flush({{MorlentDelay::kLeftSync, 3.4}, {MorlentDelay::kFilter, 0.7}});
    EXPECT_EQ(Value(MorlentDelay::kLeftSync), 3.0);
    EXPECT_EQ(Value(MorlentDelay::kFilter), 1.0);
}

// ---- Processing -------------------------------------------------------------------------------

TEST_F(ClapEffectTest, EventsAtTheirFramesRenderAsTheCoreSplitThere)
{
    constexpr uint32_t kFrames = 512;
    Start(kFrames);
    ReferenceCore reference;
    StereoBlock block(kFrames), expected(kFrames);
    for (int round = 0; round < 6; ++round) {
        Noise(block, static_cast<uint32_t>(round));
        Noise(expected, static_cast<uint32_t>(round));
        block.in.Clear();
        // Out of time order (300 after 400) and past the block (9999): where the block stands,
        // and at its end.
        block.in.AddValue(100, MorlentDelay::kFeedbackLevel, 0.49);
        block.in.AddValue(400, MorlentDelay::kLeftDelay, 0.0081);
        block.in.AddValue(300, MorlentDelay::kWetDryMix, 60.0);
        block.in.AddValue(9999, MorlentDelay::kPan, 1.0);
        ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);

        reference.ProcessFrames(expected.inputs, expected.outputs, 0, 100);
        reference.SetParameterValue(MorlentDelay::kFeedbackLevel, VstToolkit::FromDisplayValue(6, 0.49f));
        reference.ProcessFrames(expected.inputs, expected.outputs, 100, 300);
        reference.SetParameterValue(MorlentDelay::kLeftDelay, VstToolkit::FromDisplayValue(1, 0.0081f));
        reference.SetParameterValue(MorlentDelay::kWetDryMix, VstToolkit::FromDisplayValue(11, 60.0f));
        reference.ProcessFrames(expected.inputs, expected.outputs, 400, 112);
        reference.SetParameterValue(MorlentDelay::kPan, 1.0f);
        ASSERT_TRUE(block.outLeft == expected.outLeft && block.outRight == expected.outRight) << "round " << round;
    }
}

TEST_F(ClapEffectTest, ALongBlockInPlaceSoundsAsShortOnes)
{
    // A block far longer than announced, rendered in the input's own buffers.
    Start(256);
    constexpr uint32_t kFrames = 100000;
    StereoBlock block(kFrames);
    Noise(block, 9);
    const std::vector<float> left = block.inLeft, right = block.inRight;
    block.outPort.data32 = block.inputs;
    Flush({{MorlentDelay::kFeedbackLevel, 0.5}});
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);

    ReferenceCore reference;
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, VstToolkit::FromDisplayValue(6, 0.5f));
    std::vector<float> outLeft(kFrames), outRight(kFrames);
    float* inputs[2] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    for (uint32_t at = 0; at < kFrames; at += 256)
        reference.ProcessFrames(inputs, outputs, static_cast<int32_t>(at),
                                static_cast<int32_t>(std::min<uint32_t>(256, kFrames - at)));
    EXPECT_TRUE(block.inLeft == outLeft && block.inRight == outRight);
}

TEST_F(ClapEffectTest, TheTransportsTempoDrivesSyncAndAStopEmptiesTheLines)
{
    constexpr uint32_t kFrames = 24000;
    Flush({{MorlentDelay::kSync, 1.0}, {MorlentDelay::kWetDryMix, 100.0}});
    Start(kFrames);
    const auto render = [&](const Clap::TransportEvent* transport, EventList* events) {
        StereoBlock block(kFrames);
        Noise(block, 3);
        block.process.transport = transport;
        if (events != nullptr)
            for (uint32_t i = 0; i < events->Size(); ++i)
                block.in.Push(*events->At(i));
        EXPECT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
        return block.outLeft;
    };
    // The same as the core told the same tempo.
    Clap::TransportEvent transport{};
    transport.header = {sizeof transport, 0, Clap::kCoreEventSpace, Clap::kEventTransport, 0};
    transport.flags = Clap::kTransportHasTempo | Clap::kTransportIsPlaying;
    transport.tempo = 97.0;
    const std::vector<float> synced = render(&transport, nullptr);
    ReferenceCore reference;
    reference.SetParameterValue(MorlentDelay::kSync, 1.0f);
    reference.SetParameterValue(MorlentDelay::kWetDryMix, 1.0f);
    VstToolkit::TimeInfo time;
    time.tempoValid = true;
    time.tempo = 97.0;
    time.playing = true;
    reference.SetTimeInfo(time);
    StereoBlock expected(kFrames);
    Noise(expected, 3);
    reference.ProcessFrames(expected.inputs, expected.outputs, 0, kFrames);
    EXPECT_TRUE(synced == expected.outLeft);

    // A stop inside the block, as a transport event: from its frame the lines start empty.
    EventList stop;
    stop.AddTransport(1000, 97.0, false);
    render(&transport, &stop);
    time.playing = false;
    reference.ProcessFrames(expected.inputs, expected.outputs, 0, 1000);
    reference.SetTimeInfo(time);
    reference.ProcessFrames(expected.inputs, expected.outputs, 1000, kFrames - 1000);
    transport.flags &= ~Clap::kTransportIsPlaying;
    const std::vector<float> after = render(&transport, nullptr);
    reference.ProcessFrames(expected.inputs, expected.outputs, 0, kFrames);
    EXPECT_TRUE(after == expected.outLeft);
}

TEST_F(ClapEffectTest, ResetEmptiesTheLinesAndKeepsTheValues)
{
    Start(4096);
    Flush({{MorlentDelay::kWetDryMix, 100.0}, {MorlentDelay::kLeftDelay, 0.01}});
    StereoBlock block(4096);
    Noise(block, 4);
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    plugin->reset(plugin);
    std::fill(block.inLeft.begin(), block.inLeft.end(), 0.0f);
    std::fill(block.inRight.begin(), block.inRight.end(), 0.0f);
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    for (uint32_t i = 0; i < 4096; ++i)
        ASSERT_EQ(block.outLeft[i], 0.0f) << i;
    EXPECT_EQ(Value(MorlentDelay::kWetDryMix), 100.0);
}

TEST_F(ClapEffectTest, ALearnedControllerMovesItsParameterAndTellsTheHostAtItsFrame)
{
    int bindings[MorlentDelay::kParameterCount];
    for (int& binding : bindings)
        binding = -1;
    bindings[MorlentDelay::kFeedbackLevel] = 20;
    ASSERT_TRUE(Load(TestSupport::BankWithBindings(Saved(), bindings)));
    Start();
    StereoBlock block(256);
    block.in.AddMidi(100, 0xB3, 20, 127);
    block.in.AddMidi(120, 0xB0, 21, 127); // unbound: nothing moves
    block.in.AddMidi(130, 0xF8, 0, 0);    // a clock: not a channel message
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    EXPECT_EQ(Value(MorlentDelay::kFeedbackLevel), 1.0);
    ASSERT_EQ(block.out.Size(), 1u);
    const auto& moved = block.out.As<Clap::ParamValueEvent>(0);
    EXPECT_EQ(moved.header.type, Clap::kEventParamValue);
    EXPECT_EQ(moved.header.time, 100u);
    EXPECT_EQ(moved.paramId, static_cast<Clap::Id>(MorlentDelay::kFeedbackLevel));
    EXPECT_EQ(moved.value, 1.0);
    EXPECT_EQ(host.flushRequests, 0); // never from the audio thread
}

TEST_F(ClapEffectTest, ALearnCompletedOnTheAudioThreadMarksTheStateDirtyFromTheMainThread)
{
    MorlentClap::ClapEffect* effect = MorlentClap::ClapEffect::From(plugin);
    ASSERT_NE(effect, nullptr);
    Start();
    effect->Core().GetModel()->StartLearningMidi(MorlentDelay::kWetDryMix);
    StereoBlock block(64);
    block.in.AddMidi(10, 0xB0, 7, 64);
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    EXPECT_EQ(host.callbacks, 1);
    EXPECT_EQ(host.dirtyMarks, 0);
    plugin->onMainThread(plugin);
    EXPECT_EQ(host.dirtyMarks, 1);
    plugin->onMainThread(plugin); // nothing new
    EXPECT_EQ(host.dirtyMarks, 1);
}

TEST_F(ClapEffectTest, EditorEditsReachTheHostAsGesturesThroughFlushOrTheNextBlock)
{
    VstToolkit::PluginCore& core = MorlentClap::ClapEffect::From(plugin)->Core();
    // Not processing: the host is asked to flush, and hears the edit there.
    core.OnViewParameterValueChanged(MorlentDelay::kWetDryMix, 0.75f);
    EXPECT_GT(host.flushRequests, 0);
    EventList in, out;
    params->flush(plugin, &in.in, &out.out);
    ASSERT_EQ(out.Size(), 3u);
    EXPECT_EQ(out.At(0)->type, Clap::kEventParamGestureBegin);
    EXPECT_EQ(out.As<Clap::ParamGestureEvent>(0).paramId, static_cast<Clap::Id>(MorlentDelay::kWetDryMix));
    EXPECT_EQ(out.At(1)->type, Clap::kEventParamValue);
    EXPECT_EQ(out.As<Clap::ParamValueEvent>(1).value, 50.0);
    EXPECT_TRUE(out.At(1)->flags & Clap::kEventIsLive);
    EXPECT_EQ(out.At(2)->type, Clap::kEventParamGestureEnd);
    out.Clear();
    params->flush(plugin, &in.in, &out.out);
    EXPECT_EQ(out.Size(), 0u); // told once

    // Processing: the next block carries it, at frame 0, and the host is not asked to flush.
    Start();
    const int requests = host.flushRequests;
    core.OnViewParameterValueChanged(MorlentDelay::kFeedbackLevel, 0.5f);
    EXPECT_EQ(host.flushRequests, requests);
    StereoBlock block(64);
    ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
    ASSERT_EQ(block.out.Size(), 3u);
    EXPECT_EQ(block.out.At(1)->time, 0u);
    EXPECT_EQ(block.out.As<Clap::ParamValueEvent>(1).value, 0.25);
}

// ---- State ------------------------------------------------------------------------------------

TEST_F(ClapEffectTest, StateRoundTripsThroughStreamsThatMoveAByteAtATime)
{
    Flush({{MorlentDelay::kFeedbackLevel, 0.3}, {MorlentDelay::kFilter, 1.0}, {MorlentDelay::kCutoffFrequency, 750.0}});
    TestStream slow;
    slow.piece = 1;
    const Clap::OutputStream out = slow.Output();
    ASSERT_TRUE(state->save(plugin, &out));
    const std::vector<uint8_t> saved = Saved();
    EXPECT_EQ(slow.bytes, saved);
    EXPECT_GE(saved.size(), static_cast<size_t>(MorlentDelay::kSmallestBankChunkSize));
    Flush({{MorlentDelay::kFeedbackLevel, 0.9}, {MorlentDelay::kFilter, 0.0}});
    ASSERT_TRUE(Load(saved, 1));
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(Value(MorlentDelay::kFilter), 1.0);
}

TEST_F(ClapEffectTest, ShortDamagedForeignNewerOrFailingStreamsAreRefusedAndChangeNothing)
{
    Flush({{MorlentDelay::kFeedbackLevel, 0.3}});
    const std::vector<uint8_t> saved = Saved();
    std::vector<std::vector<uint8_t>> bad = {
        {},
        std::vector<uint8_t>(saved.begin(), saved.begin() + 100),
        std::vector<uint8_t>(saved.begin(), saved.end() - 13),
        std::vector<uint8_t>(2000, 0x55),
        std::vector<uint8_t>(MorlentDelay::kLargestAcceptedChunkSize + 10, 0),
    };
    std::vector<uint8_t> foreign = saved;
    foreign[0] ^= 0x20; // another effect's name
    bad.push_back(foreign);
    std::vector<uint8_t> newer = saved;
    TestSupport::SetChunkVersion(newer, MorlentDelay::kVendorVersion + 1);
    bad.push_back(newer);
    for (const auto& bytes : bad) {
        Flush({{MorlentDelay::kFeedbackLevel, 0.3}});
        EXPECT_FALSE(Load(bytes, 7)) << bytes.size() << " bytes";
        EXPECT_EQ(Saved(), saved);
    }
    TestStream failing;
    failing.bytes = saved;
    failing.piece = 64;
    failing.failAfter = 3;
    const Clap::InputStream in = failing.Input();
    EXPECT_FALSE(state->load(plugin, &in));
    EXPECT_EQ(Saved(), saved);
    TestStream full;
    full.failAfter = 2;
    full.piece = 16;
    const Clap::OutputStream out = full.Output();
    EXPECT_FALSE(state->save(plugin, &out));
    EXPECT_FALSE(state->load(plugin, nullptr));
    EXPECT_FALSE(state->save(plugin, nullptr));
}

TEST_F(ClapEffectTest, TheVst2ModulesBankLoadsAndRendersTheSame)
{
    ReferenceCore reference;
    reference.SetParameterValue(MorlentDelay::kFeedbackLevel, 0.7f);
    reference.SetParameterValue(MorlentDelay::kLeftDelay, 0.31f);
    reference.SetParameterValue(MorlentDelay::kPan, 1.0f);
    // Another program of the bank, which the host would select itself.
    reference.SelectProgram(3);
    reference.SetParameterValue(MorlentDelay::kWetDryMix, 0.9f);
    reference.SelectProgram(0);
    Morlent::ChunkBuffer bank;
    reference.GetState(bank, VstToolkit::PluginCore::StateScope::kBank);
    ASSERT_TRUE(Load(std::vector<uint8_t>(bank.Data(), bank.Data() + bank.Length())));
    EXPECT_EQ(Value(MorlentDelay::kFeedbackLevel), VstToolkit::ExactDisplayValue(6, 0.7f));
    EXPECT_EQ(Saved(), std::vector<uint8_t>(bank.Data(), bank.Data() + bank.Length()));

    Start(1024);
    reference.SetMaxBlockSize(1024);
    StereoBlock block(1024), expected(1024);
    for (uint32_t round = 0; round < 4; ++round) {
        Noise(block, round);
        Noise(expected, round);
        ASSERT_EQ(plugin->process(plugin, &block.process), Clap::kProcessContinue);
        reference.ProcessFrames(expected.inputs, expected.outputs, 0, 1024);
        ASSERT_TRUE(block.outLeft == expected.outLeft && block.outRight == expected.outRight);
    }
}

// ---- Presets ------------------------------------------------------------------------------------

struct Indexed {
    std::vector<Clap::PresetLocation> locations;
    std::vector<std::pair<std::string, std::string>> presets; // name, load key
    std::vector<std::string> pluginIds;
    std::vector<uint32_t> flags;
};

TEST(ClapPresets, TheDiscoveryFactoryListsTheFactoryProgramsInThePluginItself)
{
    ASSERT_TRUE(clap_entry.init("/x/MorlentDelay.clap"));
    auto* factory =
        static_cast<const Clap::PresetDiscoveryFactory*>(clap_entry.getFactory(Clap::kPresetDiscoveryFactoryId));
    ASSERT_NE(factory, nullptr);
    ASSERT_EQ(factory->count(factory), 1u);
    EXPECT_EQ(factory->getDescriptor(factory, 1), nullptr);
    const Clap::PresetProviderDescriptor* descriptor = factory->getDescriptor(factory, 0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_STREQ(descriptor->vendor, "Morlent Sound Design");

    Indexed indexed;
    Clap::PresetIndexer indexer{};
    indexer.version = Clap::kVersion;
    indexer.indexerData = &indexed;
    indexer.declareLocation = [](const Clap::PresetIndexer* i, const Clap::PresetLocation* location) {
        static_cast<Indexed*>(i->indexerData)->locations.push_back(*location);
        return true;
    };
    EXPECT_EQ(factory->create(factory, &indexer, "com.example.other"), nullptr);
    EXPECT_EQ(factory->create(factory, nullptr, descriptor->id), nullptr);
    const Clap::PresetProvider* provider = factory->create(factory, &indexer, descriptor->id);
    ASSERT_NE(provider, nullptr);
    EXPECT_TRUE(indexed.locations.empty()); // nothing before init
    ASSERT_TRUE(provider->init(provider));
    ASSERT_EQ(indexed.locations.size(), 1u);
    EXPECT_EQ(indexed.locations[0].kind, Clap::kPresetLocationPlugin);
    EXPECT_EQ(indexed.locations[0].location, nullptr);
    EXPECT_EQ(indexed.locations[0].flags, Clap::kPresetIsFactoryContent);

    Clap::PresetMetadataReceiver receiver{};
    receiver.receiverData = &indexed;
    receiver.beginPreset = [](const Clap::PresetMetadataReceiver* r, const char* name, const char* key) {
        static_cast<Indexed*>(r->receiverData)->presets.emplace_back(name, key);
        return true;
    };
    receiver.addPluginId = [](const Clap::PresetMetadataReceiver* r, const Clap::UniversalPluginId* id) {
        static_cast<Indexed*>(r->receiverData)->pluginIds.push_back(std::string(id->abi) + ":" + id->id);
    };
    receiver.setFlags = [](const Clap::PresetMetadataReceiver* r, uint32_t flags) {
        static_cast<Indexed*>(r->receiverData)->flags.push_back(flags);
    };
    EXPECT_FALSE(provider->getMetadata(provider, Clap::kPresetLocationFile, "/x/a.preset", &receiver));
    EXPECT_FALSE(provider->getMetadata(provider, Clap::kPresetLocationPlugin, nullptr, nullptr));
    ASSERT_TRUE(provider->getMetadata(provider, Clap::kPresetLocationPlugin, nullptr, &receiver));
    ASSERT_EQ(indexed.presets.size(), static_cast<size_t>(MorlentDelay::kProgramCount));
    for (int32_t program = 0; program < MorlentDelay::kProgramCount; ++program) {
        EXPECT_EQ(indexed.presets[program].first, FactoryBank::kPrograms[program].name);
        EXPECT_EQ(MorlentClap::ProgramOfLoadKey(indexed.presets[program].second.c_str()), program);
        EXPECT_EQ(indexed.pluginIds[program], "clap:com.example.morlent-delay");
        EXPECT_EQ(indexed.flags[program], Clap::kPresetIsFactoryContent);
    }
    // A receiver that wants no more stops the list.
    indexed.presets.clear();
    receiver.beginPreset = [](const Clap::PresetMetadataReceiver* r, const char* name, const char* key) {
        static_cast<Indexed*>(r->receiverData)->presets.emplace_back(name, key);
        return false;
    };
    ASSERT_TRUE(provider->getMetadata(provider, Clap::kPresetLocationPlugin, nullptr, &receiver));
    EXPECT_EQ(indexed.presets.size(), 1u);
    provider->destroy(provider);
    clap_entry.deinit();
}

TEST_F(ClapEffectTest, LoadingAPresetSetsItsProgramsValuesOnTheSelectedProgram)
{
    auto* load = Ext<Clap::PluginPresetLoad>(plugin, Clap::kExtPresetLoad);
    ASSERT_NE(load, nullptr);
    EXPECT_EQ(plugin->getExtension(plugin, Clap::kExtPresetLoadDraft), load);
    const std::vector<uint8_t> before = Saved();
    for (const char* bad : {"32", "-1", "07", "1x", "", "123"}) {
        EXPECT_FALSE(load->fromLocation(plugin, Clap::kPresetLocationPlugin, nullptr, bad)) << bad;
        EXPECT_EQ(Saved(), before);
    }
    EXPECT_FALSE(load->fromLocation(plugin, Clap::kPresetLocationPlugin, nullptr, nullptr));
    EXPECT_FALSE(load->fromLocation(plugin, Clap::kPresetLocationFile, "/x/14", "14"));
    EXPECT_EQ(host.presetErrors, 8);
    EXPECT_EQ(Saved(), before);

    ASSERT_TRUE(load->fromLocation(plugin, Clap::kPresetLocationPlugin, nullptr, "14"));
    EXPECT_EQ(host.loadedKey, "14");
    EXPECT_EQ(host.rescans, 1);
    EXPECT_EQ(host.rescanFlags, Clap::kParamRescanValues);
    VstToolkit::PluginCore& core = MorlentClap::ClapEffect::From(plugin)->Core();
    EXPECT_EQ(core.GetSelectedProgram(), 0);
    for (int32_t parameter = 0; parameter < 12; ++parameter)
        EXPECT_EQ(core.GetParameterValue(parameter), FactoryBank::NormalisedValue(FactoryBank::kPrograms[14], parameter))
            << parameter;
}

} // namespace
