// The motion-planning built-ins: step and path forms give 1 or 0; the plain
// forms test against every instance (checkall) or only solid ones, the
// _object forms against the instances of one object. A path argument that
// names no path is reported and leaves the result unset.
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Function/Function_Game.h"
#include "Motion/Motion_Grid.h"
#include "Motion/Motion_Planning.h"
#include "Path/Path_Main.h"
#include "World/Instance.h"
#include "World/WithIterator.h"

#define QS_MP_BUILTIN(name)                                                                          \
    void name([[maybe_unused]] ScriptValue* r, [[maybe_unused]] CInstance* self, [[maybe_unused]] CInstance* other, \
              int, ScriptValue* a)

namespace {
void SetFlag(ScriptValue* r, bool flag) { ScriptValue_SetReal(r, flag ? 1.0 : 0.0); }

// The path an argument names, or null after the report.
CGamePath* TargetPath(ScriptValue* a, int n)
{
    const int32_t index = Arg_Int32(a, n);
    if (!Path_Exists(index)) {
        ReportRuntimeError("Trying to assign to a non-existing path.", false);
        return nullptr;
    }
    return Path_Get(index);
}

// Step forms: goal, step size, then checkall (plain) or an object (_object).
void LinearStep(ScriptValue* r, CInstance* self, ScriptValue* a, bool byObject)
{
    const float gx = Arg_Float(a, 0), gy = Arg_Float(a, 1), step = Arg_Float(a, 2);
    const int32_t target = byObject ? Arg_Int32(a, 3) : -3;
    const bool all = byObject || Arg_Bool(a, 3);
    SetFlag(r, MP_LinearStep(self, gx, gy, step, target, all));
}

void PotentialStep(ScriptValue* r, CInstance* self, ScriptValue* a, bool byObject)
{
    const float gx = Arg_Float(a, 0), gy = Arg_Float(a, 1), step = Arg_Float(a, 2);
    const int32_t target = byObject ? Arg_Int32(a, 3) : -3;
    const bool all = byObject || Arg_Bool(a, 3);
    SetFlag(r, MP_PotentialStep(self, gx, gy, step, target, all));
}

// Path forms: path, goal, step size, then checkall or an object.
void LinearPath(ScriptValue* r, CInstance* self, ScriptValue* a, bool byObject)
{
    CGamePath* path = TargetPath(a, 0);
    if (!path) return;
    const float gx = Arg_Float(a, 1), gy = Arg_Float(a, 2), step = Arg_Float(a, 3);
    const int32_t target = byObject ? Arg_Int32(a, 4) : -3;
    const bool all = byObject || Arg_Bool(a, 4);
    SetFlag(r, MP_LinearPath(self, path, gx, gy, step, target, all));
}

// Path forms with a length factor before checkall or the object.
void PotentialPath(ScriptValue* r, CInstance* self, ScriptValue* a, bool byObject)
{
    CGamePath* path = TargetPath(a, 0);
    if (!path) return;
    const float gx = Arg_Float(a, 1), gy = Arg_Float(a, 2), step = Arg_Float(a, 3), factor = Arg_Float(a, 4);
    const int32_t target = byObject ? Arg_Int32(a, 5) : -3;
    const bool all = byObject || Arg_Bool(a, 5);
    SetFlag(r, MP_PotentialPath(self, path, gx, gy, step, factor, target, all));
}

}  // namespace

QS_MP_BUILTIN(F_MpLinearStep) { LinearStep(r, self, a, false); }
QS_MP_BUILTIN(F_MpLinearStepObject) { LinearStep(r, self, a, true); }
QS_MP_BUILTIN(F_MpLinearPath) { LinearPath(r, self, a, false); }
QS_MP_BUILTIN(F_MpLinearPathObject) { LinearPath(r, self, a, true); }
QS_MP_BUILTIN(F_MpPotentialStep) { PotentialStep(r, self, a, false); }
QS_MP_BUILTIN(F_MpPotentialStepObject) { PotentialStep(r, self, a, true); }
QS_MP_BUILTIN(F_MpPotentialPath) { PotentialPath(r, self, a, false); }
QS_MP_BUILTIN(F_MpPotentialPathObject) { PotentialPath(r, self, a, true); }

QS_MP_BUILTIN(F_MpPotentialSettings)
{
    MP_PotentialSettings(Arg_Float(a, 0), Arg_Float(a, 1), Arg_Float(a, 2), Arg_Bool(a, 3));
}

QS_MP_BUILTIN(F_MpGridCreate)
{
    ScriptValue_SetReal(r, MP_Grid_Create(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2), Arg_Int32(a, 3),
                                          Arg_Int32(a, 4), Arg_Int32(a, 5)));
}
QS_MP_BUILTIN(F_MpGridDestroy) { MP_Grid_Destroy(Arg_Int32(a, 0)); }
QS_MP_BUILTIN(F_MpGridClearAll) { MP_Grid_ClearAll(Arg_Int32(a, 0)); }
QS_MP_BUILTIN(F_MpGridClearCell) { MP_Grid_ClearCell(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2)); }
QS_MP_BUILTIN(F_MpGridClearRectangle)
{
    MP_Grid_ClearRectangle(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2), Arg_Int32(a, 3), Arg_Int32(a, 4));
}
QS_MP_BUILTIN(F_MpGridAddCell) { MP_Grid_AddCell(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2)); }
QS_MP_BUILTIN(F_MpGridGetCell)
{
    ScriptValue_SetReal(r, MP_Grid_GetCell(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2)));
}
QS_MP_BUILTIN(F_MpGridAddRectangle)
{
    MP_Grid_AddRectangle(Arg_Int32(a, 0), Arg_Int32(a, 1), Arg_Int32(a, 2), Arg_Int32(a, 3), Arg_Int32(a, 4));
}

QS_MP_BUILTIN(F_MpGridAddInstances)
{
    const int32_t grid = Arg_Int32(a, 0);
    const int32_t target = Arg_Int32(a, 1);
    const bool precise = Arg_Bool(a, 2);
    WithIterator it;
    it.Init(target, self, other, false);
    while (CInstance* instance = it.Current()) {
        if (!instance->m_marked && !instance->m_deactivated) MP_Grid_AddInstances(grid, instance, precise);
        it.Advance();
    }
}

QS_MP_BUILTIN(F_MpGridPath)
{
    const int32_t grid = Arg_Int32(a, 0);
    CGamePath* path = TargetPath(a, 1);
    if (!path) return;
    SetFlag(r, MP_Grid_Path(grid, path, Arg_Int32(a, 2), Arg_Int32(a, 3), Arg_Int32(a, 4), Arg_Int32(a, 5),
                            Arg_Bool(a, 6)));
}

QS_MP_BUILTIN(F_MpGridDraw) { MP_Grid_Draw(Arg_Int32(a, 0)); }
QS_MP_BUILTIN(F_MpGridToDsGrid) { MP_Grid_ToDsGrid(Arg_Int32(a, 0), Arg_Int32(a, 1)); }
#undef QS_MP_BUILTIN
