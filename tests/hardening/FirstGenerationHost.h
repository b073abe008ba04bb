#pragma once
// A host's two threads against the first-generation plug-in and its model's lock. The audio
// thread plays loud noise in blocks of changing size with MIDI: notes, pitch bend and a learned
// controller that drives two parameters. The user-interface thread automates every parameter,
// switches programs, renames them, gets and sets program and bank chunks, and makes the edits a
// view makes (learn, forget, clear) under the model's lock. A stand-in view queues what the
// model tells it behind a lock of its own, as the editor's update queue will.
//
// Shared by the concurrency test (short, checks the end state) and the lock-wait tool (long,
// measures how long the audio thread waits for the model's lock).

#include "tests/support/EffectCalls.h"
#include "tests/support/EventList.h"
#include "tests/support/FirstGenerationPlugin.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace FirstGenerationHost {

using VovezEdeduvo::Model;

constexpr uint8_t kLearnedController = 30;
constexpr int32_t kDrivenParameters[2] = {MorlentDelay::kLeftDelay, MorlentDelay::kRightDelay};
constexpr uint8_t kOtherController = 31;

// The lock order: the model's lock, then the view's update queue; never the reverse. The
// observer checks the model's lock is held when it is told, and the lock hook checks no thread
// waits for the model's lock while it holds the view's.
struct LockOrder {
    static thread_local int modelDepth;
    static thread_local bool holdsView;
    static inline const Platform::RecursiveLock* modelLock = nullptr;
    static inline std::atomic<long> violations{0};
};
inline thread_local int LockOrder::modelDepth = 0;
inline thread_local bool LockOrder::holdsView = false;

// The editor's update queue, in fixed storage: the model tells it on the audio thread too.
class ViewStandIn : public VovezEdeduvo::ModelObserverInterface {
public:
    void OnParameterChanged(Model*, int32_t index, float) override
    {
        if (LockOrder::modelDepth == 0)
            LockOrder::violations.fetch_add(1, std::memory_order_relaxed);
        const std::lock_guard<std::mutex> held(lock);
        LockOrder::holdsView = true;
        if (index >= 0 && index < MorlentDelay::kParameterCount)
            dirty[index] = true;
        LockOrder::holdsView = false;
    }
    void OnProgramChanged(Model*) override
    {
        if (LockOrder::modelDepth == 0)
            LockOrder::violations.fetch_add(1, std::memory_order_relaxed);
        const std::lock_guard<std::mutex> held(lock);
        programChanged = true;
    }
    // The view's idle: takes what is queued and reads the values without the model's lock.
    int Drain(AEffect* record)
    {
        bool taken[MorlentDelay::kParameterCount];
        {
            const std::lock_guard<std::mutex> held(lock);
            LockOrder::holdsView = true;
            for (int i = 0; i < MorlentDelay::kParameterCount; ++i) {
                taken[i] = dirty[i];
                dirty[i] = false;
            }
            programChanged = false;
            LockOrder::holdsView = false;
        }
        int count = 0;
        for (int i = 0; i < MorlentDelay::kParameterCount; ++i)
            if (taken[i]) {
                const float value = record->getParameter(record, i);
                count += value >= 0.0f && value <= 1.0f ? 1 : 0;
            }
        return count;
    }

private:
    std::mutex lock;
    bool dirty[MorlentDelay::kParameterCount] = {};
    bool programChanged = false;
};

// Keeps LockOrder's books; a test's own hook calls it first.
inline void TrackLockOrder(const Platform::RecursiveLock& lock, Platform::LockEvent event)
{
    if (&lock != LockOrder::modelLock)
        return;
    switch (event) {
    case Platform::LockEvent::Waiting:
        if (LockOrder::holdsView)
            LockOrder::violations.fetch_add(1, std::memory_order_relaxed);
        break;
    case Platform::LockEvent::Acquired:
        ++LockOrder::modelDepth;
        break;
    case Platform::LockEvent::Released:
        --LockOrder::modelDepth;
        break;
    }
}

// The model's lock, found as the one the model takes.
inline const Platform::RecursiveLock* FindModelLock(Model& model)
{
    static std::atomic<const Platform::RecursiveLock*> seen{nullptr};
    Platform::SetLockHook([](const Platform::RecursiveLock& lock, Platform::LockEvent) { seen.store(&lock); });
    model.Lock();
    model.Unlock();
    Platform::SetLockHook(nullptr);
    return seen.load();
}

struct Audio {
    std::atomic<bool> stop{false};
    std::atomic<bool> quiet{false};   // no more MIDI: the parameters are the interface's alone
    std::atomic<long> quietBlocks{0}; // blocks since it went quiet
    std::atomic<long> blocks{0};
    std::atomic<long> badSamples{0};

    void Run(AEffect* record)
    {
        std::vector<float> left(4096), right(4096), outLeft(4096), outRight(4096);
        TestSupport::EventList midi(16);
        uint32_t noise = 12345;
        for (long block = 0; !stop.load(std::memory_order_relaxed); ++block) {
            const int frames = 1 + static_cast<int>((block * 733) % 4096);
            for (int i = 0; i < frames; ++i) {
                noise = noise * 1664525u + 1013904223u;
                left[static_cast<size_t>(i)] = static_cast<float>(static_cast<int32_t>(noise)) / 2.2e9f;
                right[static_cast<size_t>(i)] = -left[static_cast<size_t>(i)];
            }
            midi.Clear();
            const bool silent = quiet.load(std::memory_order_acquire);
            if (!silent) {
                midi.Add(0, 0x90, 60, 100);
                midi.Add(frames / 3, 0xB0, kLearnedController, static_cast<uint8_t>(block % 128));
                midi.Add(frames / 2, 0xE0, 0, static_cast<uint8_t>(block % 128));
                midi.Add(frames - 1, 0xB0, kOtherController, static_cast<uint8_t>((block * 5) % 128));
                midi.Add(frames - 1, 0x80, 60, 0);
                record->dispatcher(record, effProcessEvents, 0, 0, midi.Events(), 0.0f);
            }
            float* inputs[2] = {left.data(), right.data()};
            float* separate[2] = {outLeft.data(), outRight.data()};
            const bool inPlace = block % 2 == 0;
            record->processReplacing(record, inputs, inPlace ? inputs : separate, frames);
            const std::vector<float>& l = inPlace ? left : outLeft;
            const std::vector<float>& r = inPlace ? right : outRight;
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(l[static_cast<size_t>(i)]) || !std::isfinite(r[static_cast<size_t>(i)]))
                    badSamples.fetch_add(1, std::memory_order_relaxed);
            blocks.fetch_add(1, std::memory_order_relaxed);
            if (silent)
                quietBlocks.fetch_add(1, std::memory_order_release);
        }
    }
};

// The interface thread's calls, round after round; remembers the last it asked for.
class Interface {
public:
    Interface(TestSupport::FirstGenerationPlugin& instance, ViewStandIn& view) : instance(instance), view(view)
    {
        const std::vector<uint8_t> bank = TestSupport::Chunk(instance.record, false);
        int bindings[MorlentDelay::kParameterCount];
        for (int& controller : bindings)
            controller = -1;
        for (int32_t parameter : kDrivenParameters)
            bindings[parameter] = kLearnedController;
        boundBank = TestSupport::BankWithBindings(bank, bindings);
    }

    void Round(int round)
    {
        AEffect* record = instance.record;
        Model& model = *instance.model;
        switch (round % 4) {
        case 0: { // learn: the next controller the audio thread plays binds to the parameter
            const Platform::ScopedLock<Model> held(model);
            model.SetLearnParameter(round % MorlentDelay::kParameterCount);
            model.SetLearning(true);
            break;
        }
        case 1: { // forget
            const Platform::ScopedLock<Model> held(model);
            model.Unmap(round % MorlentDelay::kParameterCount);
            break;
        }
        case 2: { // clear, then the two bindings of the learned controller again
            const Platform::ScopedLock<Model> held(model);
            model.Clear();
            for (int32_t parameter : kDrivenParameters)
                model.Map(kLearnedController, parameter);
            break;
        }
        default:
            TestSupport::SetChunk(record, boundBank, false);
            break;
        }
        program = round % MorlentDelay::kProgramCount;
        TestSupport::Dispatch(record, effSetProgram, 0, program);
        std::snprintf(name, sizeof name, "Round %d", round);
        TestSupport::Dispatch(record, effSetProgramName, 0, 0, name);
        for (int index = 0; index < MorlentDelay::kParameterCount; ++index) {
            values[index] = static_cast<float>((round * 7 + index * 13) % 101) / 100.0f;
            record->setParameter(record, index, values[index]);
        }
        TestSupport::SetChunk(record, TestSupport::Chunk(record, true), true);
        if (round % 8 == 0)
            TestSupport::SetChunk(record, TestSupport::Chunk(record, false), false);
        char text[64];
        TestSupport::Dispatch(record, effGetParamDisplay, round % MorlentDelay::kParameterCount, 0, text);
        view.Drain(record);
    }

    // The last round, once the audio thread plays no more MIDI: learning off, a bank with the
    // two bindings, then a program, its name and every parameter.
    void LastRound(int round)
    {
        {
            const Platform::ScopedLock<Model> held(*instance.model);
            instance.model->SetLearning(false);
        }
        Round(round - round % 4 + 3); // the bank's round
    }

    TestSupport::FirstGenerationPlugin& instance;
    ViewStandIn& view;
    std::vector<uint8_t> boundBank;
    int program = 0;
    char name[32] = {};
    float values[MorlentDelay::kParameterCount] = {};
};

} // namespace FirstGenerationHost
