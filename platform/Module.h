#pragma once

namespace Platform {

// The operating system's handle of the loaded plug-in module (an HINSTANCE on Windows), stored
// by the load notification before anything else runs. Null in builds without one.
void* GetModuleInstance() noexcept;
void SetModuleInstance(void* instance) noexcept;

} // namespace Platform
