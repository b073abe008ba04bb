#pragma once

#include "delay/DelayEngine.h"
#include "framework/Model.h"

#include <atomic>
#include <cstdint>
#include <memory>

// The plug-in's model: turns the twelve normalised parameters into delay engine settings and
// display strings, follows the host's sample rate, tempo and transport, and renders audio.
//
// Threads: this class is the boundary between the host's threads and the single-threaded
// engine, which only the audio thread touches. Hooks on other threads store what they want in
// atomics and flag it; Process adopts the flagged changes before it renders. Line arrays for a
// new sample rate are allocated on the main thread, handed over through an atomic pointer, and
// the arrays they replace come back to be freed off the audio thread.
class MorlentDelayModel : public VstToolkit::Model {
public:
    static constexpr int32_t kNoteCount = MorlentDelay::kNoteCount;

    MorlentDelayModel();
    ~MorlentDelayModel() override;

    // --- audio thread ---
    // Renders count frames from offset; an exact copy of the input while bypassed.
    void Process(float** inputs, float** outputs, int32_t offset, int32_t count) override;
    // Synchronised delays follow the new tempo.
    void OnTempoChanged(double oldTempo, double newTempo) override;
    // Starting or stopping the transport empties the lines.
    void OnTransportPlayingChanged(bool playing) override;

    // --- main thread ---
    // A rate that is not finite within 1 kHz..768 kHz is ignored: the engine keeps its rate.
    void OnSampleRateChanged(float oldRate, float newRate) override;
    // Re-applies all twelve parameters of the new program.
    void OnSelectedProgramChanged(int32_t oldIndex, int32_t newIndex) override;

    // --- main thread, or the audio thread when a learned controller moves a parameter ---
    void OnParameterValueChanged(int32_t index, float oldValue, float newValue) override;

    // --- any thread ---
    void FormatParameterDisplay(int32_t index, float value, char* text) const override;

    // Audio thread, or while nothing processes. Changes made on other threads reach the engine
    // at the start of the next Process call.
    const DelayEngine& GetEngine() const { return engine; }
    // While nothing processes: every change waiting for the engine applied, then the engine as a
    // new model's (DelayEngine::Restart). Lets one instance stand in for a new one in a long
    // fuzzing run.
    void RestartEngine() override;
    void EmptyDelayLines() override { RequestChange(kClearChange); }

    static const char* NoteName(int32_t noteIndex);
    // The delay in seconds of a note at a tempo, kept within 0..DelayEngine::kMaxDelaySeconds
    // whatever the tempo (zero, negative, NaN or huge).
    static float TempoDelaySeconds(double tempo, int32_t noteIndex);

private:
    // A sample rate on its way to the audio thread with its zeroed lines; on the way back it
    // carries the replaced lines.
    struct LineStorage {
        float sampleRate;
        uint32_t sequence;
        std::unique_ptr<float[]> left;
        std::unique_ptr<float[]> right;
        LineStorage* next = nullptr;
    };

    // Bits of pendingChanges, one per engine setting a hook may change.
    enum Change : uint32_t {
        kFeedbackChange = 1u << 0,
        kMixChange = 1u << 1,
        kFilterChange = 1u << 2,
        kCutoffChange = 1u << 3,
        kCrossFeedbackChange = 1u << 4,
        kLeftDelayChange = 1u << 5,
        kRightDelayChange = 1u << 6,
        kClearChange = 1u << 7,
        kSampleRateChange = 1u << 8,
    };

    void RequestChange(uint32_t change) { pendingChanges.fetch_or(change, std::memory_order_release); }
    uint32_t NextSequence() { return changeSequence.fetch_add(1, std::memory_order_relaxed) + 1; }
    void RequestLeftDelay(float seconds);
    void RequestRightDelay(float seconds);
    void ApplyTempoDelayLeft();
    void ApplyTempoDelayRight();
    void FreeRetiredLines();

    // Audio thread.
    void ApplyPendingChanges();
    void ApplyOrderedChanges(uint32_t changes, bool before, uint32_t sequence, uint32_t& applied);
    void RetireLines(LineStorage* storage);

    // Parameter meanings; written by the parameter hooks, read by the tempo hook too.
    std::atomic<bool> enabled{true};
    std::atomic<float> leftManualDelay{1.0f};
    std::atomic<float> rightManualDelay{1.0f};
    std::atomic<bool> syncEnabled{false};
    std::atomic<int32_t> leftNoteIndex{3};
    std::atomic<int32_t> rightNoteIndex{3};

    // Engine settings waiting for the audio thread.
    std::atomic<float> wantedFeedback{0.0f};
    std::atomic<float> wantedMix{0.5f};
    std::atomic<bool> wantedFilterEnabled{false};
    std::atomic<Dsp::FilterKind> wantedFilterType{Dsp::FilterKind::LowPass};
    std::atomic<bool> wantedCrossFeedback{false};
    std::atomic<float> wantedCutoff{0.0f};
    std::atomic<float> wantedLeftDelay{0.0f};
    std::atomic<float> wantedRightDelay{0.0f};
    // Cutoff and delay times land differently before and after a rate change, so they carry
    // the order in which they were asked for.
    std::atomic<uint32_t> changeSequence{0};
    std::atomic<uint32_t> cutoffSequence{0};
    std::atomic<uint32_t> leftDelaySequence{0};
    std::atomic<uint32_t> rightDelaySequence{0};
    std::atomic<uint32_t> pendingChanges{0};
    std::atomic<LineStorage*> pendingLines{nullptr};
    // Lines the audio thread no longer uses, a list freed on the main thread.
    std::atomic<LineStorage*> retiredLines{nullptr};

    DelayEngine engine;
};
