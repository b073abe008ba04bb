#pragma once
// One instance for a whole fuzzing run instead of one per input: building an instance costs far
// more than most inputs. Between inputs the instance goes back to the state it was built in,
// through its record as a host would drive it. MORLENT_FUZZ_CHECK_RESET=1 proves that leaves no
// trace: every input then also runs on a newly built instance, and both runs must leave the
// same digest of everything the host saw.

#include "fuzz/KeptBlocks.h"
#include "effect_base/AudioEffect.h"
#include "effect_base/VstInterface.h"
#include "tests/support/EffectCalls.h"
#include "tests/support/StandInHost.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace FuzzSupport {

inline bool CheckingReset()
{
    static const bool checking = [] {
        const char* flag = std::getenv("MORLENT_FUZZ_CHECK_RESET");
        return flag != nullptr && std::strcmp(flag, "0") != 0;
    }();
    return checking;
}

// FNV-1a over what a run showed the host; kept only while the reset is checked.
class Digest {
public:
    void Add(const void* data, size_t size)
    {
        if (!CheckingReset())
            return;
        const auto* bytes = static_cast<const uint8_t*>(data);
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    template <typename T> void Add(T value) { Add(&value, sizeof value); }
    uint64_t Value() const { return hash; }

    // Set by a run that processed audio: the lines and filters then need emptying.
    bool processedAudio = false;
    // The bank every run starts from, as a new instance holds it.
    const std::vector<uint8_t>* builtBank = nullptr;
    // The bank as a run read it last, when nothing changed it since: the reset then need not
    // write it again, which costs more than the rest of a chunk input.
    void NoteBank(const std::vector<uint8_t>& bank)
    {
        lastBank = bank;
        bankKnown = true;
    }
    std::vector<uint8_t> lastBank;
    bool bankKnown = false;

private:
    uint64_t hash = 14695981039346656037ull;
};

// What a generation's harness provides: a new instance on the stand-in host, and its number of
// MIDI events still waiting for a block.
struct Generation {
    AEffect* (*make)();
    uint32_t (*pendingMidiEvents)(AEffect*);
    // What else brings the instance back to its built state after it processed audio, after the
    // host calls; may be null.
    void (*settle)(AEffect*) = nullptr;
};


inline void Close(AEffect* record)
{
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

class ReusedInstance {
public:
    explicit ReusedInstance(Generation generation) : generation(generation) {}

    // run(record, digest) plays one input against the shared instance.
    template <typename Run> void RunOne(Run run)
    {
        StartInput();
        if (record == nullptr) {
            QuietHost();
            record = generation.make();
            freshBank = TestSupport::Chunk(record, false);
        }
        QuietHost();
        Digest reused;
        reused.builtBank = &freshBank;
        run(record, reused);
        Reset(reused);
        if (!CheckingReset())
            return;
        QuietHost();
        AEffect* fresh = generation.make();
        Digest clean;
        clean.builtBank = &freshBank;
        run(fresh, clean);
        Close(fresh);
        if (reused.Value() != clean.Value()) {
            std::fprintf(stderr, "the reused instance answered this input unlike a new one\n");
            std::abort();
        }
    }

private:
    static void QuietHost() { TestSupport::StandInHost::Reset().records = false; }

    // Back to the state of a new instance: pending MIDI played out, the set-up, every program
    // and the controller map as built, and the first program, whose selection empties the lines
    // and filters and brings the smoothers to their targets. Emptying the lines is most of the
    // cost, so an instance that processed nothing and is known to hold its built bank and
    // program is left as it is: reading a chunk empties the lines and brings the smoothers to
    // the values read.
    void Reset(const Digest& run)
    {
        AudioEffect& effect = *static_cast<AudioEffect*>(record->object);
        float silence[2][1] = {{0.0f}, {0.0f}};
        float* channels[2] = {silence[0], silence[1]};
        // An event at a block's last frame ends that block and leaves later ones waiting.
        bool played = run.processedAudio;
        while (generation.pendingMidiEvents(record) > 0) {
            record->processReplacing(record, channels, channels, 1);
            played = true;
        }
        // Reading the bank back costs as much as writing it, and a run that played audio or made
        // host calls mostly changed it: unless the run noted the bank it left, it is written.
        const bool bankAsBuilt = run.bankKnown && !played && run.lastBank == freshBank;
        const bool asBuilt = !played && effect.getSampleRate() == 44100.0f && effect.getBlockSize() == 1024 &&
                             TestSupport::Dispatch(record, effGetProgram) == 0 && bankAsBuilt;
        if (asBuilt)
            return;
        // A rate set, even the same one, hands the 64-bit engine newly allocated lines.
        if (effect.getSampleRate() != 44100.0f)
            TestSupport::Dispatch(record, effSetSampleRate, 0, 0, nullptr, 44100.0f);
        if (effect.getBlockSize() != 1024)
            TestSupport::Dispatch(record, effSetBlockSize, 0, 1024);
        // Reading a bank does what selecting the program does, so one of the two is enough when
        // the first program is selected already. The bank goes from the harness's own copy: the
        // plug-in copies what it is given anyway.
        const bool bankRead = !bankAsBuilt &&
                              TestSupport::Dispatch(record, effSetChunk, 0, static_cast<VstIntPtr>(freshBank.size()),
                                                    freshBank.data()) == 1;
        if (!bankRead || TestSupport::Dispatch(record, effGetProgram) != 0)
            TestSupport::Dispatch(record, effSetProgram, 0, 0);
        if (played && generation.settle != nullptr)
            generation.settle(record);
    }

    Generation generation;
    AEffect* record = nullptr;
    std::vector<uint8_t> freshBank;
};

} // namespace FuzzSupport

namespace FuzzSupport {

// A record's calls as a harness makes them, on an instance it does not own.
struct EffectOnRecord : TestSupport::EffectCalls {
    explicit EffectOnRecord(AEffect* instance) : EffectCalls(record), record(instance) {}
    AEffect* record;
};

} // namespace FuzzSupport
