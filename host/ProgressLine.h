#pragma once
// A percentage counting up on one terminal line ("rendering  42%"), redrawn only when it changes,
// and nothing at all when the stream is not a terminal, so logs and pipes stay clean.

#include <cstdint>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace MorlentHost {

class ProgressLine {
public:
    ProgressLine(std::FILE* stream, const char* label)
        : stream_(stream), label_(label), enabled_(IsTerminal(stream))
    {
    }
    ~ProgressLine() { Finish(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Update(int64_t done, int64_t total)
    {
        if (!enabled_ || total <= 0)
            return;
        const int percent = static_cast<int>(done * 100 / total);
        if (percent == shown_)
            return;
        shown_ = percent;
        std::fprintf(stream_, "\r%s %3d%%", label_, percent);
        std::fflush(stream_);
    }
    // Ends the line, if one was drawn.
    void Finish()
    {
        if (shown_ >= 0)
            std::fprintf(stream_, "\n");
        shown_ = -1;
    }

private:
    static bool IsTerminal(std::FILE* stream)
    {
#ifdef _WIN32
        return _isatty(_fileno(stream)) != 0;
#else
        return isatty(fileno(stream)) != 0;
#endif
    }

    std::FILE* stream_;
    const char* label_;
    bool enabled_;
    int shown_ = -1;
};

} // namespace MorlentHost
