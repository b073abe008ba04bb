#pragma once

#include "legacy/framework/Model.h"
#include "legacy/parameters/DelayParameters.h"
#include "legacy/parameters/DelayProcessor.h"

namespace VovezEdeduvo {

// The 32-bit module's model: the first-generation delay behind the framework.
class DelayModel : public Model {
public:
    DelayModel(uint32_t numInputs, uint32_t numOutputs, int32_t numPrograms);
    ~DelayModel() override;

    // --- audio thread, lock held ---
    // Advances the smoothers over count frames, then renders them.
    void Process(float** inputs, float** outputs, int32_t count) override;
    // Empties the lines and filters; every smoother jumps to its target. Also the main thread.
    void Reset() override;

    // Banks of version 2110 and before end after the program values.
    bool BankCarriesControllerMap(int32_t version) const override;

    const Effects::DelayProcessor& GetProcessor() const { return processor; }
    const Effects::DelayParameters& GetParameters() const { return parameters; }

private:
    Effects::DelayProcessor processor;
    Effects::DelayParameters parameters;
};

} // namespace VovezEdeduvo
