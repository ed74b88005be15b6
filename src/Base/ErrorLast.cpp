#include "Base/ErrorLast.h"

#include <cstring>

#include "Base/MemoryManager.h"

namespace {
char* s_errorLast = nullptr;
}

const char* ErrorLast_Get()
{
    return s_errorLast;
}

void ErrorLast_Set(const char* text)
{
    char* copy = nullptr;
    if (text) {
        const size_t n = std::strlen(text) + 1;
        copy = static_cast<char*>(QS_ALLOC(n, false));
        std::memcpy(copy, text, n);
    }
    if (s_errorLast) QS_FREE(s_errorLast);
    s_errorLast = copy;
}
