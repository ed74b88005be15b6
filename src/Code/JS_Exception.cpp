#include "Code/JS_Exception.h"

#include "Code/Code_ValueConvert.h"
#include "Code/VM_Main.h"

VMExceptionState VM_Exception = {};

bool JS_InstallExceptionHandler(int32_t handlerPosition, const ScriptValue* args, int argc)
{
    VMFrame* run = VM_CurrentFrame;
    if (!run || !run->callRecord) return false;
    // Arguments outside the running call's part of the stack (a built-in
    // called from native code) tell nothing of where the block began.
    const auto* start = reinterpret_cast<const uint8_t*>(args) + 16 * static_cast<int64_t>(argc < 0 ? 0 : argc);
    const uint8_t* end = run->stack + run->stackSize;
    const auto* floor = reinterpret_cast<const uint8_t*>(run->callRecord);
    const bool onStack = args && start >= run->stack && start <= floor;
    run->callRecord->handlerRecord = new JSExceptionHandler{
        handlerPosition, onStack ? end - start : -1, static_cast<JSExceptionHandler*>(run->callRecord->handlerRecord)};
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
    if (VM_Exception.pending) ScriptValue_SetUndefined(&VM_Exception.thrown);
    VM_Exception = VMExceptionState{};
}

void JS_UnwindToHandler(ScriptValue* thrown)
{
    // A second throw before the first was taken (a handler's own failure) replaces it.
    JS_DropPendingException();
    for (VMFrame* run = VM_CurrentFrame; run; run = run->previous) {
        uint8_t* end = run->stack + run->stackSize;
        for (VMCallRecord* record = run->callRecord; record;) {
            if (auto* handler = static_cast<JSExceptionHandler*>(record->handlerRecord)) {
                record->handlerRecord = handler->outer;
                VM_Exception.handlerPosition = handler->handlerPosition;
                VM_Exception.stackPosition = handler->stackPosition;
                delete handler;
                VM_Exception.pending = true;
                VM_Exception.handlingRun = run;
                VM_Exception.recordPosition = end - reinterpret_cast<uint8_t*>(record);
                VM_Exception.thrown = *thrown;
                // Every run from the thrower's to the handling one leaves its loop.
                for (VMFrame* leaving = VM_CurrentFrame;; leaving = leaving->previous) {
                    leaving->position = leaving->codeSize;
                    if (leaving == run) break;
                }
                return;
            }
            if (record == run->bottomRecord || record->previousRecord < 0) break;
            record = reinterpret_cast<VMCallRecord*>(end - record->previousRecord);
        }
    }
    char* cursor = nullptr;
    char* start = nullptr;
    int32_t capacity = 0;
    AppendTextGrow(&cursor, &start, &capacity, "");
    ScriptValue_AppendText(&cursor, &start, &capacity, thrown);
    VM_RuntimeError(VM_CurrentFrame, "Unable to find a handler for exception %s", start ? start : "");
    Code_FreeMemory(start);
    ScriptValue_SetUndefined(thrown);
}
