#pragma once
// The identity of this machine: the text of the system's machine-id file
// (/etc/machine-id), which stays the same for the life of an installation.
#include <string>

// The identity text without its line end, or "NOT SUPPORTED" when the file is
// missing, unreadable or empty.
std::string Host_MachineId();

// Reads the identity from another file from now on (null: the system's own),
// so that tests can stand in for other machines.
void Host_SetMachineIdFile(const char* path);
