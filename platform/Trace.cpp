#include "Trace.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdio>
#include <cstdlib>
#endif

namespace Platform {

#ifdef _WIN32

void Trace(const char* text) noexcept
{
    if (text != nullptr)
        OutputDebugStringA(text);
}

#else

namespace {
// Read once: getenv is not guaranteed to be safe against a concurrent setenv.
const bool traceToStderr = std::getenv("MORLENT_TRACE") != nullptr;
} // namespace

void Trace(const char* text) noexcept
{
    if (traceToStderr && text != nullptr)
        std::fputs(text, stderr);
}

#endif

} // namespace Platform
