#pragma once
// Unpacking zip archives into the save area.
#include <cstdint>

// Unpacks the archive (found in the save area, else the bundle) into the
// save-area folder destination: every entry with bytes becomes a file there,
// its folders made; entries whose path would leave the save area are not
// written. The number of entries in the archive, 0 when it cannot be opened.
int32_t Zip_Unzip(const char* archive, const char* destination);
