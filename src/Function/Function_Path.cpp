// The path built-ins: argument checks around the path table and CGamePath.
// Every operation on a missing path does nothing and reports nothing, except
// where a message is named.
#include "Function/Function_Path.h"

#include <iterator>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Path/Path_Class.h"
#include "Path/Path_Main.h"

namespace {

using Args = ScriptValue*;

bool Need(int argc, int count) { return Arg_Need(argc, count, "path"); }
int I(Args a, int n) { return Arg_Int32(a, n); }
float F(Args a, int n) { return static_cast<float>(Arg_Real(a, n)); }
void Error(const char* message) { ReportRuntimeError(message, false); }

CGamePath* Target(int argc, Args a, int count)
{
    if (!Need(argc, count)) return nullptr;
    return Path_Get(I(a, 0));
}

// A getter whose missing path gives -1; argument 1 (when count is 2) goes to the field too.
template <typename Field>
void Query(ScriptValue* r, int argc, Args a, int count, Field field)
{
    if (!Need(argc, count)) return;
    const CGamePath* p = Path_Get(I(a, 0));
    ScriptValue_SetReal(r, p ? field(p) : -1.0);
}

void F_Exists(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetReal(r, Path_Exists(I(a, 0)) ? 1.0 : 0.0);
}
void F_GetName(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    ScriptValue_SetString(r, Path_Name(I(a, 0)));
}
void F_GetLength(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 1, [](const CGamePath* p) { return double(p->GetLength()); });
}
void F_GetKind(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 1, [](const CGamePath* p) { return double(p->GetKind()); });
}
void F_GetPrecision(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 1, [](const CGamePath* p) { return double(p->GetPrecision()); });
}
void F_GetNumber(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 1, [](const CGamePath* p) { return double(p->GetPointCount()); });
}
void F_GetClosed(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const CGamePath* p = Path_Get(I(a, 0));
    ScriptValue_SetReal(r, p && p->GetClosed() ? 1.0 : 0.0);
}
void F_GetTime(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 2, [a](const CGamePath* p) { return double(static_cast<float>(p->GetTime() * Arg_Real(a, 1))); });
}

// A control point's field; 0 for an index outside the points.
template <typename Field>
void PointField(ScriptValue* r, int argc, Args a, Field field)
{
    Query(r, argc, a, 2, [a, field](const CGamePath* p) {
        const int32_t n = I(a, 1);
        return n >= 0 && n < p->GetPointCount() ? double(field(p->GetPoint(n))) : 0.0;
    });
}
void F_GetPointX(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    PointField(r, argc, a, [](const PathPoint& q) { return q.x; });
}
void F_GetPointY(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    PointField(r, argc, a, [](const PathPoint& q) { return q.y; });
}
void F_GetPointSpeed(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    PointField(r, argc, a, [](const PathPoint& q) { return q.speed; });
}
void F_GetX(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 2, [a](const CGamePath* p) { return double(p->GetXAt(F(a, 1))); });
}
void F_GetY(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 2, [a](const CGamePath* p) { return double(p->GetYAt(F(a, 1))); });
}
void F_GetSpeed(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    Query(r, argc, a, 2, [a](const CGamePath* p) { return double(p->GetSpeedAt(F(a, 1))); });
}

void F_Add(ScriptValue* r, CInstance*, CInstance*, int, Args) { ScriptValue_SetReal(r, Path_Add()); }

void F_Duplicate(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Path_Exists(index)) {
        Error("Trying to duplicate non-existing path.");
        return ScriptValue_SetReal(r, 0.0);
    }
    ScriptValue_SetReal(r, Path_Duplicate(index));
}

void F_Assign(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    if (!Path_Assign(I(a, 0), I(a, 1))) Error("Error assigning a path.");
}

void F_Append(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 2)) return;
    CGamePath* path = Path_Get(I(a, 0));
    if (!path) return Error("Appending to non-existing path.");
    const CGamePath* other = Path_Get(I(a, 1));
    if (!other) return Error("Appending a non-existing path.");
    path->Append(other);
}

void F_Delete(ScriptValue* r, CInstance*, CInstance*, int argc, Args a)
{
    if (!Need(argc, 1)) return;
    const int32_t index = I(a, 0);
    if (!Path_Exists(index)) {
        Error("Trying to delete non-existing path.");
        return ScriptValue_SetReal(r, 0.0);
    }
    ScriptValue_SetReal(r, Path_Delete(index) ? 1.0 : 0.0);
}

void F_AddPoint(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 4)) p->AddPoint(F(a, 1), F(a, 2), F(a, 3));
}
void F_InsertPoint(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 5)) p->InsertPoint(I(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
void F_ChangePoint(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 5)) p->ChangePoint(I(a, 1), F(a, 2), F(a, 3), F(a, 4));
}
void F_DeletePoint(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 2)) p->DeletePoint(I(a, 1));
}
void F_ClearPoints(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 1)) p->Clear();
}
void F_Reverse(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 1)) p->Reverse();
}
void F_Mirror(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 1)) p->Mirror();
}
void F_Flip(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 1)) p->Flip();
}
void F_Rotate(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 2)) p->Rotate(F(a, 1));
}
void F_Rescale(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 3)) p->Rescale(F(a, 1), F(a, 2));
}
void F_Shift(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 3)) p->Shift(F(a, 1), F(a, 2));
}
void F_SetKind(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 2)) p->SetKind(static_cast<uint32_t>(I(a, 1)));
}
void F_SetClosed(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 2)) p->SetClosed(Arg_Bool(a, 1));
}
void F_SetPrecision(ScriptValue*, CInstance*, CInstance*, int argc, Args a)
{
    if (CGamePath* p = Target(argc, a, 2)) p->SetPrecision(I(a, 1));
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t args;
};

const Entry kPath[] = {
    {"path_name", F_GetName, 1},
    {"path_exists", F_Exists, 1},
    {"path_get_name", F_GetName, 1},
    {"path_get_length", F_GetLength, 1},
    {"path_get_time", F_GetTime, 2},
    {"path_get_kind", F_GetKind, 1},
    {"path_get_closed", F_GetClosed, 1},
    {"path_get_precision", F_GetPrecision, 1},
    {"path_get_number", F_GetNumber, 1},
    {"path_get_point_x", F_GetPointX, 2},
    {"path_get_point_y", F_GetPointY, 2},
    {"path_get_point_speed", F_GetPointSpeed, 2},
    {"path_get_x", F_GetX, 2},
    {"path_get_y", F_GetY, 2},
    {"path_get_speed", F_GetSpeed, 2},
    {"path_set_kind", F_SetKind, 2},
    {"path_set_closed", F_SetClosed, 2},
    {"path_set_precision", F_SetPrecision, 2},
    {"path_add", F_Add, 0},
    {"path_duplicate", F_Duplicate, 1},
    {"path_assign", F_Assign, 2},
    {"path_append", F_Append, 2},
    {"path_delete", F_Delete, 1},
    {"path_add_point", F_AddPoint, 4},
    {"path_insert_point", F_InsertPoint, 5},
    {"path_change_point", F_ChangePoint, 5},
    {"path_delete_point", F_DeletePoint, 2},
    {"path_clear_points", F_ClearPoints, 1},
    {"path_reverse", F_Reverse, 1},
    {"path_mirror", F_Mirror, 1},
    {"path_flip", F_Flip, 1},
    {"path_rotate", F_Rotate, 2},
    {"path_rescale", F_Rescale, 3},
    {"path_shift", F_Shift, 3},
};
static_assert(std::size(kPath) == 34);
}  // namespace

void InitPathFunctions()
{
    for (const Entry& e : kPath) CodeFunction_Register(e.name, e.routine, e.args, 0);
}
