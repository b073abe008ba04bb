#pragma once
// A stream of host calls decoded from a fuzzer's input: opcodes with arbitrary index, value,
// float and buffer arguments, parameter changes (NaN and the infinities among them), MIDI events
// with any offsets and counts, and audio blocks of any length, in place or not. The host keeps
// only the contract that pointers it passes are valid for what they claim to be. Finite input
// audio must always give finite output audio, and a stored value stays within 0..1.

#include "fuzz/FuzzInstance.h"
#include "tests/support/EventList.h"

#include <sanitizer/asan_interface.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace FuzzSupport {

class Input {
public:
    Input(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool Empty() const { return position >= size; }
    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint32_t Word()
    {
        uint32_t word = 0;
        for (int i = 0; i < 4; ++i)
            word |= static_cast<uint32_t>(Byte()) << (8 * i);
        return word;
    }
    float Float()
    {
        const uint32_t bits = Word();
        float value;
        std::memcpy(&value, &bits, 4);
        return value;
    }
    // Mostly small numbers, sometimes anything.
    int32_t Index()
    {
        const uint8_t mode = Byte();
        return (mode & 0x80) != 0 ? static_cast<int32_t>(Word()) : static_cast<int32_t>(mode) - 8;
    }
    // A parameter value: often one of the values hosts get wrong, else any bits.
    float Value()
    {
        static const float kSpecial[] = {0.0f, 1.0f, 0.5f, -0.0f, -1.0f, 2.0f, 1e30f, -1e30f,
                                         std::numeric_limits<float>::infinity(),
                                         -std::numeric_limits<float>::infinity(),
                                         std::numeric_limits<float>::quiet_NaN(),
                                         std::numeric_limits<float>::denorm_min()};
        const uint8_t mode = Byte();
        return mode < 96 ? kSpecial[mode % (sizeof kSpecial / sizeof kSpecial[0])] : Float();
    }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

// maxFrames: the longest block; blocks run from -64 frames to it.
template <int maxFrames> class HostCallStream {
public:
    HostCallStream(AEffect* record, Digest& digest, VstInt32 parameterCount)
        : record(record), digest(digest), parameterCount(parameterCount)
    {
    }

    void Play(Input& in, int operations)
    {
        for (int operation = 0; operation < operations && !in.Empty(); ++operation) {
            switch (in.Byte() % 6) {
            case 0:
            case 1:
                Dispatch(in);
                break;
            case 2:
                SetParameter(in);
                break;
            case 3:
                SendEvents(in);
                break;
            default:
                ProcessAudio(in);
                break;
            }
        }
        if (!CheckingReset())
            return;
        for (VstInt32 index = 0; index < parameterCount; ++index)
            digest.Add(record->getParameter(record, index));
        for (bool preset : {true, false}) {
            const std::vector<uint8_t> chunk = TestSupport::Chunk(record, preset);
            digest.Add(chunk.data(), chunk.size());
        }
    }

private:
    static constexpr size_t kTextSize = 512;

    void SetParameter(Input& in)
    {
        const VstInt32 index = in.Index();
        record->setParameter(record, index, in.Value());
        const float stored = record->getParameter(record, index);
        if (!(stored >= 0.0f && stored <= 1.0f))
            std::abort();
        digest.Add(stored);
    }

    void SendEvents(Input& in)
    {
        static TestSupport::EventList list(64);
        list.Clear();
        const int count = in.Byte() % 65;
        for (int i = 0; i < count; ++i) {
            VstMidiEvent event{};
            event.type = (in.Byte() & 7) == 0 ? kVstSysExType : kVstMidiType;
            event.byteSize = sizeof event;
            const uint8_t where = in.Byte();
            // Inside the block mostly; sometimes anywhere, out of order or negative.
            event.deltaFrames = (where & 0x80) != 0 ? in.Index() : static_cast<VstInt32>(where) * 8;
            for (char& byte : event.midiData)
                byte = static_cast<char>(in.Byte());
            if ((in.Byte() & 15) == 0)
                list.AddPointer(nullptr);
            else
                list.Add(event);
        }
        if ((in.Byte() & 15) == 0)
            list.Events()->numEvents = -list.Events()->numEvents;
        digest.Add(record->dispatcher(record, effProcessEvents, 0, 0, list.Events(), 0.0f));
    }

    void ProcessAudio(Input& in)
    {
        // Fixed storage, poisoned beyond each block's frames: ASan then sees any access past the
        // block as it would in buffers exactly the block's length, without allocating them.
        // The input at both levels, copied whole into each block.
        alignas(16) static float sine[2][2][maxFrames];
        alignas(16) static float lines[4][maxFrames];
        // The lines stay poisoned but for the frames of the block being played: marking costs as
        // much as the block's frames, not the longest block's.
        static const bool filled = [] {
            for (int loud = 0; loud < 2; ++loud)
                for (int channel = 0; channel < 2; ++channel)
                    for (int i = 0; i < maxFrames; ++i) {
                        const float phase = static_cast<float>(i) * 0.05f * static_cast<float>(channel + 1);
                        sine[loud][channel][i] = std::sin(phase) * (loud != 0 ? 1e6f : 1.0f);
                    }
            for (float(&line)[maxFrames] : lines)
                Poison(line, maxFrames);
            return true;
        }();
        (void)filled;
        const uint32_t raw = static_cast<uint32_t>(in.Byte() | (in.Byte() << 8) | (in.Byte() << 16));
        // Short blocks mostly, as hosts play them; about one in ten up to 4096 frames, one in 64 up
        // to the longest, but only the first such in an input. A long block costs more than the
        // rest of an input and its pieces take few branches of their own: left free, a grown
        // corpus leans to inputs of several, nine tenths of its audio.
        const uint32_t tier = raw >> 18;
        const bool longest = tier == 63 && !playedLongest;
        playedLongest = playedLongest || longest;
        const uint32_t span = longest ? maxFrames + 65 : (tier >= 57 ? 4096 + 65 : 256 + 65);
        const int frames = static_cast<int>((raw & 0x3ffff) % span) - 64;
        const bool inPlace = (in.Byte() & 1) != 0;
        const int loud = (in.Byte() & 1) != 0 ? 0 : 1;
        const int used = frames > 0 ? frames : 0;
        bool finiteInput = true;
        for (float(&line)[maxFrames] : lines)
            Unpoison(line, used);
        for (int channel = 0; channel < 2; ++channel) {
            float* line = lines[channel];
            std::memcpy(line, sine[loud][channel], sizeof(float) * static_cast<size_t>(used));
            // The first samples come straight from the input, NaNs and all.
            for (int i = 0; i < used && i < 8; ++i) {
                line[i] = in.Float();
                finiteInput = finiteInput && std::isfinite(line[i]);
            }
        }
        float* inputs[2] = {lines[0], lines[1]};
        float* outputs[2] = {inPlace ? lines[0] : lines[2], inPlace ? lines[1] : lines[3]};
        record->processReplacing(record, inputs, outputs, frames);
        digest.processedAudio = true;
        for (int channel = 0; channel < 2; ++channel) {
            // A sample that is not finite makes its product with zero a NaN, and the sum with it.
            float products = 0.0f;
            for (int i = 0; i < used; ++i)
                products += outputs[channel][i] * 0.0f;
            if (finiteInput && products != 0.0f)
                std::abort();
            digest.Add(outputs[channel], sizeof(float) * static_cast<size_t>(used));
        }
        for (float(&line)[maxFrames] : lines)
            Poison(line, used);
    }

    static void Poison(float* from, int count)
    {
        ASAN_POISON_MEMORY_REGION(from, sizeof(float) * static_cast<size_t>(count));
    }
    static void Unpoison(float* from, int count)
    {
        ASAN_UNPOISON_MEMORY_REGION(from, sizeof(float) * static_cast<size_t>(count));
    }

    void Dispatch(Input& in)
    {
        VstInt32 opcode = in.Byte() % 82;
        if (opcode == effClose)
            opcode = effOpen; // closing ends the instance; the harness does that itself
        const VstInt32 index = in.Index();
        VstIntPtr value = static_cast<VstIntPtr>(static_cast<int32_t>(in.Word()));
        const float opt = in.Float();
        alignas(16) static char text[kTextSize];
        for (size_t i = 0; i < 64; ++i)
            text[i] = static_cast<char>(in.Byte());
        // The rest is cleared too: what an earlier run left there must not reach this one.
        std::memset(text + 64, 0, kTextSize - 64);
        void* ptr = (in.Byte() & 3) == 0 ? nullptr : text;

        VstSpeakerArrangement* arrangement = nullptr;
        bool answersText = true;
        switch (opcode) {
        case effSetChunk:
            // The host promises that many bytes behind the pointer.
            if (value > static_cast<VstIntPtr>(kTextSize))
                value = static_cast<VstIntPtr>(kTextSize);
            break;
        case effProcessEvents:
            SendEvents(in);
            return;
        case effGetSpeakerArrangement:
            value = reinterpret_cast<VstIntPtr>(&arrangement);
            answersText = false;
            break;
        case effGetChunk:
        case effEditGetRect:
            answersText = false; // the answer is an address of the instance's own
            break;
        case effEditOpen:
            ptr = nullptr; // no parent window to give
            break;
        default:
            break;
        }
        const VstIntPtr answer = record->dispatcher(record, opcode, index, value, ptr, opt);
        digest.Add(opcode);
        if (opcode != effGetChunk)
            digest.Add(answer);
        if (answersText && ptr != nullptr)
            digest.Add(text, 64);
    }

    AEffect* record;
    Digest& digest;
    VstInt32 parameterCount;
    bool playedLongest = false;
};

} // namespace FuzzSupport
