// A minimal effect whose editor paints a known picture (left half red, right half blue), so the
// screenshot command can be checked pixel by pixel without the real editor: a Win32 child window
// on Windows, an X11 child window on a connection of its own on Linux, painted at every idle call.

#include "effect_base/VstInterface.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <X11/Xlib.h>
#endif

namespace {

constexpr short kWidth = 200;
constexpr short kHeight = 120;

#ifdef _WIN32

constexpr char kEditorClass[] = "MorlentHostTestEditor";

struct PaintedEffect {
    AEffect record{};
    ERect rect{0, 0, kHeight, kWidth};
    HWND editor = nullptr;
};

LRESULT CALLBACK EditorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT left = {0, 0, kWidth / 2, kHeight}, right = {kWidth / 2, 0, kWidth, kHeight};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    EndPaint(window, &paint);
    return 0;
}

bool OpenEditor(PaintedEffect& effect, void* parent)
{
    WNDCLASSA editorClass = {};
    editorClass.lpfnWndProc = EditorProcedure;
    editorClass.hInstance = GetModuleHandleA(nullptr);
    editorClass.lpszClassName = kEditorClass;
    RegisterClassA(&editorClass);
    effect.editor = CreateWindowA(kEditorClass, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  static_cast<HWND>(parent), nullptr, editorClass.hInstance, nullptr);
    return effect.editor != nullptr;
}

void IdleEditor(PaintedEffect&) {}

void CloseEditor(PaintedEffect& effect)
{
    if (effect.editor != nullptr)
        DestroyWindow(effect.editor);
    effect.editor = nullptr;
}

#define MORLENT_TEST_EXPORT extern "C" __declspec(dllexport)

#else

struct PaintedEffect {
    AEffect record{};
    ERect rect{0, 0, kHeight, kWidth};
    Display* display = nullptr;
    Window editor = 0;
};

bool OpenEditor(PaintedEffect& effect, void* parent)
{
    if (parent == nullptr || effect.display != nullptr)
        return false;
    effect.display = XOpenDisplay(nullptr);
    if (effect.display == nullptr)
        return false;
    XSetWindowAttributes attributes{};
    attributes.event_mask = ExposureMask;
    effect.editor = XCreateWindow(effect.display, reinterpret_cast<uintptr_t>(parent), 0, 0, kWidth, kHeight, 0,
                                  CopyFromParent, InputOutput, CopyFromParent, CWEventMask, &attributes);
    XMapWindow(effect.display, effect.editor);
    XFlush(effect.display);
    return true;
}

// The host's idle calls are the editor's only time: it reads its events and paints. The pixel
// values are the colours themselves on the 24-bit true-colour screens the tests run on.
void IdleEditor(PaintedEffect& effect)
{
    if (effect.display == nullptr)
        return;
    while (XPending(effect.display) > 0) {
        XEvent event;
        XNextEvent(effect.display, &event);
    }
    GC gc = XCreateGC(effect.display, effect.editor, 0, nullptr);
    XSetForeground(effect.display, gc, 0xFF0000);
    XFillRectangle(effect.display, effect.editor, gc, 0, 0, kWidth / 2, kHeight);
    XSetForeground(effect.display, gc, 0x0000FF);
    XFillRectangle(effect.display, effect.editor, gc, kWidth / 2, 0, kWidth / 2, kHeight);
    XFreeGC(effect.display, gc);
    XFlush(effect.display);
}

void CloseEditor(PaintedEffect& effect)
{
    if (effect.display == nullptr)
        return;
    XDestroyWindow(effect.display, effect.editor);
    XCloseDisplay(effect.display);
    effect.display = nullptr;
    effect.editor = 0;
}

#define MORLENT_TEST_EXPORT extern "C" __attribute__((visibility("default")))

#endif

VstIntPtr VSTCALLBACK Dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    auto* effect = static_cast<PaintedEffect*>(record->object);
    switch (opcode) {
    case effClose:
        CloseEditor(*effect);
        delete effect;
        return 1;
    case effEditGetRect:
        *static_cast<ERect**>(ptr) = &effect->rect;
        return 1;
    case effEditOpen:
        return OpenEditor(*effect, ptr) ? 1 : 0;
    case effEditIdle:
        IdleEditor(*effect);
        return 0;
    case effEditClose:
        CloseEditor(*effect);
        return 0;
    default:
        return 0;
    }
}

void VSTCALLBACK Silence(AEffect*, float**, float**, VstInt32) {}
void VSTCALLBACK SetParameter(AEffect*, VstInt32, float) {}
float VSTCALLBACK GetParameter(AEffect*, VstInt32) { return 0.0f; }

} // namespace

MORLENT_TEST_EXPORT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback)
{
    auto* effect = new PaintedEffect;
    AEffect& record = effect->record;
    record.magic = kEffectMagic;
    record.dispatcher = Dispatch;
    record.process = Silence;
    record.processReplacing = Silence;
    record.setParameter = SetParameter;
    record.getParameter = GetParameter;
    record.numPrograms = 1;
    record.numInputs = 2;
    record.numOutputs = 2;
    record.flags = effFlagsHasEditor | effFlagsCanReplacing;
    record.object = effect;
    record.uniqueID = FourCharCode('T', 'E', 'd', 't');
    return &record;
}
