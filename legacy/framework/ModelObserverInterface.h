#pragma once

#include <cstdint>

namespace VovezEdeduvo {

class Model;

// Told of changes to a model's values. Called on whatever thread made the change: the audio
// thread for a learned controller (with the model's lock held), the host's or the editor's
// thread otherwise. An observer must only record what it is told.
class ModelObserverInterface {
public:
    virtual ~ModelObserverInterface() = default;
    virtual void OnParameterChanged(Model* model, int32_t index, float value) = 0;
    virtual void OnProgramChanged(Model* model) = 0;
};

} // namespace VovezEdeduvo
