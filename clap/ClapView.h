#pragma once
// The editor in the host's window through the gui extension, for Win32 windows only: the
// 64-bit module's delay view, embedded (never floating), fixed in size, built on set_parent and
// destroyed on destroy. Every call runs on the host's main thread, which is the user-interface
// thread.

namespace VstToolkit {
class Model;
class PluginCore;
class View;
} // namespace VstToolkit

namespace MorlentClap {

class ClapView {
public:
    ClapView(VstToolkit::Model* model, VstToolkit::PluginCore* core);
    ~ClapView();
    ClapView(const ClapView&) = delete;
    ClapView& operator=(const ClapView&) = delete;

    // The view as a child of parent (an HWND); false when it could not be made.
    bool Attach(void* parent);
    bool Show(bool visible);
    int Width() const { return width; }
    int Height() const { return height; }

private:
    void Detach();

    VstToolkit::Model* model;
    VstToolkit::PluginCore* core;
    VstToolkit::View* view = nullptr; // cleared by the view itself when its window goes
    unsigned long long gdiplusToken = 0;
    int width;
    int height;
};

} // namespace MorlentClap
