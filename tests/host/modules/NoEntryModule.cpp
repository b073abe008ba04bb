// A loadable module without a VST 2 entry point, for the host's error path.

#ifdef _WIN32
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

TEST_EXPORT int NotAnEntryPoint() { return 42; }
