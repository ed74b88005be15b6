#pragma once
// Map saves bound to the machine that wrote them (ds_map_secure_save and its
// siblings): 80 lower-case hex digits derived from the machine's identity,
// then the base64 text of the map's JSON text and its NUL. A save whose
// digits are not this machine's does not load.

constexpr int SECURE_HEADER_LENGTH = 80;

// This machine's header: a new memory-manager text of 80 digits and a NUL.
char* SecureSave_MakeHeader();
// True when the text (NUL-terminated) starts with this machine's header.
bool SecureSave_CheckHeader(const char* text);
