#pragma once
// Throwing in script code: the try blocks a call record holds, and the
// unwinding that takes a thrown value to the innermost of them.
#include <cstdint>

struct ScriptValue;

// A try block of one call: where its handler code starts in that call's code
// and the value stack the block's code started from, as an offset from the
// stack block's end (-1 when unknown), so that a catch keeps what lies below
// it (enclosing with-blocks, pushed values).
// A call record holds its innermost try block; the try support makes them.
struct JSExceptionHandler {
    int32_t handlerPosition;
    int64_t stackPosition;
    JSExceptionHandler* outer;   // the enclosing try block of the same call, or null
};
// Installs a try block on the running call (the try support's built-in calls
// this with its own arguments): the block's code starts with the value stack
// where those argc arguments end. Its handler starts at handlerPosition.
// False, and nothing installed, outside bytecode.
bool JS_InstallExceptionHandler(int32_t handlerPosition, const ScriptValue* args, int argc);
// Deletes a call record's try blocks (the record is being popped).
void JS_DeleteExceptionHandlers(void* handlerRecord);

// Throws thrown (taken over: the caller no longer owns it): finds the
// innermost try block among the current run's call records and then those of
// the runs it was started from, and sets the exception state (VM_Main.h) so
// that the loops between end and the handling run resumes at the handler,
// whose try block is left. Without any, the fatal "Unable to find a handler
// for exception %s". The caller returns at once.
void JS_UnwindToHandler(ScriptValue* thrown);
// A throw that no run took is forgotten, its value released.
void JS_DropPendingException();
