#pragma once
// The VST 3 adapter: one object that is the component, the audio processor and the edit
// controller of the effect (a single-component effect), translating the format's calls into the
// plug-in core's operations.
//
// Threads as the format assigns them: set-up, state, parameter information, the process context
// requirements and the program list on the main thread; process on the audio thread;
// setParamNormalized and getParamNormalized on either. Processing never allocates and never
// locks.
//
// One class, one file per role: Vst3Effect.cpp (identity, lifecycle, interfaces, buses,
// processing set-up, the editor), Vst3Processing.cpp, Vst3Parameters.cpp, Vst3State.cpp and
// Vst3Programs.cpp; the module's factory and exports are Vst3Entry.cpp.

#include "framework/PluginCore.h"
#include "vst3/ReferenceCounting.h"
#include "vst3/Vst3Interface.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace MorlentVst3 {

using namespace Vst3;

class Vst3PlugView;

// The parameters beyond the twelve whose IDs are the VST 2 indices.
constexpr ParamID kBypassParamId = 1000;
constexpr ParamID kProgramParamId = 1001;
constexpr ProgramListID kProgramListId = 1;
// Hidden parameters, one per MIDI controller number, that the host drives from its MIDI input:
// VST 3 hosts pass no raw controller messages, and MIDI Learn binds controllers.
constexpr ParamID kFirstControllerParamId = 2000;
constexpr int32 kControllerParamCount = 128;
// The most parameter points one block takes at their sample offsets; later points in a crowded
// block take effect at its end.
constexpr int32 kMaxPointsPerBlock = 2048;

// The class identifier a host migrating from the VST 2 module looks for: "VST" in hex, the
// VST 2 unique ID, then the first nine characters of the effect's name in lower case.
Uid MakeVst2CompatibleClassId(int32_t uniqueId, const char* name);
const Uid& EffectClassId();

class Vst3Effect final : public IComponent,
                         public IAudioProcessor,
                         public IProcessContextRequirements,
                         public IEditController,
                         public IUnitInfo,
                         public IMidiMapping,
                         private ReferenceCounted<Vst3Effect>,
                         private VstToolkit::PluginCore {
public:
    // Starts with one reference, the creator's.
    Vst3Effect();

    // FUnknown (every base shares one reference count)
    tresult VST3_API queryInterface(const TUID iid, void** object) override;
    uint32 VST3_API addRef() override;
    uint32 VST3_API release() override;

    // IPluginBase
    tresult VST3_API initialize(FUnknown* context) override;
    tresult VST3_API terminate() override;

    // IComponent
    tresult VST3_API getControllerClassId(TUID classId) override;
    tresult VST3_API setIoMode(IoMode mode) override;
    int32 VST3_API getBusCount(MediaType type, BusDirection dir) override;
    tresult VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
    tresult VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult VST3_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
    tresult VST3_API setActive(TBool state) override;
    tresult VST3_API setState(IBStream* state) override;
    tresult VST3_API getState(IBStream* state) override;

    // IAudioProcessor
    tresult VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                         int32 numOuts) override;
    tresult VST3_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
    tresult VST3_API canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 VST3_API getLatencySamples() override;
    tresult VST3_API setupProcessing(ProcessSetup& setup) override;
    tresult VST3_API setProcessing(TBool state) override;
    tresult VST3_API process(ProcessData& data) override;
    uint32 VST3_API getTailSamples() override;

    // IProcessContextRequirements: main thread, once before activation
    uint32 VST3_API getProcessContextRequirements() override;

    // IEditController
    tresult VST3_API setComponentState(IBStream* state) override;
    int32 VST3_API getParameterCount() override;
    tresult VST3_API getParameterInfo(int32 paramIndex, Vst3::ParameterInfo& info) override;
    tresult VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) override;
    tresult VST3_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) override;
    ParamValue VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue VST3_API getParamNormalized(ParamID id) override;
    tresult VST3_API setParamNormalized(ParamID id, ParamValue value) override;
    tresult VST3_API setComponentHandler(IComponentHandler* handler) override;
    IPlugView* VST3_API createView(FIDString name) override;

    // IUnitInfo
    int32 VST3_API getUnitCount() override;
    tresult VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) override;
    int32 VST3_API getProgramListCount() override;
    tresult VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
    tresult VST3_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) override;
    tresult VST3_API getProgramInfo(ProgramListID listId, int32 programIndex, const char8* attributeId,
                                    String128 attributeValue) override;
    tresult VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
    tresult VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                         String128 name) override;
    UnitID VST3_API getSelectedUnit() override;
    tresult VST3_API selectUnit(UnitID unitId) override;
    tresult VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                  UnitID& unitId) override;
    tresult VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) override;

    // User-interface thread: closes the edit a drag in the view opened.
    void EndOpenEdit();
    // The view is going; user-interface thread.
    void ForgetView(Vst3PlugView* view);

    // IMidiMapping
    tresult VST3_API getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber midiControllerNumber,
                                                 ParamID& id) override;

private:
    friend class ReferenceCounted<Vst3Effect>;
    ~Vst3Effect() override;

    struct Point {
        int32 offset;
        ParamID id;
        float value;
    };

    // IEditController's own setState/getState share their names with IComponent's; the
    // controller keeps no state of its own beyond the component's, so one pair answers both.
    void ReportParameterEdit(int32_t index, float value) override;
    void ApplyParameter(ParamID id, float value);
    void GatherPoints(IParameterChanges* changes, int32 frames);
    void UpdateTime(const ProcessContext* context);
    void SetProgramFromHost(ParamValue value);
    bool IsEffectParameter(ParamID id) const { return id < static_cast<ParamID>(GetParameterCount()); }
    static bool IsControllerParameter(ParamID id)
    {
        return id >= kFirstControllerParamId && id < kFirstControllerParamId + kControllerParamCount;
    }

    IComponentHandler* handler = nullptr;
    Vst3PlugView* openView = nullptr; // user-interface thread
    int32 openEdit = -1;              // the parameter between beginEdit and endEdit, or -1
    bool initialized = false;
    bool configured = false;       // setupProcessing accepted
    std::atomic<bool> active{false};
    std::atomic<bool> processing{false};
    bool inputBusActive = true;
    bool eventBusActive = true;
    bool outputBusActive = true;
    // The thread inside process and the output queue of its block, for edits a learned
    // controller makes there.
    std::atomic<std::thread::id> audioThread{};
    IParameterChanges* outputChanges = nullptr;
    int32 outputOffset = 0;
    Point points[kMaxPointsPerBlock];
    int32 pointCount = 0;
};

} // namespace MorlentVst3
