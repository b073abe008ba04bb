// Linux only: opens the plug-in's editor in a window of our own on the X display and saves its
// pixels as PNG. The editor is given time through effEditIdle, as a host's idle timer would; an
// LV2 bundle's editor through its idle interface.

#include "host/Commands.h"
#include "host/Lv2UiHost.h"
#include "host/PluginInstance.h"
#include "host/X11Frame.h"
#include "lv2/Lv2Ports.h"
#include "pictures/cairo/PngWriter.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace MorlentHost {

namespace {

constexpr auto kPatience = std::chrono::seconds(10);
constexpr auto kIdleInterval = std::chrono::milliseconds(10); // a host's idle timer
constexpr int kStableCaptures = 3;
// An LV2 editor is the plug-in's editor too: one message for both.
constexpr char kNotShown[] = "the plug-in's editor did not show within 10 s";

// Idles the editor until its window shows in the frame and its pixels stop changing: it has
// painted. Empty when that takes longer than our patience.
std::vector<uint32_t> AwaitPicture(X11Frame& frame, const std::function<void()>& idle, int width, int height)
{
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    std::vector<uint32_t> pixels;
    int stable = 0;
    while (stable < kStableCaptures) {
        if (std::chrono::steady_clock::now() > deadline)
            return {};
        idle();
        std::this_thread::sleep_for(kIdleInterval);
        if (!frame.ChildMapped())
            continue;
        const std::vector<uint32_t> now = frame.Capture(width, height);
        stable = !now.empty() && now == pixels ? stable + 1 : 0;
        pixels = now;
    }
    return pixels;
}

int Saved(const std::vector<uint32_t>& pixels, int width, int height, const std::string& path)
{
    if (!Pictures::SaveRgbAsPng(pixels.data(), width, height, width, path))
        return Failure("cannot save " + path + " as PNG");
    std::printf("saved the %dx%d editor to %s\n", width, height, path.c_str());
    return kExitOk;
}

// The bundle's own editor, on the values the settings give the control ports: the normalised
// values the other formats take, in each port's units.
int RunLv2Screenshot(const CommandLine& command)
{
    if (command.program >= 0 || !command.presetFile.empty())
        return Failure(command.module + ": an LV2 bundle's screenshot takes --param only (its programs are presets "
                                        "the host applies to the plug-in, which does not run here)");
    float values[MorlentLv2::kControlPortCount];
    for (uint32_t port = 0; port < MorlentLv2::kControlPortCount; ++port)
        values[port] = MorlentDelay::kParameters[port].defaultValue;
    for (const ParameterSetting& setting : command.parameters) {
        if (setting.index < 0 || setting.index >= static_cast<int>(MorlentLv2::kControlPortCount))
            return Failure("parameter " + std::to_string(setting.index) + " does not exist (the plug-in has " +
                           std::to_string(MorlentLv2::kControlPortCount) + ")");
        values[setting.index] = setting.value;
    }
    std::string error;
    // The frame first, so that it outlives the UI inside it on every way out.
    std::unique_ptr<X11Frame> frame = X11Frame::Open(640, 480, error);
    if (!frame)
        return Failure(error);
    std::unique_ptr<Lv2UiHost> ui = Lv2UiHost::Load(command.module, error);
    if (!ui)
        return Failure(error);
    if (!ui->Open(frame->Window(), error))
        return Failure(command.module + ": " + error);
    const int width = ui->Width(), height = ui->Height();
    if (width <= 0 || height <= 0)
        return Failure(command.module + ": the LV2 editor did not give its size through ui:resize");
    for (uint32_t port = 0; port < MorlentLv2::kControlPortCount; ++port)
        ui->SendControl(port, MorlentLv2::ExactPortValue(port, values[port]));
    frame->Show(width, height);
    const std::vector<uint32_t> pixels = AwaitPicture(*frame, [&] { ui->Idle(); }, width, height);
    ui->Close();
    if (pixels.empty())
        return Failure(kNotShown);
    return Saved(pixels, width, height, command.output);
}

} // namespace

int RunScreenshot(const CommandLine& command)
{
    if (Lv2UiHost::IsBundle(command.module))
        return RunLv2Screenshot(command);
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
    const std::vector<uint32_t> pixels = AwaitPicture(*frame, [&] { plugin->IdleEditor(); }, width, height);
    plugin->CloseEditor();
    if (pixels.empty())
        return Failure(kNotShown);
    return Saved(pixels, width, height, command.output);
}

} // namespace MorlentHost
