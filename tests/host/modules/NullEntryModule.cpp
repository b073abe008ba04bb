// A module whose entry point creates no effect, as a plug-in does that refuses the host.

#ifdef _WIN32
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_EXPORT void* VSTPluginMain(void*) { return nullptr; }
