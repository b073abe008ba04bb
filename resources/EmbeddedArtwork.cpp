#include "resources/EmbeddedArtwork.h"

extern "C" {
#define MORLENT_PICTURE(name) extern const uint8_t name[]; extern const uint8_t name##_end[];
MORLENT_PICTURE(morlent_background_png)
MORLENT_PICTURE(morlent_knob_png)
MORLENT_PICTURE(morlent_switch_png)
MORLENT_PICTURE(morlent_syncbutton_png)
MORLENT_PICTURE(morlent_syncled_png)
MORLENT_PICTURE(morlent_about_png)
#undef MORLENT_PICTURE
}

namespace Resources {

namespace {
Blob Between(const uint8_t* begin, const uint8_t* end) noexcept
{
    return Blob{begin, static_cast<size_t>(end - begin)};
}
} // namespace

Blob ArtworkPng(Artwork which) noexcept
{
    switch (which) {
    case Artwork::kBackground:
        return Between(morlent_background_png, morlent_background_png_end);
    case Artwork::kKnob:
        return Between(morlent_knob_png, morlent_knob_png_end);
    case Artwork::kSwitch:
        return Between(morlent_switch_png, morlent_switch_png_end);
    case Artwork::kSyncButton:
        return Between(morlent_syncbutton_png, morlent_syncbutton_png_end);
    case Artwork::kSyncLed:
        return Between(morlent_syncled_png, morlent_syncled_png_end);
    case Artwork::kAbout:
        return Between(morlent_about_png, morlent_about_png_end);
    }
    return Between(morlent_background_png, morlent_background_png_end);
}

} // namespace Resources
