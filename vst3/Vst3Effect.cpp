#include "vst3/Vst3Effect.h"

#include "delay/MorlentDelayModel.h"
#include "description/EffectDescription.h"
#include "common/Chunk.h"
#ifdef _WIN32
#include "vst3/Vst3PlugView.h"
#endif

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace MorlentVst3 {

namespace {

constexpr int32 kExtraParameterCount = 2; // bypass and program change, then the controllers
constexpr int32 kMidiChannelCount = 16;
constexpr int32 kChannelCount = 2;

void ToString128(const char* text, String128 out)
{
    int i = 0;
    if (text != nullptr)
        for (; i < 127 && text[i] != '\0'; ++i)
            out[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
    out[i] = 0;
}

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

float Clamp01(ParamValue value)
{
    if (!(value >= 0.0)) // NaN too
        return 0.0f;
    return value > 1.0 ? 1.0f : static_cast<float>(value);
}

int32 ProgramFromNormalized(ParamValue value, int32 count)
{
    const int32 program = static_cast<int32>(std::lround(Clamp01(value) * (count - 1)));
    return program < 0 ? 0 : (program >= count ? count - 1 : program);
}

// The state stream from where it stands to its end; false past the largest state we could ever
// have written, or when the stream misbehaves.
bool ReadStream(IBStream* stream, std::vector<uint8_t>& bytes)
{
    constexpr int32 kPiece = 16384;
    uint8_t piece[kPiece];
    for (;;) {
        int32 got = 0;
        const tresult result = stream->read(piece, kPiece, &got);
        if (got < 0 || got > kPiece)
            return false;
        bytes.insert(bytes.end(), piece, piece + got);
        if (static_cast<int64_t>(bytes.size()) > VstToolkit::PluginCore::kMaxStateSize)
            return false;
        if (result != kResultOk || got < kPiece)
            return true;
    }
}

#ifndef _WIN32
// Without an editor there is no drag to wait for.
bool PointerCaptured()
{
    return false;
}
void WatchDragEnd(Vst3Effect*) {}
void ForgetDragWatch(Vst3Effect*) {}
#endif

} // namespace

Uid MakeVst2CompatibleClassId(int32_t uniqueId, const char* name)
{
    // "VST" as three bytes, then the unique ID, then nine name characters.
    uint8_t bytes[16] = {};
    const uint32_t id = static_cast<uint32_t>(uniqueId);
    bytes[0] = 'V';
    bytes[1] = 'S';
    bytes[2] = 'T';
    bytes[3] = static_cast<uint8_t>(id >> 24);
    bytes[4] = static_cast<uint8_t>(id >> 16);
    bytes[5] = static_cast<uint8_t>(id >> 8);
    bytes[6] = static_cast<uint8_t>(id);
    bool ended = false;
    for (int i = 0; i < 9; ++i) {
        uint8_t c = 0;
        if (!ended && name != nullptr && name[i] != '\0')
            c = static_cast<uint8_t>(std::tolower(static_cast<unsigned char>(name[i])));
        else
            ended = true;
        bytes[7 + i] = c;
    }
    auto word = [&](int at) {
        return (uint32_t(bytes[at]) << 24) | (uint32_t(bytes[at + 1]) << 16) | (uint32_t(bytes[at + 2]) << 8) |
               uint32_t(bytes[at + 3]);
    };
    return Uid::Make(word(0), word(4), word(8), word(12));
}

const Uid& EffectClassId()
{
    static const Uid id = MakeVst2CompatibleClassId(MorlentDelay::kUniqueId, MorlentDelay::kEffectName);
    return id;
}

Vst3Effect::Vst3Effect() : PluginCore(new MorlentDelayModel)
{
    AttachToModel();
}

Vst3Effect::~Vst3Effect()
{
    if (handler != nullptr)
        handler->release();
}

// ---- FUnknown ------------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::queryInterface(const TUID iid, void** object)
{
    if (object == nullptr)
        return kInvalidArgument;
    *object = nullptr;
    if (iid == nullptr)
        return kInvalidArgument;
    if (kFUnknownIid.Matches(iid) || kIPluginBaseIid.Matches(iid) || kIComponentIid.Matches(iid))
        *object = static_cast<IComponent*>(this);
    else if (kIAudioProcessorIid.Matches(iid))
        *object = static_cast<IAudioProcessor*>(this);
    else if (kIEditControllerIid.Matches(iid))
        *object = static_cast<IEditController*>(this);
    else if (kIUnitInfoIid.Matches(iid))
        *object = static_cast<IUnitInfo*>(this);
    else if (kIMidiMappingIid.Matches(iid))
        *object = static_cast<IMidiMapping*>(this);
    else
        return kNoInterface;
    addRef();
    return kResultOk;
}

uint32 VST3_API Vst3Effect::addRef()
{
    return AddReference();
}

uint32 VST3_API Vst3Effect::release()
{
    return DropReference();
}

// ---- IPluginBase ---------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::initialize(FUnknown*)
{
    // A single-component effect is initialised once as component and once as controller.
    initialized = true;
    return kResultOk;
}

tresult VST3_API Vst3Effect::terminate()
{
#ifdef _WIN32
    // A host that ends the effect with its view open: the window goes first.
    if (openView != nullptr)
        openView->EffectEnded();
#endif
    EndOpenEdit();
    ForgetDragWatch(this);
    if (active.load())
        setActive(false);
    setComponentHandler(nullptr);
    initialized = false;
    return kResultOk;
}

// ---- IComponent ----------------------------------------------------------------------------------

tresult VST3_API Vst3Effect::getControllerClassId(TUID)
{
    // The component is its own controller.
    return kResultFalse;
}

tresult VST3_API Vst3Effect::setIoMode(IoMode)
{
    return kResultOk;
}

int32 VST3_API Vst3Effect::getBusCount(MediaType type, BusDirection dir)
{
    if (type == kAudio)
        return dir == kInput || dir == kOutput ? 1 : 0;
    // A MIDI input, so hosts route controllers to the effect.
    return type == kEvent && dir == kInput ? 1 : 0;
}

tresult VST3_API Vst3Effect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus)
{
    if (type == kEvent && dir == kInput && index == 0) {
        std::memset(&bus, 0, sizeof bus);
        bus.mediaType = kEvent;
        bus.direction = kInput;
        bus.channelCount = kMidiChannelCount;
        ToString128("MIDI In", bus.name);
        bus.busType = kMain;
        bus.flags = kDefaultActive;
        return kResultOk;
    }
    if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0)
        return kInvalidArgument;
    std::memset(&bus, 0, sizeof bus);
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = kChannelCount;
    ToString128(dir == kInput ? "Stereo In" : "Stereo Out", bus.name);
    bus.busType = kMain;
    bus.flags = kDefaultActive;
    return kResultOk;
}

tresult VST3_API Vst3Effect::getRoutingInfo(RoutingInfo&, RoutingInfo&)
{
    return kNotImplemented;
}

tresult VST3_API Vst3Effect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state)
{
    if (type == kEvent && dir == kInput && index == 0) {
        eventBusActive = state != 0;
        return kResultOk;
    }
    if (type != kAudio || index != 0 || (dir != kInput && dir != kOutput))
        return kInvalidArgument;
    if (active.load())
        return kResultFalse;
    (dir == kInput ? inputBusActive : outputBusActive) = state != 0;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setActive(TBool state)
{
    if (state != 0) {
        if (!configured)
            return kNotInitialized;
        if (!active.load())
            SetMaxBlockSize(0); // the engine restarts at its rate, as after a VST 2 resume
        active.store(true);
    } else {
        processing.store(false);
        active.store(false);
    }
    return kResultOk;
}

tresult VST3_API Vst3Effect::setState(IBStream* state)
{
    try {
        if (state == nullptr)
            return kInvalidArgument;
        std::vector<uint8_t> bytes;
        if (!ReadStream(state, bytes) || bytes.empty())
            return kResultFalse;
        if (!SetState(bytes.data(), static_cast<int64_t>(bytes.size()), StateScope::kBank))
            return kResultFalse;
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

tresult VST3_API Vst3Effect::getState(IBStream* state)
{
    try {
        if (state == nullptr)
            return kInvalidArgument;
        Morlent::ChunkBuffer buffer;
        GetState(buffer, StateScope::kBank);
        const int32 size = static_cast<int32>(buffer.Length());
        int32 written = 0;
        if (state->write(buffer.Data(), size, &written) != kResultOk || written != size)
            return kResultFalse;
        return kResultOk;
    } catch (...) {
        return kInternalError;
    }
}

// ---- IAudioProcessor -----------------------------------------------------------------------------

tresult VST3_API Vst3Effect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
    if (numIns < 0 || numOuts < 0 || (numIns > 0 && inputs == nullptr) || (numOuts > 0 && outputs == nullptr))
        return kInvalidArgument;
    if (active.load())
        return kResultFalse;
    // One stereo bus each way and nothing else; the host then keeps ours.
    if (numIns == 1 && numOuts == 1 && inputs[0] == SpeakerArr::kStereo && outputs[0] == SpeakerArr::kStereo)
        return kResultTrue;
    return kResultFalse;
}

tresult VST3_API Vst3Effect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr)
{
    if ((dir != kInput && dir != kOutput) || index != 0)
        return kInvalidArgument;
    arr = SpeakerArr::kStereo;
    return kResultOk;
}

tresult VST3_API Vst3Effect::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 VST3_API Vst3Effect::getLatencySamples()
{
    return 0;
}

tresult VST3_API Vst3Effect::setupProcessing(ProcessSetup& setup)
{
    if (active.load())
        return kResultFalse;
    if (setup.symbolicSampleSize != kSample32 || setup.maxSamplesPerBlock <= 0)
        return kInvalidArgument;
    const float rate = static_cast<float>(setup.sampleRate);
    if (!VstToolkit::Model::IsUsableSampleRate(rate))
        return kInvalidArgument;
    SetSampleRate(rate);
    SetMaxBlockSize(setup.maxSamplesPerBlock);
    configured = true;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setProcessing(TBool state)
{
    if (!active.load())
        return kNotInitialized;
    processing.store(state != 0);
    return kResultOk;
}

void Vst3Effect::UpdateTime(const ProcessContext* context)
{
    // No context: the values stand as they were, as when a VST 2 host answers no time.
    if (context == nullptr)
        return;
    VstToolkit::TimeInfo time;
    time.tempoValid = (context->state & ProcessContext::kTempoValid) != 0;
    time.tempo = context->tempo;
    time.positionValid = (context->state & ProcessContext::kProjectTimeMusicValid) != 0;
    time.ppqPosition = context->projectTimeMusic;
    time.playing = (context->state & ProcessContext::kPlaying) != 0;
    time.timeSignatureValid = (context->state & ProcessContext::kTimeSigValid) != 0;
    time.timeSignatureNumerator = context->timeSigNumerator;
    time.timeSignatureDenominator = context->timeSigDenominator;
    SetTimeInfo(time);
}

void Vst3Effect::GatherPoints(IParameterChanges* changes, int32 frames)
{
    pointCount = 0;
    if (changes == nullptr)
        return;
    const int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (queue == nullptr)
            continue;
        const ParamID id = queue->getParameterId();
        const int32 count = queue->getPointCount();
        for (int32 p = 0; p < count; ++p) {
            int32 offset = 0;
            ParamValue value = 0.0;
            if (queue->getPoint(p, offset, value) != kResultOk)
                continue;
            if (offset < 0)
                offset = 0;
            if (offset > frames)
                offset = frames;
            Point point{offset, id, Clamp01(value)};
            if (pointCount == kMaxPointsPerBlock) {
                // Crowded: the newest value takes the last slot, at the later offset.
                points[pointCount - 1] = point;
                continue;
            }
            // Insertion keeps the block's points in offset order, equal offsets in host order.
            int32 at = pointCount++;
            while (at > 0 && points[at - 1].offset > point.offset) {
                points[at] = points[at - 1];
                --at;
            }
            points[at] = point;
        }
    }
}

void Vst3Effect::ApplyParameter(ParamID id, float value)
{
    if (IsEffectParameter(id))
        SetParameterValue(static_cast<int32_t>(id), value);
    else if (id == kBypassParamId)
        SetParameterValue(MorlentDelay::kEnabled, 1.0f - value);
    // The program change parameter is the controller's: the host selects programs on the main
    // thread through setParamNormalized, never inside a block.
}

tresult VST3_API Vst3Effect::process(ProcessData& data)
{
    try {
        if (!active.load())
            return kNotInitialized;
        if (data.numSamples < 0 || data.numInputs < 0 || data.numOutputs < 0)
            return kInvalidArgument;
        if (data.numSamples > 0 && data.symbolicSampleSize != kSample32)
            return kInvalidArgument;
        const int32 frames = data.numSamples;

        float** outputs = nullptr;
        if (data.numOutputs >= 1 && data.outputs != nullptr && data.outputs[0].numChannels >= kChannelCount &&
            data.outputs[0].channelBuffers32 != nullptr && data.outputs[0].channelBuffers32[0] != nullptr &&
            data.outputs[0].channelBuffers32[1] != nullptr)
            outputs = data.outputs[0].channelBuffers32;
        float** inputs = nullptr;
        if (data.numInputs >= 1 && data.inputs != nullptr && data.inputs[0].numChannels >= kChannelCount &&
            data.inputs[0].channelBuffers32 != nullptr && data.inputs[0].channelBuffers32[0] != nullptr &&
            data.inputs[0].channelBuffers32[1] != nullptr)
            inputs = data.inputs[0].channelBuffers32;
        if (frames > 0 && outputs == nullptr)
            return kInvalidArgument;
        if (frames > 0 && inputs == nullptr) {
            // No input bus: the effect hears silence, rendered in place of the outputs.
            std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(frames));
            std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(frames));
            inputs = outputs;
        }

        UpdateTime(data.processContext);
        GatherPoints(data.inputParameterChanges, frames);
        audioThread.store(std::this_thread::get_id());
        outputChanges = data.outputParameterChanges;

        int32 position = 0;
        for (int32 i = 0; i < pointCount; ++i) {
            const Point& point = points[i];
            outputOffset = point.offset;
            if (point.offset > position && frames > 0) {
                ProcessFrames(inputs, outputs, position, point.offset - position);
                position = point.offset;
            }
            if (IsControllerParameter(point.id))
                ApplyMidiEvent(point.offset, 0xB0, static_cast<uint8_t>(point.id - kFirstControllerParamId),
                               static_cast<uint8_t>(std::lround(point.value * 127.0f)));
            else
                ApplyParameter(point.id, point.value);
        }
        outputOffset = position;
        if (frames > 0 && position < frames)
            ProcessFrames(inputs, outputs, position, frames - position);
        if (frames > 0)
            data.outputs[0].silenceFlags = 0;

        outputChanges = nullptr;
        audioThread.store(std::thread::id());
        return kResultOk;
    } catch (...) {
        outputChanges = nullptr;
        audioThread.store(std::thread::id());
        return kInternalError;
    }
}

uint32 VST3_API Vst3Effect::getTailSamples()
{
    // Feedback may ring for as long as the host lets it.
    return kInfiniteTail;
}

// ---- IEditController -----------------------------------------------------------------------------

tresult VST3_API Vst3Effect::setComponentState(IBStream* state)
{
    // The controller reads its values from the component it is: nothing to copy.
    return state == nullptr ? kInvalidArgument : kResultOk;
}

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

void Vst3Effect::SetProgramFromHost(ParamValue value)
{
    const int32 program = ProgramFromNormalized(value, GetProgramCount());
    if (program == GetSelectedProgram())
        return;
    SelectProgram(program);
    // Every parameter may have moved with the program.
    if (handler != nullptr)
        handler->restartComponent(kParamValuesChanged);
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

IPlugView* VST3_API Vst3Effect::createView(FIDString name)
{
#ifdef _WIN32
    try {
        if (name == nullptr || std::strcmp(name, kEditorViewName) != 0 || !initialized || openView != nullptr)
            return nullptr;
        VstToolkit::PluginCore* core = this;
        openView = new Vst3PlugView(this, GetModel(), core);
        return openView;
    } catch (...) {
        return nullptr;
    }
#else
    (void)name;
    return nullptr;
#endif
}

void Vst3Effect::ForgetView(Vst3PlugView* view)
{
    if (openView == view)
        openView = nullptr;
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

// ---- IUnitInfo -----------------------------------------------------------------------------------

int32 VST3_API Vst3Effect::getUnitCount()
{
    return 1;
}

tresult VST3_API Vst3Effect::getUnitInfo(int32 unitIndex, UnitInfo& info)
{
    if (unitIndex != 0)
        return kInvalidArgument;
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    ToString128("Root", info.name);
    info.programListId = kProgramListId;
    return kResultOk;
}

int32 VST3_API Vst3Effect::getProgramListCount()
{
    return 1;
}

tresult VST3_API Vst3Effect::getProgramListInfo(int32 listIndex, ProgramListInfo& info)
{
    if (listIndex != 0)
        return kInvalidArgument;
    info.id = kProgramListId;
    ToString128("Programs", info.name);
    info.programCount = GetProgramCount();
    return kResultOk;
}

tresult VST3_API Vst3Effect::getProgramName(ProgramListID listId, int32 programIndex, String128 name)
{
    if (listId != kProgramListId || programIndex < 0 || programIndex >= GetProgramCount() || name == nullptr)
        return kInvalidArgument;
    ToString128(GetProgramName(programIndex), name);
    return kResultOk;
}

tresult VST3_API Vst3Effect::getProgramInfo(ProgramListID, int32, const char8*, String128)
{
    return kResultFalse;
}

tresult VST3_API Vst3Effect::hasProgramPitchNames(ProgramListID, int32)
{
    return kResultFalse;
}

tresult VST3_API Vst3Effect::getProgramPitchName(ProgramListID, int32, int16, String128)
{
    return kResultFalse;
}

UnitID VST3_API Vst3Effect::getSelectedUnit()
{
    return kRootUnitId;
}

tresult VST3_API Vst3Effect::selectUnit(UnitID unitId)
{
    return unitId == kRootUnitId ? kResultOk : kInvalidArgument;
}

tresult VST3_API Vst3Effect::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID& unitId)
{
    unitId = kRootUnitId;
    return kResultOk;
}

tresult VST3_API Vst3Effect::setUnitProgramData(int32, int32, IBStream*)
{
    return kNotImplemented;
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
