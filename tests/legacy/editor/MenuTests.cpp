// The first-generation editor's menus, the Clear All confirmation and the About box.

#include "tests/legacy/editor/LegacyEditorFixture.h"

#include "description/EffectDescription.h"
#include "tests/support/GuiDriver.h"

namespace {

using namespace LegacyEditorTest;
using namespace MorlentDelay;
using GuiDriver::WhenDialogShows;

class LegacyEditorMenus : public LegacyEditorFixture {
protected:
    static std::vector<std::string> LastMenu() { return GuiDriver::Current().lastMenu; }
    void Learn(int parameter, int controller)
    {
        RightClick(parameter, {VK_DOWN, VK_RETURN});
        ControlChangeOnAudioThread(controller, 64);
    }
    // The box's static texts, joined.
    static std::string BoxText(HWND box)
    {
        std::string text;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[32] = {};
            GetClassNameA(child, name, sizeof name);
            if (lstrcmpiA(name, "Static") == 0)
                text += GuiDriver::WindowText(child);
        }
        return text;
    }
};

TEST_F(LegacyEditorMenus, RightClickLearnsAControllerAndOffersToForgetIt)
{
    Open();
    RightClick(kCutoffFrequency, {VK_DOWN, VK_RETURN});
    EXPECT_EQ((std::vector<std::string>{"MIDI Learn"}), LastMenu());
    EXPECT_TRUE(model->IsLearning());
    EXPECT_EQ(kCutoffFrequency, model->GetLearnParameter());
    EXPECT_EQ("Learning...", StatusText());
    // Hover and leave leave the learning line alone.
    SendMessageA(Control(kLeftDelay)->GetHandle(), WM_MOUSEHOVER, 0, 0);
    SendMessageA(Control(kLeftDelay)->GetHandle(), WM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_EQ("Learning...", StatusText());

    ControlChangeOnAudioThread(21, 127);
    EXPECT_FALSE(model->IsLearning());
    EXPECT_TRUE(model->IsMapped(kCutoffFrequency));
    EXPECT_EQ(21, model->GetController(kCutoffFrequency));

    RightClick(kCutoffFrequency, {VK_ESCAPE});
    EXPECT_EQ((std::vector<std::string>{"MIDI Learn", "Forget CC: 21"}), LastMenu());
    EXPECT_TRUE(model->IsMapped(kCutoffFrequency)) << "a dismissed menu forgets nothing";
    RightClick(kCutoffFrequency, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_FALSE(model->IsMapped(kCutoffFrequency));
    EXPECT_EQ("", StatusText());
}

TEST_F(LegacyEditorMenus, OneControllerDrivesEveryParameterLearnedToIt)
{
    Open();
    Learn(kLeftDelay, 30);
    Learn(kRightDelay, 30);
    ControlChangeOnAudioThread(30, 0);
    EXPECT_EQ(0.0f, model->GetParameterValue(kLeftDelay));
    EXPECT_EQ(0.0f, model->GetParameterValue(kRightDelay));
    Idle();
    Pump();
    EXPECT_EQ(0.0f, Control(kLeftDelay)->GetValue());
    EXPECT_EQ(0.0f, Control(kRightDelay)->GetValue());
}

TEST_F(LegacyEditorMenus, TheViewMenuListsAllThreeItemsAndCancelStopsLearning)
{
    Open();
    // Outside the banner a click opens nothing.
    ClickView(10, 10, {});
    EXPECT_EQ(0, GuiDriver::Current().menusOpened);

    ClickView(100, 50, {VK_ESCAPE});
    EXPECT_EQ((std::vector<std::string>{"About", "Cancel MIDI Learn", "Clear All MIDI Learn"}), LastMenu());
    // Cancelling while not learning changes nothing, the status line included.
    SendMessageA(Control(kPan)->GetHandle(), WM_MOUSEHOVER, 0, 0);
    Pump();
    const std::string line = StatusText();
    ClickView(100, 50, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(line, StatusText());

    RightClick(kWetDryMix, {VK_DOWN, VK_RETURN});
    ASSERT_TRUE(model->IsLearning());
    ClickView(100, 50, {VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_FALSE(model->IsLearning());
    EXPECT_EQ("", StatusText());
}

TEST_F(LegacyEditorMenus, ClearAllAsksFirstAndClearsOnlyOnOk)
{
    Open();
    Learn(kFeedbackLevel, 11);
    Learn(kPan, 12);
    ASSERT_TRUE(model->IsMapped(kFeedbackLevel));

    std::string caption, question;
    WhenDialogShows([&](HWND box) {
        caption = GuiDriver::WindowText(box);
        question = BoxText(box);
        return PostMessageA(box, WM_COMMAND, IDCANCEL, 0) != FALSE;
    });
    ClickView(100, 50, {VK_UP, VK_RETURN});
    EXPECT_EQ("Warning!", caption);
    EXPECT_EQ("This will erase all MIDI Learn data for this bank. Are you sure you want to do this?", question);
    EXPECT_TRUE(model->IsMapped(kFeedbackLevel));

    WhenDialogShows([](HWND box) { return PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE; });
    ClickView(100, 50, {VK_UP, VK_RETURN});
    EXPECT_FALSE(model->IsMapped(kFeedbackLevel));
    EXPECT_FALSE(model->IsMapped(kPan));
}

TEST_F(LegacyEditorMenus, TheAboutBoxOpensTheSiteOnItsButtonAndClosesOnOkOrEscape)
{
    Open();
    // The button clicked by the mouse, by Space and by BM_CLICK: the box stays each time.
    int step = 0;
    bool stayed = true;
    bool captionless = false;
    WhenDialogShows([&](HWND box) {
        HWND visit = GetDlgItem(box, kFirstGenerationVisitWebsiteId);
        if (step == 0) {
            captionless = (GetWindowLongA(box, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
            EXPECT_EQ("Visit Website", GuiDriver::WindowText(visit));
            SaveScreenshot(box, "first-generation-about.png", true);
            PostMessageA(visit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageA(visit, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        } else if (step == 1) {
            stayed = stayed && IsWindowVisible(box);
            SetFocus(visit);
            PostMessageA(visit, WM_KEYDOWN, VK_SPACE, 0x00390001);
            PostMessageA(visit, WM_KEYUP, VK_SPACE, 0xC0390001);
        } else if (step == 2) {
            stayed = stayed && IsWindowVisible(box);
            PostMessageA(visit, BM_CLICK, 0, 0);
        } else if (step == 3) {
            stayed = stayed && IsWindowVisible(box);
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return true;
        }
        ++step;
        return false;
    });
    ClickView(100, 50, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(3, step);
    EXPECT_TRUE(captionless);
    EXPECT_TRUE(stayed) << "a click on Visit Website closed the box";
    EXPECT_EQ(nullptr, GuiDriver::FindThreadWindow("#32770"));

    // Escape, as the key: the dialog manager turns it into the button's identifier.
    WhenDialogShows([](HWND box) {
        HWND focus = GetFocus();
        PostMessageA(focus != nullptr ? focus : box, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageA(focus != nullptr ? focus : box, WM_KEYUP, VK_ESCAPE, 0xC0010001);
        return true;
    });
    ClickView(100, 50, {VK_DOWN, VK_RETURN});
    EXPECT_EQ(nullptr, GuiDriver::FindThreadWindow("#32770")) << "Escape left the About box open";
}

} // namespace
