#pragma once
// A game module of event handlers for running a small game by hand through
// the dispatch functions: every code index records the call (self, other and
// the current event) and then runs the test's hook for that index, if any.
#include <cstdint>
#include <functional>
#include <vector>

#include "Code/Code_Link.h"

class CGameObject;
class CInstance;

namespace eventmodule {

constexpr int32_t CODE_COUNT = 8;

struct Call {
    int32_t code;
    int32_t self;   // instance id, -1 for none
    int32_t other;
    int object;     // the current event when the handler ran
    int kind;
    int number;
};

extern std::vector<Call> Trace;
extern std::function<void(CInstance* self, CInstance* other)> Hooks[CODE_COUNT];

GameLinkRecord Record();
// Empties the trace and the hooks.
void Reset();
// Gives object a handler for (kind, subKind) that runs code index code.
void SetHandler(CGameObject* object, int32_t kind, int32_t subKind, int32_t code);

}  // namespace eventmodule
