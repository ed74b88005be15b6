#include "IO/IO_Async.h"

#include <deque>
#include <utility>

namespace {
std::deque<IO_AsyncEvent> g_Waiting;
}  // namespace

void IO_PostAsync(int subKind, std::vector<IO_AsyncPair> pairs)
{
    g_Waiting.push_back(IO_AsyncEvent{subKind, std::move(pairs)});
}

bool IO_TakeAsync(IO_AsyncEvent* out)
{
    if (g_Waiting.empty()) return false;
    *out = std::move(g_Waiting.front());
    g_Waiting.pop_front();
    return true;
}

void IO_ClearAsync() { g_Waiting.clear(); }
