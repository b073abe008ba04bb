#pragma once
// The delay's editor window: the background picture with twelve parameter controls, two
// buttons that step the note rows, a status line in the picture's display window and the view
// menu on the title banner.

#include "View.h"

#include <windows.h>

#include <memory>

namespace WindowsToolkit {
class StatusControl;
}

class MorlentDelayView : public VstToolkit::View {
public:
    // PNG resources of the skin.
    static constexpr int kBackgroundId = 113;
    static constexpr int kKnobId = 114;
    static constexpr int kSwitchId = 115;
    static constexpr int kSyncButtonId = 116;
    static constexpr int kSyncLedId = 117;
    static constexpr const char* kAboutDialogName = "AboutDialog";
    static constexpr int kVisitWebsiteCommand = 55;
    static constexpr const char* kWebSiteAddress = "https://www.example.com/";
    // The title banner and the display window, as the background picture draws them.
    static constexpr RECT kMenuRect{30, 32, 296, 70};
    static constexpr RECT kStatusRect{305, 34, 450, 59};

    // Builds the view window at (0, 0) in parent with all its controls showing the model's
    // selected program; null when the view window cannot be created (a control that cannot be
    // created is left out). User-interface thread, with GDI+ running.
    static MorlentDelayView* Create(VstToolkit::Model* model, VstToolkit::Controller* controller, HWND parent,
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
    MorlentDelayView(VstToolkit::Model* model, VstToolkit::Controller* controller, std::unique_ptr<Skin> skin);
    void CreateControls(HINSTANCE instance);

    std::unique_ptr<Skin> skin; // outlives the controls, which point into it
    WindowsToolkit::StatusControl* statusControl = nullptr; // owned by its window
};
