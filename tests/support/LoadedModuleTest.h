#pragma once
// A test suite over the built module named by MORLENT_MODULE_PATH: loaded once for the suite,
// as a host keeps a module loaded, with an instance of each test's own on the stand-in host.

#include "tests/support/EffectCalls.h"
#include "tests/support/HostDriver.h"
#include "tests/support/StandInHost.h"

#include <gtest/gtest.h>

namespace TestSupport {

class LoadedModuleTest : public ::testing::Test, protected EffectCalls {
protected:
    LoadedModuleTest() : EffectCalls(effect) {}
    static void SetUpTestSuite() { module = new HostDriver(MORLENT_MODULE_PATH); }
    static void TearDownTestSuite()
    {
        delete module;
        module = nullptr;
    }
    // Set the stand-in host up first: the entry point already asks it for its version.
    void OpenInstance()
    {
        ASSERT_TRUE(module->Loaded()) << MORLENT_MODULE_PATH;
        effect = module->Open();
        ASSERT_NE(nullptr, effect);
    }
    void TearDown() override
    {
        if (effect != nullptr) {
            EXPECT_EQ(1, Dispatch(effClose));
        }
        effect = nullptr;
    }

    inline static HostDriver* module = nullptr;
    AEffect* effect = nullptr;
};

} // namespace TestSupport
