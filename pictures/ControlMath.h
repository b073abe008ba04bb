#pragma once
// The arithmetic of the controls, apart from any window system: how mouse and wheel move a
// value, which film-strip frame a value shows, and where each frame and each switch band lies.

#include "pictures/Geometry.h"

#include <vector>

namespace Pictures {

// ---- Film strips ---------------------------------------------------------------------------

using FrameSize = Size;

// Frames stacked top to bottom (vertical) or side by side; integer division. 0 × 0 for no
// frames or no picture.
FrameSize StripFrameSize(int pictureWidth, int pictureHeight, unsigned frameCount, bool vertical) noexcept;
// Top-left of frame index inside the picture. The index is not validated.
Point StripFrameOrigin(FrameSize frame, int index, bool vertical) noexcept;

// ---- Knob: position 0..100, one pixel of travel per percent ---------------------------------

inline constexpr float kKnobRange = 100.0f;
inline constexpr float kKnobFineFactor = 0.1f; // Shift: ten times finer

// Frame for a normalised value: trunc((frameCount - 1) × value), kept inside the strip so a
// host value outside 0..1 still shows an end frame. frameCount must be nonzero.
int KnobFrameIndex(unsigned frameCount, float value) noexcept;
// Moving up raises the value; fine mode scales the travel by a tenth.
float KnobDragDelta(int lastY, int y, bool fine) noexcept;
// One step per wheel message whatever its size: up (delta ≥ 1) +1, otherwise -1.
float KnobWheelStep(short wheelDelta, bool fine) noexcept;
// Clamps to 0..100; anything not ≥ 0 (a NaN included) becomes 0.
float ClampKnobPosition(float position) noexcept;

// ---- Multiswitch: n states ------------------------------------------------------------------

// index / (n - 1); 0 for fewer than two states.
float MultiswitchValue(unsigned stateCount, int index) noexcept;
// trunc(value / (1 / n)), kept within 0..n-1: for two states 0.5 and up select state 1.
// stateCount must be nonzero.
int MultiswitchIndexForValue(unsigned stateCount, float value) noexcept;
// One click band per state in client coordinates. Vertical strips: state 0 is the bottom band;
// horizontal strips: state 0 is the leftmost band.
std::vector<Rect> MultiswitchHitRectangles(FrameSize frame, unsigned stateCount, bool vertical);
// The state under point: the first band that holds it, or -1.
int MultiswitchHitTest(const std::vector<Rect>& bands, Point point) noexcept;
// The state one wheel message selects: down (delta ≤ 0) one lower, up one higher, stopping at
// the ends (then the index comes back unchanged).
int MultiswitchWheelIndex(int index, unsigned stateCount, short wheelDelta) noexcept;

// ---- Increment button -----------------------------------------------------------------------

// The next index of a target, wrapping from past the last to the first.
int NextIndexWrapping(int index, int minIndex, int maxIndex) noexcept;

} // namespace Pictures
