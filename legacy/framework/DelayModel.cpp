#include "legacy/framework/DelayModel.h"

namespace VovezEdeduvo {

DelayModel::DelayModel(uint32_t numInputs, uint32_t numOutputs, int32_t numPrograms)
    : Model(numInputs, numOutputs, numPrograms),
      processor(Effects::DelayProcessor::kModuleLineLength),
      parameters(numPrograms, &processor)
{
    AddGroup(&parameters);
    SampleRateProvider::AddListener(&parameters);
    TempoProvider::AddListener(&parameters);
    for (int32_t program = 0; program < numPrograms; ++program)
        for (int32_t index = 0; index < MorlentDelay::kParameterCount; ++index)
            SetProgramParameterValue(program, index, MorlentDelay::kParameters[index].defaultValue);
}

DelayModel::~DelayModel() = default;

void DelayModel::Process(float** inputs, float** outputs, int32_t count)
{
    parameters.Advance(count);
    processor.Process(inputs[0], inputs[1], outputs[0], outputs[1], count);
}

void DelayModel::Reset()
{
    processor.Reset();
    parameters.ResetSmoothers();
}

bool DelayModel::BankCarriesControllerMap(int32_t version) const
{
    return version > MorlentDelay::kLastVersionWithoutControllerMap;
}

} // namespace VovezEdeduvo
