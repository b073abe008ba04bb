// Runs morlent-host as a process against the real plug-in module, the way a user does.

#include "host/MidiScript.h"
#include "host/PresetFile.h"
#include "host/WavFile.h"
#include "description/EffectDescription.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which GDI+ builds on.
#include <gdiplus.h>
#else
#include "tests/support/VirtualDisplay.h"

#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#endif

namespace MorlentHost {
namespace {

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

std::string Slurp(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// A file name of the running test's own: CTest runs the cases in parallel in one folder.
std::string Local(const std::string& name)
{
    return std::string("e2e_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" + name;
}

Outcome RunHost(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), MORLENT_HOST_PATH);
    const std::string outFile = Local("stdout.txt"), errFile = Local("stderr.txt");
    const char* outPath = outFile.c_str();
    const char* errPath = errFile.c_str();
    Outcome outcome;
#ifdef _WIN32
    std::string line;
    for (const std::string& argument : arguments)
        line += "\"" + argument + "\" ";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err = CreateFileA(errPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        outcome.code = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(out);
    CloseHandle(err);
#else
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t child;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
        outcome.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
#endif
    outcome.out = Slurp(outPath);
    outcome.err = Slurp(errPath);
    return outcome;
}

#define EXPECT_CONTAINS(text, part) EXPECT_NE(std::string::npos, (text).find(part)) << "missing \"" << (part) << "\" in:\n" << (text)

void WriteInput(const std::string& path, const std::vector<float>& samples, int channels, int rate,
                SampleEncoding encoding)
{
    AudioFormat format;
    format.channels = channels;
    format.sampleRate = rate;
    format.encoding = encoding;
    std::string error;
    auto writer = WavWriter::Create(path, format, error);
    ASSERT_TRUE(writer) << error;
    ASSERT_TRUE(writer->Write(samples.data(), samples.size() / static_cast<size_t>(channels)));
    ASSERT_TRUE(writer->Close());
}

// The output as [channel][frame].
std::vector<std::vector<float>> ReadOutput(const std::string& path, AudioFormat* format = nullptr)
{
    std::string error;
    auto reader = WavReader::Open(path, error);
    EXPECT_TRUE(reader) << error;
    if (!reader)
        return {};
    if (format != nullptr)
        *format = reader->Format();
    const size_t channels = static_cast<size_t>(reader->Format().channels);
    std::vector<float> all(static_cast<size_t>(reader->Frames()) * channels);
    reader->Read(all.data(), static_cast<size_t>(reader->Frames()));
    std::vector<std::vector<float>> split(channels);
    for (size_t i = 0; i < all.size(); ++i)
        split[i % channels].push_back(all[i]);
    return split;
}

std::vector<float> Impulse(size_t frames, int channels, size_t at)
{
    std::vector<float> samples(frames * static_cast<size_t>(channels), 0.0f);
    for (int c = 0; c < channels; ++c)
        samples[at * static_cast<size_t>(channels) + static_cast<size_t>(c)] = 1.0f;
    return samples;
}

// Every frame of `channel` is silent but those listed.
void ExpectOnly(const std::vector<float>& channel, std::vector<std::pair<size_t, float>> wanted, float tolerance)
{
    for (size_t i = 0; i < channel.size(); ++i) {
        float expected = 0.0f;
        for (const auto& w : wanted)
            if (w.first == i)
                expected = w.second;
        ASSERT_NEAR(expected, channel[i], tolerance) << "frame " << i;
    }
}

const std::string kModule = MORLENT_MODULE_PATH;
constexpr bool kFirstGeneration = MORLENT_FIRST_GENERATION_UNDER_TEST != 0;
const std::string kVendorVersion =
    std::to_string(kFirstGeneration ? MorlentDelay::kFirstGenerationVendorVersion : MorlentDelay::kVendorVersion);

TEST(HostProcess, InfoNamesTheEffectItsParametersProgramsAndAnswers)
{
    const Outcome info = RunHost({"info", kModule});
    ASSERT_EQ(0, info.code) << info.err;
    EXPECT_CONTAINS(info.out, "Effect name:     Morlent Delay");
    EXPECT_CONTAINS(info.out, "Vendor:          Morlent Sound Design");
    EXPECT_CONTAINS(info.out, "Unique ID:       'MDly' (0x4D446C79)");
    EXPECT_CONTAINS(info.out, "Vendor version:  " + kVendorVersion);
    EXPECT_CONTAINS(info.out, "Category:        1 (effect)");
    EXPECT_CONTAINS(info.out, "effFlagsCanReplacing effFlagsProgramChunks");
    EXPECT_CONTAINS(info.out, "Parameters (12):");
    EXPECT_CONTAINS(info.out, "   11  Mix          0.500000  0");
    EXPECT_CONTAINS(info.out, "    8  CFreq        0.500000  2515.00    Hz");
    EXPECT_CONTAINS(info.out, "Programs (32), current 0:");
    EXPECT_CONTAINS(info.out, "   31  Blank");
    EXPECT_CONTAINS(info.out, "receiveVstTimeInfo   yes");
    EXPECT_CONTAINS(info.out, "bypass               no");
}

TEST(HostProcess, RenderedImpulseLandsAtTheDelayedFrame)
{
    // Defaults: right delay 0.25 s, read one frame after the write; mix halves dry and wet.
    WriteInput(Local("impulse.wav"), Impulse(20000, 2, 100), 2, 48000, SampleEncoding::Float32);
    for (const char* block : {"512", "100", "1"}) {
        const Outcome render = RunHost({"render", kModule, Local("impulse.wav"), Local("out.wav"), "--block", block});
        ASSERT_EQ(0, render.code) << render.err;
        EXPECT_CONTAINS(render.out, "rendered 20000 frames");
        AudioFormat format;
        const auto out = ReadOutput(Local("out.wav"), &format);
        ASSERT_EQ(2u, out.size());
        EXPECT_EQ(SampleEncoding::Float32, format.encoding);
        ExpectOnly(out[1], {{100, 0.5f}, {100 + 12001, 0.5f}}, 1e-6f);
        ExpectOnly(out[0], {{100, 0.5f}}, 1e-6f); // the left echo is a second away
    }

    // Mono 24-bit at 44.1 kHz: feeds both inputs, comes out stereo in the same encoding and rate.
    WriteInput(Local("mono.wav"), Impulse(12000, 1, 50), 1, 44100, SampleEncoding::Pcm24);
    const Outcome mono = RunHost({"render", kModule, Local("mono.wav"), Local("out.wav")});
    ASSERT_EQ(0, mono.code) << mono.err;
    AudioFormat format;
    const auto out = ReadOutput(Local("out.wav"), &format);
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(SampleEncoding::Pcm24, format.encoding);
    EXPECT_EQ(44100, format.sampleRate);
    const float half = 0.5f * (8388607.0f / 8388608.0f); // full scale is one step below 1
    ExpectOnly(out[1], {{50, half}, {50 + 11026, half}}, 2.0f / 8388608);
    ExpectOnly(out[0], {{50, half}}, 2.0f / 8388608);
}

// Saves the module's bank with controller 7 bound to Wet/Dry Mix (parameter 11). The bank chunk
// is a 164-byte header, 32 programs of a 24-byte name and 12 floats, then one byte per parameter
// (0, or 1 followed by the controller number).
void SaveBankBindingController7ToMix(const std::string& path)
{
    const Outcome save = RunHost({"preset", "save", kModule, path});
    ASSERT_EQ(0, save.code) << save.err;
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(path, bytes, error)) << error;
    PresetFile bank;
    ASSERT_TRUE(PresetFile::Parse(bytes, bank, error)) << error;
    ASSERT_EQ(2480u, bank.chunk.size());
    const size_t map = 164 + 32 * (24 + 12 * 4);
    ASSERT_EQ(std::vector<uint8_t>(12, 0), std::vector<uint8_t>(bank.chunk.begin() + map, bank.chunk.end()));
    bank.chunk[map + 11] = 1;
    bank.chunk.push_back(7);
    ASSERT_TRUE(WriteWholeFile(path, bank.Serialize(), error)) << error;
}

TEST(HostProcess, MidiControllerReachesTheEffectAtItsFrame)
{
    SaveBankBindingController7ToMix(Local("cc7.fxb"));
    std::vector<float> dc(2 * 8000, 0.5f);
    WriteInput(Local("dc.wav"), dc, 2, 48000, SampleEncoding::Float32);
    std::string error;
    const std::string script = "# mix to dry\n3000 0xB0 7 0\n";
    ASSERT_TRUE(WriteWholeFile(Local("midi.txt"), std::vector<uint8_t>(script.begin(), script.end()), error));

    // The echoes lie beyond the file, so the output is the dry signal times (1 - mix).
    const Outcome render = RunHost({"render", kModule, Local("dc.wav"), Local("out.wav"), "--preset", Local("cc7.fxb"),
                                    "--midi", Local("midi.txt"), "--block", "256"});
    ASSERT_EQ(0, render.code) << render.err;
    EXPECT_CONTAINS(render.out, "MIDI events sent: 1");
    auto out = ReadOutput(Local("out.wav"));
    ASSERT_EQ(2u, out.size());
    // The first generation handles a message before the range that ends at it, so from the start
    // of the event's block of 256 frames, and glides its mix there.
    for (size_t c = 0; c < 2; ++c)
        for (size_t i = 0; i < 8000; ++i) {
            if (!kFirstGeneration)
                ASSERT_EQ(i < 3000 ? 0.25f : 0.5f, out[c][i]) << "channel " << c << " frame " << i;
            else if (i < 2816)
                ASSERT_EQ(0.25f, out[c][i]) << "channel " << c << " frame " << i;
            else
                ASSERT_GE(out[c][i], out[c][i - 1]) << "channel " << c << " frame " << i;
        }
    if (kFirstGeneration) {
        EXPECT_GT(out[0][2816], 0.25f);
        EXPECT_GT(out[0][7999], 0.4f) << "most of the way to dry";
        EXPECT_LE(out[0][7999], 0.5f);
    }

    // Without the binding the same controller changes nothing.
    const Outcome unbound = RunHost({"render", kModule, Local("dc.wav"), Local("out.wav"), "--midi", Local("midi.txt")});
    ASSERT_EQ(0, unbound.code) << unbound.err;
    out = ReadOutput(Local("out.wav"));
    ASSERT_EQ(2u, out.size());
    EXPECT_EQ(0.25f, out[0][7999]);
}

TEST(HostProcess, PresetsSaveLoadDumpAndDriveARender)
{
    // Right delay 0.3 squared = 0.09 s, mix fully wet.
    const Outcome save = RunHost({"preset", "save", kModule, Local("program.fxp"), "--param", "2=0.3", "--param", "11=1"});
    ASSERT_EQ(0, save.code) << save.err;
    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(Local("program.fxp"), bytes, error));
    EXPECT_EQ(60u + 236, bytes.size());

    const Outcome dump = RunHost({"preset", "dump", Local("program.fxp")});
    ASSERT_EQ(0, dump.code) << dump.err;
    EXPECT_CONTAINS(dump.out, "byteSize:     288");
    EXPECT_CONTAINS(dump.out, "fxMagic:      FPCh");
    EXPECT_CONTAINS(dump.out, "fxID:         'MDly' (0x4D446C79)");
    EXPECT_CONTAINS(dump.out, "fxVersion:    " + kVendorVersion);
    EXPECT_CONTAINS(dump.out, "numParams:    12");
    EXPECT_CONTAINS(dump.out, "prgName:      Blank");
    EXPECT_CONTAINS(dump.out, "chunkSize:    236");
    EXPECT_CONTAINS(dump.out, "  0000  4d 6f 72 6c 65 6e 74 20 44 65 6c 61 79 00 00 00  Morlent Delay...");

    const Outcome load = RunHost({"preset", "load", kModule, Local("program.fxp")});
    ASSERT_EQ(0, load.code) << load.err;
    EXPECT_CONTAINS(load.out, "    2  RDT          0.09");
    EXPECT_CONTAINS(load.out, kFirstGeneration ? "   11  Mix          100" : "   11  Mix          +100");

    WriteInput(Local("impulse.wav"), Impulse(6000, 2, 100), 2, 48000, SampleEncoding::Float32);
    const Outcome render = RunHost({"render", kModule, Local("impulse.wav"), Local("out.wav"), "--preset", Local("program.fxp")});
    ASSERT_EQ(0, render.code) << render.err;
    const auto out = ReadOutput(Local("out.wav"));
    ASSERT_EQ(2u, out.size());
    ExpectOnly(out[1], {{100 + 4321, 1.0f}}, 1e-6f);

    // A bank remembers the selected program.
    const Outcome bank = RunHost({"preset", "save", kModule, Local("bank.fxb"), "--program", "5"});
    ASSERT_EQ(0, bank.code) << bank.err;
    const Outcome bankDump = RunHost({"preset", "dump", Local("bank.fxb")});
    EXPECT_CONTAINS(bankDump.out, "fxMagic:      FBCh");
    EXPECT_CONTAINS(bankDump.out, "numPrograms:  32");
    EXPECT_CONTAINS(bankDump.out, "currentProgram: 5");
    EXPECT_CONTAINS(bankDump.out, "chunkSize:    2480");
    const Outcome bankLoad = RunHost({"preset", "load", kModule, Local("bank.fxb")});
    ASSERT_EQ(0, bankLoad.code) << bankLoad.err;
    EXPECT_CONTAINS(bankLoad.out, "program 5: Blank");
}

// No timing thresholds: the figures must be positive, finite and tell one story, since nanoseconds
// per frame times the real-time factor is the length of a frame.
TEST(HostProcess, BenchTimesTheModuleAndItsFiguresAgree)
{
    static_assert(MorlentDelay::kOutputCount == 2, "the figures are per stereo frame");
    for (const char* block : {"64", "256"}) {
        const Outcome bench = RunHost({"bench", kModule, "--block", block, "--rate", "44100", "--seconds", "0.5",
                                       "--param", std::to_string(MorlentDelay::kWetDryMix) + "=1"});
        ASSERT_EQ(0, bench.code) << bench.err;
        EXPECT_EQ("", bench.err);
        int blockSize = 0, rate = 0, end = 0;
        double nanoseconds = 0.0, timesRealTime = 0.0;
        // stdout is a file here, so the figures stand alone without a progress line.
        ASSERT_EQ(4, std::sscanf(bench.out.c_str(), "block %d, %d Hz: %lf ns per stereo frame, %lfx real time\n%n",
                                 &blockSize, &rate, &nanoseconds, &timesRealTime, &end))
            << bench.out;
        EXPECT_EQ(bench.out.size(), static_cast<size_t>(end)) << bench.out;
        EXPECT_EQ(std::stoi(block), blockSize);
        EXPECT_EQ(44100, rate);
        ASSERT_TRUE(std::isfinite(nanoseconds) && nanoseconds > 0.0) << bench.out;
        ASSERT_TRUE(std::isfinite(timesRealTime) && timesRealTime > 0.0) << bench.out;
        EXPECT_NEAR(1.0, nanoseconds * timesRealTime / (1e9 / 44100), 0.02) << bench.out;
    }

    const Outcome wrong = RunHost({"bench", kModule, "--param", std::to_string(MorlentDelay::kParameterCount) + "=1"});
    EXPECT_EQ(1, wrong.code);
    EXPECT_CONTAINS(wrong.err, "parameter " + std::to_string(MorlentDelay::kParameterCount) + " does not exist");
    EXPECT_EQ("", wrong.out);
}

TEST(HostProcess, FailuresExplainThemselvesWithTheirExitCodes)
{
    std::string error;
    ASSERT_TRUE(WriteWholeFile(Local("text.wav"), {'n', 'o', 'p', 'e'}, error));
    PresetFile foreign;
    foreign.pluginId = 0x41424344;
    ASSERT_TRUE(WriteWholeFile(Local("foreign.fxp"), foreign.Serialize(), error));
    const std::string badMidi = "10 0xB0 7\n";
    ASSERT_TRUE(WriteWholeFile(Local("bad_midi.txt"), std::vector<uint8_t>(badMidi.begin(), badMidi.end()), error));

    const struct {
        std::vector<std::string> arguments;
        int code;
        std::string message;
    } cases[] = {
        {{"info", Local("no_such_module.so")}, 1, "cannot load module " + Local("no_such_module.so")},
        {{"info", MORLENT_NO_ENTRY_MODULE}, 1, "exports neither VSTPluginMain nor main"},
        {{"info", MORLENT_NULL_ENTRY_MODULE}, 1, "the entry point returned no effect"},
        {{"render", kModule, Local("missing.wav"), Local("out.wav")}, 1, Local("missing.wav")},
        {{"render", kModule, Local("text.wav"), Local("out.wav")}, 1, Local("text.wav")},
        {{"render", kModule, Local("out.wav"), "--param", "12=0.5"}, 1, "parameter 12 does not exist"},
        {{"render", kModule, Local("out.wav"), "--program", "32"}, 1, "program 32 does not exist"},
        {{"render", kModule, Local("out.wav"), "--midi", Local("bad_midi.txt")}, 1, Local("bad_midi.txt") + ", line 1"},
        {{"preset", "load", kModule, Local("foreign.fxp")}, 1, "belongs to plug-in 'ABCD'"},
        {{"preset", "dump", Local("text.wav")}, 1, "no CcnK header"},
        {{"render", kModule}, 2, "usage:"},
        {{"render", kModule, Local("out.wav"), "--block", "zero"}, 2, "--block"},
        {{"explode"}, 2, "unknown command 'explode'"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = RunHost(c.arguments);
        EXPECT_EQ(c.code, outcome.code) << c.arguments[0] << " " << c.arguments.back();
        EXPECT_CONTAINS(outcome.err, c.message);
    }
}

#ifndef _WIN32
// A private X server for one screenshot test, and DISPLAY naming it for the host it starts.
class ScopedDisplay {
public:
    ScopedDisplay() { display.SetUp(); }
    ~ScopedDisplay() { display.TearDown(); }

private:
    TestSupport::VirtualDisplay display;
};

// A picture's pixels as 0xRRGGBB, row by row; empty when it is no PNG file.
std::vector<uint32_t> ReadPng(const std::string& path, unsigned& width, unsigned& height)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint32_t> pixels;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return pixels;
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
        return pixels;
    width = image.width;
    height = image.height;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back(uint32_t{rgb[i]} << 16 | uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
    return pixels;
}
#endif

TEST(HostProcess, ScreenshotNeedsAnEditor)
{
#ifndef _WIN32
    ScopedDisplay display;
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
#endif
    std::remove(Local("editor.png").c_str());
    const Outcome shot = RunHost({"screenshot", kModule, Local("editor.png")});
    if (MORLENT_EXPECT_EDITOR == 0) {
        EXPECT_EQ(1, shot.code);
        EXPECT_CONTAINS(shot.err, "the plug-in has no editor (effFlagsHasEditor is not set)");
        return;
    }
    ASSERT_EQ(0, shot.code) << shot.err;
    std::vector<uint8_t> png;
    std::string error;
    ASSERT_TRUE(ReadWholeFile(Local("editor.png"), png, error)) << error;
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}),
              std::vector<uint8_t>(png.begin(), png.begin() + 8));
#ifndef _WIN32
    unsigned width = 0, height = 0;
    EXPECT_FALSE(ReadPng(Local("editor.png"), width, height).empty());
    EXPECT_EQ(static_cast<unsigned>(MorlentDelay::kEditorWidth), width);
    EXPECT_EQ(static_cast<unsigned>(MorlentDelay::kEditorHeight), height);
#endif
}

#ifndef _WIN32
// Where DISPLAY names no display, the Linux module offers no editor and the host says so.
TEST(HostProcess, ScreenshotWithoutADisplayFindsNoEditor)
{
    const char* before = std::getenv("DISPLAY");
    const std::string saved = before != nullptr ? before : "";
    setenv("DISPLAY", "", 1);
    const Outcome shot = RunHost({"screenshot", kModule, Local("none.png")});
    if (before != nullptr)
        setenv("DISPLAY", saved.c_str(), 1);
    else
        unsetenv("DISPLAY");
    EXPECT_EQ(1, shot.code);
    EXPECT_CONTAINS(shot.err, "the plug-in has no editor (effFlagsHasEditor is not set)");
}
#endif

// A stand-in editor paints its left half red and its right half blue; the saved picture must
// hold those pixels at the editor's size.
TEST(HostProcess, ScreenshotSavesTheEditorsPixels)
{
#ifndef _WIN32
    ScopedDisplay display;
    ASSERT_FALSE(::testing::Test::HasFatalFailure());
#endif
    std::remove(Local("painted.png").c_str());
    const Outcome shot = RunHost({"screenshot", MORLENT_PAINTED_EDITOR_MODULE, Local("painted.png")});
    ASSERT_EQ(0, shot.code) << shot.err;
    EXPECT_CONTAINS(shot.out, "saved the 200x120 editor to " + Local("painted.png"));

    const std::string path = Local("painted.png");
    const struct {
        int x, y;
        uint32_t colour;
    } probes[] = {{1, 1, 0xFF0000}, {99, 119, 0xFF0000}, {100, 0, 0x0000FF}, {199, 119, 0x0000FF}};
#ifdef _WIN32
    namespace Gdip = Gdiplus::DllExports;
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    ASSERT_EQ(Gdiplus::Ok, Gdiplus::GdiplusStartup(&token, &input, nullptr));
    Gdiplus::GpBitmap* picture = nullptr;
    ASSERT_EQ(Gdiplus::Ok, Gdip::GdipCreateBitmapFromFile(std::wstring(path.begin(), path.end()).c_str(), &picture));
    GUID format = {};
    Gdip::GdipGetImageRawFormat(picture, &format);
    const GUID png = {0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    EXPECT_TRUE(IsEqualGUID(png, format));
    UINT width = 0, height = 0;
    Gdip::GdipGetImageWidth(picture, &width);
    Gdip::GdipGetImageHeight(picture, &height);
    EXPECT_EQ(200u, width);
    EXPECT_EQ(120u, height);
    for (const auto& probe : probes) {
        Gdiplus::ARGB colour = 0;
        Gdip::GdipBitmapGetPixel(picture, probe.x, probe.y, &colour);
        EXPECT_EQ(0xFF000000u | probe.colour, colour) << probe.x << "," << probe.y;
    }
    Gdip::GdipDisposeImage(picture);
    Gdiplus::GdiplusShutdown(token);
#else
    unsigned width = 0, height = 0;
    const std::vector<uint32_t> pixels = ReadPng(path, width, height);
    ASSERT_FALSE(pixels.empty()) << path << " is no PNG file";
    EXPECT_EQ(200u, width);
    EXPECT_EQ(120u, height);
    ASSERT_EQ(static_cast<size_t>(width) * height, pixels.size());
    for (const auto& probe : probes)
        EXPECT_EQ(probe.colour, pixels[static_cast<size_t>(probe.y) * width + probe.x]) << probe.x << "," << probe.y;
#endif
}

} // namespace
} // namespace MorlentHost
