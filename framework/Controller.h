#pragma once
// The VST 2 adapter lives in vst2/; the editor still reaches it under this name.
#include "vst2/Controller.h"
