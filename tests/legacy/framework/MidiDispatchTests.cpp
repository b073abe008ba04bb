#include "legacy/framework/ControllerDispatcher.h"
#include "legacy/framework/ControllerMapper.h"
#include "legacy/framework/MessageDispatcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using VovezEdeduvo::Midi::ControllerDispatcher;
using VovezEdeduvo::Midi::ControllerMapper;
using VovezEdeduvo::Midi::MessageDispatcher;

struct RecordingDispatcher : MessageDispatcher, ControllerDispatcher {
    std::vector<std::string> calls;
    void Add(const std::string& name, int a, int b = -1, int c = -1)
    {
        std::string line = name + " " + std::to_string(a);
        for (int value : {b, c})
            if (value >= 0)
                line += " " + std::to_string(value);
        calls.push_back(line);
    }
    void OnNoteOn(int ch, int note, int velocity) override { Add("on", ch, note, velocity); }
    void OnNoteOff(int ch, int note, int velocity) override { Add("off", ch, note, velocity); }
    void OnPolyPressure(int ch, int note, int pressure) override { Add("poly", ch, note, pressure); }
    void OnControlChange(int ch, int controller, int value) override { Add("cc", ch, controller, value); }
    void OnProgramChange(int ch, int program) override { Add("program", ch, program); }
    void OnChannelPressure(int ch, int pressure) override { Add("pressure", ch, pressure); }
    void OnPitchBend(int ch, int value) override { Add("bend", ch, value); }
    void OnModulationWheel(int ch, int value) override { Add("mod", ch, value); }
    void OnModulationWheelFine(int ch, int value) override { Add("mod fine", ch, value); }
    void OnChannelVolume(int ch, int value) override { Add("volume", ch, value); }
    void OnChannelVolumeFine(int ch, int value) override { Add("volume fine", ch, value); }
    void OnExpression(int ch, int value) override { Add("expression", ch, value); }
    void OnExpressionFine(int ch, int value) override { Add("expression fine", ch, value); }
    void OnSustain(int ch, bool on) override { Add("sustain", ch, on ? 1 : 0); }
    void OnAllSoundOff(int ch) override { Add("sound off", ch); }
    void OnResetAllControllers(int ch) override { Add("reset", ch); }
    void OnAllNotesOff(int ch) override { Add("notes off", ch); }
    void OnOmniMode(int ch, bool on) override { Add("omni", ch, on ? 1 : 0); }
};

TEST(LegacyMessageDispatcherTest, EachChannelMessageReachesItsHandler)
{
    RecordingDispatcher d;
    d.MessageDispatcher::Dispatch(0x93, 60, 100);
    d.MessageDispatcher::Dispatch(0x93, 60, 0); // velocity 0 is a note-off
    d.MessageDispatcher::Dispatch(0x81, 61, 40);
    d.MessageDispatcher::Dispatch(0xA2, 62, 33);
    d.MessageDispatcher::Dispatch(0xB5, 21, 127);
    d.MessageDispatcher::Dispatch(0xC4, 9, 0);
    d.MessageDispatcher::Dispatch(0xD6, 77, 0);
    d.MessageDispatcher::Dispatch(0xEF, 0x00, 0x40);
    d.MessageDispatcher::Dispatch(0xE0, 0x7F, 0x7F);
    const std::vector<std::string> expected = {"on 3 60 100",  "off 3 60 0",   "off 1 61 40",  "poly 2 62 33",
                                               "cc 5 21 127", "program 4 9", "pressure 6 77", "bend 15 8192",
                                               "bend 0 16383"};
    EXPECT_EQ(expected, d.calls);
}

TEST(LegacyMessageDispatcherTest, DataBytesAndSystemMessagesAreIgnored)
{
    RecordingDispatcher d;
    for (int status : {0x00, 0x40, 0x7F, 0xF0, 0xF8, 0xFF})
        d.MessageDispatcher::Dispatch(static_cast<uint8_t>(status), 1, 2);
    EXPECT_TRUE(d.calls.empty());
}

// Only a control change is checked: its bytes choose a controller and a value, and a status
// byte in their place would drive one no message can address, or past its full scale.
TEST(LegacyMessageDispatcherTest, AControlChangeWithAByteAbove127IsIgnoredOtherMessagesAsTheyCome)
{
    RecordingDispatcher d;
    for (const auto& bytes : {std::pair<int, int>{135, 0}, {255, 64}, {128, 127}, {7, 200}, {7, 0x80}, {200, 200}})
        d.MessageDispatcher::Dispatch(0xB0, static_cast<uint8_t>(bytes.first), static_cast<uint8_t>(bytes.second));
    EXPECT_TRUE(d.calls.empty());
    d.MessageDispatcher::Dispatch(0xB0, 127, 127);
    d.MessageDispatcher::Dispatch(0x90, 200, 130);
    d.MessageDispatcher::Dispatch(0xC0, 128, 0);
    EXPECT_EQ((std::vector<std::string>{"cc 0 127 127", "on 0 200 130", "program 0 128"}), d.calls);
}

TEST(LegacyControllerDispatcherTest, TheStandardControllersReachTheirHandlers)
{
    RecordingDispatcher d;
    const int controllers[][2] = {{1, 5},    {33, 6},   {7, 7},    {39, 8},   {11, 9},  {43, 10},  {64, 64},
                                  {64, 63},  {120, 0},  {121, 0},  {123, 0},  {124, 0}, {125, 0}};
    for (const auto& c : controllers)
        d.ControllerDispatcher::Dispatch(2, c[0], c[1]);
    const std::vector<std::string> expected = {
        "mod 2 5",     "mod fine 2 6", "volume 2 7", "volume fine 2 8", "expression 2 9", "expression fine 2 10",
        "sustain 2 1", "sustain 2 0",  "sound off 2", "reset 2",       "notes off 2",    "omni 2 0",
        "omni 2 1"};
    EXPECT_EQ(expected, d.calls);
}

TEST(LegacyControllerDispatcherTest, ControllersWithoutAHandlerAreIgnored)
{
    RecordingDispatcher d;
    for (int controller : {0, 2, 21, 63, 65, 119, 122, 126, 127, 200})
        d.ControllerDispatcher::Dispatch(0, controller, 100);
    EXPECT_TRUE(d.calls.empty());
}

// What Apply needs of a model: the calls in order.
struct RecordingModel {
    std::vector<std::pair<int32_t, float>> values;
    std::vector<int32_t> notified;
    void SetParameterValue(int32_t index, float value) { values.emplace_back(index, value); }
    void NotifyParameterChanged(const void* excluded, int32_t index)
    {
        EXPECT_EQ(nullptr, excluded);
        notified.push_back(index);
    }
};

std::vector<int32_t> Bound(const ControllerMapper& mapper, uint8_t controller)
{
    int32_t parameters[ControllerMapper::kMaxParameters];
    const int32_t count = mapper.BoundInOrder(controller, parameters);
    return std::vector<int32_t>(parameters, parameters + count);
}

TEST(LegacyControllerMapperTest, OneControllerDrivesSeveralParametersInBindingOrder)
{
    ControllerMapper mapper;
    mapper.Map(21, 5);
    mapper.Map(21, 3);
    mapper.Map(22, 1);
    mapper.Map(21, 9);
    EXPECT_EQ((std::vector<int32_t>{5, 3, 9}), Bound(mapper, 21));

    RecordingModel model;
    mapper.Apply(21, model, 0.25f);
    EXPECT_EQ((std::vector<std::pair<int32_t, float>>{{5, 0.25f}, {3, 0.25f}, {9, 0.25f}}), model.values);
    EXPECT_EQ((std::vector<int32_t>{5, 3, 9}), model.notified);

    // Binding a parameter again moves it to the end of its controller's order.
    mapper.Map(21, 5);
    EXPECT_EQ((std::vector<int32_t>{3, 9, 5}), Bound(mapper, 21));
}

TEST(LegacyControllerMapperTest, AParameterAnswersToOneControllerOnly)
{
    ControllerMapper mapper;
    mapper.Map(21, 3);
    mapper.Map(22, 3);
    EXPECT_TRUE(mapper.IsMapped(3));
    EXPECT_EQ(22, mapper.GetController(3));
    EXPECT_TRUE(Bound(mapper, 21).empty());

    mapper.Unmap(3);
    EXPECT_FALSE(mapper.IsMapped(3));
    RecordingModel model;
    mapper.Apply(22, model, 1.0f);
    EXPECT_TRUE(model.values.empty());
    mapper.Unmap(3); // nothing left to drop
    mapper.Unmap(-1);
    mapper.Unmap(ControllerMapper::kMaxParameters);
}

TEST(LegacyControllerMapperTest, ClearDropsEveryBindingAndIndicesOutsideTheMapChangeNothing)
{
    ControllerMapper mapper;
    for (int32_t parameter = 0; parameter < 12; ++parameter)
        mapper.Map(static_cast<uint8_t>(parameter + 20), parameter);
    mapper.Map(7, -1);
    mapper.Map(7, ControllerMapper::kMaxParameters);
    EXPECT_TRUE(Bound(mapper, 7).empty());
    EXPECT_FALSE(mapper.IsMapped(-1));
    EXPECT_EQ(0, mapper.GetController(-5));
    mapper.Clear();
    for (int32_t parameter = 0; parameter < 12; ++parameter)
        EXPECT_FALSE(mapper.IsMapped(parameter)) << parameter;
    // Controller 0 is a controller like any other once bound.
    mapper.Map(0, 4);
    EXPECT_EQ((std::vector<int32_t>{4}), Bound(mapper, 0));
}

} // namespace
