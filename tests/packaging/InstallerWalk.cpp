// installer-walk: clicks through the Windows installer's pages as a user does, under Wine, for
// tests/packaging/test-installer.sh.
//
//   installer-walk.exe SETUP.exe SCREENSHOT_FOLDER VST2_64_FOLDER
//
// Welcome, licence (I Agree), components (the 32-bit VST 2 plug-in unticked in the tree, every
// other component, the CLAP plug-in among them, left ticked), the program folder as proposed, the
// 64-bit VST 2 folder typed in, then the install and the finish page. Buttons and the tree's check
// box get mouse messages at their own pixels, and each page is awaited by watching the installer's
// windows against a deadline. Prints one line per step and saves each page as a PNG. Exit status:
// the installer's own when the walk succeeded, else 1 with the step that failed.

#include <windows.h>
#include <commctrl.h>
#include <objidl.h>
// After windows.h, which GDI+ builds on.
#include <gdiplus.h>

#include "pictures/win32/PngFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// The NSIS dialogs' control IDs: the outer window's Next button (also I Agree, Install and
// Finish), its header title, and the inner pages' folder box and component tree.
constexpr int kNextButton = 1;
constexpr int kHeaderTitle = 1037;
constexpr int kFolderEdit = 1019;
constexpr int kComponentTree = 1032;
// NSIS's state images in the component tree: 1 unticked, 2 ticked; read-only ones add 3.
constexpr UINT kTickedImage = 2;
constexpr UINT kReadOnlyOffset = 3;

constexpr DWORD kPageMilliseconds = 30000;   // a page, or the whole install, ready within this
constexpr DWORD kPollMilliseconds = 20;
constexpr DWORD kAnswerMilliseconds = 10000; // the installer's thread answers a sent message

struct WalkFailure {
    std::string step;
    std::string reason;
};

[[noreturn]] void Fail(const std::string& step, const std::string& reason)
{
    throw WalkFailure{step, reason};
}

std::string Narrow(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], size, nullptr, nullptr);
    result.resize(result.size() - 1);
    return result;
}

std::wstring Widen(const std::string& text)
{
    const int size = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(static_cast<size_t>(size > 0 ? size : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &result[0], size);
    result.resize(result.size() - 1);
    return result;
}

// Asked with WM_GETTEXT, which Windows copies across processes: GetWindowText of another
// process's window gives only its caption as created, not what an edit box holds now.
std::wstring TextOf(HWND window)
{
    wchar_t text[512] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0] - 1, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, kAnswerMilliseconds, &length);
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(sizeof name / sizeof name[0]));
    return name;
}

// Memory inside the installer, for the tree view's messages that take pointers: another
// process's controls read and write their structures in their own address space.
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)),
          size_(size)
    {
        if (address_ == nullptr)
            Fail("memory in the installer", "VirtualAllocEx failed");
    }
    ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    template <typename T> T* At(size_t offset = 0) const
    {
        return reinterpret_cast<T*>(static_cast<char*>(address_) + offset);
    }
    void Write(const void* data, size_t size, size_t offset = 0) const
    {
        SIZE_T written = 0;
        if (offset + size > size_ || !WriteProcessMemory(process_, At<char>(offset), data, size, &written) ||
            written != size)
            Fail("memory in the installer", "WriteProcessMemory failed");
    }
    void Read(void* data, size_t size, size_t offset = 0) const
    {
        SIZE_T read = 0;
        if (offset + size > size_ || !ReadProcessMemory(process_, At<char>(offset), data, size, &read) || read != size)
            Fail("memory in the installer", "ReadProcessMemory failed");
    }

private:
    HANDLE process_;
    void* address_;
    size_t size_;
};

// A copy of a window's client area from the display, in 32-bit pixels.
class WindowPixels {
public:
    WindowPixels(LONG width, LONG height) : width_(width), height_(height)
    {
        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = -height; // top row first
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    }
    ~WindowPixels() { DeleteObject(bitmap_); }
    WindowPixels(const WindowPixels&) = delete;
    WindowPixels& operator=(const WindowPixels&) = delete;

    bool CopyFrom(HWND window)
    {
        if (bitmap_ == nullptr || width_ <= 0 || height_ <= 0)
            return false;
        HDC source = GetDC(window);
        HDC memory = CreateCompatibleDC(source);
        HGDIOBJ previous = SelectObject(memory, bitmap_);
        const bool copied = BitBlt(memory, 0, 0, width_, height_, source, 0, 0, SRCCOPY) != FALSE;
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(window, source);
        GdiFlush();
        if (copied)
            pixels.assign(bits_, bits_ + static_cast<size_t>(width_) * static_cast<size_t>(height_));
        return copied;
    }

    bool Save(const std::string& path) const
    {
        return Pictures::SaveAsPng(bitmap_, path);
    }

    std::vector<DWORD> pixels;

private:
    LONG width_;
    LONG height_;
    HBITMAP bitmap_ = nullptr;
    DWORD* bits_ = nullptr;
};

// What the walk sees of the installer's main window at one moment.
struct Snapshot {
    HWND page = nullptr; // the inner dialog of the current page
    std::vector<std::wstring> texts; // of every visible window inside the main window
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM data)
{
    auto* windows = reinterpret_cast<std::vector<HWND>*>(data);
    if (IsWindowVisible(window))
        windows->push_back(window);
    return TRUE;
}

struct ProcessWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchInstallerWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<ProcessWindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    // The NSIS main window is the process's visible dialog with a Next button; the short-lived
    // "verifying" box has none.
    if (processId == search->processId && IsWindowVisible(window) && ClassOf(window) == L"#32770" &&
        GetDlgItem(window, kNextButton) != nullptr && GetDlgItem(window, kHeaderTitle) != nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

class Walk {
public:
    Walk(const PROCESS_INFORMATION& installer, std::string screenshotFolder)
        : installer_(installer), screenshotFolder_(std::move(screenshotFolder))
    {
    }

    HWND Main() const { return main_; }

    // Waits, pumping this thread's messages, until done() answers true; fails naming what it
    // waited for when the deadline passes or the installer ends first.
    template <typename Done> void Await(const std::string& what, Done done, DWORD milliseconds = kPageMilliseconds)
    {
        const DWORD start = GetTickCount();
        for (;;) {
            if (done())
                return;
            if (GetTickCount() - start > milliseconds)
                Fail(what, "not there after " + std::to_string(milliseconds / 1000) + " s");
            // Wakes early when the installer ends, so that shows as what it is.
            const DWORD woke = MsgWaitForMultipleObjects(1, &installer_.hProcess, FALSE, kPollMilliseconds, QS_ALLINPUT);
            if (woke == WAIT_OBJECT_0) {
                DWORD status = 0;
                GetExitCodeProcess(installer_.hProcess, &status);
                Fail(what, "the installer ended with status " + std::to_string(status) + " first");
            }
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
    }

    void FindMainWindow()
    {
        Await("the installer's window", [this] {
            ProcessWindowSearch search{installer_.dwProcessId, nullptr};
            EnumWindows(MatchInstallerWindow, reinterpret_cast<LPARAM>(&search));
            main_ = search.found;
            return main_ != nullptr;
        });
    }

    Snapshot Look() const
    {
        Snapshot snapshot;
        std::vector<HWND> windows;
        EnumChildWindows(main_, CollectVisible, reinterpret_cast<LPARAM>(&windows));
        for (HWND window : windows) {
            if (GetParent(window) == main_ && ClassOf(window) == L"#32770")
                snapshot.page = window;
            snapshot.texts.push_back(TextOf(window));
        }
        return snapshot;
    }

    static bool Shows(const Snapshot& snapshot, const std::wstring& text)
    {
        for (const auto& shown : snapshot.texts)
            if (shown.find(text) != std::wstring::npos)
                return true;
        return false;
    }

    // Waits for the page that shows text in a new inner dialog, then for the installer's thread
    // to finish showing it (it answers a sent message only from its message loop). A page with
    // forbidden text fails at once: such a page would wait for the user, never go by itself.
    HWND AwaitPage(const std::string& name, const std::wstring& text, const std::wstring& forbidden = {})
    {
        HWND page = nullptr;
        Await("the " + name + " page", [&] {
            const Snapshot snapshot = Look();
            if (!forbidden.empty() && Shows(snapshot, forbidden))
                Fail("the " + name + " page", "the page \"" + Narrow(forbidden) + "\" showed instead");
            if (snapshot.page == nullptr || snapshot.page == lastPage_ || !Shows(snapshot, text))
                return false;
            page = snapshot.page;
            return true;
        });
        Settle(name);
        lastPage_ = page;
        std::printf("installer-walk: page %s: \"%s\"\n", name.c_str(), Narrow(text).c_str());
        return page;
    }

    void Settle(const std::string& step) const
    {
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutW(main_, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMilliseconds, &ignored))
            Fail(step, "the installer does not answer");
    }

    // A left click with the pointer on the control's pixel: NSIS reads the click's place from the
    // message's position (GetMessagePos), which a posted message takes from the pointer.
    void Click(const std::string& step, HWND control, POINT client) const
    {
        POINT screen = client;
        ClientToScreen(control, &screen);
        POINT pointer{};
        if (!SetCursorPos(screen.x, screen.y) || !GetCursorPos(&pointer) || pointer.x != screen.x || pointer.y != screen.y)
            Fail(step, "cannot put the pointer on the control");
        const LPARAM at = MAKELPARAM(client.x, client.y);
        if (!PostMessageW(control, WM_MOUSEMOVE, 0, at) || !PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at) ||
            !PostMessageW(control, WM_LBUTTONUP, 0, at))
            Fail(step, "cannot post the click");
    }

    void ClickButton(const std::string& step, int id, const std::wstring& expectedText)
    {
        HWND button = GetDlgItem(main_, id);
        if (button == nullptr || !IsWindowVisible(button))
            Fail(step, "no button");
        const std::wstring text = TextOf(button);
        if (text != expectedText)
            Fail(step, "the button reads \"" + Narrow(text) + "\", not \"" + Narrow(expectedText) + "\"");
        Await(step + " (the button enabled)", [&] { return IsWindowEnabled(button) != FALSE; });
        RECT area{};
        GetClientRect(button, &area);
        Click(step, button, POINT{area.right / 2, area.bottom / 2});
        std::printf("installer-walk: clicked \"%s\"\n", Narrow(text).c_str());
    }

    // The main window's client area, as it is on the display, into NAME.png. Wine hands a
    // window's paint to the display only when its thread next waits, an instant after it answers,
    // so the picture counts once the display shows the same pixels over two polls running.
    void Screenshot(const std::string& name)
    {
        const std::string step = "the " + name + " screenshot";
        RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Settle(step);
        RECT area{};
        GetClientRect(main_, &area);
        WindowPixels shown(area.right, area.bottom);
        std::vector<DWORD> before;
        int unchanged = -1;
        Await(step + " (the display's pixels steady)", [&] {
            if (!shown.CopyFrom(main_))
                Fail(step, "cannot copy the window's pixels");
            unchanged = shown.pixels == before ? unchanged + 1 : 0;
            before = shown.pixels;
            return unchanged >= 2;
        });

        const std::string path = screenshotFolder_ + "\\" + name + ".png";
        if (!shown.Save(path))
            Fail(step, "cannot save " + path);
        std::printf("installer-walk: screenshot %s.png %ldx%ld\n", name.c_str(), area.right, area.bottom);
    }

    HANDLE Process() const { return installer_.hProcess; }

private:
    PROCESS_INFORMATION installer_;
    std::string screenshotFolder_;
    HWND main_ = nullptr;
    HWND lastPage_ = nullptr;
};

// The component tree's item whose label starts with label.
HTREEITEM FindTreeItem(const Walk& walk, HWND tree, const std::wstring& label)
{
    constexpr size_t kTextChars = 256;
    RemoteBuffer remote(walk.Process(), sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
    std::vector<HTREEITEM> pending{reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0))};
    while (!pending.empty()) {
        HTREEITEM item = pending.back();
        pending.pop_back();
        for (; item != nullptr; item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                                                                 reinterpret_cast<LPARAM>(item)))) {
            TVITEMW query{};
            query.mask = TVIF_TEXT | TVIF_HANDLE;
            query.hItem = item;
            query.pszText = remote.At<wchar_t>(sizeof(TVITEMW));
            query.cchTextMax = static_cast<int>(kTextChars);
            remote.Write(&query, sizeof query);
            wchar_t text[kTextChars] = {};
            if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.At<TVITEMW>())))
                remote.Read(text, sizeof text - sizeof text[0], sizeof(TVITEMW));
            if (std::wstring(text).rfind(label, 0) == 0)
                return item;
            const auto child = reinterpret_cast<HTREEITEM>(
                SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
            if (child != nullptr)
                pending.push_back(child);
        }
    }
    Fail("the components page", "no item \"" + Narrow(label) + "\" in the tree");
}

bool Ticked(HWND tree, HTREEITEM item)
{
    const auto state = static_cast<UINT>(SendMessageW(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                                      TVIS_STATEIMAGEMASK));
    const UINT image = (state & TVIS_STATEIMAGEMASK) >> 12;
    return image == kTickedImage || image == kTickedImage + kReadOnlyOffset;
}

// The middle of the item's check box, as the tree itself places it: the run of points on the
// item's line that its hit test calls the state icon.
POINT CheckBoxCentre(const Walk& walk, HWND tree, HTREEITEM item)
{
    RemoteBuffer remote(walk.Process(), std::max(sizeof(RECT), sizeof(TVHITTESTINFO)));
    RECT line{};
    std::memcpy(&line, &item, sizeof item); // TVM_GETITEMRECT takes the item in the rectangle
    remote.Write(&line, sizeof line);
    if (!SendMessageW(tree, TVM_GETITEMRECT, FALSE, reinterpret_cast<LPARAM>(remote.At<RECT>())))
        Fail("the components page", "the tree gives no rectangle for the item");
    remote.Read(&line, sizeof line);
    const LONG y = (line.top + line.bottom) / 2;
    LONG first = -1, last = -1;
    for (LONG x = line.left; x < line.right; ++x) {
        TVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        remote.Write(&hit, sizeof hit);
        const auto found = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.At<TVHITTESTINFO>())));
        remote.Read(&hit, sizeof hit);
        const bool onBox = found == item && (hit.flags & TVHT_ONITEMSTATEICON) != 0;
        if (onBox && first < 0)
            first = x;
        if (onBox)
            last = x;
        else if (first >= 0)
            break;
    }
    if (first < 0)
        Fail("the components page", "the item has no check box on its line");
    return POINT{(first + last) / 2, y};
}

void TypeFolder(const std::string& step, HWND page, const std::wstring& folder)
{
    HWND edit = GetDlgItem(page, kFolderEdit);
    if (edit == nullptr)
        Fail(step, "no folder box");
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
    if (TextOf(edit) != folder)
        Fail(step, "the folder box holds \"" + Narrow(TextOf(edit)) + "\"");
    std::printf("installer-walk: typed \"%s\"\n", Narrow(folder).c_str());
}

// The pages in the order the installer shows them with the 32-bit VST 2 plug-in left out.
void WalkThrough(Walk& walk, const std::wstring& vst2Folder64)
{
    const std::wstring next = L"&Next >";
    walk.FindMainWindow();

    walk.AwaitPage("welcome", L"Welcome to Morlent Delay Setup");
    walk.Screenshot("1-welcome");
    walk.ClickButton("welcome: Next", kNextButton, next);

    walk.AwaitPage("licence", L"License Agreement");
    walk.Screenshot("2-licence");
    walk.ClickButton("licence: I Agree", kNextButton, L"I &Agree");

    HWND page = walk.AwaitPage("components", L"Choose Components");
    HWND tree = GetDlgItem(page, kComponentTree);
    if (tree == nullptr)
        Fail("the components page", "no component tree");
    const HTREEITEM vst2x86 = FindTreeItem(walk, tree, L"VST 2 plug-in, 32-bit");
    // Every other row a first install proposes: a click on the 32-bit row must leave them ticked.
    const wchar_t* const kept[] = {L"VST 3 plug-in", L"CLAP plug-in", L"VST 2 plug-in, 64-bit",
                                   L"Manual, factory bank and command-line host"};
    std::vector<HTREEITEM> keptItems;
    for (const wchar_t* label : kept)
        keptItems.push_back(FindTreeItem(walk, tree, label));
    const auto firstUnticked = [&]() -> const wchar_t* {
        for (size_t i = 0; i < keptItems.size(); ++i)
            if (!Ticked(tree, keptItems[i]))
                return kept[i];
        return nullptr;
    };
    if (!Ticked(tree, vst2x86) || firstUnticked() != nullptr)
        Fail("the components page", "a first install does not propose every component");
    walk.Click("components: untick the 32-bit VST 2 plug-in", tree, CheckBoxCentre(walk, tree, vst2x86));
    walk.Await("the 32-bit VST 2 plug-in unticked", [&] { return !Ticked(tree, vst2x86); });
    walk.Settle("components");
    if (const wchar_t* unticked = firstUnticked())
        Fail("the components page", "unticking the 32-bit VST 2 plug-in unticked \"" + Narrow(unticked) + "\" too");
    std::printf("installer-walk: unticked \"VST 2 plug-in, 32-bit\"\n");
    walk.Screenshot("3-components");
    walk.ClickButton("components: Next", kNextButton, next);

    walk.AwaitPage("program folder", L"Choose Install Location");
    walk.Screenshot("4-program-folder");
    walk.ClickButton("program folder: Next", kNextButton, next);

    page = walk.AwaitPage("64-bit VST 2 folder", L"64-bit VST 2 Folder");
    TypeFolder("64-bit VST 2 folder", page, vst2Folder64);
    walk.Screenshot("5-vst2-64-folder");
    // The last page before the install, once the 32-bit folder's page is left out.
    walk.ClickButton("64-bit VST 2 folder: Install", kNextButton, L"&Install");

    walk.AwaitPage("finish", L"Completing Morlent Delay Setup", L"32-bit VST 2 Folder");
    walk.Screenshot("6-finish");
    walk.ClickButton("finish: Finish", kNextButton, L"&Finish");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: installer-walk SETUP.exe SCREENSHOT_FOLDER VST2_64_FOLDER\n");
        return 2;
    }
    // One line per step, in order with the failure on stderr, also when both go to one file.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplus = 0;
    if (Gdiplus::GdiplusStartup(&gdiplus, &gdiplusInput, nullptr) != Gdiplus::Ok) {
        std::fprintf(stderr, "installer-walk: FAILED: GDI+ did not start\n");
        return 1;
    }

    std::wstring commandLine = L"\"" + Widen(argv[1]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION installer{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &installer)) {
        std::fprintf(stderr, "installer-walk: FAILED: cannot start %s (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    std::printf("installer-walk: started %s\n", argv[1]);

    int status = 1;
    Walk walk(installer, argv[2]);
    try {
        WalkThrough(walk, Widen(argv[3]));
        if (WaitForSingleObject(installer.hProcess, kPageMilliseconds) != WAIT_OBJECT_0)
            Fail("the installer's end", "still running " + std::to_string(kPageMilliseconds / 1000) + " s after Finish");
        DWORD code = 0;
        GetExitCodeProcess(installer.hProcess, &code);
        status = static_cast<int>(code);
        std::printf("installer-walk: the installer ended with status %d\n", status);
    } catch (const WalkFailure& failure) {
        // What the installer showed when the walk stopped, for whoever reads the failure.
        if (walk.Main() != nullptr && IsWindow(walk.Main())) {
            try {
                walk.Screenshot("failed");
            } catch (const WalkFailure&) {
            }
        }
        std::fprintf(stderr, "installer-walk: FAILED at %s: %s\n", failure.step.c_str(), failure.reason.c_str());
        TerminateProcess(installer.hProcess, 1);
        WaitForSingleObject(installer.hProcess, kAnswerMilliseconds);
        status = 1;
    }
    CloseHandle(installer.hThread);
    CloseHandle(installer.hProcess);
    Gdiplus::GdiplusShutdown(gdiplus);
    return status;
}
