#include "Code/JS_Exception.h"

#include "Code/Code_Arguments.h"
#include "Code/Code_ValueConvert.h"
#include "Code/JS_Error.h"
#include "Code/JS_Main.h"
#include "Code/VM_Main.h"

VMExceptionState VM_Exception = {};
JSExceptionState JS_Exception = {ScriptValue_Undefined(), false};

namespace {
int32_t PositionArgument(ScriptValue* args, int argc, int n)
{
    return n < argc ? Arg_Int32(args, n) : -1;
}

// The innermost try block of a call record that can still take a thrown value.
JSExceptionHandler* UsableHandler(const VMCallRecord* record)
{
    for (auto* h = static_cast<JSExceptionHandler*>(record->handlerRecord); h; h = h->outer)
        if (h->catchPosition != -1 || h->finallyPosition != -1) return h;
    return nullptr;
}

// The text of an exception nobody takes: its string conversion, else the
// value's text form (which asks an object's own toString).
void ReportUnhandled(const ScriptValue* exception)
{
    ScriptValue text = ScriptValue_Undefined();
    if (JS_ConvertToString(&text, exception) == JS_CONVERTED && text.Kind() == VALUE_STRING) {
        VM_RuntimeError(VM_CurrentFrame, "Unable to find a handler for exception %s", ScriptValue_StringText(&text));
        ScriptValue_SetUndefined(&text);
        return;
    }
    char* cursor = nullptr;
    char* start = nullptr;
    int32_t capacity = 0;
    AppendTextGrow(&cursor, &start, &capacity, "");
    ScriptValue_AppendText(&cursor, &start, &capacity, exception);
    VM_RuntimeError(VM_CurrentFrame, "Unable to find a handler for exception %s", start ? start : "");
    Code_FreeMemory(start);
}

void Throw(const ScriptValue* value)
{
    JS_Exception.current.Assign(*value);
    JS_Exception.thrown = true;
    JS_FindExceptionHandler();
}

void Raise(JSErrorType type, const char* typeName, const char* message)
{
    ScriptValue text = ScriptValue_Undefined();
    ScriptValue_InitString(&text, message ? message : "");
    ScriptValue error = ScriptValue_Undefined();
    JS_CreateErrorObject(typeName, JS_ErrorPrototype[type], &error, nullptr, 1, &text);
    Throw(&error);
    ScriptValue_SetUndefined(&text);
    ScriptValue_SetUndefined(&error);
}
}  // namespace

bool JS_ExceptionPending() { return VM_Exception.pending; }

bool JS_InstallExceptionHandler(int32_t catchPosition, int32_t finallyPosition, const ScriptValue* args, int argc)
{
    VMFrame* run = VM_CurrentFrame;
    if (!run || !run->callRecord) return false;
    // Arguments outside the running call's part of the stack (a built-in
    // called from native code) tell nothing of where the block began.
    const auto* start = reinterpret_cast<const uint8_t*>(args) + 16 * static_cast<int64_t>(argc < 0 ? 0 : argc);
    const uint8_t* end = run->stack + run->stackSize;
    const auto* floor = reinterpret_cast<const uint8_t*>(run->callRecord);
    const bool onStack = args && start >= run->stack && start <= floor;
    run->callRecord->handlerRecord =
        new JSExceptionHandler{catchPosition, finallyPosition, onStack ? end - start : -1,
                               static_cast<JSExceptionHandler*>(run->callRecord->handlerRecord)};
    return true;
}

void JS_DeleteExceptionHandlers(void* handlerRecord)
{
    auto* handler = static_cast<JSExceptionHandler*>(handlerRecord);
    while (handler) {
        JSExceptionHandler* outer = handler->outer;
        delete handler;
        handler = outer;
    }
}

void JS_DropPendingException()
{
    ScriptValue_SetUndefined(&VM_Exception.thrown);
    VM_Exception = VMExceptionState{};
    ScriptValue_SetUndefined(&JS_Exception.current);
    JS_Exception.thrown = false;
}

bool JS_FindExceptionHandler()
{
    // A second throw before the first was taken (a handler's own failure) replaces it.
    if (VM_Exception.pending) ScriptValue_SetUndefined(&VM_Exception.thrown);
    VM_Exception.pending = false;
    for (VMFrame* run = VM_CurrentFrame; run; run = run->previous) {
        uint8_t* end = run->stack + run->stackSize;
        for (VMCallRecord* record = run->callRecord; record;) {
            if (JSExceptionHandler* handler = UsableHandler(record)) {
                // The block stays for "@@try_unhook@@"; its spent part cannot take another throw.
                if (handler->catchPosition != -1) {
                    VM_Exception.handlerPosition = handler->catchPosition;
                    handler->catchPosition = -1;
                } else {
                    VM_Exception.handlerPosition = handler->finallyPosition;
                    handler->finallyPosition = -1;
                }
                VM_Exception.stackPosition = handler->stackPosition;
                VM_Exception.pending = true;
                VM_Exception.handlingRun = run;
                VM_Exception.recordPosition = end - reinterpret_cast<uint8_t*>(record);
                VM_Exception.thrown = ScriptValue_Undefined();
                VM_Exception.thrown.Assign(JS_Exception.current);
                // Every run from the thrower's to the handling one leaves its loop.
                for (VMFrame* leaving = VM_CurrentFrame;; leaving = leaving->previous) {
                    leaving->position = leaving->codeSize;
                    if (leaving == run) break;
                }
                return true;
            }
            if (record == run->bottomRecord || record->previousRecord < 0) break;
            record = reinterpret_cast<VMCallRecord*>(end - record->previousRecord);
        }
    }
    ReportUnhandled(&JS_Exception.current);
    return false;
}

void JS_TryHook(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    JS_InstallExceptionHandler(PositionArgument(args, argc, 0), PositionArgument(args, argc, 1), args, argc);
    ScriptValue_SetReal(result, 0.0);
}

void JS_TryUnhook(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    VMFrame* run = VM_CurrentFrame;
    if (run && run->callRecord) {
        if (auto* innermost = static_cast<JSExceptionHandler*>(run->callRecord->handlerRecord)) {
            run->callRecord->handlerRecord = innermost->outer;
            delete innermost;
        }
    }
    ScriptValue_SetReal(result, 0.0);
}

void JS_ThrowValue(ScriptValue*, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    const ScriptValue undefined = ScriptValue_Undefined();
    Throw(argc > 0 ? &args[0] : &undefined);
}

void JS_FinishCatch(ScriptValue*, CInstance*, CInstance*, int, ScriptValue*)
{
    JS_Exception.thrown = false;
    VM_Exception.handlingRun = nullptr;
}

void JS_FinishFinally(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue*)
{
    if (!JS_Exception.thrown) return;
    JS_FindExceptionHandler();
    result->Assign(JS_Exception.current);
}

void JS_RaiseTypeError(const char* message) { Raise(JS_ERROR_TYPE, "TypeError", message); }
void JS_RaiseReferenceError(const char* message) { Raise(JS_ERROR_REFERENCE, "ReferenceError", message); }
void JS_RaiseRangeError(const char* message) { Raise(JS_ERROR_RANGE, "RangeError", message); }
void JS_RaiseSyntaxError(const char* message) { Raise(JS_ERROR_SYNTAX, "SyntaxError", message); }

#define JS_ERROR_CONSTRUCTOR(routine, type, name)                                                         \
    void routine(ScriptValue* out, CInstance* self, CInstance*, int argc, ScriptValue* args)             \
    {                                                                                                     \
        JS_CreateErrorObject(name, JS_ErrorPrototype[type], out, reinterpret_cast<KVObjectBase*>(self), argc, \
                             args);                                                                       \
    }
JS_ERROR_CONSTRUCTOR(JS_Error_Construct, JS_ERROR_ERROR, "Error")
JS_ERROR_CONSTRUCTOR(JS_EvalError_Construct, JS_ERROR_EVAL, "EvalError")
JS_ERROR_CONSTRUCTOR(JS_RangeError_Construct, JS_ERROR_RANGE, "RangeError")
JS_ERROR_CONSTRUCTOR(JS_ReferenceError_Construct, JS_ERROR_REFERENCE, "ReferenceError")
JS_ERROR_CONSTRUCTOR(JS_SyntaxError_Construct, JS_ERROR_SYNTAX, "SyntaxError")
JS_ERROR_CONSTRUCTOR(JS_TypeError_Construct, JS_ERROR_TYPE, "TypeError")
JS_ERROR_CONSTRUCTOR(JS_URIError_Construct, JS_ERROR_URI, "URIError")
#undef JS_ERROR_CONSTRUCTOR
