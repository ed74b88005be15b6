#pragma once
// Case mapping of code points in the user's default locale. The locale is a
// private handle: the process-wide locale is never changed, so number text
// elsewhere stays in the "C" form and other threads are not disturbed.
#include <cstdint>

uint32_t Host_ToLowerUser(uint32_t codePoint);
uint32_t Host_ToUpperUser(uint32_t codePoint);
