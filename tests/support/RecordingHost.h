#pragma once
// The stand-in host under the name the editor's tests know it by.

#include "tests/support/StandInHost.h"

using RecordingHost = TestSupport::StandInHost;
using HostCall = TestSupport::HostCall;
