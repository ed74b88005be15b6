#pragma once
// Script exceptions: try blocks on the call records of running bytecode, the
// throw that finds the block taking a thrown value (unwinding the calls in
// between), the ends of catch and finally blocks, and the typed errors the
// runtime raises. Native code is never unwound: a routine that throws returns
// normally and its callers test JS_ExceptionPending (or the status
// JS_EXCEPTION_PENDING of calls and conversions) and return in turn.
#include <cstdint>

#include "Code/Code_Value.h"

class CInstance;

// A try block of one call: where its catch and finally code start in that
// call's code (-1 none), and the value stack the block's code started from,
// as an offset from the stack block's end (-1 when unknown), so that a
// handler keeps what lies below it (enclosing with-blocks, pushed values).
// A call record holds its try blocks, innermost first. A block that took a
// thrown value at its catch keeps only its finally, one that took it at its
// finally keeps nothing: a throw from its own handler code goes further out.
struct JSExceptionHandler {
    int32_t catchPosition;
    int32_t finallyPosition;
    int64_t stackPosition;
    JSExceptionHandler* outer;   // the enclosing try block of the same call, or null
};

// The thrown value (kept until the next throw, which a finally block ending
// without a catch throws again) and whether no catch has taken it yet.
struct JSExceptionState {
    ScriptValue current;
    bool thrown;
};
extern JSExceptionState JS_Exception;

// Whether a thrown value is on its way to its handler.
bool JS_ExceptionPending();

// Installs a try block on the running call: its code starts with the value
// stack where the argc arguments at args end. False, and nothing installed,
// outside bytecode.
bool JS_InstallExceptionHandler(int32_t catchPosition, int32_t finallyPosition, const ScriptValue* args, int argc);
// Deletes a call record's try blocks (the record is being popped).
void JS_DeleteExceptionHandlers(void* handlerRecord);
// Sends the current exception to the innermost try block that can take it,
// among the running call's and then the outer calls' and runs': the loops in
// between end and the handling run resumes at the catch (or else finally)
// code with the exception pushed. Without one, the fatal "Unable to find a
// handler for exception %s". True when a block takes it.
bool JS_FindExceptionHandler();
// A throw that no run took, and the value kept from the last throw, are
// forgotten, their values released.
void JS_DropPendingException();

// The built-ins compiled code calls (registered as "@@try_hook@@" with the
// catch and finally positions, "@@try_unhook@@", "@@throw@@" with the value,
// "@@finish_catch@@" and "@@finish_finally@@").
void JS_TryHook(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_TryUnhook(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_ThrowValue(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_FinishCatch(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);
// A finally block ended while its exception was not caught: the exception
// goes on outwards, and the result is a copy of it.
void JS_FinishFinally(ScriptValue* result, CInstance* self, CInstance* other, int argc, ScriptValue* args);

// Throws an error object of the type with the message; the caller returns at once.
void JS_RaiseTypeError(const char* message);
void JS_RaiseReferenceError(const char* message);
void JS_RaiseRangeError(const char* message);
void JS_RaiseSyntaxError(const char* message);

// The error constructors' call and construct routines: out becomes an error
// object of the type whose "message" is argument 0.
void JS_Error_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_EvalError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_RangeError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_ReferenceError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_SyntaxError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_TypeError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
void JS_URIError_Construct(ScriptValue* out, CInstance* self, CInstance* other, int argc, ScriptValue* args);
