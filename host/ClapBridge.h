#pragma once
// A loaded CLAP module's plug-in seen through the VST 2 record the rest of the host drives: the
// record's dispatcher, process and parameter functions call the plug-in and its extensions.
// Only what the host's commands use is translated.
//
// The record's parameters are the plug-in's, by their order in its table, each as the position
// within its range (0 the minimum, 1 the maximum; stepped ones at whole values); its programs
// are the presets the module's preset-discovery factory lists, loaded through preset-load; its
// state is the plug-in's state (there is no program chunk). The host is one thread: it is the
// format's main thread and, while the record is resumed, its audio thread too.

#include "effect_base/VstInterface.h"

#include <string>

namespace MorlentHost {

// Creates the first plug-in of the module's factory (entry: the module's clap_entry, path: the
// module file) and returns its record, owned by the record (effClose frees it and ends the
// entry); null with a message in `error`.
AEffect* OpenClapEffect(const void* entry, const std::string& path, audioMasterCallback host, std::string& error);

} // namespace MorlentHost
