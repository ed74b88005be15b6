#pragma once
// Stand-in for what the memory trace reads from the call machinery and the
// bytecode interpreter, neither of which exists yet.
#include <cstdint>

struct MemoryTraceFrame {
    const char* function;
    int32_t line;
};

// Name of the built-in function being executed on the main thread, or null.
const char* MemoryTrace_CurrentBuiltinName();
// Up to max frames of the running bytecode, innermost first; returns how many
// were written (0 outside bytecode).
int MemoryTrace_InterpreterFrames(MemoryTraceFrame* frames, int max);
