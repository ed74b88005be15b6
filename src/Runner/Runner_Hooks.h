#pragma once
// The services the lower layers ask of the layers above them (the error
// report's context and dialog, the message pump, the name look-ups of assets,
// scripts and extension functions, the built-in variables of new instances,
// the -debug switch of physics) are connected here, once, before anything runs.

void Runner_InstallHooks();
