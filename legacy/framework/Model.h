#pragma once

#include "description/EffectDescription.h"
#include "common/Chunk.h"
#include "legacy/framework/ControllerDispatcher.h"
#include "legacy/framework/ControllerMapper.h"
#include "legacy/framework/MessageDispatcher.h"
#include "legacy/framework/ModelObserverInterface.h"
#include "legacy/framework/ProcessDispatcher.h"
#include "legacy/framework/ValueProvider.h"
#include "legacy/parameters/ParameterGroupComposite.h"
#include "legacy/parameters/SampleRate.h"
#include "legacy/parameters/Tempo.h"
#include "platform/RecursiveLock.h"

#include <atomic>
#include <cstdint>

namespace VovezEdeduvo {

using ChunkWriter = Morlent::ChunkBuffer;
using ChunkReader = Morlent::ChunkReader;

using SampleRateProvider = ValueProvider<SampleRate, &SampleRate::GetSampleRate, &SampleRate::SetSampleRate>;
using TempoProvider = ValueProvider<Tempo, &Tempo::GetTempo, &Tempo::SetTempo>;
using PositionProvider = ValueProvider<Position, &Position::GetPosition, &Position::SetPosition>;

// Everything an effect instance knows apart from its host connection and its window: block
// processing with sample-accurate MIDI, the controller map and MIDI learn, the programs and
// their values (through the parameter groups), the host's rate, tempo and position, program
// names, observers and the chunk bodies.
//
// Threads: one re-entrant lock guards the state the audio thread and the others share. The
// audio thread holds it for a whole block; the host's and the editor's threads take it around
// each change. Names and values the host reads without the lock are atomics, written whole.
class Model : public ProcessDispatcher,
              public Midi::MessageDispatcher,
              public Midi::ControllerDispatcher,
              public Midi::ControllerMapper,
              public ParameterHandling::ParameterGroupComposite,
              public SampleRateProvider,
              public TempoProvider,
              public PositionProvider {
public:
    static constexpr int32_t kMaxObservers = 8;
    static constexpr int32_t kProgramNameSize = MorlentDelay::kProgramNameSize;

    // A program body read from a chunk, checked and not yet applied.
    struct ProgramBody {
        char name[kProgramNameSize];
        float values[MorlentDelay::kParameterCount];
    };
    struct BankBody {
        ProgramBody programs[MorlentDelay::kProgramCount];
        bool hasControllerMap;
        int16_t controllers[MorlentDelay::kParameterCount]; // -1: not bound
    };

    Model(uint32_t numInputs, uint32_t numOutputs, int32_t numPrograms);
    ~Model() override;

    // --- any thread ---
    void Lock() noexcept { lock.Lock(); }
    void Unlock() noexcept { lock.Unlock(); }

    // --- audio thread, lock held ---
    void ProcessMessage(uint8_t status, uint8_t data1, uint8_t data2) override;
    // Learns or applies the controller, then passes it to the controller handlers.
    void OnControlChange(int channel, int controller, int value) override;
    // Empties delay lines and the like; also the host's thread, lock held.
    virtual void Reset();

    // --- observers (any thread; set-up and tear-down take the lock) ---
    // Answers false when the list is full.
    bool AddObserver(ModelObserverInterface* observer);
    void RemoveObserver(ModelObserverInterface* observer);
    // Tells every observer but excluded (which may be null), in registration order.
    void NotifyParameterChanged(const ModelObserverInterface* excluded, int32_t index);
    void NotifyProgramChanged(const ModelObserverInterface* excluded);

    // --- program names (main thread; read anywhere) ---
    // Copy at most maxLength bytes, the last one zero; an unknown program reads as "".
    void GetCurrentProgramName(char* text, int32_t maxLength) const;
    void GetProgramName(int32_t index, char* text, int32_t maxLength) const;
    void SetCurrentProgramName(const char* text);

    // --- MIDI learn (the editor's thread, lock held; read anywhere) ---
    bool IsLearning() const { return learning.load(std::memory_order_relaxed); }
    void SetLearning(bool on) { learning.store(on, std::memory_order_relaxed); }
    void SetLearnParameter(int32_t index) { learnParameter.store(index, std::memory_order_relaxed); }
    int32_t GetLearnParameter() const { return learnParameter.load(std::memory_order_relaxed); }

    // --- chunk bodies (main thread) ---
    // The readers check the whole body before they change anything: a body that ends early
    // changes nothing and answers false. Apply under the lock.
    virtual bool ReadProgram(int32_t version, ChunkReader& reader);
    virtual void WriteProgram(int32_t version, ChunkWriter& writer);
    virtual bool ReadBank(int32_t version, ChunkReader& reader);
    virtual void WriteBank(int32_t version, ChunkWriter& writer);
    // The two halves of the readers, so a caller can read without the lock and apply with it.
    bool ParseProgram(ChunkReader& reader, ProgramBody& body) const;
    void ApplyProgram(const ProgramBody& body);
    // With carriesControllerMap false the bank ends after the programs' values. A binding to a
    // controller number above 127 is read and dropped.
    bool ParseBank(ChunkReader& reader, bool carriesControllerMap, BankBody& body) const;
    void ApplyBank(const BankBody& body);
    // Whether a bank of this version carries the controller map: every version here.
    virtual bool BankCarriesControllerMap(int32_t version) const;

private:
    // Names are words of atomics: read on any thread without the lock, never torn in a word.
    static constexpr int32_t kNameWords = kProgramNameSize / 8;
    struct ProgramName {
        std::atomic<uint64_t> words[kNameWords];
    };
    static_assert(kProgramNameSize % 8 == 0, "program names pack into whole words");
    static void CopyFixedName(char (&bytes)[kProgramNameSize], const char* text);
    void StoreName(int32_t program, const char* bytes);
    void LoadName(int32_t program, char (&bytes)[kProgramNameSize]) const;

    std::atomic<ModelObserverInterface*> observers[kMaxObservers];
    Platform::RecursiveLock lock;
    std::atomic<bool> learning{false};
    std::atomic<int32_t> learnParameter{0};
    int32_t programCount;
    std::unique_ptr<ProgramName[]> programNames;
};

} // namespace VovezEdeduvo
