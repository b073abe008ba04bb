#include "host/PluginInstance.h"

#include "common/FixedString.h"
#include "host/ClapBridge.h"
#include "host/Vst3Bridge.h"
#include "vst3/Vst3Interface.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace MorlentHost {

namespace {

constexpr VstIntPtr kHostVstVersion = 2400;
constexpr size_t kTextBuffer = 1024;
HostState* loadingHost = nullptr;

#ifdef _WIN32
std::string LastErrorText()
{
    const DWORD code = GetLastError();
    char text[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text,
                   nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}
void* OpenModule(const std::string& path, std::string& error)
{
    HMODULE handle = LoadLibraryA(path.c_str());
    if (handle == nullptr)
        error = LastErrorText();
    return handle;
}
void* FindSymbol(void* module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}
void CloseModule(void* module) { FreeLibrary(static_cast<HMODULE>(module)); }
#else
void* OpenModule(const std::string& path, std::string& error)
{
    // Without a slash the loader would search the library path instead of the named file.
    const std::string local = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(local.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown loader error";
    }
    return handle;
}
void* FindSymbol(void* module, const char* name) { return dlsym(module, name); }
void CloseModule(void* module) { dlclose(module); }
#endif

} // namespace

VstIntPtr VSTCALLBACK HostCallback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    HostState* host = effect != nullptr && effect->resvd1 != 0 ? reinterpret_cast<HostState*>(effect->resvd1)
                                                                : loadingHost;
    switch (opcode) {
    case audioMasterVersion:
        return kHostVstVersion;
    case audioMasterWantMidi:
        return 1;
    case audioMasterGetTime:
        return host != nullptr ? reinterpret_cast<VstIntPtr>(&host->time) : 0;
    case audioMasterAutomate:
        if (host != nullptr)
            ++host->automations;
        return 0;
    case audioMasterGetSampleRate:
        return host != nullptr ? static_cast<VstIntPtr>(host->sampleRate) : 0;
    case audioMasterGetBlockSize:
        return host != nullptr ? host->blockSize : 0;
    case audioMasterGetVendorString:
        Morlent::CopyFixedString(static_cast<char*>(ptr), "Morlent Sound Design", kVstMaxVendorStrLen);
        return 1;
    case audioMasterGetProductString:
        Morlent::CopyFixedString(static_cast<char*>(ptr), "morlent-host", kVstMaxProductStrLen);
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterCanDo: {
        static const char* const abilities[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo"};
        if (ptr != nullptr)
            for (const char* ability : abilities)
                if (std::strcmp(static_cast<const char*>(ptr), ability) == 0)
                    return 1;
        return 0;
    }
    default:
        return 0;
    }
}

EventBlock::EventBlock(size_t capacity) : midi_(capacity), list_(2 + capacity) {}

bool EventBlock::Add(int deltaFrames, const uint8_t (&bytes)[3])
{
    if (count_ == midi_.size())
        return false;
    VstMidiEvent& event = midi_[count_];
    event = VstMidiEvent{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = deltaFrames;
    for (int b = 0; b < 3; ++b)
        event.midiData[b] = static_cast<char>(bytes[b]);
    // Written as a word, not through the record's two-element array, which the list outgrows.
    list_[2 + count_] = reinterpret_cast<VstIntPtr>(&event);
    ++count_;
    return true;
}

std::unique_ptr<PluginInstance> PluginInstance::Load(const std::string& path, std::string& error)
{
    std::unique_ptr<PluginInstance> instance(new PluginInstance);
    std::string reason;
    const std::string modulePath = Vst3ModulePath(path);
    instance->module_ = OpenModule(modulePath, reason);
    if (instance->module_ == nullptr) {
        error = "cannot load module " + path + ": " + reason;
        return nullptr;
    }
    // A VST 3 module: its effect is driven through a VST 2 record of the host's own.
    if (void* factory = FindSymbol(instance->module_, "GetPluginFactory")) {
#ifdef _WIN32
        using ModuleInit = bool(VST3_API*)();
        if (auto init = reinterpret_cast<ModuleInit>(FindSymbol(instance->module_, "InitDll")); init && !init()) {
#else
        using ModuleInit = bool (*)(void*);
        if (auto init = reinterpret_cast<ModuleInit>(FindSymbol(instance->module_, "ModuleEntry"));
            init && !init(instance->module_)) {
#endif
            error = path + ": the module's entry function failed";
            return nullptr;
        }
        instance->vst3_ = true;
        loadingHost = &instance->host_;
        AEffect* effect = OpenVst3Effect(factory, HostCallback, reason);
        loadingHost = nullptr;
        if (effect == nullptr) {
            error = path + ": " + reason;
            return nullptr;
        }
        instance->Open(effect);
        return instance;
    }
    // A CLAP module: its plug-in too is driven through a VST 2 record of the host's own.
    if (const void* clapEntry = FindSymbol(instance->module_, "clap_entry")) {
        instance->clap_ = true;
        loadingHost = &instance->host_;
        AEffect* effect = OpenClapEffect(clapEntry, modulePath, HostCallback, reason);
        loadingHost = nullptr;
        if (effect == nullptr) {
            error = path + ": " + reason;
            return nullptr;
        }
        instance->Open(effect);
        return instance;
    }
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);
    void* entry = FindSymbol(instance->module_, "VSTPluginMain");
    if (entry == nullptr)
        entry = FindSymbol(instance->module_, "main");
    if (entry == nullptr) {
        error = path + " is not a plug-in module: it exports neither VSTPluginMain nor main, nor clap_entry";
        return nullptr;
    }
    loadingHost = &instance->host_;
    AEffect* effect = reinterpret_cast<Entry>(entry)(HostCallback);
    loadingHost = nullptr;
    if (effect == nullptr) {
        error = path + ": the entry point returned no effect";
        return nullptr;
    }
    if (effect->magic != kEffectMagic) {
        error = path + ": the entry point returned something that is not a VST 2 effect (bad magic)";
        return nullptr;
    }
    instance->Open(effect);
    return instance;
}

std::unique_ptr<PluginInstance> PluginInstance::Adopt(AEffect* effect)
{
    std::unique_ptr<PluginInstance> instance(new PluginInstance);
    instance->Open(effect);
    return instance;
}

void PluginInstance::Open(AEffect* effect)
{
    effect->resvd1 = reinterpret_cast<VstIntPtr>(&host_);
    effect_ = effect;
    Dispatch(effOpen);
}

PluginInstance::~PluginInstance()
{
    if (effect_ != nullptr) {
        Suspend();
        Dispatch(effClose);
    }
    if (module_ != nullptr) {
        if (vst3_) {
#ifdef _WIN32
            using ModuleExit = bool(VST3_API*)();
            if (auto exit = reinterpret_cast<ModuleExit>(FindSymbol(module_, "ExitDll")))
#else
            using ModuleExit = bool (*)();
            if (auto exit = reinterpret_cast<ModuleExit>(FindSymbol(module_, "ModuleExit")))
#endif
                exit();
        }
        CloseModule(module_);
    }
}

VstIntPtr PluginInstance::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::Text(VstInt32 opcode, VstInt32 index)
{
    char text[kTextBuffer] = {};
    Dispatch(opcode, index, 0, text);
    text[kTextBuffer - 1] = '\0';
    return text;
}

std::vector<std::string> PluginInstance::ProgramNames()
{
    std::vector<std::string> names;
    bool indexed = true;
    for (int i = 0; i < effect_->numPrograms && indexed; ++i) {
        char text[kTextBuffer] = {};
        indexed = Dispatch(effGetProgramNameIndexed, i, -1, text) != 0;
        if (indexed)
            names.push_back(text);
    }
    if (indexed)
        return names;
    // The plug-in has no indexed query: visit each program and come back to the selected one.
    names.clear();
    const VstIntPtr selected = Dispatch(effGetProgram);
    for (int i = 0; i < effect_->numPrograms; ++i) {
        Dispatch(effSetProgram, 0, i);
        names.push_back(Text(effGetProgramName));
    }
    Dispatch(effSetProgram, 0, selected);
    return names;
}

bool PluginInstance::SelectProgram(int program, std::string& error)
{
    if (program < 0 || program >= effect_->numPrograms) {
        error = "program " + std::to_string(program) + " does not exist (the plug-in has " +
                std::to_string(effect_->numPrograms) + ")";
        return false;
    }
    Dispatch(effSetProgram, 0, program);
    return true;
}

bool PluginInstance::SetParameters(const std::vector<std::pair<int, float>>& settings, std::string& error)
{
    for (const auto& setting : settings) {
        if (setting.first < 0 || setting.first >= effect_->numParams) {
            error = "parameter " + std::to_string(setting.first) + " does not exist (the plug-in has " +
                    std::to_string(effect_->numParams) + ")";
            return false;
        }
        SetParameter(setting.first, setting.second);
    }
    return true;
}

bool PluginInstance::GetChunk(bool program, std::vector<uint8_t>& chunk, std::string& error)
{
    if ((effect_->flags & effFlagsProgramChunks) == 0) {
        error = "the plug-in keeps no chunks (effFlagsProgramChunks is not set)";
        return false;
    }
    void* data = nullptr;
    const VstIntPtr size = Dispatch(effGetChunk, program ? 1 : 0, 0, &data);
    if (size <= 0 || data == nullptr) {
        error = std::string("the plug-in returned no ") + (program ? "program" : "bank") + " chunk";
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    chunk.assign(bytes, bytes + size);
    return true;
}

bool PluginInstance::SetChunk(bool program, const std::vector<uint8_t>& chunk, std::string& error)
{
    if ((effect_->flags & effFlagsProgramChunks) == 0) {
        error = "the plug-in takes no chunks (effFlagsProgramChunks is not set)";
        return false;
    }
    // A private copy: the plug-in may keep the pointer for the length of the call only, but some
    // write into it.
    std::vector<uint8_t> copy = chunk;
    if (Dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(copy.size()), copy.data()) == 0) {
        error = std::string("the plug-in refused the ") + (program ? "program" : "bank") + " chunk";
        return false;
    }
    return true;
}

long PluginInstance::CanDo(const std::string& question)
{
    // Writable: some plug-ins take the question as a plain char pointer.
    std::string text = question;
    const VstIntPtr answer = Dispatch(effCanDo, 0, 0, &text[0]);
    return answer > 0 ? 1 : answer < 0 ? -1 : 0;
}

bool PluginInstance::CanReplace() const
{
    return HasFlag(effFlagsCanReplacing) && effect_->processReplacing != nullptr;
}

void PluginInstance::ProcessEvents(EventBlock& events)
{
    if (events.count_ == 0)
        return;
    auto* list = reinterpret_cast<VstEvents*>(events.list_.data());
    list->numEvents = static_cast<VstInt32>(events.count_);
    list->reserved = 0;
    Dispatch(effProcessEvents, 0, 0, list);
}

bool PluginInstance::EditorSize(int& width, int& height)
{
    ERect* rect = nullptr;
    if (Dispatch(effEditGetRect, 0, 0, &rect) == 0 || rect == nullptr)
        return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0;
}

void PluginInstance::Resume(float sampleRate, int blockSize)
{
    host_.sampleRate = sampleRate;
    host_.blockSize = blockSize;
    Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
    resumed_ = true;
}

void PluginInstance::Suspend()
{
    if (resumed_)
        Dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

} // namespace MorlentHost
