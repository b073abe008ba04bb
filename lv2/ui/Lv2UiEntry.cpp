// The LV2 UI binary's entry point and the descriptor's functions. Each one is a host boundary:
// it checks the instance pointer and lets no exception out.

#include "lv2/ui/Lv2Ui.h"

#include <lv2/ui/ui.h>

#include <cstring>

namespace {

using MorlentLv2::Lv2Ui;

Lv2Ui* UiOf(LV2UI_Handle handle)
{
    return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    try {
        if (widget == nullptr)
            return nullptr;
        std::unique_ptr<Lv2Ui> ui = Lv2Ui::Create(pluginUri, write, controller, features);
        if (ui == nullptr)
            return nullptr;
        *widget = ui->Widget();
        return ui.release();
    } catch (...) {
        return nullptr;
    }
}

void Cleanup(LV2UI_Handle handle)
{
    try {
        delete UiOf(handle);
    } catch (...) {
    }
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer)
{
    try {
        if (handle != nullptr)
            UiOf(handle)->PortEvent(port, size, format, buffer);
    } catch (...) {
    }
}

int Idle(LV2UI_Handle handle)
{
    try {
        return handle != nullptr ? UiOf(handle)->Idle() : 1;
    } catch (...) {
        return 1;
    }
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

const void* ExtensionData(const char* uri)
{
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &kIdleInterface;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {MorlentLv2::kUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index)
{
    return index == 0 ? &kDescriptor : nullptr;
}
