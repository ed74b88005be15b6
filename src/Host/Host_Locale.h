#pragma once
// Case mapping of code points in the user's default locale. The locale is a
// private handle: the process-wide locale is never changed, so number text
// elsewhere stays in the "C" form and other threads are not disturbed.
#include <cstdint>

uint32_t Host_ToLowerUser(uint32_t codePoint);
uint32_t Host_ToUpperUser(uint32_t codePoint);

// strtod in the "C" locale whatever the user's locale: the decimal point is
// always ".". *end is where the reading stopped (text when nothing was read);
// *overflow is set when the value is out of range and the result infinite.
double Host_ReadDecimalC(const char* text, char** end, bool* overflow);
