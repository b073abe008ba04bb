#pragma once
// The delay editor on X11 as a host opens it: the real delay model behind a plug-in core that
// records what it reports, the editor opened inside a host window of the test's own on a private
// X server, driven by real input and pumped the way a host's run loop would.

// Before Xlib, whose macros (None, Status, Bool) would rewrite its names.
#include <gtest/gtest.h>

#include "delay/MorlentDelayModel.h"
#include "editor/CoreEditTarget.h"
#include "editor/x11/X11Editor.h"
#include "framework/PluginCore.h"
#include "tests/support/X11HostWindow.h"

#include <atomic>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace X11EditorTest {

// The core as a format adapter has it, keeping what it reports to its host.
class RecordingCore final : public VstToolkit::PluginCore {
public:
    RecordingCore() : PluginCore(new MorlentDelayModel) { AttachToModel(); }
    std::vector<std::pair<int32_t, float>> edits;
    std::atomic<int> learned{0};

protected:
    void ReportParameterEdit(int32_t index, float value) override { edits.emplace_back(index, value); }
    void ReportMidiLearned() override { ++learned; }
};

class X11EditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Open();
    void Close();
    // What a host's run loop does: waits a little for the editor's connection, then lets the
    // editor handle what came.
    void Pump();
    bool PumpUntil(const std::function<bool()>& done);
    // The status line's text as the editor shows it.
    std::string StatusText();
    // The editor's window's pixels, read back from the screen.
    std::vector<uint32_t> ScreenPixels();
    // The face as the editor composed it.
    std::vector<uint32_t> FacePixels();
    void SaveScreenshot(const char* name);
    // The open menu or box as the screen shows it, for looking at.
    void SavePopupScreenshot(const char* name);
    // The centre of a parameter's control, in the host window.
    static Pictures::Point CentreOf(int parameter);

    std::unique_ptr<TestSupport::X11HostWindow> host;
    std::unique_ptr<RecordingCore> core;
    VstToolkit::Model* model = nullptr;
    std::unique_ptr<EditorCore::CoreEditTarget> target;
    std::unique_ptr<X11Toolkit::X11Editor> editor;
};

} // namespace X11EditorTest
