#pragma once
// The generic half of a plug-in module's way in: the exported entry point asks the host for
// its version and then calls the module's instance factory, which each module defines.

#include "effect_base/AudioEffect.h"

// Builds one effect instance for the host behind audioMaster, or answers null. Defined by each
// module; called on the host's main thread, never with a null callback.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
