#include "Base/MemoryTraceSource_Stub.h"

// No built-in is ever running yet.
const char* MemoryTrace_CurrentBuiltinName()
{
    return nullptr;
}

// No bytecode ever runs yet.
int MemoryTrace_InterpreterFrames(MemoryTraceFrame*, int)
{
    return 0;
}
