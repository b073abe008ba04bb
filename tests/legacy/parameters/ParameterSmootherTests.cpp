#include "legacy/parameters/ParameterSmoother.h"
#include "legacy/parameters/SmoothableParameterGroup.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

using VovezEdeduvo::ParameterHandling::ParameterSmoother;
using VovezEdeduvo::ParameterHandling::SmoothableParameterGroup;

constexpr int32_t kRamp = ParameterSmoother::kRampLength;

// The ramp written the plain way, one sample and one test at a time.
struct ReferenceSmoother {
    float coefficient = 1.0f - std::exp(-1.0f / (44100.0f * 0.1f + 1.0f));
    float target = 0.0f, current = 0.0f, aim = 0.0f;
    bool falling = false;
    int mode = ParameterSmoother::kIdle;
    std::vector<float> ramp = std::vector<float>(kRamp, 0.0f);

    void SetTarget(float x)
    {
        target = x;
        mode = ParameterSmoother::kMoving;
        falling = x < current;
        aim = falling ? x - 0.0001f : x + 0.0001f;
    }
    void Advance(int32_t count)
    {
        if (mode == ParameterSmoother::kSettling) {
            current = target;
            std::fill(ramp.begin(), ramp.end(), target);
            falling = false;
            mode = ParameterSmoother::kIdle;
            return;
        }
        if (mode != ParameterSmoother::kMoving)
            return;
        for (int32_t n = 0; n < count; ++n) {
            if (falling ? !(target < current) : !(target > current)) {
                for (int32_t k = n; k < count; ++k)
                    ramp[static_cast<size_t>(k)] = target;
                mode = ParameterSmoother::kSettling;
                return;
            }
            current = current + (aim - current) * coefficient;
            ramp[static_cast<size_t>(n)] = (falling ? current <= target : current >= target) ? target : current;
        }
    }
};

void ExpectSame(const ParameterSmoother& smoother, const ReferenceSmoother& reference, int32_t count)
{
    ASSERT_EQ(smoother.GetMode(), reference.mode);
    ASSERT_EQ(smoother.GetCurrent(), reference.current);
    ASSERT_EQ(std::memcmp(smoother.GetRamp(), reference.ramp.data(), sizeof(float) * static_cast<size_t>(count)), 0)
        << "count " << count;
}

TEST(ParameterSmootherTest, TheUnrolledRampIsThePlainOneForEveryCountEdge)
{
    const int32_t counts[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 63, 64, 65, 255, 256, 257, 4095, 4096, 4097, 16381,
                              16382, 16383, 16384};
    // Far targets keep moving through the block; near ones land at every position modulo four.
    const float targets[] = {1.0f, -0.75f, 0.0005f, -0.0003f, 0.0011f, 44100.0f};
    for (const int32_t count : counts)
        for (const float target : targets) {
            ParameterSmoother smoother;
            ReferenceSmoother reference;
            smoother.SetTarget(target);
            reference.SetTarget(target);
            for (int block = 0; block < 3; ++block) {
                smoother.Advance(count);
                reference.Advance(count);
                ExpectSame(smoother, reference, count);
            }
        }
}

TEST(ParameterSmootherTest, AFallingRampNeverPassesBelowItsTargetNorARisingOneAbove)
{
    for (const float start : {0.0f, 1.0f, 0.25f}) {
        ParameterSmoother smoother;
        smoother.SetTarget(start);
        smoother.Advance(kRamp);
        smoother.Advance(kRamp);
        const float target = start == 0.25f ? 0.0f : 1.0f - start;
        smoother.SetTarget(target);
        float previous = start;
        for (int block = 0; block < 10; ++block) {
            smoother.Advance(kRamp);
            for (int32_t n = 0; n < kRamp; ++n) {
                const float value = smoother.GetRamp()[n];
                if (target < start) {
                    ASSERT_GE(value, target);
                    ASSERT_LE(value, previous);
                } else {
                    ASSERT_LE(value, target);
                    ASSERT_GE(value, previous);
                }
                previous = value;
            }
        }
        if (target == 0.0f) {
            EXPECT_EQ(previous, target) << "toward zero the steps stay representable and land exactly";
            EXPECT_NE(smoother.GetMode(), ParameterSmoother::kMoving);
        } else {
            // Near 1 a step of (aim - current) x coefficient rounds away in single precision: the
            // first generation's ramp stops a few hundredths of a per mille short and holds there.
            EXPECT_NEAR(previous, target, 1e-4f);
            EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kMoving);
        }
    }
}

TEST(ParameterSmootherTest, ARampThatLandsSettlesAndThenGoesIdle)
{
    ParameterSmoother smoother;
    smoother.SetTarget(0.001f);
    smoother.Advance(512);
    ASSERT_EQ(smoother.GetMode(), ParameterSmoother::kMoving);
    // 0.001 + 0.0001 beyond: about ln(11) × 4411 samples to land.
    int32_t blocks = 1;
    while (smoother.GetMode() == ParameterSmoother::kMoving && blocks < 1000) {
        smoother.Advance(512);
        ++blocks;
    }
    EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kSettling);
    EXPECT_NEAR(blocks * 512, std::log(11.0) * 4411.0, 1100.0);
    EXPECT_EQ(smoother.GetRamp()[511], 0.001f);
    smoother.Advance(512);
    EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kIdle);
    EXPECT_EQ(smoother.GetCurrent(), 0.001f);
    for (int32_t n = 0; n < kRamp; ++n)
        ASSERT_EQ(smoother.GetRamp()[n], 0.001f);
}

TEST(ParameterSmootherTest, ATargetAlreadyReachedMakesNoRamp)
{
    ParameterSmoother smoother;
    smoother.SetTarget(0.0f);
    smoother.Advance(256);
    EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kSettling);
    for (int32_t n = 0; n < 256; ++n)
        ASSERT_EQ(smoother.GetRamp()[n], 0.0f);
    smoother.Advance(256);
    EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kIdle);
    smoother.Advance(256);
    EXPECT_EQ(smoother.GetMode(), ParameterSmoother::kIdle);
}

TEST(ParameterSmootherTest, TheTimeConstantIsATenthOfASecondAtEveryRate)
{
    for (const float rate : {44100.0f, 48000.0f, 96000.0f}) {
        ParameterSmoother smoother;
        smoother.SetSampleRate(rate);
        smoother.SetTarget(1.0f);
        const int32_t timeConstant = static_cast<int32_t>(rate * 0.1f + 1.0f);
        smoother.Advance(timeConstant);
        EXPECT_NEAR(smoother.GetRamp()[timeConstant - 1], 1.0 - std::exp(-1.0), 2e-4) << rate;
        for (int quarter = 0; quarter < 4; ++quarter)
            smoother.Advance(timeConstant);
        EXPECT_NEAR(smoother.GetCurrent(), 1.0 - std::exp(-5.0), 5e-4) << rate;
    }
    ParameterSmoother smoother;
    const float coefficient = smoother.GetCoefficient();
    for (const float unusable : {0.0f, -48000.0f, NAN, INFINITY})
        smoother.SetSampleRate(unusable);
    EXPECT_EQ(smoother.GetCoefficient(), coefficient);
}

TEST(ParameterSmootherTest, SmoothersAdvancedTogetherGiveTheirOwnRampsBitForBit)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-2.0f, 2.0f);
    std::uniform_int_distribution<int32_t> count(0, kRamp);
    for (int round = 0; round < 60; ++round) {
        const int32_t lanes = 2 + round % 5; // 2 to 6: one batch of four and the rest
        std::vector<std::unique_ptr<ParameterSmoother>> together, alone;
        std::vector<ParameterSmoother*> pointers;
        for (int32_t i = 0; i < lanes; ++i) {
            together.push_back(std::make_unique<ParameterSmoother>());
            alone.push_back(std::make_unique<ParameterSmoother>());
            const float start = value(random);
            const float target = i % 3 == 0 ? start + value(random) * 1e-4f : value(random);
            for (auto* s : {together.back().get(), alone.back().get()}) {
                s->SetSampleRate(i % 2 == 0 ? 48000.0f : 1000.0f);
                s->SetTarget(start);
                s->Reset();
                s->SetTarget(target);
            }
            pointers.push_back(together.back().get());
        }
        const int32_t frames = round % 4 == 0 ? count(random) : count(random) % 700;
        ParameterSmoother::AdvanceTogether(pointers.data(), lanes, frames);
        for (int32_t i = 0; i < lanes; ++i) {
            alone[static_cast<size_t>(i)]->Advance(frames);
            const ParameterSmoother& a = *together[static_cast<size_t>(i)];
            const ParameterSmoother& b = *alone[static_cast<size_t>(i)];
            ASSERT_EQ(a.GetMode(), b.GetMode()) << round << " " << i;
            ASSERT_EQ(a.GetCurrent(), b.GetCurrent()) << round << " " << i;
            ASSERT_EQ(std::memcmp(a.GetRamp(), b.GetRamp(), sizeof(float) * static_cast<size_t>(frames)), 0);
        }
    }
}

class SmoothedGroup : public SmoothableParameterGroup {
public:
    SmoothedGroup() : SmoothableParameterGroup(4, 2)
    {
        AddSmoother(0);
        AddSmoother(1);
        AddSmoother(3);
    }
    void GetParameterDisplay(int32_t, char* text, int32_t maxLength) override { std::snprintf(text, static_cast<size_t>(maxLength), "-"); }
};

TEST(SmoothableParameterGroupTest, AdvanceMovesEverySmootherAndACallBeyondTheRampsGoesInPieces)
{
    SmoothedGroup whole, pieces;
    ReferenceSmoother reference[3];
    const float targets[3] = {1.0f, -1.0f, 0.00002f};
    const int32_t indexes[3] = {0, 1, 3};
    for (int i = 0; i < 3; ++i) {
        whole.SetSmootherTarget(indexes[i], targets[i]);
        pieces.SetSmootherTarget(indexes[i], targets[i]);
        reference[i].SetTarget(targets[i]);
    }
    whole.Advance(40000);
    for (const int32_t piece : {kRamp, kRamp, 40000 - 2 * kRamp}) {
        pieces.Advance(piece);
        for (auto& r : reference)
            r.Advance(piece);
    }
    for (int i = 0; i < 3; ++i) {
        const ParameterSmoother* a = whole.GetSmoother(indexes[i]);
        const ParameterSmoother* b = pieces.GetSmoother(indexes[i]);
        EXPECT_EQ(a->GetCurrent(), b->GetCurrent());
        EXPECT_EQ(a->GetMode(), b->GetMode());
        EXPECT_EQ(std::memcmp(a->GetRamp(), b->GetRamp(), sizeof(float) * kRamp), 0);
        ExpectSame(*a, reference[i], 40000 - 2 * kRamp);
    }
    EXPECT_EQ(whole.GetSmoother(2), nullptr);
    EXPECT_EQ(whole.GetSmoothedValues(2)[kRamp - 1], 0.0f) << "an index without a smoother reads as zeros";
    EXPECT_EQ(whole.GetSmoothedValues(0), whole.GetSmoother(0)->GetRamp());

    whole.SetSmootherTarget(0, 0.5f);
    whole.ResetSmoothers();
    EXPECT_EQ(whole.GetSmoother(0)->GetMode(), ParameterSmoother::kIdle);
    EXPECT_EQ(whole.GetSmoothedValues(0)[100], 0.5f);
}

TEST(SmoothableParameterGroupTest, TheHostRateReachesEverySmootherAndUnusableRatesAreIgnored)
{
    SmoothedGroup group;
    group.SetSampleRate(96000.0f);
    ParameterSmoother expected;
    expected.SetSampleRate(96000.0f);
    for (int32_t index : {0, 1, 3})
        EXPECT_EQ(group.GetSmoother(index)->GetCoefficient(), expected.GetCoefficient());
    for (const float unusable : {0.0f, 999.0f, 768001.0f, NAN, INFINITY, -44100.0f})
        group.SetSampleRate(unusable);
    EXPECT_EQ(group.GetSampleRate(), 96000.0f);
    EXPECT_EQ(group.GetSmoother(3)->GetCoefficient(), expected.GetCoefficient());
    // A smoother added later starts at the group's rate.
    group.AddSmoother(2);
    EXPECT_EQ(group.GetSmoother(2)->GetSampleRate(), 96000.0f);
}

} // namespace
