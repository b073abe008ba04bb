#include "editor/x11/X11Editor.h"

#include "editor/AboutBox.h"
#include "editor/x11/BoxPopups.h"
#include "editor/x11/MenuPopup.h"
#include "pictures/cairo/ImageCanvas.h"
#include "resources/EmbeddedArtwork.h"

#include <X11/Xutil.h>
#include <cairo-xlib.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <mutex>

extern char** environ;

namespace X11Toolkit {

namespace {

using Pictures::Point;
using Pictures::Rect;
using Resources::Artwork;

constexpr Artwork kArtworkOf[EditorCore::kSkinPictureCount] = {Artwork::kBackground, Artwork::kKnob,
                                                               Artwork::kSwitch, Artwork::kSyncLed,
                                                               Artwork::kSyncButton};
static_assert(static_cast<int>(EditorCore::SkinPicture::kSyncLed) == 3 &&
                  static_cast<int>(EditorCore::SkinPicture::kSyncButton) == 4,
              "the artwork follows the skin's pictures");

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

// The desktop's own way to open an address; the shell returns at once and the opener, reparented
// to init, is nobody's child of ours to reap.
void SpawnBrowser(const char* address)
{
    char shell[] = "/bin/sh";
    char flag[] = "-c";
    char script[] = "xdg-open \"$1\" >/dev/null 2>&1 &";
    char name[] = "sh";
    std::string copy = address != nullptr ? address : "";
    char* arguments[] = {shell, flag, script, name, &copy[0], nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, shell, nullptr, nullptr, arguments, environ) == 0) {
        int status = 0;
        waitpid(child, &status, 0);
    }
}

std::mutex openerLock;
WebSiteOpener& Opener()
{
    static WebSiteOpener opener = SpawnBrowser;
    return opener;
}

Controls::Modifiers ModifiersOf(unsigned state)
{
    Controls::Modifiers keys;
    keys.shift = (state & ShiftMask) != 0;
    keys.control = (state & ControlMask) != 0;
    return keys;
}

// An opaque cairo surface of a decoded picture, for the popups' drawing.
cairo_surface_t* SurfaceOf(const Pictures::RgbaPicture& picture)
{
    const Pictures::Size size = picture.GetSize();
    if (picture.Pixels() == nullptr)
        return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
    const Rect whole{0, 0, size.width, size.height};
    Pictures::ImageCanvas(surface, Point{0, 0}, whole).DrawPicture(picture, whole, Point{0, 0});
    return surface;
}

} // namespace

void SetWebSiteOpener(WebSiteOpener opener)
{
    std::lock_guard<std::mutex> lock(openerLock);
    Opener() = opener ? std::move(opener) : WebSiteOpener(SpawnBrowser);
}

// A control's place in the window: what it asks of the window system lands in the editor.
class X11Editor::Site final : public Controls::ControlSite {
public:
    Site(X11Editor& editor, int index) : editor(editor), index(index) {}

    void Invalidate() override { editor.dirty.fetch_or(1u << index, std::memory_order_release); }
    void CapturePointer() override { editor.captured = index; }
    void ReleasePointer() override
    {
        if (editor.captured != index)
            return;
        editor.captured = -1;
        editor.dragJustEnded = true;
    }
    bool HasPointerCapture() const override { return editor.captured == index; }
    // As Win32's TrackMouseEvent: one hover after the pointer rests, one leave when it goes.
    void TrackHover() override
    {
        editor.hovering = index;
        editor.hoverDue = std::chrono::steady_clock::now() + kHoverTime;
        editor.leaveArmed |= 1u << index;
    }
    // Handled once the event that caused it is through, as a posted message would be.
    void Notify(Controls::Notice notice) override { editor.notices.emplace_back(index, notice); }

private:
    X11Editor& editor;
    int index;
};

std::unique_ptr<X11Editor> X11Editor::Open(uintptr_t parent, EditorCore::EditTarget& target, std::string& error)
{
    if (parent == 0) {
        error = "no parent window";
        return nullptr;
    }
    std::unique_ptr<Connection> connection = Connection::Open(error);
    if (connection == nullptr)
        return nullptr;
    std::unique_ptr<X11Editor> editor(new X11Editor(target, std::move(connection)));
    if (!editor->Create(static_cast<::Window>(parent), error))
        return nullptr;
    return editor;
}

X11Editor::X11Editor(EditorCore::EditTarget& target, std::unique_ptr<Connection> connection)
    : target(target), behaviour(target, *this), connection(std::move(connection))
{
}

bool X11Editor::Create(::Window parent, std::string& error)
{
    Display* display = connection->Get();
    XWindowAttributes parentAttributes{};
    if (XGetWindowAttributes(display, parent, &parentAttributes) == 0 || !connection->SyncAndCheck()) {
        error = "the parent window does not exist";
        return false;
    }
    visual = parentAttributes.visual;
    const Pictures::Size size = EditorCore::DelayEditorSize();
    XSetWindowAttributes attributes{};
    // No background: the face covers every pixel, so the server never clears to a colour first.
    attributes.background_pixmap = None;
    attributes.event_mask = kEventMask;
    window = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(size.width),
                           static_cast<unsigned>(size.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                           CWBackPixmap | CWEventMask, &attributes);
    if (!connection->SyncAndCheck()) {
        window = 0;
        error = "the editor's window could not be made in its parent";
        return false;
    }

    EditorCore::SkinPictures skin;
    for (int i = 0; i < EditorCore::kSkinPictureCount; ++i) {
        const Resources::Blob png = Resources::ArtworkPng(kArtworkOf[i]);
        pictures[i].Load(png.data, png.size); // a picture that fails stays empty and draws nothing
        skin.pictures[i] = &pictures[i];
    }
    Pictures::RgbaPicture about;
    const Resources::Blob aboutPng = Resources::ArtworkPng(Artwork::kAbout);
    if (about.Load(aboutPng.data, aboutPng.size))
        aboutPicture = SurfaceOf(about);

    controls = std::make_unique<EditorCore::DelayControls>(skin, target);
    for (int i = 0; i < controls->Count(); ++i) {
        sites.push_back(std::make_unique<Site>(*this, i));
        controls->At(i).SetSite(*sites.back());
    }
    dirty.store(0);

    face = cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.width, size.height);
    Compose(Rect{0, 0, size.width, size.height});
    windowSurface = cairo_xlib_surface_create(display, window, visual, size.width, size.height);
    XMapWindow(display, window);
    XFlush(display);
    return true;
}

X11Editor::~X11Editor()
{
    ClosePopup();
    if (windowSurface != nullptr)
        cairo_surface_destroy(windowSurface);
    if (window != 0 && !windowGone)
        XDestroyWindow(connection->Get(), window);
    if (face != nullptr)
        cairo_surface_destroy(face);
    if (aboutPicture != nullptr)
        cairo_surface_destroy(aboutPicture);
}

int X11Editor::GetEventSource() const
{
    return connection->FileDescriptor();
}

::Window X11Editor::GetPopupWindow() const noexcept
{
    return popup != nullptr ? popup->GetWindow() : 0;
}

void X11Editor::SetVisible(bool visible)
{
    if (windowGone)
        return;
    if (visible)
        XMapWindow(connection->Get(), window);
    else
        XUnmapWindow(connection->Get(), window);
    XFlush(connection->Get());
}

void X11Editor::WhenDragEnds(std::function<void()> ended)
{
    if (captured < 0) {
        ended();
        return;
    }
    dragEnded = std::move(ended);
}

void X11Editor::UpdateParameterControl(int parameterIndex, float value)
{
    if (Controls::ParameterControl* control = controls->ControlOf(parameterIndex))
        control->SetValue(value, false);
}

void X11Editor::SetStatusText(const char* text)
{
    pendingStatus.store(text != nullptr ? text : "", std::memory_order_release);
}

void X11Editor::ShowStatusText(const char* text)
{
    controls->StatusLine().SetText(text);
}

void X11Editor::DispatchEvents()
{
    Display* display = connection->Get();
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        Handle(event);
        HandleNotices();
        if (dragJustEnded) {
            dragJustEnded = false;
            std::function<void()> ended;
            ended.swap(dragEnded);
            if (ended)
                ended();
        }
    }
    CheckHover();
    HandleNotices();
    if (const char* text = pendingStatus.exchange(nullptr, std::memory_order_acquire))
        ShowStatusText(text);
    Repaint();
    XFlush(display);
}

void X11Editor::Handle(const XEvent& event)
{
    if (popup != nullptr && event.xany.window == popup->GetWindow()) {
        popup->HandleEvent(event);
        if (popup->IsFinished())
            OnPopupFinished();
        return;
    }
    if (event.xany.window != window || windowGone)
        return;
    switch (event.type) {
    case Expose:
        exposed = Pictures::Union(exposed, Rect{event.xexpose.x, event.xexpose.y,
                                                event.xexpose.x + event.xexpose.width,
                                                event.xexpose.y + event.xexpose.height});
        break;
    case ButtonPress:
        OnButtonPress(event.xbutton);
        break;
    case ButtonRelease:
        OnButtonRelease(event.xbutton);
        break;
    case MotionNotify:
        OnMotion(Point{event.xmotion.x, event.xmotion.y}, event.xmotion.state);
        break;
    case EnterNotify:
        if (event.xcrossing.mode == NotifyNormal)
            OnMotion(Point{event.xcrossing.x, event.xcrossing.y}, event.xcrossing.state);
        break;
    case LeaveNotify:
        // A grab taking the pointer (our popup's) moves nothing.
        if (event.xcrossing.mode == NotifyNormal && captured < 0) {
            pointerInside = false;
            LeaveControlsNotHolding(Point{event.xcrossing.x, event.xcrossing.y}, false);
        }
        break;
    case DestroyNotify:
        if (event.xdestroywindow.window == window) {
            // The host destroyed its window and ours with it: nothing is drawn any more, and a
            // drag in progress has ended for the host too.
            windowGone = true;
            ClosePopup();
            if (captured >= 0)
                dragJustEnded = true;
            captured = -1;
        }
        break;
    default:
        break;
    }
}

void X11Editor::OnButtonPress(const XButtonEvent& event)
{
    const Point point{event.x, event.y};
    const Controls::Modifiers keys = ModifiersOf(event.state);
    auto local = [&](int index) {
        const Rect bounds = controls->At(index).GetBounds();
        return Point{point.x - bounds.left, point.y - bounds.top};
    };
    switch (event.button) {
    case Button1: {
        const int index = captured >= 0 ? captured : controls->IndexAt(point);
        if (index >= 0)
            controls->At(index).OnLeftButtonDown(local(index), keys);
        else if (EditorCore::kMenuRect.Contains(point))
            OpenPopup(std::make_unique<MenuPopup>(*connection, behaviour.ViewMenu(), ToRoot(point)),
                      PopupKind::kViewMenu);
        break;
    }
    case Button3: {
        const int index = captured >= 0 ? captured : controls->IndexAt(point);
        if (index >= 0)
            controls->At(index).OnRightButtonDown(local(index), keys);
        break;
    }
    case Button4:
    case Button5:
        // The wheel goes where Win32 sends it: to the control the pointer last rested on.
        if (focused >= 0)
            controls->At(focused).OnWheel(event.button == Button4 ? 120 : -120, keys);
        break;
    default:
        break;
    }
}

void X11Editor::OnButtonRelease(const XButtonEvent& event)
{
    if (event.button != Button1)
        return;
    const Point point{event.x, event.y};
    const int index = captured >= 0 ? captured : controls->IndexAt(point);
    if (index < 0)
        return;
    const Rect bounds = controls->At(index).GetBounds();
    controls->At(index).OnLeftButtonUp(Point{point.x - bounds.left, point.y - bounds.top}, ModifiersOf(event.state));
}

void X11Editor::OnMotion(Point point, unsigned state)
{
    pointer = point;
    pointerInside = true;
    const bool leftButton = (state & Button1Mask) != 0;
    const int index = captured >= 0 ? captured : controls->IndexAt(point);
    if (captured < 0)
        LeaveControlsNotHolding(point, true);
    if (index < 0)
        return;
    const Rect bounds = controls->At(index).GetBounds();
    controls->At(index).OnPointerMove(Point{point.x - bounds.left, point.y - bounds.top}, ModifiersOf(state),
                                      leftButton);
}

void X11Editor::LeaveControlsNotHolding(Point point, bool inside)
{
    // A control has left the pointer once another one lies on top where it is.
    const int under = inside ? controls->IndexAt(point) : -1;
    for (int index = 0; index < controls->Count(); ++index) {
        const uint32_t bit = 1u << index;
        if ((leaveArmed & bit) == 0 || index == under)
            continue;
        leaveArmed &= ~bit;
        if (hovering == index)
            hovering = -1;
        if (focused == index)
            focused = -1;
        controls->At(index).OnLeave();
    }
}

void X11Editor::CheckHover()
{
    if (hovering < 0 || captured >= 0 || !pointerInside || std::chrono::steady_clock::now() < hoverDue)
        return;
    const int index = hovering;
    hovering = -1;
    if (controls->IndexAt(pointer) != index)
        return;
    focused = index;
    controls->At(index).OnHover();
}

void X11Editor::HandleNotices()
{
    while (!notices.empty()) {
        std::vector<std::pair<int, Controls::Notice>> taken;
        taken.swap(notices);
        for (const auto& [index, notice] : taken) {
            Controls::ParameterControl* control = controls->AsParameterControl(index);
            if (control == nullptr)
                continue;
            const int parameter = control->GetParameterIndex();
            switch (notice) {
            case Controls::Notice::kValueChanged:
                behaviour.OnValueChanged(parameter, control->GetValue());
                break;
            case Controls::Notice::kHover:
                behaviour.UpdateStatusText(parameter);
                break;
            case Controls::Notice::kLeave:
                behaviour.OnLeave();
                break;
            case Controls::Notice::kRightClicked: {
                const Rect bounds = control->GetBounds();
                OpenPopup(std::make_unique<MenuPopup>(*connection, behaviour.ControlMenu(parameter),
                                                      ToRoot(bounds.TopLeft())),
                          PopupKind::kControlMenu, parameter);
                break;
            }
            }
        }
    }
}

void X11Editor::OpenPopup(std::unique_ptr<Popup> opened, PopupKind kind, int parameter)
{
    ClosePopup();
    popup = std::move(opened);
    popupKind = kind;
    popupParameter = parameter;
}

void X11Editor::ClosePopup()
{
    popup.reset();
    popupKind = PopupKind::kNone;
    popupParameter = -1;
}

void X11Editor::OnPopupFinished()
{
    const PopupKind kind = popupKind;
    const int parameter = popupParameter;
    const int answer = popup->GetAnswer();
    ClosePopup();
    switch (kind) {
    case PopupKind::kControlMenu:
        behaviour.OnControlMenuCommand(parameter, static_cast<unsigned>(answer));
        break;
    case PopupKind::kViewMenu:
        switch (behaviour.OnViewMenuCommand(static_cast<unsigned>(answer))) {
        case EditorCore::ViewBehaviour::ViewMenuAction::kShowAbout:
            OpenPopup(std::make_unique<AboutPopup>(*connection, aboutPicture, ToRoot(Point{0, 0}),
                                                   [](const char* address) {
                                                       WebSiteOpener opener;
                                                       {
                                                           std::lock_guard<std::mutex> lock(openerLock);
                                                           opener = Opener();
                                                       }
                                                       opener(address);
                                                   }),
                      PopupKind::kAbout);
            break;
        case EditorCore::ViewBehaviour::ViewMenuAction::kAskToClearAll: {
            const Pictures::Size size = EditorCore::DelayEditorSize();
            const Point centre = ToRoot(Point{(size.width - ConfirmPopup::kSize.width) / 2,
                                              (size.height - ConfirmPopup::kSize.height) / 2});
            OpenPopup(std::make_unique<ConfirmPopup>(*connection, EditorCore::kClearAllCaption,
                                                     EditorCore::kClearAllQuestion, centre),
                      PopupKind::kConfirmClearAll);
            break;
        }
        case EditorCore::ViewBehaviour::ViewMenuAction::kNothing:
            break;
        }
        break;
    case PopupKind::kConfirmClearAll:
        if (answer == MORLENT_OK_ID)
            behaviour.OnClearAllConfirmed();
        break;
    case PopupKind::kAbout:
    case PopupKind::kNone:
        break;
    }
}

Point X11Editor::ToRoot(Point point) const
{
    Display* display = connection->Get();
    int x = point.x;
    int y = point.y;
    ::Window child = 0;
    if (windowGone ||
        !XTranslateCoordinates(display, window, DefaultRootWindow(display), point.x, point.y, &x, &y, &child))
        return point;
    return Point{x, y};
}

void X11Editor::Compose(const Rect& area)
{
    const Rect whole{0, 0, cairo_image_surface_get_width(face), cairo_image_surface_get_height(face)};
    const Rect part = Pictures::Intersection(area, whole);
    if (part.IsEmpty())
        return;
    // Black where the background does not reach, then the background.
    cairo_t* cr = cairo_create(face);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_rectangle(cr, part.left, part.top, part.Width(), part.Height());
    cairo_fill(cr);
    cairo_destroy(cr);
    const Pictures::RgbaPicture& background = pictures[static_cast<int>(EditorCore::SkinPicture::kBackground)];
    Pictures::ImageCanvas(face, Point{0, 0}, part).DrawPicture(background, whole, Point{0, 0});
    // The bottom of the stack first, so the control on top lands last.
    for (int index = controls->Count() - 1; index >= 0; --index) {
        Controls::Control& control = controls->At(index);
        const Rect clip = Pictures::Intersection(control.GetBounds(), part);
        if (clip.IsEmpty())
            continue;
        Pictures::ImageCanvas canvas(face, control.GetBounds().TopLeft(), clip);
        control.Draw(canvas);
    }
}

void X11Editor::Repaint()
{
    const uint32_t changed = dirty.exchange(0, std::memory_order_acquire);
    Rect area = exposed;
    exposed = Rect{0, 0, 0, 0};
    for (int index = 0; index < controls->Count(); ++index) {
        if ((changed & (1u << index)) == 0)
            continue;
        const Rect bounds = controls->At(index).GetBounds();
        Compose(bounds);
        area = Pictures::Union(area, bounds);
    }
    if (area.IsEmpty() || windowGone)
        return;
    cairo_t* cr = cairo_create(windowSurface);
    cairo_set_source_surface(cr, face, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_rectangle(cr, area.left, area.top, area.Width(), area.Height());
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(windowSurface);
}

} // namespace X11Toolkit
