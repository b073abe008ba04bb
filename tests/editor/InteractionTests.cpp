// The user's mouse and the host's values meeting in the opened editor.
#include "EditorFixture.h"
