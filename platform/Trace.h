#pragma once

namespace Platform {

// Writes one trace line to the platform's debug output: OutputDebugStringA on Windows; on other
// systems stderr, and only when MORLENT_TRACE is set in the environment. Any thread.
// Never called on the audio thread: the Windows debug output can take a system-wide lock.
void Trace(const char* text) noexcept;

// Sends every trace line to sink instead (null restores the platform's output). For tests.
using TraceSink = void (*)(const char* text);
void SetTraceSink(TraceSink sink) noexcept;

} // namespace Platform
