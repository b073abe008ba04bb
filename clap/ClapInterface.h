#pragma once
// The CLAP binary interface as both sides see it: the entry the module exports, the factories,
// the plug-in and host records, the process call and its events, and the extensions this
// effect offers or asks its host for. Declared here from the format's published documentation,
// only what we use; every record is a plain C struct of data and function pointers (the
// format's calling convention is the platform's C one), and the size and offsets of each are
// checked at compile time at the end of this file for LP64 Linux and LLP64 Windows alike.
//
// Threads, as the format names them: the main thread (the one that loaded the module and
// created the plug-in), the audio thread (the one inside process at the time), and any thread.

#include <cstddef>
#include <cstdint>

namespace Clap {

// ---- Versions and identifiers ------------------------------------------------------------------

struct Version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
// The format's version this effect was built against; a host accepts any 1.x.
constexpr Version kVersion{1, 2, 2};
constexpr bool IsCompatible(const Version& version)
{
    return version.major >= 1;
}

using Id = uint32_t;
constexpr Id kInvalidId = 0xFFFFFFFFu;
// Names and module paths the host hands over have these capacities, terminator included.
constexpr uint32_t kNameSize = 256;
constexpr uint32_t kPathSize = 1024;

struct Host;
struct Plugin;

// ---- The module's entry: the one symbol it exports, clap_entry ----------------------------------

struct PluginEntry {
    Version version;
    // Main thread, once before anything else; the path of the module file. False: unusable.
    bool (*init)(const char* pluginPath);
    // Main thread, once after everything else.
    void (*deinit)();
    // Any thread after init: the factory of that id, or null.
    const void* (*getFactory)(const char* factoryId);
};

// ---- The plug-in factory ---------------------------------------------------------------------

constexpr char kPluginFactoryId[] = "clap.plugin-factory";

struct PluginDescriptor {
    Version version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* versionText;
    const char* description;
    const char* const* features; // null-terminated
};

// Plug-in features hosts sort by.
constexpr char kFeatureAudioEffect[] = "audio-effect";
constexpr char kFeatureDelay[] = "delay";
constexpr char kFeatureStereo[] = "stereo";

struct PluginFactory {
    // Every call: any thread (the format makes the factory thread-safe).
    uint32_t (*getPluginCount)(const PluginFactory* factory);
    const PluginDescriptor* (*getPluginDescriptor)(const PluginFactory* factory, uint32_t index);
    // Main thread. The plug-in must not call its host here; init comes next.
    const Plugin* (*createPlugin)(const PluginFactory* factory, const Host* host, const char* pluginId);
};

// ---- The host as the plug-in sees it ---------------------------------------------------------

struct Host {
    Version version;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* versionText;
    // Any thread: the host's extension of that id, or null.
    const void* (*getExtension)(const Host* host, const char* extensionId);
    // Any thread: deactivate and activate the plug-in again.
    void (*requestRestart)(const Host* host);
    // Any thread: activate and process, as when the host would otherwise sleep it.
    void (*requestProcess)(const Host* host);
    // Any thread: call on_main_thread soon, on the main thread.
    void (*requestCallback)(const Host* host);
};

// ---- Audio buffers, events and the process call ----------------------------------------------

struct AudioBuffer {
    float** data32;   // channel_count channels of frames_count samples, or null
    double** data64;
    uint32_t channelCount;
    uint32_t latency;
    uint64_t constantMask; // bit n: channel n holds one value throughout the block
};

// Every event starts with this header; events of a block come in time order.
struct EventHeader {
    uint32_t size; // of the whole event, header included
    uint32_t time; // the frame inside the block
    uint16_t spaceId;
    uint16_t type;
    uint32_t flags;
};
constexpr uint16_t kCoreEventSpace = 0;
// Flags: a live user action, and an event that should not be recorded as automation.
constexpr uint32_t kEventIsLive = 1u << 0;
constexpr uint32_t kEventDontRecord = 1u << 1;

enum EventType : uint16_t {
    kEventNoteOn = 0,
    kEventNoteOff = 1,
    kEventNoteChoke = 2,
    kEventNoteEnd = 3,
    kEventNoteExpression = 4,
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
    kEventTransport = 9,
    kEventMidi = 10,
    kEventMidiSysex = 11,
    kEventMidi2 = 12,
};

struct ParamValueEvent {
    EventHeader header;
    Id paramId;
    void* cookie;
    // -1 for a value that holds for every note, key, channel and port.
    int32_t noteId;
    int16_t portIndex;
    int16_t channel;
    int16_t key;
    double value;
};

struct ParamGestureEvent {
    EventHeader header;
    Id paramId;
};

// Positions in beats and seconds as fixed-point numbers with 31 fraction bits.
using BeatTime = int64_t;
using SecondsTime = int64_t;
constexpr double kBeatTimeFactor = 2147483648.0;
constexpr double kSecondsTimeFactor = 2147483648.0;

struct TransportEvent {
    EventHeader header;
    uint32_t flags;
    BeatTime songPositionBeats;
    SecondsTime songPositionSeconds;
    double tempo;          // beats per minute
    double tempoIncrement; // per frame, until the next transport event
    BeatTime loopStartBeats;
    BeatTime loopEndBeats;
    SecondsTime loopStartSeconds;
    SecondsTime loopEndSeconds;
    BeatTime barStart;
    int32_t barNumber;
    uint16_t timeSignatureNumerator;
    uint16_t timeSignatureDenominator;
};
enum TransportFlags : uint32_t {
    kTransportHasTempo = 1u << 0,
    kTransportHasBeatsTimeline = 1u << 1,
    kTransportHasSecondsTimeline = 1u << 2,
    kTransportHasTimeSignature = 1u << 3,
    kTransportIsPlaying = 1u << 4,
    kTransportIsRecording = 1u << 5,
    kTransportIsLoopActive = 1u << 6,
    kTransportIsWithinPreRoll = 1u << 7,
};

struct MidiEvent {
    EventHeader header;
    uint16_t portIndex;
    uint8_t data[3];
};

// The host's events for a block, or for flush; valid only during that call.
struct InputEvents {
    void* context;
    uint32_t (*size)(const InputEvents* list);
    // Null for an index past the end.
    const EventHeader* (*get)(const InputEvents* list, uint32_t index);
};

// Where the plug-in tells the host what it changed; events pushed in time order.
struct OutputEvents {
    void* context;
    // False when the host could not take the event.
    bool (*tryPush)(const OutputEvents* list, const EventHeader* event);
};

struct Process {
    int64_t steadyTime; // frames since some start, -1 when the host keeps none
    uint32_t framesCount;
    const TransportEvent* transport; // null when the host is not playing a timeline
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    uint32_t audioInputsCount;
    uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

enum ProcessStatus : int32_t {
    kProcessError = 0,
    kProcessContinue = 1,
    kProcessContinueIfNotQuiet = 2,
    kProcessTail = 3,
    kProcessSleep = 4,
};

// ---- The plug-in -------------------------------------------------------------------------------

struct Plugin {
    const PluginDescriptor* descriptor;
    void* pluginData;
    // Main thread, once after creation: the first moment the plug-in may call its host.
    bool (*init)(const Plugin* plugin);
    // Main thread; the host deactivates first, but a plug-in must not rely on it.
    void (*destroy)(const Plugin* plugin);
    // Main thread, while deactivated: may allocate; blocks hold min..max frames.
    bool (*activate)(const Plugin* plugin, double sampleRate, uint32_t minFramesCount, uint32_t maxFramesCount);
    // Main thread, while activated.
    void (*deactivate)(const Plugin* plugin);
    // Audio thread, while activated and not processing.
    bool (*startProcessing)(const Plugin* plugin);
    // Audio thread, while processing.
    void (*stopProcessing)(const Plugin* plugin);
    // Audio thread, while activated: clear buffers and envelopes, as after a fresh activation.
    void (*reset)(const Plugin* plugin);
    // Audio thread, while processing.
    ProcessStatus (*process)(const Plugin* plugin, const Process* process);
    // Any thread: the plug-in's extension of that id, or null.
    const void* (*getExtension)(const Plugin* plugin, const char* extensionId);
    // Main thread, after the plug-in asked for it through the host's request_callback.
    void (*onMainThread)(const Plugin* plugin);
};

// ---- Extension: audio ports ------------------------------------------------------------------

constexpr char kExtAudioPorts[] = "clap.audio-ports";
constexpr char kPortMono[] = "mono";
constexpr char kPortStereo[] = "stereo";

enum AudioPortFlags : uint32_t {
    kAudioPortIsMain = 1u << 0,
    kAudioPortSupports64Bits = 1u << 1,
    kAudioPortPrefers64Bits = 1u << 2,
    kAudioPortRequiresCommonSampleSize = 1u << 3,
};

struct AudioPortInfo {
    Id id;
    char name[kNameSize];
    uint32_t flags;
    uint32_t channelCount;
    const char* portType; // kPortStereo and the like, or null
    Id inPlacePair;       // the port of the other direction whose buffer may be this one's
};

struct PluginAudioPorts {
    // Main thread.
    uint32_t (*count)(const Plugin* plugin, bool isInput);
    // Main thread.
    bool (*get)(const Plugin* plugin, uint32_t index, bool isInput, AudioPortInfo* info);
};

// ---- Extension: note ports -------------------------------------------------------------------

constexpr char kExtNotePorts[] = "clap.note-ports";

enum NoteDialect : uint32_t {
    kNoteDialectClap = 1u << 0,
    kNoteDialectMidi = 1u << 1,
    kNoteDialectMidiMpe = 1u << 2,
    kNoteDialectMidi2 = 1u << 3,
};

struct NotePortInfo {
    Id id;
    uint32_t supportedDialects;
    uint32_t preferredDialect;
    char name[kNameSize];
};

struct PluginNotePorts {
    // Main thread.
    uint32_t (*count)(const Plugin* plugin, bool isInput);
    // Main thread.
    bool (*get)(const Plugin* plugin, uint32_t index, bool isInput, NotePortInfo* info);
};

// ---- Extension: parameters -------------------------------------------------------------------

constexpr char kExtParams[] = "clap.params";

enum ParamFlags : uint32_t {
    kParamIsStepped = 1u << 0, // whole values only
    kParamIsPeriodic = 1u << 1,
    kParamIsHidden = 1u << 2,
    kParamIsReadonly = 1u << 3,
    kParamIsBypass = 1u << 4,
    kParamIsAutomatable = 1u << 5,
    kParamIsModulatable = 1u << 10,
    kParamRequiresProcess = 1u << 15,
    kParamIsEnum = 1u << 16, // stepped, each step a named entry
};

struct ParamInfo {
    Id id;
    uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize]; // a path such as "Filter/"; empty for the top level
    double minValue;
    double maxValue;
    double defaultValue;
};

struct PluginParams {
    // Main thread.
    uint32_t (*count)(const Plugin* plugin);
    // Main thread.
    bool (*getInfo)(const Plugin* plugin, uint32_t paramIndex, ParamInfo* info);
    // Main thread.
    bool (*getValue)(const Plugin* plugin, Id paramId, double* value);
    // Main thread: the value's text into capacity bytes, terminated.
    bool (*valueToText)(const Plugin* plugin, Id paramId, double value, char* text, uint32_t capacity);
    // Main thread.
    bool (*textToValue)(const Plugin* plugin, Id paramId, const char* text, double* value);
    // Main thread when not activated or not processing, else audio thread: take the host's
    // parameter events and hand back the plug-in's own, outside process.
    void (*flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};

enum ParamRescanFlags : uint32_t {
    kParamRescanValues = 1u << 0,
    kParamRescanText = 1u << 1,
    kParamRescanInfo = 1u << 2,
    kParamRescanAll = 1u << 3,
};

struct HostParams {
    // Main thread.
    void (*rescan)(const Host* host, uint32_t flags);
    // Main thread.
    void (*clear)(const Host* host, Id paramId, uint32_t flags);
    // Any thread: the host calls flush, or process, soon; not while processing.
    void (*requestFlush)(const Host* host);
};

// ---- Extension: state ------------------------------------------------------------------------

constexpr char kExtState[] = "clap.state";

struct HostState {
    // Main thread: the plug-in's state changed by itself, so the project needs saving.
    void (*markDirty)(const Host* host);
};

// A stream may move fewer bytes than asked: read and write until done.
struct InputStream {
    void* context;
    // Bytes read, 0 at the end, -1 on an error.
    int64_t (*read)(const InputStream* stream, void* buffer, uint64_t size);
};

struct OutputStream {
    void* context;
    // Bytes written, -1 on an error.
    int64_t (*write)(const OutputStream* stream, const void* buffer, uint64_t size);
};

struct PluginState {
    // Main thread.
    bool (*save)(const Plugin* plugin, const OutputStream* stream);
    // Main thread.
    bool (*load)(const Plugin* plugin, const InputStream* stream);
};

// ---- Extensions: latency and tail --------------------------------------------------------------

constexpr char kExtLatency[] = "clap.latency";

struct PluginLatency {
    // Main thread, while activated or being activated: frames.
    uint32_t (*get)(const Plugin* plugin);
};

constexpr char kExtTail[] = "clap.tail";
// A tail this long or longer never ends.
constexpr uint32_t kInfiniteTail = 0x7FFFFFFFu;

struct PluginTail {
    // Main thread or audio thread: frames.
    uint32_t (*get)(const Plugin* plugin);
};

// ---- Extension: the editor's window ------------------------------------------------------------

constexpr char kExtGui[] = "clap.gui";
constexpr char kWindowApiWin32[] = "win32";
constexpr char kWindowApiX11[] = "x11";

struct Window {
    const char* api;
    union {
        void* cocoa;
        unsigned long x11; // an X window id
        void* win32;       // an HWND
        void* pointer;
    };
};

struct GuiResizeHints {
    bool canResizeHorizontally;
    bool canResizeVertically;
    bool preserveAspectRatio;
    uint32_t aspectRatioWidth;
    uint32_t aspectRatioHeight;
};

// Every call: main thread.
struct PluginGui {
    bool (*isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
    bool (*getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
    bool (*create)(const Plugin* plugin, const char* api, bool isFloating);
    void (*destroy)(const Plugin* plugin);
    bool (*setScale)(const Plugin* plugin, double scale);
    bool (*getSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*canResize)(const Plugin* plugin);
    bool (*getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
    bool (*adjustSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*setSize)(const Plugin* plugin, uint32_t width, uint32_t height);
    bool (*setParent)(const Plugin* plugin, const Window* window);
    bool (*setTransient)(const Plugin* plugin, const Window* window);
    void (*suggestTitle)(const Plugin* plugin, const char* title);
    bool (*show)(const Plugin* plugin);
    bool (*hide)(const Plugin* plugin);
};

// ---- The host's reactor: descriptors and timers on its main thread ------------------------------
// An X11 editor has no event loop of its own: the host watches its connection and wakes it on a
// timer.

constexpr char kExtPosixFdSupport[] = "clap.posix-fd-support";
enum PosixFdFlags : uint32_t { kPosixFdRead = 1u << 0, kPosixFdWrite = 1u << 1, kPosixFdError = 1u << 2 };

// Every call: main thread.
struct PluginPosixFdSupport {
    void (*onFd)(const Plugin* plugin, int fd, uint32_t flags);
};
struct HostPosixFdSupport {
    bool (*registerFd)(const Host* host, int fd, uint32_t flags);
    bool (*modifyFd)(const Host* host, int fd, uint32_t flags);
    bool (*unregisterFd)(const Host* host, int fd);
};

constexpr char kExtTimerSupport[] = "clap.timer-support";

// Every call: main thread.
struct PluginTimerSupport {
    void (*onTimer)(const Plugin* plugin, Id timerId);
};
struct HostTimerSupport {
    bool (*registerTimer)(const Host* host, uint32_t periodMilliseconds, Id* timerId);
    bool (*unregisterTimer)(const Host* host, Id timerId);
};

// ---- Presets: the discovery factory and the preset-load extension ------------------------------

constexpr char kPresetDiscoveryFactoryId[] = "clap.preset-discovery-factory/2";
// The id hosts written against the draft of the same interface ask for.
constexpr char kPresetDiscoveryFactoryDraftId[] = "clap.preset-discovery-factory/draft-2";

enum PresetLocationKind : uint32_t {
    kPresetLocationFile = 0,
    // Presets inside the plug-in's own module; the location is then null.
    kPresetLocationPlugin = 1,
};

enum PresetFlags : uint32_t {
    kPresetIsFactoryContent = 1u << 0,
    kPresetIsUserContent = 1u << 1,
    kPresetIsDemoContent = 1u << 2,
    kPresetIsFavorite = 1u << 3,
};

// A plug-in named across formats: the format's name ("clap") and the plug-in's id in it.
struct UniversalPluginId {
    const char* abi;
    const char* id;
};

using Timestamp = uint64_t; // seconds since 1970, 0 when unknown

// The host's receiver of one location's presets; every call on the thread of get_metadata.
struct PresetMetadataReceiver {
    void* receiverData;
    void (*onError)(const PresetMetadataReceiver* receiver, int32_t osError, const char* message);
    // Starts a preset; false: the host wants no more from this location.
    bool (*beginPreset)(const PresetMetadataReceiver* receiver, const char* name, const char* loadKey);
    void (*addPluginId)(const PresetMetadataReceiver* receiver, const UniversalPluginId* pluginId);
    void (*setSoundpackId)(const PresetMetadataReceiver* receiver, const char* soundpackId);
    void (*setFlags)(const PresetMetadataReceiver* receiver, uint32_t flags);
    void (*addCreator)(const PresetMetadataReceiver* receiver, const char* creator);
    void (*setDescription)(const PresetMetadataReceiver* receiver, const char* description);
    void (*setTimestamps)(const PresetMetadataReceiver* receiver, Timestamp created, Timestamp modified);
    void (*addFeature)(const PresetMetadataReceiver* receiver, const char* feature);
    void (*addExtraInfo)(const PresetMetadataReceiver* receiver, const char* key, const char* value);
};

struct PresetLocation {
    uint32_t flags;
    const char* name;
    uint32_t kind;
    const char* location;
};

struct PresetFiletype;
struct PresetSoundpack;

// The host's indexer, handed to a provider it creates; any thread the host chooses, one at a time.
struct PresetIndexer {
    Version version;
    const char* name;
    const char* vendor;
    const char* url;
    const char* versionText;
    void* indexerData;
    bool (*declareFiletype)(const PresetIndexer* indexer, const PresetFiletype* filetype);
    bool (*declareLocation)(const PresetIndexer* indexer, const PresetLocation* location);
    bool (*declareSoundpack)(const PresetIndexer* indexer, const PresetSoundpack* soundpack);
    const void* (*getExtension)(const PresetIndexer* indexer, const char* extensionId);
};

struct PresetProviderDescriptor {
    Version version;
    const char* id;
    const char* name;
    const char* vendor;
};

// Every call on the thread the host created the provider on.
struct PresetProvider {
    const PresetProviderDescriptor* descriptor;
    void* providerData;
    // Declares the provider's locations to the indexer.
    bool (*init)(const PresetProvider* provider);
    void (*destroy)(const PresetProvider* provider);
    bool (*getMetadata)(const PresetProvider* provider, uint32_t locationKind, const char* location,
                        const PresetMetadataReceiver* receiver);
    const void* (*getExtension)(const PresetProvider* provider, const char* extensionId);
};

// Any thread, without a plug-in instance: hosts index presets in a process of their own.
struct PresetDiscoveryFactory {
    uint32_t (*count)(const PresetDiscoveryFactory* factory);
    const PresetProviderDescriptor* (*getDescriptor)(const PresetDiscoveryFactory* factory, uint32_t index);
    // Null for an unknown id; the provider must not call the indexer until init.
    const PresetProvider* (*create)(const PresetDiscoveryFactory* factory, const PresetIndexer* indexer,
                                    const char* providerId);
};

constexpr char kExtPresetLoad[] = "clap.preset-load";
constexpr char kExtPresetLoadDraft[] = "clap.preset-load.draft/2";

struct PluginPresetLoad {
    // Main thread: loads the preset at location and load_key as a provider declared them.
    bool (*fromLocation)(const Plugin* plugin, uint32_t locationKind, const char* location, const char* loadKey);
};

// Every call: main thread.
struct HostPresetLoad {
    void (*onError)(const Host* host, uint32_t locationKind, const char* location, const char* loadKey,
                    int32_t osError, const char* message);
    void (*loaded)(const Host* host, uint32_t locationKind, const char* location, const char* loadKey);
};

// ---- Layout: the same on LP64 Linux and LLP64 Windows (pointers are eight bytes on both) ---------

static_assert(sizeof(void*) == 8, "the CLAP modules are 64-bit");
static_assert(sizeof(bool) == 1, "bool is one byte in the format's records");
static_assert(sizeof(Version) == 12, "Version");
static_assert(offsetof(PluginEntry, init) == 16 && offsetof(PluginEntry, getFactory) == 32, "PluginEntry");
static_assert(sizeof(PluginEntry) == 40, "PluginEntry");
static_assert(offsetof(PluginDescriptor, id) == 16 && offsetof(PluginDescriptor, versionText) == 64, "PluginDescriptor");
static_assert(offsetof(PluginDescriptor, features) == 80 && sizeof(PluginDescriptor) == 88, "PluginDescriptor");
static_assert(sizeof(PluginFactory) == 24 && offsetof(PluginFactory, createPlugin) == 16, "PluginFactory");
static_assert(offsetof(Host, hostData) == 16 && offsetof(Host, getExtension) == 56, "Host");
static_assert(offsetof(Host, requestCallback) == 80 && sizeof(Host) == 88, "Host");
static_assert(offsetof(AudioBuffer, channelCount) == 16 && offsetof(AudioBuffer, constantMask) == 24, "AudioBuffer");
static_assert(sizeof(AudioBuffer) == 32, "AudioBuffer");
static_assert(sizeof(EventHeader) == 16 && offsetof(EventHeader, spaceId) == 8 && offsetof(EventHeader, flags) == 12,
              "EventHeader");
static_assert(offsetof(ParamValueEvent, paramId) == 16 && offsetof(ParamValueEvent, cookie) == 24, "ParamValueEvent");
static_assert(offsetof(ParamValueEvent, noteId) == 32 && offsetof(ParamValueEvent, key) == 40, "ParamValueEvent");
static_assert(offsetof(ParamValueEvent, value) == 48 && sizeof(ParamValueEvent) == 56, "ParamValueEvent");
static_assert(sizeof(ParamGestureEvent) == 20, "ParamGestureEvent");
static_assert(offsetof(TransportEvent, flags) == 16 && offsetof(TransportEvent, songPositionBeats) == 24,
              "TransportEvent");
static_assert(offsetof(TransportEvent, tempo) == 40 && offsetof(TransportEvent, barStart) == 88, "TransportEvent");
static_assert(offsetof(TransportEvent, barNumber) == 96 && offsetof(TransportEvent, timeSignatureNumerator) == 100,
              "TransportEvent");
static_assert(offsetof(TransportEvent, timeSignatureDenominator) == 102 && sizeof(TransportEvent) == 104,
              "TransportEvent");
static_assert(offsetof(MidiEvent, portIndex) == 16 && offsetof(MidiEvent, data) == 18 && sizeof(MidiEvent) == 24,
              "MidiEvent");
static_assert(sizeof(InputEvents) == 24 && sizeof(OutputEvents) == 16, "event lists");
static_assert(offsetof(Process, framesCount) == 8 && offsetof(Process, transport) == 16, "Process");
static_assert(offsetof(Process, audioInputsCount) == 40 && offsetof(Process, audioOutputsCount) == 44, "Process");
static_assert(offsetof(Process, inEvents) == 48 && sizeof(Process) == 64, "Process");
static_assert(sizeof(ProcessStatus) == 4, "ProcessStatus");
static_assert(offsetof(Plugin, init) == 16 && offsetof(Plugin, process) == 72, "Plugin");
static_assert(offsetof(Plugin, onMainThread) == 88 && sizeof(Plugin) == 96, "Plugin");
static_assert(offsetof(AudioPortInfo, name) == 4 && offsetof(AudioPortInfo, flags) == 260, "AudioPortInfo");
static_assert(offsetof(AudioPortInfo, portType) == 272 && offsetof(AudioPortInfo, inPlacePair) == 280, "AudioPortInfo");
static_assert(sizeof(AudioPortInfo) == 288 && sizeof(PluginAudioPorts) == 16, "AudioPortInfo");
static_assert(offsetof(NotePortInfo, name) == 12 && sizeof(NotePortInfo) == 268, "NotePortInfo");
static_assert(sizeof(PluginNotePorts) == 16, "PluginNotePorts");
static_assert(offsetof(ParamInfo, cookie) == 8 && offsetof(ParamInfo, name) == 16, "ParamInfo");
static_assert(offsetof(ParamInfo, module) == 272 && offsetof(ParamInfo, minValue) == 1296, "ParamInfo");
static_assert(offsetof(ParamInfo, defaultValue) == 1312 && sizeof(ParamInfo) == 1320, "ParamInfo");
static_assert(sizeof(PluginParams) == 48 && offsetof(PluginParams, flush) == 40, "PluginParams");
static_assert(sizeof(HostParams) == 24, "HostParams");
static_assert(sizeof(InputStream) == 16 && sizeof(OutputStream) == 16 && sizeof(PluginState) == 16, "state");
static_assert(sizeof(HostState) == 8, "HostState");
static_assert(sizeof(PluginLatency) == 8 && sizeof(PluginTail) == 8, "latency and tail");
static_assert(offsetof(Window, win32) == 8 && sizeof(Window) == 16, "Window");
static_assert(offsetof(GuiResizeHints, aspectRatioWidth) == 4 && sizeof(GuiResizeHints) == 12, "GuiResizeHints");
static_assert(sizeof(PluginGui) == 120 && offsetof(PluginGui, setParent) == 80, "PluginGui");
static_assert(sizeof(PluginPosixFdSupport) == 8, "PluginPosixFdSupport");
static_assert(sizeof(HostPosixFdSupport) == 24 && offsetof(HostPosixFdSupport, unregisterFd) == 16,
              "HostPosixFdSupport");
static_assert(sizeof(PluginTimerSupport) == 8, "PluginTimerSupport");
static_assert(sizeof(HostTimerSupport) == 16 && offsetof(HostTimerSupport, unregisterTimer) == 8,
              "HostTimerSupport");
static_assert(sizeof(UniversalPluginId) == 16, "UniversalPluginId");
static_assert(offsetof(PresetMetadataReceiver, beginPreset) == 16, "PresetMetadataReceiver");
static_assert(offsetof(PresetMetadataReceiver, setFlags) == 40, "PresetMetadataReceiver");
static_assert(offsetof(PresetMetadataReceiver, addExtraInfo) == 80 && sizeof(PresetMetadataReceiver) == 88,
              "PresetMetadataReceiver");
static_assert(offsetof(PresetLocation, name) == 8 && offsetof(PresetLocation, kind) == 16, "PresetLocation");
static_assert(offsetof(PresetLocation, location) == 24 && sizeof(PresetLocation) == 32, "PresetLocation");
static_assert(offsetof(PresetIndexer, name) == 16 && offsetof(PresetIndexer, indexerData) == 48, "PresetIndexer");
static_assert(offsetof(PresetIndexer, declareLocation) == 64 && sizeof(PresetIndexer) == 88, "PresetIndexer");
static_assert(offsetof(PresetProviderDescriptor, id) == 16 && sizeof(PresetProviderDescriptor) == 40,
              "PresetProviderDescriptor");
static_assert(offsetof(PresetProvider, init) == 16 && offsetof(PresetProvider, getMetadata) == 32, "PresetProvider");
static_assert(sizeof(PresetProvider) == 48, "PresetProvider");
static_assert(sizeof(PresetDiscoveryFactory) == 24, "PresetDiscoveryFactory");
static_assert(sizeof(PluginPresetLoad) == 8 && sizeof(HostPresetLoad) == 16, "preset load");

} // namespace Clap
