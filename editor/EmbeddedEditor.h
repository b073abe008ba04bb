#pragma once
// The delay editor open inside a window a host hands over, whatever the window system: what a
// format's view glue needs, so that glue never includes a window system's header. Each build
// links the backend of its own window system.

#include "pictures/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace VstToolkit {
class Model;
class PluginCore;
class ParameterView;
} // namespace VstToolkit

namespace EditorCore {

class EditTarget;

// How often a host's run loop, or the editor's own pump, calls DispatchEvents at the least besides
// the event source: the editor's hover delay and the values other threads pushed wait on it.
constexpr int kDispatchMilliseconds = 20;

class EmbeddedEditor {
public:
    // Closes the editor: its windows go, and a core it was attached to forgets it first.
    // User-interface thread.
    virtual ~EmbeddedEditor() = default;

    // ---- User-interface thread --------------------------------------------------------------
    // A file descriptor that becomes readable when the window system has events for the editor
    // (an X11 connection), or -1 where the system delivers them itself (Win32's message loop).
    virtual int GetEventSource() const { return -1; }
    // Handles whatever waits (events, timers, repaints) and returns without blocking. A host's
    // run loop calls it when the event source is readable and on a timer; harmless at any time.
    virtual void DispatchEvents() {}
    // False once the editor's window is gone without a close (its host destroyed the parent).
    virtual bool IsOpen() const = 0;
    // Shows or hides the editor's window inside its parent; it opens shown.
    virtual void SetVisible(bool visible) = 0;
    // Whether the user is dragging a control now.
    virtual bool IsDragging() const = 0;
    // Runs ended once on this thread when the drag in progress ends (at once if none is), unless
    // the editor closes first. A later call during the same drag takes the earlier one's place.
    virtual void WhenDragEnds(std::function<void()> ended) = 0;

    // The view to show the plug-in's values in, for an editor opened on an edit target; every
    // operation of it may come from any thread. Null for an editor attached to a core, which
    // the core already knows.
    virtual VstToolkit::ParameterView* GetParameterView() { return nullptr; }
};

// The window system editors open in, as the formats name it.
enum class WindowSystem { kWin32, kX11 };
WindowSystem NativeWindowSystem();

// The editor's size before it opens. Any thread.
Pictures::Size DelayEditorSize();

// Opens the delay editor inside parent (an HWND, or an X11 window id), attached to core as its
// view until it closes. Null with a reason in error when it cannot open.
// User-interface thread.
std::unique_ptr<EmbeddedEditor> OpenDelayEditor(uintptr_t parent, VstToolkit::Model& model,
                                                VstToolkit::PluginCore& core, std::string& error);

} // namespace EditorCore
