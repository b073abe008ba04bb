#pragma once
// Linux only: our LV2 bundle's editor shown as an LV2 host shows it, for screenshots. The UI
// binary is found in the bundle by the names we give it (MorlentDelay_ui.so, the UI's URI under
// the plug-in's), not through the description: this host has no RDF reader, and loads no other
// plug-in's bundle. It is instantiated in a window of the host's with a URID map of its own, told
// every control port's value and idled. No plug-in runs behind it: what the UI writes to the
// plug-in's ports goes nowhere.

#include <cstdint>
#include <memory>
#include <string>

namespace MorlentHost {

class Lv2UiHost {
public:
    // Whether path names an LV2 bundle folder: a folder with a manifest.ttl.
    static bool IsBundle(const std::string& path);
    // Loads the bundle's UI binary and finds our UI's descriptor; null with the reason.
    static std::unique_ptr<Lv2UiHost> Load(const std::string& bundle, std::string& error);
    // Cleans up an open UI, then unloads the binary.
    ~Lv2UiHost();
    Lv2UiHost(const Lv2UiHost&) = delete;
    Lv2UiHost& operator=(const Lv2UiHost&) = delete;

    // Instantiates the UI inside parent (an X11 window id); false with the reason (the UI says
    // why on the log, which this host prints on stderr).
    bool Open(unsigned long parent, std::string& error);
    // The size the UI asked for through ui:resize, or 0 × 0.
    int Width() const noexcept { return width; }
    int Height() const noexcept { return height; }
    // A control port's value in the port's own units, as the float protocol sends it.
    void SendControl(uint32_t port, float value);
    // One idle call, as a host's UI timer makes it; false once the UI says it closed.
    bool Idle();
    void Close();

private:
    struct Native;
    explicit Lv2UiHost(std::unique_ptr<Native> native);

    std::unique_ptr<Native> native;
    int width = 0;
    int height = 0;
};

} // namespace MorlentHost
