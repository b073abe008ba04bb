// MIDI Learn, the view menu, the confirmation box and the About box. The modal loops are
// answered with keys queued before they open and from a timer that finds the boxes.

#include "tests/editor/win32/EditorFixture.h"

#include "delay/MorlentDelayModel.h"

#include <memory>

namespace {

using namespace EditorTest;

using Items = std::vector<std::string>;
constexpr int kLeftDelay = MorlentDelay::kLeftDelay;

class EditorMenus : public EditorFixture {
protected:
    // Right-clicks the control of parameter; the menu then reads keys.
    void RightClick(int parameter, std::initializer_list<WORD> keys)
    {
        Send(Control(parameter)->GetHandle(), WM_RBUTTONDOWN, MK_RBUTTON, 5, 5);
        PostKeys(keys); // behind the posted right click, so the menu finds them
        Pump();
    }
    // A left click on the view; keys answer a menu if one opens.
    void ClickView(int x, int y, std::initializer_list<WORD> keys)
    {
        PostKeys(keys);
        Send(View()->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        Pump();
    }
    // Answers the next box with a command, after checking its text, and reports what it saw.
    void AnswerBox(WPARAM command, std::shared_ptr<std::string> text)
    {
        WhenDialogShows([command, text](HWND box) {
            HWND message = GetDlgItem(box, 0xFFFF); // the message box's text
            *text = WindowText(box) + "|" + (message != nullptr ? WindowText(message) : "");
            PostMessageA(box, WM_COMMAND, command, 0);
            return true;
        });
    }
    static std::vector<uint8_t> Bank(AEffect* effect)
    {
        void* data = nullptr;
        const VstIntPtr size = effect->dispatcher(effect, effGetChunk, 0, 0, &data, 0.0f);
        return std::vector<uint8_t>(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    }
};

TEST_F(EditorMenus, MidiLearnBindsTheNextControllerWhichTheBankKeepsAndForgetCcRemovesIt)
{
    Open();
    RightClick(kLeftDelay, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(Items{"MIDI Learn"}, LastMenu());
    EXPECT_TRUE(model->IsLearningMidi());
    EXPECT_EQ(kLeftDelay, model->GetLearnParameter());
    EXPECT_EQ("Learning...", StatusText());

    ControlChangeOnAudioThread(7, 100);
    EXPECT_EQ("Learning...", StatusText()) << "the audio thread touched the window";
    Pump(20); // its status text arrives by a posted message
    EXPECT_EQ(kLeftDelay, model->ControllerToParameter(7));
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ("", StatusText());

    // The binding travels in the bank: a second instance restores it.
    const std::vector<uint8_t> bank = Bank(record);
    auto* otherModel = new MorlentDelayModel;
    VstToolkit::Controller other(RecordingHost::Callback, otherModel);
    ASSERT_EQ(1, other.setChunk(const_cast<uint8_t*>(bank.data()), static_cast<VstInt32>(bank.size()), false));
    EXPECT_EQ(kLeftDelay, otherModel->ControllerToParameter(7));

    model->RegisterMidiControllerMapping(9, MorlentDelay::kPan);
    RightClick(kLeftDelay, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ((Items{"MIDI Learn", "Forget CC: 7"}), LastMenu());
    EXPECT_FALSE(model->IsControllerMapped(7));
    EXPECT_EQ(MorlentDelay::kPan, model->ControllerToParameter(9)); // no other binding goes
}

TEST_F(EditorMenus, DismissingTheControlMenuStopsLearningAndLeavingShowsLearning)
{
    Open();
    model->StartLearningMidi(MorlentDelay::kPan);
    Send(Control(kLeftDelay)->GetHandle(), WM_MOUSELEAVE, 0, 0, 0);
    Pump();
    EXPECT_EQ("Learning...", StatusText());
    RightClick(kLeftDelay, {VK_ESCAPE});
    EXPECT_EQ(1, MenusOpened());
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ("", StatusText());
}

TEST_F(EditorMenus, TheTitleBannerOpensTheViewMenuWithCancelOnlyWhileLearning)
{
    Open();
    ClickView(29, 50, {VK_ESCAPE});
    ClickView(296, 50, {VK_ESCAPE});
    ClickView(100, 70, {VK_ESCAPE}); // the bottom edge is outside too
    EXPECT_EQ(0, MenusOpened());

    ClickView(30, 32, {VK_ESCAPE});
    EXPECT_EQ((Items{"About", "Clear All MIDI Learn"}), LastMenu());

    model->StartLearningMidi(kLeftDelay);
    ClickView(295, 69, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ((Items{"About", "Cancel MIDI Learn", "Clear All MIDI Learn"}), LastMenu());
    EXPECT_FALSE(model->IsLearningMidi());
    EXPECT_EQ(2, MenusOpened());
}

TEST_F(EditorMenus, ClearAllMidiLearnAsksFirst)
{
    Open();
    model->RegisterMidiControllerMapping(7, kLeftDelay);
    auto seen = std::make_shared<std::string>();
    AnswerBox(IDCANCEL, seen);
    ClickView(100, 50, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ("Warning!|This will erase all MIDI Learn data for this bank. Are you sure you want to do this?",
              *seen);
    EXPECT_TRUE(model->IsControllerMapped(7));

    model->StartLearningMidi(kLeftDelay);
    seen->clear();
    AnswerBox(IDOK, seen);
    ClickView(100, 50, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}); // three items while learning
    EXPECT_FALSE(seen->empty());
    EXPECT_FALSE(model->IsControllerMapped(7));
    EXPECT_FALSE(model->IsLearningMidi());
}

TEST_F(EditorMenus, AnEditorClosedUnderItsConfirmationBoxActsNoMore)
{
    Open();
    model->RegisterMidiControllerMapping(7, kLeftDelay);
    WhenDialogShows([this](HWND box) {
        Dispatch(effEditClose); // a host closing the editor from inside the box's loop
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
    });
    ClickView(100, 50, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(nullptr, View());
    EXPECT_TRUE(model->IsControllerMapped(7));
}

TEST_F(EditorMenus, TheAboutBoxStaysForTheWebsiteAndClosesWithOk)
{
    Open();
    int step = 0;
    bool stayedOpen = false;
    std::string caption;
    WhenDialogShows([&](HWND box) {
        if (step == 0) {
            caption = WindowText(box);
            SaveScreenshot(box, "about.png", true);
            PostMessageA(box, WM_COMMAND, MorlentDelay::kVisitWebsiteId, 0);
        } else if (step == 3) { // a few ticks later
            stayedOpen = IsWindowVisible(box) != FALSE;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return true;
        }
        ++step;
        return false;
    });
    ClickView(100, 50, {VK_DOWN, VK_RETURN});
    EXPECT_EQ("About Morlent Delay", caption);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(nullptr, FindWindowA("#32770", "About Morlent Delay"));

    // Escape (IDCANCEL) closes it as well.
    WhenDialogShows([](HWND box) { return PostMessageA(box, WM_COMMAND, IDCANCEL, 0) != FALSE; });
    ClickView(100, 50, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(nullptr, FindWindowA("#32770", "About Morlent Delay"));
}

} // namespace
