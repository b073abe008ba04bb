#include "tests/lv2/ui/Lv2UiFixture.h"

#include "tests/support/DrawingLibraries.h"
#include "tests/support/VirtualDisplay.h"

#include <dlfcn.h>
#include <poll.h>

#include <cstring>
#include <thread>

namespace Lv2UiTest {

namespace {
const ::testing::Environment* const kDisplay = ::testing::AddGlobalTestEnvironment(new TestSupport::VirtualDisplay);
const ::testing::Environment* const kLibraries =
    ::testing::AddGlobalTestEnvironment(new TestSupport::DrawingLibraries);
} // namespace

void Lv2UiFixture::SetUp()
{
    host = std::make_unique<TestSupport::X11HostWindow>();
    ASSERT_TRUE(host->IsOpen());
    module = dlopen(MORLENT_LV2_UI_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, module) << dlerror();
    using Entry = const LV2UI_Descriptor* (*)(uint32_t);
    auto entry = reinterpret_cast<Entry>(dlsym(module, "lv2ui_descriptor"));
    ASSERT_NE(nullptr, entry);
    descriptor = entry(0);
    ASSERT_NE(nullptr, descriptor);
    urids = MorlentLv2::MapLearnUrids(&features.map.feature);
    eventTransfer = features.map.Map(LV2_ATOM__eventTransfer);
}

void Lv2UiFixture::TearDown()
{
    Cleanup();
    if (module != nullptr)
        dlclose(module);
    host.reset();
}

bool Lv2UiFixture::Instantiate(const Offer& offer)
{
    const uintptr_t window = offer.parentWindow != 0 ? offer.parentWindow : host->Handle();
    LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(window)};
    LV2_Feature touch{LV2_UI__touch, &touchFeature};
    LV2_Feature resize{LV2_UI__resize, &resizeFeature};
    LV2_Feature idle{LV2_UI__idleInterface, nullptr};
    std::vector<const LV2_Feature*> list;
    // Hosts list features in any order, and some pass nulls before the end.
    if (offer.log)
        list.push_back(&features.logFeature);
    if (offer.parent)
        list.push_back(&parent);
    list.push_back(&idle);
    if (offer.map)
        list.push_back(&features.mapFeature);
    if (offer.touch)
        list.push_back(&touch);
    if (offer.resize)
        list.push_back(&resize);
    list.push_back(nullptr);
    handle = descriptor->instantiate(descriptor, offer.pluginUri, "/nowhere/MorlentDelay.lv2/",
                                     offer.writeFunction ? Write : nullptr, this, &widget, list.data());
    return handle != nullptr;
}

void Lv2UiFixture::Cleanup()
{
    if (handle != nullptr)
        descriptor->cleanup(handle);
    handle = nullptr;
}

int Lv2UiFixture::Idle()
{
    const auto* idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    return idle->idle(handle);
}

bool Lv2UiFixture::IdleUntil(const std::function<bool()>& done)
{
    // The UI's connection is its own: the host has nothing to wait on but its timer.
    return TestSupport::Await(
        [&] {
            Idle();
            std::this_thread::yield();
        },
        done);
}

void Lv2UiFixture::SendControl(uint32_t port, float value)
{
    descriptor->port_event(handle, port, sizeof value, 0, &value);
}

void Lv2UiFixture::SendNotification(const void* atom, uint32_t size)
{
    descriptor->port_event(handle, MorlentLv2::kNotifyPort, size, eventTransfer, atom);
}

void Lv2UiFixture::SendState(const MorlentLv2::LearnState& state)
{
    alignas(8) uint8_t message[MorlentLv2::kLargestMessageSize];
    const uint32_t size = MorlentLv2::WriteLearnState(urids, state, message, sizeof message);
    ASSERT_NE(0u, size);
    SendNotification(message, size);
}

void Lv2UiFixture::SendMove(const MorlentLv2::ControllerMove& move)
{
    alignas(8) uint8_t message[MorlentLv2::kLargestMessageSize];
    const uint32_t size = MorlentLv2::WriteControllerMove(urids, move, message, sizeof message);
    ASSERT_NE(0u, size);
    SendNotification(message, size);
}

std::vector<MorlentLv2::LearnCommand> Lv2UiFixture::Commands() const
{
    std::vector<MorlentLv2::LearnCommand> commands;
    for (const HostCall& call : calls) {
        MorlentLv2::LearnCommand command;
        if (call.kind == HostCall::kMessage &&
            MorlentLv2::ReadLearnCommand(urids, reinterpret_cast<const LV2_Atom*>(call.atom.data()),
                                         static_cast<uint32_t>(call.atom.size()), command))
            commands.push_back(command);
    }
    return commands;
}

bool Lv2UiFixture::Shown()
{
    XWindowAttributes attributes{};
    XSync(host->GetDisplay(), False);
    return XGetWindowAttributes(host->GetDisplay(), Widget(), &attributes) && attributes.map_state == IsViewable;
}

std::vector<uint32_t> Lv2UiFixture::ScreenPixels()
{
    const Pictures::Size size = EditorCore::kEditorSize;
    return host->Capture(Widget(), 0, 0, size.width, size.height);
}

std::vector<uint32_t> Lv2UiFixture::StatusPixels()
{
    const Pictures::Rect status = EditorCore::kStatusRect;
    return host->Capture(Widget(), status.left, status.top, status.Width(), status.Height());
}

::Window Lv2UiFixture::PopupWindow()
{
    Display* display = host->GetDisplay();
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    XSync(display, False);
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    ::Window popup = 0;
    auto* previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; }); // one may go meanwhile
    for (unsigned i = 0; i < count && popup == 0; ++i) {
        XWindowAttributes attributes{};
        if (children[i] != host->GetWindow() && XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable)
            popup = children[i];
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    if (children != nullptr)
        XFree(children);
    return popup;
}

std::vector<uint32_t> Lv2UiFixture::ReferenceFace(const std::vector<std::pair<int, float>>& values)
{
    VstToolkit::PluginCore core(new MorlentDelayModel);
    EditorCore::CoreEditTarget target(*core.GetModel(), core);
    std::string error;
    std::unique_ptr<X11Toolkit::X11Editor> editor = X11Toolkit::X11Editor::Open(host->Handle(), target, error);
    EXPECT_NE(nullptr, editor) << error;
    if (editor == nullptr)
        return {};
    core.SetView(editor->GetParameterView());
    for (const auto& [parameter, value] : values)
        core.SetParameterValue(parameter, value);
    const Pictures::Size size = EditorCore::kEditorSize;
    const auto screen = [&] { return host->Capture(editor->GetWindow(), 0, 0, size.width, size.height); };
    const auto face = [&] {
        cairo_surface_t* surface = editor->GetFace();
        cairo_surface_flush(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const uint8_t* data = cairo_image_surface_get_data(surface);
        std::vector<uint32_t> pixels;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x)
                pixels.push_back(reinterpret_cast<const uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride)[x] &
                                 0xFFFFFF);
        return pixels;
    };
    std::vector<uint32_t> shown;
    EXPECT_TRUE(TestSupport::Await(
        [&] {
            pollfd waiting{editor->GetEventSource(), POLLIN, 0};
            poll(&waiting, 1, 5);
            editor->DispatchEvents();
        },
        [&] { return (shown = screen()) == face(); }));
    core.SetView(nullptr);
    editor.reset();
    XSync(host->GetDisplay(), False);
    return shown;
}

Pictures::Point Lv2UiFixture::CentreOf(int parameter)
{
    const Pictures::Point at = EditorCore::PositionOf(static_cast<MorlentDelay::Parameter>(parameter));
    for (const EditorCore::ControlPlacement& place : EditorCore::kControlPlacements) {
        if (place.parameter != parameter)
            continue;
        // The strips' frame sizes: knobs 32 × 32, switches 20 × 40, note rows 140 × 40.
        const bool knob = place.kind == EditorCore::ControlKind::kKnob;
        const int width = knob ? 32 : place.kind == EditorCore::ControlKind::kToggle ? 20 : 140;
        const int height = knob ? 32 : 40;
        return Pictures::Point{at.x + width / 2, at.y + height / 2};
    }
    return at;
}

void Lv2UiFixture::Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t protocol,
                         const void* buffer)
{
    auto* self = static_cast<Lv2UiFixture*>(controller);
    HostCall call;
    call.kind = HostCall::kValue;
    call.port = port;
    if (protocol == 0) {
        EXPECT_EQ(sizeof(float), size);
        std::memcpy(&call.value, buffer, sizeof call.value);
    } else {
        EXPECT_EQ(self->eventTransfer, protocol);
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        call.kind = HostCall::kMessage;
        call.atom.assign(bytes, bytes + size);
    }
    self->calls.push_back(call);
}

void Lv2UiFixture::Touch(LV2UI_Feature_Handle self, uint32_t port, bool grabbed)
{
    HostCall call;
    call.kind = HostCall::kTouch;
    call.port = port;
    call.grabbed = grabbed;
    static_cast<Lv2UiFixture*>(self)->calls.push_back(call);
}

int Lv2UiFixture::Resize(LV2UI_Feature_Handle self, int width, int height)
{
    static_cast<Lv2UiFixture*>(self)->resizedWidth = width;
    static_cast<Lv2UiFixture*>(self)->resizedHeight = height;
    return 0;
}

} // namespace Lv2UiTest
