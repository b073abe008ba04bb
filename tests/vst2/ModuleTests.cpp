// Drives the built plug-in module exactly as a host does: load it, call its entry point, and
// talk to it through nothing but the record.

#include "tests/support/LoadedModuleTest.h"
#include "tests/support/ModuleExpectations.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace TestSupport;

// Whether an instance made now offers its editor: on Windows always; on Linux where DISPLAY names
// a display, as an editor could not open anywhere else.
bool EditorOfferedNow()
{
#ifdef _WIN32
    return MORLENT_EXPECT_EDITOR != 0;
#else
    const char* display = std::getenv("DISPLAY");
    return MORLENT_EXPECT_EDITOR != 0 && display != nullptr && *display != '\0';
#endif
}

class LoadedPlugin : public LoadedModuleTest {
protected:
    void SetUp() override
    {
        StandInHost::Reset();
        editorOffered = EditorOfferedNow();
        ASSERT_NO_FATAL_FAILURE(OpenInstance());
        entry = module->Find("VSTPluginMain");
        ASSERT_NE(nullptr, entry);
    }

    // This module's generation; the first generation's tests read their own.
    const ModuleExpectations expected = ModuleExpectations::SixtyFourBit();
    PluginModule::Entry entry = nullptr;
    bool editorOffered = false;
};

TEST_F(LoadedPlugin, ExportsOneEntryUnderTwoNames)
{
    EXPECT_EQ(reinterpret_cast<void*>(module->Find("VSTPluginMain")), reinterpret_cast<void*>(module->Find("main")));
    AEffect* second = module->Find("main")(StandInHost::Callback);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(effect, second);
    EXPECT_NE(effect->object, second->object);
    EXPECT_EQ(effect->uniqueID, second->uniqueID);
    // Separate instances keep separate state.
    second->setParameter(second, 6, 0.5f);
    EXPECT_EQ(0.0f, effect->getParameter(effect, 6));
    EXPECT_EQ(1, second->dispatcher(second, effClose, 0, 0, nullptr, 0.0f));
}

TEST_F(LoadedPlugin, HostsWithoutAVersionOrCallbackGetNoInstance)
{
    StandInHost::Instance().version = 0;
    EXPECT_EQ(nullptr, entry(StandInHost::Callback));
    EXPECT_EQ(nullptr, entry(nullptr));
}

TEST_F(LoadedPlugin, RecordAndIdentity)
{
    EXPECT_EQ(kEffectMagic, effect->magic);
    EXPECT_EQ(0x4D446C79, effect->uniqueID);
    EXPECT_EQ(1, effect->version);
    EXPECT_EQ(2, effect->numInputs);
    EXPECT_EQ(2, effect->numOutputs);
    EXPECT_EQ(32, effect->numPrograms);
    EXPECT_EQ(12, effect->numParams);
    EXPECT_EQ(expected.flags, effect->flags & ~effFlagsHasEditor);
    EXPECT_EQ(editorOffered ? effFlagsHasEditor : 0, effect->flags & effFlagsHasEditor);
    EXPECT_EQ("Morlent Delay", Text(effGetEffectName));
    EXPECT_EQ("Morlent Sound Design", Text(effGetVendorString));
    EXPECT_EQ("Morlent Delay", Text(effGetProductString));
    EXPECT_EQ(expected.vendorVersion, Dispatch(effGetVendorVersion));
    EXPECT_EQ(2400, Dispatch(effGetVstVersion));
    EXPECT_EQ(1, Dispatch(effGetPlugCategory));
    EXPECT_EQ(0x4E764566, Dispatch(effIdentify));
}

#ifndef _WIN32
// An instance decides when it is made: DISPLAY naming a display (reachable or not) offers the
// editor, an empty or missing one offers none, and what DISPLAY says later changes neither.
TEST_F(LoadedPlugin, TheEditorIsOfferedWhereDisplayNamesADisplayWhenTheInstanceIsMade)
{
    const char* ambient = std::getenv("DISPLAY");
    const std::string saved = ambient != nullptr ? ambient : "";
    struct Case {
        const char* display; // null: unset
        bool offered;
    } cases[] = {{":4242", true}, {"", false}, {nullptr, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.display != nullptr ? std::string("DISPLAY=\"") + c.display + "\"" : "DISPLAY unset");
        if (c.display != nullptr)
            setenv("DISPLAY", c.display, 1);
        else
            unsetenv("DISPLAY");
        AEffect* made = entry(StandInHost::Callback);
        ASSERT_NE(nullptr, made);
        // What DISPLAY says afterwards is not the instance's business.
        setenv("DISPLAY", c.offered ? "" : ":4242", 1);
        EXPECT_EQ(c.offered ? effFlagsHasEditor : 0, made->flags & effFlagsHasEditor);
        ERect* rect = nullptr;
        EXPECT_EQ(c.offered ? 1 : 0, TestSupport::Dispatch(made, effEditGetRect, 0, 0, &rect));
        if (c.offered) {
            ASSERT_NE(nullptr, rect);
            EXPECT_EQ(MorlentDelay::kEditorWidth, rect->right - rect->left);
            EXPECT_EQ(MorlentDelay::kEditorHeight, rect->bottom - rect->top);
        }
        // Without a window there is nothing to open either way; idle and close are harmless.
        EXPECT_EQ(0, TestSupport::Dispatch(made, effEditOpen, 0, 0, nullptr));
        TestSupport::Dispatch(made, effEditIdle);
        TestSupport::Dispatch(made, effEditClose);
        EXPECT_EQ(1, TestSupport::Dispatch(made, effClose));
    }
    if (ambient != nullptr)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
}
#endif

TEST_F(LoadedPlugin, CapabilitiesTimeQueryAndRecordAreThoseOfItsGeneration)
{
    for (std::string text : expected.canDo)
        EXPECT_EQ(1, Dispatch(effCanDo, 0, 0, &text[0])) << text;
    for (std::string text : expected.Refused())
        EXPECT_EQ(-1, Dispatch(effCanDo, 0, 0, &text[0])) << text;

    Start(44100.0f, 64);
    std::vector<float> left(256, 0.0f), right(256, 0.0f);
    Render(left, right, 64);
    const auto asks = StandInHost::Instance().CallsOf(audioMasterGetTime);
    ASSERT_EQ(4u, asks.size());
    for (const HostCall& ask : asks)
        EXPECT_EQ(expected.timeInfoFilter, ask.value);

    // The record is of the layout the host was built for, its reserved bytes left zero.
    ASSERT_EQ(expected.recordSize, sizeof(AEffect));
    for (size_t i = 0; i < sizeof effect->future; ++i)
        ASSERT_EQ(0, effect->future[i]) << i;
}

TEST_F(LoadedPlugin, ParametersAndProgramsThroughTheRecord)
{
    Start(44100.0f, 512);
    const char* names[12] = {"On", "LDT", "RDT", "SOn", "LSRes", "RSRes", "FB", "FOn", "CFreq", "FType", "POn", "Mix"};
    const char* displays[12] = {"On", "1.00", "0.25", "Off", "1/8", "1/8", "0.00", "Off", "2515.00", "Low", "Off", "0"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(names[i], Text(effGetParamName, i));
        EXPECT_EQ(displays[i], Text(effGetParamDisplay, i)) << i;
    }
    effect->setParameter(effect, 11, 1.0f);
    EXPECT_EQ("+100", Text(effGetParamDisplay, 11));
    Dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(3, Dispatch(effGetProgram));
    EXPECT_EQ(0.5f, effect->getParameter(effect, 11));
    char name[32] = "Slapback";
    Dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ("Slapback", Text(effGetProgramName));
    Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(1.0f, effect->getParameter(effect, 11));
    EXPECT_EQ("Blank", Text(effGetProgramName));
}

TEST_F(LoadedPlugin, DelaysAudio)
{
    Start(48000.0f, 256);
    EXPECT_EQ(1u, StandInHost::Instance().CallsOf(audioMasterWantMidi).size());
    // Right channel: 0.25 s at 48 kHz is 12000 samples, read one sample after the write.
    std::vector<float> left(16384, 0.0f), right(16384, 0.0f);
    right[100] = 1.0f;
    left[100] = 1.0f;
    Render(left, right, 256);
    EXPECT_EQ(0.5f, right[100]);
    EXPECT_EQ(0.5f, left[100]);
    for (size_t i = 0; i < right.size(); ++i)
        if (i != 100 && i != 100 + 12001) {
            ASSERT_LT(std::fabs(right[i]), 1e-6f) << i;
        }
    EXPECT_NEAR(0.5f, right[100 + 12001], 1e-6f);
    EXPECT_GE(StandInHost::Instance().CallsOf(audioMasterGetTime).size(), 64u);
}

TEST_F(LoadedPlugin, LearnedControllerMovesAParameterAtItsFrameAndTellsTheHost)
{
    Start(44100.0f, 64);
    // Arm learning the way the editor does: the record has no opcode for it, so a bank chunk
    // carrying a binding stands in, then the controller drives the parameter.
    std::vector<uint8_t> bank = Chunk(false);
    ASSERT_EQ(2480u, bank.size());
    bank[2468 + 6] = 1;
    bank.insert(bank.begin() + 2468 + 7, 7);
    ASSERT_EQ(1, Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()), bank.data()));
    EXPECT_EQ(bank, Chunk(false));
    EXPECT_EQ(1, SendMidi({MidiEvent(10, 0xB0, 7, 127)}));
    std::vector<float> left(64, 0.0f), right(64, 0.0f);
    Render(left, right, 64);
    EXPECT_EQ(1.0f, effect->getParameter(effect, 6));
    auto automate = StandInHost::Instance().CallsOf(audioMasterAutomate);
    ASSERT_EQ(1u, automate.size());
    EXPECT_EQ(6, automate[0].index);
    EXPECT_EQ(1.0f, automate[0].opt);
    EXPECT_EQ(effect, automate[0].effect);
}

TEST_F(LoadedPlugin, ChunksRoundTripAndRejectedOnesChangeNothing)
{
    effect->setParameter(effect, 2, 0.3f);
    const std::vector<uint8_t> program = Chunk(true);
    ASSERT_EQ(236u, program.size());
    const std::vector<uint8_t> bank = Chunk(false);

    std::vector<uint8_t> newer = program;
    newer[160] = 0xBF; // version 2751
    EXPECT_EQ(0, Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(newer.size()), newer.data()));
    std::vector<uint8_t> cut(program.begin(), program.begin() + 200);
    cut[170] = 'Z';
    EXPECT_EQ(0, Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(cut.size()), cut.data()));
    EXPECT_EQ(0, Dispatch(effSetChunk, 1, 236, nullptr));
    EXPECT_EQ(bank, Chunk(false));

    effect->setParameter(effect, 2, 0.9f);
    std::vector<uint8_t> copy = program;
    EXPECT_EQ(1, Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(copy.size()), copy.data()));
    EXPECT_EQ(0.3f, effect->getParameter(effect, 2));
    EXPECT_EQ(program, Chunk(true));
}

TEST_F(LoadedPlugin, BadHostInputIsHarmless)
{
    Start(44100.0f, 64);
    float buffer[64] = {};
    float* channels[2] = {buffer, nullptr};
    effect->processReplacing(effect, channels, channels, 64);
    effect->processReplacing(effect, nullptr, nullptr, 64);
    effect->setParameter(effect, 99, 1.0f);
    EXPECT_EQ(0.0f, effect->getParameter(effect, -1));
    EXPECT_EQ(0, Dispatch(effSetProgram, 0, -7));
    EXPECT_EQ(0, Dispatch(effGetParamDisplay, 0, 0, nullptr));
    EXPECT_EQ(0, Dispatch(effProcessEvents, 0, 0, nullptr) - 1);
    EXPECT_EQ(0, Dispatch(effEditGetRect, 0, 0, nullptr));
    EXPECT_EQ(0, effect->dispatcher(nullptr, effIdentify, 0, 0, nullptr, 0.0f));
}

} // namespace
