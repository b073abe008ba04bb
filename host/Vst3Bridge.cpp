#include "host/Vst3Bridge.h"

#include "host/BridgeBasics.h"
#include "host/HostReactor.h"

#include "vst3/MemoryStream.h"
#include "vst3/ReferenceCounting.h"
#include "vst3/Vst3Interface.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <vector>

namespace MorlentHost {

using namespace Vst3;

namespace {

constexpr char kAudioEffectCategory[] = "Audio Module Class";

std::string Narrow(const char16* text)
{
    std::string out;
    for (int i = 0; i < 128 && text[i] != 0; ++i)
        out.push_back(text[i] < 128 ? static_cast<char>(text[i]) : '?');
    return out;
}

// Counts the effect's own edits as the VST 2 host counts automation.
class EditCounter final : public Unowned<IComponentHandler> {
public:
    tresult VST3_API beginEdit(ParamID) override { return kResultOk; }
    tresult VST3_API performEdit(ParamID id, ParamValue value) override;
    tresult VST3_API endEdit(ParamID) override { return kResultOk; }
    tresult VST3_API restartComponent(int32) override { return kResultOk; }
    struct Bridge* bridge = nullptr;
};

// The frame the host gives the effect's view, and on Linux the run loop its editor needs: the
// host's idle calls turn it, watching what the editor registered and firing its timers.
class HostFrame final : public IPlugFrame, public IRunLoop {
public:
    tresult VST3_API queryInterface(const TUID iid, void** object) override
    {
        if (object == nullptr || iid == nullptr)
            return kInvalidArgument;
        *object = nullptr;
        if (kFUnknownIid.Matches(iid) || kIPlugFrameIid.Matches(iid))
            *object = static_cast<IPlugFrame*>(this);
        else if (kIRunLoopIid.Matches(iid))
            *object = static_cast<IRunLoop*>(this);
        return *object != nullptr ? kResultOk : kNoInterface;
    }
    uint32 VST3_API addRef() override { return 1; }
    uint32 VST3_API release() override { return 1; }
    // The host's window keeps its size.
    tresult VST3_API resizeView(IPlugView*, ViewRect*) override { return kResultFalse; }

    tresult VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) override
    {
        if (handler == nullptr || fd < 0)
            return kInvalidArgument;
        reactor.Watch(reinterpret_cast<uintptr_t>(handler), fd, [handler, fd] { handler->onFDIsSet(fd); });
        return kResultOk;
    }
    tresult VST3_API unregisterEventHandler(IEventHandler* handler) override
    {
        return reactor.Forget(reinterpret_cast<uintptr_t>(handler)) ? kResultOk : kInvalidArgument;
    }
    tresult VST3_API registerTimer(ITimerHandler* handler, TimerInterval milliseconds) override
    {
        if (handler == nullptr || milliseconds == 0)
            return kInvalidArgument;
        reactor.AddTimer(reinterpret_cast<uintptr_t>(handler), std::chrono::milliseconds(milliseconds),
                         [handler] { handler->onTimer(); });
        return kResultOk;
    }
    tresult VST3_API unregisterTimer(ITimerHandler* handler) override
    {
        return reactor.RemoveTimer(reinterpret_cast<uintptr_t>(handler)) ? kResultOk : kInvalidArgument;
    }

    // One turn of the loop, without waiting: handlers whose descriptor is readable, timers due.
    void Turn() { reactor.Turn(); }

private:
    HostReactor reactor;
};

#ifdef _WIN32
constexpr const char* kNativePlatformType = kPlatformTypeHWND;
#else
constexpr const char* kNativePlatformType = kPlatformTypeX11EmbedWindowID;
#endif

struct Bridge : BridgeBasics {
    AEffect record{};
    audioMasterCallback host = nullptr;
    IComponent* component = nullptr;
    IAudioProcessor* processor = nullptr;
    IEditController* controller = nullptr;
    IUnitInfo* units = nullptr;
    EditCounter handler;
    std::vector<ParamID> ids;
    ProgramListID programList = kNoProgramListId;
    int32 programCount = 0;
    ParamID programParam = 0;
    bool hasProgramParam = false;
    bool active = false;
    std::vector<uint8_t> chunk;
    IPlugView* view = nullptr;
    HostFrame frame;
    ERect rect{};
    ProcessContext context{};
    AudioBusBuffers inBus{}, outBus{};
    ProcessData data{};

    ~Bridge()
    {
        if (view != nullptr) {
            view->removed();
            view->setFrame(nullptr);
            view->release();
        }
        if (units != nullptr)
            units->release();
        if (controller != nullptr)
            controller->release();
        if (processor != nullptr)
            processor->release();
        if (component != nullptr) {
            component->terminate();
            component->release();
        }
    }
};

tresult VST3_API EditCounter::performEdit(ParamID id, ParamValue value)
{
    for (size_t index = 0; index < bridge->ids.size(); ++index)
        if (bridge->ids[index] == id)
            bridge->host(&bridge->record, audioMasterAutomate, static_cast<VstInt32>(index), 0, nullptr,
                         static_cast<float>(value));
    return kResultOk;
}

Bridge* Of(AEffect* effect)
{
    return static_cast<Bridge*>(effect->object);
}

ParamID IdOf(Bridge& bridge, VstInt32 index)
{
    return index >= 0 && static_cast<size_t>(index) < bridge.ids.size() ? bridge.ids[index] : 0xFFFFFFFFu;
}

int32 CurrentProgram(Bridge& bridge)
{
    if (!bridge.hasProgramParam || bridge.programCount <= 1)
        return 0;
    return static_cast<int32>(bridge.controller->getParamNormalized(bridge.programParam) * (bridge.programCount - 1) +
                              0.5);
}

void Activate(Bridge& bridge, bool on)
{
    if (on && !bridge.active) {
        ProcessSetup setup{kRealtime, kSample32, bridge.blockSize, bridge.sampleRate};
        bridge.processor->setupProcessing(setup);
        bridge.component->setActive(1);
        bridge.processor->setProcessing(1);
    } else if (!on && bridge.active) {
        bridge.processor->setProcessing(0);
        bridge.component->setActive(0);
    }
    bridge.active = on;
}

VstIntPtr VSTCALLBACK Dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt)
{
    Bridge& bridge = *Of(effect);
    VstIntPtr answer = 0;
    if (AnswerBasicOpcode(bridge, opcode, value, ptr, opt, answer))
        return answer;
    switch (opcode) {
    case effClose:
        delete &bridge;
        return 1;
    case effMainsChanged:
        Activate(bridge, value != 0);
        return 1;
    case effGetParamName:
    case effGetParamLabel: {
        Vst3::ParameterInfo info{};
        if (bridge.controller->getParameterInfo(index, info) != kResultOk)
            return 0;
        CopyOut(ptr, Narrow(opcode == effGetParamName ? info.shortTitle : info.units), kVstMaxParamStrLen + 1);
        return 1;
    }
    case effGetParamDisplay: {
        const ParamID id = IdOf(bridge, index);
        String128 text{};
        if (bridge.controller->getParamStringByValue(id, bridge.controller->getParamNormalized(id), text) != kResultOk)
            return 0;
        CopyOut(ptr, Narrow(text), kVstMaxParamStrLen + 1);
        return 1;
    }
    case effGetProgram:
        return CurrentProgram(bridge);
    case effSetProgram:
        if (bridge.hasProgramParam && value >= 0 && value < bridge.programCount)
            bridge.controller->setParamNormalized(bridge.programParam,
                                                  static_cast<double>(value) / (bridge.programCount - 1));
        return 0;
    case effGetProgramName:
    case effGetProgramNameIndexed: {
        const int32 program = opcode == effGetProgramName ? CurrentProgram(bridge) : index;
        String128 text{};
        if (bridge.units == nullptr || bridge.units->getProgramName(bridge.programList, program, text) != kResultOk)
            return 0;
        CopyOut(ptr, Narrow(text), kVstMaxProgNameLen);
        return 1;
    }
    case effGetChunk: {
        // The state is the bank; there is no program chunk.
        if (index != 0 || ptr == nullptr)
            return 0;
        MemoryStream stream;
        if (bridge.component->getState(&stream) != kResultOk)
            return 0;
        bridge.chunk = stream.data;
        *static_cast<void**>(ptr) = bridge.chunk.data();
        return static_cast<VstIntPtr>(bridge.chunk.size());
    }
    case effSetChunk: {
        if (index != 0 || ptr == nullptr || value <= 0)
            return 0;
        MemoryStream stream;
        const auto* bytes = static_cast<const uint8_t*>(ptr);
        stream.data.assign(bytes, bytes + value);
        if (bridge.component->setState(&stream) != kResultOk)
            return 0;
        stream.position = 0;
        bridge.controller->setComponentState(&stream);
        return 1;
    }
    case effGetVstVersion:
        return 2400;
    case effEditGetRect: {
        // The size comes from the view the host is about to open.
        if (ptr == nullptr)
            return 0;
        if (bridge.view == nullptr)
            bridge.view = bridge.controller->createView(kEditorViewName);
        ViewRect size{};
        if (bridge.view == nullptr || bridge.view->getSize(&size) != kResultOk)
            return 0;
        bridge.rect = ERect{static_cast<VstInt16>(size.top), static_cast<VstInt16>(size.left),
                            static_cast<VstInt16>(size.bottom), static_cast<VstInt16>(size.right)};
        *static_cast<ERect**>(ptr) = &bridge.rect;
        return 1;
    }
    case effEditOpen:
        if (bridge.view == nullptr)
            bridge.view = bridge.controller->createView(kEditorViewName);
        if (bridge.view == nullptr)
            return 0;
        bridge.view->setFrame(&bridge.frame);
        return bridge.view->attached(ptr, kNativePlatformType) == kResultOk ? 1 : 0;
    case effEditIdle:
        bridge.frame.Turn();
        return 0;
    case effEditClose:
        if (bridge.view != nullptr) {
            bridge.view->removed();
            bridge.view->setFrame(nullptr);
            bridge.view->release();
            bridge.view = nullptr;
        }
        return 1;
    default:
        return 0;
    }
}

void VSTCALLBACK SetParameter(AEffect* effect, VstInt32 index, float value)
{
    Bridge& bridge = *Of(effect);
    bridge.controller->setParamNormalized(IdOf(bridge, index), value);
}

float VSTCALLBACK GetParameter(AEffect* effect, VstInt32 index)
{
    Bridge& bridge = *Of(effect);
    return static_cast<float>(bridge.controller->getParamNormalized(IdOf(bridge, index)));
}

void VSTCALLBACK ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames)
{
    Bridge& bridge = *Of(effect);
    // The transport the VST 2 module would read through audioMasterGetTime, in the format's record.
    const auto* time = reinterpret_cast<const VstTimeInfo*>(bridge.host(effect, audioMasterGetTime, 0, 0, nullptr, 0));
    ProcessContext* context = nullptr;
    if (time != nullptr) {
        ProcessContext& c = bridge.context;
        c = ProcessContext{};
        c.sampleRate = time->sampleRate;
        c.projectTimeSamples = static_cast<TSamples>(time->samplePos);
        c.projectTimeMusic = time->ppqPos;
        c.barPositionMusic = time->barStartPos;
        c.tempo = time->tempo;
        c.timeSigNumerator = time->timeSigNumerator;
        c.timeSigDenominator = time->timeSigDenominator;
        if (time->flags & kVstTransportPlaying)
            c.state |= ProcessContext::kPlaying;
        if (time->flags & kVstPpqPosValid)
            c.state |= ProcessContext::kProjectTimeMusicValid;
        if (time->flags & kVstTempoValid)
            c.state |= ProcessContext::kTempoValid;
        if (time->flags & kVstTimeSigValid)
            c.state |= ProcessContext::kTimeSigValid;
        if (time->flags & kVstBarsValid)
            c.state |= ProcessContext::kBarPositionValid;
        context = &c;
    }
    bridge.inBus.numChannels = 2;
    bridge.inBus.channelBuffers32 = inputs;
    bridge.outBus.numChannels = 2;
    bridge.outBus.channelBuffers32 = outputs;
    ProcessData& data = bridge.data;
    data = ProcessData{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &bridge.inBus;
    data.outputs = &bridge.outBus;
    data.processContext = context;
    bridge.processor->process(data);
}

template <typename Interface> Interface* Query(FUnknown* object, const Uid& iid)
{
    void* result = nullptr;
    if (object->queryInterface(iid.bytes, &result) != kResultOk)
        return nullptr;
    return static_cast<Interface*>(result);
}

} // namespace

std::string Vst3ModulePath(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::is_directory(fs::path(path), error))
        return path;
    const fs::path bundle(path);
    const std::string stem = bundle.stem().string();
#ifdef _WIN32
    return (bundle / "Contents" / "x86_64-win" / (stem + ".vst3")).string();
#else
    return (bundle / "Contents" / "x86_64-linux" / (stem + ".so")).string();
#endif
}

AEffect* OpenVst3Effect(void* factoryEntry, audioMasterCallback host, std::string& error)
{
    using GetFactory = IPluginFactory*(VST3_API*)();
    IPluginFactory* factory = reinterpret_cast<GetFactory>(factoryEntry)();
    if (factory == nullptr) {
        error = "GetPluginFactory returned no factory";
        return nullptr;
    }
    PFactoryInfo factoryInfo{};
    factory->getFactoryInfo(&factoryInfo);
    IPluginFactory2* factory2 = Query<IPluginFactory2>(factory, kIPluginFactory2Iid);
    for (int32 index = 0; index < factory->countClasses(); ++index) {
        PClassInfo info{};
        if (factory->getClassInfo(index, &info) != kResultOk || std::strcmp(info.category, kAudioEffectCategory) != 0)
            continue;
        void* object = nullptr;
        if (factory->createInstance(info.cid, kIComponentIid.bytes, &object) != kResultOk || object == nullptr) {
            error = "the factory did not create its audio effect";
            return nullptr;
        }
        auto* bridge = new Bridge;
        bridge->host = host;
        bridge->component = static_cast<IComponent*>(object);
        bridge->name = info.name;
        bridge->vendor = factoryInfo.vendor;
        PClassInfo2 info2{};
        if (factory2 != nullptr && factory2->getClassInfo2(index, &info2) == kResultOk) {
            bridge->vendor = info2.vendor;
            bridge->version = info2.version;
        }
        bridge->component->initialize(nullptr);
        bridge->processor = Query<IAudioProcessor>(bridge->component, kIAudioProcessorIid);
        bridge->controller = Query<IEditController>(bridge->component, kIEditControllerIid);
        if (bridge->processor == nullptr || bridge->controller == nullptr) {
            error = "the effect is not its own controller, which this host does not support";
            delete bridge;
            return nullptr;
        }
        bridge->units = Query<IUnitInfo>(bridge->component, kIUnitInfoIid);
        bridge->handler.bridge = bridge;
        bridge->controller->setComponentHandler(&bridge->handler);
        SpeakerArrangement stereo = SpeakerArr::kStereo;
        if (bridge->processor->setBusArrangements(&stereo, 1, &stereo, 1) != kResultTrue) {
            error = "the effect refused a stereo input and output";
            delete bridge;
            return nullptr;
        }
        const int32 count = bridge->controller->getParameterCount();
        for (int32 p = 0; p < count; ++p) {
            Vst3::ParameterInfo parameter{};
            // Hidden parameters (the MIDI controllers' own) are the host's business, not a user's.
            if (bridge->controller->getParameterInfo(p, parameter) != kResultOk ||
                (parameter.flags & Vst3::ParameterInfo::kIsHidden) != 0)
                continue;
            bridge->ids.push_back(parameter.id);
            if (parameter.flags & Vst3::ParameterInfo::kIsProgramChange) {
                bridge->hasProgramParam = true;
                bridge->programParam = parameter.id;
            }
        }
        ProgramListInfo list{};
        if (bridge->units != nullptr && bridge->units->getProgramListCount() > 0 &&
            bridge->units->getProgramListInfo(0, list) == kResultOk) {
            bridge->programList = list.id;
            bridge->programCount = list.programCount;
        }
        AEffect& record = bridge->record;
        record.magic = kEffectMagic;
        record.dispatcher = Dispatch;
        record.setParameter = SetParameter;
        record.getParameter = GetParameter;
        record.processReplacing = ProcessReplacing;
        record.numPrograms = bridge->programCount;
        record.numParams = static_cast<VstInt32>(bridge->ids.size());
        record.numInputs = 2;
        record.numOutputs = 2;
        record.flags = effFlagsCanReplacing | effFlagsProgramChunks;
        if (IPlugView* view = bridge->controller->createView(kEditorViewName)) {
            record.flags |= effFlagsHasEditor;
            view->release();
        }
        record.object = bridge;
        // The VST 2 unique ID a class made for replacing a VST 2 effect carries after "VST".
        uint8_t bytes[16];
        std::memcpy(bytes, info.cid, 16);
#if VST3_COM_COMPATIBLE
        const uint32_t first = uint32_t(bytes[0]) | (uint32_t(bytes[1]) << 8) | (uint32_t(bytes[2]) << 16) |
                               (uint32_t(bytes[3]) << 24);
        const uint32_t second = (uint32_t(bytes[5]) << 24) | (uint32_t(bytes[4]) << 16) |
                                (uint32_t(bytes[7]) << 8) | uint32_t(bytes[6]);
#else
        const uint32_t first = (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
                               uint32_t(bytes[3]);
        const uint32_t second = (uint32_t(bytes[4]) << 24) | (uint32_t(bytes[5]) << 16) |
                                (uint32_t(bytes[6]) << 8) | uint32_t(bytes[7]);
#endif
        record.uniqueID = static_cast<VstInt32>(((first & 0xFF) << 24) | (second >> 8));
        record.version = 1;
        return &record;
    }
    error = "the factory has no audio effect class";
    return nullptr;
}

} // namespace MorlentHost
