#include "Code/StackTrace_Stub.h"

namespace {
StackTraceFrame* s_head = nullptr;
}

StackTraceFrame** CallChainHead = &s_head;

StackTraceFrame::StackTraceFrame(const char* frameName, int frameLine)
    : previous(*CallChainHead), name(frameName), line(frameLine)
{
    *CallChainHead = this;
}

StackTraceFrame::~StackTraceFrame()
{
    *CallChainHead = previous;
}
