#pragma once
// The platform's read-only built-in variables: os_type, os_device,
// os_version, os_browser, browser_width and browser_height.

// Registers the six (Variable_BuiltIn_Init does, last).
void InitKivoVariables();

// The operating-system kind games see (os_type): 0, the desktop system the
// games are made for, whose behaviour this runner keeps.
int GetOSType();
