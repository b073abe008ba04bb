// The parameters as the edit controller lists, shows, parses and sets them, the edits the
// effect reports to the host, and the MIDI controllers the host maps onto hidden parameters.

#include "vst3/Vst3Effect.h"

#include "description/EffectDescription.h"
#include "vst3/Vst3EffectInternal.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace MorlentVst3 {

namespace {

// Plain ASCII of a host's text; false when it is longer than any of our texts could be.
bool FromTChar(const TChar* text, char* out, size_t size)
{
    size_t i = 0;
    for (; text[i] != 0; ++i) {
        if (i + 1 >= size)
            return false;
        out[i] = text[i] < 128 ? static_cast<char>(text[i]) : '?';
    }
    out[i] = '\0';
    return true;
}

bool SameText(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b)
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

// A text's leading number, if it has one.
bool ParseNumber(const char* text, double& number)
{
    char* end = nullptr;
    number = std::strtod(text, &end);
    return end != text && std::isfinite(number);
}

} // namespace

// ---- IEditController -----------------------------------------------------------------------------

int32 VST3_API Vst3Effect::getParameterCount()
{
    return GetParameterCount() + kExtraParameterCount + kControllerParamCount;
}

tresult VST3_API Vst3Effect::getParameterInfo(int32 paramIndex, Vst3::ParameterInfo& info)
{
    if (paramIndex < 0 || paramIndex >= getParameterCount())
        return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.unitId = kRootUnitId;
    if (paramIndex < GetParameterCount()) {
        const VstToolkit::ParameterInfo* facts = GetParameterInfo(paramIndex);
        info.id = static_cast<ParamID>(paramIndex);
        ToString128(facts->longName, info.title);
        ToString128(facts->shortName, info.shortTitle);
        ToString128(facts->label, info.units);
        info.stepCount = facts->entryCount > 0 ? facts->entryCount - 1 : 0;
        info.defaultNormalizedValue = facts->defaultValue;
        info.flags = Vst3::ParameterInfo::kCanAutomate;
        if (facts->kind == MorlentDelay::ParameterKind::kChoice)
            info.flags |= Vst3::ParameterInfo::kIsList;
    } else if (paramIndex == GetParameterCount()) {
        info.id = kBypassParamId;
        ToString128("Bypass", info.title);
        ToString128("Byp", info.shortTitle);
        info.stepCount = 1;
        info.defaultNormalizedValue = 0.0;
        info.flags = Vst3::ParameterInfo::kCanAutomate | Vst3::ParameterInfo::kIsBypass;
    } else if (paramIndex == GetParameterCount() + 1) {
        info.id = kProgramParamId;
        ToString128("Program", info.title);
        ToString128("Prg", info.shortTitle);
        info.stepCount = GetProgramCount() - 1;
        info.defaultNormalizedValue = 0.0;
        info.flags = Vst3::ParameterInfo::kIsProgramChange | Vst3::ParameterInfo::kIsList;
    } else {
        const int32 number = paramIndex - GetParameterCount() - kExtraParameterCount;
        info.id = kFirstControllerParamId + static_cast<ParamID>(number);
        char title[32];
        std::snprintf(title, sizeof title, "MIDI CC %d", static_cast<int>(number));
        ToString128(title, info.title);
        std::snprintf(title, sizeof title, "CC%d", static_cast<int>(number));
        ToString128(title, info.shortTitle);
        info.stepCount = 127;
        info.flags = Vst3::ParameterInfo::kCanAutomate | Vst3::ParameterInfo::kIsHidden;
    }
    return kResultOk;
}

tresult VST3_API Vst3Effect::getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string)
{
    if (string == nullptr)
        return kInvalidArgument;
    const float value = Clamp01(valueNormalized);
    if (IsEffectParameter(id)) {
        char text[MorlentDelay::kDisplaySize];
        FormatParameterValue(static_cast<int32_t>(id), value, text);
        ToString128(text, string);
    } else if (id == kBypassParamId) {
        ToString128(value >= 0.5f ? "On" : "Off", string);
    } else if (id == kProgramParamId) {
        ToString128(GetProgramName(ProgramFromNormalized(valueNormalized, GetProgramCount())), string);
    } else if (IsControllerParameter(id)) {
        char text[8];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(value * 127.0f)));
        ToString128(text, string);
    } else {
        return kInvalidArgument;
    }
    return kResultOk;
}

tresult VST3_API Vst3Effect::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized)
{
    if (string == nullptr)
        return kInvalidArgument;
    char text[64];
    if (!FromTChar(string, text, sizeof text))
        return kResultFalse;
    if (id == kBypassParamId) {
        if (SameText(text, "On") || SameText(text, "1")) {
            valueNormalized = 1.0;
            return kResultOk;
        }
        if (SameText(text, "Off") || SameText(text, "0")) {
            valueNormalized = 0.0;
            return kResultOk;
        }
        return kResultFalse;
    }
    if (id == kProgramParamId) {
        for (int32 program = 0; program < GetProgramCount(); ++program)
            if (SameText(text, GetProgramName(program))) {
                valueNormalized = static_cast<double>(program) / (GetProgramCount() - 1);
                return kResultOk;
            }
        return kResultFalse;
    }
    if (!IsEffectParameter(id))
        return kInvalidArgument;
    const VstToolkit::ParameterInfo* facts = GetParameterInfo(static_cast<int32_t>(id));
    if (facts->entryCount > 0) {
        for (int32 entry = 0; entry < facts->entryCount; ++entry)
            if (SameText(text, facts->entries[entry])) {
                valueNormalized = static_cast<double>(entry) / (facts->entryCount - 1);
                return kResultOk;
            }
        return kResultFalse;
    }
    // A continuous parameter: the value whose display text reads nearest to the number given.
    double wanted = 0.0;
    if (!ParseNumber(text, wanted))
        return kResultFalse;
    // A coarse pass over the whole range, then finer ones around the best value so far.
    constexpr int kSteps = 4096;
    double bestDistance = INFINITY;
    double best = 0.0;
    double low = 0.0;
    double span = 1.0;
    for (int pass = 0; pass < 3; ++pass) {
        for (int step = 0; step <= kSteps; ++step) {
            const double candidate = low + span * step / kSteps;
            if (candidate < 0.0 || candidate > 1.0)
                continue;
            char display[MorlentDelay::kDisplaySize];
            FormatParameterValue(static_cast<int32_t>(id), static_cast<float>(candidate), display);
            double shown = 0.0;
            if (!ParseNumber(display, shown))
                continue;
            const double distance = std::fabs(shown - wanted);
            if (distance < bestDistance) {
                bestDistance = distance;
                best = candidate;
            }
        }
        span = 2.0 * span / kSteps;
        low = best - span / 2.0;
    }
    valueNormalized = best;
    return bestDistance < INFINITY ? kResultOk : kResultFalse;
}

ParamValue VST3_API Vst3Effect::normalizedParamToPlain(ParamID id, ParamValue valueNormalized)
{
    if (id == kProgramParamId)
        return ProgramFromNormalized(valueNormalized, GetProgramCount());
    if (id == kBypassParamId)
        return Clamp01(valueNormalized) >= 0.5f ? 1.0 : 0.0;
    if (IsEffectParameter(id)) {
        const int32 steps = GetParameterInfo(static_cast<int32_t>(id))->entryCount - 1;
        if (steps > 0)
            return std::floor(Clamp01(valueNormalized) * steps + 0.5);
    }
    return valueNormalized;
}

ParamValue VST3_API Vst3Effect::plainParamToNormalized(ParamID id, ParamValue plainValue)
{
    int32 steps = 0;
    if (id == kProgramParamId)
        steps = GetProgramCount() - 1;
    else if (id == kBypassParamId)
        steps = 1;
    else if (IsEffectParameter(id))
        steps = GetParameterInfo(static_cast<int32_t>(id))->entryCount - 1;
    if (steps > 0)
        return Clamp01(plainValue / steps);
    return Clamp01(plainValue);
}

ParamValue VST3_API Vst3Effect::getParamNormalized(ParamID id)
{
    if (IsEffectParameter(id))
        return GetParameterValue(static_cast<int32_t>(id));
    if (id == kBypassParamId)
        return 1.0 - GetParameterValue(MorlentDelay::kEnabled);
    if (id == kProgramParamId)
        return static_cast<double>(GetSelectedProgram()) / (GetProgramCount() - 1);
    return 0.0;
}

tresult VST3_API Vst3Effect::setParamNormalized(ParamID id, ParamValue value)
{
    try {
        if (!std::isfinite(value))
            return kInvalidArgument;
        if (id == kProgramParamId) {
            SetProgramFromHost(value);
            return kResultOk;
        }
        if (IsControllerParameter(id))
            return kResultOk; // controllers reach the effect inside process, at their frames
        if (!IsEffectParameter(id) && id != kBypassParamId)
            return kInvalidArgument;
        ApplyParameter(id, Clamp01(value));
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

tresult VST3_API Vst3Effect::setComponentHandler(IComponentHandler* newHandler)
{
    if (newHandler == handler)
        return kResultOk;
    if (newHandler != nullptr)
        newHandler->addRef();
    if (handler != nullptr)
        handler->release();
    handler = newHandler;
    return kResultOk;
}

void Vst3Effect::EndOpenEdit()
{
    if (openEdit < 0)
        return;
    const ParamID id = static_cast<ParamID>(openEdit);
    openEdit = -1;
    if (handler != nullptr)
        handler->endEdit(id);
}

void Vst3Effect::ReportParameterEdit(int32_t index, float value)
{
    if (audioThread.load() == std::this_thread::get_id()) {
        // A learned controller inside process: the host hears it in the block's output changes.
        if (outputChanges == nullptr)
            return;
        int32 queueIndex = 0;
        const ParamID id = static_cast<ParamID>(index);
        if (IParamValueQueue* queue = outputChanges->addParameterData(id, queueIndex)) {
            int32 pointIndex = 0;
            queue->addPoint(outputOffset, value, pointIndex);
        }
        return;
    }
    // The view, on the user-interface thread: a drag is one edit from press to release.
    if (handler == nullptr)
        return;
    const ParamID id = static_cast<ParamID>(index);
    if (openEdit != index) {
        EndOpenEdit();
        handler->beginEdit(id);
        openEdit = index;
    }
    handler->performEdit(id, value);
    if (PointerCaptured())
        WatchDragEnd(this);
    else
        EndOpenEdit();
}

// ---- IMidiMapping --------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber number, ParamID& id)
{
    // Every controller on every channel reaches the effect, which binds what MIDI Learn taught it.
    if (busIndex != 0 || channel < 0 || channel >= kMidiChannelCount || number < 0 || number >= kControllerParamCount)
        return kResultFalse;
    id = kFirstControllerParamId + static_cast<ParamID>(number);
    return kResultTrue;
}

} // namespace MorlentVst3
