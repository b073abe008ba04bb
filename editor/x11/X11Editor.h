#pragma once
// The delay editor in an X11 window: one child window of the host's, on a connection of its own,
// showing the layout's controls from one picture of the whole face that is composed again only
// where something changed. Pointer events go to the control under the pointer as Win32 would
// deliver them to the control's own window: the control holding the capture gets them all,
// hovering is told after the pointer rests 50 ms, the wheel goes to the control last hovered.
// Menus and boxes are popups of its own.
//
// Threads: everything on the user-interface thread that opened it (the host's, or one the
// format's glue hands it to between calls), except the ParameterView operations, which any
// thread may call: they only store values and mark what to redraw.

#include "editor/DelayControls.h"
#include "editor/EmbeddedEditor.h"
#include "editor/ViewBehaviour.h"
#include "editor/x11/Connection.h"
#include "framework/ParameterView.h"
#include "pictures/cairo/RgbaPicture.h"

#include <X11/Xlib.h>
#include <cairo.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace X11Toolkit {

class Popup;

// Opens the vendor's web site; tests put their own in.
using WebSiteOpener = std::function<void(const char* address)>;
void SetWebSiteOpener(WebSiteOpener opener);

class X11Editor final : public EditorCore::EmbeddedEditor,
                        private VstToolkit::ParameterView,
                        private EditorCore::StatusDisplay {
public:
    static constexpr std::chrono::milliseconds kHoverTime{50};

    // A child of parent (an X11 window id) showing target; null with the reason in error when
    // there is no display or no such window. User-interface thread.
    static std::unique_ptr<X11Editor> Open(uintptr_t parent, EditorCore::EditTarget& target, std::string& error);
    ~X11Editor() override;

    // ---- EmbeddedEditor: user-interface thread -----------------------------------------------
    int GetEventSource() const override;
    void DispatchEvents() override;
    bool IsOpen() const override { return !windowGone; }
    void SetVisible(bool visible) override;
    bool IsDragging() const override { return captured >= 0; }
    void WhenDragEnds(std::function<void()> ended) override;
    VstToolkit::ParameterView* GetParameterView() override { return this; }

    // ---- For tests and screenshots -------------------------------------------------------------
    ::Window GetWindow() const noexcept { return window; }
    // The face as last composed, the size of the editor.
    cairo_surface_t* GetFace() const noexcept { return face; }
    // The popup showing now, or 0.
    ::Window GetPopupWindow() const noexcept;
    const char* GetStatusText() const noexcept { return controls->StatusLine().GetText(); }

private:
    class Site;
    enum class PopupKind { kNone, kControlMenu, kViewMenu, kAbout, kConfirmClearAll };

    X11Editor(EditorCore::EditTarget& target, std::unique_ptr<Connection> connection);
    bool Create(::Window parent, std::string& error);

    // ---- ParameterView: any thread -----------------------------------------------------------
    void UpdateParameterControl(int parameterIndex, float value) override;
    void SetStatusText(const char* text) override;
    // ---- StatusDisplay ------------------------------------------------------------------------
    void ShowStatusText(const char* text) override;

    void Handle(const XEvent& event);
    void OnButtonPress(const XButtonEvent& event);
    void OnButtonRelease(const XButtonEvent& event);
    void OnMotion(Pictures::Point point, unsigned state);
    void LeaveControlsNotHolding(Pictures::Point point, bool pointerInside);
    void CheckHover();
    void HandleNotices();
    void OnPopupFinished();
    void OpenPopup(std::unique_ptr<Popup> popup, PopupKind kind, int parameter = -1);
    void ClosePopup();
    Pictures::Point ToRoot(Pictures::Point point) const;
    // Composes the dirty controls into the face and copies the changed part to the window.
    void Repaint();
    void Compose(const Pictures::Rect& area);

    EditorCore::EditTarget& target;
    EditorCore::ViewBehaviour behaviour;
    std::unique_ptr<Connection> connection;
    ::Window window = 0;
    Visual* visual = nullptr;
    bool windowGone = false;
    cairo_surface_t* face = nullptr;          // the whole editor, opaque
    cairo_surface_t* windowSurface = nullptr; // the window, as cairo draws on it
    cairo_surface_t* aboutPicture = nullptr;
    Pictures::RgbaPicture pictures[EditorCore::kSkinPictureCount];
    // The sites outlive the controls that point to them.
    std::vector<std::unique_ptr<Site>> sites;
    std::unique_ptr<EditorCore::DelayControls> controls;

    // Written by any thread, taken by the user-interface thread.
    std::atomic<uint32_t> dirty{0};                 // a bit per control
    std::atomic<const char*> pendingStatus{nullptr};

    // User-interface thread only.
    Pictures::Rect exposed{0, 0, 0, 0};
    int captured = -1;          // the control holding the pointer
    int hovering = -1;          // the control whose hover is awaited
    std::chrono::steady_clock::time_point hoverDue{};
    uint32_t leaveArmed = 0;    // a bit per control that asked to be told of the leave
    int focused = -1;           // the control the wheel goes to
    Pictures::Point pointer{-1, -1};
    bool pointerInside = false;
    std::vector<std::pair<int, Controls::Notice>> notices;
    std::function<void()> dragEnded; // what the drag in progress ends with
    bool dragJustEnded = false;
    std::unique_ptr<Popup> popup;
    PopupKind popupKind = PopupKind::kNone;
    int popupParameter = -1;
};

} // namespace X11Toolkit
