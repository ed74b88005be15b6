// Stand-ins: see KivoVariables_Stub.h.
#include "Variable/KivoVariables_Stub.h"

#include "Code/Code_Variable.h"
#include "Variable/Variable_Family_Stub.h"

void InitKivoVariables()
{
    static const char* const kNames[] = {"os_type", "os_device", "os_version", "os_browser", "browser_width", "browser_height"};
    for (const char* name : kNames) Variable_BuiltIn_Add(name, VariableStub_GetZero, nullptr);
}
