// The params extension: the twelve parameters in display units, their texts, the host's
// values outside process (flush), and what the effect changed by itself told back to the host:
// a learned controller's move inside process, an editor's edit from the user-interface thread
// through a small lock-free queue.

#include "clap/ClapEffect.h"

#include "clap/ClapCalls.h"
#include "common/FixedString.h"
#include "framework/DisplayUnits.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace MorlentClap {

namespace {

bool SameText(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// ---- The extension's functions -----------------------------------------------------------------

uint32_t ParamsCount(const Clap::Plugin* plugin)
{
    return Call(plugin, 0u, [](ClapEffect&) { return static_cast<uint32_t>(MorlentDelay::kParameterCount); });
}

bool ParamsGetInfo(const Clap::Plugin* plugin, uint32_t index, Clap::ParamInfo* info)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.GetParamInfo(index, info); });
}

bool ParamsGetValue(const Clap::Plugin* plugin, Clap::Id id, double* value)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.GetParamValue(id, value); });
}

bool ParamsValueToText(const Clap::Plugin* plugin, Clap::Id id, double value, char* text, uint32_t capacity)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.ParamValueToText(id, value, text, capacity); });
}

bool ParamsTextToValue(const Clap::Plugin* plugin, Clap::Id id, const char* text, double* value)
{
    return Call(plugin, false, [&](ClapEffect& effect) { return effect.ParamTextToValue(id, text, value); });
}

void ParamsFlush(const Clap::Plugin* plugin, const Clap::InputEvents* in, const Clap::OutputEvents* out)
{
    Call(plugin, false, [&](ClapEffect& effect) {
        effect.Flush(in, out);
        return true;
    });
}

constexpr Clap::PluginParams kParams{ParamsCount,       ParamsGetInfo,     ParamsGetValue,
                                     ParamsValueToText, ParamsTextToValue, ParamsFlush};

} // namespace

const Clap::PluginParams& ParamsExtension()
{
    return kParams;
}

bool ClapEffect::GetParamInfo(uint32_t index, Clap::ParamInfo* info) const
{
    if (info == nullptr || index >= static_cast<uint32_t>(GetParameterCount()))
        return false;
    const auto parameter = static_cast<int32_t>(index);
    const VstToolkit::ParameterInfo* facts = GetParameterInfo(parameter);
    const VstToolkit::DisplayRange& range = VstToolkit::kDisplayRanges[parameter];
    std::memset(info, 0, sizeof *info);
    info->id = index;
    info->flags = Clap::kParamIsAutomatable;
    // Switches and choices: whole steps, each with its entry's name.
    if (facts->entryCount > 0)
        info->flags |= Clap::kParamIsStepped | Clap::kParamIsEnum;
    Morlent::CopyFixedString(info->name, facts->longName, sizeof info->name);
    info->minValue = range.minimum;
    info->maxValue = range.maximum;
    info->defaultValue = VstToolkit::ExactDisplayValue(parameter, facts->defaultValue);
    return true;
}

bool ClapEffect::GetParamValue(Clap::Id id, double* value) const
{
    if (value == nullptr || !IsParameter(id))
        return false;
    const auto parameter = static_cast<int32_t>(id);
    // The value that gives back exactly what the core holds, so a host's saved value restores it.
    *value = VstToolkit::ExactDisplayValue(parameter, GetParameterValue(parameter));
    return true;
}

bool ClapEffect::ParamValueToText(Clap::Id id, double value, char* text, uint32_t capacity) const
{
    if (text == nullptr || capacity == 0 || !IsParameter(id) || std::isnan(value))
        return false;
    const auto parameter = static_cast<int32_t>(id);
    char display[MorlentDelay::kDisplaySize];
    FormatParameterValue(parameter, VstToolkit::FromDisplayValue(parameter, static_cast<float>(value)), display);
    const char* label = GetParameterInfo(parameter)->label;
    char whole[MorlentDelay::kDisplaySize + MorlentDelay::kLabelSize + 1];
    std::snprintf(whole, sizeof whole, label[0] != '\0' ? "%s %s" : "%s", display, label);
    Morlent::CopyFixedString(text, whole, capacity > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(capacity));
    return true;
}

bool ClapEffect::ParamTextToValue(Clap::Id id, const char* text, double* value) const
{
    if (text == nullptr || value == nullptr || !IsParameter(id))
        return false;
    const auto parameter = static_cast<int32_t>(id);
    const VstToolkit::ParameterInfo* facts = GetParameterInfo(parameter);
    // No text of ours is longer; the label may follow the number or the entry.
    char own[64];
    if (std::strlen(text) >= sizeof own)
        return false;
    Morlent::CopyFixedString(own, text, sizeof own);
    const size_t labelLength = std::strlen(facts->label);
    size_t length = std::strlen(own);
    while (length > 0 && std::isspace(static_cast<unsigned char>(own[length - 1])) != 0)
        own[--length] = '\0';
    if (labelLength > 0 && length >= labelLength && SameText(own + length - labelLength, facts->label))
        own[length -= labelLength] = '\0';
    while (length > 0 && std::isspace(static_cast<unsigned char>(own[length - 1])) != 0)
        own[--length] = '\0';
    const char* start = own;
    while (std::isspace(static_cast<unsigned char>(*start)) != 0)
        ++start;
    if (facts->entryCount > 0) {
        for (int32_t entry = 0; entry < facts->entryCount; ++entry)
            if (SameText(start, facts->entries[entry])) {
                *value = entry;
                return true;
            }
        return false;
    }
    // A continuous parameter shows its value in display units: the number is the value.
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    if (end == start || *end != '\0' || !std::isfinite(number))
        return false;
    const VstToolkit::DisplayRange& range = VstToolkit::kDisplayRanges[parameter];
    *value = number < range.minimum ? range.minimum : (number > range.maximum ? range.maximum : number);
    return true;
}

void ClapEffect::Flush(const Clap::InputEvents* in, const Clap::OutputEvents* out)
{
    if (in != nullptr && in->size != nullptr && in->get != nullptr) {
        const uint32_t count = in->size(in);
        for (uint32_t i = 0; i < count; ++i) {
            const Clap::EventHeader* event = in->get(in, i);
            // Outside a block only parameter values mean anything.
            if (event != nullptr && event->size >= sizeof(Clap::ParamValueEvent) &&
                event->spaceId == Clap::kCoreEventSpace && event->type == Clap::kEventParamValue)
                ApplyParamValue(*reinterpret_cast<const Clap::ParamValueEvent*>(event));
        }
    }
    SendEditorEdits(out != nullptr && out->tryPush != nullptr ? out : nullptr);
}

// ---- What the effect changed by itself -----------------------------------------------------------

bool ClapEffect::PushParamEvent(const Clap::OutputEvents* out, uint16_t type, uint32_t time, uint32_t flags,
                                int32_t parameter, float value)
{
    if (type == Clap::kEventParamValue) {
        Clap::ParamValueEvent event{};
        event.header = {sizeof event, time, Clap::kCoreEventSpace, type, flags};
        event.paramId = static_cast<Clap::Id>(parameter);
        event.noteId = -1;
        event.portIndex = event.channel = event.key = -1;
        event.value = VstToolkit::ExactDisplayValue(parameter, value);
        return out->tryPush(out, &event.header);
    }
    Clap::ParamGestureEvent event{};
    event.header = {sizeof event, time, Clap::kCoreEventSpace, type, flags};
    event.paramId = static_cast<Clap::Id>(parameter);
    return out->tryPush(out, &event.header);
}

void ClapEffect::ReportParameterEdit(int32_t index, float value)
{
    if (audioThread.load(std::memory_order_relaxed) == std::this_thread::get_id()) {
        // A learned controller inside process: the host hears it at the frame it moved.
        if (blockOut != nullptr)
            PushParamEvent(blockOut, Clap::kEventParamValue, blockPosition, 0, index, value);
        return;
    }
    // The editor, on the user-interface thread: a drag is one gesture from press to release.
    if (gestureParameter != index) {
        EndEditorGesture();
        QueueEditorEdit(Clap::kEventParamGestureBegin, index, 0.0f);
        gestureParameter = index;
    }
    QueueEditorEdit(Clap::kEventParamValue, index, value);
    if (EditorHoldsPointer())
        WatchEditorGesture(this);
    else
        EndEditorGesture();
}

void ClapEffect::EndEditorGesture()
{
    if (gestureParameter < 0)
        return;
    const int32_t parameter = gestureParameter;
    gestureParameter = -1;
    QueueEditorEdit(Clap::kEventParamGestureEnd, parameter, 0.0f);
}

void ClapEffect::QueueEditorEdit(uint16_t type, int32_t parameter, float value)
{
    const uint32_t written = editsWritten.load(std::memory_order_relaxed);
    const uint32_t read = editsRead.load(std::memory_order_acquire);
    // Full (the host has not processed for a thousand edits): the value stands in the core, the
    // host hears of it no more.
    if (written - read < kEditQueueSize) {
        edits[written & (kEditQueueSize - 1)] = EditorEdit{type, parameter, value};
        editsWritten.store(written + 1, std::memory_order_release);
    }
    // Inside a block the next one takes the edit; otherwise the host flushes for it. Never from
    // the audio thread, as the format asks.
    if (!processing.load() && hostParams != nullptr && hostParams->requestFlush != nullptr &&
        audioThread.load(std::memory_order_relaxed) != std::this_thread::get_id())
        hostParams->requestFlush(host);
}

void ClapEffect::SendEditorEdits(const Clap::OutputEvents* out)
{
    static_assert((kEditQueueSize & (kEditQueueSize - 1)) == 0, "the queue wraps by masking its counters");
    uint32_t read = editsRead.load(std::memory_order_relaxed);
    const uint32_t written = editsWritten.load(std::memory_order_acquire);
    for (; read != written; ++read) {
        const EditorEdit& edit = edits[read & (kEditQueueSize - 1)];
        if (out != nullptr)
            PushParamEvent(out, edit.type, 0, Clap::kEventIsLive, edit.parameter, edit.value);
    }
    editsRead.store(read, std::memory_order_release);
}

} // namespace MorlentClap
