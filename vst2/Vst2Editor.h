#pragma once
// The VST 2 editor for a window system whose events the editor reads itself (X11): the delay
// editor opened inside the window the host passes to effEditOpen (an X11 window id; hosts also
// pass their Display* in the value, which the editor does not use: it has a connection of its
// own).
//
// Hosts are meant to call effEditIdle often from their user-interface thread, and the editor then
// does its work there. Some never do: until the first idle call arrives, a thread of the editor's
// own reads its events, and it hands over to the host's idle calls at the first one, without
// waiting for it.

#include "effect_base/AEffEditor.h"

#include <atomic>
#include <memory>
#include <thread>

namespace EditorCore {
class EmbeddedEditor;
}

namespace VstToolkit {

class Controller;

class Vst2Editor final : public AEffEditor {
public:
    explicit Vst2Editor(Controller* controller);
    // Closes a view that is still open (effClose with the editor open).
    ~Vst2Editor() override;

    // ---- The host's user-interface thread ----------------------------------------------------
    // Valid before the first open: the editor's size is known beforehand.
    bool getRect(ERect** rect) override;
    // Opening while open closes the first editor; a null or vanished window, or no display, is
    // refused and leaves the editor closed.
    bool open(void* parent) override;
    // Harmless when closed, also after a refused open.
    void close() override;
    void idle() override;

    bool IsPumpingItself() const noexcept { return pump.joinable(); }

private:
    void StartPump();
    // Asks the pump to stop; joins it only when wait is true or it has already ended.
    bool StopPump(bool wait);

    Controller* controller;
    std::unique_ptr<EditorCore::EmbeddedEditor> editor;
    ERect rect{};
    bool hostIdles = false; // an idle call arrived: the host drives the editor from now on
    std::thread pump;
    std::atomic<bool> stopPump{false};
    std::atomic<bool> pumpEnded{false};
    int wake = -1; // an eventfd that interrupts the pump's wait
};

} // namespace VstToolkit
