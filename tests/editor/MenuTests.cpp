// MIDI Learn, the view menu, the confirmation box and the About box.
#include "EditorFixture.h"
