#pragma once
// The editor's pictures as the Linux modules carry them: the very PNG files of the Windows
// resources, linked into each module, so a bundle copied alone still has its face.

#include <cstddef>
#include <cstdint>

namespace Resources {

struct Blob {
    const uint8_t* data;
    size_t size;
};

enum class Artwork { kBackground, kKnob, kSwitch, kSyncButton, kSyncLed, kAbout };

// The PNG bytes of a picture; never empty.
Blob ArtworkPng(Artwork which) noexcept;

} // namespace Resources
