#include "tests/vst2/ControllerFixture.h"

#include <cmath>
#include <cstring>

namespace {

using ChunkTest = ControllerFixture;

std::vector<uint8_t> Header(int32_t version = 2750)
{
    std::vector<uint8_t> bytes(164, 0);
    std::memcpy(bytes.data(), "Morlent Delay", 13);
    std::memcpy(bytes.data() + 32, "Morlent Sound Design", 20);
    std::memcpy(bytes.data() + 96, "Morlent Delay", 13);
    for (int i = 0; i < 4; ++i)
        bytes[160 + static_cast<size_t>(i)] = static_cast<uint8_t>(static_cast<uint32_t>(version) >> (8 * i));
    return bytes;
}

void AppendFloat(std::vector<uint8_t>& bytes, float value)
{
    uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    bytes.insert(bytes.end(), raw, raw + 4);
}

void AppendName(std::vector<uint8_t>& bytes, const char* name)
{
    char field[24] = {};
    std::strncpy(field, name, 23);
    bytes.insert(bytes.end(), field, field + 24);
}

std::vector<uint8_t> Program(const char* name, float value, int32_t version = 2750)
{
    std::vector<uint8_t> bytes = Header(version);
    AppendName(bytes, name);
    for (int i = 0; i < 12; ++i)
        AppendFloat(bytes, value);
    return bytes;
}

std::vector<uint8_t> Bank(float value, int32_t version, const std::vector<uint8_t>& map)
{
    std::vector<uint8_t> bytes = Header(version);
    for (int p = 0; p < 32; ++p) {
        AppendName(bytes, ("Bank " + std::to_string(p)).c_str());
        for (int i = 0; i < 12; ++i)
            AppendFloat(bytes, value);
    }
    bytes.insert(bytes.end(), map.begin(), map.end());
    return bytes;
}

class Chunks : public ChunkTest {
protected:
    std::vector<uint8_t> Get(bool preset)
    {
        void* data = nullptr;
        const VstIntPtr size = Dispatch(effGetChunk, preset ? 1 : 0, 0, &data);
        lastAddress = data;
        const auto* bytes = static_cast<const uint8_t*>(data);
        return std::vector<uint8_t>(bytes, bytes + size);
    }
    VstIntPtr Set(std::vector<uint8_t> bytes, bool preset)
    {
        return Dispatch(effSetChunk, preset ? 1 : 0, static_cast<VstIntPtr>(bytes.size()), bytes.data());
    }
    void* lastAddress = nullptr;
};

TEST_F(Chunks, ProgramChunkOfAFreshModelIsLaidOutByteForByte)
{
    std::vector<uint8_t> chunk = Get(true);
    ASSERT_EQ(236u, chunk.size());
    const std::vector<uint8_t> header = Header();
    EXPECT_TRUE(std::equal(header.begin(), header.end(), chunk.begin()));
    EXPECT_EQ(0xBE, chunk[160]);
    EXPECT_EQ(0x0A, chunk[161]);
    EXPECT_EQ(0, std::memcmp(chunk.data() + 164, "Blank\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0", 24));
    const uint8_t values[] = {0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F, 0, 0, 0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0x3F, 0, 0,
                              0, 0x3F, 0, 0, 0, 0,    0, 0, 0,    0, 0, 0, 0, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                              0, 0x3F};
    EXPECT_EQ(0, std::memcmp(chunk.data() + 188, values, sizeof values));
}

TEST_F(Chunks, BankChunkCarriesEveryProgramAndTheControllerMap)
{
    std::vector<uint8_t> chunk = Get(false);
    ASSERT_EQ(2480u, chunk.size());
    for (size_t i = 2468; i < 2480; ++i)
        EXPECT_EQ(0, chunk[i]);
    model->RegisterMidiControllerMapping(7, 11);
    model->RegisterMidiControllerMapping(9, 11); // only the lowest is saved
    chunk = Get(false);
    ASSERT_EQ(2481u, chunk.size());
    EXPECT_EQ(1, chunk[2479]);
    EXPECT_EQ(7, chunk[2480]);
}

TEST_F(Chunks, BufferGrowsOnceAndKeepsItsAddress)
{
    Get(false);
    void* first = lastAddress;
    std::vector<uint8_t> second = Get(false);
    EXPECT_EQ(first, lastAddress);
    std::vector<uint8_t> program = Get(true);
    EXPECT_EQ(first, lastAddress);
    EXPECT_EQ(236u, program.size());
    // A shorter chunk never carries the tail of a longer one.
    EXPECT_EQ(0, static_cast<const uint8_t*>(lastAddress)[300]);

    Morlent::ChunkBuffer buffer;
    EXPECT_EQ(256u, buffer.Capacity());
    model->SerializeBank(buffer);
    EXPECT_EQ(4096u, buffer.Capacity());
}

TEST_F(Chunks, RoundTripsAreBitExact)
{
    model->SetSelectedProgramIndex(5);
    model->SetParameterValue(3, 0.123456789f);
    model->SetSelectedProgramName("Round trip");
    model->RegisterMidiControllerMapping(12, 3);
    const std::vector<uint8_t> bank = Get(false);
    const std::vector<uint8_t> program = Get(true);

    // A second instance, fed both chunks, writes the very same bytes.
    Dispatch(effClose);
    record = nullptr;
    SetUp();
    model->SetSelectedProgramIndex(5);
    EXPECT_EQ(1, Set(bank, false));
    EXPECT_EQ(bank, Get(false));
    EXPECT_EQ(1, Set(program, true));
    EXPECT_EQ(program, Get(true));
    EXPECT_EQ(0.123456789f, model->GetParameterValue(3));
    EXPECT_EQ(3, model->ControllerToParameter(12));
}

TEST_F(Chunks, ReadingABankCallsTheHookForTheSelectedProgramOnly)
{
    FakeView view;
    controller->SetView(&view);
    view.updates.clear();
    model->SetSelectedProgramIndex(2);
    model->parameterChanges.clear();
    EXPECT_EQ(1, Set(Bank(0.25f, 2750, std::vector<uint8_t>(12, 0)), false));
    EXPECT_EQ(12u, model->parameterChanges.size());
    EXPECT_EQ(2, model->GetSelectedProgramIndex());
    EXPECT_STREQ("Bank 31", model->GetProgramName(31));
    EXPECT_EQ(0.25f, model->GetProgramParameterValue(17, 4));
    EXPECT_EQ(12u, view.updates.size());
    controller->SetView(nullptr);
}

// Rejected chunks: the plug-in is exactly as before, byte for byte, and the view is not touched.
TEST_F(Chunks, RejectedChunksChangeNothing)
{
    model->RegisterMidiControllerMapping(3, 1);
    const std::vector<uint8_t> bankBefore = Get(false);
    FakeView view;
    controller->SetView(&view);
    view.updates.clear();
    model->parameterChanges.clear();

    std::vector<std::vector<uint8_t>> programs;
    programs.push_back(Program("Newer", 0.1f, 2751));
    std::vector<uint8_t> truncated = Program("Truncated", 0.1f);
    truncated.resize(200); // name and three values present
    programs.push_back(truncated);
    std::vector<uint8_t> otherPlugin = Program("Other", 0.1f);
    otherPlugin[0] = 'X';
    programs.push_back(otherPlugin);
    std::vector<uint8_t> otherVendor = Program("Other", 0.1f);
    otherVendor[40] = 'x';
    programs.push_back(otherVendor);
    std::vector<uint8_t> shortHeader = Header();
    shortHeader.pop_back();
    programs.push_back(shortHeader);
    for (const auto& chunk : programs)
        EXPECT_EQ(0, Set(chunk, true));

    std::vector<uint8_t> shortMap = Bank(0.1f, 2750, {0, 0, 1});
    EXPECT_EQ(0, Set(shortMap, false));
    std::vector<uint8_t> shortPrograms = Bank(0.1f, 2750, {});
    shortPrograms.resize(1000);
    EXPECT_EQ(0, Set(shortPrograms, false));
    EXPECT_EQ(0, Set(Bank(0.1f, 2751, std::vector<uint8_t>(12, 0)), false));

    EXPECT_EQ(bankBefore, Get(false));
    EXPECT_TRUE(model->parameterChanges.empty());
    EXPECT_TRUE(view.updates.empty());
    controller->SetView(nullptr);
}

TEST_F(Chunks, HostileArgumentsAreRefusedWithoutTouchingMemory)
{
    EXPECT_EQ(0, Dispatch(effSetChunk, 0, 100, nullptr));
    std::vector<uint8_t> bank = Get(false);
    EXPECT_EQ(0, Dispatch(effSetChunk, 0, -1, bank.data()));
    EXPECT_EQ(0, Dispatch(effSetChunk, 0, 0x7FFFFFFF, bank.data())); // absurd: refused before any copy
    EXPECT_EQ(0, Dispatch(effGetChunk, 0, 0, nullptr));
}

TEST_F(Chunks, EarlyBanksWithoutAControllerMapKeepTheCurrentMap)
{
    model->RegisterMidiControllerMapping(20, 9);
    EXPECT_EQ(1, Set(Bank(0.75f, 2110, {}), false));
    EXPECT_EQ(9, model->ControllerToParameter(20));
    EXPECT_EQ(0.75f, model->GetProgramParameterValue(31, 11));
    // From 2111 on the map section is part of the bank.
    EXPECT_EQ(0, Set(Bank(0.75f, 2111, {}), false));
}

TEST_F(Chunks, BankMapEntriesBeyondTheMapAreIgnoredAndExtraBytesToo)
{
    std::vector<uint8_t> map{1, 200, 1, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xEE, 0xEE};
    model->RegisterMidiControllerMapping(40, 0);
    EXPECT_EQ(1, Set(Bank(0.5f, 2750, map), false));
    EXPECT_EQ(-1, model->ParameterToController(0));
    EXPECT_EQ(5, model->ParameterToController(1));
    EXPECT_FALSE(model->IsControllerMapped(40));
}

TEST_F(Chunks, NamesWithoutATerminatorAreCutToTheirField)
{
    std::vector<uint8_t> chunk = Program("", 0.5f);
    std::memset(chunk.data() + 164, 'N', 24);
    EXPECT_EQ(1, Set(chunk, true));
    EXPECT_STREQ("NNNNNNNNNNNNNNNNNNNNNNN", model->GetProgramName(0));
    std::vector<uint8_t> bank = Bank(0.5f, 2750, std::vector<uint8_t>(12, 0));
    std::memset(bank.data() + 164 + 72 * 31, 'B', 24);
    EXPECT_EQ(1, Set(bank, false));
    EXPECT_STREQ("BBBBBBBBBBBBBBBBBBBBBBB", model->GetProgramName(31));
}

TEST_F(Chunks, ValuesFromChunksAreKeptInRange)
{
    std::vector<uint8_t> chunk = Program("Wild", 3.0f);
    float nan = std::nanf("");
    std::memcpy(chunk.data() + 188 + 4 * 5, &nan, 4);
    EXPECT_EQ(1, Set(chunk, true));
    EXPECT_EQ(1.0f, model->GetParameterValue(0));
    EXPECT_EQ(0.5f, model->GetParameterValue(5)); // a NaN keeps the value it had
    EXPECT_STREQ("Wild", model->GetProgramName(0));
}

} // namespace
