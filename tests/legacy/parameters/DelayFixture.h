#pragma once

#include "description/EffectDescription.h"
#include "legacy/parameters/DelayParameters.h"
#include "legacy/parameters/DelayProcessor.h"

#include <memory>

// The processor and its parameters as the first-generation model builds them: processor first,
// then the group, then the default values written into every program.
struct FirstGenerationDelay {
    FirstGenerationDelay()
    {
        for (int32_t p = 0; p < MorlentDelay::kProgramCount; ++p)
            for (int32_t j = 0; j < MorlentDelay::kParameterCount; ++j)
                parameters.SetProgramParameterValue(p, j, MorlentDelay::kParameters[j].defaultValue);
        parameters.ResetSmoothers();
    }

    // The model's processing call.
    void Process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int32_t count)
    {
        parameters.Advance(count);
        processor.Process(inLeft, inRight, outLeft, outRight, count);
    }

    VovezEdeduvo::Effects::DelayProcessor processor;
    VovezEdeduvo::Effects::DelayParameters parameters{MorlentDelay::kProgramCount, &processor};
};
