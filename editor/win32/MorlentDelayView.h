#pragma once
// The delay's editor window on Win32: the background picture with a window for each of the
// layout's parameter controls, the two buttons that step the note rows, a status line in the
// picture's display window and the view menu on the title banner.

#include "editor/DelayLayout.h"
#include "editor/win32/View.h"

#include <windows.h>

#include <memory>

namespace WindowsToolkit {
class StatusControl;
}

class MorlentDelayView : public VstToolkit::View {
public:
    static constexpr RECT kMenuRect{EditorCore::kMenuRect.left, EditorCore::kMenuRect.top, EditorCore::kMenuRect.right,
                                    EditorCore::kMenuRect.bottom};
    static constexpr RECT kStatusRect{EditorCore::kStatusRect.left, EditorCore::kStatusRect.top,
                                      EditorCore::kStatusRect.right, EditorCore::kStatusRect.bottom};

    // Builds the view window at (0, 0) in parent with all its controls showing the model's
    // selected program; null when the view window cannot be created (a control that cannot be
    // created is left out). User-interface thread, with GDI+ running.
    static MorlentDelayView* Create(VstToolkit::Model* model, VstToolkit::PluginCore* core, HWND parent,
                                    HINSTANCE instance);
    // The window's size: the background picture's. Any thread, no GDI+ needed.
    static SIZE PreferredSize(HINSTANCE instance);

    ~MorlentDelayView() override;

    // ---- User-interface thread ----------------------------------------------------------
    int OnPaint() override;
    int OnEraseBackground(HDC dc) override; // skipped when the picture covers every pixel
    void ShowStatusText(const char* text) override;
    RECT GetMenuRect() const override { return kMenuRect; }
    // The modal About box; returns when it closes.
    void ShowAbout() override;

private:
    struct Skin;
    MorlentDelayView(VstToolkit::Model* model, VstToolkit::PluginCore* core, std::unique_ptr<Skin> skin);
    void CreateControls(HINSTANCE instance);

    std::unique_ptr<Skin> skin; // outlives the controls, which point into it
    WindowsToolkit::StatusControl* statusControl = nullptr; // owned by its window
};
