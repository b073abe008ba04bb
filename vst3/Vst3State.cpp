// The state: the VST 2 module's bank chunk, so a project saved with either module opens in the
// other. One component is its own controller, so the controller has nothing to copy.

#include "vst3/Vst3Effect.h"

#include "common/Chunk.h"

#include <cstdint>
#include <vector>

namespace MorlentVst3 {

namespace {

// The state stream from where it stands to its end; false past the largest state we could ever
// have written, or when the stream misbehaves.
bool ReadStream(IBStream* stream, std::vector<uint8_t>& bytes)
{
    constexpr int32 kPiece = 16384;
    uint8_t piece[kPiece];
    for (;;) {
        int32 got = 0;
        const tresult result = stream->read(piece, kPiece, &got);
        if (got < 0 || got > kPiece)
            return false;
        bytes.insert(bytes.end(), piece, piece + got);
        if (static_cast<int64_t>(bytes.size()) > VstToolkit::PluginCore::kMaxStateSize)
            return false;
        if (result != kResultOk || got < kPiece)
            return true;
    }
}

} // namespace

tresult VST3_API Vst3Effect::setState(IBStream* state)
{
    try {
        if (state == nullptr)
            return kInvalidArgument;
        std::vector<uint8_t> bytes;
        if (!ReadStream(state, bytes) || bytes.empty())
            return kResultFalse;
        if (!SetState(bytes.data(), static_cast<int64_t>(bytes.size()), StateScope::kBank))
            return kResultFalse;
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

tresult VST3_API Vst3Effect::getState(IBStream* state)
{
    try {
        if (state == nullptr)
            return kInvalidArgument;
        Morlent::ChunkBuffer buffer;
        GetState(buffer, StateScope::kBank);
        const int32 size = static_cast<int32>(buffer.Length());
        int32 written = 0;
        if (state->write(buffer.Data(), size, &written) != kResultOk || written != size)
            return kResultFalse;
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

tresult VST3_API Vst3Effect::setComponentState(IBStream* state)
{
    // The controller reads its values from the component it is: nothing to copy.
    return state == nullptr ? kInvalidArgument : kResultOk;
}

} // namespace MorlentVst3
