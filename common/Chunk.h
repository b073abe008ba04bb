#pragma once

#include "description/EffectDescription.h"

#include <cstdint>
#include <cstring>
#include <memory>

namespace Morlent {

// The growable buffer getChunk hands to the host. Its address stays the same from one chunk to
// the next unless a chunk needs more room; it never shrinks.
class ChunkBuffer {
public:
    static constexpr uint32_t kInitialCapacity = 256;

    ChunkBuffer() : data_(new uint8_t[kInitialCapacity]()), capacity_(kInitialCapacity) {}

    // Zeroes the used bytes so a shorter chunk never carries the tail of a longer one.
    void Clear()
    {
        std::memset(data_.get(), 0, length_);
        length_ = 0;
    }
    void Write(const void* bytes, uint32_t count)
    {
        Reserve(count);
        std::memcpy(data_.get() + length_, bytes, count);
        length_ += count;
    }
    void WriteInt32(int32_t value)
    {
        const uint32_t bits = static_cast<uint32_t>(value);
        const uint8_t bytes[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                                  static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
        Write(bytes, 4);
    }
    void WriteFloat(float value)
    {
        int32_t bits;
        std::memcpy(&bits, &value, 4);
        WriteInt32(bits);
    }
    void WriteByte(uint8_t value) { Write(&value, 1); }

    uint8_t* Data() const { return data_.get(); }
    uint32_t Length() const { return length_; }
    uint32_t Capacity() const { return capacity_; }

private:
    void Reserve(uint32_t count)
    {
        if (length_ + count <= capacity_)
            return;
        uint32_t capacity = capacity_;
        while (capacity < length_ + count)
            capacity *= 2;
        std::unique_ptr<uint8_t[]> grown(new uint8_t[capacity]());
        std::memcpy(grown.get(), data_.get(), length_);
        data_ = std::move(grown);
        capacity_ = capacity;
    }

    std::unique_ptr<uint8_t[]> data_;
    uint32_t length_ = 0;
    uint32_t capacity_;
};

// Reads a chunk front to back. A read succeeds only when all its bytes are there.
class ChunkReader {
public:
    ChunkReader(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

    // Copies what there is of count bytes; false when that is fewer.
    bool Read(void* destination, uint32_t count)
    {
        const uint32_t available = size_ - position_;
        const uint32_t copied = count < available ? count : available;
        if (copied > 0)
            std::memcpy(destination, data_ + position_, copied);
        position_ += copied;
        return copied == count;
    }
    bool ReadInt32(int32_t& value)
    {
        // Straight from the data: a copy of a variable count would be a call for four bytes.
        if (size_ - position_ < 4) {
            position_ = size_;
            return false;
        }
        const uint8_t* bytes = data_ + position_;
        position_ += 4;
        value = static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
                                     (static_cast<uint32_t>(bytes[2]) << 16) |
                                     (static_cast<uint32_t>(bytes[3]) << 24));
        return true;
    }
    bool ReadFloat(float& value)
    {
        int32_t bits;
        if (!ReadInt32(bits))
            return false;
        std::memcpy(&value, &bits, 4);
        return true;
    }
    bool ReadByte(uint8_t& value) { return Read(&value, 1); }

    uint32_t Position() const { return position_; }
    uint32_t Size() const { return size_; }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t position_ = 0;
};

// The header both modules' program and bank chunks start with: the effect name, vendor and
// product fields byte for byte as stored (zero-padded), then the writer's version.
inline void WriteChunkHeader(ChunkBuffer& buffer, const char (&effectName)[MorlentDelay::kEffectNameSize],
                             const char (&vendor)[MorlentDelay::kVendorStringSize],
                             const char (&product)[MorlentDelay::kProductStringSize], int32_t version)
{
    buffer.Write(effectName, MorlentDelay::kEffectNameSize);
    buffer.Write(vendor, MorlentDelay::kVendorStringSize);
    buffer.Write(product, MorlentDelay::kProductStringSize);
    buffer.WriteInt32(version);
}

// Reads a header and compares its three names as text (bytes after a field's first zero do not
// count); answers false for other names or a header cut short, else the chunk's version.
inline bool ReadChunkHeader(ChunkReader& reader, const char* effectName, const char* vendor, const char* product,
                            int32_t& version)
{
    char name[MorlentDelay::kEffectNameSize] = {};
    char vendorField[MorlentDelay::kVendorStringSize] = {};
    char productField[MorlentDelay::kProductStringSize] = {};
    reader.Read(name, MorlentDelay::kEffectNameSize);
    if (std::strncmp(name, effectName, MorlentDelay::kEffectNameSize) != 0)
        return false;
    reader.Read(vendorField, MorlentDelay::kVendorStringSize);
    if (std::strncmp(vendorField, vendor, MorlentDelay::kVendorStringSize) != 0)
        return false;
    reader.Read(productField, MorlentDelay::kProductStringSize);
    if (std::strncmp(productField, product, MorlentDelay::kProductStringSize) != 0)
        return false;
    return reader.ReadInt32(version);
}

} // namespace Morlent
