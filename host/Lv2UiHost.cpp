#include "host/Lv2UiHost.h"

#include "lv2/Lv2Ports.h"

#include <lv2/atom/atom.h>
#include <lv2/log/log.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace MorlentHost {

namespace {

constexpr char kUiBinary[] = "MorlentDelay_ui.so";

bool IsFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The UI's log lines, on stderr as the host's own messages are.
int LogLine(LV2_Log_Handle, LV2_URID, const char* format, va_list arguments)
{
    std::fputs("morlent-host: the LV2 editor: ", stderr);
    return std::vfprintf(stderr, format, arguments);
}

int LogPrintf(LV2_Log_Handle handle, LV2_URID type, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    const int length = LogLine(handle, type, format, arguments);
    va_end(arguments);
    return length;
}

} // namespace

struct Lv2UiHost::Native {
    void* module = nullptr;
    const LV2UI_Descriptor* descriptor = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle handle = nullptr;
    std::string bundle; // with its trailing slash, as LV2 passes it
    std::vector<std::string> uris;

    LV2_URID Map(const char* uri)
    {
        for (size_t i = 0; i < uris.size(); ++i)
            if (uris[i] == uri)
                return static_cast<LV2_URID>(i + 1);
        uris.emplace_back(uri);
        return static_cast<LV2_URID>(uris.size());
    }

    LV2_URID_Map map{this, [](LV2_URID_Map_Handle self, const char* uri) {
                         return uri != nullptr ? static_cast<Native*>(self)->Map(uri) : 0;
                     }};
    LV2_Log_Log log{this, LogPrintf, LogLine};
    LV2UI_Resize resize{nullptr, nullptr};
};

bool Lv2UiHost::IsBundle(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) && IsFile(path + "/manifest.ttl");
}

std::unique_ptr<Lv2UiHost> Lv2UiHost::Load(const std::string& bundle, std::string& error)
{
    auto native = std::make_unique<Native>();
    native->bundle = bundle.back() == '/' ? bundle : bundle + "/";
    const std::string binary = native->bundle + kUiBinary;
    if (!IsFile(binary)) {
        error = bundle + " holds no " + kUiBinary + ": it is not a Morlent Delay bundle with an editor";
        return nullptr;
    }
    native->module = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (native->module == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + binary + ": " + (reason != nullptr ? reason : "unknown loader error");
        return nullptr;
    }
    std::unique_ptr<Lv2UiHost> host(new Lv2UiHost(std::move(native)));
    Native& loaded = *host->native;
    using Entry = const LV2UI_Descriptor* (*)(uint32_t);
    auto entry = reinterpret_cast<Entry>(dlsym(loaded.module, "lv2ui_descriptor"));
    if (entry == nullptr) {
        error = binary + " is no LV2 UI binary: it exports no lv2ui_descriptor";
        return nullptr;
    }
    // A binary may hold several UIs; ours is the one under the plug-in's URI.
    for (uint32_t index = 0; index < 64 && loaded.descriptor == nullptr; ++index) {
        const LV2UI_Descriptor* descriptor = entry(index);
        if (descriptor == nullptr)
            break;
        if (descriptor->URI != nullptr && std::strcmp(descriptor->URI, MorlentLv2::kUiUri) == 0)
            loaded.descriptor = descriptor;
    }
    if (loaded.descriptor == nullptr || loaded.descriptor->instantiate == nullptr ||
        loaded.descriptor->cleanup == nullptr) {
        error = binary + " holds no UI " + MorlentLv2::kUiUri;
        return nullptr;
    }
    if (loaded.descriptor->extension_data != nullptr)
        loaded.idle =
            static_cast<const LV2UI_Idle_Interface*>(loaded.descriptor->extension_data(LV2_UI__idleInterface));
    if (loaded.idle == nullptr || loaded.idle->idle == nullptr) {
        error = binary + ": the UI offers no idle interface, the only way this host drives it";
        return nullptr;
    }
    return host;
}

Lv2UiHost::Lv2UiHost(std::unique_ptr<Native> native) : native(std::move(native))
{
    this->native->resize = {this, [](LV2UI_Feature_Handle self, int width, int height) {
                                static_cast<Lv2UiHost*>(self)->width = width;
                                static_cast<Lv2UiHost*>(self)->height = height;
                                return 0;
                            }};
}

Lv2UiHost::~Lv2UiHost()
{
    Close();
    if (native->module != nullptr)
        dlclose(native->module);
}

bool Lv2UiHost::Open(unsigned long parent, std::string& error)
{
    Close();
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
    const LV2_Feature mapFeature{LV2_URID__map, &native->map};
    const LV2_Feature logFeature{LV2_LOG__log, &native->log};
    const LV2_Feature resizeFeature{LV2_UI__resize, &native->resize};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature* const features[] = {&parentFeature, &mapFeature, &logFeature, &resizeFeature, &idleFeature,
                                           nullptr};
    const auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
    LV2UI_Widget widget = nullptr;
    native->handle = native->descriptor->instantiate(native->descriptor, MorlentLv2::kPluginUri,
                                                     native->bundle.c_str(), write, this, &widget, features);
    if (native->handle == nullptr) {
        error = "the LV2 editor did not open (its reason, if any, is above)";
        return false;
    }
    return true;
}

void Lv2UiHost::SendControl(uint32_t port, float value)
{
    if (native->handle != nullptr && native->descriptor->port_event != nullptr)
        native->descriptor->port_event(native->handle, port, sizeof value, 0, &value);
}

bool Lv2UiHost::Idle()
{
    return native->handle != nullptr && native->idle->idle(native->handle) == 0;
}

void Lv2UiHost::Close()
{
    if (native->handle != nullptr)
        native->descriptor->cleanup(native->handle);
    native->handle = nullptr;
}

} // namespace MorlentHost
