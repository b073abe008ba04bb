#pragma once

#include "vst2/Controller.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/RecordingModel.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using TestSupport::StandInHost;

struct FakeView : VstToolkit::ParameterView {
    std::vector<std::pair<int, float>> updates;
    std::vector<std::string> statusTexts;
    void UpdateParameterControl(int index, float value) override { updates.emplace_back(index, value); }
    void SetStatusText(const char* text) override { statusTexts.emplace_back(text); }
};

// A controller over a recording model, driven only through its record as a host drives it.
class ControllerFixture : public ::testing::Test, protected TestSupport::EffectCalls {
protected:
    ControllerFixture() : EffectCalls(record) {}
    void SetUp() override
    {
        StandInHost::Reset();
        model = new RecordingModel;
        controller = new VstToolkit::Controller(StandInHost::Callback, model);
        record = controller->getAeffect();
    }
    void TearDown() override
    {
        if (record != nullptr)
            Dispatch(effClose);
    }
    static VstMidiEvent Midi(int frame, int status, int data1, int data2)
    {
        return TestSupport::MidiEvent(frame, status, data1, data2);
    }

    RecordingModel* model = nullptr;
    VstToolkit::Controller* controller = nullptr;
    AEffect* record = nullptr;
};
