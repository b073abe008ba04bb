#pragma once

namespace FuzzSupport {

// Makes the large blocks freed by earlier inputs available again (KeptBlocks.cpp).
void StartInput();

} // namespace FuzzSupport
