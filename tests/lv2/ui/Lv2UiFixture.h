#pragma once
// The LV2 editor as a host drives it: the built UI binary loaded through its descriptor,
// instantiated in a host window of the test's own on a private X server with the features a
// test chooses, idled as a host's timer would, and everything it hands the host kept in order:
// port writes, learn messages and touch gestures. Real input comes through XTest.

// Before Xlib, whose macros (None, Status, Bool) would rewrite their names.
#include <gtest/gtest.h>

#include "delay/MorlentDelayModel.h"
#include "editor/CoreEditTarget.h"
#include "editor/DelayLayout.h"
#include "editor/x11/X11Editor.h"
#include "framework/PluginCore.h"
#include "pictures/Geometry.h"
#include "tests/lv2/Lv2Host.h"
#include "tests/support/X11HostWindow.h"

#include <lv2/ui/ui.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Lv2UiTest {

// One thing the UI asked of its host, in the order it asked.
struct HostCall {
    enum Kind { kValue, kMessage, kTouch } kind = kValue;
    uint32_t port = 0;
    float value = 0.0f;        // kValue: the control port's value
    bool grabbed = false;      // kTouch
    std::vector<uint8_t> atom; // kMessage: the atom written, header and body
};

// Which features the host offers; a test leaves out what its host lacks.
struct Offer {
    bool parent = true;
    uintptr_t parentWindow = 0; // 0: the host window
    bool map = true;
    bool touch = true;
    bool resize = true;
    bool log = true;
    bool writeFunction = true;
    const char* pluginUri = MorlentLv2::kPluginUri;
};

class Lv2UiFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Instantiates the UI; false when it refused.
    bool Instantiate(const Offer& offer = Offer());
    void Cleanup();
    // What a host's UI timer does: one idle call. Its answer: nonzero once the UI closed.
    int Idle();
    bool IdleUntil(const std::function<bool()>& done);

    // ---- What the host tells the UI ---------------------------------------------------------
    void SendControl(uint32_t port, float value);
    // One event of the notification port, as event transfer hands it over.
    void SendNotification(const void* atom, uint32_t size);
    void SendState(const MorlentLv2::LearnState& state);
    void SendMove(const MorlentLv2::ControllerMove& move);

    // ---- What the UI asked of the host --------------------------------------------------------
    // The learn commands written to the events input since the call log was last cleared.
    std::vector<MorlentLv2::LearnCommand> Commands() const;
    std::vector<HostCall> calls;
    int resizedWidth = 0;
    int resizedHeight = 0;

    // ---- What the screen shows ------------------------------------------------------------------
    ::Window Widget() const { return static_cast<::Window>(reinterpret_cast<uintptr_t>(widget)); }
    // Whether the editor's window shows on the screen, where input reaches it.
    bool Shown();
    std::vector<uint32_t> ScreenPixels();
    std::vector<uint32_t> StatusPixels();
    // The editor's popup (a menu or a box: a top-level window of its own that is not the host's),
    // or 0 when none shows.
    ::Window PopupWindow();
    // The face the core-attached X11 editor shows for these normalised values (the others at
    // their defaults), in the host window, before any UI is instantiated there.
    std::vector<uint32_t> ReferenceFace(const std::vector<std::pair<int, float>>& values);
    // The centre of a parameter's control, in the host window.
    static Pictures::Point CentreOf(int parameter);

    std::unique_ptr<TestSupport::X11HostWindow> host;
    Lv2Testing::Features features;
    MorlentLv2::LearnUrids urids;
    LV2_URID eventTransfer = 0;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;

private:
    static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                      const void* buffer);
    static void Touch(LV2UI_Feature_Handle self, uint32_t port, bool grabbed);
    static int Resize(LV2UI_Feature_Handle self, int width, int height);

    void* module = nullptr;
    LV2UI_Touch touchFeature{this, Touch};
    LV2UI_Resize resizeFeature{this, Resize};
};

} // namespace Lv2UiTest
