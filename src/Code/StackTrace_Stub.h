#pragma once
// Stand-in for the call chain of compiled game code until the link record
// exists: one frame per running compiled function, innermost at the head.

struct StackTraceFrame {
    StackTraceFrame* previous;
    const char* name;
    int line;  // source line of the running statement, -1 for built-in calls

    StackTraceFrame(const char* frameName, int frameLine);
    ~StackTraceFrame();
    StackTraceFrame(const StackTraceFrame&) = delete;
    StackTraceFrame& operator=(const StackTraceFrame&) = delete;
};

// Where the process-wide head pointer lives (the link record hands its address over).
extern StackTraceFrame** CallChainHead;
