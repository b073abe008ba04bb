#pragma once
// Linux only: a top-level window of the host's own for a plug-in's editor to open in, on a
// connection of the host's own, and the window's pixels read back as a PNG file.

#include <memory>
#include <cstdint>
#include <string>
#include <vector>

namespace MorlentHost {

class X11Frame {
public:
    // A window of width × height on the display DISPLAY names, not yet shown; null with a reason.
    static std::unique_ptr<X11Frame> Open(int width, int height, std::string& error);
    ~X11Frame();
    X11Frame(const X11Frame&) = delete;
    X11Frame& operator=(const X11Frame&) = delete;

    // The window's X id, the parent a plug-in's editor is opened in.
    unsigned long Window() const noexcept;
    void Show(int width, int height);
    // Whether a window of someone's (the editor's) has been mapped inside the frame since it
    // opened; reads what the server reported without waiting.
    bool ChildMapped();
    // The frame's pixels, children included, as 0x00RRGGBB; empty when it cannot be read.
    std::vector<uint32_t> Capture(int width, int height);

private:
    struct Native;
    explicit X11Frame(std::unique_ptr<Native> native);
    std::unique_ptr<Native> native;
};

} // namespace MorlentHost
