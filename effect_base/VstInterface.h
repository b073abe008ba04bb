#pragma once
// The VST 2.4 binary interface as the host sees it: the effect record, the host records this
// effect reads, and the opcode numbers. Declared here from the published layouts; the offsets
// are checked at compile time for both pointer sizes.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define VSTCALLBACK __cdecl
#else
#define VSTCALLBACK
#endif

using VstInt16 = int16_t;
using VstInt32 = int32_t;
using VstIntPtr = intptr_t;

struct AEffect;

extern "C" {
using audioMasterCallback = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                     VstIntPtr value, void* ptr, float opt);
using AEffectDispatcherProc = VstIntPtr(VSTCALLBACK*)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                                       VstIntPtr value, void* ptr, float opt);
using AEffectProcessProc = void(VSTCALLBACK*)(AEffect* effect, float** inputs, float** outputs,
                                              VstInt32 sampleFrames);
using AEffectProcessDoubleProc = void(VSTCALLBACK*)(AEffect* effect, double** inputs, double** outputs,
                                                    VstInt32 sampleFrames);
using AEffectSetParameterProc = void(VSTCALLBACK*)(AEffect* effect, VstInt32 index, float parameter);
using AEffectGetParameterProc = float(VSTCALLBACK*)(AEffect* effect, VstInt32 index);
}

constexpr VstInt32 FourCharCode(char a, char b, char c, char d)
{
    return static_cast<VstInt32>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                                 (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                                 static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr VstInt32 kEffectMagic = FourCharCode('V', 's', 't', 'P');

struct AEffect {
    VstInt32 magic;
    AEffectDispatcherProc dispatcher;
    AEffectProcessProc process;
    AEffectSetParameterProc setParameter;
    AEffectGetParameterProc getParameter;
    VstInt32 numPrograms;
    VstInt32 numParams;
    VstInt32 numInputs;
    VstInt32 numOutputs;
    VstInt32 flags;
    VstIntPtr resvd1;
    VstIntPtr resvd2;
    VstInt32 initialDelay;
    VstInt32 realQualities;
    VstInt32 offQualities;
    float ioRatio;
    void* object;
    void* user;
    VstInt32 uniqueID;
    VstInt32 version;
    AEffectProcessProc processReplacing;
    AEffectProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum VstAEffectFlags : VstInt32 {
    effFlagsHasEditor = 1 << 0,
    effFlagsHasClip = 1 << 1,
    effFlagsHasVu = 1 << 2,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsExtIsAsync = 1 << 10,
    effFlagsExtHasBuffer = 1 << 11,
    effFlagsCanDoubleReplacing = 1 << 12,
};

enum AEffectOpcodes : VstInt32 {
    effOpen = 0,
    effClose,
    effSetProgram,
    effGetProgram,
    effSetProgramName,
    effGetProgramName,
    effGetParamLabel,
    effGetParamDisplay,
    effGetParamName,
    effGetVu,
    effSetSampleRate,
    effSetBlockSize,
    effMainsChanged,
    effEditGetRect,
    effEditOpen,
    effEditClose,
    effEditDraw,
    effEditMouse,
    effEditKey,
    effEditIdle,
    effEditTop,
    effEditSleep,
    effIdentify,
    effGetChunk,
    effSetChunk,
};

enum AEffectXOpcodes : VstInt32 {
    effProcessEvents = effSetChunk + 1, // 25
    effCanBeAutomated,
    effString2Parameter,
    effGetNumProgramCategories,
    effGetProgramNameIndexed,
    effCopyProgram,
    effConnectInput,
    effConnectOutput,
    effGetInputProperties,
    effGetOutputProperties,
    effGetPlugCategory, // 35
    effGetCurrentPosition,
    effGetDestinationBuffer,
    effOfflineNotify,
    effOfflinePrepare,
    effOfflineRun,
    effProcessVarIo,
    effSetSpeakerArrangement,
    effSetBlockSizeAndSampleRate,
    effSetBypass,
    effGetEffectName, // 45
    effGetErrorText,
    effGetVendorString,
    effGetProductString,
    effGetVendorVersion,
    effVendorSpecific, // 50
    effCanDo,
    effGetTailSize,
    effIdle,
    effGetIcon,
    effSetViewPosition,
    effGetParameterProperties,
    effKeysRequired,
    effGetVstVersion,
    effEditKeyDown,
    effEditKeyUp, // 60
    effSetEditKnobMode,
    effGetMidiProgramName,
    effGetCurrentMidiProgram,
    effGetMidiProgramCategory,
    effHasMidiProgramsChanged,
    effGetMidiKeyName,
    effBeginSetProgram,
    effEndSetProgram,
    effGetSpeakerArrangement,
    effShellGetNextPlugin, // 70
    effStartProcess,
    effStopProcess,
    effSetTotalSampleToProcess,
    effSetPanLaw,
    effBeginLoadBank,
    effBeginLoadProgram,
    effSetProcessPrecision,
    effGetNumMidiInputChannels,
    effGetNumMidiOutputChannels, // 79
};

enum AudioMasterOpcodes : VstInt32 {
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterPinConnected = 4,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum VstPlugCategory : VstInt32 { kPlugCategUnknown = 0, kPlugCategEffect = 1, kPlugCategSynth = 2 };

enum VstEventTypes : VstInt32 { kVstMidiType = 1, kVstSysExType = 6 };

struct VstEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    char data[16];
};

struct VstMidiEvent {
    VstInt32 type;
    VstInt32 byteSize;
    VstInt32 deltaFrames;
    VstInt32 flags;
    VstInt32 noteLength;
    VstInt32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstEvents {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[2]; // the host allocates as many pointers as numEvents
};

enum VstTimeInfoFlags : VstInt32 {
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
};

struct VstTimeInfo {
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    VstInt32 timeSigNumerator;
    VstInt32 timeSigDenominator;
    VstInt32 smpteOffset;
    VstInt32 smpteFrameRate;
    VstInt32 samplesToNextClock;
    VstInt32 flags;
};

struct ERect {
    VstInt16 top;
    VstInt16 left;
    VstInt16 bottom;
    VstInt16 right;
};

struct VstKeyCode {
    VstInt32 character;
    unsigned char virt;
    unsigned char modifier;
};

struct VstSpeakerArrangement;

// Fixed widths of the text fields the host hands us.
enum VstStringConstants : VstInt32 {
    kVstMaxProgNameLen = 24,
    kVstMaxParamStrLen = 8,
    kVstMaxVendorStrLen = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
};

// The layouts hosts were compiled against; a wrong offset would be a silent crash in a host.
#define MORLENT_CHECK_OFFSET(type, field, at64, at32) \
    static_assert(offsetof(type, field) == (sizeof(void*) == 8 ? (at64) : (at32)), #type "::" #field)

MORLENT_CHECK_OFFSET(AEffect, magic, 0, 0);
MORLENT_CHECK_OFFSET(AEffect, dispatcher, 8, 4);
MORLENT_CHECK_OFFSET(AEffect, process, 16, 8);
MORLENT_CHECK_OFFSET(AEffect, setParameter, 24, 12);
MORLENT_CHECK_OFFSET(AEffect, getParameter, 32, 16);
MORLENT_CHECK_OFFSET(AEffect, numPrograms, 40, 20);
MORLENT_CHECK_OFFSET(AEffect, numParams, 44, 24);
MORLENT_CHECK_OFFSET(AEffect, numInputs, 48, 28);
MORLENT_CHECK_OFFSET(AEffect, numOutputs, 52, 32);
MORLENT_CHECK_OFFSET(AEffect, flags, 56, 36);
MORLENT_CHECK_OFFSET(AEffect, resvd1, 64, 40);
MORLENT_CHECK_OFFSET(AEffect, resvd2, 72, 44);
MORLENT_CHECK_OFFSET(AEffect, initialDelay, 80, 48);
MORLENT_CHECK_OFFSET(AEffect, realQualities, 84, 52);
MORLENT_CHECK_OFFSET(AEffect, offQualities, 88, 56);
MORLENT_CHECK_OFFSET(AEffect, ioRatio, 92, 60);
MORLENT_CHECK_OFFSET(AEffect, object, 96, 64);
MORLENT_CHECK_OFFSET(AEffect, user, 104, 68);
MORLENT_CHECK_OFFSET(AEffect, uniqueID, 112, 72);
MORLENT_CHECK_OFFSET(AEffect, version, 116, 76);
MORLENT_CHECK_OFFSET(AEffect, processReplacing, 120, 80);
MORLENT_CHECK_OFFSET(AEffect, processDoubleReplacing, 128, 84);
MORLENT_CHECK_OFFSET(AEffect, future, 136, 88);
static_assert(sizeof(AEffect) == (sizeof(void*) == 8 ? 192 : 144), "AEffect size");

MORLENT_CHECK_OFFSET(VstEvents, numEvents, 0, 0);
MORLENT_CHECK_OFFSET(VstEvents, events, 16, 8);
MORLENT_CHECK_OFFSET(VstMidiEvent, type, 0, 0);
MORLENT_CHECK_OFFSET(VstMidiEvent, deltaFrames, 8, 8);
MORLENT_CHECK_OFFSET(VstMidiEvent, midiData, 24, 24);
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
static_assert(sizeof(VstEvent) == 32, "VstEvent size");
MORLENT_CHECK_OFFSET(VstTimeInfo, ppqPos, 24, 24);
MORLENT_CHECK_OFFSET(VstTimeInfo, tempo, 32, 32);
MORLENT_CHECK_OFFSET(VstTimeInfo, timeSigNumerator, 64, 64);
MORLENT_CHECK_OFFSET(VstTimeInfo, timeSigDenominator, 68, 68);
MORLENT_CHECK_OFFSET(VstTimeInfo, flags, 84, 84);
static_assert(sizeof(ERect) == 8, "ERect size");

#undef MORLENT_CHECK_OFFSET
