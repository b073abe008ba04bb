// What the processor asks of the host's process context, through IProcessContextRequirements
// as a host queries it, and that the parts it asks for are all it reads.

#include "description/EffectDescription.h"
#include "vst3/Vst3Effect.h"
#include "tests/vst3/Vst3TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace Vst3;
using namespace Vst3Test;
using MorlentVst3::Vst3Effect;

namespace {

constexpr uint32 kRequested = IProcessContextRequirements::kNeedTempo |
                              IProcessContextRequirements::kNeedProjectTimeMusic |
                              IProcessContextRequirements::kNeedTimeSignature |
                              IProcessContextRequirements::kNeedTransportState;

// A host's pointer to one interface of the object, as queryInterface hands it out.
struct Interface {
    const char* name;
    const Uid* iid;
};

const Interface kInterfaces[] = {
    {"FUnknown", &kFUnknownIid},
    {"IPluginBase", &kIPluginBaseIid},
    {"IComponent", &kIComponentIid},
    {"IAudioProcessor", &kIAudioProcessorIid},
    {"IProcessContextRequirements", &kIProcessContextRequirementsIid},
    {"IEditController", &kIEditControllerIid},
    {"IUnitInfo", &kIUnitInfoIid},
    {"IMidiMapping", &kIMidiMappingIid},
};

FUnknown* Query(FUnknown* from, const Uid& iid)
{
    void* object = nullptr;
    if (from->queryInterface(iid.bytes, &object) != kResultOk)
        return nullptr;
    return static_cast<FUnknown*>(object);
}

class ProcessContextRequirementsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect = new Vst3Effect;
        component = effect;
        ASSERT_EQ(component->initialize(nullptr), kResultOk);
    }
    void TearDown() override
    {
        component->terminate();
        component->release();
    }

    Vst3Effect* effect = nullptr;
    IComponent* component = nullptr;
};

// A second of a click through a fresh instance with synchronised delays, so tempo and transport
// shape the output.
std::vector<float> RenderWith(const ProcessContext& context)
{
    constexpr int32 kFrames = 44100;
    Vst3Effect* effect = new Vst3Effect;
    IComponent* component = effect;
    IAudioProcessor* processor = effect;
    EXPECT_EQ(component->initialize(nullptr), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, kFrames, 44100.0};
    EXPECT_EQ(processor->setupProcessing(setup), kResultOk);
    EXPECT_EQ(component->setActive(1), kResultOk);
    EXPECT_EQ(effect->setParamNormalized(MorlentDelay::kSync, 1.0), kResultOk);
    EXPECT_EQ(effect->setParamNormalized(MorlentDelay::kFeedbackLevel, 0.7), kResultOk);
    StereoBlock block(kFrames);
    block.inLeft[0] = 1.0f;
    block.inRight[0] = 1.0f;
    ProcessContext copy = context;
    block.data.processContext = &copy;
    EXPECT_EQ(processor->process(block.data), kResultOk);
    component->terminate();
    component->release();
    std::vector<float> out = block.outLeft;
    out.insert(out.end(), block.outRight.begin(), block.outRight.end());
    return out;
}

} // namespace

TEST(ProcessContextRequirementsIdTest, IsThePublishedIdentifierInThisPlatformsByteOrder)
{
    // 2A654303-EF76-4E3D-95B5-FE83730EF6D0: COM stores the first three fields little-endian,
    // every other platform all sixteen bytes in reading order.
#if VST3_COM_COMPATIBLE
    const unsigned char expected[16] = {0x03, 0x43, 0x65, 0x2A, 0x76, 0xEF, 0x3D, 0x4E,
                                        0x95, 0xB5, 0xFE, 0x83, 0x73, 0x0E, 0xF6, 0xD0};
#else
    const unsigned char expected[16] = {0x2A, 0x65, 0x43, 0x03, 0xEF, 0x76, 0x4E, 0x3D,
                                        0x95, 0xB5, 0xFE, 0x83, 0x73, 0x0E, 0xF6, 0xD0};
#endif
    EXPECT_EQ(std::memcmp(kIProcessContextRequirementsIid.bytes, expected, 16), 0);
}

TEST_F(ProcessContextRequirementsTest, EveryInterfaceOfTheObjectLeadsToItAndBack)
{
    FUnknown* requirements = Query(component, kIProcessContextRequirementsIid);
    ASSERT_NE(requirements, nullptr);
    for (const Interface& from : kInterfaces) {
        SCOPED_TRACE(from.name);
        FUnknown* start = Query(component, *from.iid);
        ASSERT_NE(start, nullptr);
        FUnknown* reached = Query(start, kIProcessContextRequirementsIid);
        EXPECT_EQ(reached, requirements);
        // And from the requirements to the interface, the same pointer as asked for directly.
        FUnknown* back = Query(requirements, *from.iid);
        EXPECT_EQ(back, start);
        if (back != nullptr)
            back->release();
        if (reached != nullptr)
            reached->release();
        start->release();
    }
    // Every answer held a reference of its own: one added now leaves the creator's and this one.
    EXPECT_EQ(requirements->addRef(), 3u);
    requirements->release();
    requirements->release();
    // The null cases of every other query.
    EXPECT_EQ(requirements->queryInterface(kIProcessContextRequirementsIid.bytes, nullptr), kInvalidArgument);
    void* object = &object;
    EXPECT_EQ(requirements->queryInterface(nullptr, &object), kInvalidArgument);
    EXPECT_EQ(object, nullptr);
}

TEST_F(ProcessContextRequirementsTest, AsksForTempoPositionTimeSignatureAndTransportOnly)
{
    FUnknown* unknown = Query(component, kIProcessContextRequirementsIid);
    ASSERT_NE(unknown, nullptr);
    auto* requirements = static_cast<IProcessContextRequirements*>(unknown);
    const uint32 flags = requirements->getProcessContextRequirements();
    EXPECT_EQ(flags, kRequested);
    // The flags' published values: tempo 1 << 6, project time music 1 << 2, time signature 1 << 7,
    // transport state 1 << 10.
    EXPECT_EQ(flags, 0x4C4u);
    // The same answer after set-up and activation, since a host may ask at any point before.
    IAudioProcessor* processor = effect;
    ProcessSetup setup{kRealtime, kSample32, 512, 48000.0};
    ASSERT_EQ(processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(component->setActive(1), kResultOk);
    EXPECT_EQ(requirements->getProcessContextRequirements(), kRequested);
    ASSERT_EQ(component->setActive(0), kResultOk);
    unknown->release();
}

// A host that fills in only what the effect asked for, and leaves the rest invalid or stale,
// must hear the same bits as one that fills in everything.
TEST(ProcessContextRequirementsRenderTest, AContextWithOnlyTheRequestedPartsRendersAsAFullOne)
{
    ProcessContext requested{};
    requested.state = ProcessContext::kPlaying | ProcessContext::kTempoValid | ProcessContext::kProjectTimeMusicValid |
                      ProcessContext::kTimeSigValid;
    requested.sampleRate = 44100.0;
    requested.tempo = 96.0;
    requested.projectTimeMusic = 7.25;
    requested.timeSigNumerator = 3;
    requested.timeSigDenominator = 8;
    // Parts nobody asked for: left as a host might leave them, with their flags off.
    requested.projectTimeSamples = 123456;
    requested.barPositionMusic = NAN;
    requested.cycleStartMusic = -3.0;
    requested.systemTime = -1;

    ProcessContext full = requested;
    full.state |= ProcessContext::kSystemTimeValid | ProcessContext::kBarPositionValid | ProcessContext::kCycleValid |
                  ProcessContext::kCycleActive | ProcessContext::kContTimeValid | ProcessContext::kChordValid |
                  ProcessContext::kSmpteValid | ProcessContext::kClockValid | ProcessContext::kRecording;
    full.systemTime = 987654321;
    full.continousTimeSamples = 654321;
    full.barPositionMusic = 6.0;
    full.cycleStartMusic = 4.0;
    full.cycleEndMusic = 12.0;
    full.chord = Chord{60, 48, 0x91};
    full.smpteOffsetSubframes = 40;
    full.frameRate = FrameRate{25, 0};
    full.samplesToNextClock = 17;

    const std::vector<float> fromRequested = RenderWith(requested);
    EXPECT_EQ(RenderWith(full), fromRequested);
    // The requested parts do reach the effect: another tempo is another render.
    ProcessContext otherTempo = requested;
    otherTempo.tempo = 150.0;
    EXPECT_NE(RenderWith(otherTempo), fromRequested);
}
