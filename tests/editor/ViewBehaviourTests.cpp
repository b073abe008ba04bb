// What the editor's view decides, without any window system: the status line, the menus and
// their commands, first against a recording target, then against the real plug-in core.

#include "delay/MorlentDelayModel.h"
#include "editor/CoreEditTarget.h"
#include "editor/ViewBehaviour.h"
#include "framework/PluginCore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

using EditorCore::Menu;
using EditorCore::ViewBehaviour;

class RecordingTarget final : public EditorCore::EditTarget {
public:
    float GetValue(int) const override { return 0.5f; }
    const char* GetLongName(int parameter) const override { return MorlentDelay::kParameters[parameter].longName; }
    const char* GetLabel(int parameter) const override { return MorlentDelay::kParameters[parameter].label; }
    void GetDisplay(int, char* text) const override { std::strcpy(text, "0.250"); }
    void EditFromView(int parameter, float value) override { edits.emplace_back(parameter, value); }
    bool IsLearningMidi() const override { return learning >= 0; }
    void StartLearningMidi(int parameter) override { learning = parameter; }
    void StopLearningMidi() override { learning = -1; }
    int ControllerOf(int parameter) const override { return parameter == boundParameter ? boundController : -1; }
    void ForgetController(int controllerNumber) override { forgotten.push_back(controllerNumber); }
    void ClearMidiControllers() override { ++clears; }

    std::vector<std::pair<int, float>> edits;
    int learning = -1;
    int boundParameter = -1;
    int boundController = -1;
    std::vector<int> forgotten;
    int clears = 0;
};

class RecordingDisplay final : public EditorCore::StatusDisplay {
public:
    void ShowStatusText(const char* text) override { shown.push_back(text); }
    std::vector<std::string> shown;
};

std::vector<std::string> Texts(const Menu& menu)
{
    std::vector<std::string> texts;
    for (int i = 0; i < menu.count; ++i)
        texts.push_back(menu.entries[i].text);
    return texts;
}

class ViewBehaviourTest : public ::testing::Test {
protected:
    RecordingTarget target;
    RecordingDisplay display;
    ViewBehaviour behaviour{target, display};
};

TEST_F(ViewBehaviourTest, TheStatusLineNamesTheParameterItsDisplayAndItsLabel)
{
    behaviour.OnValueChanged(MorlentDelay::kLeftDelay, 0.5f);
    ASSERT_EQ(1u, target.edits.size());
    EXPECT_EQ(MorlentDelay::kLeftDelay, target.edits[0].first);
    behaviour.UpdateStatusText(MorlentDelay::kFeedbackLevel); // no label: a trailing blank
    EXPECT_EQ((std::vector<std::string>{"Left Delay: 0.250 Secs", "Feedback Level: 0.250 "}), display.shown);
    EXPECT_STREQ("Feedback Level: 0.250 ", behaviour.GetStatusBuffer());

    behaviour.OnLeave();
    target.learning = 2;
    behaviour.OnLeave();
    EXPECT_EQ("", display.shown[2]);
    EXPECT_EQ(ViewBehaviour::kLearningText, display.shown[3]);
}

TEST_F(ViewBehaviourTest, TheControlMenuOffersToForgetABoundControllerAndItsCommandsAct)
{
    EXPECT_EQ((std::vector<std::string>{"MIDI Learn"}), Texts(behaviour.ControlMenu(1)));
    target.boundParameter = 1;
    target.boundController = 7;
    const Menu menu = behaviour.ControlMenu(1);
    EXPECT_EQ((std::vector<std::string>{"MIDI Learn", "Forget CC: 7"}), Texts(menu));
    EXPECT_EQ(EditorCore::kForgetControllerCommand, menu.entries[1].command);

    behaviour.OnControlMenuCommand(4, EditorCore::kMidiLearnCommand);
    EXPECT_EQ(4, target.learning);
    EXPECT_EQ(ViewBehaviour::kLearningText, display.shown.back());
    behaviour.OnControlMenuCommand(1, EditorCore::kForgetControllerCommand);
    EXPECT_EQ((std::vector<int>{7}), target.forgotten);
    EXPECT_EQ(-1, target.learning);
    target.learning = 3;
    behaviour.OnControlMenuCommand(1, 0); // dismissed: learning stops too
    EXPECT_EQ(-1, target.learning);
    EXPECT_EQ("", display.shown.back());
    const size_t shown = display.shown.size();
    behaviour.OnControlMenuCommand(1, 99);
    EXPECT_EQ(shown, display.shown.size());
}

TEST_F(ViewBehaviourTest, TheViewMenuOffersCancellingOnlyWhileLearningAndClearingAsksFirst)
{
    EXPECT_EQ((std::vector<std::string>{"About", "Clear All MIDI Learn"}), Texts(behaviour.ViewMenu()));
    target.learning = 5;
    const Menu menu = behaviour.ViewMenu();
    EXPECT_EQ((std::vector<std::string>{"About", "Cancel MIDI Learn", "Clear All MIDI Learn"}), Texts(menu));
    EXPECT_EQ(EditorCore::kClearAllLearnCommand, menu.entries[2].command);

    EXPECT_EQ(ViewBehaviour::ViewMenuAction::kShowAbout, behaviour.OnViewMenuCommand(EditorCore::kAboutCommand));
    EXPECT_EQ(ViewBehaviour::ViewMenuAction::kAskToClearAll,
              behaviour.OnViewMenuCommand(EditorCore::kClearAllLearnCommand));
    EXPECT_EQ(0, target.clears); // nothing is erased before the answer
    EXPECT_EQ(5, target.learning);
    EXPECT_EQ(ViewBehaviour::ViewMenuAction::kNothing, behaviour.OnViewMenuCommand(EditorCore::kCancelLearnCommand));
    EXPECT_EQ(-1, target.learning);
    target.learning = 5;
    behaviour.OnClearAllConfirmed();
    EXPECT_EQ(1, target.clears);
    EXPECT_EQ(-1, target.learning);
    EXPECT_EQ(ViewBehaviour::ViewMenuAction::kNothing, behaviour.OnViewMenuCommand(0));
}

// The core as a VST 2 or VST 3 adapter has it, reporting its edits.
class RecordingCore final : public VstToolkit::PluginCore {
public:
    RecordingCore() : PluginCore(new MorlentDelayModel) { AttachToModel(); }
    std::vector<std::pair<int32_t, float>> edits;

protected:
    void ReportParameterEdit(int32_t index, float value) override { edits.emplace_back(index, value); }
};

TEST(CoreEditTarget, EditsReachTheHostAndLearnCommandsTheControllerMap)
{
    RecordingCore core;
    VstToolkit::Model& model = *core.GetModel();
    EditorCore::CoreEditTarget target(model, core);
    RecordingDisplay display;
    ViewBehaviour behaviour(target, display);

    behaviour.OnValueChanged(MorlentDelay::kLeftDelay, 0.25f);
    ASSERT_EQ(1u, core.edits.size());
    EXPECT_FLOAT_EQ(0.25f, core.GetParameterValue(MorlentDelay::kLeftDelay));
    char expected[MorlentDelay::kDisplaySize + 1] = {};
    core.GetParameterDisplay(MorlentDelay::kLeftDelay, expected);
    EXPECT_EQ(std::string("Left Delay: ") + expected + " Secs", display.shown.back());

    model.RegisterMidiControllerMapping(20, MorlentDelay::kPan);
    model.RegisterMidiControllerMapping(9, MorlentDelay::kPan);
    model.RegisterMidiControllerMapping(30, MorlentDelay::kFilter);
    EXPECT_EQ("Forget CC: 9", Texts(behaviour.ControlMenu(MorlentDelay::kPan)).back());
    behaviour.OnControlMenuCommand(MorlentDelay::kPan, EditorCore::kForgetControllerCommand);
    EXPECT_FALSE(model.IsControllerMapped(9));
    EXPECT_TRUE(model.IsControllerMapped(20));
    EXPECT_TRUE(model.IsControllerMapped(30));

    behaviour.OnControlMenuCommand(MorlentDelay::kSync, EditorCore::kMidiLearnCommand);
    EXPECT_TRUE(model.IsLearningMidi());
    behaviour.OnClearAllConfirmed();
    EXPECT_FALSE(model.IsLearningMidi());
    EXPECT_FALSE(model.IsControllerMapped(20));
    EXPECT_FALSE(model.IsControllerMapped(30));
}

} // namespace
