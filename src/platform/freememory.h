#pragma once

namespace natalis::platform {

// Hands the heap's free pages back to the system. A start-up frees most of what it built on the
// way (the loader's tables, the rows the lists were made from), and the C library keeps such
// pages resident for the next allocation, which a program idle in the tray for months may never
// make. Costs a walk of the heap (milliseconds); a no-op where the C library has no such call.
void returnFreedMemory();

} // namespace natalis::platform
