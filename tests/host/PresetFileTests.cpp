#include "host/PresetFile.h"

#include <gtest/gtest.h>

namespace MorlentHost {
namespace {

std::vector<uint8_t> Be(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> bytes;
    for (uint32_t v : values)
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<uint8_t>(v >> shift));
    return bytes;
}
void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes) { to.insert(to.end(), bytes.begin(), bytes.end()); }

TEST(PresetFile, ProgramFileIsLaidOutBigEndianAndReadsBack)
{
    PresetFile preset;
    preset.kind = PresetFile::Kind::Program;
    preset.pluginId = 0x4D446C79;
    preset.pluginVersion = 2750;
    preset.count = 12;
    preset.programName = "Slapback";
    preset.chunk = {1, 2, 3, 4, 5};

    std::vector<uint8_t> expected = {'C', 'c', 'n', 'K'};
    Append(expected, Be({28 + 28 + 4 + 5 - 8}));
    Append(expected, {'F', 'P', 'C', 'h'});
    Append(expected, Be({1, 0x4D446C79, 2750, 12}));
    std::vector<uint8_t> name(28, 0);
    std::copy_n("Slapback", 8, name.begin());
    Append(expected, name);
    Append(expected, Be({5}));
    Append(expected, {1, 2, 3, 4, 5});
    const std::vector<uint8_t> bytes = preset.Serialize();
    EXPECT_EQ(expected, bytes);

    PresetFile back;
    std::string error;
    ASSERT_TRUE(PresetFile::Parse(bytes, back, error)) << error;
    EXPECT_EQ(PresetFile::Kind::Program, back.kind);
    EXPECT_EQ(preset.pluginId, back.pluginId);
    EXPECT_EQ(2750, back.pluginVersion);
    EXPECT_EQ(12, back.count);
    EXPECT_EQ("Slapback", back.programName);
    EXPECT_EQ(preset.chunk, back.chunk);

    // A name longer than the field keeps 27 characters and its terminator.
    preset.programName = std::string(40, 'n');
    ASSERT_TRUE(PresetFile::Parse(preset.Serialize(), back, error));
    EXPECT_EQ(std::string(27, 'n'), back.programName);
}

TEST(PresetFile, BankFileCarriesTheSelectedProgramInVersionTwo)
{
    PresetFile preset;
    preset.kind = PresetFile::Kind::Bank;
    preset.formatVersion = 2;
    preset.pluginId = 0x4D446C79;
    preset.pluginVersion = 2750;
    preset.count = 32;
    preset.currentProgram = 7;
    preset.chunk.assign(2481, 0xAB);
    const std::vector<uint8_t> bytes = preset.Serialize();
    ASSERT_EQ(28u + 128 + 4 + 2481, bytes.size());
    EXPECT_EQ(Be({static_cast<uint32_t>(bytes.size() - 8)}), std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 8));
    EXPECT_EQ(std::vector<uint8_t>({'F', 'B', 'C', 'h'}), std::vector<uint8_t>(bytes.begin() + 8, bytes.begin() + 12));
    EXPECT_EQ(Be({2, 0x4D446C79, 2750, 32, 7}), std::vector<uint8_t>(bytes.begin() + 12, bytes.begin() + 32));
    EXPECT_EQ(std::vector<uint8_t>(124, 0), std::vector<uint8_t>(bytes.begin() + 32, bytes.begin() + 156));
    EXPECT_EQ(Be({2481}), std::vector<uint8_t>(bytes.begin() + 156, bytes.begin() + 160));

    PresetFile back;
    std::string error;
    ASSERT_TRUE(PresetFile::Parse(bytes, back, error)) << error;
    EXPECT_EQ(PresetFile::Kind::Bank, back.kind);
    EXPECT_EQ(7, back.currentProgram);
    EXPECT_EQ(preset.chunk, back.chunk);

    // Version 1 banks have no selected program, whatever the reserved bytes hold.
    preset.formatVersion = 1;
    ASSERT_TRUE(PresetFile::Parse(preset.Serialize(), back, error));
    EXPECT_EQ(-1, back.currentProgram);
}

TEST(PresetFile, RejectsDamagedAndForeignFiles)
{
    PresetFile preset;
    preset.chunk.assign(100, 1);
    const std::vector<uint8_t> good = preset.Serialize();

    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    std::vector<uint8_t> chunkTooLong = good;
    chunkTooLong[59] = 101;
    std::vector<uint8_t> parameterList = good;
    std::copy_n("FxCk", 4, parameterList.begin() + 8);
    std::vector<uint8_t> unknown = good;
    std::copy_n("ABCD", 4, unknown.begin() + 8);
    std::vector<uint8_t> notPreset = good;
    notPreset[0] = 'X';
    const struct {
        std::vector<uint8_t> bytes;
        const char* reason;
    } cases[] = {{truncated, "truncated"},
                 {chunkTooLong, "runs past the end"},
                 {parameterList, "parameter list (FxCk)"},
                 {unknown, "unknown preset type 'ABCD'"},
                 {notPreset, "no CcnK header"},
                 {{'C', 'c', 'n', 'K'}, "no CcnK header"}};
    for (const auto& c : cases) {
        PresetFile parsed;
        std::string error;
        EXPECT_FALSE(PresetFile::Parse(c.bytes, parsed, error)) << c.reason;
        EXPECT_NE(std::string::npos, error.find(c.reason)) << error;
    }
}

} // namespace
} // namespace MorlentHost
