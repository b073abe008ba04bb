#pragma once
// The VST 3 binary interface as both sides see it: the interfaces this effect implements or
// calls (pure virtual classes whose vtables list the methods in their published order, with no
// virtual destructors), their identifiers, the records they pass and the constants. Declared
// here from the published layouts; sizes and offsets of every record are checked at compile
// time at the end of this file.
//
// Windows builds follow the COM conventions of the format: result codes are COM's, and an
// identifier's first three fields are stored little-endian. Elsewhere results are small
// numbers and identifiers are stored as their sixteen bytes in reading order.

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef _WIN32
#define VST3_API __stdcall
#define VST3_COM_COMPATIBLE 1
#else
#define VST3_API
#define VST3_COM_COMPATIBLE 0
#endif

namespace Vst3 {

using int8 = int8_t;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using tresult = int32_t;
using TBool = uint8_t;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = char16[128];
using FIDString = const char8*;
using TUID = char[16];
using ParamID = uint32;
using ParamValue = double;
using SampleRate = double;
using TSamples = int64;
using TQuarterNotes = double;
using SpeakerArrangement = uint64;
using MediaType = int32;
using BusDirection = int32;
using BusType = int32;
using IoMode = int32;
using UnitID = int32;
using ProgramListID = int32;
using CtrlNumber = int16;
using Sample32 = float;
using Sample64 = double;

#if VST3_COM_COMPATIBLE
constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFL);
constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000EL);
#else
constexpr tresult kNoInterface = -1;
constexpr tresult kResultOk = 0;
constexpr tresult kResultTrue = kResultOk;
constexpr tresult kResultFalse = 1;
constexpr tresult kInvalidArgument = 2;
constexpr tresult kNotImplemented = 3;
constexpr tresult kInternalError = 4;
constexpr tresult kNotInitialized = 5;
constexpr tresult kOutOfMemory = 6;
#endif

// An identifier written as four 32-bit numbers, laid out in memory as this platform stores it.
struct Uid {
    char bytes[16];

    static constexpr Uid Make(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
    {
        Uid uid{};
#if VST3_COM_COMPATIBLE
        const uint8 first[8] = {uint8(l1), uint8(l1 >> 8), uint8(l1 >> 16), uint8(l1 >> 24),
                                uint8(l2 >> 16), uint8(l2 >> 24), uint8(l2), uint8(l2 >> 8)};
#else
        const uint8 first[8] = {uint8(l1 >> 24), uint8(l1 >> 16), uint8(l1 >> 8), uint8(l1),
                                uint8(l2 >> 24), uint8(l2 >> 16), uint8(l2 >> 8), uint8(l2)};
#endif
        const uint8 rest[8] = {uint8(l3 >> 24), uint8(l3 >> 16), uint8(l3 >> 8), uint8(l3),
                               uint8(l4 >> 24), uint8(l4 >> 16), uint8(l4 >> 8), uint8(l4)};
        for (int i = 0; i < 8; ++i) {
            uid.bytes[i] = static_cast<char>(first[i]);
            uid.bytes[8 + i] = static_cast<char>(rest[i]);
        }
        return uid;
    }
    bool Matches(const void* other) const { return other != nullptr && std::memcmp(bytes, other, 16) == 0; }
};

// ---- The base of every interface --------------------------------------------------------------

class FUnknown {
public:
    virtual tresult VST3_API queryInterface(const TUID iid, void** object) = 0;
    virtual uint32 VST3_API addRef() = 0;
    virtual uint32 VST3_API release() = 0;
};
constexpr Uid kFUnknownIid = Uid::Make(0x00000000, 0x00000000, 0xC0000000, 0x00000046);

class IPluginBase : public FUnknown {
public:
    virtual tresult VST3_API initialize(FUnknown* context) = 0;
    virtual tresult VST3_API terminate() = 0;
};
constexpr Uid kIPluginBaseIid = Uid::Make(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);

// ---- Streams ---------------------------------------------------------------------------------

enum IStreamSeekMode : int32 { kIBSeekSet = 0, kIBSeekCur = 1, kIBSeekEnd = 2 };

class IBStream : public FUnknown {
public:
    virtual tresult VST3_API read(void* buffer, int32 numBytes, int32* numBytesRead) = 0;
    virtual tresult VST3_API write(void* buffer, int32 numBytes, int32* numBytesWritten) = 0;
    virtual tresult VST3_API seek(int64 pos, int32 mode, int64* result) = 0;
    virtual tresult VST3_API tell(int64* pos) = 0;
};
constexpr Uid kIBStreamIid = Uid::Make(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

// ---- The factory -----------------------------------------------------------------------------

struct PFactoryInfo {
    enum : int32 { kNoFlags = 0, kClassesDiscardable = 1 << 0, kLicenseCheck = 1 << 1,
                   kComponentNonDiscardable = 1 << 3, kUnicode = 1 << 4 };
    char8 vendor[64];
    char8 url[256];
    char8 email[128];
    int32 flags;
};

constexpr int32 kManyInstances = 0x7FFFFFFF;

struct PClassInfo {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
};

struct PClassInfo2 {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char8 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char8 vendor[64];
    char8 version[64];
    char8 sdkVersion[64];
};

struct PClassInfoW {
    TUID cid;
    int32 cardinality;
    char8 category[32];
    char16 name[64];
    uint32 classFlags;
    char8 subCategories[128];
    char16 vendor[64];
    char16 version[64];
    char16 sdkVersion[64];
};

class IPluginFactory : public FUnknown {
public:
    virtual tresult VST3_API getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 VST3_API countClasses() = 0;
    virtual tresult VST3_API getClassInfo(int32 index, PClassInfo* info) = 0;
    virtual tresult VST3_API createInstance(FIDString cid, FIDString iid, void** object) = 0;
};
constexpr Uid kIPluginFactoryIid = Uid::Make(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);

class IPluginFactory2 : public IPluginFactory {
public:
    virtual tresult VST3_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
};
constexpr Uid kIPluginFactory2Iid = Uid::Make(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);

class IPluginFactory3 : public IPluginFactory2 {
public:
    virtual tresult VST3_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult VST3_API setHostContext(FUnknown* context) = 0;
};
constexpr Uid kIPluginFactory3Iid = Uid::Make(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);

// ---- Component and audio processor -------------------------------------------------------------

enum MediaTypes : int32 { kAudio = 0, kEvent = 1 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum BusFlags : uint32 { kDefaultActive = 1 << 0, kIsControlVoltage = 1 << 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
public:
    virtual tresult VST3_API getControllerClassId(TUID classId) = 0;
    virtual tresult VST3_API setIoMode(IoMode mode) = 0;
    virtual int32 VST3_API getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult VST3_API getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
    virtual tresult VST3_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult VST3_API activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
    virtual tresult VST3_API setActive(TBool state) = 0;
    virtual tresult VST3_API setState(IBStream* state) = 0;
    virtual tresult VST3_API getState(IBStream* state) = 0;
};
constexpr Uid kIComponentIid = Uid::Make(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

namespace SpeakerArr {
constexpr SpeakerArrangement kSpeakerL = 1 << 0;
constexpr SpeakerArrangement kSpeakerR = 1 << 1;
constexpr SpeakerArrangement kStereo = kSpeakerL | kSpeakerR;
} // namespace SpeakerArr

enum SymbolicSampleSizes : int32 { kSample32 = 0, kSample64 = 1 };
enum ProcessModes : int32 { kRealtime = 0, kPrefetch = 1, kOffline = 2 };
constexpr uint32 kNoTail = 0;
constexpr uint32 kInfiniteTail = 0xFFFFFFFFu;

struct ProcessSetup {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 maxSamplesPerBlock;
    SampleRate sampleRate;
};

struct AudioBusBuffers {
    int32 numChannels;
    uint64 silenceFlags;
    union {
        Sample32** channelBuffers32;
        Sample64** channelBuffers64;
    };
};

struct Chord {
    uint8 keyNote;
    uint8 rootNote;
    int16 chordMask;
};

struct FrameRate {
    uint32 framesPerSecond;
    uint32 flags;
};

struct ProcessContext {
    enum StatesAndFlags : uint32 {
        kPlaying = 1 << 1,
        kCycleActive = 1 << 2,
        kRecording = 1 << 3,
        kSystemTimeValid = 1 << 8,
        kProjectTimeMusicValid = 1 << 9,
        kTempoValid = 1 << 10,
        kBarPositionValid = 1 << 11,
        kCycleValid = 1 << 12,
        kTimeSigValid = 1 << 13,
        kSmpteValid = 1 << 14,
        kClockValid = 1 << 15,
        kContTimeValid = 1 << 17,
        kChordValid = 1 << 18,
    };
    uint32 state;
    double sampleRate;
    TSamples projectTimeSamples;
    int64 systemTime;
    TSamples continousTimeSamples;
    TQuarterNotes projectTimeMusic;
    TQuarterNotes barPositionMusic;
    TQuarterNotes cycleStartMusic;
    TQuarterNotes cycleEndMusic;
    double tempo;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    Chord chord;
    int32 smpteOffsetSubframes;
    FrameRate frameRate;
    int32 samplesToNextClock;
};

class IParamValueQueue : public FUnknown {
public:
    virtual ParamID VST3_API getParameterId() = 0;
    virtual int32 VST3_API getPointCount() = 0;
    virtual tresult VST3_API getPoint(int32 index, int32& sampleOffset, ParamValue& value) = 0;
    virtual tresult VST3_API addPoint(int32 sampleOffset, ParamValue value, int32& index) = 0;
};
constexpr Uid kIParamValueQueueIid = Uid::Make(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4604B4FF);

class IParameterChanges : public FUnknown {
public:
    virtual int32 VST3_API getParameterCount() = 0;
    virtual IParamValueQueue* VST3_API getParameterData(int32 index) = 0;
    virtual IParamValueQueue* VST3_API addParameterData(const ParamID& id, int32& index) = 0;
};
constexpr Uid kIParameterChangesIid = Uid::Make(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

struct Event; // events are not read by this effect: it has no event bus

class IEventList : public FUnknown {
public:
    virtual int32 VST3_API getEventCount() = 0;
    virtual tresult VST3_API getEvent(int32 index, Event& e) = 0;
    virtual tresult VST3_API addEvent(Event& e) = 0;
};
constexpr Uid kIEventListIid = Uid::Make(0x3A2C4214, 0x346349FE, 0xB2C4F397, 0xB9695A44);

struct ProcessData {
    int32 processMode;
    int32 symbolicSampleSize;
    int32 numSamples;
    int32 numInputs;
    int32 numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    IEventList* inputEvents;
    IEventList* outputEvents;
    ProcessContext* processContext;
};

class IAudioProcessor : public FUnknown {
public:
    virtual tresult VST3_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) = 0;
    virtual tresult VST3_API getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
    virtual tresult VST3_API canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 VST3_API getLatencySamples() = 0;
    virtual tresult VST3_API setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult VST3_API setProcessing(TBool state) = 0;
    virtual tresult VST3_API process(ProcessData& data) = 0;
    virtual uint32 VST3_API getTailSamples() = 0;
};
constexpr Uid kIAudioProcessorIid = Uid::Make(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

// The parts of the process context the processor reads; the host asks once, between
// initialize and setActive, and may leave every other part out. Mandatory since 3.7: without
// it a host may pass no context at all.
class IProcessContextRequirements : public FUnknown {
public:
    enum Flags : uint32 {
        kNeedSystemTime = 1 << 0,
        kNeedContinousTimeSamples = 1 << 1,
        kNeedProjectTimeMusic = 1 << 2,
        kNeedBarPositionMusic = 1 << 3,
        kNeedCycleMusic = 1 << 4,
        kNeedSamplesToNextClock = 1 << 5,
        kNeedTempo = 1 << 6,
        kNeedTimeSignature = 1 << 7,
        kNeedChord = 1 << 8,
        kNeedFrameRate = 1 << 9,
        kNeedTransportState = 1 << 10,
    };
    virtual uint32 VST3_API getProcessContextRequirements() = 0;
};
constexpr Uid kIProcessContextRequirementsIid = Uid::Make(0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0);

// ---- Edit controller ------------------------------------------------------------------------

struct ParameterInfo {
    enum ParameterFlags : int32 {
        kNoFlags = 0,
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsWrapAround = 1 << 2,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16,
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

enum RestartFlags : int32 {
    kReloadComponent = 1 << 0,
    kIoChanged = 1 << 1,
    kParamValuesChanged = 1 << 2,
    kLatencyChanged = 1 << 3,
    kParamTitlesChanged = 1 << 4,
    kMidiCCAssignmentChanged = 1 << 5,
};

class IComponentHandler : public FUnknown {
public:
    virtual tresult VST3_API beginEdit(ParamID id) = 0;
    virtual tresult VST3_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult VST3_API endEdit(ParamID id) = 0;
    virtual tresult VST3_API restartComponent(int32 flags) = 0;
};
constexpr Uid kIComponentHandlerIid = Uid::Make(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

class IPlugView;

class IEditController : public IPluginBase {
public:
    virtual tresult VST3_API setComponentState(IBStream* state) = 0;
    virtual tresult VST3_API setState(IBStream* state) = 0;
    virtual tresult VST3_API getState(IBStream* state) = 0;
    virtual int32 VST3_API getParameterCount() = 0;
    virtual tresult VST3_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult VST3_API getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) = 0;
    virtual tresult VST3_API getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) = 0;
    virtual ParamValue VST3_API normalizedParamToPlain(ParamID id, ParamValue valueNormalized) = 0;
    virtual ParamValue VST3_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue VST3_API getParamNormalized(ParamID id) = 0;
    virtual tresult VST3_API setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult VST3_API setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* VST3_API createView(FIDString name) = 0;
};
constexpr Uid kIEditControllerIid = Uid::Make(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

// ---- Units and program lists ------------------------------------------------------------------

constexpr UnitID kRootUnitId = 0;
constexpr UnitID kNoParentUnitId = -1;
constexpr ProgramListID kNoProgramListId = -1;

struct UnitInfo {
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo {
    ProgramListID id;
    String128 name;
    int32 programCount;
};

class IUnitInfo : public FUnknown {
public:
    virtual int32 VST3_API getUnitCount() = 0;
    virtual tresult VST3_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 VST3_API getProgramListCount() = 0;
    virtual tresult VST3_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult VST3_API getProgramName(ProgramListID listId, int32 programIndex, String128 name) = 0;
    virtual tresult VST3_API getProgramInfo(ProgramListID listId, int32 programIndex, const char8* attributeId,
                                            String128 attributeValue) = 0;
    virtual tresult VST3_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult VST3_API getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                                 String128 name) = 0;
    virtual UnitID VST3_API getSelectedUnit() = 0;
    virtual tresult VST3_API selectUnit(UnitID unitId) = 0;
    virtual tresult VST3_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                          UnitID& unitId) = 0;
    virtual tresult VST3_API setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
};
constexpr Uid kIUnitInfoIid = Uid::Make(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);

// ---- MIDI controllers mapped onto parameters -----------------------------------------------------

class IMidiMapping : public FUnknown {
public:
    virtual tresult VST3_API getMidiControllerAssignment(int32 busIndex, int16 channel, CtrlNumber midiControllerNumber,
                                                         ParamID& id) = 0;
};
constexpr Uid kIMidiMappingIid = Uid::Make(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);

// ---- Plug-in views ------------------------------------------------------------------------------

constexpr char kPlatformTypeHWND[] = "HWND";
constexpr char kPlatformTypeX11EmbedWindowID[] = "X11EmbedWindowID";
constexpr char kEditorViewName[] = "editor";

struct ViewRect {
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
};

class IPlugFrame;

class IPlugView : public FUnknown {
public:
    virtual tresult VST3_API isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult VST3_API attached(void* parent, FIDString type) = 0;
    virtual tresult VST3_API removed() = 0;
    virtual tresult VST3_API onWheel(float distance) = 0;
    virtual tresult VST3_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult VST3_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult VST3_API getSize(ViewRect* size) = 0;
    virtual tresult VST3_API onSize(ViewRect* newSize) = 0;
    virtual tresult VST3_API onFocus(TBool state) = 0;
    virtual tresult VST3_API setFrame(IPlugFrame* frame) = 0;
    virtual tresult VST3_API canResize() = 0;
    virtual tresult VST3_API checkSizeConstraint(ViewRect* rect) = 0;
};
constexpr Uid kIPlugViewIid = Uid::Make(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

class IPlugFrame : public FUnknown {
public:
    virtual tresult VST3_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
};
constexpr Uid kIPlugFrameIid = Uid::Make(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

// ---- Linux: the host's run loop -----------------------------------------------------------------
// X11 has no event loop of its own: a host on Linux offers one through its IPlugFrame, and the
// view hands it a descriptor to watch and a timer. Every call on the user-interface thread.

using FileDescriptor = int;
using TimerInterval = uint64;

class IEventHandler : public FUnknown {
public:
    virtual void VST3_API onFDIsSet(FileDescriptor fd) = 0;
};
constexpr Uid kIEventHandlerIid = Uid::Make(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

class ITimerHandler : public FUnknown {
public:
    virtual void VST3_API onTimer() = 0;
};
constexpr Uid kITimerHandlerIid = Uid::Make(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

class IRunLoop : public FUnknown {
public:
    virtual tresult VST3_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
    virtual tresult VST3_API unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult VST3_API registerTimer(ITimerHandler* handler, TimerInterval milliseconds) = 0;
    virtual tresult VST3_API unregisterTimer(ITimerHandler* handler) = 0;
};
constexpr Uid kIRunLoopIid = Uid::Make(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

// ---- Compile-time checks of the records' layouts ------------------------------------------------

static_assert(sizeof(TUID) == 16, "identifiers are sixteen bytes");
static_assert(sizeof(char16) == 2, "format strings are 16-bit");
static_assert(sizeof(PFactoryInfo) == 452, "PFactoryInfo");
static_assert(offsetof(PFactoryInfo, flags) == 448, "PFactoryInfo::flags");
static_assert(sizeof(PClassInfo) == 116, "PClassInfo");
static_assert(offsetof(PClassInfo, name) == 52, "PClassInfo::name");
static_assert(sizeof(PClassInfo2) == 440, "PClassInfo2");
static_assert(offsetof(PClassInfo2, classFlags) == 116, "PClassInfo2::classFlags");
static_assert(offsetof(PClassInfo2, sdkVersion) == 376, "PClassInfo2::sdkVersion");
static_assert(sizeof(PClassInfoW) == 696, "PClassInfoW");
static_assert(offsetof(PClassInfoW, classFlags) == 180, "PClassInfoW::classFlags");
static_assert(offsetof(PClassInfoW, vendor) == 312, "PClassInfoW::vendor");
static_assert(sizeof(BusInfo) == 276, "BusInfo");
static_assert(offsetof(BusInfo, busType) == 268, "BusInfo::busType");
static_assert(sizeof(RoutingInfo) == 12, "RoutingInfo");
static_assert(sizeof(ProcessSetup) == 24, "ProcessSetup");
static_assert(offsetof(ProcessSetup, sampleRate) == 16, "ProcessSetup::sampleRate");
// The channel arrays follow the 64-bit flags at 16 on every width; the record then pads to the
// flags' alignment.
static_assert(offsetof(AudioBusBuffers, channelBuffers32) == 16, "AudioBusBuffers::channelBuffers32");
static_assert(sizeof(AudioBusBuffers) % alignof(uint64) == 0 && sizeof(AudioBusBuffers) <= 24, "AudioBusBuffers");
static_assert(offsetof(AudioBusBuffers, silenceFlags) == 8, "AudioBusBuffers::silenceFlags");
static_assert(sizeof(Chord) == 4, "Chord");
static_assert(sizeof(FrameRate) == 8, "FrameRate");
static_assert(offsetof(ProcessContext, sampleRate) == 8, "ProcessContext::sampleRate");
static_assert(offsetof(ProcessContext, projectTimeMusic) == 40, "ProcessContext::projectTimeMusic");
static_assert(offsetof(ProcessContext, tempo) == 72, "ProcessContext::tempo");
static_assert(offsetof(ProcessContext, timeSigNumerator) == 80, "ProcessContext::timeSigNumerator");
static_assert(offsetof(ProcessContext, chord) == 88, "ProcessContext::chord");
static_assert(offsetof(ProcessContext, frameRate) == 96, "ProcessContext::frameRate");
static_assert(offsetof(ProcessContext, samplesToNextClock) == 104, "ProcessContext::samplesToNextClock");
static_assert(sizeof(ProcessContext) == 112, "ProcessContext");
static_assert(offsetof(ProcessData, inputs) == 20 + (sizeof(void*) == 8 ? 4 : 0), "ProcessData::inputs");
static_assert(sizeof(ProcessData) == 20 + (sizeof(void*) == 8 ? 4 : 0) + 7 * sizeof(void*), "ProcessData");
static_assert(offsetof(ParameterInfo, shortTitle) == 260, "ParameterInfo::shortTitle");
static_assert(offsetof(ParameterInfo, stepCount) == 772, "ParameterInfo::stepCount");
static_assert(offsetof(ParameterInfo, defaultNormalizedValue) == 776, "ParameterInfo::defaultNormalizedValue");
static_assert(offsetof(ParameterInfo, flags) == 788, "ParameterInfo::flags");
static_assert(sizeof(ParameterInfo) == 792, "ParameterInfo");
static_assert(sizeof(UnitInfo) == 268, "UnitInfo");
static_assert(sizeof(ViewRect) == 16, "ViewRect");
static_assert(sizeof(ProgramListInfo) == 264, "ProgramListInfo");

} // namespace Vst3
