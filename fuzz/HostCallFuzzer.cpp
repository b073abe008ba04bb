// A stream of host calls decoded from the input: opcodes with arbitrary index, value, float and
// buffer arguments, parameter changes, MIDI events and audio blocks of arbitrary length. The
// host keeps only the contract that pointers it passes are valid for what they claim to be.
// Finite input audio must always give finite output audio.

#include "FuzzHost.h"
#include "HostCallStream.h"
#include "support/EventList.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using FuzzSupport::Input;

constexpr int kMaxFrames = 4096;
constexpr size_t kTextSize = 512;

void SendEvents(FuzzEffect& effect, Input& in)
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
    effect.Dispatch(effProcessEvents, 0, 0, list.Events());
}

void ProcessAudio(FuzzEffect& effect, Input& in)
{
    static float buffers[4][kMaxFrames];
    const int frames = static_cast<int>((in.Byte() | (in.Byte() << 8)) % (kMaxFrames + 65)) - 64;
    const bool inPlace = (in.Byte() & 1) != 0;
    bool finiteInput = true;
    const float level = (in.Byte() & 1) != 0 ? 1.0f : 1e6f;
    for (int channel = 0; channel < 2; ++channel)
        for (int i = 0; i < kMaxFrames; ++i) {
            float value = std::sin(static_cast<float>(i) * 0.05f * static_cast<float>(channel + 1)) * level;
            if (i < 8)
                value = in.Float(); // the first samples come straight from the input, NaNs and all
            finiteInput = finiteInput && (i >= frames || std::isfinite(value));
            buffers[channel][i] = value;
        }
    float* inputs[2] = {buffers[0], buffers[1]};
    float* outputs[2] = {inPlace ? buffers[0] : buffers[2], inPlace ? buffers[1] : buffers[3]};
    effect.record->processReplacing(effect.record, inputs, outputs, frames);
    if (finiteInput)
        for (int channel = 0; channel < 2; ++channel)
            for (int i = 0; i < frames; ++i)
                if (!std::isfinite(outputs[channel][i]))
                    std::abort();
}

void Dispatch(FuzzEffect& effect, Input& in)
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
    text[kTextSize - 1] = '\0';
    void* ptr = (in.Byte() & 3) == 0 ? nullptr : text;

    VstSpeakerArrangement* arrangement = nullptr;
    switch (opcode) {
    case effSetChunk:
        // The host promises that many bytes behind the pointer.
        if (value > static_cast<VstIntPtr>(kTextSize))
            value = static_cast<VstIntPtr>(kTextSize);
        break;
    case effProcessEvents:
        SendEvents(effect, in);
        return;
    case effGetSpeakerArrangement:
        value = reinterpret_cast<VstIntPtr>(&arrangement);
        break;
    case effEditOpen:
        ptr = nullptr; // no parent window to give
        break;
    default:
        break;
    }
    effect.Dispatch(opcode, index, value, ptr, opt);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in(data, size);
    FuzzEffect effect;
    for (int operation = 0; operation < 64 && !in.Empty(); ++operation) {
        switch (in.Byte() % 6) {
        case 0:
        case 1:
            Dispatch(effect, in);
            break;
        case 2: {
            const VstInt32 index = in.Index();
            effect.record->setParameter(effect.record, index, in.Float());
            const float stored = effect.record->getParameter(effect.record, index);
            if (!(stored >= 0.0f && stored <= 1.0f))
                std::abort();
            break;
        }
        case 3:
            SendEvents(effect, in);
            break;
        default:
            ProcessAudio(effect, in);
            break;
        }
    }
    return 0;
}
