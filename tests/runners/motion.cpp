// A runner for the end-to-end motion-planning test: the engine with a game
// module whose code entries call the mp_* built-ins as a game would, through
// the built-in table, and write what they find to standard output.
#include <cstdio>
#include <initializer_list>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "World/Instance.h"
#include "Runner/Run_Globals.h"
#include "motion_codes.h"
#include "TestModule.h"

namespace {

// Objects of the game file (tests/Runner/Run_Motion_test.cpp).
constexpr double kWall = 0;
constexpr double kGhost = 1;  // a wall's child, deactivated before the grid is filled
constexpr int32_t kDestroyedWall = 100010;

double s_grid = -1;
double s_path = -1;
bool s_walkerEnded = false;
bool s_potentialReached = false;

// Calls a built-in by name with real arguments; its result as a real (-1000
// when it left none).
double Call(CInstance* self, const char* name, std::initializer_list<double> arguments)
{
    ScriptValue values[8];
    ScriptValue* pointers[8];
    int count = 0;
    for (double argument : arguments) {
        values[count] = ScriptValue_Real(argument);
        pointers[count] = &values[count];
        ++count;
    }
    ScriptValue result = ScriptValue_Real(-1000);
    int32_t index = -1;
    if (!CodeFunction_Find(name, &index)) {
        std::printf("missing %s\n", name);
        return -1000;
    }
    CallBuiltinFunction(self, self, &result, count, index, pointers);
    return result.Kind() == VALUE_REAL ? result.real : -1000;
}

bool TouchesWall(CInstance* self)
{
    return Call(self, "place_meeting", {self->x, self->y, kWall}) != 0;
}

void ControlCreate(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    s_grid = Call(self, "mp_grid_create", {0, 0, 10, 10, 16, 16});
    Call(self, "instance_deactivate_object", {kGhost});
    Call(self, "instance_destroy", {kDestroyedWall});
    Call(self, "mp_grid_add_instances", {s_grid, kWall, 0});
    std::printf("cells wall=%g ghost=%g destroyed=%g\n", Call(self, "mp_grid_get_cell", {s_grid, 5, 0}),
                Call(self, "mp_grid_get_cell", {s_grid, 5, 8}), Call(self, "mp_grid_get_cell", {s_grid, 5, 9}));
    s_path = Call(self, "path_add", {});
    const double found = Call(self, "mp_grid_path", {s_grid, s_path, 8, 8, 152, 8, 1});
    std::printf("grid path found=%g points=%g\n", found, Call(self, "path_get_number", {s_path}));
}

void ControlStep(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    if ((s_walkerEnded && s_potentialReached) || StepCounter >= 300) Call(self, "game_end", {});
}

void WalkerCreate(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    Call(self, "path_start", {s_path, 4, 0, 1});
}

void WalkerStep(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    if (TouchesWall(self)) std::printf("walker touches x=%g y=%g\n", self->x, self->y);
    if (self->path_index < 0 && !s_walkerEnded) {
        s_walkerEnded = true;
        std::printf("walker ended x=%g y=%g\n", self->x, self->y);
    }
}

void LinearStep(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    const double reached = Call(self, "mp_linear_step", {300, 208, 4, 0});
    std::printf("linear x=%g y=%g reached=%g touches=%d\n", self->x, self->y, reached, TouchesWall(self) ? 1 : 0);
}

void PotentialStep(CInstance* self, CInstance*, ScriptValue*, int, ScriptValue**)
{
    const double reached = Call(self, "mp_potential_step", {300, 100, 2, 0});
    s_potentialReached = s_potentialReached || reached == 1;
    std::printf("potential x=%g y=%g reached=%g touches=%d\n", self->x, self->y, reached, TouchesWall(self) ? 1 : 0);
}

CompiledCodeEntry s_code[MOTION_CODE_COUNT] = {
    {"ControlCreate", ControlCreate}, {"ControlStep", ControlStep}, {"WalkerCreate", WalkerCreate},
    {"WalkerStep", WalkerStep},       {"LinearStep", LinearStep},   {"PotentialStep", PotentialStep},
};
}  // namespace

GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    return TestModule_LinkRecord(record, s_code);
}

int main(int argc, char** argv)
{
    return TestModule_Main(argc, argv);
}
