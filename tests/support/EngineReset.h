#pragma once
// One reset of the engine's process-wide state, so that no test sees what
// another test left behind, whatever order they run in. A test binary that
// links EngineReset.cpp runs EngineReset() before each of its tests.

// Installs the runner's hooks, frees what the engine's globals own through the
// modules' own free and reset functions, and puts every other global back to
// its start value. Pointers into memory a test owned (its room, its consoles,
// its dialog) are dropped, never followed.
void EngineReset();

// Forgets what error reports left behind: their flags, the last error text,
// and the room change and quit a fatal report asks for. For tests that raise
// several errors in turn; the options that steer reports are kept.
void ForgetErrors();
