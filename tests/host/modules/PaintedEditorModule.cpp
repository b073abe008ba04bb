// Windows only: a minimal effect whose editor paints a known picture (left half red, right half
// blue), so the screenshot command can be checked pixel by pixel before the real editor exists.

#include "effect_base/VstInterface.h"

#include <windows.h>

namespace {

constexpr short kWidth = 200;
constexpr short kHeight = 120;
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

VstIntPtr VSTCALLBACK Dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    auto* effect = static_cast<PaintedEffect*>(record->object);
    switch (opcode) {
    case effClose:
        delete effect;
        return 1;
    case effEditGetRect:
        *static_cast<ERect**>(ptr) = &effect->rect;
        return 1;
    case effEditOpen: {
        WNDCLASSA editorClass = {};
        editorClass.lpfnWndProc = EditorProcedure;
        editorClass.hInstance = GetModuleHandleA(nullptr);
        editorClass.lpszClassName = kEditorClass;
        RegisterClassA(&editorClass);
        effect->editor = CreateWindowA(kEditorClass, "", WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                       static_cast<HWND>(ptr), nullptr, editorClass.hInstance, nullptr);
        return effect->editor != nullptr ? 1 : 0;
    }
    case effEditClose:
        DestroyWindow(effect->editor);
        effect->editor = nullptr;
        return 0;
    default:
        return 0;
    }
}

void VSTCALLBACK Silence(AEffect*, float**, float**, VstInt32) {}
void VSTCALLBACK SetParameter(AEffect*, VstInt32, float) {}
float VSTCALLBACK GetParameter(AEffect*, VstInt32) { return 0.0f; }

} // namespace

extern "C" __declspec(dllexport) AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback)
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
