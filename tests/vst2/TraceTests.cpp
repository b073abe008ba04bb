#include "platform/Trace.h"
#include "tests/vst2/ControllerFixture.h"

#include <string>
#include <thread>

namespace {

std::string& Log()
{
    static std::string log;
    return log;
}

class TraceTest : public ControllerFixture {
protected:
    void SetUp() override
    {
        Platform::SetTraceSink([](const char* text) { Log() += text; });
        Log().clear();
        ControllerFixture::SetUp();
    }
    void TearDown() override
    {
        ControllerFixture::TearDown();
        Platform::SetTraceSink(nullptr);
    }
};

TEST_F(TraceTest, OperationsNameThemselvesOutermostFirst)
{
    EXPECT_EQ(0u, Log().find("Model::Model\r\nModel::ClearMidiControllerMap\r\nController::Controller\r\nModel::SetController\r\n")) << Log();
    Log().clear();
    Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ("Controller::setSampleRate\r\nModel::SetSampleRate\r\n", Log());
    Log().clear();
    record->setParameter(record, 2, 0.5f);
    EXPECT_EQ("Controller::setParameterModel::SetParameterValue\r\n", Log());
    Log().clear();
    void* chunk = nullptr;
    Dispatch(effGetChunk, 1, 0, &chunk);
    EXPECT_EQ("Controller::getChunk\r\nModel::SerializeSelectedProgram\r\nModel::WriteHeader\r\n", Log());
}

TEST_F(TraceTest, AudioThreadCallsStaySilent)
{
    SendMidi({Midi(0, 0xB0, 7, 1), Midi(1, 0x90, 60, 100)});
    Log().clear();
    Process(64);
    EXPECT_EQ("", Log());
}

// Hosts play automation back on their audio thread; parameter calls trace only on the thread
// that made the instance.
TEST_F(TraceTest, AutomationFromAnotherThreadTracesNothing)
{
    Log().clear();
    std::thread automation([&] {
        record->setParameter(record, 2, 0.25f);
        EXPECT_FLOAT_EQ(0.25f, record->getParameter(record, 2));
    });
    automation.join();
    EXPECT_EQ("", Log());
    EXPECT_FLOAT_EQ(0.25f, record->getParameter(record, 2));
    EXPECT_EQ("Controller::getParameter\r\n", Log());
}

TEST_F(TraceTest, ClosingEndsWithTheDestructors)
{
    Log().clear();
    Dispatch(effClose);
    record = nullptr;
    EXPECT_EQ("Controller::~ControllerModel::~Model\r\n", Log());
}

} // namespace
