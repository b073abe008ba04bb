#include "dsp/FlagDispatch.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

using Dsp::FilterKind;

struct Reached {
    FilterKind filter;
    bool first;
    bool second;
    int calls;
};

// The choices an instantiation was made for, read back from its template arguments.
template <FilterKind filter, bool first, bool second>
void Record(Reached& reached)
{
    reached = {filter, first, second, reached.calls + 1};
}

TEST(FlagDispatch, EachSettingReachesTheInstantiationMadeForIt)
{
    for (FilterKind filter : {FilterKind::None, FilterKind::LowPass, FilterKind::HighPass}) {
        for (bool first : {false, true}) {
            for (bool second : {false, true}) {
                Reached reached{FilterKind::None, false, false, 0};
                Dsp::WithConstants(
                    [&](auto kind, auto a, auto b) {
                        Record<decltype(kind)::value, decltype(a)::value, decltype(b)::value>(reached);
                    },
                    filter, first, second);
                EXPECT_EQ(reached.calls, 1);
                EXPECT_EQ(reached.filter, filter);
                EXPECT_EQ(reached.first, first) << "flags keep their order";
                EXPECT_EQ(reached.second, second);
            }
        }
    }
}

TEST(FlagDispatch, FlagsMayComeBeforeTheFilterAndAnUnknownKindIsNoFilter)
{
    Reached reached{FilterKind::LowPass, false, false, 0};
    Dsp::WithConstants(
        [&](auto a, auto kind) { Record<decltype(kind)::value, decltype(a)::value, true>(reached); }, true,
        FilterKind::HighPass);
    EXPECT_EQ(reached.filter, FilterKind::HighPass);
    EXPECT_TRUE(reached.first);

    Dsp::WithConstants([&](auto kind) { Record<decltype(kind)::value, false, false>(reached); },
                       static_cast<FilterKind>(7));
    EXPECT_EQ(reached.filter, FilterKind::None);
    EXPECT_EQ(reached.calls, 2);

    int calls = 0;
    Dsp::WithConstants([&] { ++calls; });
    EXPECT_EQ(calls, 1) << "no choices: one call";
}

} // namespace
