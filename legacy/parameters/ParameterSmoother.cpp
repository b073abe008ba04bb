#include "legacy/parameters/ParameterSmoother.h"

#include "legacy/parameters/SampleRate.h"

#include <cmath>

namespace VovezEdeduvo {
namespace ParameterHandling {

namespace {

alignas(16) const float zeroRamp[ParameterSmoother::kRampLength] = {};

float CoefficientFor(float hz, float smoothingTime)
{
    return 1.0f - std::exp(-1.0f / (hz * smoothingTime + 1.0f));
}

typedef float Lanes __attribute__((vector_size(16)));
typedef int32_t LaneBits __attribute__((vector_size(16)));

} // namespace

const float* ParameterSmoother::ZeroRamp()
{
    return zeroRamp;
}

ParameterSmoother::ParameterSmoother()
    : sampleRate(SampleRate::kDefaultSampleRate), coefficient(CoefficientFor(sampleRate, smoothingTime))
{
    Reset();
}

void ParameterSmoother::Reset()
{
    current = target;
    for (float& value : ramp)
        value = target;
    falling = 0;
    mode = kIdle;
}

void ParameterSmoother::SetTarget(float value)
{
    target = value;
    mode = kMoving;
    if (value < current) {
        falling = 1;
        aim = value - kOvershoot;
    } else {
        falling = 0;
        aim = value + kOvershoot;
    }
}

void ParameterSmoother::SetSampleRate(float hz)
{
    if (!(hz > 0.0f) || !std::isfinite(hz))
        return;
    sampleRate = hz;
    coefficient = CoefficientFor(hz, smoothingTime);
}

// The ramp while the target lies ahead; answers the sample at which it no longer does (count
// when every sample moved). Unrolled by four: the test at each sample stays, the loop overhead
// goes.
template <bool down>
int32_t ParameterSmoother::Run(int32_t count)
{
    const float goal = target, toward = aim, c = coefficient;
    float value = current;
    int32_t n = 0;
#define MORLENT_RAMP_STEP(k)                                                                                \
    if (down ? !(goal < value) : !(goal > value)) {                                                         \
        current = value;                                                                                    \
        return n + (k);                                                                                     \
    }                                                                                                       \
    value = value + (toward - value) * c;                                                                   \
    ramp[n + (k)] = (down ? value <= goal : value >= goal) ? goal : value;
    for (; n + 4 <= count; n += 4) {
        MORLENT_RAMP_STEP(0)
        MORLENT_RAMP_STEP(1)
        MORLENT_RAMP_STEP(2)
        MORLENT_RAMP_STEP(3)
    }
    for (; n < count; ++n) {
        MORLENT_RAMP_STEP(0)
    }
#undef MORLENT_RAMP_STEP
    current = value;
    return count;
}

void ParameterSmoother::Settle(int32_t from, int32_t count)
{
    for (int32_t n = from; n < count; ++n)
        ramp[n] = target;
    mode = kSettling;
}

void ParameterSmoother::Advance(int32_t count)
{
    if (count > kRampLength)
        count = kRampLength;
    if (mode == kSettling) {
        Reset();
        return;
    }
    if (mode != kMoving || count <= 0)
        return;
    const int32_t moved = falling != 0 ? Run<true>(count) : Run<false>(count);
    if (moved < count)
        Settle(moved, count);
}

template <int32_t lanes>
void ParameterSmoother::AdvanceLanes(ParameterSmoother* const* smoothers, int32_t count)
{
    // Unused lanes stand still: target and current equal, so no sample moves them.
    Lanes start{}, goal{}, toward{}, c{};
    LaneBits down{};
    float* ramps[lanes];
    for (int32_t lane = 0; lane < lanes; ++lane) {
        const ParameterSmoother& s = *smoothers[lane];
        start[lane] = s.current;
        goal[lane] = s.target;
        toward[lane] = s.aim;
        c[lane] = s.coefficient;
        down[lane] = s.falling != 0 ? -1 : 0;
        ramps[lane] = smoothers[lane]->ramp;
    }

    // Most blocks lie wholly before every target, so the first pass assumes so and only notes
    // whether it held: the recursion then carries no selection from sample to sample. A block
    // in which some target is reached goes again, sample by sample as Run would.
    Lanes value = start;
    LaneBits stopped{};
    for (int32_t n = 0; n < count; ++n) {
        stopped |= ~((down & (goal < value)) | (~down & (goal > value)));
        value = value + (toward - value) * c;
        const LaneBits reached = (down & (value <= goal)) | (~down & (value >= goal));
        const Lanes written = reached ? goal : value;
        for (int32_t lane = 0; lane < lanes; ++lane)
            ramps[lane][n] = written[lane];
    }
    bool anyStopped = false;
    for (int32_t lane = 0; lane < lanes; ++lane)
        anyStopped = anyStopped || stopped[lane] != 0;

    if (anyStopped) {
        value = start;
        stopped = LaneBits{};
        for (int32_t n = 0; n < count; ++n) {
            // Once a lane's target is no longer ahead it stays so, since its value no longer moves.
            const LaneBits ahead = (down & (goal < value)) | (~down & (goal > value));
            const Lanes moved = value + (toward - value) * c;
            value = ahead ? moved : value;
            const LaneBits reached = (down & (value <= goal)) | (~down & (value >= goal));
            const Lanes written = (ahead & ~reached) ? value : goal;
            stopped |= ~ahead;
            for (int32_t lane = 0; lane < lanes; ++lane)
                ramps[lane][n] = written[lane];
        }
    }
    for (int32_t lane = 0; lane < lanes; ++lane) {
        smoothers[lane]->current = value[lane];
        if (stopped[lane] != 0)
            smoothers[lane]->mode = kSettling;
    }
}

void ParameterSmoother::AdvanceTogether(ParameterSmoother* const* smoothers, int32_t smootherCount, int32_t count)
{
    if (count > kRampLength)
        count = kRampLength;
    if (count <= 0)
        return;
    for (int32_t first = 0; first < smootherCount; first += 4) {
        ParameterSmoother* const* batch = smoothers + first;
        switch (smootherCount - first) {
        case 1:
            batch[0]->Advance(count);
            break;
        case 2:
            AdvanceLanes<2>(batch, count);
            break;
        case 3:
            AdvanceLanes<3>(batch, count);
            break;
        default:
            AdvanceLanes<4>(batch, count);
            break;
        }
    }
}

} // namespace ParameterHandling
} // namespace VovezEdeduvo
