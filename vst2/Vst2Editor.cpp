#include "vst2/Vst2Editor.h"

#include "editor/EmbeddedEditor.h"
#include "platform/Trace.h"
#include "vst2/Controller.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace VstToolkit {

Vst2Editor::Vst2Editor(Controller* controller) : AEffEditor(controller), controller(controller)
{
    const Pictures::Size size = EditorCore::DelayEditorSize();
    rect.right = static_cast<VstInt16>(size.width);
    rect.bottom = static_cast<VstInt16>(size.height);
}

Vst2Editor::~Vst2Editor()
{
    close();
}

bool Vst2Editor::getRect(ERect** out)
{
    *out = &rect;
    return true;
}

bool Vst2Editor::open(void* parent)
{
    Platform::Trace("Vst2Editor::open\r\n");
    close();
    if (parent == nullptr)
        return false;
    std::string error;
    editor = EditorCore::OpenDelayEditor(reinterpret_cast<uintptr_t>(parent), *controller->GetModel(), *controller,
                                         error);
    if (editor == nullptr)
        return false;
    systemWindow = parent;
    if (!hostIdles)
        StartPump();
    return true;
}

void Vst2Editor::close()
{
    Platform::Trace("Vst2Editor::close\r\n");
    StopPump(true);
    systemWindow = nullptr;
    editor.reset();
}

void Vst2Editor::idle()
{
    hostIdles = true;
    // The editor's own pump still runs: it stops at its next wake-up, and the host's next idle
    // call takes over. Until then the editor is the pump's alone.
    if (pump.joinable() && !StopPump(false))
        return;
    if (editor != nullptr)
        editor->DispatchEvents();
}

void Vst2Editor::StartPump()
{
    if (editor == nullptr || editor->GetEventSource() < 0)
        return;
    wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0)
        return; // without a way to stop it, no pump: the host's idle calls drive the editor
    stopPump = false;
    pumpEnded = false;
    EditorCore::EmbeddedEditor* pumped = editor.get();
    pump = std::thread([this, pumped] {
        pollfd waiting[2] = {{pumped->GetEventSource(), POLLIN, 0}, {wake, POLLIN, 0}};
        while (!stopPump.load(std::memory_order_acquire)) {
            poll(waiting, 2, EditorCore::kDispatchMilliseconds);
            if (stopPump.load(std::memory_order_acquire))
                break;
            pumped->DispatchEvents();
        }
        pumpEnded.store(true, std::memory_order_release);
    });
}

bool Vst2Editor::StopPump(bool wait)
{
    if (!pump.joinable())
        return true;
    if (!stopPump.exchange(true, std::memory_order_acq_rel)) {
        const uint64_t one = 1;
        if (write(wake, &one, sizeof one) < 0) {
            // The pump still wakes within its interval and sees the flag.
        }
    }
    if (!wait && !pumpEnded.load(std::memory_order_acquire))
        return false;
    pump.join();
    ::close(wake);
    wake = -1;
    return true;
}

} // namespace VstToolkit
