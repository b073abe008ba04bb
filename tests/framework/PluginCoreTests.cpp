// The plug-in core as a format adapter sees it, with no VST 2 in between: what it lists, what it
// reports back, and what it refuses.

#include "delay/MorlentDelayModel.h"
#include "framework/PluginCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using Morlent::ChunkBuffer;
using VstToolkit::ParameterInfo;
using VstToolkit::PluginCore;
using MorlentDelay::ParameterKind;

// An adapter that only records what the core reports.
class RecordingAdapter : public PluginCore {
public:
    RecordingAdapter() : PluginCore(new MorlentDelayModel) { AttachToModel(); }

    std::vector<std::pair<int32_t, float>> edits;
    int learned = 0;

protected:
    void ReportParameterEdit(int32_t index, float value) override { edits.emplace_back(index, value); }
    void ReportMidiLearned() override { ++learned; }
};

std::string Format(const PluginCore& core, int32_t index, float value)
{
    char text[MorlentDelay::kDisplaySize];
    std::memset(text, 'x', sizeof text);
    core.FormatParameterValue(index, value, text);
    EXPECT_EQ('\0', text[sizeof text - 1]);
    return text;
}

std::string Display(const PluginCore& core, int32_t index)
{
    char text[MorlentDelay::kDisplaySize];
    core.GetParameterDisplay(index, text);
    return text;
}

void ProcessSilence(PluginCore& core, int32_t frames)
{
    std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    float* channels[] = {left.data(), right.data()};
    core.Process(channels, channels, frames);
}

TEST(PluginCore, SwitchesAndChoicesListTheEntriesTheirDisplaysShow)
{
    RecordingAdapter core;
    ASSERT_EQ(MorlentDelay::kParameterCount, core.GetParameterCount());
    int switches = 0, choices = 0;
    for (int32_t index = 0; index < core.GetParameterCount(); ++index) {
        const ParameterInfo* info = core.GetParameterInfo(index);
        ASSERT_NE(nullptr, info);
        EXPECT_FLOAT_EQ(MorlentDelay::kParameters[index].defaultValue, info->defaultValue);
        if (info->kind == ParameterKind::kContinuous) {
            EXPECT_EQ(0, info->entryCount) << index;
            continue;
        }
        (info->kind == ParameterKind::kSwitch ? switches : choices) += 1;
        ASSERT_GE(info->entryCount, 2) << index;
        // Each step's value, the step's lowest and its middle, shows the step's entry.
        for (int32_t step = 0; step < info->entryCount; ++step) {
            const float lowest = static_cast<float>(step) / static_cast<float>(info->entryCount);
            const float middle = (static_cast<float>(step) + 0.5f) / static_cast<float>(info->entryCount);
            EXPECT_EQ(info->entries[step], Format(core, index, middle)) << info->longName << " step " << step;
            EXPECT_EQ(info->entries[step], Format(core, index, lowest)) << info->longName << " step " << step;
        }
        EXPECT_EQ(info->entries[info->entryCount - 1], Format(core, index, 1.0f)) << info->longName;
    }
    EXPECT_EQ(4, switches);
    EXPECT_EQ(3, choices);
    EXPECT_EQ(nullptr, core.GetParameterInfo(-1));
    EXPECT_EQ(nullptr, core.GetParameterInfo(MorlentDelay::kParameterCount));
}

// Hosts ask for the text of values they have not set (a tooltip, a generic editor's list); it
// must be the text the value shows once set.
TEST(PluginCore, AValuesTextIsTheDisplayItShowsOnceSet)
{
    RecordingAdapter core;
    const float values[] = {0.0f, 1e-6f, 0.1f, 0.2499f, 0.25f, 0.333f, 0.5f, 0.5001f, 0.7071f, 0.9f, 0.99999f, 1.0f};
    for (int32_t index = 0; index < core.GetParameterCount(); ++index) {
        for (float value : values) {
            const std::string predicted = Format(core, index, value);
            core.SetParameterValue(index, value);
            EXPECT_EQ(Display(core, index), predicted) << index << " at " << value;
        }
    }
    // Out of range is kept in range, as a stored value would be; a NaN counts as 0.
    EXPECT_EQ(Format(core, MorlentDelay::kWetDryMix, 1.0f), Format(core, MorlentDelay::kWetDryMix, 7.0f));
    EXPECT_EQ(Format(core, MorlentDelay::kFeedbackLevel, 0.0f),
              Format(core, MorlentDelay::kFeedbackLevel, std::numeric_limits<float>::quiet_NaN()));
    EXPECT_EQ("", Format(core, 12, 0.5f));
    EXPECT_EQ("", Format(core, -1, 0.5f));
}

TEST(PluginCore, ALearnedControllerIsReportedAndAHostsValueIsNot)
{
    RecordingAdapter core;
    core.SetParameterValue(MorlentDelay::kWetDryMix, 0.25f);
    EXPECT_TRUE(core.edits.empty()) << "the host made that change itself";

    core.GetModel()->StartLearningMidi(MorlentDelay::kFeedbackLevel);
    core.PushMidiEvent(3, 0xB0, 21, 5);
    ProcessSilence(core, 16);
    EXPECT_EQ(1, core.learned);
    EXPECT_TRUE(core.edits.empty()) << "learning binds; it does not move the parameter";

    core.PushMidiEvent(0, 0xB2, 21, 127);
    ProcessSilence(core, 16);
    ASSERT_EQ(1u, core.edits.size());
    EXPECT_EQ(MorlentDelay::kFeedbackLevel, core.edits[0].first);
    EXPECT_FLOAT_EQ(1.0f, core.edits[0].second);
    EXPECT_FLOAT_EQ(1.0f, core.GetParameterValue(MorlentDelay::kFeedbackLevel));

    core.OnViewParameterValueChanged(MorlentDelay::kPan, 1.0f);
    ASSERT_EQ(2u, core.edits.size());
    EXPECT_EQ(MorlentDelay::kPan, core.edits[1].first);
    core.OnViewParameterValueChanged(MorlentDelay::kParameterCount, 1.0f);
    EXPECT_EQ(2u, core.edits.size());
}

TEST(PluginCore, StateComesBackAndARefusedStateChangesNothing)
{
    RecordingAdapter source;
    source.SetParameterValue(MorlentDelay::kLeftDelay, 0.3f);
    source.SelectProgram(5);
    source.SetSelectedProgramName("Tape Room");
    source.SetParameterValue(MorlentDelay::kCutoffFrequency, 0.8f);
    ChunkBuffer bank;
    source.GetState(bank, PluginCore::StateScope::kBank);
    ChunkBuffer program;
    source.GetState(program, PluginCore::StateScope::kProgram);

    RecordingAdapter target;
    ASSERT_TRUE(target.SetState(bank.Data(), bank.Length(), PluginCore::StateScope::kBank));
    // A bank holds every program but not which one is selected: hosts keep that themselves.
    ASSERT_TRUE(target.SelectProgram(5));
    EXPECT_STREQ("Tape Room", target.GetProgramName(5));
    EXPECT_FLOAT_EQ(0.8f, target.GetParameterValue(MorlentDelay::kCutoffFrequency));
    ChunkBuffer again;
    target.GetState(again, PluginCore::StateScope::kBank);
    ASSERT_EQ(bank.Length(), again.Length());
    EXPECT_EQ(0, std::memcmp(bank.Data(), again.Data(), bank.Length()));

    RecordingAdapter fresh;
    ChunkBuffer before;
    fresh.GetState(before, PluginCore::StateScope::kBank);
    std::vector<uint8_t> damaged(bank.Data(), bank.Data() + bank.Length());
    damaged[3] ^= 0x20; // the effect's name
    const std::vector<uint8_t> huge(PluginCore::kMaxStateSize + 1, 0);
    EXPECT_FALSE(fresh.SetState(damaged.data(), static_cast<int64_t>(damaged.size()), PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(bank.Data(), bank.Length() - 1, PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(nullptr, bank.Length(), PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(bank.Data(), 0, PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(bank.Data(), -5, PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(huge.data(), static_cast<int64_t>(huge.size()), PluginCore::StateScope::kBank));
    EXPECT_FALSE(fresh.SetState(program.Data(), program.Length(), PluginCore::StateScope::kBank));
    ChunkBuffer after;
    fresh.GetState(after, PluginCore::StateScope::kBank);
    ASSERT_EQ(before.Length(), after.Length());
    EXPECT_EQ(0, std::memcmp(before.Data(), after.Data(), before.Length()));

    ASSERT_TRUE(fresh.SetState(program.Data(), program.Length(), PluginCore::StateScope::kProgram));
    EXPECT_FLOAT_EQ(0.8f, fresh.GetParameterValue(MorlentDelay::kCutoffFrequency));
    EXPECT_FALSE(fresh.SelectProgram(32));
    EXPECT_FALSE(fresh.SelectProgram(-1));
    EXPECT_EQ(0, fresh.GetSelectedProgram());
}

TEST(PluginCore, TimeInformationGivenOnlyInPartChangesOnlyThatPart)
{
    RecordingAdapter core;
    VstToolkit::TimeInfo time;
    time.playing = true;
    time.tempoValid = true;
    time.tempo = 90.0;
    core.SetTimeInfo(time);
    EXPECT_DOUBLE_EQ(90.0, core.GetModel()->GetTempo());

    // A host that stops giving its tempo leaves the last one in force; a NaN changes nothing.
    time.tempoValid = false;
    time.tempo = 200.0;
    core.SetTimeInfo(time);
    EXPECT_DOUBLE_EQ(90.0, core.GetModel()->GetTempo());
    time.tempoValid = true;
    time.tempo = std::numeric_limits<double>::quiet_NaN();
    core.SetTimeInfo(time);
    EXPECT_DOUBLE_EQ(90.0, core.GetModel()->GetTempo());

    time.playing = false;
    time.timeSignatureValid = true;
    time.timeSignatureNumerator = 7;
    time.timeSignatureDenominator = 8;
    core.SetTimeInfo(time);
    EXPECT_FALSE(core.GetModel()->IsPlaying());
    EXPECT_EQ(7, core.GetModel()->GetTimeSignatureNumerator());
    EXPECT_EQ(8, core.GetModel()->GetTimeSignatureDenominator());

    EXPECT_FALSE(core.SetSampleRate(0.0f));
    EXPECT_FALSE(core.SetSampleRate(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_TRUE(core.SetSampleRate(96000.0f));
    EXPECT_FLOAT_EQ(96000.0f, core.GetSampleRate());
}

} // namespace
