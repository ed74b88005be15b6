#include "Options/Runner_Strings.h"

#include <cstring>

#include "Base/MemoryManager.h"

char* Runner_CopyText(const char* text)
{
    if (!text) return nullptr;
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(QS_ALLOC(size, false));
    if (copy) std::memcpy(copy, text, size);
    return copy;
}

void Runner_ReplaceText(char** slot, const char* text)
{
    char* copy = Runner_CopyText(text);
    QS_FREE(*slot);
    *slot = copy;
}

void Runner_FreeText(char** slot)
{
    QS_FREE(*slot);
    *slot = nullptr;
}
