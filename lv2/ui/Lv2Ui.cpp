#include "lv2/ui/Lv2Ui.h"

#include "editor/EmbeddedEditor.h"
#include "editor/x11/X11Editor.h"
#include "framework/ParameterView.h"
#include "lv2/Features.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <string>

namespace MorlentLv2 {

namespace {

bool IsParameter(int parameter)
{
    return parameter >= 0 && parameter < MorlentDelay::kParameterCount;
}

void Log(LV2_Log_Log* log, LV2_URID type, const std::string& message)
{
    if (log != nullptr && type != 0)
        log->printf(log->handle, type, "Morlent Delay: %s\n", message.c_str());
}

} // namespace

std::unique_ptr<Lv2Ui> Lv2Ui::Create(const char* pluginUri, LV2UI_Write_Function write, LV2UI_Controller controller,
                                     const LV2_Feature* const* features)
{
    auto* map = static_cast<LV2_URID_Map*>(FeatureData(features, LV2_URID__map));
    if (map != nullptr && map->map == nullptr)
        map = nullptr;
    auto* log = static_cast<LV2_Log_Log*>(FeatureData(features, LV2_LOG__log));
    if (log != nullptr && log->printf == nullptr)
        log = nullptr;
    const LV2_URID logError = map != nullptr ? map->map(map->handle, LV2_LOG__Error) : 0;
    const auto refuse = [&](const char* reason) {
        Log(log, logError, std::string("the editor cannot open: ") + reason);
        return nullptr;
    };
    if (pluginUri == nullptr || std::strcmp(pluginUri, kPluginUri) != 0)
        return refuse("it belongs to another plug-in");
    if (write == nullptr)
        return refuse("the host gives it no way to write to the plug-in's ports");
    if (map == nullptr)
        return refuse("the host offers no URID map");
    // The parent's data is the X11 window id itself.
    const LV2_Feature* parent = FindFeature(features, LV2_UI__parent);
    if (parent == nullptr || parent->data == nullptr)
        return refuse("the host gives no parent window");
    auto* touch = static_cast<LV2UI_Touch*>(FeatureData(features, LV2_UI__touch));
    if (touch != nullptr && touch->touch == nullptr)
        touch = nullptr;
    auto* resize = static_cast<LV2UI_Resize*>(FeatureData(features, LV2_UI__resize));

    std::unique_ptr<Lv2Ui> ui(new Lv2Ui(write, controller, map, touch));
    if (!ui->urids.Complete())
        return refuse("the host's URID map failed");
    std::string error;
    ui->editor = X11Toolkit::X11Editor::Open(reinterpret_cast<uintptr_t>(parent->data), *ui, error);
    if (ui->editor == nullptr)
        return refuse(error.c_str());
    if (resize != nullptr && resize->ui_resize != nullptr) {
        const Pictures::Size size = EditorCore::DelayEditorSize();
        resize->ui_resize(resize->handle, size.width, size.height);
    }
    // The plug-in may have learned, or its controllers moved values, before the editor opened.
    ui->WriteCommand(LearnAction::kSendState);
    return ui;
}

Lv2Ui::Lv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller, LV2_URID_Map* map, LV2UI_Touch* touch)
    : write(write), controller(controller), touch(touch), urids(MapLearnUrids(map))
{
    eventTransfer = map->map(map->handle, LV2_ATOM__eventTransfer);
    floatProtocol = map->map(map->handle, LV2_UI__floatProtocol);
}

Lv2Ui::~Lv2Ui()
{
    // The editor closes first: a drag it still holds never ends, so its gesture ends here.
    editor.reset();
    Release();
}

LV2UI_Widget Lv2Ui::Widget() const noexcept
{
    return reinterpret_cast<LV2UI_Widget>(static_cast<uintptr_t>(editor->GetWindow()));
}

int Lv2Ui::Idle()
{
    editor->DispatchEvents();
    return editor->IsOpen() ? 0 : 1;
}

void Lv2Ui::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    if (buffer == nullptr)
        return;
    if (port < kControlPortCount) {
        if ((format != 0 && format != floatProtocol) || size != sizeof(float))
            return;
        // Our own writes come back from the host a little later; during a gesture they would
        // pull the knob back under the pointer.
        if (touching == static_cast<int>(port))
            return;
        float value = 0.0f;
        std::memcpy(&value, buffer, sizeof value);
        ShowValue(static_cast<int>(port), ToParameterValue(port, value));
    } else if (port == kNotifyPort && format == eventTransfer && eventTransfer != 0) {
        OnNotification(static_cast<const LV2_Atom*>(buffer), size);
    }
}

void Lv2Ui::ShowValue(int parameter, float value)
{
    // The mirror keeps the value within 0..1 and ignores a NaN, as the plug-in's core does.
    mirror.SetParameterValue(parameter, value);
    editor->GetParameterView()->UpdateParameterControl(parameter, mirror.GetParameterValue(parameter));
}

void Lv2Ui::OnNotification(const LV2_Atom* atom, uint32_t size)
{
    LearnState state;
    ControllerMove move;
    if (ReadLearnState(urids, atom, size, state)) {
        // A learn we asked for ended on the plug-in's side: a controller arrived and bound. The
        // plug-in answers within a few blocks, sooner than anyone starts another learn.
        const bool learned = learn.learning && !state.learning;
        learn = state;
        if (learned)
            editor->GetParameterView()->SetStatusText("");
    } else if (ReadControllerMove(urids, atom, size, move)) {
        ShowValue(move.parameter, move.value);
    }
}

float Lv2Ui::GetValue(int parameter) const
{
    return mirror.GetParameterValue(parameter);
}

const char* Lv2Ui::GetLongName(int parameter) const
{
    return mirror.GetParameterLongName(parameter);
}

const char* Lv2Ui::GetLabel(int parameter) const
{
    return mirror.GetParameterLabel(parameter);
}

void Lv2Ui::GetDisplay(int parameter, char* text) const
{
    mirror.GetParameterDisplay(parameter, text);
}

void Lv2Ui::EditFromView(int parameter, float value)
{
    if (!IsParameter(parameter))
        return;
    mirror.SetParameterValue(parameter, value);
    const float stored = mirror.GetParameterValue(parameter);
    if (editor->IsDragging()) {
        // A drag is one gesture however many edits it makes.
        if (touching != parameter) {
            Release();
            Grab(parameter);
            editor->WhenDragEnds([this] { Release(); });
        }
        WritePort(parameter, stored);
        return;
    }
    // A wheel step: a gesture of its own.
    Release();
    Grab(parameter);
    WritePort(parameter, stored);
    Release();
}

void Lv2Ui::StartLearningMidi(int parameter)
{
    if (!IsParameter(parameter))
        return;
    learn.learning = true;
    learn.parameter = parameter;
    WriteCommand(LearnAction::kStart, parameter);
}

void Lv2Ui::StopLearningMidi()
{
    learn.learning = false;
    WriteCommand(LearnAction::kStop);
}

int Lv2Ui::ControllerOf(int parameter) const
{
    return IsParameter(parameter) ? learn.controllers[parameter] : -1;
}

void Lv2Ui::ForgetController(int controllerNumber)
{
    if (controllerNumber < 0 || controllerNumber >= VstToolkit::Model::kControllerCount)
        return;
    for (int32_t& number : learn.controllers)
        if (number == controllerNumber)
            number = -1;
    WriteCommand(LearnAction::kForget, controllerNumber);
}

void Lv2Ui::ClearMidiControllers()
{
    for (int32_t& number : learn.controllers)
        number = -1;
    WriteCommand(LearnAction::kClearAll);
}

void Lv2Ui::WritePort(int parameter, float value)
{
    // The port value that gives the plug-in exactly the value the editor shows.
    const auto port = static_cast<uint32_t>(parameter);
    const float portValue = ExactPortValue(port, value);
    write(controller, port, sizeof portValue, 0, &portValue);
}

void Lv2Ui::WriteCommand(LearnAction action, int32_t number)
{
    alignas(8) uint8_t message[kLargestMessageSize];
    const uint32_t size = WriteLearnCommand(urids, LearnCommand{action, number}, message, sizeof message);
    if (size != 0)
        write(controller, kEventsInPort, size, eventTransfer, message);
}

void Lv2Ui::Grab(int parameter)
{
    touching = parameter;
    if (touch != nullptr)
        touch->touch(touch->handle, static_cast<uint32_t>(parameter), true);
}

void Lv2Ui::Release()
{
    if (touching < 0)
        return;
    const auto port = static_cast<uint32_t>(touching);
    touching = -1;
    if (touch != nullptr)
        touch->touch(touch->handle, port, false);
}

} // namespace MorlentLv2
