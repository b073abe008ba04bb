#include "platform/Trace.h"

#include <atomic>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <cstdlib>
#endif

namespace Platform {

namespace {

std::atomic<TraceSink> traceSink{nullptr};

#ifndef _WIN32
// Read once: getenv is not guaranteed to be safe against a concurrent setenv.
const bool traceToStderr = std::getenv("MORLENT_TRACE") != nullptr;
#endif

} // namespace

void SetTraceSink(TraceSink sink) noexcept
{
    traceSink.store(sink);
}

void Trace(const char* text) noexcept
{
    if (text == nullptr)
        return;
    if (TraceSink sink = traceSink.load()) {
        sink(text);
        return;
    }
#ifdef _WIN32
    OutputDebugStringA(text);
#else
    if (traceToStderr)
        std::fputs(text, stderr);
#endif
}

} // namespace Platform
