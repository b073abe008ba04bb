#pragma once

namespace VstToolkit {

// What the controller needs of the editor's view. The Windows view implements it; builds
// without an editor never set one.
class ParameterView {
public:
    virtual ~ParameterView() = default;

    // Shows a value without reporting it back. Any thread: must only store and invalidate.
    virtual void UpdateParameterControl(int parameterIndex, float value) = 0;
    // Any thread: hands the text to the window's own thread.
    virtual void SetStatusText(const char* text) = 0;
};

} // namespace VstToolkit
