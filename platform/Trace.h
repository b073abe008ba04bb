#pragma once

#include <thread>

namespace Platform {

// Writes one trace line to the platform's debug output: OutputDebugStringA on Windows; on other
// systems stderr, and only when MORLENT_TRACE is set in the environment. Any thread.
// Never called on the audio thread: the Windows debug output can take a system-wide lock.
void Trace(const char* text) noexcept;

// Trace lines of an object whose operations hosts call on their audio thread too (automation
// playback sets and reads parameters there): lines are written only on the thread that made
// the object, so the audio thread never reaches the debug output.
class CreatorThreadTrace {
public:
    void operator()(const char* text) const noexcept
    {
        if (std::this_thread::get_id() == creator)
            Trace(text);
    }

private:
    std::thread::id creator = std::this_thread::get_id();
};

// Sends every trace line to sink instead (null restores the platform's output). For tests.
using TraceSink = void (*)(const char* text);
void SetTraceSink(TraceSink sink) noexcept;

} // namespace Platform
