// Reads the module resources back through the Win32 resource functions and GDI+, the way
// both editors do, and checks them against the fixed sizes, frame layouts and templates.
#define NOMINMAX
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "description/EffectDescription.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace Gdiplus;

// The identifiers hosts and older projects may rely on, whatever the shared header says.
static_assert(MorlentDelay::kBackgroundId == 113 && MorlentDelay::kKnobId == 114 && MorlentDelay::kSwitchId == 115 &&
                  MorlentDelay::kSyncButtonId == 116 && MorlentDelay::kSyncLedId == 117 &&
                  MorlentDelay::kAboutBitmapId == 112,
              "picture identifiers");
static_assert(std::string_view(MorlentDelay::kBackgroundName) == "BACKGROUNDIMAGE" &&
                  std::string_view(MorlentDelay::kKnobName) == "KNOBIMAGE" &&
                  std::string_view(MorlentDelay::kSwitchName) == "SWITCHIMAGE" &&
                  std::string_view(MorlentDelay::kSyncButtonName) == "SYNCBUTTONIMAGE" &&
                  std::string_view(MorlentDelay::kSyncLedName) == "SYNCLEDSWITCHIMAGE",
              "picture names");
static_assert(MorlentDelay::kVisitWebsiteId == 55 && MorlentDelay::kFirstGenerationVisitWebsiteId == 2,
              "website button identifiers");

#if MORLENT_RESOURCE_BITS == 64
#define PICTURE(id, name) MAKEINTRESOURCEA(id)
constexpr uint32_t kDialogStyle = 0x80C800C0;
constexpr const char* kDialogCaption = "About Morlent Delay";
constexpr uint16_t kWebsiteButtonId = MorlentDelay::kVisitWebsiteId;
#else
#define PICTURE(id, name) name
constexpr uint32_t kDialogStyle = 0x800000C0;
constexpr const char* kDialogCaption = "";
constexpr uint16_t kWebsiteButtonId = MorlentDelay::kFirstGenerationVisitWebsiteId;
#endif

const LPCSTR kBackground = PICTURE(MorlentDelay::kBackgroundId, MorlentDelay::kBackgroundName);
const LPCSTR kKnob = PICTURE(MorlentDelay::kKnobId, MorlentDelay::kKnobName);
const LPCSTR kSwitch = PICTURE(MorlentDelay::kSwitchId, MorlentDelay::kSwitchName);
const LPCSTR kSyncButton = PICTURE(MorlentDelay::kSyncButtonId, MorlentDelay::kSyncButtonName);
const LPCSTR kSyncLed = PICTURE(MorlentDelay::kSyncLedId, MorlentDelay::kSyncLedName);
const LPCSTR kPng = MorlentDelay::kPictureType;
const LPCSTR kManifestType = MAKEINTRESOURCEA(24);

struct Bytes {
  const uint8_t* data = nullptr;
  size_t size = 0;
};

HMODULE module;
ULONG_PTR gdiplusToken;

Bytes Load(LPCSTR name, LPCSTR type) {
  HRSRC info = FindResourceA(module, name, type);
  if (!info) return {};
  HGLOBAL handle = LoadResource(module, info);
  return {static_cast<const uint8_t*>(LockResource(handle)), SizeofResource(module, info)};
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

int Luminance(ARGB c) { return ((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF); }
int Red(ARGB c) { return (c >> 16) & 0xFF; }
int Green(ARGB c) { return (c >> 8) & 0xFF; }
int Alpha(ARGB c) { return c >> 24; }

// A PNG resource decoded from a global-memory stream, as the editors decode it.
class Picture {
 public:
  explicit Picture(Bytes png) {
    if (!png.data) return;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, png.size);
    std::memcpy(GlobalLock(memory), png.data, png.size);
    GlobalUnlock(memory);
    if (CreateStreamOnHGlobal(memory, TRUE, &stream_) != S_OK) {
      GlobalFree(memory);
      return;
    }
    if (DllExports::GdipCreateBitmapFromStream(stream_, &bitmap_) != Ok) bitmap_ = nullptr;
  }
  ~Picture() {
    if (bitmap_) DllExports::GdipDisposeImage(bitmap_);
    if (stream_) stream_->Release();
  }
  bool Loaded() const { return bitmap_ != nullptr; }
  UINT Width() const {
    UINT w = 0;
    DllExports::GdipGetImageWidth(bitmap_, &w);
    return w;
  }
  UINT Height() const {
    UINT h = 0;
    DllExports::GdipGetImageHeight(bitmap_, &h);
    return h;
  }
  ARGB Pixel(int x, int y) const {
    ARGB c = 0;
    EXPECT_EQ(DllExports::GdipBitmapGetPixel(bitmap_, x, y, &c), Ok) << x << "," << y;
    return c;
  }

 private:
  IStream* stream_ = nullptr;
  GpBitmap* bitmap_ = nullptr;
};

class Resources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    module = LoadLibraryA(MORLENT_RESOURCE_DLL);
    GdiplusStartupInput input;
    GdiplusStartup(&gdiplusToken, &input, nullptr);
  }
  static void TearDownTestSuite() {
    GdiplusShutdown(gdiplusToken);
    if (module) FreeLibrary(module);
    module = nullptr;
  }
  void SetUp() override { ASSERT_NE(module, nullptr) << "cannot load " << MORLENT_RESOURCE_DLL; }
};

TEST_F(Resources, PicturesAreRgbaPngsOfTheFixedSizes) {
  struct Expect {
    LPCSTR name;
    UINT width, height;
  };
  for (const Expect& e : {Expect{kBackground, 496, 344}, Expect{kKnob, 32, 2912}, Expect{kSwitch, 20, 80},
                          Expect{kSyncButton, 28, 56}, Expect{kSyncLed, 700, 40}}) {
    SCOPED_TRACE(IS_INTRESOURCE(e.name) ? std::to_string(reinterpret_cast<uintptr_t>(e.name)) : e.name);
    Bytes png = Load(e.name, kPng);
    ASSERT_NE(png.data, nullptr);
    ASSERT_GT(png.size, 33u);
    EXPECT_EQ(std::memcmp(png.data, "\x89PNG\r\n\x1a\n", 8), 0);
    EXPECT_EQ(std::memcmp(png.data + 12, "IHDR", 4), 0);
    EXPECT_EQ(BigEndian32(png.data + 16), e.width);
    EXPECT_EQ(BigEndian32(png.data + 20), e.height);
    EXPECT_EQ(png.data[24], 8) << "bit depth";
    EXPECT_EQ(png.data[25], 6) << "colour type RGBA";

    Picture picture(png);
    ASSERT_TRUE(picture.Loaded());
    EXPECT_EQ(picture.Width(), e.width);
    EXPECT_EQ(picture.Height(), e.height);
  }
}

TEST_F(Resources, BackgroundIsOpaqueWithAGreenDisplayUnderTheStatusLine) {
  Picture background(Load(kBackground, kPng));
  ASSERT_TRUE(background.Loaded());
  for (int x : {0, 100, 305, 495})
    for (int y : {0, 34, 200, 343}) EXPECT_EQ(Alpha(background.Pixel(x, y)), 255) << x << "," << y;
  // Corners and centre of the status rectangle (305, 34, 145 x 25) are display green.
  for (auto [x, y] : {std::pair{306, 35}, {449, 35}, {306, 58}, {449, 58}, {377, 46}}) {
    ARGB c = background.Pixel(x, y);
    EXPECT_GT(Green(c), Red(c) + 30) << x << "," << y;
  }
  // The banner's menu area is red to its right end.
  ARGB banner = background.Pixel(290, 68);
  EXPECT_GT(Red(banner), 2 * Green(banner));
}

TEST_F(Resources, KnobPointerSweepsClockwiseFromLowerLeftThroughTopToLowerRight) {
  Picture knob(Load(kKnob, kPng));
  ASSERT_TRUE(knob.Loaded());
  // Pointer 8 px from the centre of each 32 x 32 frame: lower left, up, lower right.
  const std::pair<int, int> lowerLeft{10, 21}, up{15, 8}, lowerRight{21, 21};
  struct Expect {
    int frame;
    std::pair<int, int> lit;
  };
  for (const Expect& e : {Expect{0, lowerLeft}, Expect{45, up}, Expect{90, lowerRight}}) {
    SCOPED_TRACE(e.frame);
    for (auto [x, y] : {lowerLeft, up, lowerRight}) {
      int lum = Luminance(knob.Pixel(x, 32 * e.frame + y));
      if (std::pair{x, y} == e.lit)
        EXPECT_GT(lum, 600) << x << "," << y;
      else
        EXPECT_LT(lum, 400) << x << "," << y;
    }
  }
  // Every step turns the cap, and the corners stay transparent for the panel to show.
  auto ring = [&](int frame) {
    std::vector<ARGB> samples;
    for (int x = 4; x < 28; ++x) samples.push_back(knob.Pixel(x, 32 * frame + 9));
    for (int y = 4; y < 28; ++y) samples.push_back(knob.Pixel(9, 32 * frame + y));
    return samples;
  };
  std::vector<ARGB> previous = ring(0);
  for (int frame = 1; frame < 91; ++frame) {
    std::vector<ARGB> current = ring(frame);
    EXPECT_NE(current, previous) << "frame " << frame;
    previous = current;
    EXPECT_EQ(Alpha(knob.Pixel(0, 32 * frame)), 0);
    EXPECT_EQ(Alpha(knob.Pixel(31, 32 * frame + 31)), 0);
  }
}

TEST_F(Resources, SwitchLeverIsDownInFrameZeroAndUpInFrameOne) {
  Picture lever(Load(kSwitch, kPng));
  ASSERT_TRUE(lever.Loaded());
  // Lever tips sit 7 px from the top and bottom of a 20 x 40 frame.
  EXPECT_GT(Luminance(lever.Pixel(10, 33)), 400);
  EXPECT_LT(Luminance(lever.Pixel(10, 7)), 300);
  EXPECT_GT(Luminance(lever.Pixel(10, 40 + 7)), 400);
  EXPECT_LT(Luminance(lever.Pixel(10, 40 + 33)), 300);
}

TEST_F(Resources, SyncButtonIsDarkerWhenPressed) {
  Picture button(Load(kSyncButton, kPng));
  ASSERT_TRUE(button.Loaded());
  long released = 0, pressed = 0;
  for (int y = 4; y < 24; ++y)
    for (int x = 4; x < 24; ++x) {
      released += Luminance(button.Pixel(x, y));
      pressed += Luminance(button.Pixel(x, 28 + y));
      EXPECT_EQ(Alpha(button.Pixel(x, 28 + y)), 255);
    }
  EXPECT_LT(pressed * 10, released * 8);
}

TEST_F(Resources, SyncLedFrameLightsTheLedOfItsOwnBand) {
  Picture leds(Load(kSyncLed, kPng));
  ASSERT_TRUE(leds.Loaded());
  for (int frame = 0; frame < 5; ++frame) {
    for (int led = 0; led < 5; ++led) {
      // LED i is centred in the i-th 28 px band of the 140 px frame.
      ARGB c = leds.Pixel(140 * frame + 28 * led + 14, 20);
      if (led == frame) {
        EXPECT_GT(Red(c), 200) << frame << "/" << led;
        EXPECT_GT(Red(c), 2 * Green(c)) << frame << "/" << led;
      } else {
        EXPECT_LT(Red(c), 120) << frame << "/" << led;
      }
      // Between the LEDs the panel (and its note labels above) shows through.
      EXPECT_EQ(Alpha(leds.Pixel(140 * frame + 28 * led + 14, 3)), 0);
      EXPECT_EQ(Alpha(leds.Pixel(140 * frame + 28 * led, 20)), 0);
    }
  }
}

TEST_F(Resources, AboutBitmapIsABottomUp32BitDibWithoutFileHeader) {
  Bytes dib = Load(MAKEINTRESOURCEA(MorlentDelay::kAboutBitmapId), RT_BITMAP);
  ASSERT_NE(dib.data, nullptr);
  EXPECT_EQ(dib.size, 790280u);
  ASSERT_GE(dib.size, sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header;
  std::memcpy(&header, dib.data, sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 440);
  EXPECT_EQ(header.biHeight, 449);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 32);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biClrUsed, 0u);
}

// Reads a standard (not extended) dialog template field by field.
class TemplateReader {
 public:
  explicit TemplateReader(Bytes b) : bytes_(b) {}
  uint16_t Word() {
    uint16_t v = 0;
    if (Ensure(2)) std::memcpy(&v, bytes_.data + at_, 2);
    at_ += 2;
    return v;
  }
  uint32_t Dword() {
    uint32_t low = Word();
    return low | uint32_t(Word()) << 16;
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }
  // A NUL-terminated UTF-16 string, narrowed (the templates hold ASCII only).
  std::string String() {
    std::string s;
    for (uint16_t c = Word(); c != 0 && Ensure(0); c = Word()) s.push_back(c < 0x80 ? char(c) : '?');
    return s;
  }
  // sz_Or_Ord: ordinal as "#n", else the string.
  std::string NameOrOrdinal() {
    uint16_t first = Word();
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    at_ -= 2;
    return String();
  }
  void AlignDword() { at_ = (at_ + 3) & ~size_t(3); }
  size_t Offset() const { return at_; }

 private:
  bool Ensure(size_t n) {
    if (at_ + n > bytes_.size) {
      ADD_FAILURE() << "template ends at " << bytes_.size;
      at_ = bytes_.size;
      return false;
    }
    return true;
  }
  Bytes bytes_;
  size_t at_ = 0;
};

TEST_F(Resources, AboutDialogTemplateMatchesFieldByField) {
  Bytes dialog = Load("ABOUTDIALOG", RT_DIALOG);
  ASSERT_NE(dialog.data, nullptr);
  TemplateReader t(dialog);
  EXPECT_EQ(t.Dword(), kDialogStyle) << "style";
  EXPECT_EQ(t.Dword(), 0u) << "extended style";
  EXPECT_EQ(t.Word(), 3) << "item count";
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 293);
  EXPECT_EQ(t.Short(), 276);
  EXPECT_EQ(t.NameOrOrdinal(), "") << "menu";
  EXPECT_EQ(t.NameOrOrdinal(), "") << "class";
  EXPECT_EQ(t.String(), kDialogCaption);
  EXPECT_EQ(t.Word(), 8) << "point size";
  EXPECT_EQ(t.String(), "MS Sans Serif");

  struct Item {
    uint32_t style;
    int16_t x, y, cx, cy;
    uint16_t id;
    std::string cls, text;
  };
  const Item expected[] = {
      {0x5000000E, 0, 0, 293, 276, 0xFFFF, "#130", "#112"},
      {0x50010001, 52, 224, 50, 14, kWebsiteButtonId, "#128", "Visit Website"},
      {0x50010001, 183, 224, 50, 14, 1, "#128", "OK"},
  };
  for (const Item& e : expected) {
    SCOPED_TRACE(e.text);
    t.AlignDword();
    EXPECT_EQ(t.Dword(), e.style);
    EXPECT_EQ(t.Dword(), 0u) << "extended style";
    EXPECT_EQ(t.Short(), e.x);
    EXPECT_EQ(t.Short(), e.y);
    EXPECT_EQ(t.Short(), e.cx);
    EXPECT_EQ(t.Short(), e.cy);
    EXPECT_EQ(t.Word(), e.id);
    EXPECT_EQ(t.NameOrOrdinal(), e.cls);
    EXPECT_EQ(t.NameOrOrdinal(), e.text);
    EXPECT_EQ(t.Word(), 0) << "creation data";
  }
  EXPECT_LE(t.Offset(), dialog.size);
  EXPECT_GE(t.Offset() + 3, dialog.size) << "bytes after the last item";
}

TEST_F(Resources, AboutDialogIsFoundRegardlessOfNameCase) {
  Bytes upper = Load("ABOUTDIALOG", RT_DIALOG);
  Bytes mixed = Load("AboutDialog", RT_DIALOG);
  ASSERT_NE(upper.data, nullptr);
  EXPECT_EQ(mixed.data, upper.data);
  EXPECT_EQ(mixed.size, upper.size);
}

TEST_F(Resources, ManifestIsResourceTwoOfType24) {
  Bytes manifest = Load(MAKEINTRESOURCEA(2), kManifestType);
  ASSERT_NE(manifest.data, nullptr);
  std::string xml(reinterpret_cast<const char*>(manifest.data), manifest.size);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>", 0), 0u) << xml;
  EXPECT_NE(xml.find("<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">"),
            std::string::npos);
#if MORLENT_RESOURCE_BITS == 64
  for (const char* part : {"<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">", "<security>",
                           "<requestedPrivileges>",
                           "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"})
    EXPECT_NE(xml.find(part), std::string::npos) << part;
#else
  size_t open = xml.find("manifestVersion=\"1.0\">");
  size_t close = xml.find("</assembly>");
  ASSERT_NE(close, std::string::npos);
  EXPECT_EQ(xml.find_first_not_of(" \r\n\t", open + 22), close) << "the assembly is empty";
#endif
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR set) {
  reinterpret_cast<std::set<WORD>*>(set)->insert(language);
  return TRUE;
}

TEST_F(Resources, EveryResourceIsUsEnglishOnly) {
  const std::pair<LPCSTR, LPCSTR> all[] = {
      {kPng, kBackground},  {kPng, kKnob},        {kPng, kSwitch},
      {kPng, kSyncButton},  {kPng, kSyncLed},     {RT_BITMAP, MAKEINTRESOURCEA(MorlentDelay::kAboutBitmapId)},
      {RT_DIALOG, "ABOUTDIALOG"}, {kManifestType, MAKEINTRESOURCEA(2)},
  };
  for (auto [type, name] : all) {
    std::set<WORD> languages;
    EnumResourceLanguagesA(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::set<WORD>{0x0409});
  }
}

// A file's properties read the version record through the version functions, not through
// FindResource; its texts and numbers come from the same macros as the vendor version.
static_assert(std::string_view(MORLENT_PRODUCT_TEXT) == MorlentDelay::kProductName &&
                  std::string_view(MORLENT_VENDOR_TEXT) == MorlentDelay::kVendorName,
              "the version record names what the plug-in reports");

#if MORLENT_RESOURCE_BITS == 64
constexpr int kVersionParts[3] = {MORLENT_VERSION_MAJOR, MORLENT_VERSION_MINOR, MORLENT_VERSION_PATCH};
constexpr const char* kVersionText = "2.7.50";
constexpr int32_t kRecordVendorVersion = MorlentDelay::kVendorVersion;
#else
constexpr int kVersionParts[3] = {MORLENT_FIRST_GENERATION_VERSION_MAJOR, MORLENT_FIRST_GENERATION_VERSION_MINOR,
                                  MORLENT_FIRST_GENERATION_VERSION_PATCH};
constexpr const char* kVersionText = "2.6.0";
constexpr int32_t kRecordVendorVersion = MorlentDelay::kFirstGenerationVendorVersion;
#endif

std::string VersionString(const std::vector<char>& record, const char* key) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = std::string("\\StringFileInfo\\040904B0\\") + key;
  if (!VerQueryValueA(record.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || text == nullptr)
    return "<missing>";
  return std::string(text, strnlen(text, length));
}

TEST_F(Resources, VersionRecordCarriesTheModulesVersionAndNames) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(MORLENT_RESOURCE_DLL, &ignored);
  ASSERT_GT(size, 0u) << "no version record in " << MORLENT_RESOURCE_DLL;
  std::vector<char> record(size);
  ASSERT_TRUE(GetFileVersionInfoA(MORLENT_RESOURCE_DLL, 0, size, record.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize));
  ASSERT_GE(fixedSize, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  const DWORD ms = DWORD(kVersionParts[0]) << 16 | DWORD(kVersionParts[1]);
  const DWORD ls = DWORD(kVersionParts[2]) << 16;
  EXPECT_EQ(fixed->dwFileVersionMS, ms);
  EXPECT_EQ(fixed->dwFileVersionLS, ls);
  EXPECT_EQ(fixed->dwProductVersionMS, ms);
  EXPECT_EQ(fixed->dwProductVersionLS, ls);
  EXPECT_EQ(fixed->dwFileType, DWORD(VFT_DLL));
  // The three numbers are the vendor version the plug-in answers, written out.
  EXPECT_EQ(kVersionParts[0] * 1000 + kVersionParts[1] * 100 + kVersionParts[2], kRecordVendorVersion);

  EXPECT_EQ(VersionString(record, "FileVersion"), kVersionText);
  EXPECT_EQ(VersionString(record, "ProductVersion"), kVersionText);
  EXPECT_EQ(VersionString(record, "ProductName"), MorlentDelay::kProductName);
  EXPECT_EQ(VersionString(record, "CompanyName"), MorlentDelay::kVendorName);
  EXPECT_EQ(VersionString(record, "OriginalFilename"), "MorlentDelay.dll");
  EXPECT_NE(VersionString(record, "FileDescription").find("Morlent Delay"), std::string::npos);

  // The translation names the string table's language and code page.
  WORD* translation = nullptr;
  UINT translationSize = 0;
  ASSERT_TRUE(VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &translationSize));
  ASSERT_GE(translationSize, 4u);
  EXPECT_EQ(translation[0], 0x0409);
  EXPECT_EQ(translation[1], 1200);
}

}  // namespace
