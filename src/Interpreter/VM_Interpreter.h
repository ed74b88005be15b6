#pragma once
// The bytecode interpreter: runs code entries for Code_Run (installed with
// VM_SetInterpreter), and the breakpoint and stepping state the remote
// debugger drives.
#include <cstdint>

#include "Code/VM_Main.h"

// The run of a code entry (what VM_RunCode calls).
void VM_Interpret(CCode* code, CInstance* self, CInstance* other, ScriptValue* result, KVObjectBase* locals, int argc,
                  ScriptValue* args, KVObjectBase* argumentsObject);

// The handlers code entries are pre-decoded with.
const VMHandlerSet& VM_HandlerSet();

// The two loops over a prepared frame. The debugger's watch evaluation builds
// a frame itself and runs the debugger loop with releaseLocals set.
void VM_RunLoop(VMFrame* frame, ScriptValue* result);
void VM_RunLoopDebug(VMFrame* frame, ScriptValue* result, bool releaseLocals);

// The "break" instruction: a breakpoint or the array-index check.
uint8_t* VM_BreakService(uint32_t word, uint8_t* sp, VMFrame* frame, bool stepBack);

// Breakpoints: 256 slots, of which the debugger arms the first 255; an armed
// slot's code word holds VM_BREAK_WORD while the breakpoints are patched in.
constexpr uint32_t VM_BREAK_WORD = 0xffff0000u;
constexpr int VM_BREAKPOINT_SLOTS = 256;
struct BreakpointSlot {
    uint32_t savedWord;
    uint32_t* address;   // null when free
};
extern BreakpointSlot VM_Breakpoints[VM_BREAKPOINT_SLOTS];
// False when the 255 usable slots are taken.
bool VM_AddBreakpoint(uint32_t* address);
void VM_RemoveBreakpoint(uint32_t* address);
void VM_ClearBreakpoints();
void VM_PatchBreakpoints();
void VM_UnpatchBreakpoints();

// Stepping: -1 none, 0 into, 1 over, 2 out. VM_BreakRequest stops before the next instruction.
extern int32_t VM_StepMode;
extern bool VM_BreakRequest;
// What the debugger provides while it is connected.
struct VMDebuggerHooks {
    bool (*connected)();
    void (*update)();         // services the debugger's packets
    void (*pausedLoop)();     // waits while the game is paused at a stop
};
extern VMDebuggerHooks VM_Debugger;

// Frees the breakpoints and resets the instruction counter (start-up).
void VM_Init();
