#include "Base/Platform_Environment.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Host/Host_Environment.h"

char* Platform_GetEnvironmentVariable(const char* name)
{
    if (!name) return nullptr;
    const char* value = Host_GetEnvironment(name);
    if (!value) return nullptr;
    const size_t length = std::strlen(value);
    auto* copy = static_cast<char*>(QS_ALLOC(length + 1, false));
    if (copy) std::memcpy(copy, value, length + 1);
    return copy;
}
