// The timeline built-ins: argument checks around the timeline table and
// CTimeLine. A missing timeline changes nothing.
#include "Function/Function_Timeline.h"

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "World/TimeLine_Main.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "timeline"); }
int I(Args a, int n) { return Arg_Int32(a, n); }

CTimeLine* Target(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    return TimeLine_Get(I(a, 0));
}

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, TimeLine_Exists(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, TimeLine_Name(I(a, 0)));
}
void F_Add(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, TimeLine_Add()); }
void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!TimeLine_Exists(index)) {
        ReportRuntimeError("Trying to delete non-existing timeline.", false);
        return ScriptValue_SetReal(r, 0.0);
    }
    ScriptValue_SetReal(r, TimeLine_Delete(index) ? 1.0 : 0.0);
}
void F_Clear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CTimeLine* t = Target(argc, a, 1)) t->Clear();
}
void F_Size(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const CTimeLine* t = TimeLine_Get(I(a, 0));
    ScriptValue_SetReal(r, t ? t->GetMomentCount() : -1.0);
}
void F_MaxMoment(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const CTimeLine* t = TimeLine_Get(I(a, 0));
    if (!t) return ScriptValue_SetReal(r, -1.0);
    const int32_t count = t->GetMomentCount();
    ScriptValue_SetReal(r, count > 0 ? t->GetMomentTime(count - 1) : 0.0);
}
void F_MomentAddScript(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    CTimeLine* t = Target(argc, a, 3);
    if (!t) return;
    const int32_t step = I(a, 1), script = I(a, 2);
    if (t->FindMoment(step) < 0)
        t->AddMoment(step, script);
    else
        t->SetMomentScript(step, script);
}
void F_MomentClear(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CTimeLine* t = Target(argc, a, 2)) t->DeleteMoment(I(a, 1));
}
void F_MomentAdd(ScriptValue*, CInstance*, CInstance*, int, Args)
{
    LogConsole->Output("timeline_moment_add :: deprecated function\n");
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};
const Entry kTimeline[] = {
    {"timeline_name", F_GetName, 1},
    {"timeline_exists", F_Exists, 1},
    {"timeline_get_name", F_GetName, 1},
    {"timeline_add", F_Add, 0},
    {"timeline_delete", F_Delete, 1},
    {"timeline_moment_clear", F_MomentClear, 2},
    {"timeline_clear", F_Clear, 1},
    {"timeline_moment_add", F_MomentAdd, 3},
    {"timeline_moment_add_script", F_MomentAddScript, 3},
    {"timeline_size", F_Size, 1},
    {"timeline_max_moment", F_MaxMoment, 1},
};
}  // namespace

void InitTimelineFunctions()
{
    for (const Entry& e : kTimeline) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
