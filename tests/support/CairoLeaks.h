#pragma once
// Debian 12's cairo 1.16 and fontconfig lose a few bytes no call of ours can free: 32 for each X
// connection a fill reaches (a program of a dozen lines that fills one window shows it, whether
// the device is finished or cairo's static data reset), the pattern behind the first toy font
// face, and fontconfig's configuration. A test program that draws with cairo on X11 includes
// this in exactly one of its files, so that LeakSanitizer reports our leaks and not theirs.

#if defined(__SANITIZE_ADDRESS__)
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions()
{
    return "leak:cairo_fill\n"
           "leak:cairo_toy_font_face_create\n"
           "leak:FcInitLoadConfigAndFonts\n";
}
// The libraries keep no frame pointers: only the slow unwinder sees the calls the suppressions
// name, instead of the library's innermost frame alone.
extern "C" __attribute__((visibility("default"))) const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}
#endif
