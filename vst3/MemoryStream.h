#pragma once
// A stream over a byte vector for the state, owned by whoever holds it: the host's chunks, the
// tests and the fuzzer. A piece limit makes reads hand over less than asked, as some hosts'
// streams do.

#include "vst3/Vst3Interface.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace Vst3 {

class MemoryStream final : public IBStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes, size_t piece = 0) : data(std::move(bytes)), piece(piece) {}

    tresult VST3_API queryInterface(const TUID, void** object) override
    {
        if (object != nullptr)
            *object = nullptr;
        return kNoInterface;
    }
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }

    tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        if (buffer == nullptr || numBytes < 0)
            return kInvalidArgument;
        size_t count = data.size() - position;
        if (count > static_cast<size_t>(numBytes))
            count = static_cast<size_t>(numBytes);
        if (piece != 0 && count > piece)
            count = piece;
        if (count > 0)
            std::memcpy(buffer, data.data() + position, count);
        position += count;
        if (numBytesRead != nullptr)
            *numBytesRead = static_cast<int32>(count);
        return kResultOk;
    }
    tresult VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (buffer == nullptr || numBytes < 0)
            return kInvalidArgument;
        const size_t count = static_cast<size_t>(numBytes);
        if (data.size() < position + count)
            data.resize(position + count);
        if (count > 0)
            std::memcpy(data.data() + position, buffer, count);
        position += count;
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }
    tresult VST3_API seek(int64 pos, int32 mode, int64* result) override
    {
        const int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? static_cast<int64>(position)
                                                                        : static_cast<int64>(data.size());
        const int64 target = base + pos;
        if (target < 0 || target > static_cast<int64>(data.size()))
            return kInvalidArgument;
        position = static_cast<size_t>(target);
        if (result != nullptr)
            *result = target;
        return kResultOk;
    }
    tresult VST3_API tell(int64* pos) override
    {
        if (pos == nullptr)
            return kInvalidArgument;
        *pos = static_cast<int64>(position);
        return kResultOk;
    }

    std::vector<uint8_t> data;
    size_t position = 0;
    size_t piece = 0; // the most one read hands over; 0: no limit
};

} // namespace Vst3
