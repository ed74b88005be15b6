#include "Platform/Extension_Class.h"

#include <cstdio>

#include "Base/Random.h"

int32_t CExtensionFunction::ArgumentType(int32_t index) const
{
    return index >= 0 && index < kExtensionArgumentTypes ? argumentTypes[index] : EXTENSION_TYPE_REAL;
}

void CExtensionFunction::SetArgumentType(int32_t index, int32_t type)
{
    if (index >= 0 && index < kExtensionArgumentTypes) argumentTypes[index] = type;
}

CExtensionPackage::CExtensionPackage()
{
    // A package the game data names nothing for still has a folder of its own.
    char name[16];
    std::snprintf(name, sizeof name, "temp%u", static_cast<unsigned>(Random_NextInt(999)));
    folderName = name;
}

const CExtensionFunction* CExtensionPackage::find(const char* name) const
{
    if (!name) return nullptr;
    for (const CExtensionFile& file : files)
        for (const CExtensionFunction& function : file.functions)
            if (function.name == name) return &function;
    return nullptr;
}
