#pragma once

namespace Dsp {

// The filter in an engine's delayed path. Both generations' engines and the flag dispatch that
// picks their loops spell the choice this way.
enum class FilterKind { None, LowPass, HighPass };

} // namespace Dsp
