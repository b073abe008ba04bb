#pragma once
// The delay's editor as a host sees it: the real model behind a real controller with a recording
// host callback, opened through the record into a top-level window of the test's own, and helpers
// to drive it with window messages, to answer its modal menus and boxes, and to save screenshots.

#include "editor/win32/Editor.h"
#include "editor/win32/MorlentDelayView.h"
#include "vst2/Controller.h"
#include "tests/support/RecordingHost.h"

#include "editor/win32/ParameterControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

class MorlentDelayModel;

namespace EditorTest {

HINSTANCE Instance();

class EditorFixture : public ::testing::Test {
protected:
    using DelayEditor = VstToolkit::Editor<MorlentDelayView>;

    void SetUp() override;
    void TearDown() override;

    VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr);
    void Open();
    MorlentDelayView* View() const { return editor->GetTypedView(); }
    WindowsToolkit::ParameterControl* Control(int parameter) const;
    std::string StatusText() const;
    // The view windows among the host window's children.
    int ViewWindowCount() const;

    // Dispatches everything queued for this thread, waiting up to milliseconds for more.
    void Pump(DWORD milliseconds = 0);
    LRESULT Send(HWND window, UINT message, UINT keys, int x, int y);
    std::vector<HostCall> Automations() const { return RecordingHost::Instance().CallsOf(audioMasterAutomate); }
    // processEvents with one control change, then one block, on a thread of their own as a host's
    // audio thread would.
    void ControlChangeOnAudioThread(int controllerNumber, int value);

    // Keys for the next modal menu, queued before it opens (the menu loop reads them).
    void PostKeys(std::initializer_list<WORD> keys);
    // The items of the last popup menu that opened, and how many opened since SetUp.
    static std::vector<std::string> LastMenu();
    static int MenusOpened();
    // Calls step with the first dialog box of this thread once it shows, again at every tick
    // until step answers true. A box or menu still open after a few seconds is cancelled, so a
    // broken test fails instead of hanging.
    void WhenDialogShows(std::function<bool(HWND)> step);
    static std::string WindowText(HWND window);

    // Saves a window's pixels (client area, or the whole window with its frame) as a PNG file in
    // the screenshot folder.
    static void SaveScreenshot(HWND window, const char* fileName, bool wholeWindow = false);

    HWND host = nullptr;
    MorlentDelayModel* model = nullptr;
    VstToolkit::Controller* controller = nullptr;
    DelayEditor* editor = nullptr;
    AEffect* record = nullptr;
};

} // namespace EditorTest
