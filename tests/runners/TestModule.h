#pragma once
// What every test runner shares: a game module made of code entries only
// (no linked variables or functions) and a process entry whose standard
// output is line-buffered, so that a test reading it sees each line as it is
// written.
#include <cstdio>

#include "Code/Code_Link.h"
#include "Runner/Runner_Entry.h"

template <int N>
GameLinkRecord* TestModule_LinkRecord(GameLinkRecord* record, CompiledCodeEntry (&code)[N])
{
    static StackTraceFrame* chainHead = nullptr;
    static LinkVariableRef* variables[] = {nullptr};
    static LinkFunctionRef* functions[] = {nullptr};
    *record = GameLinkRecord{};
    record->codeCount = N;
    record->variables = variables;
    record->functions = functions;
    record->codeTable = code;
    record->callChainHead = &chainHead;
    return record;
}

inline int TestModule_Main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    return Runner_Main(argc, argv);
}
