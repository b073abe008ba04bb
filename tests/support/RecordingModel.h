#pragma once
// A model whose hooks and audio are recorded, so tests can see exactly what the framework calls.

#include "framework/Model.h"

#include <string>
#include <vector>

struct RecordingModel : VstToolkit::Model {
    struct ParameterChange {
        int32_t index;
        float oldValue;
        float newValue;
    };
    struct Piece {
        int32_t offset;
        int32_t count;
    };

    std::vector<std::string> hooks;
    std::vector<ParameterChange> parameterChanges;
    std::vector<Piece> pieces;
    std::vector<std::string> midi;
    bool* destroyedFlag = nullptr;

    ~RecordingModel() override
    {
        if (destroyedFlag != nullptr)
            *destroyedFlag = true;
    }
    void Process(float** inputs, float** outputs, int32_t offset, int32_t count) override
    {
        pieces.push_back({offset, count});
        for (int32_t i = offset; i < offset + count; ++i) {
            outputs[0][i] = inputs[0][i];
            outputs[1][i] = inputs[1][i];
        }
    }
    void OnSampleRateChanged(float oldRate, float newRate) override
    {
        hooks.push_back("rate " + std::to_string(oldRate) + " " + std::to_string(newRate));
    }
    void OnTempoChanged(double oldTempo, double newTempo) override
    {
        hooks.push_back("tempo " + std::to_string(oldTempo) + " " + std::to_string(newTempo));
    }
    void OnPpqPositionChanged(double, double newPosition) override
    {
        hooks.push_back("position " + std::to_string(newPosition));
    }
    void OnTransportPlayingChanged(bool playing) override { hooks.push_back(playing ? "playing" : "stopped"); }
    void OnTimeSignatureChanged(int32_t a, int32_t b, int32_t c, int32_t d) override
    {
        hooks.push_back("signature " + std::to_string(a) + "/" + std::to_string(b) + " " + std::to_string(c) + "/" +
                        std::to_string(d));
    }
    void OnSelectedProgramChanged(int32_t oldIndex, int32_t newIndex) override
    {
        hooks.push_back("program " + std::to_string(oldIndex) + " " + std::to_string(newIndex));
    }
    void OnParameterValueChanged(int32_t index, float oldValue, float newValue) override
    {
        parameterChanges.push_back({index, oldValue, newValue});
    }
    void OnNoteOn(int32_t frame, int channel, int note, int velocity) override
    {
        Record("on", frame, channel, note, velocity);
    }
    void OnNoteOff(int32_t frame, int channel, int note, int velocity) override
    {
        Record("off", frame, channel, note, velocity);
    }
    void OnPolyPressure(int32_t frame, int channel, int note, int pressure) override
    {
        Record("poly", frame, channel, note, pressure);
    }
    void OnControlChange(int32_t frame, int channel, int number, int value) override
    {
        Record("cc", frame, channel, number, value);
    }
    void OnProgramChange(int32_t frame, int channel, int program) override
    {
        Record("pc", frame, channel, program, -1);
    }
    void OnChannelPressure(int32_t frame, int channel, int pressure) override
    {
        Record("pressure", frame, channel, pressure, -1);
    }
    void OnPitchBend(int32_t frame, int channel, int value) override { Record("bend", frame, channel, value, -1); }
    void OnSustainOn(int32_t frame, int channel) override { Record("sustain on", frame, channel, -1, -1); }
    void OnSustainOff(int32_t frame, int channel) override { Record("sustain off", frame, channel, -1, -1); }

    void Record(const char* what, int32_t frame, int channel, int a, int b)
    {
        std::string line = std::string(what) + " @" + std::to_string(frame) + " ch" + std::to_string(channel);
        if (a >= 0)
            line += " " + std::to_string(a);
        if (b >= 0)
            line += " " + std::to_string(b);
        midi.push_back(line);
    }
};
