#pragma once
// The facts of the effect that both modules, their resources and every test share: identity,
// counts, field widths, chunk layout, versions, parameters, resources and the web site. Where
// the 64-bit module and the first-generation 32-bit module differ, both values stand here side
// by side.

#include "description/EffectIds.h"

#include <cstdint>

namespace MorlentDelay {

// --- identity ---
constexpr char kEffectName[] = "Morlent Delay";
constexpr char kVendorName[] = "Morlent Sound Design";
constexpr char kProductName[] = "Morlent Delay";
constexpr int32_t kUniqueId = 0x4D446C79; // 'MDly'
constexpr int32_t kCategory = 1;          // an effect, not a synth
constexpr int32_t kInputCount = 2;
constexpr int32_t kOutputCount = 2;
constexpr int32_t kProgramCount = 32;
constexpr int32_t kParameterCount = 12;
constexpr char kDefaultProgramName[] = "Blank";
constexpr char kWebSiteAddress[] = "https://www.example.com/";

// --- what both modules accept from a host ---
// Sample rates no host runs at would only turn delays and coefficients into nonsense: a rate
// outside this range (or not a number) is ignored and the last usable one stays.
constexpr float kMinSampleRate = 1000.0f;
constexpr float kMaxSampleRate = 768000.0f;
constexpr bool IsUsableSampleRate(float hz)
{
    return hz >= kMinSampleRate && hz <= kMaxSampleRate; // false for NaN too
}
// No state of ours comes near this; anything larger is not one of our chunks.
constexpr int32_t kLargestAcceptedChunkSize = 1 << 20;
// A controller value of 127 is full scale: 1/127 in single precision, so 127 gives exactly 1.0.
constexpr float kControllerScale = 0.007874016f;
static_assert(127 * kControllerScale == 1.0f, "controller value 127 is exactly full scale");

// --- versions: major × 1000 + minor × 100 + patch, answered as the vendor version and written
// into every chunk ---
constexpr int32_t VendorVersion(int32_t major, int32_t minor, int32_t patch)
{
    return major * 1000 + minor * 100 + patch;
}
constexpr int32_t kVendorVersion =
    VendorVersion(MORLENT_VERSION_MAJOR, MORLENT_VERSION_MINOR, MORLENT_VERSION_PATCH);
constexpr int32_t kFirstGenerationVendorVersion =
    VendorVersion(MORLENT_FIRST_GENERATION_VERSION_MAJOR, MORLENT_FIRST_GENERATION_VERSION_MINOR,
                  MORLENT_FIRST_GENERATION_VERSION_PATCH);
static_assert(kVendorVersion == 2750 && kFirstGenerationVendorVersion == 2600, "versions");
// Banks up to this version were written before banks carried the controller map.
constexpr int32_t kLastVersionWithoutControllerMap = 2110;

// --- fixed-width text fields, in bytes with the terminator ---
constexpr int32_t kEffectNameSize = 32;
constexpr int32_t kVendorStringSize = 64;
constexpr int32_t kProductStringSize = 64;
constexpr int32_t kLongNameSize = 64;
constexpr int32_t kShortNameSize = 8;
constexpr int32_t kLabelSize = 8;
constexpr int32_t kDisplaySize = 8;
constexpr int32_t kProgramNameSize = 24;

// --- chunks: the header, then names and values, then (banks only) the controller map ---
constexpr int32_t kChunkHeaderSize = kEffectNameSize + kVendorStringSize + kProductStringSize + 4;
constexpr int32_t kProgramBodySize = kProgramNameSize + 4 * kParameterCount;
constexpr int32_t kProgramChunkSize = kChunkHeaderSize + kProgramBodySize;
// A bank's programs end here; a flag byte per parameter follows, and a controller number
// after each flag that is set.
constexpr int32_t kBankProgramsSize = kChunkHeaderSize + kProgramCount * kProgramBodySize;
constexpr int32_t kSmallestBankChunkSize = kBankProgramsSize + kParameterCount;
constexpr int32_t kLargestBankChunkSize = kBankProgramsSize + 2 * kParameterCount;
static_assert(kChunkHeaderSize == 164 && kProgramChunkSize == 236, "program chunk layout");
static_assert(kSmallestBankChunkSize == 2480 && kLargestBankChunkSize == 2492, "bank chunk layout");

// --- parameters ---
enum Parameter : int32_t {
    kEnabled,
    kLeftDelay,
    kRightDelay,
    kSync,
    kLeftSync,
    kRightSync,
    kFeedbackLevel,
    kFilter,
    kCutoffFrequency,
    kFilterType,
    kPan,
    kWetDryMix,
};

// How a host should offer a parameter: a continuous value, an on/off switch, or a choice among
// named entries (a choice among n entries is trunc(value × n), n itself counting as n − 1).
enum class ParameterKind : int32_t { kContinuous, kSwitch, kChoice };

// The tempo-synchronised note values, shortest first.
constexpr int32_t kNoteCount = 5;
constexpr const char* kNoteNames[kNoteCount] = {"1/32", "1/16", "1/8", "1/4", "1/2"};
// The filter types in the order of their values, as the display shows them.
constexpr int32_t kFilterTypeCount = 2;
constexpr const char* kFilterTypeNames[kFilterTypeCount] = {"Low", "High"};
// What a switch shows off and on; "Enabled" shows "Bypass" when off.
constexpr const char* kSwitchNames[2] = {"Off", "On"};
constexpr const char* kEnabledNames[2] = {"Bypass", "On"};

struct ParameterFacts {
    Parameter index;
    const char* longName;
    const char* shortName;
    const char* label;
    float defaultValue;  // in every program of a new instance
    float resetValue;    // what Ctrl + click restores in the 64-bit editor
    float firstGenerationResetValue; // the same in the 32-bit editor
    ParameterKind kind;
    int32_t entryCount;         // 0 for a continuous parameter
    const char* const* entries; // what each step shows, lowest value first
};

constexpr ParameterFacts kParameters[kParameterCount] = {
    // "Sync" resets to on in the 64-bit editor although its stored default is off.
    {kEnabled, "Enabled", "On", "", 1.0f, 1.0f, 0.0f,
     ParameterKind::kSwitch, 2, kEnabledNames},
    {kLeftDelay, "Left Delay", "LDT", "Secs", 1.0f, 1.0f, 0.5f,
     ParameterKind::kContinuous, 0, nullptr},
    {kRightDelay, "Right Delay", "RDT", "Secs", 0.5f, 0.5f, 0.5f,
     ParameterKind::kContinuous, 0, nullptr},
    {kSync, "Sync", "SOn", "", 0.0f, 0.5f, 0.0f,
     ParameterKind::kSwitch, 2, kSwitchNames},
    {kLeftSync, "Left Sync", "LSRes", "", 0.5f, 0.5f, 0.5f,
     ParameterKind::kChoice, kNoteCount, kNoteNames},
    {kRightSync, "Right Sync", "RSRes", "", 0.5f, 0.5f, 0.5f,
     ParameterKind::kChoice, kNoteCount, kNoteNames},
    {kFeedbackLevel, "Feedback Level", "FB", "", 0.0f, 0.0f, 0.5f,
     ParameterKind::kContinuous, 0, nullptr},
    {kFilter, "Filter", "FOn", "", 0.0f, 0.0f, 0.0f,
     ParameterKind::kSwitch, 2, kSwitchNames},
    {kCutoffFrequency, "Cutoff Freq", "CFreq", "Hz", 0.5f, 0.5f, 0.5f,
     ParameterKind::kContinuous, 0, nullptr},
    {kFilterType, "Filter Type", "FType", "", 0.0f, 0.0f, 0.0f,
     ParameterKind::kChoice, kFilterTypeCount, kFilterTypeNames},
    {kPan, "Pan", "POn", "", 0.0f, 0.0f, 0.0f,
     ParameterKind::kSwitch, 2, kSwitchNames},
    {kWetDryMix, "Wet/Dry Mix", "Mix", "", 0.5f, 0.5f, 0.5f,
     ParameterKind::kContinuous, 0, nullptr},
};

constexpr bool ParametersInIndexOrder()
{
    for (int32_t i = 0; i < kParameterCount; ++i)
        if (kParameters[i].index != i)
            return false;
    return true;
}
static_assert(ParametersInIndexOrder(), "kParameters must list the parameters in the order of Parameter");
static_assert(sizeof kParameters / sizeof kParameters[0] == kParameterCount, "one entry per parameter");

// Parameter values are 0..1 whatever path they take (host, editor, MIDI, chunk); a NaN is no
// value at all. Clamps value and answers true, or answers false for a NaN.
inline bool SanitiseParameterValue(float& value)
{
    if (value != value)
        return false;
    value = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    return true;
}

// The first generation writes the cutoff's long name with a full stop; the other names agree.
constexpr const char* FirstGenerationLongName(int32_t index)
{
    return index == kCutoffFrequency ? "Cutoff Freq." : kParameters[index].longName;
}

// --- resources ---
constexpr int kAboutBitmapId = MORLENT_ABOUT_BITMAP_ID;
constexpr int kBackgroundId = MORLENT_BACKGROUND_ID;
constexpr int kKnobId = MORLENT_KNOB_ID;
constexpr int kSwitchId = MORLENT_SWITCH_ID;
constexpr int kSyncButtonId = MORLENT_SYNC_BUTTON_ID;
constexpr int kSyncLedId = MORLENT_SYNC_LED_ID;
constexpr char kBackgroundName[] = MORLENT_RESOURCE_NAME(MORLENT_BACKGROUND_NAME);
constexpr char kKnobName[] = MORLENT_RESOURCE_NAME(MORLENT_KNOB_NAME);
constexpr char kSwitchName[] = MORLENT_RESOURCE_NAME(MORLENT_SWITCH_NAME);
constexpr char kSyncButtonName[] = MORLENT_RESOURCE_NAME(MORLENT_SYNC_BUTTON_NAME);
constexpr char kSyncLedName[] = MORLENT_RESOURCE_NAME(MORLENT_SYNC_LED_NAME);
constexpr char kPictureType[] = "PNG";
// The name both editors open the template by; it is stored as MORLENT_ABOUT_DIALOG_NAME.
constexpr char kAboutDialogName[] = "AboutDialog";
constexpr int kVisitWebsiteId = MORLENT_VISIT_WEBSITE_ID;
constexpr int kFirstGenerationVisitWebsiteId = MORLENT_FIRST_GENERATION_VISIT_WEBSITE_ID;

// The skin's frame layout.
constexpr int kKnobFrames = 91;
constexpr int kSwitchFrames = 2;
constexpr int kSyncButtonFrames = 2;
constexpr int kSyncLedFrames = kNoteCount;
constexpr int kEditorWidth = 496;
constexpr int kEditorHeight = 344;

// --- the editor's face, the same in both modules: where the background picture has its marks ---
struct Point {
    int x;
    int y;
};
struct Area {
    int left;
    int top;
    int right;
    int bottom;
};
// The top-left corner of each parameter's control, by parameter index.
constexpr Point kControlPositions[kParameterCount] = {
    {343, 229}, {65, 139}, {123, 139}, {79, 229}, {144, 221}, {144, 256},
    {179, 139}, {343, 109}, {390, 139}, {343, 148}, {266, 125}, {390, 241},
};
// The buttons that step the left and the right note row.
constexpr Point kLeftSyncButtonPosition{116, 227};
constexpr Point kRightSyncButtonPosition{116, 262};
// The title banner, a click on which opens the view menu, and the display window of the status line.
constexpr Area kMenuArea{30, 32, 296, 70};
constexpr Area kStatusArea{305, 34, 450, 59};

} // namespace MorlentDelay
