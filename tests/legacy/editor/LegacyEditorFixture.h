#pragma once
// The first generation's editor as a host sees it: the real delay model behind a real plug-in
// with the stand-in host, opened through the record into a top-level window of the test's own,
// and helpers to drive it with window messages and to read its pixels.

#include "legacy/editor/DelayEditor.h"
#include "legacy/editor/DelayView.h"
#include "legacy/framework/DelayModel.h"
#include "legacy/framework/Plugin.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace LegacyEditorTest {

HINSTANCE Instance();
// The program's second top-level window, for a second editor or the 64-bit reference.
HWND SecondHost();

// A window's client pixels as 0x00RRGGBB, row by row.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> values;
    uint32_t At(int x, int y) const { return values[static_cast<size_t>(y * width + x)]; }
};
Pixels Capture(HWND window);
// How many pixels differ inside area (in both captures' coordinates).
int DifferentPixels(const Pixels& a, const Pixels& b, RECT area);

struct Effect {
    VovezEdeduvo::DelayModel* model = nullptr;
    VovezEdeduvo::Vst::Plugin* plugin = nullptr;
    VovezEdeduvo::Vst::DelayEditor* editor = nullptr;
    AEffect* record = nullptr;
};
// A new instance as the module's factory makes one.
Effect MakeEffect();

class LegacyEditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr);
    void Open();
    void Idle() { Dispatch(effEditIdle); }
    VovezEdeduvo::DelayView* View() const;
    WindowToolkit::ValueControl* Control(int parameter) const;
    std::string StatusText() const;
    // The status line the view shows for a parameter: "name: display label".
    std::string StatusFor(int parameter) const;
    // The view windows among a host window's children.
    static int ViewWindowCount(HWND host);

    // Dispatches everything queued for this thread.
    void Pump();
    LRESULT Send(HWND window, UINT message, WPARAM keys, int x, int y);
    std::vector<TestSupport::HostCall> Automations() const;
    // processEvents with one control change, then one block, on a thread of their own.
    void ControlChangeOnAudioThread(int controllerNumber, int value);
    // Keys for the next modal menu, queued before it opens (the menu loop reads them).
    void PostKeys(std::initializer_list<WORD> keys);
    // A click in the view at (x, y) that opens its menu, answered by keys.
    void ClickView(int x, int y, std::initializer_list<WORD> keys);
    // A right click on a parameter's control, its menu answered by keys.
    void RightClick(int parameter, std::initializer_list<WORD> keys);
    void SaveScreenshot(HWND window, const char* fileName, bool wholeWindow = false);

    HWND host = nullptr;
    VovezEdeduvo::DelayModel* model = nullptr;
    VovezEdeduvo::Vst::Plugin* plugin = nullptr;
    VovezEdeduvo::Vst::DelayEditor* editor = nullptr;
    AEffect* record = nullptr;
};

} // namespace LegacyEditorTest
