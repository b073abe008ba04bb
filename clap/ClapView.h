#pragma once
// The editor in the host's window through the gui extension: the 64-bit module's delay view,
// embedded (never floating), fixed in size, opened on set_parent and closed on destroy. Every
// call runs on the host's main thread, which is the user-interface thread.

#include <cstdint>
#include <memory>

namespace EditorCore {
class EmbeddedEditor;
}

namespace MorlentClap {

class ClapEffect;

class ClapView {
public:
    explicit ClapView(ClapEffect& effect);
    ~ClapView();
    ClapView(const ClapView&) = delete;
    ClapView& operator=(const ClapView&) = delete;

    // The view as a child of parent (an HWND or an X11 window id); false when it could not be made.
    bool Attach(uintptr_t parent);
    bool Show(bool visible);
    int Width() const { return width; }
    int Height() const { return height; }
    EditorCore::EmbeddedEditor* Editor() const { return editor.get(); }
    // The host's reactor calls these for what the view registered.
    void OnFd(int fd);
    void OnTimer(uint32_t timerId);

private:
    void Detach();
    // Gives the editor's connection and a timer to the host; false when it takes neither.
    bool JoinHostReactor();

    ClapEffect& effect;
    std::unique_ptr<EditorCore::EmbeddedEditor> editor;
    int watchedFd = -1;
    uint32_t timerId = 0xFFFFFFFFu;
    bool visible = true;
    int width;
    int height;
};

} // namespace MorlentClap
