// A stream of host calls decoded from the input: opcodes with arbitrary index, value, float and
// buffer arguments, parameter changes, MIDI events and audio blocks of arbitrary length. The
// host keeps only the contract that pointers it passes are valid for what they claim to be.
// Finite input audio must always give finite output audio. One instance serves the whole run,
// reset between inputs (FuzzInstance.h).

#include "FuzzHost.h"
#include "HostCallStream.h"
#include "description/EffectDescription.h"
#include "support/EventList.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using FuzzSupport::Digest;
using FuzzSupport::Input;

constexpr int kMaxFrames = 4096;
constexpr size_t kTextSize = 512;

void SendEvents(AEffect* record, Digest& digest, Input& in)
{
    static TestSupport::EventList list(32);
    list.Clear();
    const int count = in.Byte() % 33;
    for (int i = 0; i < count; ++i) {
        VstMidiEvent event{};
        event.type = (in.Byte() & 7) == 0 ? kVstSysExType : kVstMidiType;
        event.deltaFrames = in.Index();
        for (char& byte : event.midiData)
            byte = static_cast<char>(in.Byte());
        if ((in.Byte() & 15) == 0)
            list.AddPointer(nullptr);
        else
            list.Add(event);
    }
    if ((in.Byte() & 15) == 0)
        list.Events()->numEvents = -list.Events()->numEvents;
    digest.Add(TestSupport::Dispatch(record, effProcessEvents, 0, 0, list.Events()));
}

void ProcessAudio(AEffect* record, Digest& digest, Input& in)
{
    static float buffers[4][kMaxFrames];
    static float sine[2][kMaxFrames];
    static const bool tabled = [] {
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < kMaxFrames; ++i)
                sine[channel][i] = std::sin(static_cast<float>(i) * 0.05f * static_cast<float>(channel + 1));
        return true;
    }();
    (void)tabled;
    // Short blocks mostly, as hosts play them (-64 to 256 frames); one in 16 of 1 to 4096.
    const uint32_t raw = static_cast<uint32_t>(in.Byte() | (in.Byte() << 8));
    const int frames =
        (raw >> 12) == 15 ? static_cast<int>(raw & 0xfff) + 1 : static_cast<int>((raw & 0xfff) % 321) - 64;
    const bool inPlace = (in.Byte() & 1) != 0;
    bool finiteInput = true;
    const float level = (in.Byte() & 1) != 0 ? 1.0f : 1e6f;
    for (int channel = 0; channel < 2; ++channel) {
        // The first samples come straight from the input, NaNs and all.
        for (int i = 0; i < 8; ++i) {
            const float value = in.Float();
            finiteInput = finiteInput && (i >= frames || std::isfinite(value));
            buffers[channel][i] = value;
        }
        for (int i = 8; i < frames; ++i)
            buffers[channel][i] = sine[channel][i] * level;
    }
    float* inputs[2] = {buffers[0], buffers[1]};
    float* outputs[2] = {inPlace ? buffers[0] : buffers[2], inPlace ? buffers[1] : buffers[3]};
    record->processReplacing(record, inputs, outputs, frames);
    digest.processedAudio = true;
    for (int channel = 0; channel < 2; ++channel) {
        if (finiteInput)
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(outputs[channel][i]))
                    std::abort();
        if (frames > 0)
            digest.Add(outputs[channel], sizeof(float) * static_cast<size_t>(frames));
    }
}

void Dispatch(AEffect* record, Digest& digest, Input& in)
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
    // The rest is cleared too: what an earlier input left there must not reach this one.
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
        SendEvents(record, digest, in);
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
    const VstIntPtr answer = TestSupport::Dispatch(record, opcode, index, value, ptr, opt);
    digest.Add(opcode);
    if (opcode != effGetChunk && opcode != effEditGetRect)
        digest.Add(answer);
    if (answersText && ptr != nullptr)
        digest.Add(text, 64);
}

void Play(AEffect* record, Digest& digest, Input& in)
{
    for (int operation = 0; operation < 64 && !in.Empty(); ++operation) {
        switch (in.Byte() % 6) {
        case 0:
        case 1:
            Dispatch(record, digest, in);
            break;
        case 2: {
            const VstInt32 index = in.Index();
            record->setParameter(record, index, in.Float());
            const float stored = record->getParameter(record, index);
            if (!(stored >= 0.0f && stored <= 1.0f))
                std::abort();
            digest.Add(stored);
            break;
        }
        case 3:
            SendEvents(record, digest, in);
            break;
        default:
            ProcessAudio(record, digest, in);
            break;
        }
    }
    if (!FuzzSupport::CheckingReset())
        return;
    for (VstInt32 index = 0; index < MorlentDelay::kParameterCount; ++index)
        digest.Add(record->getParameter(record, index));
    for (bool preset : {true, false}) {
        const std::vector<uint8_t> chunk = TestSupport::Chunk(record, preset);
        digest.Add(chunk.data(), chunk.size());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzSupport::ReusedInstance instance(FuzzSupport::SixtyFourBit());
    instance.RunOne([&](AEffect* record, Digest& digest) {
        Input in(data, size);
        Play(record, digest, in);
    });
    return 0;
}
