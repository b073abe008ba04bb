#pragma once
// The editor for LV2 hosts: the X11 editor inside the window the host hands over, talking to the
// plug-in through its ports only, so it works where the host keeps the two apart. Control ports
// carry values both ways in display units; MIDI Learn goes out as learn commands on the events
// input and comes back as the plug-in's learn state and controller moves on its notification
// port. The status line's texts come from a model of the UI's own that mirrors the values and
// never processes.
//
// Threads: every operation on the host's user-interface thread, as LV2 calls a UI.

#include "delay/MorlentDelayModel.h"
#include "editor/EditTarget.h"
#include "lv2/LearnMessages.h"

#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <memory>

namespace X11Toolkit {
class X11Editor;
}

namespace MorlentLv2 {

class Lv2Ui final : private EditorCore::EditTarget {
public:
    // Null, with the reason on the host's log where it offers one, for another plug-in, a host
    // without a parent window, a URID map or a write function, or an editor that cannot open
    // (no display, no such window).
    static std::unique_ptr<Lv2Ui> Create(const char* pluginUri, LV2UI_Write_Function write,
                                         LV2UI_Controller controller, const LV2_Feature* const* features);
    // The editor's window goes; a gesture still held is released first.
    ~Lv2Ui() override;

    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    // The editor's X11 window, for the host's widget pointer.
    LV2UI_Widget Widget() const noexcept;
    // A port's news: a control port's value (float protocol), or one event of the notification
    // port (event transfer). Anything else, or anything damaged, changes nothing.
    void PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // Handles the editor's events, timers and repaints without blocking; nonzero once its window
    // is gone (the host destroyed the parent).
    int Idle();

private:
    Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller, LV2_URID_Map* map, LV2UI_Touch* touch);

    // ---- EditTarget -------------------------------------------------------------------------
    float GetValue(int parameter) const override;
    const char* GetLongName(int parameter) const override;
    const char* GetLabel(int parameter) const override;
    void GetDisplay(int parameter, char* text) const override;
    void EditFromView(int parameter, float value) override;
    bool IsLearningMidi() const override { return learn.learning; }
    void StartLearningMidi(int parameter) override;
    void StopLearningMidi() override;
    int ControllerOf(int parameter) const override;
    void ForgetController(int controllerNumber) override;
    void ClearMidiControllers() override;

    void ShowValue(int parameter, float value);
    void OnNotification(const LV2_Atom* atom, uint32_t size);
    void WritePort(int parameter, float value);
    void WriteCommand(LearnAction action, int32_t number = 0);
    // The host's gesture on a control's port: grabbed at the first edit, released at the end.
    void Grab(int parameter);
    void Release();

    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    LV2UI_Touch* touch;
    LearnUrids urids;
    LV2_URID eventTransfer = 0;
    LV2_URID floatProtocol = 0;

    MorlentDelayModel mirror;
    LearnState learn; // as far as the editor knows: the plug-in's last word, and our commands since
    int touching = -1; // the parameter whose port is grabbed
    std::unique_ptr<X11Toolkit::X11Editor> editor;
};

} // namespace MorlentLv2
