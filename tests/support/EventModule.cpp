#include "support/EventModule.h"

#include <cstring>

#include "Base/MemoryManager.h"
#include "Code/Code_Main.h"
#include "World/Event_Main.h"
#include "World/Instance.h"
#include "World/Object_Main.h"

namespace eventmodule {

std::vector<Call> Trace;
std::function<void(CInstance*, CInstance*)> Hooks[CODE_COUNT];

namespace {
StackTraceFrame* s_chainHead = nullptr;
LinkVariableRef* s_variables[] = {nullptr};
LinkFunctionRef* s_functions[] = {nullptr};

template <int32_t Code>
void Handler(CInstance* self, CInstance* other, ScriptValue*, int, ScriptValue**)
{
    Trace.push_back({Code, self ? self->id : -1, other ? other->id : -1, Event_CurrentObject, Event_CurrentKind,
                     Event_CurrentNumber});
    if (Hooks[Code]) Hooks[Code](self, other);
}

CompiledCodeEntry s_code[CODE_COUNT] = {
    {"handler0", Handler<0>}, {"handler1", Handler<1>}, {"handler2", Handler<2>}, {"handler3", Handler<3>},
    {"handler4", Handler<4>}, {"handler5", Handler<5>}, {"handler6", Handler<6>}, {"handler7", Handler<7>},
};
}  // namespace

GameLinkRecord Record()
{
    GameLinkRecord record{};
    record.codeCount = CODE_COUNT;
    record.variables = s_variables;
    record.functions = s_functions;
    record.codeTable = s_code;
    record.callChainHead = &s_chainHead;
    return record;
}

void Reset()
{
    Trace.clear();
    for (auto& hook : Hooks) hook = nullptr;
}

void SetHandler(CGameObject* object, int32_t kind, int32_t subKind, int32_t code)
{
    ObjectEventList& list = object->events[kind];
    if (subKind >= list.count) {
        list.events = static_cast<CEvent**>(QS_REALLOC(list.events, sizeof(CEvent*) * static_cast<size_t>(subKind + 1)));
        std::memset(list.events + list.count, 0, sizeof(CEvent*) * static_cast<size_t>(subKind + 1 - list.count));
        list.count = subKind + 1;
    }
    delete list.events[subKind];
    auto* event = new CEvent();
    event->m_code = new CCode(code, 0);
    event->m_name = "";
    list.events[subKind] = event;
}

}  // namespace eventmodule
