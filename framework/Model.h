#pragma once

#include "description/EffectDescription.h"
#include "common/Chunk.h"
#include "common/MidiEventQueue.h"
#include "platform/Trace.h"

#include <atomic>
#include <cstdint>

namespace VstToolkit {

class PluginCore;

// Everything the plug-in is: identity, programs and their parameter values, display strings,
// host transport state, the MIDI controller map and learn state, and the pending MIDI events.
// The concrete effect model derives from it and overrides the hooks.
//
// Threads: values the audio thread reads while other threads write them are atomics, written
// whole. Operations that run on the audio thread are marked; they never trace, because the
// platform's debug output may take a system-wide lock.
class Model {
public:
    static constexpr int kProgramCount = MorlentDelay::kProgramCount;
    static constexpr int kParameterCount = MorlentDelay::kParameterCount;
    static constexpr int kProgramNameSize = MorlentDelay::kProgramNameSize;
    static constexpr int kEffectNameSize = MorlentDelay::kEffectNameSize;
    static constexpr int kVendorStringSize = MorlentDelay::kVendorStringSize;
    static constexpr int kProductStringSize = MorlentDelay::kProductStringSize;
    static constexpr int kShortNameSize = MorlentDelay::kShortNameSize;
    static constexpr int kLongNameSize = MorlentDelay::kLongNameSize;
    static constexpr int kLabelSize = MorlentDelay::kLabelSize;
    static constexpr int kDisplaySize = MorlentDelay::kDisplaySize;
    static constexpr int kControllerCount = 128;
    static constexpr int32_t kVendorVersion = MorlentDelay::kVendorVersion;
    static constexpr float kMinSampleRate = MorlentDelay::kMinSampleRate;
    static constexpr float kMaxSampleRate = MorlentDelay::kMaxSampleRate;
    static constexpr int32_t kLastVersionWithoutControllerMap = MorlentDelay::kLastVersionWithoutControllerMap;

    Model();
    virtual ~Model();

    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // --- audio thread ---
    // Renders count frames from frame offset of the host's channel arrays.
    virtual void Process(float** inputs, float** outputs, int32_t offset, int32_t count);

    // While nothing processes: the signal path as a new instance's at the current settings, with
    // nothing left of earlier audio. Base: nothing to restart.
    virtual void RestartEngine() {}
    // Audio thread, between blocks: the next block starts with empty delay lines, the settings
    // as they are (a host's reset of a running instance). Base: nothing to empty.
    virtual void EmptyDelayLines() {}

    // --- chunks (main thread) ---
    virtual void SerializeSelectedProgram(Morlent::ChunkBuffer& buffer);
    virtual bool DeserializeSelectedProgram(Morlent::ChunkReader& reader);
    virtual void SerializeBank(Morlent::ChunkBuffer& buffer);
    virtual bool DeserializeBank(Morlent::ChunkReader& reader);

    // --- hooks, called after the new value is stored ---
    virtual void OnSampleRateChanged(float oldRate, float newRate);                 // main thread
    virtual void OnTempoChanged(double oldTempo, double newTempo);                  // audio thread
    virtual void OnPpqPositionChanged(double oldPosition, double newPosition);      // audio thread
    virtual void OnTransportPlayingChanged(bool playing);                           // audio thread
    virtual void OnTimeSignatureChanged(int32_t oldNumerator, int32_t oldDenominator, int32_t newNumerator,
                                        int32_t newDenominator);                    // audio thread
    virtual void OnSelectedProgramChanged(int32_t oldIndex, int32_t newIndex);      // main thread
    // Main thread, or the audio thread when a learned controller moves a parameter.
    virtual void OnParameterValueChanged(int32_t index, float oldValue, float newValue);

    // MIDI hooks, audio thread, at the event's frame inside the block.
    virtual void OnNoteOn(int32_t deltaFrames, int channel, int note, int velocity);
    virtual void OnNoteOff(int32_t deltaFrames, int channel, int note, int velocity);
    virtual void OnPolyPressure(int32_t deltaFrames, int channel, int note, int pressure);
    virtual void OnControlChange(int32_t deltaFrames, int channel, int controller, int value);
    virtual void OnProgramChange(int32_t deltaFrames, int channel, int program);
    virtual void OnChannelPressure(int32_t deltaFrames, int channel, int pressure);
    virtual void OnPitchBend(int32_t deltaFrames, int channel, int value);
    virtual void OnSustainOn(int32_t deltaFrames, int channel);
    virtual void OnSustainOff(int32_t deltaFrames, int channel);

    // --- identity and counts (any thread) ---
    // The core the model reports its own changes to (a learned controller, a completed learn).
    void SetController(PluginCore* newController);
    PluginCore* GetController() const { return controller; }
    const char* GetEffectName() const;
    const char* GetVendorString() const;
    const char* GetProductString() const;
    int32_t GetUniqueId() const;
    int32_t GetVendorVersion() const;
    int32_t GetPluginCategory() const;
    int32_t GetProgramCount() const;
    int32_t GetParameterCount() const;
    int32_t GetInputCount() const;
    int32_t GetOutputCount() const;

    // --- programs and parameters ---
    // Indices outside the tables are ignored by setters and answer 0 or "" from getters.
    // Rates outside kMinSampleRate..kMaxSampleRate (or not a number) are ignored.
    void SetSampleRate(float rate);                 // main thread
    static bool IsUsableSampleRate(float rate);
    float GetSampleRate() const { return sampleRate.load(std::memory_order_relaxed); }
    int32_t GetSelectedProgramIndex() const { return selectedProgram.load(std::memory_order_relaxed); }
    void SetSelectedProgramIndex(int32_t index);    // main thread
    const char* GetProgramName(int32_t program) const;
    void SetSelectedProgramName(const char* name);  // main thread
    // The value of a parameter in the selected program.
    float GetParameterValue(int32_t index) const;
    float GetProgramParameterValue(int32_t program, int32_t index) const;
    // Stores a value clamped into 0..1 (a NaN changes nothing), then calls the hook. Any thread:
    // hosts play automation back on their audio thread.
    void SetParameterValue(int32_t index, float value);
    const char* GetParameterShortName(int32_t index) const;
    const char* GetParameterLongName(int32_t index) const;
    const char* GetParameterLabel(int32_t index) const;
    // Copies the display string (at most 7 characters and the terminator) into text[8].
    void GetParameterDisplay(int32_t index, char* text) const;
    void SetParameterDisplay(int32_t index, const char* text);
    void SetOnOffParameterDisplay(int32_t index, bool on, const char* offText);
    void SetFloatParameterDisplay(int32_t index, float value);
    // Any thread: the display text value (0..1) would give a parameter, into text[kDisplaySize],
    // without storing anything. Base: "".
    virtual void FormatParameterDisplay(int32_t index, float value, char* text) const;
    static void FormatOnOff(bool on, const char* offText, char* text);
    static void FormatFloat(float value, char* text);
    static bool NormalizedFloatToBool(float value);
    static int32_t NormalizedFloatToSelection(float value, int32_t count);

    // --- transport (written by the controller on the audio thread, read anywhere) ---
    double GetTempo() const { return tempo.load(std::memory_order_relaxed); }
    double GetPpqPosition() const { return position.load(std::memory_order_relaxed); }
    bool IsPlaying() const { return playing.load(std::memory_order_relaxed); }
    int32_t GetTimeSignatureNumerator() const { return timeSignatureNumerator.load(std::memory_order_relaxed); }
    int32_t GetTimeSignatureDenominator() const
    {
        return timeSignatureDenominator.load(std::memory_order_relaxed);
    }
    void StoreTempo(double value) { tempo.store(value, std::memory_order_relaxed); }
    void StorePpqPosition(double value) { position.store(value, std::memory_order_relaxed); }
    void StorePlaying(bool value) { playing.store(value, std::memory_order_relaxed); }
    void StoreTimeSignature(int32_t numerator, int32_t denominator)
    {
        timeSignatureNumerator.store(numerator, std::memory_order_relaxed);
        timeSignatureDenominator.store(denominator, std::memory_order_relaxed);
    }

    // --- MIDI (audio thread) ---
    void PushMidiEvent(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
    void ProcessBlock(float** inputs, float** outputs, int32_t sampleFrames);
    void DispatchMidiMessage(int32_t deltaFrames, uint8_t status, uint8_t data1, uint8_t data2);
    void DispatchController(int32_t deltaFrames, int channel, int controllerNumber, int value);
    uint32_t PendingMidiEventCount() const { return midiEventQueue.Size(); }

    // --- MIDI learn and controller map (user-interface thread; read by the audio thread) ---
    // Atomics only, and they trace only on the thread that made the model: a format whose
    // editor talks to the plug-in through messages (LV2) applies them on the audio thread.
    bool IsLearningMidi() const;
    int32_t GetLearnParameter() const { return learnParameter.load(std::memory_order_relaxed); }
    void StartLearningMidi(int32_t parameter);
    void StopLearningMidi();
    void ClearMidiControllerMap();
    void RegisterMidiControllerMapping(int controllerNumber, int32_t parameter);
    void UnregisterMidiControllerMapping(int controllerNumber);
    bool IsControllerMapped(int controllerNumber) const;
    int32_t ControllerToParameter(int controllerNumber) const;
    // The lowest controller bound to the parameter, or -1 when none is.
    int ParameterToController(int32_t parameter) const;
    bool HasController(int32_t parameter) const { return ParameterToController(parameter) >= 0; }

protected:
    void WriteHeader(Morlent::ChunkBuffer& buffer) const;
    bool ReadHeader(Morlent::ChunkReader& reader, int32_t& version) const;

    static bool IsParameterIndex(int32_t index) { return index >= 0 && index < kParameterCount; }
    static bool IsProgramIndex(int32_t index) { return index >= 0 && index < kProgramCount; }

private:
    struct ControllerMapEntry {
        std::atomic<bool> mapped{false};
        std::atomic<int32_t> parameter{0};
    };

    void StoreParameterValue(int32_t index, float value);
    void ApplyController(int controllerNumber, int value);
    void LearnController(int controllerNumber);
    void Register(int controllerNumber, int32_t parameter);
    void Unregister(int controllerNumber);

    PluginCore* controller = nullptr;
    Platform::CreatorThreadTrace creatorTrace;
    char effectName[kEffectNameSize];
    char vendorString[kVendorStringSize];
    char productString[kProductStringSize];
    int32_t uniqueId;
    int32_t vendorVersion;
    int32_t pluginCategory;
    char programNames[kProgramCount][kProgramNameSize];
    std::atomic<float> programValues[kProgramCount][kParameterCount];
    ControllerMapEntry midiControllerMap[kControllerCount];
    char parameterShortNames[kParameterCount][kShortNameSize];
    char parameterLongNames[kParameterCount][kLongNameSize];
    char parameterLabels[kParameterCount][kLabelSize];
    // Eight display bytes packed into one word, so a display set on the audio thread (a learned
    // controller) and read on the main thread is never seen half written.
    std::atomic<uint64_t> parameterDisplays[kParameterCount];
    std::atomic<int32_t> selectedProgram{0};
    std::atomic<float> sampleRate{44100.0f};
    std::atomic<double> tempo{120.0};
    std::atomic<double> position{0.0};
    std::atomic<bool> playing{true};
    std::atomic<int32_t> timeSignatureNumerator{4};
    std::atomic<int32_t> timeSignatureDenominator{4};
    Morlent::MidiEventQueue midiEventQueue;
    std::atomic<bool> learningMidi{false};
    std::atomic<int32_t> learnParameter{0};
};

} // namespace VstToolkit
