#pragma once
// Loads a built plug-in module the way a host does and finds its entry points.

#include "effect_base/VstInterface.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class PluginModule {
public:
    using Entry = AEffect*(VSTCALLBACK*)(audioMasterCallback);

    explicit PluginModule(const std::string& path)
    {
#ifdef _WIN32
        handle = LoadLibraryA(path.c_str());
#else
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
    }
    ~PluginModule()
    {
        if (handle == nullptr)
            return;
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(handle));
#else
        dlclose(handle);
#endif
    }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    bool Loaded() const { return handle != nullptr; }
    Entry Find(const char* name) const
    {
        if (handle == nullptr)
            return nullptr;
#ifdef _WIN32
        return reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name)));
#else
        return reinterpret_cast<Entry>(dlsym(handle, name));
#endif
    }
    void* Handle() const { return handle; }

private:
    void* handle = nullptr;
};
