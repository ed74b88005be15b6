#pragma once
// Throwing in script code: the try blocks a call record holds, and the
// unwinding that takes a thrown value to the innermost of them.
#include <cstdint>

struct ScriptValue;

// A try block of one call: where its handler code starts in that call's code.
// A call record holds its innermost try block; the try support makes them.
struct JSExceptionHandler {
    int32_t handlerPosition;
    JSExceptionHandler* outer;   // the enclosing try block of the same call, or null
};
// Deletes a call record's try blocks (the record is being popped).
void JS_DeleteExceptionHandlers(void* handlerRecord);

// Throws thrown (taken over: the caller no longer owns it): finds the
// innermost try block among the current run's call records and then those of
// the runs it was started from, and sets the exception state (VM_Main.h) so
// that the loops between end and the handling run resumes at the handler,
// whose try block is left. Without any, the fatal "Unable to find a handler
// for exception %s". The caller returns at once.
void JS_UnwindToHandler(ScriptValue* thrown);
