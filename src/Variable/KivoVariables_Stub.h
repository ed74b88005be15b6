#pragma once
// STAND-IN for the platform module's variables until platform services
// exist: os_type, os_device, os_version, os_browser, browser_width and
// browser_height, read-only, each reading the real 0.
void InitKivoVariables();
