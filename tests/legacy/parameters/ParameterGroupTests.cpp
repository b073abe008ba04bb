#include "legacy/parameters/ParameterGroup.h"
#include "legacy/parameters/ParameterGroupComposite.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using VovezEdeduvo::ParameterHandling::ParameterGroup;
using VovezEdeduvo::ParameterHandling::ParameterGroupComposite;

struct Reaction {
    int group;
    int32_t index;
    float value;
    bool operator==(const Reaction& other) const
    {
        return group == other.group && index == other.index && value == other.value;
    }
};

// Records every hook into a log shared by the groups of a test.
class RecordingGroup : public ParameterGroup {
public:
    RecordingGroup(int tag, int32_t parameters, int32_t programs, std::vector<Reaction>& log)
        : ParameterGroup(parameters, programs), tag(tag), log(log)
    {
    }
    void OnParameterValueChanged(int32_t index, float value) override { log.push_back({tag, index, value}); }
    void GetParameterDisplay(int32_t index, char* text, int32_t maxLength) override
    {
        std::snprintf(text, static_cast<size_t>(maxLength), "g%d p%d", tag, index);
    }

private:
    int tag;
    std::vector<Reaction>& log;
};

class CompositeTest : public testing::Test {
protected:
    CompositeTest()
    {
        composite.AddGroup(&small);
        composite.AddGroup(&large);
    }
    std::vector<Reaction> log;
    RecordingGroup small{1, 3, 4, log};
    RecordingGroup large{2, 12, 4, log};
    ParameterGroupComposite composite{4};
};

TEST_F(CompositeTest, GlobalIndexesReachTheOwningGroupWithTheirIndexWithinIt)
{
    EXPECT_EQ(composite.GetParameterCount(), 15);
    int32_t index = 3;
    EXPECT_EQ(composite.FindGroup(index), &large);
    EXPECT_EQ(index, 0);
    index = 2;
    EXPECT_EQ(composite.FindGroup(index), &small);
    EXPECT_EQ(index, 2);
    index = 14;
    EXPECT_EQ(composite.FindGroup(index), &large);
    EXPECT_EQ(index, 11);
    for (int32_t beyond : {15, 100, -1}) {
        index = beyond;
        EXPECT_EQ(composite.FindGroup(index), nullptr);
        EXPECT_EQ(index, beyond);
    }

    composite.SetParameterValue(3, 0.25f);
    composite.SetProgramParameterValue(2, 14, 0.75f);
    EXPECT_EQ(large.GetParameterValue(0), 0.25f);
    EXPECT_EQ(large.GetProgramParameterValue(2, 11), 0.75f);
    EXPECT_EQ(composite.GetProgramParameterValue(2, 14), 0.75f);
    EXPECT_EQ(small.GetParameterValue(0), 0.0f);
    char text[16];
    composite.GetParameterDisplay(4, text, sizeof text);
    EXPECT_STREQ(text, "g2 p1");
    composite.SetParameterLongName(3, "Third");
    composite.GetParameterLongName(3, text, sizeof text);
    EXPECT_STREQ(text, "Third");
    large.GetParameterLongName(0, text, sizeof text);
    EXPECT_STREQ(text, "Third");
    // Nothing beyond the last group is touched or answered.
    composite.SetParameterValue(15, 1.0f);
    EXPECT_EQ(composite.GetParameterValue(15), 0.0f);
    composite.GetParameterLabel(15, text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST_F(CompositeTest, AGroupAddedTwiceCountsOnce)
{
    composite.AddGroup(&small);
    composite.AddGroup(&large);
    composite.AddGroup(nullptr);
    EXPECT_EQ(composite.GetParameterCount(), 15);
    log.clear();
    composite.SetCurrentProgram(1);
    EXPECT_EQ(log.size(), 15u);
}

TEST_F(CompositeTest, AProgramChangeReportsEveryValueInGlobalIndexOrder)
{
    for (int32_t i = 0; i < 15; ++i)
        composite.SetProgramParameterValue(3, i, static_cast<float>(i) / 16.0f);
    EXPECT_TRUE(log.empty()) << "program 3 is not current";
    composite.SetCurrentProgram(3);
    ASSERT_EQ(log.size(), 15u);
    for (int32_t i = 0; i < 15; ++i) {
        const Reaction expected{i < 3 ? 1 : 2, i < 3 ? i : i - 3, static_cast<float>(i) / 16.0f};
        EXPECT_EQ(log[static_cast<size_t>(i)], expected) << "global index " << i;
    }
    EXPECT_EQ(composite.GetCurrentProgram(), 3);
    EXPECT_EQ(large.GetCurrentProgram(), 3);
    // A program the composite does not have changes nothing.
    log.clear();
    composite.SetCurrentProgram(4);
    composite.SetCurrentProgram(-1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(composite.GetCurrentProgram(), 3);
}

TEST(ParameterGroupTest, OnlyTheCurrentProgramsChangesReachTheHook)
{
    std::vector<Reaction> log;
    RecordingGroup group(1, 2, 3, log);
    group.SetProgramParameterValue(1, 0, 0.5f);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(group.GetProgramParameterValue(1, 0), 0.5f);
    EXPECT_EQ(group.GetParameterValue(0), 0.0f);
    group.SetParameterValue(1, 0.125f);
    group.SetProgramParameterValue(0, 0, 0.25f);
    EXPECT_EQ(log, (std::vector<Reaction>{{1, 1, 0.125f}, {1, 0, 0.25f}}));
}

TEST(ParameterGroupTest, ValuesStayWithinZeroToOneAndANaNChangesNothing)
{
    std::vector<Reaction> log;
    RecordingGroup group(1, 2, 1, log);
    group.SetParameterValue(0, -3.0f);
    group.SetParameterValue(1, 7.0f);
    EXPECT_EQ(group.GetParameterValue(0), 0.0f);
    EXPECT_EQ(group.GetParameterValue(1), 1.0f);
    group.SetParameterValue(1, std::nanf(""));
    group.SetParameterValue(0, INFINITY);
    EXPECT_EQ(group.GetParameterValue(1), 1.0f);
    EXPECT_EQ(group.GetParameterValue(0), 1.0f);
    EXPECT_EQ(log, (std::vector<Reaction>{{1, 0, 0.0f}, {1, 1, 1.0f}, {1, 0, 1.0f}}));
    // Out of range: ignored, no hook.
    group.SetParameterValue(2, 0.5f);
    group.SetProgramParameterValue(1, 0, 0.5f);
    EXPECT_EQ(log.size(), 3u);
}

TEST(ParameterGroupTest, NamesAreCutToTheirFieldsAndToTheCallersBuffer)
{
    std::vector<Reaction> log;
    RecordingGroup group(1, 3, 1, log);
    char text[80];
    std::memset(text, 'x', sizeof text);
    group.GetParameterLongName(0, text, sizeof text);
    EXPECT_STREQ(text, "") << "a name never set reads as empty";

    const std::string longText(100, 'L');
    group.SetParameterLongName(0, longText.c_str());
    group.SetParameterShortName(0, "Abcdefghij");
    group.SetParameterLabel(0, "Seconds!!");
    group.GetParameterLongName(0, text, sizeof text);
    EXPECT_EQ(std::string(text), std::string(63, 'L'));
    group.GetParameterShortName(0, text, sizeof text);
    EXPECT_STREQ(text, "Abcdefg");
    group.GetParameterLabel(0, text, sizeof text);
    EXPECT_STREQ(text, "Seconds");

    std::memset(text, 'x', sizeof text);
    group.GetParameterShortName(0, text, 4);
    EXPECT_STREQ(text, "Abc");
    EXPECT_EQ(text[4], 'x') << "nothing written beyond the caller's width";
    group.SetParameterShortName(1, nullptr);
    group.GetParameterShortName(1, text, 4);
    EXPECT_STREQ(text, "");
    group.GetParameterShortName(0, text, 0); // a buffer of no bytes: nothing to write
}

} // namespace
