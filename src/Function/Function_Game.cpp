// Registration of the instance and motion group, in its fixed order.
#include "Function/Function_Game.h"

#include "Code/Code_Function.h"
#include "Function/Instance_MotionFunctions.h"
#include "GameData/GameHeader.h"

namespace {
struct GameBuiltin {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;  // -1 any
    uint8_t flag = 0;  // the table's flag byte
};

const GameBuiltin kGameBuiltins[] = {
    {"move_random", F_MoveRandom, 2},
    {"place_free", F_PlaceFree, 2},
    {"place_empty", F_PlaceEmpty, 2},
    {"place_meeting", F_PlaceMeeting, 3},
    {"place_snapped", F_PlaceSnapped, 2},
    {"move_snap", F_MoveSnap, 2},
    {"move_towards_point", F_MoveTowardsPoint, 3},
    {"move_contact", F_MoveContact, 1},
    {"move_contact_solid", F_MoveContactSolid, 2},
    {"move_contact_all", F_MoveContactAll, 2},
    {"move_outside_solid", F_MoveOutsideSolid, 2},
    {"move_outside_all", F_MoveOutsideAll, 2},
    {"move_bounce", F_MoveBounceSolid, 1},
    {"move_bounce_solid", F_MoveBounceSolid, 1},
    {"move_bounce_all", F_MoveBounceAll, 1},
    {"move_wrap", F_MoveWrap, 3},
    {"motion_set", F_MotionSet, 2},
    {"motion_add", F_MotionAdd, 2},
    {"distance_to_point", F_DistanceToPoint, 2},
    {"distance_to_object", F_DistanceToObject, 1},
    {"path_start", F_PathStart, 4},
    {"path_end", F_PathEnd, 0},
    {"mp_linear_step", F_MpLinearStep, 4},
    {"mp_linear_path", F_MpLinearPath, 5, 1},
    {"mp_linear_step_object", F_MpLinearStepObject, 4},
    {"mp_linear_path_object", F_MpLinearPathObject, 5, 1},
    {"mp_potential_settings", F_MpPotentialSettings, 4},
    {"mp_potential_step", F_MpPotentialStep, 4},
    {"mp_potential_path", F_MpPotentialPath, 6, 1},
    {"mp_potential_step_object", F_MpPotentialStepObject, 4},
    {"mp_potential_path_object", F_MpPotentialPathObject, 6, 1},
    {"mp_grid_create", F_MpGridCreate, 6, 1},
    {"mp_grid_destroy", F_MpGridDestroy, 1, 1},
    {"mp_grid_clear_all", F_MpGridClearAll, 1, 1},
    {"mp_grid_clear_cell", F_MpGridClearCell, 3, 1},
    {"mp_grid_clear_rectangle", F_MpGridClearRectangle, 5, 1},
    {"mp_grid_add_cell", F_MpGridAddCell, 3, 1},
    {"mp_grid_get_cell", F_MpGridGetCell, 3, 1},
    {"mp_grid_add_rectangle", F_MpGridAddRectangle, 5, 1},
    {"mp_grid_add_instances", F_MpGridAddInstances, 3, 1},
    {"mp_grid_path", F_MpGridPath, 7, 1},
    {"mp_grid_draw", F_MpGridDraw, 1, 1},
    {"mp_grid_to_ds_grid", F_MpGridToDsGrid, 2, 1},  // reads both grids
    {"collision_point", F_CollisionPoint, 5},
    {"collision_rectangle", F_CollisionRectangle, 7},
    {"collision_circle", F_CollisionCircle, 6},
    {"collision_ellipse", F_CollisionEllipse, 7},
    {"collision_line", F_CollisionLine, 7},
    {"instance_find", F_InstanceFind, 2},
    {"instance_exists", F_InstanceExists, 1},
    {"instance_number", F_InstanceNumber, 1},
    {"instance_position", F_InstancePosition, 3},
    {"instance_nearest", F_InstanceNearest, 3},
    {"instance_furthest", F_InstanceFurthest, 3},
    {"instance_place", F_InstancePlace, 3},
    {"instance_create", F_InstanceCreate, 3},
    {"instance_create_depth", F_InstanceCreateDepth, 4},
    {"instance_create_layer", F_InstanceCreateLayer, 4},
    {"instance_copy", F_InstanceCopy, 1},
    {"instance_change", F_InstanceChange, 2},
    {"instance_destroy", F_InstanceDestroy, -1},
    {"instance_sprite", F_InstanceSprite, 1},
    {"position_empty", F_PositionEmpty, 2},
    {"position_meeting", F_PositionMeeting, 3},
    {"position_destroy", F_PositionDestroy, 2},
    {"position_change", F_PositionChange, 4},
    {"instance_id_get", F_InstanceIdGet, 1},
    {"instance_deactivate_all", F_InstanceDeactivateAll, 1},
    {"instance_deactivate_object", F_InstanceDeactivateObject, 1},
    {"instance_deactivate_region", F_InstanceDeactivateRegion, 6},
    {"instance_activate_all", F_InstanceActivateAll, 0},
    {"instance_activate_object", F_InstanceActivateObject, 1},
    {"instance_activate_region", F_InstanceActivateRegion, 5},
    {"room_goto", F_RoomGoto, 1},
    {"room_goto_previous", F_RoomGotoPrevious, 0},
    {"room_goto_next", F_RoomGotoNext, 0},
    {"room_previous", F_RoomPrevious, 1},
    {"room_next", F_RoomNext, 1},
    {"room_restart", F_RoomRestart, 0},
    {"game_end", F_GameEnd, 0},
    {"game_restart", F_GameRestart, 0},
    {"transition_define", F_TransitionAnswer, 2, 1},
    {"transition_exists", F_TransitionAnswer, 1, 1},
    {"sleep", F_Sleep, 1},
    {"point_in_rectangle", F_PointInRectangle, 6, 1},
    {"point_in_triangle", F_PointInTriangle, 8, 1},
    {"point_in_circle", F_PointInCircle, 5, 1},
    {"rectangle_in_rectangle", F_RectangleInRectangle, 8, 1},
    {"rectangle_in_triangle", F_RectangleInTriangle, 10, 1},
    {"rectangle_in_circle", F_RectangleInCircle, 7, 1},
};
}  // namespace

void InitGameFunctions()
{
    for (const GameBuiltin& builtin : kGameBuiltins) {
        if (LayerMode && builtin.routine == F_InstanceCreate) continue;
        CodeFunction_Register(builtin.name, builtin.routine, builtin.argumentCount, builtin.flag);
    }
}
