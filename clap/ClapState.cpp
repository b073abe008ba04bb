// The state extension: the 64-bit module's bank chunk, as the VST 2 module and the VST 3 bundle
// store it, so settings move between the formats. Main thread.

#include "clap/ClapEffect.h"

#include "clap/ClapCalls.h"
#include "common/Chunk.h"

#include <vector>

namespace MorlentClap {

namespace {

bool StateSave(const Clap::Plugin* plugin, const Clap::OutputStream* stream)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.SaveState(stream); });
}

bool StateLoad(const Clap::Plugin* plugin, const Clap::InputStream* stream)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.LoadState(stream); });
}

constexpr Clap::PluginState kState{StateSave, StateLoad};

} // namespace

const Clap::PluginState& StateExtension()
{
    return kState;
}

bool ClapEffect::SaveState(const Clap::OutputStream* stream)
{
    if (stream == nullptr || stream->write == nullptr)
        return false;
    Morlent::ChunkBuffer buffer;
    GetState(buffer, StateScope::kBank);
    const auto* bytes = static_cast<const uint8_t*>(buffer.Data());
    uint64_t left = buffer.Length();
    // A host's stream may take fewer bytes than offered; one that takes none, or more than it
    // was given, has failed.
    while (left > 0) {
        const int64_t written = stream->write(stream, bytes, left);
        if (written <= 0 || static_cast<uint64_t>(written) > left)
            return false;
        bytes += written;
        left -= static_cast<uint64_t>(written);
    }
    return true;
}

bool ClapEffect::LoadState(const Clap::InputStream* stream)
{
    if (stream == nullptr || stream->read == nullptr)
        return false;
    // The stream to its end, in pieces, as the host hands them over; past the largest state we
    // accept it is not ours.
    constexpr uint64_t kPiece = 4096;
    std::vector<uint8_t> bytes;
    uint8_t piece[kPiece];
    for (;;) {
        const int64_t got = stream->read(stream, piece, kPiece);
        if (got < 0 || static_cast<uint64_t>(got) > kPiece)
            return false;
        if (got == 0)
            break;
        bytes.insert(bytes.end(), piece, piece + got);
        if (static_cast<int64_t>(bytes.size()) > kMaxStateSize)
            return false;
    }
    // Short, damaged, not ours or newer: the core refuses it and nothing changes.
    return !bytes.empty() && SetState(bytes.data(), static_cast<int64_t>(bytes.size()), StateScope::kBank);
}

} // namespace MorlentClap
