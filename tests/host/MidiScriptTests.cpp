#include "host/MidiScript.h"

#include <gtest/gtest.h>

namespace MorlentHost {
namespace {

TEST(MidiScript, ReadsDecimalHexCommentsAndOrdersByFrame)
{
    const std::string text = "# controller sweep\n"
                             "\n"
                             "4800 0xB0 7 0    # mute the wet signal\n"
                             "  100\t0x90 60 0x7F\r\n"
                             "4800 0xb1 0x07 127\n"
                             "0 0xC3 5\n"
                             "100 128 60 0\n";
    std::vector<TimedMidi> events;
    std::string error;
    ASSERT_TRUE(ParseMidiScript(text, events, error)) << error;
    ASSERT_EQ(5u, events.size());
    const struct {
        int64_t frame;
        uint8_t status, data1, data2;
    } expected[] = {{0, 0xC3, 5, 0}, {100, 0x90, 60, 127}, {100, 0x80, 60, 0}, {4800, 0xB0, 7, 0}, {4800, 0xB1, 7, 127}};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i].frame, events[i].frame) << i;
        EXPECT_EQ(expected[i].status, events[i].bytes[0]) << i;
        EXPECT_EQ(expected[i].data1, events[i].bytes[1]) << i;
        EXPECT_EQ(expected[i].data2, events[i].bytes[2]) << i;
    }
}

TEST(MidiScript, NamesTheLineOfTheFirstFault)
{
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {{"0 0xB0 7 0\n10 0x70 7 0\n", "line 2: status 0x70 is not a channel message"},
                 {"0 0xF8 0 0\n", "line 1: status 0xF8"},
                 {"-5 0xB0 7 0\n", "line 1: '-5' is not"},
                 {"0 0xB0 7\n", "expected \"frame status data1 data2\", found 3"},
                 {"0 0xB0 7 0\n120\n", "line 2: expected \"frame status data1 [data2]\", found 1 field"},
                 {"5 0x90\n", "found 2 fields"},
                 {"0 0xB0 7 0 9\n", "found 5"},
                 {"0 0xB0 128 0\n", "data bytes must be 0 to 127"},
                 {"0 0xB0 0x 0\n", "'0x' is not"},
                 {"12abc 0xB0 7 0\n", "'12abc' is not"}};
    for (const auto& c : cases) {
        std::vector<TimedMidi> events;
        std::string error;
        EXPECT_FALSE(ParseMidiScript(c.text, events, error)) << c.text;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
    }
}

} // namespace
} // namespace MorlentHost
