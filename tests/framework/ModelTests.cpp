#include "tests/support/RecordingModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

const float kDefaults[12] = {1.0f, 1.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, 0.5f};

std::string Display(const VstToolkit::Model& model, int index)
{
    char text[8];
    model.GetParameterDisplay(index, text);
    return text;
}

TEST(ModelCore, StartsWithIdentityBlankProgramsAndDefaults)
{
    RecordingModel model;
    EXPECT_STREQ("Morlent Delay", model.GetEffectName());
    EXPECT_STREQ("Morlent Sound Design", model.GetVendorString());
    EXPECT_STREQ("Morlent Delay", model.GetProductString());
    EXPECT_EQ(0x4D446C79, model.GetUniqueId());
    EXPECT_EQ(2750, model.GetVendorVersion());
    EXPECT_EQ(1, model.GetPluginCategory());
    EXPECT_EQ(32, model.GetProgramCount());
    EXPECT_EQ(12, model.GetParameterCount());
    EXPECT_EQ(2, model.GetInputCount());
    EXPECT_EQ(2, model.GetOutputCount());
    for (int program = 0; program < 32; ++program) {
        EXPECT_STREQ("Blank", model.GetProgramName(program));
        for (int index = 0; index < 12; ++index)
            ASSERT_EQ(kDefaults[index], model.GetProgramParameterValue(program, index)) << program << "/" << index;
    }
    EXPECT_EQ(44100.0f, model.GetSampleRate());
    EXPECT_EQ(120.0, model.GetTempo());
    EXPECT_TRUE(model.IsPlaying());
    EXPECT_EQ(4, model.GetTimeSignatureNumerator());
    EXPECT_EQ(4, model.GetTimeSignatureDenominator());
    EXPECT_FALSE(model.IsLearningMidi());
    EXPECT_TRUE(model.hooks.empty());
    EXPECT_TRUE(model.parameterChanges.empty());
}

TEST(ModelCore, ParameterNamesAndLabels)
{
    RecordingModel model;
    const char* longNames[12] = {"Enabled", "Left Delay", "Right Delay", "Sync", "Left Sync", "Right Sync",
                                 "Feedback Level", "Filter", "Cutoff Freq", "Filter Type", "Pan", "Wet/Dry Mix"};
    const char* shortNames[12] = {"On", "LDT", "RDT", "SOn", "LSRes", "RSRes", "FB", "FOn", "CFreq", "FType", "POn",
                                  "Mix"};
    for (int index = 0; index < 12; ++index) {
        EXPECT_STREQ(longNames[index], model.GetParameterLongName(index));
        EXPECT_STREQ(shortNames[index], model.GetParameterShortName(index));
        EXPECT_STREQ(index == 1 || index == 2 ? "Secs" : index == 8 ? "Hz" : "", model.GetParameterLabel(index));
    }
    EXPECT_STREQ("", model.GetParameterLongName(12));
    EXPECT_STREQ("", model.GetParameterShortName(-1));
}

TEST(ModelCore, SettersStoreFirstAndCallTheirHookEvenWithoutAChange)
{
    RecordingModel model;
    model.SetParameterValue(6, 0.0f);
    ASSERT_EQ(1u, model.parameterChanges.size());
    EXPECT_EQ(6, model.parameterChanges[0].index);
    EXPECT_EQ(0.0f, model.parameterChanges[0].oldValue);
    EXPECT_EQ(0.0f, model.parameterChanges[0].newValue);
    model.SetParameterValue(6, 0.25f);
    EXPECT_EQ(0.25f, model.GetParameterValue(6));
    EXPECT_EQ(0.0f, model.parameterChanges[1].oldValue);

    model.SetSelectedProgramIndex(0);
    model.SetSelectedProgramIndex(3);
    ASSERT_EQ(2u, model.hooks.size());
    EXPECT_EQ("program 0 0", model.hooks[0]);
    EXPECT_EQ("program 0 3", model.hooks[1]);
    EXPECT_EQ(0.0f, model.GetParameterValue(6)); // program 3 kept its own value
    EXPECT_EQ(0.25f, model.GetProgramParameterValue(0, 6));
}

TEST(ModelCore, SampleRateHookOnlyOnARealChange)
{
    RecordingModel model;
    model.SetSampleRate(44100.0f);
    EXPECT_TRUE(model.hooks.empty());
    model.SetSampleRate(48000.0f);
    model.SetSampleRate(48000.0f);
    model.SetSampleRate(std::nanf(""));
    for (float unusable : {0.0f, -48000.0f, 999.0f, 768001.0f, std::numeric_limits<float>::infinity()})
        model.SetSampleRate(unusable);
    ASSERT_EQ(1u, model.hooks.size());
    EXPECT_EQ("rate 44100.000000 48000.000000", model.hooks[0]);
    EXPECT_EQ(48000.0f, model.GetSampleRate());
}

TEST(ModelCore, StoredValuesAreAlwaysFiniteAndInRange)
{
    RecordingModel model;
    model.SetParameterValue(1, 1.5f);
    EXPECT_EQ(1.0f, model.GetParameterValue(1));
    model.SetParameterValue(1, -0.5f);
    EXPECT_EQ(0.0f, model.GetParameterValue(1));
    model.SetParameterValue(1, std::numeric_limits<float>::infinity());
    EXPECT_EQ(1.0f, model.GetParameterValue(1));
    model.parameterChanges.clear();
    model.SetParameterValue(1, std::nanf(""));
    EXPECT_EQ(1.0f, model.GetParameterValue(1));
    EXPECT_TRUE(model.parameterChanges.empty());
}

TEST(ModelCore, OutOfRangeIndicesChangeNothing)
{
    RecordingModel model;
    model.SetParameterValue(12, 0.3f);
    model.SetParameterValue(-1, 0.3f);
    model.SetSelectedProgramIndex(32);
    model.SetSelectedProgramIndex(-1);
    EXPECT_TRUE(model.parameterChanges.empty());
    EXPECT_TRUE(model.hooks.empty());
    EXPECT_EQ(0, model.GetSelectedProgramIndex());
    EXPECT_EQ(0.0f, model.GetParameterValue(12));
    EXPECT_EQ(0.0f, model.GetProgramParameterValue(32, 0));
    EXPECT_STREQ("", model.GetProgramName(-1));
    char text[8] = "xxxxxxx";
    model.GetParameterDisplay(40, text);
    EXPECT_STREQ("", text);
}

TEST(ModelCore, ProgramNamesKeepTwentyThreeCharacters)
{
    RecordingModel model;
    model.SetSelectedProgramIndex(4);
    model.SetSelectedProgramName("abcdefghijklmnopqrstuvwxyz0123");
    EXPECT_STREQ("abcdefghijklmnopqrstuvw", model.GetProgramName(4));
    EXPECT_STREQ("Blank", model.GetProgramName(0));
    model.SetSelectedProgramName(nullptr);
    EXPECT_STREQ("abcdefghijklmnopqrstuvw", model.GetProgramName(4));
}

TEST(ModelCore, DisplayStringsKeepSevenCharacters)
{
    RecordingModel model;
    model.SetFloatParameterDisplay(1, 0.5f);
    EXPECT_EQ("0.50", Display(model, 1));
    model.SetFloatParameterDisplay(1, 1234.567f);
    EXPECT_EQ("1234.57", Display(model, 1));
    model.SetFloatParameterDisplay(1, 12345.678f);
    EXPECT_EQ("12345.6", Display(model, 1));
    model.SetOnOffParameterDisplay(0, false, "Bypass");
    EXPECT_EQ("Bypass", Display(model, 0));
    model.SetOnOffParameterDisplay(0, true, "Bypass");
    EXPECT_EQ("On", Display(model, 0));
    model.SetParameterDisplay(2, nullptr);
    EXPECT_EQ("", Display(model, 2));
    EXPECT_EQ("", Display(model, 3));
}

TEST(ModelCore, NormalisedConversions)
{
    using VstToolkit::Model;
    EXPECT_EQ(4, Model::NormalizedFloatToSelection(1.0f, 5));
    EXPECT_EQ(4, Model::NormalizedFloatToSelection(0.99f, 5));
    EXPECT_EQ(0, Model::NormalizedFloatToSelection(0.19f, 5));
    EXPECT_EQ(1, Model::NormalizedFloatToSelection(0.2f, 5));
    EXPECT_EQ(1, Model::NormalizedFloatToSelection(0.5f, 2));
    EXPECT_EQ(0, Model::NormalizedFloatToSelection(0.0f, 5));
    EXPECT_EQ(0, Model::NormalizedFloatToSelection(-3.0f, 5));
    EXPECT_EQ(4, Model::NormalizedFloatToSelection(7.0f, 5));
    EXPECT_EQ(0, Model::NormalizedFloatToSelection(std::nanf(""), 5));
    EXPECT_TRUE(Model::NormalizedFloatToBool(0.5f));
    EXPECT_FALSE(Model::NormalizedFloatToBool(0.4999f));
}

} // namespace
