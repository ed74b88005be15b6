#include <cstdarg>
#include <cstdio>

#include "Base/ErrorReport.h"
#include "Code/VM_Main.h"

void VM_RuntimeError(VMFrame* frame, const char* format, ...)
{
    CodeErrorFlag = true;
    if (WatchEvaluating) {
        // Ends the run: the loop stops at the end of the code.
        if (frame) {
            frame->position = frame->codeSize;
            frame->depth = 0;
            frame->stopped = true;
        }
        return;
    }
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format ? format : "", args);
    va_end(args);
    ReportRuntimeError(message, true);
    ErrorReport_EndAfterFatal(-1);
    // A child game goes on to its end; the code that failed does not run on.
    if (frame) {
        frame->position = frame->codeSize;
        frame->depth = 0;
        frame->stopped = true;
    }
}
