// STAND-IN: see VariableNames_Stub.h.
#include "Code/VariableNames_Stub.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_Value.h"

namespace {
char** s_names = nullptr;
int32_t s_count = 0;
int32_t s_capacity = 0;
}  // namespace

int32_t Variable_FindId(const char* name)
{
    if (!name) return -1;
    for (int32_t i = 0; i < s_count; ++i) {
        if (std::strcmp(s_names[i], name) == 0) return 100000 + i;
    }
    return -1;
}

int32_t Variable_FindOrAddName(const char* name)
{
    int32_t id = Variable_FindId(name);
    if (id >= 0 || !name) return id;
    if (s_count >= s_capacity) {
        int32_t grown = s_capacity ? s_capacity * 2 : 32;
        auto* names = static_cast<char**>(QS_REALLOC(s_names, sizeof(char*) * static_cast<size_t>(grown)));
        if (!names) return -1;
        s_names = names;
        s_capacity = grown;
    }
    s_names[s_count] = DupString(name);
    return 100000 + s_count++;
}

const char* Variable_GetName(const char*, int32_t, int32_t id)
{
    int32_t index = id - 100000;
    return index >= 0 && index < s_count ? s_names[index] : "<unknown variable>";
}

int32_t Variable_FindGlobal(const char*) { return -1; }
int32_t Variable_FindInstance(const char*) { return -1; }
KVObjectBase* Variable_GlobalObject() { return nullptr; }
int32_t Variable_InstanceCount() { return 0; }
int32_t Variable_BuiltIn_Count() { return 0; }
const BuiltinVariable* Variable_BuiltIn_At(int32_t) { return nullptr; }
bool Variable_IsGlobalBuiltInName(const char*) { return false; }
