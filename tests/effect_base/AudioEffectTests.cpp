#include "effect_base/AudioEffectX.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

namespace {

using TestSupport::StandInHost;

// The smallest effect that overrides nothing but what the base cannot do itself, so every
// answer below is the base's own; it counts what reaches it.
struct ProbeEffect : AudioEffectX {
    static int destroyed;
    int processed = 0;
    VstInt32 lastProgram = -1;
    float lastParameter = -1.0f;
    bool suspended = false;

    ProbeEffect() : AudioEffectX(StandInHost::Callback, 32, 12) {}
    ~ProbeEffect() override { ++destroyed; }
    void processReplacing(float**, float**, VstInt32 frames) override { processed += frames; }
    void setProgram(VstInt32 program) override
    {
        lastProgram = program;
        AudioEffectX::setProgram(program);
    }
    void setParameter(VstInt32, float value) override { lastParameter = value; }
    void suspend() override { suspended = true; }
    VstInt32 canDo(char* text) override { return std::strcmp(text, "receiveVstMidiEvent") == 0 ? 1 : -1; }
};
int ProbeEffect::destroyed = 0;

struct ProbeEditor : AEffEditor {
    static int destroyed;
    ERect rect{0, 0, 344, 496};
    void* parent = nullptr;
    int idles = 0;
    ~ProbeEditor() override { ++destroyed; }
    bool getRect(ERect** out) override
    {
        *out = &rect;
        return true;
    }
    bool open(void* window) override
    {
        parent = window;
        return true;
    }
    void idle() override { ++idles; }
};
int ProbeEditor::destroyed = 0;

class EffectBase : public ::testing::Test, protected TestSupport::EffectCalls {
protected:
    EffectBase() : EffectCalls(record) {}
    void SetUp() override
    {
        StandInHost::Reset();
        effect = new ProbeEffect;
        record = effect->getAeffect();
    }
    void TearDown() override
    {
        if (effect != nullptr)
            Dispatch(effClose);
    }

    ProbeEffect* effect = nullptr;
    AEffect* record = nullptr;
};

TEST_F(EffectBase, RecordHoldsTheBaseValuesAndPointsBackToTheEffect)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(record);
    EXPECT_EQ(0x56737450, record->magic);
    EXPECT_EQ(std::string("PtsV"), std::string(reinterpret_cast<const char*>(bytes), 4)); // little-endian 'VstP'
    EXPECT_EQ(32, record->numPrograms);
    EXPECT_EQ(12, record->numParams);
    EXPECT_EQ(1, record->numInputs);
    EXPECT_EQ(2, record->numOutputs);
    EXPECT_EQ(effFlagsCanReplacing, record->flags);
    EXPECT_EQ(1.0f, record->ioRatio);
    EXPECT_EQ(0x4E6F4566, record->uniqueID);
    EXPECT_EQ(1, record->version);
    EXPECT_EQ(effect, record->object);
    EXPECT_EQ(nullptr, record->user);
    for (size_t i = 0; i < sizeof record->future; ++i)
        ASSERT_EQ(0, record->future[i]);
    EXPECT_EQ(0, record->resvd1);
    EXPECT_EQ(0, record->initialDelay);
    EXPECT_NE(nullptr, record->processReplacing);
    EXPECT_NE(nullptr, record->processDoubleReplacing);
}

TEST_F(EffectBase, IdentityAndVersionAnswers)
{
    EXPECT_EQ(0x4E764566, Dispatch(effIdentify));
    EXPECT_EQ(0x4E764566, Dispatch(effIdentify, 7, 9, record, 1.0f));
    EXPECT_EQ(2400, Dispatch(effGetVstVersion));
    EXPECT_EQ(-1, Dispatch(effGetCurrentMidiProgram));
    EXPECT_EQ(123456, Dispatch(effSetTotalSampleToProcess, 0, 123456));
    EXPECT_EQ(1, Dispatch(effCanBeAutomated, 3));
    EXPECT_EQ(0, Dispatch(effCanBeAutomated, 12));
}

TEST_F(EffectBase, UnnamedAndDefaultOpcodesAnswerZero)
{
    for (VstInt32 opcode : {9, 16, 17, 18, 20, 21, 27, 28, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43,
                            44, 45, 46, 47, 48, 49, 50, 52, 53, 54, 55, 56, 57, 59, 60, 61, 62, 64, 65, 66, 67, 68,
                            70, 71, 72, 74, 75, 76, 77, 78, 79, 80, 200, -1}) {
        char buffer[256] = {};
        EXPECT_EQ(0, Dispatch(opcode, 0, 0, buffer)) << "opcode " << opcode;
    }
}

TEST_F(EffectBase, SpeakerArrangementQueryClearsBothPointers)
{
    int dummy = 0;
    auto* input = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
    auto* output = reinterpret_cast<VstSpeakerArrangement*>(&dummy);
    EXPECT_EQ(0, Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output));
    EXPECT_EQ(nullptr, input);
    EXPECT_EQ(nullptr, output);
    EXPECT_EQ(0, Dispatch(effGetSpeakerArrangement)); // null pointers are not written through
}

TEST_F(EffectBase, ProgramGuardRejectsOutOfRangeAndNegativeNumbers)
{
    Dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(5, effect->lastProgram);
    EXPECT_EQ(5, Dispatch(effGetProgram));
    Dispatch(effSetProgram, 0, 32);
    Dispatch(effSetProgram, 0, -1);
    Dispatch(effSetProgram, 0, INTPTR_MAX);
    Dispatch(effSetProgram, 0, sizeof(VstIntPtr) == 8 ? static_cast<VstIntPtr>(INT64_C(0x100000003)) : INTPTR_MIN);
    EXPECT_EQ(5, effect->lastProgram);
    EXPECT_EQ(5, Dispatch(effGetProgram));
}

TEST_F(EffectBase, ResumeAsksForMidiAndSuspendDoesNot)
{
    Dispatch(effMainsChanged, 0, 1);
    auto wants = StandInHost::Instance().CallsOf(audioMasterWantMidi);
    ASSERT_EQ(1u, wants.size());
    EXPECT_EQ(1, wants[0].value);
    EXPECT_EQ(record, wants[0].effect);
    Dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(effect->suspended);
    EXPECT_EQ(1u, StandInHost::Instance().CallsOf(audioMasterWantMidi).size());
}

TEST_F(EffectBase, SampleRateAndBlockSizeAreStored)
{
    EXPECT_EQ(44100.0f, effect->getSampleRate());
    EXPECT_EQ(1024, effect->getBlockSize());
    Dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    Dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(96000.0f, effect->getSampleRate());
    EXPECT_EQ(256, effect->getBlockSize());
}

TEST_F(EffectBase, EditorOpcodesWithoutAnEditorAnswerZero)
{
    ERect* rect = reinterpret_cast<ERect*>(&rect);
    EXPECT_EQ(0, Dispatch(effEditGetRect, 0, 0, &rect));
    EXPECT_EQ(0, Dispatch(effEditOpen, 0, 0, record));
    EXPECT_EQ(0, Dispatch(effEditClose));
    EXPECT_EQ(0, Dispatch(effEditIdle));
    EXPECT_EQ(0, record->flags & effFlagsHasEditor);
}

TEST_F(EffectBase, EditorIsReachedThroughItsOpcodesAndDeletedWithTheEffect)
{
    auto* editor = new ProbeEditor;
    effect->setEditor(editor);
    EXPECT_EQ(effFlagsHasEditor, record->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
    ASSERT_EQ(&editor->rect, rect);
    EXPECT_EQ(0, Dispatch(effEditGetRect, 0, 0, nullptr));
    int window = 0;
    EXPECT_EQ(1, Dispatch(effEditOpen, 0, 0, &window));
    EXPECT_EQ(&window, editor->parent);
    Dispatch(effEditIdle);
    EXPECT_EQ(1, editor->idles);
    ProbeEditor::destroyed = 0;
    ProbeEffect::destroyed = 0;
    EXPECT_EQ(1, Dispatch(effClose));
    effect = nullptr;
    EXPECT_EQ(1, ProbeEffect::destroyed);
    EXPECT_EQ(1, ProbeEditor::destroyed);
}

TEST_F(EffectBase, ProcessReplacingSkipsMissingBuffersAndEmptyBlocks)
{
    float left[4] = {}, right[4] = {};
    float* channels[2] = {left, right};
    float* missing[2] = {left, nullptr};
    record->processReplacing(record, channels, channels, 4);
    record->processReplacing(record, nullptr, channels, 4);
    record->processReplacing(record, channels, nullptr, 4);
    record->processReplacing(record, channels, missing, 4);
    record->processReplacing(record, channels, channels, 0);
    record->processReplacing(record, channels, channels, -5);
    EXPECT_EQ(4, effect->processed);
}

TEST_F(EffectBase, RecordFunctionsIgnoreForeignRecordsAndOutOfRangeParameters)
{
    AEffect foreign{};
    EXPECT_EQ(0, record->dispatcher(&foreign, effIdentify, 0, 0, nullptr, 0.0f));
    EXPECT_EQ(0, record->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f));
    record->setParameter(record, 12, 0.25f);
    record->setParameter(record, -1, 0.25f);
    record->setParameter(nullptr, 0, 0.25f);
    EXPECT_EQ(-1.0f, effect->lastParameter);
    record->setParameter(record, 11, 0.25f);
    EXPECT_EQ(0.25f, effect->lastParameter);
    EXPECT_EQ(0.0f, record->getParameter(record, 99));
    EXPECT_EQ(0.0f, record->getParameter(nullptr, 0));
}

TEST_F(EffectBase, StringOpcodesLeaveNullPointersAloneAndEmptyOutOfRangeNames)
{
    for (VstInt32 opcode : std::initializer_list<VstInt32>{effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay,
                            effGetParamName, effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                            effGetChunk})
        EXPECT_EQ(0, Dispatch(opcode, 0, 0, nullptr)) << opcode;
    char text[16];
    std::memset(text, 'x', sizeof text);
    Dispatch(effGetParamName, 12, 0, text);
    EXPECT_STREQ("", text);
    std::memset(text, 'x', sizeof text);
    Dispatch(effGetParamLabel, -3, 0, text);
    EXPECT_STREQ("", text);
}

// Some hosts show the buffer whatever the answer; a program outside the bank has no name there.
TEST_F(EffectBase, IndexedProgramNamesOutsideTheBankAreEmptyTexts)
{
    EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, 0, 0, nullptr));
    for (VstInt32 program : {32, 33, -1, -32, INT32_MAX, INT32_MIN}) {
        char text[32];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(0, Dispatch(effGetProgramNameIndexed, program, 0, text)) << program;
        EXPECT_STREQ("", text) << program;
    }
}

TEST_F(EffectBase, SetChunkRejectsSizesThatDoNotFitBeforeTheEffectSeesThem)
{
    char chunk[8] = {};
    EXPECT_EQ(0, Dispatch(effSetChunk, 0, 0, chunk));
    EXPECT_EQ(0, Dispatch(effSetChunk, 0, -8, chunk));
    if (sizeof(VstIntPtr) == 8) {
        EXPECT_EQ(0, Dispatch(effSetChunk, 0, static_cast<VstIntPtr>((static_cast<int64_t>(1) << 32) + 8), chunk));
    }
}

TEST_F(EffectBase, FlagSettersSetAndClearTheirOwnBits)
{
    const VstInt32 before = record->flags;
    effect->programsAreChunks(true);
    effect->canDoubleReplacing(true);
    effect->isSynth(true);
    effect->noTail(true);
    EXPECT_EQ(before | 0x20 | 0x1000 | 0x100 | 0x200, record->flags);
    effect->programsAreChunks(false);
    effect->canDoubleReplacing(false);
    effect->isSynth(false);
    effect->noTail(false);
    EXPECT_EQ(before, record->flags);
}

TEST_F(EffectBase, HostWrappersForwardTheirArguments)
{
    effect->setParameterAutomated(6, 0.75f);
    auto automate = StandInHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(1u, automate.size());
    EXPECT_EQ(6, automate[0].index);
    EXPECT_EQ(0, automate[0].value);
    EXPECT_EQ(0.75f, automate[0].opt);
    EXPECT_EQ(-1.0f, effect->lastParameter); // the caller stores the value itself

    EXPECT_EQ(2400, effect->getMasterVersion());
    StandInHost::Instance().version = 0;
    EXPECT_EQ(1, effect->getMasterVersion());
    EXPECT_TRUE(effect->isInputConnected(0));
    EXPECT_EQ(&StandInHost::Instance().time, effect->getTimeInfo(0x2602));
    EXPECT_EQ(0x2602, StandInHost::Instance().CallsOf(audioMasterGetTime).back().value);
}

TEST(EffectBaseWithoutHost, WrappersAnswerTheirNeutralValues)
{
    struct Silent : AudioEffectX {
        Silent() : AudioEffectX(nullptr, 1, 1) {}
        void processReplacing(float**, float**, VstInt32) override {}
    } effect;
    EXPECT_EQ(1, effect.getMasterVersion());
    EXPECT_EQ(0, effect.getCurrentUniqueId());
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(1));
    EXPECT_EQ(nullptr, effect.getTimeInfo(0));
    EXPECT_FALSE(effect.wantEvents());
}

TEST(FixedStrings, CopiesAreBoundedPaddedAndTerminated)
{
    char field[8];
    std::memset(field, 'x', sizeof field);
    CopyFixedString(field, "abc", 8);
    EXPECT_EQ(0, std::memcmp(field, "abc\0\0\0\0\0", 8));
    CopyFixedString(field, "123456789", 8);
    EXPECT_STREQ("1234567", field);
    CopyFixedString(field, nullptr, 8);
    EXPECT_EQ(0, std::memcmp(field, "\0\0\0\0\0\0\0\0", 8));
}

} // namespace
