#pragma once

#include "framework/Controller.h"
#include "support/RecordingHost.h"
#include "support/RecordingModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct FakeView : VstToolkit::ParameterView {
    std::vector<std::pair<int, float>> updates;
    std::vector<std::string> statusTexts;
    void UpdateParameterControl(int index, float value) override { updates.emplace_back(index, value); }
    void SetStatusText(const char* text) override { statusTexts.emplace_back(text); }
};

// A controller over a recording model, driven only through its record as a host drives it.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        RecordingHost::Reset();
        model = new RecordingModel;
        controller = new VstToolkit::Controller(RecordingHost::Callback, model);
        record = controller->getAeffect();
    }
    void TearDown() override
    {
        if (record != nullptr)
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
    }
    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    std::string Text(VstInt32 opcode, VstInt32 index = 0)
    {
        char text[256];
        std::fill(std::begin(text), std::end(text), 'x');
        text[255] = 0;
        Dispatch(opcode, index, 0, text);
        return text;
    }
    void Process(int frames)
    {
        std::vector<float> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
        float* channels[2] = {left.data(), right.data()};
        record->processReplacing(record, channels, channels, frames);
    }
    struct MidiList {
        VstInt32 numEvents;
        VstIntPtr reserved;
        VstEvent* events[64];
    };
    void SendMidi(std::vector<VstMidiEvent> events)
    {
        MidiList list{static_cast<VstInt32>(events.size()), 0, {}};
        for (size_t i = 0; i < events.size(); ++i)
            list.events[i] = reinterpret_cast<VstEvent*>(&events[i]);
        Dispatch(effProcessEvents, 0, 0, &list);
    }
    static VstMidiEvent Midi(int frame, int status, int data1, int data2)
    {
        VstMidiEvent event{};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = frame;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        return event;
    }

    RecordingModel* model = nullptr;
    VstToolkit::Controller* controller = nullptr;
    AEffect* record = nullptr;
};
