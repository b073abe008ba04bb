#include "pictures/ControlMath.h"

#include <cstddef>

namespace Pictures {

FrameSize StripFrameSize(int pictureWidth, int pictureHeight, unsigned frameCount, bool vertical) noexcept
{
    if (frameCount == 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return FrameSize{0, 0};
    const int count = static_cast<int>(frameCount);
    return vertical ? FrameSize{pictureWidth, pictureHeight / count} : FrameSize{pictureWidth / count, pictureHeight};
}

Point StripFrameOrigin(FrameSize frame, int index, bool vertical) noexcept
{
    return vertical ? Point{0, index * frame.height} : Point{index * frame.width, 0};
}

int KnobFrameIndex(unsigned frameCount, float value) noexcept
{
    const int last = static_cast<int>(frameCount) - 1;
    const int frame = static_cast<int>(static_cast<float>(last) * value); // truncates toward zero
    if (!(value >= 0.0f) || frame < 0)
        return 0;
    return frame > last ? last : frame;
}

float KnobDragDelta(int lastY, int y, bool fine) noexcept
{
    const float delta = static_cast<float>(lastY - y);
    return fine ? delta * kKnobFineFactor : delta;
}

float KnobWheelStep(short wheelDelta, bool fine) noexcept
{
    const float step = wheelDelta >= 1 ? 1.0f : -1.0f;
    return fine ? step * kKnobFineFactor : step;
}

float ClampKnobPosition(float position) noexcept
{
    if (!(position >= 0.0f))
        return 0.0f;
    return position > kKnobRange ? kKnobRange : position;
}

float MultiswitchValue(unsigned stateCount, int index) noexcept
{
    if (stateCount < 2)
        return 0.0f;
    return static_cast<float>(index) / static_cast<float>(stateCount - 1);
}

int MultiswitchIndexForValue(unsigned stateCount, float value) noexcept
{
    const int last = static_cast<int>(stateCount) - 1;
    const float band = 1.0f / static_cast<float>(stateCount);
    const float scaled = value / band;
    if (!(scaled >= 0.0f))
        return 0;
    if (scaled >= static_cast<float>(last))
        return last; // value 1.0 lands on n itself, which means the last state
    return static_cast<int>(scaled);
}

std::vector<Rect> MultiswitchHitRectangles(FrameSize frame, unsigned stateCount, bool vertical)
{
    std::vector<Rect> bands;
    if (stateCount == 0)
        return bands;
    const int count = static_cast<int>(stateCount);
    bands.reserve(stateCount);
    if (vertical) {
        const int band = frame.height / count;
        for (int state = 0; state < count; ++state) {
            const int top = (count - 1 - state) * band;
            bands.push_back(Rect{0, top, frame.width, top + band});
        }
    } else {
        const int band = frame.width / count;
        for (int state = 0; state < count; ++state)
            bands.push_back(Rect{state * band, 0, (state + 1) * band, frame.height});
    }
    return bands;
}

int MultiswitchHitTest(const std::vector<Rect>& bands, Point point) noexcept
{
    for (std::size_t state = 0; state < bands.size(); ++state) {
        if (bands[state].Contains(point))
            return static_cast<int>(state);
    }
    return -1;
}

int MultiswitchWheelIndex(int index, unsigned stateCount, short wheelDelta) noexcept
{
    if (wheelDelta <= 0)
        return index == 0 ? index : index - 1;
    return index + 1 >= static_cast<int>(stateCount) ? index : index + 1;
}

int NextIndexWrapping(int index, int minIndex, int maxIndex) noexcept
{
    const int next = index + 1;
    return next > maxIndex ? minIndex : next;
}

} // namespace Pictures
