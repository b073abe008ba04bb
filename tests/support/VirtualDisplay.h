#pragma once
// A private X server for a test program that opens windows (XvfbServer), started before the
// first test and stopped when the program ends. DISPLAY names it meanwhile, so every connection
// the code under test opens reaches it, and no two test programs share a pointer or a focus.
// A single test may also hold one for its own length: SetUp and TearDown around it, and the
// DISPLAY it found comes back afterwards.

#include "tests/support/XvfbServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace TestSupport {

class VirtualDisplay : public ::testing::Environment {
public:
    void SetUp() override
    {
        const char* before = std::getenv("DISPLAY");
        hadDisplay = before != nullptr;
        previous = before != nullptr ? before : "";
        std::string error;
        ASSERT_TRUE(server.Start(error)) << error;
        setenv("DISPLAY", server.Name().c_str(), 1);
    }

    void TearDown() override
    {
        server.Stop();
        if (hadDisplay)
            setenv("DISPLAY", previous.c_str(), 1);
        else
            unsetenv("DISPLAY");
    }

private:
    XvfbServer server;
    bool hadDisplay = false;
    std::string previous;
};

} // namespace TestSupport
