#pragma once
// A loaded VST 3 module's effect seen through the VST 2 record the rest of the host drives: the
// record's dispatcher, process and parameter functions call the effect's component, audio
// processor and edit controller. Only what the host's commands use is translated.

#include "effect_base/VstInterface.h"

#include <string>

namespace MorlentHost {

// The module file of a bundle (MorlentDelay.vst3/Contents/<platform>/...), or path itself when
// it names a file.
std::string Vst3ModulePath(const std::string& path);
// Creates the first audio effect class of the factory and returns its record, owned by the
// record (effClose frees it); null with a message in `error`.
AEffect* OpenVst3Effect(void* factoryEntry, audioMasterCallback host, std::string& error);

} // namespace MorlentHost
