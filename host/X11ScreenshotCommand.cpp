// Linux only: opens the plug-in's editor in a window of our own on the X display and saves its
// pixels as PNG. The editor is given time through effEditIdle, as a host's idle timer would.

#include "host/Commands.h"
#include "host/PluginInstance.h"
#include "host/X11Frame.h"
#include "pictures/cairo/PngWriter.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace MorlentHost {

namespace {

constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kIdleInterval = std::chrono::milliseconds(10); // a host's idle timer
constexpr int kStableCaptures = 3;

} // namespace

int RunScreenshot(const CommandLine& command)
{
    std::string error;
    auto plugin = LoadForScreenshot(command, error);
    if (!plugin)
        return Failure(error);

    std::unique_ptr<X11Frame> frame = X11Frame::Open(640, 480, error);
    if (!frame)
        return Failure(error);
    // Some editors know their size only once open, so ask again afterwards.
    int width = 0, height = 0;
    plugin->EditorSize(width, height);
    plugin->Resume(44100.0f, 512);
    const bool opened = plugin->OpenEditor(reinterpret_cast<void*>(frame->Window()));
    if (!opened)
        return Failure(command.module + ": the plug-in's editor did not open (effEditOpen)");
    if (!plugin->EditorSize(width, height)) {
        plugin->CloseEditor();
        return Failure("the plug-in's editor reports no size (effEditGetRect)");
    }
    frame->Show(width, height);

    // The editor's window shows, then its pixels stop changing: it has painted.
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    std::string pixels;
    int stable = 0;
    while (stable < kStableCaptures) {
        if (std::chrono::steady_clock::now() > deadline) {
            plugin->CloseEditor();
            return Failure("the plug-in's editor did not show within 10 s");
        }
        plugin->IdleEditor();
        std::this_thread::sleep_for(kIdleInterval);
        if (!frame->ChildMapped())
            continue;
        const std::string now = frame->Capture(width, height);
        stable = !now.empty() && now == pixels ? stable + 1 : 0;
        pixels = now;
    }
    plugin->CloseEditor();
    if (!Pictures::SaveRgbAsPng(reinterpret_cast<const uint32_t*>(pixels.data()), width, height, width,
                                command.output))
        return Failure("cannot save " + command.output + " as PNG");
    std::printf("saved the %dx%d editor to %s\n", width, height, command.output.c_str());
    return kExitOk;
}

} // namespace MorlentHost
