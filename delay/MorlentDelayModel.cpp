#include "delay/MorlentDelayModel.h"

#include "common/FixedString.h"
#include "platform/Trace.h"

#include <cstdio>
#include <cstring>

using namespace MorlentDelay;

namespace {

// Notes per beat of the host's tempo, in the order of MorlentDelay::kNoteNames.
const double kBeatDivisors[kNoteCount] = {8.0, 4.0, 2.0, 1.0, 0.5};

constexpr float kLowestCutoff = 20.0f;
constexpr float kCutoffSpan = 9980.0f;

// Serial-number comparison, so the order survives the counter wrapping round.
bool IsBefore(uint32_t a, uint32_t b)
{
    return static_cast<int32_t>(a - b) < 0;
}

} // namespace

MorlentDelayModel::MorlentDelayModel()
{
    Platform::Trace("MorlentDelayModel::MorlentDelayModel\r\n");
    OnSelectedProgramChanged(0, 0);
    // Nothing processes yet, so this thread may touch the engine. The program's delays start
    // where they are instead of gliding there from the engine's interim values.
    ApplyPendingChanges();
    engine.Prepare(GetSampleRate());
}

MorlentDelayModel::~MorlentDelayModel()
{
    Platform::Trace("MorlentDelayModel::~MorlentDelayModel\r\n");
    delete pendingLines.exchange(nullptr, std::memory_order_acquire);
    FreeRetiredLines();
}

const char* MorlentDelayModel::NoteName(int32_t noteIndex)
{
    return noteIndex >= 0 && noteIndex < kNoteCount ? kNoteNames[noteIndex] : "";
}

float MorlentDelayModel::TempoDelaySeconds(double tempo, int32_t noteIndex)
{
    double seconds = 60.0 / tempo / kBeatDivisors[noteIndex];
    if (!(seconds > 0.0))
        return 0.0f;
    if (seconds > DelayEngine::kMaxDelaySeconds)
        seconds = DelayEngine::kMaxDelaySeconds;
    return static_cast<float>(seconds);
}

// --- audio thread ---

void MorlentDelayModel::Process(float** inputs, float** outputs, int32_t offset, int32_t count)
{
    if (pendingChanges.load(std::memory_order_relaxed) != 0)
        ApplyPendingChanges();
    const float* inLeft = inputs[0] + offset;
    const float* inRight = inputs[1] + offset;
    float* outLeft = outputs[0] + offset;
    float* outRight = outputs[1] + offset;
    if (enabled.load(std::memory_order_relaxed)) {
        engine.Process(inLeft, inRight, outLeft, outRight, count);
    } else if (count > 0) {
        // memmove: hosts may pass the same buffers in and out.
        std::memmove(outLeft, inLeft, sizeof(float) * static_cast<size_t>(count));
        std::memmove(outRight, inRight, sizeof(float) * static_cast<size_t>(count));
    }
}

void MorlentDelayModel::RestartEngine()
{
    ApplyPendingChanges();
    engine.Restart();
    FreeRetiredLines();
}

void MorlentDelayModel::ApplyPendingChanges()
{
    const uint32_t changes = pendingChanges.exchange(0, std::memory_order_acquire);
    uint32_t applied = 0;
    if ((changes & kSampleRateChange) != 0) {
        if (LineStorage* storage = pendingLines.exchange(nullptr, std::memory_order_acq_rel)) {
            ApplyOrderedChanges(changes, true, storage->sequence, applied);
            engine.SetSampleRate(storage->sampleRate, storage->left, storage->right);
            RetireLines(storage);
        }
    }
    ApplyOrderedChanges(changes & ~applied, false, 0, applied);
    if ((changes & kClearChange) != 0)
        engine.Clear();
    DelayEngine::Settings settings = engine.GetSettings();
    if ((changes & kFeedbackChange) != 0)
        settings.feedback = wantedFeedback.load(std::memory_order_relaxed);
    if ((changes & kMixChange) != 0)
        settings.mix = wantedMix.load(std::memory_order_relaxed);
    if ((changes & kFilterChange) != 0)
        settings.filter = wantedFilterEnabled.load(std::memory_order_relaxed)
                              ? wantedFilterType.load(std::memory_order_relaxed)
                              : Dsp::FilterKind::None;
    if ((changes & kCrossFeedbackChange) != 0)
        settings.crossFeedback = wantedCrossFeedback.load(std::memory_order_relaxed);
    engine.SetSettings(settings);
}

// The cutoff and the delay times asked for before a rate change go to the engine before it
// (the change then clamps and rescales them); those asked for after it go after it. With
// before false every remaining one is applied.
void MorlentDelayModel::ApplyOrderedChanges(uint32_t changes, bool before, uint32_t sequence, uint32_t& applied)
{
    auto due = [&](uint32_t change, const std::atomic<uint32_t>& stamp) {
        if ((changes & change) == 0)
            return false;
        if (before && !IsBefore(stamp.load(std::memory_order_relaxed), sequence))
            return false;
        applied |= change;
        return true;
    };
    if (due(kCutoffChange, cutoffSequence))
        engine.SetCutoff(wantedCutoff.load(std::memory_order_relaxed));
    if (due(kLeftDelayChange, leftDelaySequence))
        engine.SetLeftDelayTime(wantedLeftDelay.load(std::memory_order_relaxed));
    if (due(kRightDelayChange, rightDelaySequence))
        engine.SetRightDelayTime(wantedRightDelay.load(std::memory_order_relaxed));
}

void MorlentDelayModel::RetireLines(LineStorage* storage)
{
    // A lock-free push; the main thread takes the whole list at once, so no pop can race it.
    LineStorage* head = retiredLines.load(std::memory_order_relaxed);
    do {
        storage->next = head;
    } while (!retiredLines.compare_exchange_weak(head, storage, std::memory_order_release,
                                                 std::memory_order_relaxed));
}

void MorlentDelayModel::OnTempoChanged(double, double)
{
    if (!syncEnabled.load(std::memory_order_relaxed))
        return;
    ApplyTempoDelayLeft();
    ApplyTempoDelayRight();
}

void MorlentDelayModel::OnTransportPlayingChanged(bool)
{
    RequestChange(kClearChange);
}

// --- main thread ---

void MorlentDelayModel::FreeRetiredLines()
{
    LineStorage* storage = retiredLines.exchange(nullptr, std::memory_order_acquire);
    while (storage != nullptr) {
        LineStorage* next = storage->next;
        delete storage;
        storage = next;
    }
}

void MorlentDelayModel::OnSampleRateChanged(float, float newRate)
{
    Platform::Trace("MorlentDelayModel::OnSampleRateChanged\r\n");
    FreeRetiredLines();
    if (!DelayEngine::IsUsableSampleRate(newRate))
        return;
    const int32_t length = DelayEngine::LineLength(newRate);
    std::unique_ptr<LineStorage> storage(new LineStorage{newRate, NextSequence(), std::unique_ptr<float[]>(new float[length]()),
                                                         std::unique_ptr<float[]>(new float[length]()), nullptr});
    // Lines the audio thread has not taken yet are reclaimed here; it never sees them.
    delete pendingLines.exchange(storage.release(), std::memory_order_acq_rel);
    RequestChange(kSampleRateChange);
}

void MorlentDelayModel::OnSelectedProgramChanged(int32_t oldIndex, int32_t newIndex)
{
    Platform::Trace("MorlentDelayModel::OnSelectedProgramChanged\r\n");
    FreeRetiredLines();
    for (int32_t index = 0; index < kParameterCount; ++index)
        OnParameterValueChanged(index, GetProgramParameterValue(oldIndex, index),
                                GetProgramParameterValue(newIndex, index));
}

// --- main thread or audio thread ---

void MorlentDelayModel::RequestLeftDelay(float seconds)
{
    wantedLeftDelay.store(seconds, std::memory_order_relaxed);
    leftDelaySequence.store(NextSequence(), std::memory_order_relaxed);
    RequestChange(kLeftDelayChange);
}

void MorlentDelayModel::RequestRightDelay(float seconds)
{
    wantedRightDelay.store(seconds, std::memory_order_relaxed);
    rightDelaySequence.store(NextSequence(), std::memory_order_relaxed);
    RequestChange(kRightDelayChange);
}

void MorlentDelayModel::ApplyTempoDelayLeft()
{
    RequestLeftDelay(TempoDelaySeconds(GetTempo(), leftNoteIndex.load(std::memory_order_relaxed)));
}

void MorlentDelayModel::ApplyTempoDelayRight()
{
    RequestRightDelay(TempoDelaySeconds(GetTempo(), rightNoteIndex.load(std::memory_order_relaxed)));
}

void MorlentDelayModel::OnParameterValueChanged(int32_t index, float, float value)
{
    switch (index) {
    case kEnabled: {
        const bool on = NormalizedFloatToBool(value);
        enabled.store(on, std::memory_order_relaxed);
        if (!on)
            RequestChange(kClearChange);
        break;
    }
    case kLeftDelay:
    case kRightDelay: {
        const float seconds = value * value;
        const bool isLeft = index == kLeftDelay;
        (isLeft ? leftManualDelay : rightManualDelay).store(seconds, std::memory_order_relaxed);
        if (!syncEnabled.load(std::memory_order_relaxed)) {
            if (isLeft)
                RequestLeftDelay(seconds);
            else
                RequestRightDelay(seconds);
        }
        break;
    }
    case kSync: {
        const bool on = NormalizedFloatToBool(value);
        syncEnabled.store(on, std::memory_order_relaxed);
        if (on) {
            ApplyTempoDelayLeft();
            ApplyTempoDelayRight();
        } else {
            RequestLeftDelay(leftManualDelay.load(std::memory_order_relaxed));
            RequestRightDelay(rightManualDelay.load(std::memory_order_relaxed));
        }
        break;
    }
    case kLeftSync:
    case kRightSync: {
        const int32_t note = NormalizedFloatToSelection(value, kNoteCount);
        const bool isLeft = index == kLeftSync;
        (isLeft ? leftNoteIndex : rightNoteIndex).store(note, std::memory_order_relaxed);
        if (syncEnabled.load(std::memory_order_relaxed)) {
            if (isLeft)
                ApplyTempoDelayLeft();
            else
                ApplyTempoDelayRight();
        }
        break;
    }
    case kFeedbackLevel: {
        const float gain = value * value;
        wantedFeedback.store(gain, std::memory_order_relaxed);
        RequestChange(kFeedbackChange);
        break;
    }
    case kFilter: {
        const bool on = NormalizedFloatToBool(value);
        wantedFilterEnabled.store(on, std::memory_order_relaxed);
        RequestChange(kFilterChange);
        break;
    }
    case kCutoffFrequency: {
        const float hz = value * value * kCutoffSpan + kLowestCutoff;
        wantedCutoff.store(hz, std::memory_order_relaxed);
        cutoffSequence.store(NextSequence(), std::memory_order_relaxed);
        RequestChange(kCutoffChange);
        break;
    }
    case kFilterType: {
        const int32_t type = NormalizedFloatToSelection(value, kFilterTypeCount);
        wantedFilterType.store(type == 0 ? Dsp::FilterKind::LowPass : Dsp::FilterKind::HighPass,
                               std::memory_order_relaxed);
        RequestChange(kFilterChange);
        break;
    }
    case kPan: {
        const bool on = NormalizedFloatToBool(value);
        wantedCrossFeedback.store(on, std::memory_order_relaxed);
        RequestChange(kCrossFeedbackChange);
        break;
    }
    case kWetDryMix: {
        wantedMix.store(value, std::memory_order_relaxed);
        RequestChange(kMixChange);
        break;
    }
    default:
        return;
    }
    char text[kDisplaySize];
    FormatParameterDisplay(index, value, text);
    SetParameterDisplay(index, text);
}

void MorlentDelayModel::FormatParameterDisplay(int32_t index, float value, char* text) const
{
    if (!SanitiseParameterValue(value))
        value = 0.0f;
    switch (index) {
    case kEnabled:
        FormatOnOff(NormalizedFloatToBool(value), "Bypass", text);
        break;
    case kSync:
    case kFilter:
    case kPan:
        FormatOnOff(NormalizedFloatToBool(value), "Off", text);
        break;
    case kLeftDelay:
    case kRightDelay:
    case kFeedbackLevel:
        FormatFloat(value * value, text);
        break;
    case kLeftSync:
    case kRightSync:
        Morlent::CopyFixedString(text, NoteName(NormalizedFloatToSelection(value, kNoteCount)), kDisplaySize);
        break;
    case kCutoffFrequency:
        FormatFloat(value * value * kCutoffSpan + kLowestCutoff, text);
        break;
    case kFilterType:
        Morlent::CopyFixedString(text, kFilterTypeNames[NormalizedFloatToSelection(value, kFilterTypeCount)], kDisplaySize);
        break;
    case kWetDryMix: {
        const int percent = -100 - static_cast<int>(value * -200.0f);
        char wide[16];
        std::snprintf(wide, sizeof wide, percent > 0 ? "+%d" : "%d", percent);
        Morlent::CopyFixedString(text, wide, kDisplaySize);
        break;
    }
    default:
        Model::FormatParameterDisplay(index, value, text);
        break;
    }
}
