#pragma once
// What cairo and fontconfig keep for the whole process (the font faces and patterns the editor's
// text made, the font configuration, cairo's caches) given back when a test program ends, so the
// leak checker hears only of what the code under test lost. For programs that draw with cairo,
// in the editor of their own or of a loaded module (which share the libraries).

#include <cairo.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace TestSupport {

class DrawingLibraries : public ::testing::Environment {
public:
    // After every test, with every editor closed.
    void TearDown() override
    {
        cairo_debug_reset_static_data();
        FcFini();
    }
};

} // namespace TestSupport
