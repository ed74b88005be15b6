#pragma once
// The services the lower layers ask of the layers above them are connected
// here, once, before anything runs: every hook of the engine is a file-local
// pointer with a working default in its own layer, set only through its
// setter, and only from here.

void Runner_InstallHooks();
