// The editor of the loaded DLL under a host that misbehaves or keeps its audio thread busy:
// repeated, early and late editor calls, closing the effect with its editor open, and opening
// and closing the editor while another thread processes audio with learned MIDI.

#include "tests/support/EventList.h"
#include "tests/support/LoadedModuleTest.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

namespace {

using namespace TestSupport;

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

class EditorUnderLoad : public LoadedModuleTest {
protected:
    static void SetUpTestSuite()
    {
        LoadedModuleTest::SetUpTestSuite();
        // One top-level window for every test: without a window manager, destroying top-level
        // windows is slow under Wine.
        parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 450, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(parent);
        LoadedModuleTest::TearDownTestSuite();
    }
    void SetUp() override
    {
        ASSERT_NE(nullptr, parent);
        StandInHost::ResetQuiet();
        ASSERT_NO_FATAL_FAILURE(OpenInstance());
        ASSERT_NE(0, effect->flags & effFlagsHasEditor);
        Dispatch(effOpen);
        Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        Dispatch(effMainsChanged, 0, 1);
    }
    void TearDown() override
    {
        LoadedModuleTest::TearDown();
        PumpMessages();
    }
    // A named callback: 32-bit Windows wants it stdcall, which no lambda converts to.
    static BOOL CALLBACK CountWindow(HWND, LPARAM counter)
    {
        ++*reinterpret_cast<int*>(counter);
        return TRUE;
    }
    int ChildWindows() const
    {
        int count = 0;
        EnumChildWindows(parent, CountWindow, reinterpret_cast<LPARAM>(&count));
        return count;
    }

    static HWND parent;
};
HWND EditorUnderLoad::parent = nullptr;

TEST_F(EditorUnderLoad, RectangleIsKnownBeforeTheFirstOpen)
{
    ERect* rect = nullptr;
    ASSERT_EQ(1, Dispatch(effEditGetRect, 0, 0, &rect));
    ASSERT_NE(nullptr, rect);
    EXPECT_EQ(0, rect->top);
    EXPECT_EQ(0, rect->left);
    EXPECT_EQ(344, rect->bottom);
    EXPECT_EQ(496, rect->right);
}

TEST_F(EditorUnderLoad, RepeatedOpensAndClosesLeaveOneEditorOrNone)
{
    EXPECT_EQ(0, ChildWindows());
    Dispatch(effEditClose); // never opened
    EXPECT_EQ(1, Dispatch(effEditOpen, 0, 0, parent));
    const int children = ChildWindows();
    EXPECT_GT(children, 15); // the view and its fifteen controls
    Dispatch(effEditOpen, 0, 0, parent);
    PumpMessages();
    EXPECT_EQ(children, ChildWindows());
    Dispatch(effEditIdle);
    Dispatch(effEditClose);
    Dispatch(effEditClose);
    PumpMessages();
    EXPECT_EQ(0, ChildWindows());
    for (int round = 0; round < 10; ++round) {
        EXPECT_EQ(1, Dispatch(effEditOpen, 0, 0, parent));
        PumpMessages();
        Dispatch(effEditClose);
    }
    EXPECT_EQ(0, ChildWindows());
}

TEST_F(EditorUnderLoad, ClosingTheEffectWithItsEditorOpenRemovesTheEditor)
{
    ASSERT_EQ(1, Dispatch(effEditOpen, 0, 0, parent));
    PumpMessages();
    EXPECT_EQ(1, Dispatch(effClose));
    effect = nullptr;
    PumpMessages();
    EXPECT_EQ(0, ChildWindows());
}

TEST_F(EditorUnderLoad, EditorComesAndGoesWhileAudioAndMidiRun)
{
    // Controller 40 drives the mix from the audio thread, straight into the open editor.
    const std::vector<uint8_t> bank = Chunk(false);
    const int bindings[12] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 40};
    std::vector<uint8_t> bound = BankWithBindings(bank, bindings);
    ASSERT_EQ(1, Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bound.size()), bound.data()));

    std::atomic<bool> stop{false};
    std::atomic<long> blocks{0};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> left(128), right(128);
        EventList midi;
        long block = 0;
        while (!stop.load()) {
            for (size_t i = 0; i < left.size(); ++i)
                left[i] = right[i] = std::sin(static_cast<float>(block * 128 + static_cast<long>(i)) * 0.02f);
            midi.Clear();
            midi.Add(64, 0xB0, 40, static_cast<uint8_t>(block % 128));
            float* channels[2] = {left.data(), right.data()};
            effect->dispatcher(effect, effProcessEvents, 0, 0, midi.Events(), 0.0f);
            effect->processReplacing(effect, channels, channels, 128);
            if (!std::isfinite(left[0]) || !std::isfinite(right[127]))
                finite.store(false);
            blocks.fetch_add(1);
            ++block;
        }
    });
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    int round = 0;
    while (std::chrono::steady_clock::now() < until || round < 8) {
        EXPECT_EQ(1, Dispatch(effEditOpen, 0, 0, parent));
        for (int step = 0; step < 5; ++step) {
            effect->setParameter(effect, step, static_cast<float>(round % 3) / 2.0f);
            Dispatch(effSetProgram, 0, (round + step) % 3);
            Dispatch(effEditIdle);
            PumpMessages();
        }
        Dispatch(effEditClose);
        PumpMessages();
        ++round;
    }
    stop.store(true);
    audio.join();
    EXPECT_TRUE(finite.load());
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(0, ChildWindows());
}

} // namespace
